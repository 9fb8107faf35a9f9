#include "app/make_command.h"

#include "html_pages/page_writers.h"
#include "picture_conversion/convert_pictures.h"
#include "shared/host.h"

namespace
{

// The Slide Show always gets pictures of this size, whatever the dialog holds.
constexpr std::int32_t SlideShowWidth = 300;
constexpr std::int32_t SlideShowHeight = 200;

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

ProductionResult Produce(Host &host, const QString &folder, const QString &fileName)
{
    const ProgramValues v = host.values(); // the production reads the values as they stand now
    switch (v.PageStyle) {
    case PageStyles::PictureShow:
        return WritePictureShowPage(host, folder, fileName);
    case PageStyles::SlideShow:
        return WriteSlideShowPage(host, folder, fileName, v.PauseSeconds, SlideShowWidth, SlideShowHeight);
    case PageStyles::Thumbnails:
        return WriteThumbnailsPage(host, folder, fileName, v.PictureWidth, v.PictureHeight);
    case PageStyles::BlockEffect:
        return WriteBlockEffectPage(host, folder, fileName, v.PictureWidth, v.PictureHeight, v.BlockSize);
    case PageStyles::Photoalbum1:
        return WritePhotoalbumPage(host, folder, fileName, v.PictureWidth, v.PictureHeight, 1);
    case PageStyles::Photoalbum2:
        return WritePhotoalbumPage(host, folder, fileName, v.PictureWidth, v.PictureHeight, 2);
    case PageStyles::ResizePictures:
        return ConvertPictures(host, folder, fileName, v.PictureWidth, v.PictureHeight);
    default:
        return ProductionResult::Done();
    }
}

} // namespace

void EndProduction(Host &host, const ProductionResult &result)
{
    if (!result.message().isEmpty())
        host.showMessage(result.message());
    if (result.abandoned())
        host.values().PageStyle = PageStyles::Abandoned;
}

void RunProduction(Host &host, const QString &folder, const QString &fileName)
{
    EndProduction(host, Produce(host, folder, fileName));
}

void MakeKnop_Click(Host &host, MakeWindow &window)
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
    const qsizetype count = host.selectionPaths().size();
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
    window.showConvertDialog();
    if (host.values().PageStyle == PageStyles::Abandoned || host.closing())
        return;

    host.showStatus(QStringLiteral("Wait..."));
    {
        const BusyPointer busy(host);
        RunProduction(host, window.folderText(), window.fileNameText());
    }
    host.showStatus(QStringLiteral("Ready..."));
}
