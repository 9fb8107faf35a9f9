#include "main_window/main_window.h"
#include "shared/platform.h"
#include "shared/program_home.h"

#include <QApplication>
#include <QDir>
#include <QProcessEnvironment>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Galvora"));
    app.setDesktopFileName(QStringLiteral("galvora"));

    // Run from its build folder, Galvora keeps everything beside the executable; installed, it keeps
    // its settings and albums in the user's folders.
    const ProgramHomes homes = ProgramHomesFor(ApplicationFolder(), QProcessEnvironment::systemEnvironment());
    if (homes.installed)
        QDir().mkpath(homes.settingsFolder); // start-up writes the settings file on the first start
    MainWindowServices services;
    services.albumHome = homes.albumFolder;
    services.settingsFolder = homes.settingsFolder;

    MainWindow window(services);
    app.setWindowIcon(window.windowIcon());
    window.show();
    return app.exec();
}
