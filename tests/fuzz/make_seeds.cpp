// Writes the fuzzer's seed corpus: small valid JPEG, GIF and BMP files of every layout
// the loader handles. Usage: make_seeds <folder>
#include "support/bad_input_files.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"

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
    const QList<QPair<QString, QByteArray>> seeds = {
        {"baseline.jpg", Jpeg(picture, JpegKind::Baseline)},
        {"progressive.jpg", Jpeg(picture, JpegKind::Progressive)},
        {"greyscale.jpg", Jpeg(picture, JpegKind::Greyscale)},
        {"cmyk.jpg", Jpeg(small, JpegKind::Cmyk)},
        {"exif_rotated.jpg", PictureFiles::WithExifOrientation(Jpeg(small, JpegKind::Baseline), 6)},
        {"exif_big_endian.jpg", PictureFiles::WithExifOrientation(Jpeg(small, JpegKind::Baseline), 8, true)},
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
