#include "cli/make_options.h"

#include "app/picture_folders.h"
#include "picture_conversion/conversion_steps.h"
#include "shared/hex_colour.h"
#include "shared/output_names.h"
#include "shared/production_kinds.h"
#include "shared/program_values.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <optional>
#include <sys/stat.h>

namespace
{

QString SizeList()
{
    // Kinds with the same preset are named together: "block-effect and resize 300x200".
    QStringList sizes, groups;
    for (const ProductionKind &kind : ProductionKinds()) {
        if (!kind.takesSize())
            continue;
        const QString size = QStringLiteral("%1x%2").arg(kind.presetWidth).arg(kind.presetHeight);
        const qsizetype at = sizes.indexOf(size);
        if (at < 0) {
            sizes << size;
            groups << kind.commandName();
        } else {
            groups[at] += QLatin1Char('|') + kind.commandName();
        }
    }
    QStringList parts;
    for (qsizetype i = 0; i < sizes.size(); ++i)
        parts << SpokenList(groups[i].split(QLatin1Char('|'))) + QLatin1Char(' ') + sizes[i];
    return parts.join(QStringLiteral(", "));
}

QString Only(bool (*wanted)(const ProductionKind &))
{
    return SpokenList(KindNames(wanted));
}

bool ShowsTitle(const ProductionKind &kind)
{
    return kind.showsTitle;
}
bool TakesDelay(const ProductionKind &kind)
{
    return kind.takesDelay;
}
bool TakesBlock(const ProductionKind &kind)
{
    return kind.takesBlock;
}

struct Parser {
    QCommandLineParser parser;
    QCommandLineOption output{
        {QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("The album folder to make; it must not exist yet, its parent must."),
        QStringLiteral("FOLDER")};
    QCommandLineOption name{{QStringLiteral("n"), QStringLiteral("name")},
                            QStringLiteral("The page file's name without .html (default: index)."),
                            QStringLiteral("NAME")};
    QCommandLineOption title{{QStringLiteral("t"), QStringLiteral("title")},
                             QStringLiteral("The page title, shown by %1 (default: the album folder's name).")
                                 .arg(Only(ShowsTitle)),
                             QStringLiteral("TEXT")};
    QCommandLineOption quality{
        {QStringLiteral("q"), QStringLiteral("quality")},
        QStringLiteral("JPEG quality, 1 to 100 (default: the window's, else %1).").arg(Defaults::JpegQuality),
        QStringLiteral("1-100")};
    QCommandLineOption size{{QStringLiteral("s"), QStringLiteral("size")},
                            QStringLiteral("Picture size in pixels (%1).").arg(SizeList()),
                            QStringLiteral("WxH")};
    QCommandLineOption delay{{QStringLiteral("d"), QStringLiteral("delay")},
                             QStringLiteral("%1: seconds between the pictures, 0 to 9 (default: %2).")
                                 .arg(Only(TakesDelay))
                                 .arg(Defaults::PauseSeconds),
                             QStringLiteral("SECONDS")};
    QCommandLineOption block{{QStringLiteral("b"), QStringLiteral("block")},
                             QStringLiteral("%1: the largest block, 2 to 99 (default: %2).")
                                 .arg(Only(TakesBlock))
                                 .arg(Defaults::BlockSize),
                             QStringLiteral("N")};
    QCommandLineOption colour{{QStringLiteral("c"), QStringLiteral("colour")},
                              QStringLiteral("Page background colour (default: %1).")
                                  .arg(HexColour(Defaults::BackRed, Defaults::BackGreen, Defaults::BackBlue)),
                              QStringLiteral("RRGGBB")};
    QCommandLineOption open{QStringLiteral("open"),
                            QStringLiteral("Open the page in the browser when it is made.")};
    QCommandLineOption jobs{{QStringLiteral("j"), QStringLiteral("jobs")},
                            QStringLiteral("Pictures decoded at once (default: the number of cores)."),
                            QStringLiteral("N")};
    QCommandLineOption keep{QStringLiteral("keep-proportions"),
                            QStringLiteral("Fit each picture inside the size on the page colour instead of "
                                           "stretching it over the size.")};
    QCommandLineOption sort{QStringLiteral("sort"),
                            QStringLiteral("web-album: the pictures' order, 'selection' (default) or 'date' "
                                           "(date taken)."),
                            QStringLiteral("ORDER")};
    QCommandLineOption quiet{QStringLiteral("quiet"), QStringLiteral("Show no progress.")};
    QCommandLineOption replace{
        QStringLiteral("replace"),
        QStringLiteral(
            "Make the album again in a folder that holds one made before (and nothing else); the old "
            "one stays until the new one is whole.")};
    QCommandLineOption keepGoing{
        QStringLiteral("keep-going"),
        QStringLiteral("Leave out a picture that cannot be read, make the album of the "
                       "others and name the ones left out (exit status 1).")};

    QList<QCommandLineOption> all() const
    {
        return {output, name, title, quality, size,  delay,   block,    colour,
                open,   jobs, keep,  sort,    quiet, replace, keepGoing};
    }

    Parser()
    {
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
        parser.addOptions(all());
        parser.addHelpOption();
        parser.addPositionalArgument(QStringLiteral("KIND"), KindNames().join(QStringLiteral(", ")));
        parser.addPositionalArgument(
            QStringLiteral("PICTURE"),
            QStringLiteral("The pictures in album order; a folder stands for its pictures."),
            QStringLiteral("PICTURE..."));
    }
};

std::optional<int> WholeNumber(const QString &text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

// What a path that is neither file nor folder is, in a few words.
QString KindOfFile(const QFileInfo &file)
{
    struct stat status {
    };
    if (::stat(QFile::encodeName(file.absoluteFilePath()).constData(), &status) != 0)
        return QStringLiteral("not readable");
    if (S_ISFIFO(status.st_mode))
        return QStringLiteral("a named pipe");
    if (S_ISSOCK(status.st_mode))
        return QStringLiteral("a socket");
    if (S_ISCHR(status.st_mode))
        return QStringLiteral("a character device");
    if (S_ISBLK(status.st_mode))
        return QStringLiteral("a block device");
    return QStringLiteral("a special file");
}

// "--title" for "-t".
QString LongName(const QString &shortName)
{
    for (const QCommandLineOption &option : Parser().all())
        if (option.names().contains(shortName.mid(1)))
            return QStringLiteral("--") + option.names().last();
    return shortName;
}

// The arguments with each value that follows its option joined to it ("--title=-h"), so that a
// value looking like an option is taken as the value it is.
QStringList JoinValues(const QStringList &arguments)
{
    const QStringList takingValue = MakeOptionNames(true);
    QStringList joined;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--")) {
            joined << arguments.mid(i);
            break;
        }
        if (takingValue.contains(argument) && i + 1 < arguments.size()) {
            const QString name = argument.startsWith(QLatin1String("--")) ? argument : LongName(argument);
            joined << name + QLatin1Char('=') + arguments[++i];
        } else {
            joined << argument;
        }
    }
    return joined;
}

Failure Usage(const QString &reason)
{
    return Failure{reason};
}

} // namespace

bool AsksForHelp(const QStringList &arguments)
{
    for (const QString &argument : JoinValues(arguments)) {
        if (argument == QLatin1String("--"))
            return false;
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
            return true;
    }
    return false;
}

QStringList MakeOptionNames(bool takingValue)
{
    QStringList names;
    for (const QCommandLineOption &option : Parser().all()) {
        if (takingValue && option.valueName().isEmpty())
            continue;
        for (const QString &name : option.names())
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    }
    return names;
}

QString MakeHelpText()
{
    Parser p;
    p.parser.setApplicationDescription(
        QStringLiteral("Makes one album of the pictures, as the window would, and ends."));
    return p.parser.helpText().replace(QRegularExpression(QStringLiteral("^Usage: \\S+")),
                                       QStringLiteral("Usage: galvora make"));
}

Outcome<MakeOptions> ParseMakeOptions(const QStringList &arguments, std::uint8_t storedQuality, int cores,
                                      const QString &workingFolder)
{
    Parser p;
    QCommandLineParser &parser = p.parser;
    if (!parser.parse(QStringList{QStringLiteral("galvora")} + JoinValues(arguments)))
        return Usage(parser.errorText());
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return Usage(QStringLiteral("what to make is missing: one of ") +
                     KindNames().join(QStringLiteral(", ")));

    MakeOptions options;
    const ProductionKind *kind = KindNamed(positional.first());
    if (!kind)
        return Usage(QStringLiteral("unknown kind '%1': one of %2")
                         .arg(positional.first(), KindNames().join(QStringLiteral(", "))));
    options.pageStyle = kind->pageStyle;
    options.width = kind->presetWidth;
    options.height = kind->presetHeight;

    const QDir here(workingFolder);
    if (!parser.isSet(p.output))
        return Usage(QStringLiteral("--output FOLDER is missing"));
    const QString output = parser.value(p.output);
    if (output.isEmpty())
        return Usage(QStringLiteral("--output names no folder"));
    options.output = QDir::cleanPath(here.absoluteFilePath(output));
    if (QFileInfo(options.output).fileName().isEmpty())
        return Usage(QStringLiteral("--output %1 names no folder of its own").arg(output));

    if (parser.isSet(p.name))
        options.name = parser.value(p.name);
    if (!IsPlainName(options.name))
        return Usage(QStringLiteral("--name %1 is not a plain file name").arg(options.name));
    if (parser.isSet(p.title) && !kind->showsTitle)
        return Usage(QStringLiteral("--title does not apply to %1").arg(kind->commandName()));
    options.title = parser.isSet(p.title) ? parser.value(p.title) : QFileInfo(options.output).fileName();

    options.quality = storedQuality;
    if (parser.isSet(p.quality)) {
        const auto quality = WholeNumber(parser.value(p.quality), 1, 100);
        if (!quality)
            return Usage(QStringLiteral("--quality %1 is not a whole number from 1 to 100")
                             .arg(parser.value(p.quality)));
        options.quality = std::uint8_t(*quality);
    }

    if (parser.isSet(p.size)) {
        if (!kind->takesSize())
            return Usage(QStringLiteral("--size does not apply to %1").arg(kind->commandName()));
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$")).match(parser.value(p.size));
        const auto width =
            match.hasMatch() ? WholeNumber(match.captured(1), 1, CanvasLimits::MaxSide) : std::nullopt;
        const auto height =
            match.hasMatch() ? WholeNumber(match.captured(2), 1, CanvasLimits::MaxSide) : std::nullopt;
        if (!width || !height)
            return Usage(QStringLiteral("--size %1 is not WIDTHxHEIGHT in pixels, 1 to %2 each")
                             .arg(parser.value(p.size))
                             .arg(CanvasLimits::MaxSide));
        options.width = *width;
        options.height = *height;
    }
    if (parser.isSet(p.delay)) {
        if (!kind->takesDelay)
            return Usage(QStringLiteral("--delay applies to %1 only").arg(Only(TakesDelay)));
        const auto delay = WholeNumber(parser.value(p.delay), 0, 9);
        if (!delay)
            return Usage(QStringLiteral("--delay %1 is not a whole number of seconds from 0 to 9")
                             .arg(parser.value(p.delay)));
        options.delay = std::uint8_t(*delay);
    }
    if (parser.isSet(p.block)) {
        if (!kind->takesBlock)
            return Usage(QStringLiteral("--block applies to %1 only").arg(Only(TakesBlock)));
        const auto block = WholeNumber(parser.value(p.block), 2, 99);
        if (!block)
            return Usage(
                QStringLiteral("--block %1 is not a whole number from 2 to 99").arg(parser.value(p.block)));
        options.block = std::uint8_t(*block);
    }
    if (parser.isSet(p.colour)) {
        const QString hex = parser.value(p.colour);
        if (!QRegularExpression(QStringLiteral("^#?[0-9A-Fa-f]{6}$")).match(hex).hasMatch())
            return Usage(QStringLiteral("--colour %1 is not RRGGBB in hexadecimal").arg(hex));
        options.colour = QColor(QLatin1Char('#') + hex.right(6));
    }
    options.jobs = cores;
    if (parser.isSet(p.jobs)) {
        const auto jobs = WholeNumber(parser.value(p.jobs), 1, 64);
        if (!jobs)
            return Usage(
                QStringLiteral("--jobs %1 is not a whole number from 1 to 64").arg(parser.value(p.jobs)));
        options.jobs = *jobs;
    }
    if (parser.isSet(p.sort)) {
        if (kind->pageStyle != PageStyles::WebAlbum)
            return Usage(QStringLiteral("--sort applies to web-album only"));
        const QString order = parser.value(p.sort);
        if (order != QLatin1String("date") && order != QLatin1String("selection"))
            return Usage(QStringLiteral("--sort %1 is not 'selection' or 'date'").arg(order));
        options.sortByDate = order == QLatin1String("date");
    }
    options.open = parser.isSet(p.open);
    options.keepProportions = parser.isSet(p.keep);
    options.quiet = parser.isSet(p.quiet);
    options.replace = parser.isSet(p.replace);
    options.keepGoing = parser.isSet(p.keepGoing);

    if (positional.size() < 2)
        return Usage(QStringLiteral("no pictures given"));
    for (const QString &picture : positional.mid(1)) {
        const QFileInfo file(here.absoluteFilePath(picture));
        if (file.isFile()) {
            options.pictures << QDir::cleanPath(file.absoluteFilePath());
            continue;
        }
        if (!file.exists())
            return Usage(QStringLiteral("%1 does not exist").arg(picture));
        if (!file.isDir())
            return Usage(
                QStringLiteral("%1 is %2, not a picture or a folder").arg(picture, KindOfFile(file)));
        // A folder stands for its pictures, as one dropped on the window's selection does.
        const QStringList pictures = PicturesInFolder(QDir::cleanPath(file.absoluteFilePath()));
        if (pictures.isEmpty())
            return Usage(QStringLiteral("folder %1 holds no picture Galvora reads").arg(picture));
        options.pictures << pictures;
    }
    return options;
}
