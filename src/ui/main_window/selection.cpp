#include "main_window/selection.h"

#include "forms/form.h"
#include "picture_conversion/picture_loader.h"
#include "shared/paths.h"
#include "shared/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <algorithm>

QString NotPicturesMessage(const QStringList &refused)
{
    constexpr qsizetype Named = 10; // a long list would outgrow the screen
    QStringList names;
    for (const QString &path : refused.first(std::min(refused.size(), Named))) {
        const QString name = QFileInfo(path).fileName();
        names << (name.isEmpty() ? QDir::toNativeSeparators(path) : name);
    }
    if (refused.size() > Named)
        names << QStringLiteral("and %1 more").arg(refused.size() - Named);
    return QStringLiteral("These files are not pictures %1 can read: %2")
        .arg(ProgramName, names.join(QStringLiteral(", ")));
}

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
        add(file->text(), JoinPath(folder, file->text()));
    }
    showCount();
}

QStringList Selection::addPictures(const QStringList &paths)
{
    QStringList refused;
    for (const QString &path : paths) {
        if (!HoldsPicture(path)) {
            refused << path;
            continue;
        }
        const QFileInfo file(path);
        add(file.fileName(), QDir::cleanPath(file.absoluteFilePath()));
    }
    showCount();
    return refused;
}

void Selection::add(const QString &name, const QString &path)
{
    auto *entry = new QListWidgetItem(name);
    entry->setData(SelectedPathRole, path);
    names_.addItem(entry);
    paths_.addItem(path);
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
