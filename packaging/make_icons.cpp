#include "main_window/artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

// Renders the program's icon, the Make button's globe with a pointing hand, as the PNG files the
// desktop menus use: galvora-48.png, galvora-128.png and galvora-256.png in the given folder.
int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (const int size : {48, 128, 256}) {
        const QString path = folder.filePath(QStringLiteral("galvora-%1.png").arg(size));
        if (!MakeButtonPicture(size).save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
