#pragma once

#include <QLabel>

// A label that acts like a button: clicked() is emitted when the left mouse button is released
// over it, or when Space or Enter is pressed while it has the focus. It takes the focus by Tab
// and by a click, and then shows a focus frame.
class ClickableLabel : public QLabel
{
    Q_OBJECT
  public:
    explicit ClickableLabel(QWidget *parent = nullptr);

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
