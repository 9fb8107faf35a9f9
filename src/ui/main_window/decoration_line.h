#pragma once

#include <QWidget>

// One stroke of the dark green arrow between the Delete buttons and the selection list.
// The widget's rectangle is the stroke's bounding box; it ignores the mouse.
class DecorationLine : public QWidget
{
    Q_OBJECT
  public:
    enum class Direction { Horizontal, Vertical, DownLeft, DownRight };

    DecorationLine(Direction direction, QWidget *parent);

    static constexpr int PenWidth = 2;
    static QColor colour() { return QColor(0, 100, 0); }
    Direction direction() const { return direction_; }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    Direction direction_;
};
