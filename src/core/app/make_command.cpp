#include "app/make_command.h"

#include "app/production.h"
#include "shared/host.h"

namespace
{

void BlinkSelection(Host &host, MakeWindow &window)
{
    for (int blink = 0; blink < 3; ++blink) {
        window.setSelectionBackground(SelectionWarning);
        host.pause(0.2f);
        window.setSelectionBackground(SelectionBackground);
        host.pause(0.2f);
    }
}

// Held from the Convert dialog to the end of the production: Make and the buttons that
// change the selection do nothing meanwhile. The blinks are no production.
class ProductionLock
{
  public:
    explicit ProductionLock(MakeWindow &window) : window_(window) { window_.setProductionRunning(true); }
    ~ProductionLock() { window_.setProductionRunning(false); }
    ProductionLock(const ProductionLock &) = delete;
    ProductionLock &operator=(const ProductionLock &) = delete;

  private:
    MakeWindow &window_;
};

// The hourglass while the production runs, the arrow after it.
class BusyPointer
{
  public:
    explicit BusyPointer(Host &host) : host_(host) { host_.setBusyPointer(); }
    ~BusyPointer() { host_.setArrowPointer(); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;

  private:
    Host &host_;
};

} // namespace

void TellResult(Host &host, const ProductionResult &result)
{
    if (!result.message.isEmpty())
        host.showMessage(result.message);
}

void RunMakeCommand(Host &host, MakeWindow &window)
{
    if (window.folderText().isEmpty()) {
        host.showMessage(QStringLiteral("No foldername selected!"), QStringLiteral("Error"));
        window.focusFolder();
        return;
    }
    if (window.fileNameText().isEmpty()) {
        host.showMessage(QStringLiteral("No filename selected!"), QStringLiteral("Error"));
        window.focusFileName();
        return;
    }
    const qsizetype count = window.selectionCount();
    if (count > MaxPictures) {
        host.showMessage(QStringLiteral("Maximal 100 pictures or photo's!"));
        return;
    }
    if (count == 0) {
        host.showMessage(QStringLiteral("You have no pictures selected!"), QStringLiteral("Error"));
        BlinkSelection(host, window);
        return;
    }

    const ProductionLock lock(window);
    const std::optional<ConvertSettings> settings = window.showConvertDialog();
    if (!settings)
        window.rememberAbandoned();
    if (!settings || host.closing())
        return;

    host.showStatus(QStringLiteral("Wait..."));
    {
        const BusyPointer busy(host);
        // The production gets what the controls hold now; what changes meanwhile does not reach it.
        const ProductionResult result = Produce(window.productionRequest(*settings), host);
        TellResult(host, result);
        if (result.abandoned())
            window.rememberAbandoned();
        window.keepResult(result);
    }
    host.showStatus(QStringLiteral("Ready..."));
}
