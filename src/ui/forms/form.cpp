#include "forms/form.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace
{

QString &OnlyFamily()
{
    static QString family;
    return family;
}

QFont Font(QStringList families, qreal points, bool bold)
{
    if (!OnlyFamily().isEmpty())
        families = {OnlyFamily()};
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The smallest size a caption is reduced to; below it no text is readable anyway.
constexpr qreal SmallestPoints = 5.0;
constexpr qreal PointStep = 0.25;
const char *const GivenPoints = "galvoraGivenPoints";

// The box a caption is drawn in.
QRect CaptionBox(const QWidget &control)
{
    QStyleOptionButton option;
    option.initFrom(&control);
    option.rect = control.rect();
    if (qobject_cast<const QRadioButton *>(&control))
        return control.style()->subElementRect(QStyle::SE_RadioButtonContents, &option, &control);
    if (qobject_cast<const QCheckBox *>(&control))
        return control.style()->subElementRect(QStyle::SE_CheckBoxContents, &option, &control);
    if (qobject_cast<const QPushButton *>(&control))
        return control.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &control);
    if (auto *label = qobject_cast<const QLabel *>(&control))
        return label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                              -label->margin());
    return control.rect();
}

QString CaptionOf(const QWidget &control)
{
    if (auto *label = qobject_cast<const QLabel *>(&control))
        return label->text();
    if (auto *button = qobject_cast<const QAbstractButton *>(&control))
        return button->text();
    return {};
}

} // namespace

void Place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(Twips(left, top, width, height));
}

QFont ArialFont(qreal points, bool bold)
{
    return Font({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                 QStringLiteral("Nimbus Sans")},
                points, bold);
}

QFont DialogFont()
{
    return Font({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Arimo"),
                 QStringLiteral("Nimbus Sans")},
                8, false);
}

QFont BoldDialogFont(qreal points)
{
    // The family is rare outside its home platform; faces with Arial's metrics come closest.
    return Font({QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                 QStringLiteral("Nimbus Sans")},
                points, true);
}

void UseOnlyFontFamily(const QString &family)
{
    OnlyFamily() = family;
}

void SetColour(QWidget &widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget.palette();
    palette.setColor(role, colour);
    widget.setPalette(palette);
}

void PaintBackground(QWidget &widget, const QColor &colour)
{
    SetColour(widget, QPalette::Window, colour);
    widget.setAutoFillBackground(true);
}

bool CaptionFits(const QWidget &control, const QString &caption)
{
    if (caption.isEmpty())
        return true;
    const QRect box = CaptionBox(control);
    const QFontMetricsF metrics(control.font());
    if (auto *label = qobject_cast<const QLabel *>(&control)) {
        if (label->wordWrap())
            return metrics.boundingRect(QRectF(box), Qt::TextWordWrap, caption).height() <= box.height();
        // A label may place its words itself (a spread caption): its size hint says what it needs.
        if (caption == label->text())
            return label->sizeHint().width() <= label->width();
    }
    return metrics.horizontalAdvance(caption) <= box.width();
}

void FitCaption(QWidget &control, const QString &widest)
{
    const QString caption = widest.isEmpty() ? CaptionOf(control) : widest;
    QVariant given = control.property(GivenPoints);
    if (!given.isValid()) {
        given = control.font().pointSizeF();
        control.setProperty(GivenPoints, given);
    }
    QFont font = control.font();
    font.setPointSizeF(given.toReal());
    control.setFont(font);
    while (!CaptionFits(control, caption) && font.pointSizeF() - PointStep >= SmallestPoints) {
        font.setPointSizeF(font.pointSizeF() - PointStep);
        control.setFont(font);
    }
}

void FitCaptions(QWidget &root)
{
    for (QWidget *child : root.findChildren<QWidget *>()) {
        if (qobject_cast<QLabel *>(child) || qobject_cast<QAbstractButton *>(child))
            FitCaption(*child);
    }
}

void SizeToText(QLabel &label)
{
    const int right = label.geometry().right();
    label.adjustSize();
    if (label.alignment() & Qt::AlignRight)
        label.move(right - label.width() + 1, label.y());
}

void FormDialog::setOkAndCancel(QPushButton *ok, QPushButton *cancel)
{
    // A focused auto-default button takes Enter itself; a box passes Enter to the default one.
    for (QPushButton *button : {ok, cancel})
        button->setAutoDefault(true);
    ok->setDefault(true);
}
