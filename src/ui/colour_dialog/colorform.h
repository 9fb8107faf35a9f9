#pragma once

#include "forms/form.h"

#include <QColor>

class QLabel;
class QPushButton;
class QScrollBar;

// The dialog that mixes the page background colour from red, green and blue. It starts from
// `colour` and reports each finished change of a bar (never while a thumb is dragged) through
// colourChanged(), so the shared colour follows the bars at once; Ok accepts, Cancel or a
// close by the frame rejects.
class Colorform : public FormDialog
{
    Q_OBJECT
  public:
    explicit Colorform(const QColor &colour, QWidget *parent = nullptr);

    // The mixed colour: the bars' values.
    QColor colour() const;

  signals:
    void colourChanged(const QColor &colour);

  private:
    void Form_Load();
    void ScrollRood_Change();
    void ScrollGroen_Change();
    void ScrollBlauw_Change();
    void showMixedColour();

    QColor start_;
    QScrollBar *scrollRood_ = nullptr;
    QScrollBar *scrollGroen_ = nullptr;
    QScrollBar *scrollBlauw_ = nullptr;
    QLabel *redValue_ = nullptr;    // Label5
    QLabel *greenValue_ = nullptr;  // Label6
    QLabel *blueValue_ = nullptr;   // Label7
    QLabel *mixedColour_ = nullptr; // Label8, the preview of the mixed colour
};
