#include "shared/file_writing.h"

#include "shared/logging.h"

#include <QFile>

Status WriteWholeFile(const QString &path, const QByteArray &bytes, IfExists ifExists)
{
    QFile file(path);
    const QIODevice::OpenMode mode =
        QIODevice::WriteOnly | QIODevice::Unbuffered |
        (ifExists == IfExists::Refuse ? QIODevice::NewOnly : QIODevice::Truncate);
    if (!file.open(mode))
        return Failure{file.errorString()};
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    if (written && file.error() == QFileDevice::NoError)
        return {};
    const Failure failure{file.errorString()};
    if (!file.remove()) // what the failure left is cut short: it must not stay
        qCDebug(lcFiles) << "could not remove the cut-off file" << path << file.errorString();
    return failure;
}
