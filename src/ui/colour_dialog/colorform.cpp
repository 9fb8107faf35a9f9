#include "colour_dialog/colorform.h"

#include "forms/form.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace
{

QLabel *AddLabel(QWidget *frame, const char *name, const QRect &geometry)
{
    auto *label = Named<QLabel>(frame, name);
    label->setGeometry(geometry);
    return label;
}

// A bordered label that only shows a colour.
QLabel *AddBand(QWidget *frame, const char *name, const QRect &geometry, const QColor &colour)
{
    QLabel *band = AddLabel(frame, name, geometry);
    band->setFrameStyle(QFrame::Box | QFrame::Plain);
    band->setLineWidth(1);
    PaintBackground(*band, colour);
    return band;
}

// "R", "G", "B": white bold letters on their band.
QLabel *AddLetter(QWidget *frame, const char *name, const QRect &geometry, const char *letter)
{
    QLabel *label = AddLabel(frame, name, geometry);
    label->setText(QString::fromLatin1(letter));
    label->setFont(BoldDialogFont(8.25));
    SetColour(*label, QPalette::WindowText, Qt::white);
    return label;
}

QLabel *AddValueLabel(QWidget *frame, const char *name, const QRect &geometry, const QColor &background)
{
    QLabel *label = AddLabel(frame, name, geometry);
    label->setFont(BoldDialogFont(9.75));
    SetColour(*label, QPalette::WindowText, Qt::black);
    PaintBackground(*label, background);
    return label;
}

QScrollBar *AddBar(QWidget *frame, const char *name, const QRect &geometry)
{
    auto *bar = new QScrollBar(Qt::Horizontal, frame);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setGeometry(geometry);
    bar->setRange(0, 255);
    bar->setSingleStep(1);
    bar->setPageStep(10);
    // Reached by Tab: the arrows step by 1, Page Up and Page Down by 10, Home and End to the ends.
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->setInvertedControls(false); // Left, Down and Page Down lower the value
    // Only completed changes count; nothing follows the thumb while it is dragged.
    bar->setTracking(false);
    return bar;
}

QPushButton *AddButton(QWidget *frame, const char *name, const QRect &geometry, const char *caption)
{
    auto *button = new QPushButton(QString::fromLatin1(caption), frame);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

} // namespace

Colorform::Colorform(const QColor &colour, QWidget *parent) : FormDialog(parent), start_(colour)
{
    setObjectName(QStringLiteral("Colorform"));
    setWindowTitle(QStringLiteral(" Backgroundcolor Html page"));
    setFont(DialogFont());

    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);

    // The bands first, so the bars, letters and buttons lie on top of them.
    AddBand(frame, "Label1", Twips(180, 270, 1845, 315), QColor(192, 0, 0));
    AddBand(frame, "Label2", Twips(180, 660, 1845, 315), QColor(0, 128, 0));
    AddBand(frame, "Label3", Twips(180, 1050, 1845, 315), QColor(0, 0, 128));
    AddBand(frame, "Label4", Twips(1320, 1470, 1305, 405), Qt::black);

    AddLetter(frame, "Label9", Twips(240, 330, 150, 195), "R");
    scrollRood_ = AddBar(frame, "ScrollRood", Twips(420, 300, 1575, 255));
    redValue_ = AddValueLabel(frame, "Label5", Twips(2190, 300, 375, 240), QColor(255, 0, 0));

    AddLetter(frame, "Label10", Twips(240, 720, 150, 195), "G");
    scrollGroen_ = AddBar(frame, "ScrollGroen", Twips(420, 690, 1575, 255));
    greenValue_ = AddValueLabel(frame, "Label6", Twips(2190, 690, 375, 240), QColor(0, 255, 0));

    AddLetter(frame, "Label11", Twips(240, 1110, 135, 195), "B");
    scrollBlauw_ = AddBar(frame, "ScrollBlauw", Twips(420, 1080, 1575, 255));
    blueValue_ = AddValueLabel(frame, "Label7", Twips(2190, 1080, 375, 240), QColor(0, 0, 255));

    mixedColour_ = AddLabel(frame, "Label8", Twips(180, 1500, 915, 345));
    mixedColour_->setFrameStyle(QFrame::Box | QFrame::Plain);
    mixedColour_->setLineWidth(1);

    QPushButton *cancel = AddButton(frame, "CancelKnop", Twips(1350, 1500, 705, 345), "Cancel");
    QPushButton *ok = AddButton(frame, "OkKnop", Twips(2070, 1500, 525, 345), "Ok");

    setTabOrder(scrollRood_, scrollGroen_);
    setTabOrder(scrollGroen_, scrollBlauw_);
    setTabOrder(scrollBlauw_, cancel);
    setTabOrder(cancel, ok);
    setOkAndCancel(ok, cancel);
    scrollRood_->setFocus(); // where the keys start

    connect(scrollRood_, &QScrollBar::valueChanged, this, &Colorform::ScrollRood_Change);
    connect(scrollGroen_, &QScrollBar::valueChanged, this, &Colorform::ScrollGroen_Change);
    connect(scrollBlauw_, &QScrollBar::valueChanged, this, &Colorform::ScrollBlauw_Change);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    Form_Load();
    FitCaptions(*this);
    for (QLabel *value : {redValue_, greenValue_, blueValue_})
        FitCaption(*value, QStringLiteral("255"));
}

void Colorform::Form_Load()
{
    // The client area of a 3000 x 2400 twip window.
    setFixedSize(192, 131);
    findChild<QFrame *>(QStringLiteral("Frame1"))->setGeometry(Twips(60, -30, 2805, 2010));

    // Each bar whose value changes runs its change handler, which stores the same value back.
    scrollRood_->setValue(start_.red());
    scrollGroen_->setValue(start_.green());
    scrollBlauw_->setValue(start_.blue());

    // A value of 0 runs no handler, so labels and preview are set here as well.
    redValue_->setText(QString::number(start_.red()));
    greenValue_->setText(QString::number(start_.green()));
    blueValue_->setText(QString::number(start_.blue()));
    PaintBackground(*mixedColour_, start_);
}

QColor Colorform::colour() const
{
    return QColor(scrollRood_->value(), scrollGroen_->value(), scrollBlauw_->value());
}

void Colorform::showMixedColour()
{
    PaintBackground(*mixedColour_, colour());
}

void Colorform::ScrollRood_Change()
{
    redValue_->setText(QString::number(scrollRood_->value()));
    showMixedColour();
    emit colourChanged(colour());
}

void Colorform::ScrollGroen_Change()
{
    greenValue_->setText(QString::number(scrollGroen_->value()));
    showMixedColour();
    emit colourChanged(colour());
}

void Colorform::ScrollBlauw_Change()
{
    blueValue_->setText(QString::number(scrollBlauw_->value()));
    showMixedColour();
    emit colourChanged(colour());
}
