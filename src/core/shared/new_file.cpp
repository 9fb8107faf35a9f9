#include "shared/new_file.h"

#include <QFile>

bool WriteNewFile(const QString &path, const QByteArray &bytes, QString *error)
{
    // Unbuffered, so that a disk that fills up shows in the count written rather than vanishing
    // inside a flush that reports nothing.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
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
