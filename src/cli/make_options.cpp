#include "cli/make_options.h"

#include "picture_conversion/conversion_steps.h"
#include "shared/output_names.h"
#include "shared/program_values.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <array>
#include <optional>

namespace
{

struct Kind {
    const char *name;
    std::uint8_t pageStyle;
    std::int32_t width, height; // the Convert dialog's preset; 0 where the kind takes no size
};

const std::array<Kind, 8> Kinds = {{
    {"picture-show", PageStyles::PictureShow, 0, 0},
    {"slide-show", PageStyles::SlideShow, 0, 0},
    {"thumbnails", PageStyles::Thumbnails, 160, 120},
    {"block-effect", PageStyles::BlockEffect, 300, 200},
    {"photoalbum-1", PageStyles::Photoalbum1, 360, 270},
    {"photoalbum-2", PageStyles::Photoalbum2, 360, 270},
    {"resize", PageStyles::ResizePictures, 300, 200},
    {"web-album", PageStyles::WebAlbum, 1600, 1200},
}};

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
                             QStringLiteral("The page title (default: the album folder's name)."),
                             QStringLiteral("TEXT")};
    QCommandLineOption quality{{QStringLiteral("q"), QStringLiteral("quality")},
                               QStringLiteral("JPEG quality, 1 to 100 (default: the window's, else 75)."),
                               QStringLiteral("1-100")};
    QCommandLineOption size{
        {QStringLiteral("s"), QStringLiteral("size")},
        QStringLiteral("Picture size in pixels (thumbnails 160x120, block-effect and resize "
                       "300x200, photoalbums 360x270; web-album: the box each large picture fits in, "
                       "1600x1200)."),
        QStringLiteral("WxH")};
    QCommandLineOption delay{{QStringLiteral("d"), QStringLiteral("delay")},
                             QStringLiteral("slide-show: seconds between the pictures, 0 to 9 (default: 3)."),
                             QStringLiteral("SECONDS")};
    QCommandLineOption block{{QStringLiteral("b"), QStringLiteral("block")},
                             QStringLiteral("block-effect: the largest block, 2 to 99 (default: 15)."),
                             QStringLiteral("N")};
    QCommandLineOption colour{{QStringLiteral("c"), QStringLiteral("colour")},
                              QStringLiteral("Page background colour (default: E0F0E0)."),
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

    Parser()
    {
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
        parser.addOptions(
            {output, name, title, quality, size, delay, block, colour, open, jobs, keep, sort, quiet});
        parser.addHelpOption();
        parser.addPositionalArgument(QStringLiteral("KIND"), MakeKinds().join(QStringLiteral(", ")));
        parser.addPositionalArgument(QStringLiteral("PICTURE"),
                                     QStringLiteral("The pictures, in album order."),
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

Failure Usage(const QString &reason)
{
    return Failure{reason};
}

} // namespace

QStringList MakeKinds()
{
    QStringList names;
    for (const Kind &kind : Kinds)
        names << QString::fromLatin1(kind.name);
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
    if (!parser.parse(QStringList{QStringLiteral("galvora")} + arguments))
        return Usage(parser.errorText());
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return Usage(QStringLiteral("what to make is missing: one of ") +
                     MakeKinds().join(QStringLiteral(", ")));

    MakeOptions options;
    const Kind *kind = nullptr;
    for (const Kind &k : Kinds)
        if (positional.first() == QLatin1String(k.name))
            kind = &k;
    if (!kind)
        return Usage(QStringLiteral("unknown kind '%1': one of %2")
                         .arg(positional.first(), MakeKinds().join(QStringLiteral(", "))));
    options.pageStyle = kind->pageStyle;
    options.width = kind->width;
    options.height = kind->height;

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
        if (kind->width == 0)
            return Usage(QStringLiteral("--size does not apply to %1").arg(QLatin1String(kind->name)));
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
        if (kind->pageStyle != PageStyles::SlideShow)
            return Usage(QStringLiteral("--delay applies to slide-show only"));
        const auto delay = WholeNumber(parser.value(p.delay), 0, 9);
        if (!delay)
            return Usage(QStringLiteral("--delay %1 is not a whole number of seconds from 0 to 9")
                             .arg(parser.value(p.delay)));
        options.delay = std::uint8_t(*delay);
    }
    if (parser.isSet(p.block)) {
        if (kind->pageStyle != PageStyles::BlockEffect)
            return Usage(QStringLiteral("--block applies to block-effect only"));
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

    if (positional.size() < 2)
        return Usage(QStringLiteral("no pictures given"));
    for (const QString &picture : positional.mid(1)) {
        const QFileInfo file(here.absoluteFilePath(picture));
        if (!file.isFile())
            return Usage(QStringLiteral("picture %1 is not a file").arg(picture));
        options.pictures << QDir::cleanPath(file.absoluteFilePath());
    }
    return options;
}
