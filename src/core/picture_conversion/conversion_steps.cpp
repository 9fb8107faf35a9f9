#include "picture_conversion/conversion_steps.h"

#include "picture_conversion/loading_reasons.h"

#include <QColorSpace>
#include <QLocale>
#include <QPainter>
#include <QtNumeric>

namespace
{

// The locale's long time format without its time zone ("t" to "tttt" outside quotes, and
// the blanks that set it apart).
QString TimeFormatWithoutZone(const QString &format)
{
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('t')) {
            result += c;
            continue;
        }
        while (i + 1 < format.size() && format[i + 1] == QLatin1Char('t'))
            ++i;
        while (!result.isEmpty() && result.back().isSpace())
            result.chop(1);
        if (result.isEmpty())
            while (i + 1 < format.size() && format[i + 1].isSpace())
                ++i;
    }
    return result;
}

} // namespace

QString PictureDateText(const QDateTime &modified)
{
    if (!modified.isValid())
        return QString();
    const QLocale locale;
    const QString date = locale.toString(modified.date(), QLocale::ShortFormat);
    const QTime time = modified.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return date;
    return date + QLatin1Char(' ') +
           locale.toString(time, TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat)));
}

bool CanvasSizeAllowed(std::int32_t width, std::int32_t height)
{
    std::int32_t twipsWidth = 0, twipsHeight = 0;
    if (width <= 0 || height <= 0)
        return false;
    if (qMulOverflow(width, std::int32_t(15), &twipsWidth) ||
        qMulOverflow(height, std::int32_t(15), &twipsHeight))
        return false;
    return width <= CanvasLimits::MaxSide && height <= CanvasLimits::MaxSide &&
           std::int64_t(width) * height <= CanvasLimits::MaxPixels;
}

namespace
{

// The picture as large as fits inside the canvas with its proportions, centred on the page colour.
Outcome<QImage> FitOntoCanvas(const QImage &picture, const QImage &canvas, const CanvasFill &fill)
{
    const QImage fitted = picture.scaled(canvas.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage result = canvas;
    result.fill(fill.pageColour);
    if (fitted.isNull() || result.isNull())
        return Failure{LoadingReasons::NoMemory()};
    const QRect place(QPoint((canvas.width() - fitted.width()) / 2, (canvas.height() - fitted.height()) / 2),
                      fitted.size());
    {
        QPainter painter(&result);
        if (fitted.hasAlphaChannel())
            painter.fillRect(place, fill.background);
        painter.drawImage(place.topLeft(), fitted);
    }
    return result;
}

} // namespace

Outcome<QImage> StretchOntoCanvas(const QImage &picture, const QImage &canvas, const CanvasFill &fill)
{
    if (fill.keepProportions)
        return FitOntoCanvas(picture, canvas, fill);
    QImage stretched = picture.size() == canvas.size()
                           ? picture
                           : picture.scaled(canvas.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (stretched.isNull())
        return Failure{LoadingReasons::NoMemory()};
    if (!stretched.hasAlphaChannel()) {
        if (stretched.format() != QImage::Format_RGB32)
            stretched.convertTo(QImage::Format_RGB32);
        if (stretched.isNull())
            return Failure{LoadingReasons::NoMemory()};
        return stretched;
    }
    QImage result = canvas;
    result.fill(fill.background);
    if (result.isNull())
        return Failure{LoadingReasons::NoMemory()};
    QPainter(&result).drawImage(0, 0, stretched);
    return result;
}

QImage Opaque(const QImage &picture, const QColor &background)
{
    if (!picture.hasAlphaChannel())
        return picture;
    QImage canvas(picture.size(), QImage::Format_RGB32);
    if (canvas.isNull())
        return canvas;
    canvas.setColorSpace(picture.colorSpace());
    canvas.fill(background);
    QPainter(&canvas).drawImage(0, 0, picture);
    return canvas;
}
