#include "shared/output_names.h"

#include "shared/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

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

QString PageNotWrittenText(const QString &path, const QString &reason)
{
    return QStringLiteral("Html page %1 could not be written: %2").arg(path, reason);
}

QString NotSavedAsJpegText()
{
    return QStringLiteral("Bestand niet als JPG opgeslagen!");
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

// Why a folder could not be made, in plain words.
QString FolderFailureReason(const std::error_code &error)
{
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted)
        return QStringLiteral("permission denied");
    if (error == std::errc::no_space_on_device)
        return QStringLiteral("no space left on the device");
    if (error == std::errc::read_only_file_system)
        return QStringLiteral("the disk can only be read");
    if (error == std::errc::not_a_directory)
        return QStringLiteral("part of the path is a file, not a folder");
    if (error == std::errc::no_such_file_or_directory)
        return QStringLiteral("the folder above it does not exist");
    if (error == std::errc::filename_too_long)
        return QStringLiteral("the path is too long");
    const QString text = QString::fromLocal8Bit(error.message());
    return text.isEmpty() ? text : text.front().toLower() + text.mid(1);
}

// Makes one new folder: Problem::FolderExists when anything of that name is already there.
OutputFolder::Problem MakeNewFolder(const QString &path, QString *reason)
{
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        return OutputFolder::Problem::FolderExists;
    std::error_code error;
    const bool made = std::filesystem::create_directory(QFile::encodeName(path).toStdString(), error);
    if (error == std::errc::file_exists || (!error && !made))
        return OutputFolder::Problem::FolderExists;
    if (error) {
        *reason = FolderNotMadeText(path, FolderFailureReason(error));
        return OutputFolder::Problem::NotMade;
    }
    return OutputFolder::Problem::None;
}

} // namespace

OutputFolder MakeOutputFolder(const QString &programFolder, const QString &folder, const QString &fileName)
{
    OutputFolder result;
    // Refused before anything is looked up or made: such a name could reach outside the program folder.
    if (!IsPlainName(folder) || !IsPlainName(fileName)) {
        result.problem = OutputFolder::Problem::NameNotAllowed;
        result.message =
            !IsPlainName(folder) ? FolderNotAllowedText(folder) : FileNameNotAllowedText(fileName);
        return result;
    }
    result.path = JoinPath(programFolder, folder);
    result.pictureFolder = JoinPath(result.path, QStringLiteral("images"));
    // Only the page file under exactly its own name, letter case included, counts.
    const QString pageName = fileName + QStringLiteral(".html");
    if (LookUpFileName(JoinPath(result.path, pageName)) == pageName) {
        result.problem = OutputFolder::Problem::PageExists;
        return result;
    }
    result.problem = MakeNewFolder(result.path, &result.message);
    if (result.problem == OutputFolder::Problem::None)
        result.problem = MakeNewFolder(result.pictureFolder, &result.message);
    return result;
}
