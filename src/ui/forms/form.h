#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// What the three windows share in building their forms.

// Positions and sizes are laid out in twips, 15 to the pixel.
constexpr int Px(int twips)
{
    return twips / 15;
}
inline QRect Twips(int left, int top, int width, int height)
{
    return {Px(left), Px(top), Px(width), Px(height)};
}
void Place(QWidget *widget, int left, int top, int width, int height); // in twips

// A new child of `parent` whose objectName is `name`.
template <typename W> W *Named(QWidget *parent, const char *name)
{
    auto *widget = new W(parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// The fixed fonts. Arial where the layout names it, else faces with its metrics; the dialogs'
// font is a narrow 8-point sans the layout was made for, not the desktop's default.
QFont ArialFont(qreal points, bool bold = false);
QFont DialogFont();
QFont BoldDialogFont(qreal points);

// Every font above uses only `family` from now on; an empty family restores the usual faces.
// Lets a test see the windows as a machine with that one family sees them.
void UseOnlyFontFamily(const QString &family);

const QColor DarkGreyText(64, 64, 64);
const QColor LightGreyBackground(224, 224, 224);

void SetColour(QWidget &widget, QPalette::ColorRole role, const QColor &colour);
// A plain background of one colour (the swatch, the preview, the black boxes).
void PaintBackground(QWidget &widget, const QColor &colour);

// Whether `caption` fits the control's box in its font: one line across the contents of a
// label, button, option or check box, or the wrapped lines down a word-wrapped label.
bool CaptionFits(const QWidget &control, const QString &caption);
// Reduces the control's font, from the size it was given, until its caption (or `widest`,
// for a label whose text changes) fits its box. The box and the text never change.
void FitCaption(QWidget &control, const QString &widest = QString());
// FitCaption for every label, button, option and check box inside `root`.
void FitCaptions(QWidget &root);

// A label sized to its text; one aligned right keeps its right edge and grows to the left.
void SizeToText(QLabel &label);

// A dialog with Ok and Cancel. Enter presses the focused button, and Ok wherever else the focus
// is (a box, an option, a scroll bar); Escape rejects, as Cancel does.
class FormDialog : public QDialog
{
    Q_OBJECT
  public:
    using QDialog::QDialog;

  protected:
    // Call once the buttons exist.
    void setOkAndCancel(QPushButton *ok, QPushButton *cancel);
};
