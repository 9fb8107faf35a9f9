#pragma once

#include "app/picture_folders.h" // HoldsPicture

#include <QString>
#include <QStringList>
#include <Qt>

class QLabel;
class QListWidget;

// The pictures the next Make command converts, held twice and always in step:
// List1 the file names for the eye, each with its full path as SelectedPathRole, and List2 the
// full paths, same order and count.
constexpr int SelectedPathRole = Qt::UserRole;

// The one message naming the files that were not added (by file name, the first ten of them).
QString NotPicturesMessage(const QStringList &refused);

class Selection
{
  public:
    Selection(QListWidget &names, QListWidget &paths, QLabel &count);

    // ">" and a double-click: every marked entry of `files`, first to last, joined to `folder`.
    void exportMarked(const QListWidget &files, const QString &folder);
    // Pictures named by path (given on the command line or dropped): each one that holds a picture
    // is added as ">" adds it, in the given order; a relative path is taken from the current folder.
    // Gives back the paths that were not added.
    QStringList addPictures(const QStringList &paths);
    // Delete: the first marked entry of List1 and its path.
    void removeFirstMarked();
    // Delete All.
    void removeAll();

  private:
    void showCount();
    void add(const QString &name, const QString &path);

    QListWidget &names_; // List1
    QListWidget &paths_; // List2
    QLabel &count_;      // SelectAantal
};
