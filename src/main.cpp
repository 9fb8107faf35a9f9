#include "cli/command_line.h"
#include "main_window/main_window.h"
#include "shared/platform.h"
#include "shared/program_home.h"

#include <QApplication>
#include <QDir>
#include <QProcessEnvironment>
#include <QTextStream>
#include <cstdio>

namespace
{

// Run from its build folder, Galvora keeps everything beside the executable; installed, it keeps
// its settings and albums in the user's folders.
ProgramHomes Homes()
{
    return ProgramHomesFor(ApplicationFolder(), QProcessEnvironment::systemEnvironment());
}

} // namespace

int main(int argc, char **argv)
{
    // `galvora make`, --help and --version need no window, and so no display.
    if (WantsCommandLine(argc, argv)) {
        QCoreApplication app(argc, argv);
        app.setApplicationName(ProgramName);
        app.setApplicationVersion(QStringLiteral(GALVORA_VERSION));
        QTextStream out(stdout), err(stderr);
        return RunCommandLine(app.arguments(), Homes().settingsFolder, out, err);
    }

    QApplication app(argc, argv);
    app.setApplicationName(ProgramName);
    app.setApplicationVersion(QStringLiteral(GALVORA_VERSION));
    app.setDesktopFileName(QStringLiteral("galvora"));

    const ProgramHomes homes = Homes();
    if (homes.installed)
        QDir().mkpath(homes.settingsFolder); // start-up writes the settings file on the first start
    MainWindowServices services;
    services.albumHome = homes.albumFolder;
    services.settingsFolder = homes.settingsFolder;

    MainWindow window(services);
    app.setWindowIcon(window.windowIcon());
    window.show();
    // `galvora PICTURE...`, as a file manager's Open With runs it: the pictures start selected.
    const QStringList pictures = app.arguments().mid(1);
    if (!pictures.isEmpty())
        window.openPictures(pictures);
    return app.exec();
}
