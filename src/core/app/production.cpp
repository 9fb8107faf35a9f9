#include "app/production.h"

#include "html_pages/page_writers.h"
#include "html_pages/web_album_page.h"
#include "picture_conversion/convert_pictures.h"
#include "shared/output_names.h"

namespace
{

// The Slide Show always gets pictures of this size, whatever the dialog holds.
constexpr std::int32_t SlideShowWidth = 300;
constexpr std::int32_t SlideShowHeight = 200;

} // namespace

ProductionResult Produce(const ProductionRequest &request, Host &feedback)
{
    const ConvertSettings &s = request.settings;
    switch (s.PageStyle) {
    case PageStyles::PictureShow:
        return WritePictureShowPage(request, feedback);
    case PageStyles::SlideShow:
        return WriteSlideShowPage(request, feedback, s.PauseSeconds, SlideShowWidth, SlideShowHeight);
    case PageStyles::Thumbnails:
        return WriteThumbnailsPage(request, feedback, s.PictureWidth, s.PictureHeight);
    case PageStyles::BlockEffect:
        return WriteBlockEffectPage(request, feedback, s.PictureWidth, s.PictureHeight, s.BlockSize);
    case PageStyles::Photoalbum1:
        return WritePhotoalbumPage(request, feedback, s.PictureWidth, s.PictureHeight, 1);
    case PageStyles::Photoalbum2:
        return WritePhotoalbumPage(request, feedback, s.PictureWidth, s.PictureHeight, 2);
    case PageStyles::ResizePictures:
        return ConvertPictures(request, feedback, s.PictureWidth, s.PictureHeight);
    case PageStyles::WebAlbum:
        return WriteWebAlbumPage(request, feedback, s.PictureWidth, s.PictureHeight);
    case PageStyles::None: // Ok without an option: nothing was asked for
        return ProductionResult::Done();
    default:
        return ProductionResult::Stopped(UnknownPageStyleText(s.PageStyle));
    }
}
