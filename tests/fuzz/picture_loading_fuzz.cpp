// libFuzzer target: the bytes of a picture file go through the steps of the conversion
// (load for a canvas, stretch onto it, encode as JPEG) and the reading of its EXIF and XMP. Every
// input must end in an image or a clean refusal, within the time and memory the fuzzer allows.

#include "picture_conversion/bmp_to_jpeg.h"
#include "picture_conversion/conversion_steps.h"
#include "picture_conversion/picture_loader.h"
#include "picture_conversion/picture_metadata.h"

#include <QCoreApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace
{

// The canvas: small, so that time goes into the decoders rather than into scaling.
constexpr int CanvasWidth = 96;
constexpr int CanvasHeight = 64;

[[noreturn]] void Fail(const char *what)
{
    std::fprintf(stderr, "picture_loading_fuzz: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // The GIF, WebP and TIFF readers are plug-ins, found through the application's library paths.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    // The captions' metadata, read apart from the pixels (and for HEIC and AVIF by libheif).
    const PictureMetadata metadata = ReadPictureMetadata(bytes);
    if (metadata.orientation < 1 || metadata.orientation > 8)
        Fail("an orientation outside 1 to 8");
    if (metadata.description != metadata.description.trimmed())
        Fail("a description not trimmed");
    // The last byte also picks the cover: a canvas, or the full size as the preview may ask.
    const QSize cover = size > 0 && (data[size - 1] & 1) ? QSize() : QSize(CanvasWidth, CanvasHeight);
    const Outcome<QImage> picture = LoadPictureFromBytes(bytes, cover);
    if (!picture) {
        if (picture.reason().isEmpty())
            Fail("a refusal without a reason");
        return 0;
    }
    const QImage &image = picture.value();
    if (image.width() <= 0 || image.height() <= 0 || image.width() > PictureLimits::MaxSide ||
        image.height() > PictureLimits::MaxSide)
        Fail("a loaded picture outside the limits");
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied)
        Fail("a loaded picture in an unexpected format");

    const Outcome<QImage> canvas =
        StretchOntoCanvas(image, QImage(CanvasWidth, CanvasHeight, QImage::Format_RGB32), CanvasFill{});
    if (!canvas || canvas->size() != QSize(CanvasWidth, CanvasHeight) ||
        canvas->format() != QImage::Format_RGB32)
        Fail("the canvas changed size or format");
    const Outcome<QByteArray> jpeg = EncodeJpeg(canvas.value(), 75);
    if (!jpeg)
        Fail("the canvas could not be encoded");
    // What was encoded must read back at the canvas size.
    const Outcome<QImage> again = LoadPictureFromBytes(jpeg.value());
    if (!again || again->size() != canvas->size())
        Fail("the encoded canvas does not read back");
    return 0;
}
