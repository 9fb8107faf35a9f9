#include "main_window/selection.h"

#include "forms/form.h"
#include "shared/paths.h"

#include <QLabel>
#include <QListWidget>

Selection::Selection(QListWidget &names, QListWidget &paths, QLabel &count)
    : names_(names), paths_(paths), count_(count)
{
}

void Selection::exportMarked(const QListWidget &files, const QString &folder)
{
    if (files.count() == 0)
        return;
    for (int i = 0; i < files.count(); ++i) {
        const QListWidgetItem *file = files.item(i);
        if (!file->isSelected())
            continue;
        const QString path = JoinPath(folder, file->text());
        auto *name = new QListWidgetItem(file->text());
        name->setData(SelectedPathRole, path);
        names_.addItem(name);
        paths_.addItem(path);
    }
    showCount();
}

void Selection::removeFirstMarked()
{
    if (names_.count() == 0)
        return;
    for (int i = 0; i < names_.count(); ++i) {
        if (!names_.item(i)->isSelected())
            continue;
        delete names_.takeItem(i);
        delete paths_.takeItem(i);
        // The list marks the row that moved up into the removed one's place; the user did not.
        names_.clearSelection();
        showCount();
        return;
    }
}

void Selection::removeAll()
{
    if (names_.count() == 0)
        return;
    names_.clear();
    paths_.clear();
    showCount();
}

void Selection::showCount()
{
    count_.setText(QString::number(names_.count()));
    SizeToText(count_); // the label is sized to its text, growing to the left
}
