#pragma once

// The built program as a script runs it: no display, its exit status, standard output and error.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// "make thumbnails -o out a.jpg" as the argument list a shell makes of it (no quoting).
inline QStringList Words(const char *line)
{
    return QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

struct Finished {
    int status = -1;
    QString out, err;
};

// Started in `folder` without DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM, with `extra` set.
inline void StartGalvora(QProcess &process, const QStringList &arguments, const QString &folder,
                         const QProcessEnvironment &extra = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(extra);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(GALVORA_PROGRAM), arguments);
}

inline Finished RunGalvora(const QStringList &arguments, const QString &folder,
                           const QProcessEnvironment &extra = {})
{
    QProcess process;
    StartGalvora(process, arguments, folder, extra);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

// Every entry below `folder`, hidden ones too, by its path inside it.
inline QStringList Tree(const QString &folder)
{
    QStringList names;
    QDir dir(folder);
    for (const QString &name :
         dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name)) {
        names << name;
        if (QFileInfo(dir.filePath(name)).isDir() && !QFileInfo(dir.filePath(name)).isSymLink())
            for (const QString &inner : Tree(dir.filePath(name)))
                names << name + QLatin1Char('/') + inner;
    }
    return names;
}
