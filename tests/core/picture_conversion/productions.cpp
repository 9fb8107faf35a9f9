#include "productions.h"
#include "app/make_command.h"

#include "html_pages/page_writers.h"
#include "picture_conversion/convert_pictures.h"

const std::vector<Production> &AllProductions()
{
    static const std::vector<Production> productions = {
        {"ResizePictures", [](Host &h, const QString &d,
                              const QString &f) { EndProduction(h, ConvertPictures(h, d, f, 48, 36)); }},
        {"PictureShow", [](Host &h, const QString &d,
                           const QString &f) { EndProduction(h, WritePictureShowPage(h, d, f)); }},
        {"Thumbnails", [](Host &h, const QString &d,
                          const QString &f) { EndProduction(h, WriteThumbnailsPage(h, d, f, 48, 36)); }},
        {"SlideShow", [](Host &h, const QString &d,
                         const QString &f) { EndProduction(h, WriteSlideShowPage(h, d, f, 3, 48, 36)); }},
        {"BlockEffect",
         [](Host &h, const QString &d, const QString &f) {
             EndProduction(h, WriteBlockEffectPage(h, d, f, 48, 36, 12));
         }},
        {"Photoalbum", [](Host &h, const QString &d,
                          const QString &f) { EndProduction(h, WritePhotoalbumPage(h, d, f, 48, 36, 1)); }},
    };
    return productions;
}
