#pragma once

#include <QStringList>

class QTextStream;

// Whether the arguments ask for something without a window: `make`, --help or --version.
// Looked at before any application object exists, so that no display is needed for them.
bool WantsCommandLine(int argc, char **argv);

// Runs what the arguments (program name first) ask for and gives the exit status: 0 done,
// 1 stopped by a failure, 2 a usage error. `settingsFolder` holds the window's settings file.
int RunCommandLine(const QStringList &arguments, const QString &settingsFolder, QTextStream &out,
                   QTextStream &err);
