#include "productions.h"
#include "app/make_command.h"
#include "support/fake_host.h"

#include "html_pages/page_writers.h"
#include "picture_conversion/convert_pictures.h"

const std::vector<Production> &AllProductions()
{
    static const std::vector<Production> productions = {
        {"ResizePictures", [](FakeHost &h, const QString &d,
                              const QString &f) { h.finish(ConvertPictures(h.request(d, f), h, 48, 36)); }},
        {"PictureShow", [](FakeHost &h, const QString &d,
                           const QString &f) { h.finish(WritePictureShowPage(h.request(d, f), h)); }},
        {"Thumbnails", [](FakeHost &h, const QString &d,
                          const QString &f) { h.finish(WriteThumbnailsPage(h.request(d, f), h, 48, 36)); }},
        {"SlideShow", [](FakeHost &h, const QString &d,
                         const QString &f) { h.finish(WriteSlideShowPage(h.request(d, f), h, 3, 48, 36)); }},
        {"BlockEffect",
         [](FakeHost &h, const QString &d, const QString &f) {
             h.finish(WriteBlockEffectPage(h.request(d, f), h, 48, 36, 12));
         }},
        {"Photoalbum",
         [](FakeHost &h, const QString &d, const QString &f) {
             h.finish(WritePhotoalbumPage(h.request(d, f), h, 48, 36, 1));
         }},
    };
    return productions;
}
