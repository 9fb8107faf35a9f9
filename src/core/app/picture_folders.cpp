#include "app/picture_folders.h"

#include "picture_conversion/picture_loader.h"
#include "shared/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool HoldsPicture(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    return PictureKindOf(file.read(64)) != PictureKind::Unknown;
}

QStringList PicturesInFolder(const QString &folder)
{
    QStringList pictures;
    for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase))
        if (const QString path = JoinPath(folder, name); HoldsPicture(path))
            pictures << path;
    return pictures;
}
