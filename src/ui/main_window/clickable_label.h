#pragma once

#include <QLabel>

// A label that reports a click, like a button: clicked() is emitted when the left mouse
// button is released over it.
class ClickableLabel : public QLabel
{
    Q_OBJECT
  public:
    using QLabel::QLabel;

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
