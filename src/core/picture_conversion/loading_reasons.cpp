#include "picture_conversion/loading_reasons.h"

#include "picture_conversion/picture_loader.h"

namespace LoadingReasons
{

QString EndsEarly()
{
    return QStringLiteral("the file ends before the picture does");
}

QString Damaged()
{
    return QStringLiteral("the picture data is damaged");
}

QString NoMemory()
{
    return QStringLiteral("there is not enough memory for the picture");
}

QString MorePixelsThan(qint64 limit)
{
    return QStringLiteral("larger than %1 megapixels").arg(limit / 1000000);
}

QString CannotDecode(const QString &part)
{
    return QStringLiteral("this program cannot decode the picture's %1").arg(part);
}

Status CheckPictureSize(qint64 width, qint64 height)
{
    if (width <= 0 || height <= 0)
        return Failure{QStringLiteral("the picture has no size")};
    if (width > PictureLimits::MaxSide || height > PictureLimits::MaxSide)
        return Failure{QStringLiteral("wider or taller than %1 pixels").arg(PictureLimits::MaxSide)};
    if (width * height > PictureLimits::MaxPixels)
        return Failure{MorePixelsThan(PictureLimits::MaxPixels)};
    return {};
}

int ReductionCovering(QSize size, QSize cover)
{
    if (cover.isEmpty())
        return 1;
    for (int denominator : {8, 4, 2})
        if ((size.width() + denominator - 1) / denominator >= cover.width() &&
            (size.height() + denominator - 1) / denominator >= cover.height())
            return denominator;
    return 1;
}

} // namespace LoadingReasons
