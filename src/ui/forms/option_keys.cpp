#include "forms/option_keys.h"

#include <QAbstractButton>
#include <QKeyEvent>

OptionKeys::OptionKeys(QList<QAbstractButton *> options, QObject *parent)
    : QObject(parent), options_(std::move(options))
{
    for (QAbstractButton *option : std::as_const(options_)) {
        option->installEventFilter(this);
        connect(option, &QAbstractButton::toggled, this, &OptionKeys::updateTabStop);
    }
    updateTabStop();
}

QAbstractButton *OptionKeys::tabStop() const
{
    for (QAbstractButton *option : options_)
        if (option->isChecked())
            return option;
    return options_.value(0);
}

void OptionKeys::updateTabStop()
{
    // The others still take the focus from a click or an arrow key.
    const QAbstractButton *stop = tabStop();
    for (QAbstractButton *option : std::as_const(options_))
        option->setFocusPolicy(option == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

bool OptionKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    int step = 0;
    switch (key->key()) {
    case Qt::Key_Down:
    case Qt::Key_Right:
        step = 1;
        break;
    case Qt::Key_Up:
    case Qt::Key_Left:
        step = -1;
        break;
    default:
        return QObject::eventFilter(watched, event);
    }
    const qsizetype count = options_.size();
    const qsizetype from = options_.indexOf(static_cast<QAbstractButton *>(watched));
    if (from < 0 || count == 0 || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return QObject::eventFilter(watched, event);
    QAbstractButton *next = options_[(from + step + count) % count];
    next->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    next->click();
    return true;
}
