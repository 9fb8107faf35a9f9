#include "shared/program_home.h"

#include "shared/paths.h"
#include "shared/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace
{

// An absolute path from the environment, or empty: the XDG rules ignore a relative one.
QString AbsoluteVariable(const QProcessEnvironment &environment, const QString &name)
{
    const QString value = environment.value(name);
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QString();
}

// The text between the quotes of a shell value, with backslash escapes undone; empty when the
// value is not one quoted word.
QString UnquoteShellValue(const QByteArray &value)
{
    if (value.size() < 2 || !value.startsWith('"') || !value.endsWith('"'))
        return QString();
    QByteArray text;
    for (qsizetype i = 1; i < value.size() - 1; ++i) {
        char c = value[i];
        if (c == '"')
            return QString();
        if (c == '\\' && i + 1 < value.size() - 1)
            c = value[++i];
        text += c;
    }
    return QString::fromUtf8(text);
}

} // namespace

QString PicturesFolderFromUserDirs(const QByteArray &userDirs, const QString &home)
{
    static const QByteArray key = "XDG_PICTURES_DIR=";
    static const QString homeWord = QStringLiteral("$HOME");
    QString folder;
    for (const QByteArray &rawLine : userDirs.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (!line.startsWith(key))
            continue;
        const QString value = UnquoteShellValue(line.mid(key.size()));
        if (value == homeWord || value.startsWith(homeWord + QLatin1Char('/')))
            folder = QDir::cleanPath(home + value.mid(homeWord.size()));
        else if (value.startsWith(QLatin1Char('/')))
            folder = QDir::cleanPath(value);
    }
    return folder;
}

ProgramHomes ProgramHomesFor(const QString &executableFolder, const QProcessEnvironment &environment)
{
    if (!QFileInfo::exists(JoinPath(executableFolder, InstalledMark)))
        return {executableFolder, executableFolder, false};

    QString home = AbsoluteVariable(environment, QStringLiteral("HOME"));
    if (home.isEmpty())
        home = QDir::homePath();
    QString config = AbsoluteVariable(environment, QStringLiteral("XDG_CONFIG_HOME"));
    if (config.isEmpty())
        config = JoinPath(home, QStringLiteral(".config"));

    QString pictures = AbsoluteVariable(environment, QStringLiteral("XDG_PICTURES_DIR"));
    if (pictures.isEmpty()) {
        QFile userDirs(JoinPath(config, QStringLiteral("user-dirs.dirs")));
        if (userDirs.open(QIODevice::ReadOnly))
            pictures = PicturesFolderFromUserDirs(userDirs.readAll(), home);
    }
    if (pictures.isEmpty())
        pictures = JoinPath(home, QStringLiteral("Pictures"));

    return {JoinPath(config, ProgramName), JoinPath(pictures, ProgramName), true};
}
