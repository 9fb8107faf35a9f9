#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>

// The two homes of Galvora's files. A Galvora run from anywhere but its install location (its
// build folder, a copied folder) keeps everything in the folder of its executable. An installed
// Galvora lives in a bin folder a user cannot write, so it keeps its settings file in
// $XDG_CONFIG_HOME/Galvora and makes its albums, and the scratch file, in $XDG_PICTURES_DIR/Galvora.

// Installing leaves the desktop entry beside the bin folder; a build folder has none. Whether the
// folder can be written tells nothing: root can write anywhere.
inline const QString InstalledMark = QStringLiteral("../share/applications/galvora.desktop");

struct ProgramHomes {
    QString settingsFolder; // holds Galvora.ini
    QString albumFolder;    // the output folders of the productions and the scratch file
    bool installed = false; // the folders may still have to be created
};

// The homes of the executable in `executableFolder`. Reads HOME, XDG_CONFIG_HOME and
// XDG_PICTURES_DIR from `environment` (a relative or empty value counts as unset), and the
// pictures folder from $XDG_CONFIG_HOME/user-dirs.dirs when the environment does not name one.
ProgramHomes ProgramHomesFor(const QString &executableFolder, const QProcessEnvironment &environment);

// The pictures folder that a user-dirs.dirs file names (XDG_PICTURES_DIR="$HOME/Pictures" or an
// absolute path; the last such line counts), with $HOME replaced by `home`. Empty when it names none.
QString PicturesFolderFromUserDirs(const QByteArray &userDirs, const QString &home);
