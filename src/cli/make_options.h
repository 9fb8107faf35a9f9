#pragma once

#include "shared/outcome.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <cstdint>

// What `galvora make KIND [options] PICTURE...` asks for, checked and with every default filled in.
struct MakeOptions {
    std::uint8_t pageStyle = 0; // KIND as the Convert dialog's option number
    QString output;             // the album folder, absolute; it must not exist yet
    QString name = QStringLiteral("index");
    QString title;
    std::uint8_t quality = 75;
    std::int32_t width = 0, height = 0; // the Convert dialog's size for KIND unless --size names one
    std::uint8_t delay = 3;             // Slide Show seconds between pictures
    std::uint8_t block = 15;            // Block effect's largest block
    QColor colour = QColor(224, 240, 224);
    int jobs = 1;
    bool open = false;
    bool keepProportions = false;
    bool sortByDate = false; // web-album --sort date
    bool quiet = false;
    QStringList pictures; // absolute paths, in the given order
};

// The kinds `make` takes, as typed, in the Convert dialog's order.
QStringList MakeKinds();

// Reads the arguments after `make`. `storedQuality` is the settings file's quality where there is
// one; `cores` the default of --jobs; relative paths are taken from `workingFolder`. A usage error
// fails with the one-line reason.
Outcome<MakeOptions> ParseMakeOptions(const QStringList &arguments, std::uint8_t storedQuality, int cores,
                                      const QString &workingFolder);

// `galvora make --help`.
QString MakeHelpText();
