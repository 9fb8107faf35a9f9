#include "picture_test_files.h"

#include "support/test_pictures.h"

#include <QFile>
#include <QTemporaryFile>
#include <QtEndian>
#include <turbojpeg.h>
#include <vector>

namespace PictureFiles
{

namespace
{

void Le16(QByteArray &b, int v)
{
    b.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
}

void Le32(QByteArray &b, qint64 v)
{
    Le16(b, int(v & 0xffff));
    Le16(b, int((v >> 16) & 0xffff));
}

void Be16(QByteArray &b, int v)
{
    b.append(char((v >> 8) & 0xff)).append(char(v & 0xff));
}

} // namespace

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray JpegBytes(const QImage &image)
{
    QTemporaryFile file;
    if (!file.open())
        return {};
    file.close();
    return TestPictures::WriteJpeg(image, file.fileName()) ? ReadBytes(file.fileName()) : QByteArray();
}

QByteArray WithExifOrientation(const QByteArray &jpeg, int orientation, bool bigEndian)
{
    auto u16 = [bigEndian](QByteArray &b, int v) { bigEndian ? Be16(b, v) : Le16(b, v); };
    auto u32 = [&u16, bigEndian](QByteArray &b, int v) {
        u16(b, bigEndian ? 0 : v);
        u16(b, bigEndian ? v : 0);
    };
    QByteArray tiff = bigEndian ? QByteArray("MM") : QByteArray("II");
    u16(tiff, 42);
    u32(tiff, 8);           // the first IFD follows the header
    u16(tiff, 1);           // one entry:
    u16(tiff, 0x0112);      // Orientation,
    u16(tiff, 3);           // SHORT,
    u32(tiff, 1);           // one value,
    u16(tiff, orientation); // stored left-aligned in the 4-byte value field
    u16(tiff, 0);
    u32(tiff, 0); // no next IFD
    QByteArray segment = QByteArray::fromHex("ffe1");
    const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
    Be16(segment, int(body.size()) + 2);
    segment += body;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

QByteArray BmpBytes(const QImage &source, BmpLayout layout)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    QList<QRgb> palette;
    const bool indexed =
        layout == BmpLayout::Indexed4 || layout == BmpLayout::Indexed8 || layout == BmpLayout::Rle8;
    if (indexed)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (!palette.contains(image.pixel(x, y)))
                    palette << image.pixel(x, y);
    const int bits = layout == BmpLayout::Indexed4 ? 4
                     : indexed                     ? 8
                     : layout == BmpLayout::Rgb555 ? 16
                     : layout == BmpLayout::Rgb32  ? 32
                                                   : 24;
    const int paletteEntries = indexed ? (bits == 4 ? 16 : 256) : 0;

    QByteArray pixels;
    const bool topDown = layout == BmpLayout::Rgb24TopDown;
    for (int row = 0; row < h; ++row) {
        const int y = topDown ? row : h - 1 - row;
        QByteArray line;
        if (layout == BmpLayout::Rle8) {
            // One encoded run per pixel pair is plenty for a test picture.
            for (int x = 0; x < w; ++x)
                line.append(char(1)).append(char(palette.indexOf(image.pixel(x, y))));
            line.append(char(0)).append(char(row == h - 1 ? 1 : 0)); // end of line / end of bitmap
            pixels += line;
            continue;
        }
        for (int x = 0; x < w; ++x) {
            const QRgb p = image.pixel(x, y);
            switch (bits) {
            case 4:
                if (x % 2 == 0)
                    line.append(char(palette.indexOf(p) << 4));
                else
                    line[line.size() - 1] = char(line.back() | palette.indexOf(p));
                break;
            case 8:
                line.append(char(palette.indexOf(p)));
                break;
            case 16:
                Le16(line, (qRed(p) >> 3) << 10 | (qGreen(p) >> 3) << 5 | (qBlue(p) >> 3));
                break;
            default:
                line.append(char(qBlue(p))).append(char(qGreen(p))).append(char(qRed(p)));
                if (bits == 32)
                    line.append(char(0));
            }
        }
        while (line.size() % 4)
            line.append('\0');
        pixels += line;
    }

    QByteArray info;
    Le32(info, 40);
    Le32(info, w);
    Le32(info, topDown ? -h : h);
    Le16(info, 1);
    Le16(info, bits);
    Le32(info, layout == BmpLayout::Rle8 ? 1 : 0);
    Le32(info, pixels.size());
    Le32(info, 2835);
    Le32(info, 2835);
    Le32(info, paletteEntries);
    Le32(info, 0);
    for (int i = 0; i < paletteEntries; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : 0;
        info.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    }
    QByteArray file("BM");
    const int offset = 14 + int(info.size());
    Le32(file, offset + pixels.size());
    Le32(file, 0);
    Le32(file, offset);
    return file + info + pixels;
}

QByteArray SingleColourGif(int width, int height, QColor colour, bool transparent)
{
    QTemporaryFile file;
    if (!file.open())
        return {};
    file.close();
    if (!TestPictures::WriteTinyGif(file.fileName(), width, height, colour))
        return {};
    QByteArray gif = ReadBytes(file.fileName());
    if (transparent) {
        // A graphic control extension before the image descriptor: index 0 is transparent.
        const qsizetype descriptor = 6 + 7 + 6;
        gif.insert(descriptor, QByteArray::fromHex("21f90401000000"
                                                   "00"));
    }
    return gif;
}

QImage Transposed(const QImage &image)
{
    QImage result(image.height(), image.width(), image.format());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            result.setPixel(y, x, image.pixel(x, y));
    return result;
}

} // namespace PictureFiles
