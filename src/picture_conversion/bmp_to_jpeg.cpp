#include "picture_conversion/bmp_to_jpeg.h"

#include "picture_conversion/picture_loader.h"
#include "picture_conversion/turbojpeg_handles.h"

#include <QImageReader>
#include <QSaveFile>
#include <algorithm>
#include <exception>

namespace
{

bool Encode(const QString &bmpPath, const QString &jpegPath, int quality)
{
    QImageReader reader(bmpPath, "bmp");
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(int(PictureLimits::MaxPixels * 4 / (1024 * 1024)));
    const QSize size(reader.size().width(), qAbs(reader.size().height())); // top-down BMPs: negative
    if (size.isEmpty() || size.width() > PictureLimits::MaxSide || size.height() > PictureLimits::MaxSide ||
        qint64(size.width()) * size.height() > PictureLimits::MaxPixels)
        return false;
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return false;
    if (image.format() != QImage::Format_RGB32)
        image.convertTo(QImage::Format_RGB32);
    if (image.isNull())
        return false;

    Tj::Handle handle(tjInitCompress());
    if (!handle)
        return false;
    unsigned char *raw = nullptr;
    unsigned long jpegSize = 0;
    // Format_RGB32 is 0xffRRGGBB in native byte order.
    const int pixelFormat = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRX : TJPF_XRGB;
    const int rc =
        tjCompress2(handle.get(), image.constBits(), image.width(), int(image.bytesPerLine()), image.height(),
                    pixelFormat, &raw, &jpegSize, TJSAMP_420, std::clamp(quality, 1, 100), 0);
    const Tj::Buffer jpeg(raw);
    if (rc != 0 || !jpeg || jpegSize == 0)
        return false;

    // Written beside the target and renamed into place, so a failed write leaves no half file.
    QSaveFile file(jpegPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(reinterpret_cast<const char *>(jpeg.get()), qint64(jpegSize)) != qint64(jpegSize)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

bool BmpToJpeg(const QString &bmpPath, const QString &jpegPath, int quality)
{
    try {
        return Encode(bmpPath, jpegPath, quality);
    } catch (const std::exception &) { // memory ran out: the JPEG file was not written
        return false;
    }
}
