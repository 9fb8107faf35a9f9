#include "picture_conversion/bmp_to_jpeg.h"

#include "picture_conversion/conversion_steps.h"
#include "picture_conversion/turbojpeg_handles.h"
#include "shared/file_writing.h"

#include <QImageReader>
#include <algorithm>
#include <exception>
#include <limits>

namespace
{

const QString EncoderFailed = QStringLiteral("the picture could not be encoded");

Outcome<QByteArray> Compress(const QImage &picture, int quality, JpegCoding coding)
{
    const QImage image =
        picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        return Failure{QStringLiteral("there is not enough memory for the picture")};
    Tj::Handle handle(tjInitCompress());
    if (!handle)
        return Failure{QStringLiteral("the JPEG encoder could not be started")};
    unsigned char *raw = nullptr;
    unsigned long jpegSize = 0;
    // Format_RGB32 is 0xffRRGGBB in native byte order.
    const int pixelFormat = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRX : TJPF_XRGB;
    const int rc =
        tjCompress2(handle.get(), image.constBits(), image.width(), int(image.bytesPerLine()), image.height(),
                    pixelFormat, &raw, &jpegSize, TJSAMP_420, std::clamp(quality, 1, 100),
                    coding == JpegCoding::Progressive ? TJFLAG_PROGRESSIVE : 0);
    const Tj::Buffer jpeg(raw);
    if (rc != 0)
        return Failure{QString::fromLocal8Bit(tjGetErrorStr2(handle.get()))};
    if (!jpeg || jpegSize == 0 || jpegSize > static_cast<unsigned long>(std::numeric_limits<int>::max()))
        return Failure{EncoderFailed};
    return QByteArray(reinterpret_cast<const char *>(jpeg.get()), qsizetype(jpegSize));
}

Outcome<QByteArray> Encode(const QString &bmpPath, int quality)
{
    const QString unreadable = QStringLiteral("the BMP file could not be read");
    QImageReader reader(bmpPath, "bmp");
    reader.setAutoDetectImageFormat(false);
    // The BMP is the canvas, so the canvas limits apply (its sides may exceed a picture's).
    reader.setAllocationLimit(int(CanvasLimits::MaxPixels * 4 / (1024 * 1024) + 1));
    const QSize size(reader.size().width(), qAbs(reader.size().height())); // top-down BMPs: negative
    if (size.isEmpty() || !CanvasSizeAllowed(size.width(), size.height()))
        return Failure{unreadable};
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return Failure{unreadable};
    if (image.format() != QImage::Format_RGB32)
        image.convertTo(QImage::Format_RGB32);
    if (image.isNull() || !CanvasSizeAllowed(image.width(), image.height()))
        return Failure{unreadable};
    return EncodeJpeg(image, quality);
}

} // namespace

Outcome<QByteArray> EncodeJpeg(const QImage &image, int quality, JpegCoding coding)
{
    try {
        if (image.isNull())
            return Failure{QStringLiteral("there is no picture to encode")};
        return Compress(image, quality, coding);
    } catch (const std::exception &) { // memory ran out
        return Failure{EncoderFailed};
    }
}

Outcome<QByteArray> EncodeBmpFile(const QString &bmpPath, int quality)
{
    try {
        return Encode(bmpPath, quality);
    } catch (const std::exception &) { // memory ran out
        return Failure{EncoderFailed};
    }
}

Status BmpToJpeg(const QString &bmpPath, const QString &jpegPath, int quality)
{
    const Outcome<QByteArray> jpeg = EncodeBmpFile(bmpPath, quality);
    if (!jpeg)
        return jpeg.failure();
    // Into the album's own new folder: nothing already there is written over.
    return WriteWholeFile(jpegPath, jpeg.value(), IfExists::Refuse);
}
