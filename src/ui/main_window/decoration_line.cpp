#include "main_window/decoration_line.h"

#include <QPainter>

DecorationLine::DecorationLine(Direction direction, QWidget *parent) : QWidget(parent), direction_(direction)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DecorationLine::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing,
                    direction_ == Direction::DownLeft || direction_ == Direction::DownRight);
    p.setPen(QPen(colour(), PenWidth, Qt::SolidLine, Qt::SquareCap));
    // Keep the 2-pixel pen inside the widget: the line runs along its middle.
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    switch (direction_) {
    case Direction::Horizontal:
        p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
        break;
    case Direction::Vertical:
        p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
        break;
    case Direction::DownLeft:
        p.drawLine(r.topRight(), r.bottomLeft());
        break;
    case Direction::DownRight:
        p.drawLine(r.topLeft(), r.bottomRight());
        break;
    }
}
