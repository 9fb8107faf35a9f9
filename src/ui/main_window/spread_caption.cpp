#include "main_window/spread_caption.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

void SpreadCaption::setLastWordX(qreal x)
{
    lastWordX_ = x;
    updateGeometry();
    update();
}

QString SpreadCaption::head() const
{
    const QString trimmed = text().trimmed();
    const qsizetype lastBlank = trimmed.lastIndexOf(QLatin1Char(' '));
    return lastBlank < 0 ? trimmed : trimmed.left(lastBlank).trimmed();
}

QString SpreadCaption::lastWord() const
{
    const QString trimmed = text().trimmed();
    const qsizetype lastBlank = trimmed.lastIndexOf(QLatin1Char(' '));
    return lastBlank < 0 ? QString() : trimmed.mid(lastBlank + 1);
}

QSize SpreadCaption::sizeHint() const
{
    const QSize natural = QLabel::sizeHint();
    if (lastWordX_ < 0 || lastWord().isEmpty())
        return natural;
    const qreal right = lastWordX_ + QFontMetricsF(font()).horizontalAdvance(lastWord());
    return QSize(int(std::ceil(right)) + contentsMargins().right(), natural.height());
}

void SpreadCaption::paintEvent(QPaintEvent *event)
{
    if (lastWordX_ < 0 || lastWord().isEmpty()) {
        QLabel::paintEvent(event);
        return;
    }
    QFrame::paintEvent(event);
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(foregroundRole()));
    const QRectF area = contentsRect();
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    p.drawText(area, flags, head());
    p.drawText(QRectF(lastWordX_, area.top(), area.right() - lastWordX_ + 1, area.height()), flags,
               lastWord());
}
