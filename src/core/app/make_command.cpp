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

} // namespace

void RunProduction(Host &host, const QString &folder, const QString &fileName)
{
    const ProgramValues v = host.values(); // the production reads the values as they stand now
    switch (v.PageStyle) {
    case PageStyles::PictureShow:
        WritePictureShowPage(host, folder, fileName);
        break;
    case PageStyles::SlideShow:
        WriteSlideShowPage(host, folder, fileName, v.PauseSeconds, SlideShowWidth, SlideShowHeight);
        break;
    case PageStyles::Thumbnails:
        WriteThumbnailsPage(host, folder, fileName, v.PictureWidth, v.PictureHeight);
        break;
    case PageStyles::BlockEffect:
        WriteBlockEffectPage(host, folder, fileName, v.PictureWidth, v.PictureHeight, v.BlockSize);
        break;
    case PageStyles::Photoalbum1:
        WritePhotoalbumPage(host, folder, fileName, v.PictureWidth, v.PictureHeight, 1);
        break;
    case PageStyles::Photoalbum2:
        WritePhotoalbumPage(host, folder, fileName, v.PictureWidth, v.PictureHeight, 2);
        break;
    case PageStyles::ResizePictures:
        ConvertPictures(host, folder, fileName, v.PictureWidth, v.PictureHeight);
        break;
    default:
        break;
    }
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

    window.showConvertDialog();
    if (host.values().PageStyle == PageStyles::Abandoned || host.closing())
        return;

    host.showStatus(QStringLiteral("Wait..."));
    host.setBusyPointer();
    RunProduction(host, window.folderText(), window.fileNameText());
    host.setArrowPointer();
    host.showStatus(QStringLiteral("Ready..."));
}
