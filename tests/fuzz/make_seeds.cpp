// Writes the fuzzer's seed corpus: small valid files of every kind and layout the loader handles
// (the WebP, HEIC and AVIF seeds need cwebp, heif-enc and avifenc). Usage: make_seeds <folder>
#include "support/bad_input_files.h"
#include "support/metadata_pictures.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"
#include "support/tool_pictures.h"

#include <QBuffer>
#include <QColorSpace>

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds <folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral(".")))
        return 1;
    using namespace BadInputFiles;
    using PictureFiles::BmpLayout;
    const QImage picture = TestPictures::Quadrants(24, 16);
    const QImage small = TestPictures::Quadrants(6, 4);
    QImage p3 = small;
    p3.setColorSpace(QColorSpace(QColorSpace::Primaries::DciP3D65, QColorSpace::TransferFunction::SRgb));
    const auto qtBytes = [](const QImage &image, const char *format) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    };
    QImage withAlpha = small.convertToFormat(QImage::Format_ARGB32);
    withAlpha.setPixelColor(0, 0, QColor(0, 0, 0, 0));
    using namespace ToolPictures;
    using namespace MetadataPictures;
    const Tags tags{.orientation = 6,
                    .taken = "2024:05:06 07:08:09",
                    .offset = "+02:00",
                    .exifDescription = "Harbour",
                    .xmpDescription = "Harbour at dawn"};
    const QList<QPair<QString, QByteArray>> seeds = {
        {"display_p3.png", qtBytes(p3, "png")},
        {"display_p3.tif", qtBytes(p3, "tiff")},
        {"rgb.tif", qtBytes(picture, "tiff")},
        {"lossy.webp", WebP(picture)},
        {"exif_rotated.webp",
         Made("cwebp", PictureFiles::WithExifOrientation(Jpeg(small, JpegKind::Baseline), 6), "jpg",
              {"-quiet", "-metadata", "exif", "IN", "-o", "OUT"}, "webp")},
        {"lossless_alpha.webp",
         Made("cwebp", qtBytes(withAlpha, "png"), "png", {"-quiet", "-lossless", "IN", "-o", "OUT"}, "webp")},
        {"plain.heic", Heic(picture)},
        {"thumbnail.heic", Heic(picture, 8)},
        {"rotated.heic", HeicWithOrientation(small, 5)},
        {"plain.avif", Avif(picture)},
        {"rotated.avif", Avif(small, {"--irot", "1", "--imir", "1"})},
        {"display_p3.avif", Made("avifenc", qtBytes(small, "png"), "png",
                                 {"-s", "10", "--cicp", "12/13/6", "IN", "OUT"}, "avif")},
        {"baseline.jpg", Jpeg(picture, JpegKind::Baseline)},
        {"progressive.jpg", Jpeg(picture, JpegKind::Progressive)},
        {"greyscale.jpg", Jpeg(picture, JpegKind::Greyscale)},
        {"cmyk.jpg", Jpeg(small, JpegKind::Cmyk)},
        {"exif_rotated.jpg", PictureFiles::WithExifOrientation(Jpeg(small, JpegKind::Baseline), 6)},
        {"exif_big_endian.jpg", PictureFiles::WithExifOrientation(Jpeg(small, JpegKind::Baseline), 8, true)},
        {"metadata.jpg", WithTags(Jpeg(small, JpegKind::Baseline), tags)},
        {"metadata.png", WithTags(qtBytes(small, "png"), tags)},
        {"metadata.webp", WithTags(WebP(small), tags)},
        {"metadata.tif", WithTags(qtBytes(small, "tiff"), tags)},
        {"metadata.heic", HeicWithTags(small, tags)},
        {"exif_directory_loop.jpg", WithApp1(Jpeg(small, JpegKind::Baseline), ExifWithDirectoryLoop(6))},
        {"xmp_cut.jpg", WithApp1(Jpeg(small, JpegKind::Baseline), TruncatedXmp())},
        {"one_frame.gif", PictureFiles::SingleColourGif(5, 3, Qt::red, false)},
        {"transparent.gif", PictureFiles::SingleColourGif(5, 3, Qt::red, true)},
        {"animated.gif", AnimatedGif(4, 4, 2)},
        {"indexed4.bmp", PictureFiles::BmpBytes(small, BmpLayout::Indexed4)},
        {"indexed8.bmp", PictureFiles::BmpBytes(small, BmpLayout::Indexed8)},
        {"rle8.bmp", PictureFiles::BmpBytes(small, BmpLayout::Rle8)},
        {"rgb555.bmp", PictureFiles::BmpBytes(small, BmpLayout::Rgb555)},
        {"rgb24.bmp", PictureFiles::BmpBytes(small, BmpLayout::Rgb24)},
        {"rgb24_top_down.bmp", PictureFiles::BmpBytes(small, BmpLayout::Rgb24TopDown)},
        {"rgb32.bmp", PictureFiles::BmpBytes(small, BmpLayout::Rgb32)},
    };
    int written = 0;
    for (const auto &[name, bytes] : seeds) {
        if (bytes.isEmpty() || !PictureFiles::WriteBytes(folder.filePath(name), bytes)) {
            std::fprintf(stderr, "make_seeds: %s could not be made\n", qPrintable(name));
            return 1;
        }
        ++written;
    }
    std::printf("%d seeds in %s\n", written, qPrintable(folder.path()));
    return 0;
}
