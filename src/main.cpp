#include "main_window/main_window.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Galvora"));
    MainWindow window; // the program folder is the executable's folder
    app.setWindowIcon(window.windowIcon());
    window.show();
    return app.exec();
}
