#pragma once

#include <QString>
#include <Qt>

class QLabel;
class QListWidget;

// The pictures the next Make command converts, held twice and always in step:
// List1 the file names for the eye, each with its full path as SelectedPathRole, and List2 the
// full paths, same order and count.
constexpr int SelectedPathRole = Qt::UserRole;

class Selection
{
  public:
    Selection(QListWidget &names, QListWidget &paths, QLabel &count);

    // ">" and a double-click: every marked entry of `files`, first to last, joined to `folder`.
    void exportMarked(const QListWidget &files, const QString &folder);
    // Delete: the first marked entry of List1 and its path.
    void removeFirstMarked();
    // Delete All.
    void removeAll();

  private:
    void showCount();

    QListWidget &names_; // List1
    QListWidget &paths_; // List2
    QLabel &count_;      // SelectAantal
};
