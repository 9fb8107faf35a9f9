#pragma once

#include "shared/host.h"

#include <QColor>
#include <QString>

// What the Make command needs of the main window beyond the Host.
class MakeWindow
{
  public:
    virtual ~MakeWindow() = default;
    virtual QString folderText() const = 0;   // MapText
    virtual QString fileNameText() const = 0; // FileText
    virtual void focusFolder() = 0;
    virtual void focusFileName() = 0;
    virtual void setSelectionBackground(const QColor &colour) = 0; // List1
    // Shows the Convert dialog modally; returns when it has been closed (and after its pause).
    virtual void showConvertDialog() = 0;
    // True from the Convert dialog to the end of the production, false otherwise (also during
    // the blinks): while it is true, Make and the buttons that change the selection do nothing.
    virtual void setProductionRunning(bool running) = 0;
};

inline const QColor SelectionBackground(255, 240, 210);
inline const QColor SelectionWarning(255, 0, 0);
constexpr int MaxPictures = 100;

// The Make button: checks folder name, file name and selection, shows the Convert dialog
// and runs the chosen production between "Wait..." and "Ready...".
void MakeKnop_Click(Host &host, MakeWindow &window);

// Runs the production PageStyle names (nothing for 0 or an unknown value) and ends it.
void RunProduction(Host &host, const QString &folder, const QString &fileName);

// How every production ends: its message is shown, and an abandoned run sets PageStyle 99
// (the only place that does).
void EndProduction(Host &host, const ProductionResult &result);
