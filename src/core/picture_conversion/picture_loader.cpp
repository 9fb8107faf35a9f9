#include "picture_conversion/picture_loader.h"

#include "picture_conversion/colour_management.h"
#include "picture_conversion/exif_orientation.h"
#include "picture_conversion/heif_loading.h"
#include "picture_conversion/jpeg_segments.h"
#include "picture_conversion/loading_reasons.h"
#include "picture_conversion/picture_metadata.h"
#include "picture_conversion/turbojpeg_handles.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <exception>

namespace
{

#ifndef TJFLAG_LIMITSCANS // older TurboJPEG releases have no scan limit
#define TJFLAG_LIMITSCANS 0
#endif

const QString EndsEarly = LoadingReasons::EndsEarly();
const QString Damaged = LoadingReasons::Damaged();
const QString NoMemory = LoadingReasons::NoMemory();
using LoadingReasons::CheckPictureSize;
using LoadingReasons::MorePixelsThan;

// Why a JPEG could not be decoded, in plain words. Entropy-coded data never holds the end
// marker, so a file that does not end with it (bar zero padding) was cut short.
QString JpegFailure(const unsigned char *data, std::size_t size, const char *decoderText)
{
    while (size > 0 && data[size - 1] == 0)
        --size;
    const bool endMarker = size >= 2 && data[size - 2] == 0xFF && data[size - 1] == 0xD9;
    return !endMarker || std::strstr(decoderText, "Premature end of JPEG file") ? EndsEarly : Damaged;
}

// The frame header's marker type (0xC0 baseline, 0xC2 progressive, ...) or 0 when none is found.
int JpegFrameType(const unsigned char *data, std::size_t size)
{
    int type = 0;
    WalkJpegSegments(data, size, [&](const JpegSegment &segment) {
        if (IsJpegFrameHeader(segment.marker))
            type = segment.marker;
        return true;
    });
    return type;
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

Outcome<QImage> LoadJpeg(const unsigned char *data, std::size_t size, QSize cover)
{
    Tj::Handle handle(tjInitDecompress());
    if (!handle)
        return Failure{QStringLiteral("the JPEG decoder could not be started")};
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (tjDecompressHeader3(handle.get(), data, static_cast<unsigned long>(size), &width, &height,
                            &subsampling, &colourspace) != 0)
        return Failure{JpegFailure(data, size, tjGetErrorStr2(handle.get()))};
    const int frameType = JpegFrameType(data, size);
    if (width <= 0 || height <= 0)
        return Failure{frameType == 0 ? EndsEarly : QStringLiteral("the picture has no size")};

    const qint64 sourcePixels = qint64(width) * height;
    const bool sequential = frameType == 0xC0;
    const qint64 sourceLimit =
        sequential ? PictureLimits::MaxSequentialJpegPixels : PictureLimits::MaxBufferedJpegPixels;
    if (sourcePixels > sourceLimit)
        return Failure{MorePixelsThan(sourceLimit)};

    const int orientation =
        ReadPictureMetadata(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)))
            .orientation;
    const QSize storedCover = OrientationSwapsSides(orientation) ? cover.transposed() : cover;
    const tjscalingfactor factor{1, JpegDenominator(width, height, storedCover)};
    const int scaledWidth = TJSCALED(width, factor), scaledHeight = TJSCALED(height, factor);
    if (const Status allowed = CheckPictureSize(scaledWidth, scaledHeight); !allowed)
        return allowed.failure();

    QImage image(scaledWidth, scaledHeight, QImage::Format_RGB32);
    if (image.isNull())
        return Failure{NoMemory};

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
            return Failure{JpegFailure(data, size, text)};
        if (decode(0) != 0 &&
            (tjGetErrorCode(handle.get()) == TJERR_FATAL || !HarmlessWarning(tjGetErrorStr2(handle.get()))))
            return Failure{JpegFailure(data, size, tjGetErrorStr2(handle.get()))};
    }
    if (cmyk)
        CmykToRgb32(image);
    else if (const QByteArray icc = JpegIccProfile(data, size); !icc.isEmpty())
        image.setColorSpace(QColorSpace::fromIccProfile(icc)); // a CMYK or grey profile is no RGB space
    ConvertToSrgb(image);
    return ApplyOrientation(image, orientation);
}

quint32 Le32At(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

// Whether a BMP can be read, as far as its header tells; the failure says why not. Refuses sizes beyond
// the limits and an uncompressed BMP that lacks pixel rows its header promises (Qt fills missing
// rows silently; run-length data ends where it ends).
Status CheckBmpHeader(const QByteArray &header, qint64 fileSize)
{
    if (header.size() < 30)
        return Failure{EndsEarly};
    const quint32 offset = Le32At(header, 10), infoSize = Le32At(header, 14);
    qint64 width = 0, height = 0, bits = 0, compression = 0;
    if (infoSize == 12) { // the old core header
        width = qFromLittleEndian<quint16>(header.constData() + 18);
        height = qFromLittleEndian<quint16>(header.constData() + 20);
        bits = qFromLittleEndian<quint16>(header.constData() + 24);
    } else {
        if (header.size() < 34)
            return Failure{EndsEarly};
        width = qFromLittleEndian<qint32>(header.constData() + 18);
        height = qAbs(qint64(qFromLittleEndian<qint32>(header.constData() + 22)));
        bits = qFromLittleEndian<quint16>(header.constData() + 28);
        compression = Le32At(header, 30);
    }
    if (width > 0 && height > 0)
        if (const Status allowed = CheckPictureSize(width, height); !allowed)
            return allowed;
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    // Other odd headers are Qt's to refuse; here they must not overflow the sums.
    if (!uncompressed || width <= 0 || width > PictureLimits::MaxSide || height > PictureLimits::MaxSide ||
        bits <= 0 || bits > 64)
        return {};
    const qint64 rowBytes = (width * bits + 31) / 32 * 4;
    if (qint64(offset) + rowBytes * height > fileSize)
        return Failure{EndsEarly};
    return {};
}

// Whether a file of `kind` that Qt could not read was cut short, judged by the sizes its first
// bytes `head` state; for the kinds Qt reads in one stream, by whether the stream ran out.
bool CutShort(PictureKind kind, const QByteArray &head, QIODevice *device, qint64 fileSize)
{
    if (kind == PictureKind::WebP) // the RIFF header states the size of the rest of the file
        return head.size() < 12 || qint64(Le32At(head, 4)) + 8 > fileSize;
    if (kind == PictureKind::Tiff) { // the first directory is written after the pixels
        if (head.size() < 8)
            return true;
        const quint32 directory =
            head.startsWith("II") ? Le32At(head, 4) : qFromBigEndian<quint32>(head.constData() + 4);
        return qint64(directory) + 2 > fileSize;
    }
    return device->atEnd();
}

// Whether a PNG's chunks fit in the file. libpng takes memory for a whole chunk (other than the
// streamed pixel data) before it reads it, so a damaged length would ask for up to 2 GB; such a
// chunk cannot be there, the file ends first. Leaves `device` where it was.
Status CheckPngChunks(QIODevice &device, qint64 fileSize)
{
    const qint64 start = device.pos();
    Status fits;
    char header[8];
    // After the signature, chunks: a big-endian length, a type, the data, a CRC.
    for (qint64 at = start + 8; device.seek(at) && device.read(header, 8) == 8;) {
        const qint64 length = qFromBigEndian<quint32>(header);
        if (std::memcmp(header + 4, "IEND", 4) == 0)
            break;
        if (std::memcmp(header + 4, "IDAT", 4) != 0 && at + 12 + length > fileSize) {
            fits = Failure{EndsEarly};
            break;
        }
        at += 12 + length;
    }
    device.seek(start);
    return fits;
}

// `exifOrientation`: the picture's EXIF orientation, applied here and only here.
Outcome<QImage> LoadWithQt(QIODevice *device, const char *format, PictureKind kind, qint64 fileSize,
                           QSize cover, int exifOrientation = 1)
{
    const QByteArray head = device->peek(16);
    QImageReader reader(device, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(int(PictureLimits::MaxPixels * 4 / (1024 * 1024)));
    // PNG, WebP and TIFF pictures may carry an orientation: Exiv2 reads it, so the reader must not
    // turn them as well (Qt's TIFF reader would).
    reader.setAutoTransform(false);
    // A top-down BMP reports a negative height.
    QSize size(reader.size().width(), qAbs(reader.size().height()));
    if (!size.isValid())
        return Failure{CutShort(kind, head, device, fileSize) ? EndsEarly : Damaged};
    // libwebp scales while it decodes, so only the reduced picture is ever held.
    if (kind == PictureKind::WebP && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        const bool sideways = OrientationSwapsSides(exifOrientation);
        const int reduction = LoadingReasons::ReductionCovering(size, sideways ? cover.transposed() : cover);
        if (reduction > 1) {
            size = QSize((size.width() + reduction - 1) / reduction,
                         (size.height() + reduction - 1) / reduction);
            reader.setScaledSize(size);
        }
    }
    if (const Status allowed = CheckPictureSize(size.width(), size.height()); !allowed)
        return allowed.failure();
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return Failure{CutShort(kind, head, device, fileSize) ? EndsEarly : Damaged};
    // A GIF reports the size of its first frame but is read at the size of its logical screen.
    if (const Status allowed = CheckPictureSize(image.width(), image.height()); !allowed)
        return allowed.failure();
    const QImage::Format format32 =
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (image.format() != format32)
        image.convertTo(format32);
    if (image.isNull())
        return Failure{NoMemory};
    ConvertToSrgb(image);
    return ApplyOrientation(image, exifOrientation);
}

// The kind of a file in the ISO base media format (HEIF, AVIF) by its "ftyp" box: the major
// brand, then the compatible brands, decide.
PictureKind HeifKindOf(const QByteArray &firstBytes)
{
    if (firstBytes.size() < 16 || firstBytes.mid(4, 4) != "ftyp")
        return PictureKind::Unknown;
    const qsizetype boxEnd =
        std::min<qsizetype>(firstBytes.size(), qFromBigEndian<quint32>(firstBytes.constData()));
    QList<QByteArray> brands{firstBytes.mid(8, 4)};
    for (qsizetype at = 16; at + 4 <= boxEnd; at += 4)
        brands.append(firstBytes.mid(at, 4));
    for (const QByteArray &brand : brands) {
        if (brand == "avif" || brand == "avis")
            return PictureKind::Avif;
        if (brand == "heic" || brand == "heix" || brand == "heim" || brand == "heis" || brand == "hevc" ||
            brand == "hevx" || brand == "mif1" || brand == "msf1")
            return PictureKind::Heic;
    }
    return PictureKind::Unknown;
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
    if (firstBytes.startsWith("\x89PNG\r\n\x1a\n"))
        return PictureKind::Png;
    if (firstBytes.startsWith("RIFF") && firstBytes.mid(8, 4) == "WEBP")
        return PictureKind::WebP;
    if (firstBytes.startsWith(QByteArray("II*\0", 4)) || firstBytes.startsWith(QByteArray("MM\0*", 4)))
        return PictureKind::Tiff;
    return HeifKindOf(firstBytes);
}

namespace
{

// The first `size` bytes of `device`, read a piece at a time: the kernel may not take the
// processor from a thread inside one long read, and the window's thread must not wait for a
// worker reading a 20 MB photo.
QByteArray ReadInPieces(QIODevice &device, qint64 size)
{
    constexpr qint64 Piece = 1 << 20;
    QByteArray bytes(size, Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const qint64 got = device.read(bytes.data() + done, std::min(Piece, size - done));
        if (got <= 0)
            break;
        done += got;
    }
    bytes.truncate(done);
    return bytes;
}

// The EXIF orientation of the TIFF in `device`: from its bytes where they are in memory, else from
// its file, which Exiv2 maps (the directories may be anywhere in it).
int OrientationOf(QIODevice &device)
{
    if (auto *buffer = qobject_cast<QBuffer *>(&device))
        return ReadPictureMetadata(buffer->data()).orientation;
    if (auto *file = qobject_cast<QFile *>(&device))
        return ReadPictureMetadataFile(file->fileName()).orientation;
    return 1;
}

// The picture in `device`, open at its start and `size` bytes long, by the kind its first bytes name.
Outcome<QImage> LoadFromDevice(QIODevice &device, qint64 size, QSize cover)
{
    if (size == 0)
        return Failure{QStringLiteral("the file is empty")};
    if (size > PictureLimits::MaxFileBytes)
        return Failure{
            QStringLiteral("the file is larger than %1 MB").arg(PictureLimits::MaxFileBytes >> 20)};

    const PictureKind kind = PictureKindOf(device.peek(64));
    switch (kind) {
    case PictureKind::Heic:
    case PictureKind::Avif:
        // libheif reads the file as it needs it, so that its bytes are not held twice.
        if (auto *buffer = qobject_cast<QBuffer *>(&device))
            return LoadHeif(buffer->data(), cover);
        return LoadHeif(device, cover);
    case PictureKind::Jpeg: {
        // Read rather than mapped: a file cut short meanwhile must not bring the program down.
        auto *buffer = qobject_cast<QBuffer *>(&device);
        const QByteArray bytes = buffer ? buffer->data() : ReadInPieces(device, size);
        if (bytes.size() != size)
            return Failure{QStringLiteral("the file could not be read to its end")};
        return LoadJpeg(reinterpret_cast<const unsigned char *>(bytes.constData()), std::size_t(bytes.size()),
                        cover);
    }
    case PictureKind::Gif:
        return LoadWithQt(&device, "gif", kind, size, cover);
    case PictureKind::Bmp:
        if (const Status header = CheckBmpHeader(device.peek(64), size); !header)
            return header.failure();
        return LoadWithQt(&device, "bmp", kind, size, cover);
    case PictureKind::Png:
    case PictureKind::WebP: {
        // Read whole: the metadata may follow the pixels, and Exiv2 finds it in memory at once
        // where seeking from chunk to chunk through a 20 MB PNG file takes it 30 ms.
        auto *buffer = qobject_cast<QBuffer *>(&device);
        const QByteArray bytes = buffer ? buffer->data() : ReadInPieces(device, size);
        if (bytes.size() != size)
            return Failure{QStringLiteral("the file could not be read to its end")};
        QBuffer whole;
        whole.setData(bytes);
        whole.open(QIODevice::ReadOnly);
        if (kind == PictureKind::Png)
            if (const Status chunks = CheckPngChunks(whole, size); !chunks)
                return chunks.failure();
        return LoadWithQt(&whole, kind == PictureKind::Png ? "png" : "webp", kind, size, cover,
                          ReadPictureMetadata(bytes).orientation);
    }
    case PictureKind::Tiff:
        return LoadWithQt(&device, "tiff", kind, size, cover, OrientationOf(device));
    case PictureKind::Unknown:
        break;
    }
    return Failure{QStringLiteral("not a JPEG, GIF, BMP, PNG, WebP, TIFF, HEIC or AVIF picture")};
}

Outcome<QImage> LoadFile(const QString &path, QSize cover)
{
    // Only regular files: opening a pipe or a device could wait forever or never end.
    const QFileInfo info(path);
    if (!info.exists())
        return Failure{QStringLiteral("the file does not exist")};
    if (!info.isFile())
        return Failure{info.isDir() ? QStringLiteral("it is a folder, not a file")
                                    : QStringLiteral("it is not an ordinary file")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure{QStringLiteral("the file cannot be opened (%1)").arg(file.errorString().toLower())};
    return LoadFromDevice(file, file.size(), cover);
}

} // namespace

Outcome<QImage> LoadPictureFromBytes(const QByteArray &bytes, QSize cover)
{
    try {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        return LoadFromDevice(buffer, bytes.size(), cover);
    } catch (const std::exception &) { // memory ran out inside Qt or the standard library
        return Failure{NoMemory};
    }
}

Outcome<QImage> LoadPicture(const QString &path, QSize cover)
{
    try {
        return LoadFile(path, cover);
    } catch (const std::exception &) { // memory ran out inside Qt or the standard library
        return Failure{NoMemory};
    }
}
