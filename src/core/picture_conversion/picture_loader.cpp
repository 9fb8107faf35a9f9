#include "picture_conversion/picture_loader.h"

#include "picture_conversion/exif_orientation.h"
#include "picture_conversion/turbojpeg_handles.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>
#include <cstring>
#include <exception>

namespace
{

#ifndef TJFLAG_LIMITSCANS // older TurboJPEG releases have no scan limit
#define TJFLAG_LIMITSCANS 0
#endif

LoadedPicture Failure(const QString &why)
{
    return {QImage(), why};
}

bool FitsLimits(qint64 width, qint64 height)
{
    return width > 0 && height > 0 && width <= PictureLimits::MaxSide && height <= PictureLimits::MaxSide &&
           width * height <= PictureLimits::MaxPixels;
}

// The frame header's marker type (0xC0 baseline, 0xC2 progressive, ...) or 0 when none is found.
int JpegFrameType(const unsigned char *data, std::size_t size)
{
    std::size_t pos = 2;
    while (pos + 4 <= size) {
        if (data[pos] != 0xFF)
            return 0;
        const unsigned char marker = data[pos + 1];
        if (marker == 0xFF) {
            ++pos;
            continue;
        }
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return marker;
        if (marker == 0xDA || marker == 0xD9)
            return 0;
        const std::size_t length = std::size_t(data[pos + 2] << 8 | data[pos + 3]);
        if (length < 2)
            return 0;
        pos += 2 + length;
    }
    return 0;
}

// Warnings after which every pixel is still there; any other warning means lost picture data.
bool HarmlessWarning(const char *text)
{
    return std::strstr(text, "extraneous bytes") || std::strstr(text, "JFIF revision");
}

// The smallest power-of-two reduction whose result still covers `cover` in both directions.
int JpegDenominator(int width, int height, QSize cover)
{
    if (cover.isEmpty())
        return 1;
    for (int denominator : {8, 4, 2}) {
        if (TJSCALED(width, (tjscalingfactor{1, denominator})) >= cover.width() &&
            TJSCALED(height, (tjscalingfactor{1, denominator})) >= cover.height())
            return denominator;
    }
    return 1;
}

// Adobe CMYK JPEGs hold inverted ink values; this turns them into RGB in place.
void CmykToRgb32(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        const auto *bytes = reinterpret_cast<const unsigned char *>(line);
        for (int x = 0; x < image.width(); ++x) {
            const unsigned c = bytes[4 * x], m = bytes[4 * x + 1], yl = bytes[4 * x + 2],
                           k = bytes[4 * x + 3];
            line[x] = qRgb(int(c * k / 255), int(m * k / 255), int(yl * k / 255));
        }
    }
}

LoadedPicture LoadJpeg(const unsigned char *data, std::size_t size, QSize cover)
{
    Tj::Handle handle(tjInitDecompress());
    if (!handle)
        return Failure(QStringLiteral("the JPEG decoder could not be started"));
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (tjDecompressHeader3(handle.get(), data, static_cast<unsigned long>(size), &width, &height,
                            &subsampling, &colourspace) != 0)
        return Failure(QStringLiteral("damaged JPEG header: %1")
                           .arg(QString::fromLocal8Bit(tjGetErrorStr2(handle.get()))));
    if (width <= 0 || height <= 0)
        return Failure(QStringLiteral("damaged JPEG header: no picture size"));

    const qint64 sourcePixels = qint64(width) * height;
    const bool sequential = JpegFrameType(data, size) == 0xC0;
    if (sourcePixels >
        (sequential ? PictureLimits::MaxSequentialJpegPixels : PictureLimits::MaxBufferedJpegPixels))
        return Failure(QStringLiteral("the JPEG claims %1 x %2 pixels, too large").arg(width).arg(height));

    const int orientation = JpegExifOrientation(data, size);
    const QSize storedCover = OrientationSwapsSides(orientation) ? cover.transposed() : cover;
    const tjscalingfactor factor{1, JpegDenominator(width, height, storedCover)};
    const int scaledWidth = TJSCALED(width, factor), scaledHeight = TJSCALED(height, factor);
    if (!FitsLimits(scaledWidth, scaledHeight))
        return Failure(QStringLiteral("the JPEG claims %1 x %2 pixels, too large").arg(width).arg(height));

    QImage image(scaledWidth, scaledHeight, QImage::Format_RGB32);
    if (image.isNull())
        return Failure(
            QStringLiteral("not enough memory for a %1 x %2 picture").arg(scaledWidth).arg(scaledHeight));

    const bool cmyk = colourspace == TJCS_CMYK || colourspace == TJCS_YCCK;
    // Format_RGB32 is 0xffRRGGBB in native byte order.
    const int pixelFormat = cmyk ? TJPF_CMYK : (Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRA : TJPF_ARGB);
    auto decode = [&](int flags) {
        // A progressive file with thousands of scans could keep the decoder busy for minutes.
        return tjDecompress2(handle.get(), data, static_cast<unsigned long>(size), image.bits(), scaledWidth,
                             int(image.bytesPerLine()), scaledHeight, pixelFormat, flags | TJFLAG_LIMITSCANS);
    };
    // Stop at the first warning, so a truncated or damaged file costs no full decode;
    // a harmless warning gets a second, complete pass.
    if (decode(TJFLAG_STOPONWARNING) != 0) {
        const bool fatal = tjGetErrorCode(handle.get()) == TJERR_FATAL;
        const char *text = tjGetErrorStr2(handle.get());
        if (fatal || !HarmlessWarning(text))
            return Failure(QStringLiteral("damaged JPEG: %1").arg(QString::fromLocal8Bit(text)));
        if (decode(0) != 0 &&
            (tjGetErrorCode(handle.get()) == TJERR_FATAL || !HarmlessWarning(tjGetErrorStr2(handle.get()))))
            return Failure(
                QStringLiteral("damaged JPEG: %1").arg(QString::fromLocal8Bit(tjGetErrorStr2(handle.get()))));
    }
    if (cmyk)
        CmykToRgb32(image);
    return {ApplyOrientation(image, orientation), QString()};
}

quint32 Le32At(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

// Whether an uncompressed BMP holds all the pixel rows its header promises. (Qt fills
// missing rows silently; run-length data ends where it ends.)
bool BmpPixelDataComplete(const QByteArray &header, qint64 fileSize)
{
    if (header.size() < 30)
        return false;
    const quint32 offset = Le32At(header, 10), infoSize = Le32At(header, 14);
    qint64 width = 0, height = 0, bits = 0, compression = 0;
    if (infoSize == 12) { // the old core header
        width = qFromLittleEndian<quint16>(header.constData() + 18);
        height = qFromLittleEndian<quint16>(header.constData() + 20);
        bits = qFromLittleEndian<quint16>(header.constData() + 24);
    } else {
        if (header.size() < 34)
            return false;
        width = qFromLittleEndian<qint32>(header.constData() + 18);
        height = qAbs(qint64(qFromLittleEndian<qint32>(header.constData() + 22)));
        bits = qFromLittleEndian<quint16>(header.constData() + 28);
        compression = Le32At(header, 30);
    }
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    // Sizes beyond the limits are refused later; here they must not overflow the sums.
    if (!uncompressed || width <= 0 || width > PictureLimits::MaxSide || height > PictureLimits::MaxSide ||
        bits <= 0 || bits > 64)
        return true;
    const qint64 rowBytes = (width * bits + 31) / 32 * 4;
    return qint64(offset) + rowBytes * height <= fileSize;
}

LoadedPicture LoadWithQt(QIODevice *device, const char *format)
{
    QImageReader reader(device, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(int(PictureLimits::MaxPixels * 4 / (1024 * 1024)));
    // A top-down BMP reports a negative height.
    const QSize size(reader.size().width(), qAbs(reader.size().height()));
    if (size.isEmpty())
        return Failure(QStringLiteral("damaged picture: %1").arg(reader.errorString()));
    if (!FitsLimits(size.width(), size.height()))
        return Failure(QStringLiteral("the picture claims %1 x %2 pixels, too large")
                           .arg(size.width())
                           .arg(size.height()));
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return Failure(QStringLiteral("damaged picture: %1").arg(reader.errorString()));
    // A GIF reports the size of its first frame but is read at the size of its logical screen.
    if (!FitsLimits(image.width(), image.height()))
        return Failure(QStringLiteral("the picture claims %1 x %2 pixels, too large")
                           .arg(image.width())
                           .arg(image.height()));
    const QImage::Format format32 =
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (image.format() != format32)
        image.convertTo(format32);
    if (image.isNull())
        return Failure(QStringLiteral("not enough memory for the picture"));
    return {image, QString()};
}

} // namespace

PictureKind PictureKindOf(const QByteArray &firstBytes)
{
    if (firstBytes.size() >= 3 && uchar(firstBytes[0]) == 0xFF && uchar(firstBytes[1]) == 0xD8 &&
        uchar(firstBytes[2]) == 0xFF)
        return PictureKind::Jpeg;
    if (firstBytes.startsWith("GIF87a") || firstBytes.startsWith("GIF89a"))
        return PictureKind::Gif;
    if (firstBytes.startsWith("BM"))
        return PictureKind::Bmp;
    return PictureKind::Unknown;
}

namespace
{

LoadedPicture LoadFile(const QString &path, QSize cover)
{
    // Only regular files: opening a pipe or a device could wait forever or never end.
    if (!QFileInfo(path).isFile())
        return Failure(QStringLiteral("%1 is no picture file").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    if (file.size() == 0)
        return Failure(QStringLiteral("the file is empty"));
    if (file.size() > PictureLimits::MaxFileBytes)
        return Failure(QStringLiteral("the file is too large for a picture"));

    switch (PictureKindOf(file.peek(8))) {
    case PictureKind::Jpeg: {
        const qint64 size = file.size();
        // Read rather than mapped: a file cut short meanwhile must not bring the program down.
        const QByteArray bytes = file.readAll();
        if (bytes.size() != size)
            return Failure(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
        return LoadJpeg(reinterpret_cast<const unsigned char *>(bytes.constData()), std::size_t(bytes.size()),
                        cover);
    }
    case PictureKind::Gif:
        return LoadWithQt(&file, "gif");
    case PictureKind::Bmp:
        if (!BmpPixelDataComplete(file.peek(64), file.size()))
            return Failure(QStringLiteral("the BMP file is cut short"));
        return LoadWithQt(&file, "bmp");
    case PictureKind::Unknown:
        break;
    }
    return Failure(QStringLiteral("not a JPEG, GIF or BMP picture"));
}

LoadedPicture LoadBytes(const QByteArray &bytes, QSize cover)
{
    if (bytes.isEmpty())
        return Failure(QStringLiteral("the file is empty"));
    if (bytes.size() > PictureLimits::MaxFileBytes)
        return Failure(QStringLiteral("the file is too large for a picture"));
    QBuffer buffer;
    buffer.setData(bytes);
    switch (PictureKindOf(bytes.left(8))) {
    case PictureKind::Jpeg:
        return LoadJpeg(reinterpret_cast<const unsigned char *>(bytes.constData()), std::size_t(bytes.size()),
                        cover);
    case PictureKind::Gif:
        buffer.open(QIODevice::ReadOnly);
        return LoadWithQt(&buffer, "gif");
    case PictureKind::Bmp:
        if (!BmpPixelDataComplete(bytes.left(64), bytes.size()))
            return Failure(QStringLiteral("the BMP file is cut short"));
        buffer.open(QIODevice::ReadOnly);
        return LoadWithQt(&buffer, "bmp");
    case PictureKind::Unknown:
        break;
    }
    return Failure(QStringLiteral("not a JPEG, GIF or BMP picture"));
}

} // namespace

LoadedPicture LoadPictureFromBytes(const QByteArray &bytes, QSize cover)
{
    try {
        return LoadBytes(bytes, cover);
    } catch (const std::exception &) {
        return Failure(QStringLiteral("not enough memory to load the picture"));
    }
}

LoadedPicture LoadPicture(const QString &path, QSize cover)
{
    try {
        return LoadFile(path, cover);
    } catch (const std::exception &) { // memory ran out inside Qt or the standard library
        return Failure(QStringLiteral("not enough memory to load %1").arg(path));
    }
}
