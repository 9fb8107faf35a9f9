#include "shared/file_writing.h"

#include "shared/logging.h"

#include <QFile>
#include <cerrno>
#include <cstring>

Status WriteWholeFile(const QString &path, const QByteArray &bytes, IfExists ifExists)
{
    QFile file(path);
    const QIODevice::OpenMode mode =
        QIODevice::WriteOnly | QIODevice::Unbuffered |
        (ifExists == IfExists::Refuse ? QIODevice::NewOnly : QIODevice::Truncate);
    if (!file.open(mode))
        return Failure{file.errorString()};
    errno = 0;
    const bool written = file.write(bytes) == bytes.size();
    const int writeError = errno; // a write cut short may leave Qt without a reason of its own
    file.close();
    if (written && file.error() == QFileDevice::NoError)
        return {};
    const Failure failure{writeError != 0 ? QString::fromLocal8Bit(std::strerror(writeError))
                                          : file.errorString()};
    if (!file.remove()) // what the failure left is cut short: it must not stay
        qCDebug(lcFiles) << "could not remove the cut-off file" << path << file.errorString();
    return failure;
}
