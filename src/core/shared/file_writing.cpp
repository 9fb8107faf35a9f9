#include "shared/file_writing.h"

#include <QFile>

bool WriteWholeFile(const QString &path, const QByteArray &bytes, IfExists ifExists, QString *error)
{
    QFile file(path);
    const QIODevice::OpenMode mode =
        QIODevice::WriteOnly | QIODevice::Unbuffered |
        (ifExists == IfExists::Refuse ? QIODevice::NewOnly : QIODevice::Truncate);
    if (!file.open(mode)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    if (written && file.error() == QFileDevice::NoError)
        return true;
    if (error)
        *error = file.errorString();
    file.remove();
    return false;
}
