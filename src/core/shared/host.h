#pragma once

#include "shared/program_values.h"

#include <QString>
#include <QStringList>

// What a production reads and calls. The main window provides it; tests replace it,
// so the conversion and the page writers run without a shown window or real waiting.
class Host
{
  public:
    virtual ~Host() = default;

    virtual ProgramValues &values() = 0;
    virtual QStringList selectionNames() const = 0; // List1: file names as listed
    virtual QStringList selectionPaths() const = 0; // List2: full paths, same order
    virtual QString pageTitle() const = 0;          // Naam
    virtual QString programFolder() const = 0;      // the folder holding the executable

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
};
