#pragma once

#include "support/find_child.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

// Answers the Convert dialog as soon as it shows while `watch` runs: the option `kind()` names
// (Knop1 Picture Show .. Knop7 Resize pictures), then Ok. The dialog is modal, so the watch looks
// for it inside the dialog's own event loop; it stops once it has answered, and is started again
// before every Make.
inline void AnswerConvertDialog(QTimer &watch, std::function<int()> kind)
{
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&watch, kind = std::move(kind)] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        watch.stop();
        FindChild<QAbstractButton>(*dialog, ("Knop" + QByteArray::number(kind())).constData()).click();
        FindChild<QAbstractButton>(*dialog, "OkKnop").click();
    });
}
