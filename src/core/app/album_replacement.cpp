#include "app/album_replacement.h"

#include "shared/file_writing.h"
#include "shared/logging.h"
#include "shared/output_names.h"
#include "shared/paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

namespace
{

bool IsTemporary(const QString &name)
{
    return name.startsWith(TemporaryFilePrefix);
}

QFileInfoList Entries(const QString &folder)
{
    return QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                      QDir::Name);
}

// A folder of converted pictures: picture* files and the run's temporary files only.
void CheckPictureFolder(const QString &folder, const QString &shownAs, QStringList &strangers, bool withSmall)
{
    for (const QFileInfo &entry : Entries(folder)) {
        const QString name = entry.fileName();
        const QString shown = shownAs + name;
        if (entry.isSymLink())
            strangers << shown;
        else if (entry.isDir() && withSmall && name == QLatin1String("small"))
            CheckPictureFolder(entry.filePath(), shown + QLatin1Char('/'), strangers, false);
        else if (!entry.isFile() || !(name.startsWith(QLatin1String("picture")) || IsTemporary(name)))
            strangers << shown;
    }
}

void CheckAlbum(const QString &folder, QStringList &strangers)
{
    for (const QFileInfo &entry : Entries(folder)) {
        const QString name = entry.fileName();
        if (entry.isSymLink()) {
            strangers << name;
        } else if (entry.isFile()) {
            if (!name.endsWith(QLatin1String(".html")) && !IsTemporary(name))
                strangers << name;
        } else if (entry.isDir() && name == QLatin1String("images")) {
            CheckPictureFolder(entry.filePath(), name + QLatin1Char('/'), strangers, true);
        } else if (entry.isDir() && name.startsWith(ScratchFolderPrefix)) {
            // A scratch folder holds the run's scratch files and nothing else.
            for (const QFileInfo &inner : Entries(entry.filePath()))
                if (inner.isSymLink() || !inner.isFile())
                    strangers << name + QLatin1Char('/') + inner.fileName();
        } else {
            strangers << name;
        }
    }
}

} // namespace

Status CheckHoldsOnlyAlbumFiles(const QString &path)
{
    QStringList strangers;
    CheckAlbum(path, strangers);
    if (strangers.isEmpty())
        return {};
    constexpr qsizetype Named = 5;
    QStringList shown = strangers.first(std::min(strangers.size(), Named));
    if (strangers.size() > Named)
        shown << QStringLiteral("and %1 more").arg(strangers.size() - Named);
    return Failure{NotGalvorasFilesText(path, shown.join(QStringLiteral(", ")))};
}

QString StagingName(const QString &albumPath)
{
    const QFileInfo album(albumPath);
    for (;;) {
        const QString name = TemporaryFilePrefix + album.fileName() + QLatin1Char('-') +
                             QString::number(QRandomGenerator::global()->generate() % 1000000, 36);
        if (!QFileInfo(album.dir().filePath(name)).exists() &&
            !QFileInfo(album.dir().filePath(name)).isSymLink())
            return name;
    }
}

void RemoveStaleStaging(const QString &albumPath)
{
    const QFileInfo album(albumPath);
    const QString prefix = TemporaryFilePrefix + album.fileName() + QLatin1Char('-');
    for (const QFileInfo &entry : Entries(album.path())) {
        if (!entry.fileName().startsWith(prefix) || entry.isSymLink() || !entry.isDir())
            continue;
        if (CheckHoldsOnlyAlbumFiles(entry.filePath()))
            RemoveTree(entry.filePath());
    }
}

Status SwapIntoPlace(const QString &staging, const QString &albumPath)
{
    const QByteArray from = QFile::encodeName(staging), to = QFile::encodeName(albumPath);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) == 0) {
        RemoveTree(staging); // the old album now
        return {};
    }
    const int error = errno;
    if (error != EINVAL && error != ENOSYS && error != ENOTSUP)
        return Failure{FolderNotMadeText(albumPath, QString::fromLocal8Bit(std::strerror(error)))};
    // A file system without the exchange: the old album steps aside first.
    const QString aside = QFileInfo(albumPath).dir().filePath(StagingName(albumPath));
    const QByteArray asideName = QFile::encodeName(aside);
    if (std::rename(to.constData(), asideName.constData()) != 0)
        return Failure{FolderNotMadeText(albumPath, QString::fromLocal8Bit(std::strerror(errno)))};
    if (std::rename(from.constData(), to.constData()) != 0) {
        const int moved = errno;
        if (std::rename(asideName.constData(), to.constData()) != 0)
            qCDebug(lcFiles) << "the old album stays at" << aside;
        return Failure{FolderNotMadeText(albumPath, QString::fromLocal8Bit(std::strerror(moved)))};
    }
    RemoveTree(aside);
    return {};
}

void RemoveRunLeftovers(const QString &path)
{
    const QString images = JoinPath(path, QStringLiteral("images"));
    for (const QString &folder : {path, images, JoinPath(images, QStringLiteral("small"))}) {
        for (const QFileInfo &entry : Entries(folder)) {
            if (!entry.fileName().startsWith(ScratchFolderPrefix) && !IsTemporary(entry.fileName()))
                continue;
            if (entry.isDir() && !entry.isSymLink())
                RemoveTree(entry.filePath());
            else
                QFile::remove(entry.filePath());
        }
    }
}

void RemoveTree(const QString &path)
{
    if (!QDir(path).removeRecursively())
        qCDebug(lcFiles) << "could not take away" << path;
}
