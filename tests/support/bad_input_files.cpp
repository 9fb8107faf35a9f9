#include "bad_input_files.h"

#include "picture_test_files.h"

#include <QList>
#include <QtEndian>
#include <array>
#include <turbojpeg.h>

namespace BadInputFiles
{

namespace
{

void Le16(QByteArray &b, int v)
{
    b.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
}

void Le32(QByteArray &b, qint64 v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xff));
}

void PutLe32(QByteArray &b, qsizetype at, qint64 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xff);
}

} // namespace

QByteArray Jpeg(const QImage &source, JpegKind kind)
{
    QImage image = source.convertToFormat(QImage::Format_RGB888);
    int pixelFormat = TJPF_RGB, subsampling = TJSAMP_420, flags = 0;
    if (kind == JpegKind::Progressive)
        flags = TJFLAG_PROGRESSIVE;
    if (kind == JpegKind::Greyscale)
        subsampling = TJSAMP_GRAY;
    if (kind == JpegKind::Cmyk) {
        // TurboJPEG stores CMYK as the inverted inks of an Adobe file: white is 0xff in every byte.
        QImage cmyk(image.size(), QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb rgb = source.pixel(x, y);
                const int k = qMax(qRed(rgb), qMax(qGreen(rgb), qBlue(rgb)));
                uchar *p = cmyk.scanLine(y) + 4 * x;
                const auto ink = [k](int c) { return uchar(k == 0 ? 0 : c * 255 / k); };
                p[0] = ink(qRed(rgb));
                p[1] = ink(qGreen(rgb));
                p[2] = ink(qBlue(rgb));
                p[3] = uchar(k);
            }
        image = cmyk;
        pixelFormat = TJPF_CMYK;
        subsampling = TJSAMP_444;
    }
    tjhandle handle = tjInitCompress();
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    const int rc = tjCompress2(handle, image.constBits(), image.width(), int(image.bytesPerLine()),
                               image.height(), pixelFormat, &buffer, &size, subsampling, 90, flags);
    QByteArray bytes;
    if (rc == 0)
        bytes = QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(size));
    tjFree(buffer);
    tjDestroy(handle);
    return bytes;
}

QByteArray WithBrokenExif(const QByteArray &jpeg)
{
    // "II*\0", first directory far beyond the segment, and a directory count of 0xffff right after.
    QByteArray body("Exif\0\0", 6);
    body.append("II*\0", 4);
    Le32(body, 0x7ffffff0);
    Le16(body, 0xffff);
    Le16(body, 0x0112);
    QByteArray segment = QByteArray::fromHex("ffe1");
    segment.append(char((body.size() + 2) >> 8)).append(char((body.size() + 2) & 0xff));
    return jpeg.left(2) + segment + body + jpeg.mid(2);
}

QByteArray WithApp1(const QByteArray &jpeg, const QByteArray &body)
{
    QByteArray segment = QByteArray::fromHex("ffe1");
    segment.append(char((body.size() + 2) >> 8)).append(char((body.size() + 2) & 0xff));
    return jpeg.left(2) + segment + body + jpeg.mid(2);
}

namespace
{
// "Exif\0\0", a little-endian TIFF header and a first directory at offset 8 holding `entries`
// (each tag, type, count, value), then the offset of the next directory and `tail`.
QByteArray ExifBody(const QList<std::array<qint64, 4>> &entries, qint64 next, const QByteArray &tail = {})
{
    QByteArray body("Exif\0\0II*\0", 10);
    Le32(body, 8);
    Le16(body, int(entries.size()));
    for (const auto &[tag, type, count, value] : entries) {
        Le16(body, int(tag));
        Le16(body, int(type));
        Le32(body, count);
        Le32(body, value); // a SHORT sits in the first two bytes
    }
    Le32(body, next);
    return body + tail;
}
} // namespace

QByteArray ExifWithDirectoryLoop(int orientation)
{
    // The Exif directory and the next directory are both the first one again.
    return ExifBody({{0x0112, 3, 1, orientation}, {0x8769, 4, 1, 8}}, 8);
}

QByteArray ExifWithHugeCount(int orientation)
{
    // An ASCII description of 0x7fffffff bytes, said to follow the directory.
    return ExifBody({{0x010e, 2, 0x7fffffff, 38}, {0x0112, 3, 1, orientation}}, 0, QByteArray("abc\0", 4));
}

QByteArray TruncatedXmp()
{
    const QByteArray packet =
        "<?xpacket begin=\"\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?><x:xmpmeta xmlns:x=\"adobe:ns:meta/\">"
        "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"><rdf:Description rdf:about=\"\" "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:description><rdf:Alt><rdf:li "
        "xml:lang=\"x-default\">"
        "A caption</rdf:li></rdf:Alt></dc:description></rdf:Description></rdf:RDF></x:xmpmeta>"
        "<?xpacket end=\"w\"?>";
    return QByteArray("http://ns.adobe.com/xap/1.0/\0", 29) + packet.left(packet.size() / 2);
}

qsizetype ScanDataStart(const QByteArray &jpeg)
{
    const qsizetype sos = jpeg.indexOf(QByteArray::fromHex("ffda"));
    if (sos < 0 || sos + 4 > jpeg.size())
        return -1;
    const int length = uchar(jpeg[sos + 2]) << 8 | uchar(jpeg[sos + 3]);
    return sos + 2 + length;
}

QByteArray WithGarbageInScan(const QByteArray &jpeg)
{
    QByteArray bytes = jpeg;
    const qsizetype start = ScanDataStart(bytes);
    if (start < 0)
        return {};
    quint32 state = 12345;
    // Everything between the scan header and the end marker, keeping clear of 0xff.
    for (qsizetype i = start; i < bytes.size() - 2; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = char((state >> 16) % 0xff);
    }
    return bytes;
}

QByteArray GifWithoutFrames(int width, int height)
{
    const QByteArray gif = PictureFiles::SingleColourGif(width, height, Qt::red, false);
    return gif.left(6 + 7 + 6) + ";";
}

QByteArray AnimatedGif(int width, int height, int frames)
{
    const QByteArray first = PictureFiles::SingleColourGif(width, height, Qt::red, false);
    const QByteArray head = first.left(6 + 7 + 6);
    const QByteArray frame = first.mid(head.size(), first.size() - head.size() - 1); // without the trailer
    // A graphic control extension before each frame: a tenth of a second, restore to background.
    const QByteArray control = QByteArray::fromHex("21f904080a000000");
    QByteArray gif = head;
    for (int i = 0; i < frames; ++i)
        gif += control + frame;
    return gif + ";";
}

QByteArray GifWithScreen(int screenWidth, int screenHeight, int frameWidth, int frameHeight)
{
    QByteArray gif = PictureFiles::SingleColourGif(frameWidth, frameHeight, Qt::blue, false);
    gif[6] = char(screenWidth & 0xff);
    gif[7] = char((screenWidth >> 8) & 0xff);
    gif[8] = char(screenHeight & 0xff);
    gif[9] = char((screenHeight >> 8) & 0xff);
    return gif;
}

QByteArray PatchedBmp(const QByteArray &bmp, const BmpPatch &patch)
{
    QByteArray bytes = bmp;
    if (patch.offset >= 0)
        PutLe32(bytes, 10, patch.offset);
    if (patch.width >= 0)
        PutLe32(bytes, 18, patch.width);
    if (patch.height >= 0)
        PutLe32(bytes, 22, patch.topDownHeight ? -patch.height : patch.height);
    if (patch.colours >= 0)
        PutLe32(bytes, 46, patch.colours);
    return bytes;
}

QByteArray BmpWithIndicesPastPalette(int width, int height, int paletteSize)
{
    const int rowBytes = (width + 3) / 4 * 4;
    QByteArray b("BM");
    const int offset = 14 + 40 + 4 * paletteSize;
    Le32(b, offset + rowBytes * height);
    Le32(b, 0);
    Le32(b, offset);
    Le32(b, 40);
    Le32(b, width);
    Le32(b, height);
    Le16(b, 1);
    Le16(b, 8);
    Le32(b, 0);
    Le32(b, rowBytes * height);
    Le32(b, 2835);
    Le32(b, 2835);
    Le32(b, paletteSize);
    Le32(b, 0);
    for (int i = 0; i < paletteSize; ++i)
        Le32(b, 0x00ff0000 >> (8 * (i % 3)));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < rowBytes; ++x)
            b.append(char(x < width ? 200 + (x + y) % 50 : 0)); // every index past the palette
    return b;
}

} // namespace BadInputFiles
