#pragma once

#include "shared/program_values.h"

#include <QString>
#include <QStringList>

class PauseCancel;

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
    // What ends the waits of a production at that moment; null where nothing can end them.
    virtual PauseCancel *endOfRun() { return nullptr; }
};

// How a production ended. The Make command shows the message, and for an abandoned run sets
// PageStyle 99: the one place that does, so no page follows and a later Make sees it.
class ProductionResult
{
  public:
    static ProductionResult Done() { return ProductionResult(QString(), false); }
    // The user is told and the run is abandoned (PageStyle 99).
    static ProductionResult Abandoned(const QString &message) { return ProductionResult(message, true); }
    // The user is told; PageStyle stays as it is.
    static ProductionResult Stopped(const QString &message) { return ProductionResult(message, false); }

    bool done() const { return message_.isEmpty() && !abandoned_; }
    bool abandoned() const { return abandoned_; }
    const QString &message() const { return message_; }

  private:
    ProductionResult(const QString &message, bool abandoned) : message_(message), abandoned_(abandoned) {}
    QString message_;
    bool abandoned_ = false;
};
