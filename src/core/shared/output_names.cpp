#include "shared/output_names.h"

#include "shared/logging.h"
#include "shared/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

bool IsPlainName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    // A backslash separates folders on some systems, so it is refused everywhere alike.
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.isNull())
            return false;
    // "C:" and the like name a drive where drives exist.
    if (name.size() >= 2 && name[1] == QLatin1Char(':') && name[0].isLetter() && name[0].unicode() < 128)
        return false;
    return !QDir::isAbsolutePath(name);
}

QString FolderNotAllowedText(const QString &folder)
{
    return QStringLiteral("Folder ") + folder + QStringLiteral(" not allowed...");
}

QString FileNameNotAllowedText(const QString &fileName)
{
    return QStringLiteral("File name ") + fileName + QStringLiteral(" not allowed...");
}

QString FolderExistingText(const QString &folder)
{
    return QStringLiteral("Folder ") + folder + QStringLiteral(" existing...");
}

QString MapExistingText(const QString &folder)
{
    return QStringLiteral("Map ") + folder + QStringLiteral(" existing...");
}

QString FolderNotMadeText(const QString &path, const QString &reason)
{
    return QStringLiteral("Folder ") + path + QStringLiteral(" could not be made: ") + reason;
}

QString PictureNotReadText(const QString &path, const QString &reason)
{
    return QStringLiteral("Picture ") + path + QStringLiteral(" could not be read: ") + reason;
}

QString FileNotWrittenText(const QString &path, const QString &reason)
{
    return QStringLiteral("File ") + path + QStringLiteral(" could not be written: ") + reason;
}

QString NotEnoughMemoryText(const QString &path)
{
    return QStringLiteral("Picture ") + path + QStringLiteral(" could not be converted: not enough memory");
}

QString CanvasSizeText(qint64 width, qint64 height)
{
    return QStringLiteral("Pictures of %1 x %2 pixels cannot be made.").arg(width).arg(height);
}

QString NotSavedAsJpegText()
{
    return QStringLiteral("Bestand niet als JPG opgeslagen!");
}

QString UnknownPageStyleText(int pageStyle)
{
    return QStringLiteral("Page style %1 is not one Galvora makes; nothing was made.").arg(pageStyle);
}

QString PageNotOpenedText(const QString &page, const QString &reason)
{
    return QStringLiteral("The page ") + page + QStringLiteral(" could not be opened: ") + reason;
}

QString NotGalvorasFilesText(const QString &folder, const QString &names)
{
    return QStringLiteral("Folder ") + folder + QStringLiteral(" holds files Galvora did not make: ") + names;
}

QString AlbumMadeText(const QString &where)
{
    return QStringLiteral("Album made: ") + where;
}

QString PicturesStoppedText(qsizetype made, qsizetype count)
{
    return QStringLiteral("Stopped: %1 of %2 pictures made").arg(made).arg(count);
}

QString LookUpFileName(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return QString();
    // On a file system that ignores letter case the path may match a name spelled otherwise;
    // the directory listing tells how the file is really called.
    const QString wanted = info.fileName();
    const QStringList names =
        info.dir().entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (names.contains(wanted))
        return wanted;
    for (const QString &name : names)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    return QString();
}

namespace
{

// Makes one new folder: "Map <name> existing..." when anything of that name is already there,
// otherwise the system's reason for a folder it could not make.
Status MakeNewFolder(const QString &path, const QString &folder)
{
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        return Failure{MapExistingText(folder)};
    if (::mkdir(QFile::encodeName(path).constData(), 0777) == 0)
        return {};
    const int error = errno;
    if (error == EEXIST)
        return Failure{MapExistingText(folder)};
    return Failure{FolderNotMadeText(path, QString::fromLocal8Bit(std::strerror(error)))};
}

} // namespace

Status CheckAlbumNames(const QString &folder, const QString &fileName)
{
    if (!IsPlainName(folder))
        return Failure{FolderNotAllowedText(folder)};
    if (!IsPlainName(fileName))
        return Failure{FileNameNotAllowedText(fileName)};
    return {};
}

bool PageFileExists(const QString &albumHome, const QString &folder, const QString &fileName)
{
    const QString pageName = fileName + QStringLiteral(".html");
    return LookUpFileName(JoinPath(JoinPath(albumHome, folder), pageName)) == pageName;
}

Outcome<AlbumFolders> MakeOutputFolder(const QString &albumHome, const QString &folder)
{
    AlbumFolders album;
    album.path = JoinPath(albumHome, folder);
    album.pictureFolder = JoinPath(album.path, QStringLiteral("images"));
    if (const Status made = MakeNewFolder(album.path, folder); !made)
        return made.failure();
    if (const Status made = MakeNewFolder(album.pictureFolder, folder); !made) {
        RemoveEmptyAlbum(album);
        return made.failure();
    }
    return album;
}

void RemoveEmptyAlbum(const AlbumFolders &album)
{
    for (const QString &path : {album.pictureFolder, album.path})
        if (QFileInfo::exists(path) && ::rmdir(QFile::encodeName(path).constData()) != 0)
            qCDebug(lcFiles) << "could not remove the folder" << path << std::strerror(errno);
}
