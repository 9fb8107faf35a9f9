#include "main_window/keyboard.h"

#include "main_window/clickable_label.h"
#include "main_window/main_window.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

void SetUpKeyboard(const MainControls &ui)
{
    // The help panel, when shown, comes right after its button; the hidden path list never.
    const QList<QWidget *> order = {ui.Drive1,     ui.Dir1,     ui.File1,    ui.KnopRechts, ui.List1,
                                    ui.ClearKnop,  ui.ClearAll, ui.MapText,  ui.FileText,   ui.Naam,
                                    ui.KleurLabel, ui.MakeKnop, ui.HelpKnop, ui.HelpLabel,  ui.ExitKnop};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    ui.List2->setFocusPolicy(Qt::NoFocus);
    ui.HelpLabel->setTabChangesFocus(true);

    // Outside a dialog a button answers Enter only when it is an auto-default one.
    for (QPushButton *button :
         {ui.KnopRechts, ui.ClearKnop, ui.ClearAll, ui.MakeKnop, ui.HelpKnop, ui.ExitKnop})
        button->setAutoDefault(true);
}
