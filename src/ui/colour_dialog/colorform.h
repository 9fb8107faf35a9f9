#pragma once

#include <QDialog>

class QColor;
class QLabel;
class QPushButton;
class QScrollBar;
struct ProgramValues;

// The dialog that mixes the page background colour from red, green and blue.
// The shared colour follows the bars at once; Ok also repaints the swatch of the main
// window, Cancel (or closing the frame) leaves the swatch as it was.
class Colorform : public QDialog
{
    Q_OBJECT
  public:
    Colorform(ProgramValues &values, QWidget &swatch, QWidget *parent = nullptr);

  protected:
    // Neither button answers Enter or Escape.
    void keyPressEvent(QKeyEvent *event) override;

  private:
    void Form_Load();
    void ScrollRood_Change();
    void ScrollGroen_Change();
    void ScrollBlauw_Change();
    void OkKnop_Click();
    void CancelKnop_Click();
    void showMixedColour();

    ProgramValues &values_;
    QWidget &swatch_;
    QScrollBar *scrollRood_ = nullptr;
    QScrollBar *scrollGroen_ = nullptr;
    QScrollBar *scrollBlauw_ = nullptr;
    QLabel *label5_ = nullptr; // red value
    QLabel *label6_ = nullptr; // green value
    QLabel *label7_ = nullptr; // blue value
    QLabel *label8_ = nullptr; // preview of the mixed colour
};

// A click on the swatch: shows a fresh Colorform, modal to `parent` (the main window takes no
// input until the dialog has closed). The dialog destroys itself when it closes.
Colorform *KleurLabel_Click(ProgramValues &values, QWidget &swatch, QWidget *parent);

// Gives a widget a plain background of one colour (the swatch, the preview).
void PaintBackground(QWidget &widget, const QColor &colour);
