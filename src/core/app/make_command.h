#pragma once

#include "shared/host.h"
#include "shared/production_request.h"
#include "shared/program_values.h"

#include <QColor>
#include <QString>
#include <cstdint>
#include <optional>

// What the Make command needs of the main window beyond the Host's feedback.
class MakeWindow
{
  public:
    virtual ~MakeWindow() = default;
    virtual QString folderText() const = 0;   // MapText
    virtual QString fileNameText() const = 0; // FileText
    virtual qsizetype selectionCount() const = 0;
    virtual void focusFolder() = 0;
    virtual void focusFileName() = 0;
    virtual void setSelectionBackground(const QColor &colour) = 0; // List1
    // Shows the Convert dialog modally; returns when it has been closed (and after its pause)
    // with the settings it stored, or nothing when the run is cancelled: by the dialog, or by Ok
    // while the window still remembers an earlier cancelled or abandoned run.
    virtual std::optional<ConvertSettings> showConvertDialog() = 0;
    // The production the controls describe now, with these settings.
    virtual ProductionRequest productionRequest(const ConvertSettings &settings) const = 0;
    // Remembers a cancelled or abandoned run, so that a later Make whose dialog is left with Ok
    // and no option ends as cancelled (the window keeps it as PageStyle 99).
    virtual void rememberAbandoned() = 0;
    // Keeps what a production found (PictureDates, PageColour).
    virtual void keepResult(const ProductionResult &result) = 0;
    // True from the Convert dialog to the end of the production, false otherwise (also during
    // the blinks): while it is true, Make and the buttons that change the selection do nothing.
    virtual void setProductionRunning(bool running) = 0;
};

inline const QColor SelectionBackground(255, 240, 210);
inline const QColor SelectionWarning(255, 0, 0);
constexpr int MaxPictures = 100;

// The Make command: checks folder name, file name and selection, shows the Convert dialog
// and runs the chosen production between "Wait..." and "Ready...".
void RunMakeCommand(Host &host, MakeWindow &window);

// How every production ends for the user: its message is shown (the program's name as the title).
void TellResult(Host &host, const ProductionResult &result);
