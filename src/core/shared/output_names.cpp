#include "shared/output_names.h"

#include <QDir>

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

QString NotSavedAsJpegText()
{
    return QStringLiteral("Bestand niet als JPG opgeslagen!");
}
