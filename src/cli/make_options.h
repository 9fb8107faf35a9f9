#pragma once

#include "shared/outcome.h"
#include "shared/program_values.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <cstdint>

// What `galvora make KIND [options] PICTURE...` asks for, checked and with every default filled in.
struct MakeOptions {
    std::uint8_t pageStyle = 0; // KIND as the Convert dialog's option number
    QString output;             // the album folder, absolute; it must not exist yet (but see `replace`)
    QString name = QStringLiteral("index");
    QString title;
    std::uint8_t quality = Defaults::JpegQuality;
    std::int32_t width = 0, height = 0;          // the Convert dialog's size for KIND unless --size names one
    std::uint8_t delay = Defaults::PauseSeconds; // Slide Show seconds between pictures
    std::uint8_t block = Defaults::BlockSize;    // Block effect's largest block
    QColor colour = QColor(Defaults::BackRed, Defaults::BackGreen, Defaults::BackBlue);
    int jobs = 1;
    bool open = false;
    bool keepProportions = false;
    bool sortByDate = false; // web-album --sort date
    bool quiet = false;
    bool replace = false;   // the output folder may hold an album made before, which the new one replaces
    bool keepGoing = false; // a picture that cannot be read is left out
    QStringList pictures;   // absolute paths, in the given order
};

// Reads the arguments after `make`. `storedQuality` is the settings file's quality where there is
// one; `cores` the default of --jobs; relative paths are taken from `workingFolder`. A usage error
// fails with the one-line reason.
Outcome<MakeOptions> ParseMakeOptions(const QStringList &arguments, std::uint8_t storedQuality, int cores,
                                      const QString &workingFolder);

// Whether the arguments after `make` ask for its help: -h or --help where it is no option's value.
bool AsksForHelp(const QStringList &arguments);

// `galvora make --help`.
QString MakeHelpText();

// The options `make` takes as typed ("-o", "--output", "--open" ...), in the help's order; with
// `takingValue`, only those followed by a value.
QStringList MakeOptionNames(bool takingValue = false);
