#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// Every file, folder and link under a folder, with each file's size and content hash,
// so that a test can tell exactly what a production changed.
struct TreeSnapshot {
    QMap<QString, QString> entries; // relative path -> "dir", "link -> target" or "<size> <sha1>"

    static TreeSnapshot Of(const QString &root, const QString &skipRelative = QString());

    // The paths added, removed or changed from `before` to this one, "+path", "-path", "~path".
    QStringList differencesFrom(const TreeSnapshot &before) const;
};
