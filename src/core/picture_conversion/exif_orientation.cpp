#include "picture_conversion/exif_orientation.h"

#include "picture_conversion/jpeg_segments.h"

#include <QTransform>
#include <QtEndian>
#include <cstdint>
#include <cstring>

namespace
{

// A bounds-checked view of the TIFF structure inside the Exif segment.
class TiffReader
{
  public:
    TiffReader(const unsigned char *data, std::size_t size) : data_(data), size_(size) {}

    bool readHeader()
    {
        if (size_ < 8)
            return false;
        if (data_[0] == 'I' && data_[1] == 'I')
            littleEndian_ = true;
        else if (data_[0] == 'M' && data_[1] == 'M')
            littleEndian_ = false;
        else
            return false;
        std::uint32_t magic = 0;
        return u16(2, magic) && magic == 42;
    }

    bool u16(std::size_t at, std::uint32_t &value) const
    {
        if (at > size_ || size_ - at < 2)
            return false;
        value = littleEndian_ ? std::uint32_t(data_[at] | (data_[at + 1] << 8))
                              : std::uint32_t((data_[at] << 8) | data_[at + 1]);
        return true;
    }

    bool u32(std::size_t at, std::uint32_t &value) const
    {
        std::uint32_t a = 0, b = 0;
        if (!u16(at, a) || !u16(at + 2, b))
            return false;
        value = littleEndian_ ? (a | (b << 16)) : ((a << 16) | b);
        return true;
    }

  private:
    const unsigned char *data_;
    std::size_t size_;
    bool littleEndian_ = true;
};

int OrientationFromTiff(const unsigned char *tiff, std::size_t size)
{
    TiffReader reader(tiff, size);
    std::uint32_t ifd = 0, count = 0;
    if (!reader.readHeader() || !reader.u32(4, ifd) || !reader.u16(ifd, count))
        return 1;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = std::size_t(ifd) + 2 + std::size_t(i) * 12;
        std::uint32_t tag = 0, type = 0, value = 0;
        if (!reader.u16(entry, tag))
            return 1;
        if (tag != 0x0112)
            continue;
        // Orientation is one SHORT, stored left-aligned in the value field.
        if (!reader.u16(entry + 2, type) || type != 3 || !reader.u16(entry + 8, value))
            return 1;
        return value >= 1 && value <= 8 ? int(value) : 1;
    }
    return 1;
}

} // namespace

int JpegExifOrientation(const unsigned char *data, std::size_t size)
{
    int orientation = 1;
    // The Exif segment comes before the frame header, if there is one.
    WalkJpegSegments(data, size, [&](const JpegSegment &segment) {
        if (segment.marker != 0xE1 || segment.size < 6 || std::memcmp(segment.body, "Exif\0\0", 6) != 0)
            return true; // another segment, or an APP1 of another kind (XMP)
        orientation = OrientationFromTiff(segment.body + 6, segment.size - 6);
        return false;
    });
    return orientation;
}

int ExifBlockOrientation(const unsigned char *data, std::size_t size)
{
    if (size >= 6 && std::memcmp(data, "Exif\0\0", 6) == 0)
        return OrientationFromTiff(data + 6, size - 6);
    return OrientationFromTiff(data, size);
}

int WebPExifOrientation(const unsigned char *data, std::size_t size)
{
    // "RIFF", the size, "WEBP", then chunks: a type, a little-endian size, the data padded to even.
    std::size_t pos = 12;
    while (pos <= size && size - pos >= 8) {
        const std::size_t length = std::size_t(data[pos + 4]) | std::size_t(data[pos + 5]) << 8 |
                                   std::size_t(data[pos + 6]) << 16 | std::size_t(data[pos + 7]) << 24;
        if (length > size - pos - 8)
            return 1;
        if (std::memcmp(data + pos, "EXIF", 4) == 0)
            return ExifBlockOrientation(data + pos + 8, length);
        pos += 8 + length + (length & 1);
    }
    return 1;
}

int PngExifOrientation(QIODevice &device)
{
    // After the signature, chunks: a big-endian length, a type, the data, a CRC.
    constexpr quint32 MaxExifBytes = 1 << 20;
    const qint64 start = device.pos();
    int orientation = 1;
    char header[8];
    for (qint64 at = start + 8; device.seek(at) && device.read(header, 8) == 8;) {
        const quint32 length = qFromBigEndian<quint32>(header);
        if (std::memcmp(header + 4, "IDAT", 4) == 0 || std::memcmp(header + 4, "IEND", 4) == 0)
            break;
        if (std::memcmp(header + 4, "eXIf", 4) == 0) {
            const QByteArray block = length <= MaxExifBytes ? device.read(length) : QByteArray();
            orientation = ExifBlockOrientation(reinterpret_cast<const unsigned char *>(block.constData()),
                                               std::size_t(block.size()));
            break;
        }
        at += 12 + qint64(length);
    }
    device.seek(start);
    return orientation;
}

bool OrientationSwapsSides(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

QImage ApplyOrientation(const QImage &image, int orientation)
{
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5: // mirrored along the main diagonal
        return image.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6:
        return image.transformed(QTransform().rotate(90));
    case 7: // mirrored along the other diagonal
        return image.transformed(QTransform().rotate(270)).mirrored(true, false);
    case 8:
        return image.transformed(QTransform().rotate(270));
    default:
        return image;
    }
}
