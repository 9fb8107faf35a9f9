#include "main_window/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace
{

QPixmap Transparent(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// Sky, sun and two hills inside `area`, the shared motif of the icon and the placeholder.
void DrawLandscape(QPainter &p, const QRectF &area)
{
    const qreal w = area.width(), h = area.height();
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0.0, QColor(70, 130, 210));
    sky.setColorAt(1.0, QColor(190, 220, 250));
    p.fillRect(area, sky);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 210, 60));
    p.drawEllipse(QPointF(area.left() + w * 0.75, area.top() + h * 0.28), w * 0.09, w * 0.09);

    QPainterPath farHill;
    farHill.moveTo(area.left(), area.top() + h * 0.70);
    farHill.cubicTo(area.left() + w * 0.25, area.top() + h * 0.35, area.left() + w * 0.45,
                    area.top() + h * 0.45, area.left() + w * 0.65, area.top() + h * 0.62);
    farHill.lineTo(area.left() + w * 0.65, area.bottom());
    farHill.lineTo(area.left(), area.bottom());
    farHill.closeSubpath();
    p.setBrush(QColor(60, 140, 70));
    p.drawPath(farHill);

    QPainterPath nearHill;
    nearHill.moveTo(area.left() + w * 0.30, area.bottom());
    nearHill.cubicTo(area.left() + w * 0.55, area.top() + h * 0.50, area.left() + w * 0.80,
                     area.top() + h * 0.55, area.right(), area.top() + h * 0.72);
    nearHill.lineTo(area.right(), area.bottom());
    nearHill.closeSubpath();
    p.setBrush(QColor(100, 175, 80));
    p.drawPath(nearHill);
}

} // namespace

QPixmap WindowIconPicture()
{
    QPixmap pixmap = Transparent(32, 32);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // A second photo peeking out behind the first one: an album.
    p.setPen(QPen(QColor(90, 70, 40), 1));
    p.setBrush(QColor(245, 240, 225));
    p.drawRect(QRectF(6.5, 1.5, 24, 20));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 8.5, 26, 22));
    DrawLandscape(p, QRectF(4, 11, 21, 17));
    return pixmap;
}

QPixmap MakeButtonPicture(int size)
{
    QPixmap pixmap = Transparent(size, size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    // The globe: a shaded sphere, two continents, and its grid of meridians and parallels.
    const QPointF centre(13, 13);
    const qreal radius = 11.5;
    QRadialGradient sea(centre - QPointF(4, 4), radius * 1.6);
    sea.setColorAt(0.0, QColor(150, 205, 255));
    sea.setColorAt(1.0, QColor(20, 80, 180));
    p.setPen(Qt::NoPen);
    p.setBrush(sea);
    p.drawEllipse(centre, radius, radius);

    QPainterPath globe;
    globe.addEllipse(centre, radius, radius);
    p.setClipPath(globe);
    p.setBrush(QColor(70, 160, 70));
    QPainterPath land;
    land.moveTo(4, 6);
    land.cubicTo(9, 2, 14, 5, 12, 10);
    land.cubicTo(10, 14, 7, 16, 8, 21);
    land.cubicTo(4, 18, 1, 12, 4, 6);
    land.moveTo(16, 11);
    land.cubicTo(21, 9, 25, 13, 23, 18);
    land.cubicTo(21, 22, 17, 20, 16, 11);
    p.drawPath(land);
    p.setPen(QPen(QColor(255, 255, 255, 110), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radius * 0.45, radius);
    p.drawLine(QPointF(centre.x(), 0), QPointF(centre.x(), 26));
    p.drawLine(QPointF(0, centre.y()), QPointF(26, centre.y()));
    p.drawLine(QPointF(0, centre.y() - 6), QPointF(26, centre.y() - 6));
    p.drawLine(QPointF(0, centre.y() + 6), QPointF(26, centre.y() + 6));
    p.setClipping(false);
    p.setPen(QPen(QColor(10, 40, 100), 1));
    p.drawEllipse(centre, radius, radius);

    // The hand in the lower right corner, its index finger pointing up and left at the globe.
    const QColor skin(250, 205, 160), outline(120, 70, 30);
    p.setPen(QPen(outline, 1));
    p.setBrush(skin);
    QPainterPath finger;
    finger.moveTo(17, 16);
    finger.lineTo(24, 23);
    finger.lineTo(22, 25);
    finger.lineTo(15, 18);
    finger.cubicTo(14, 17, 16, 15, 17, 16);
    p.drawPath(finger);
    p.drawRoundedRect(QRectF(20.5, 21.5, 10, 9), 3, 3);
    p.setPen(QPen(outline, 0.8));
    p.drawLine(QPointF(23.5, 24.5), QPointF(29, 24.5));
    p.drawLine(QPointF(23.5, 27.5), QPointF(29, 27.5));
    // The cuff.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 60, 140));
    p.drawRect(QRectF(28.5, 22, 3.5, 8));
    return pixmap;
}

QPixmap PlaceholderPicture()
{
    QPixmap pixmap(128, 80);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    DrawLandscape(p, QRectF(0, 0, 128, 80));
    // A frame of two photo corners marks it as a place for a picture rather than a picture.
    p.setPen(QPen(QColor(255, 255, 255, 200), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(5, 5, 118, 70));
    return pixmap;
}
