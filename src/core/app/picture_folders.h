#pragma once

#include <QString>
#include <QStringList>

// Whether the file at `path` is a picture Galvora reads, by its content (not its name).
bool HoldsPicture(const QString &path);

// The pictures of a folder, as its full paths in name order: every file Galvora reads by content,
// not its subfolders.
QStringList PicturesInFolder(const QString &folder);
