#pragma once

#include <QString>

class PauseCancel;

// What a production tells the user while it runs, and how it learns that the program ends.
// The main window provides it; the command line and the tests provide their own. It hands out
// no data: what a production reads comes in its ProductionRequest.
class Host
{
  public:
    virtual ~Host() = default;

    virtual void showStatus(const QString &text) = 0; // ShowStatus
    virtual void pause(float seconds) = 0;            // Pause
    // A message box with one OK button and no icon; an empty title shows "Galvora".
    virtual void showMessage(const QString &text, const QString &title = QString()) = 0;
    virtual void setBusyPointer() = 0;
    virtual void setArrowPointer() = 0;
    virtual void openDocument(const QString &path) = 0; // OpenDocument
    // True once the user has ended the program (Exit or closing the window): a production then
    // stops where it stands, converts and writes nothing more and shows nothing more.
    virtual bool closing() const { return false; }
    // What ends the waits of a production at that moment; null where nothing can end them.
    virtual PauseCancel *endOfRun() { return nullptr; }
};
