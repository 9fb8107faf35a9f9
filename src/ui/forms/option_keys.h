#pragma once

#include <QList>
#include <QObject>

class QAbstractButton;

// Makes a group of option buttons one stop of the Tab order, as on any desktop: Tab reaches the
// chosen option, or the first when none is chosen, and the arrow keys choose among the options
// in their order, round the group (Down and Right the next, Up and Left the previous). Each
// choice is a click, so the option's own handler runs as for the mouse.
class OptionKeys : public QObject
{
  public:
    // `options` in their order; they outlive this object (make it their dialog's child).
    OptionKeys(QList<QAbstractButton *> options, QObject *parent);

    // The option Tab reaches: the chosen one, else the first.
    QAbstractButton *tabStop() const;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void updateTabStop();

    QList<QAbstractButton *> options_;
};
