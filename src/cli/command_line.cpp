#include "cli/command_line.h"

#include "app/settings_file.h"
#include "cli/make_command_line.h"
#include "cli/make_options.h"
#include "shared/production_kinds.h"
#include "shared/program_values.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <cstring>

namespace
{

const char *const MakeWord = "make";

bool IsOneOf(const char *argument, std::initializer_list<const char *> words)
{
    return std::any_of(words.begin(), words.end(),
                       [&](const char *w) { return std::strcmp(argument, w) == 0; });
}

QString MainHelpText()
{
    return QStringLiteral(
               "Usage: galvora [PICTURE...]\n"
               "       galvora make KIND [options] PICTURE...\n"
               "\n"
               "Turns a selection of pictures into a small web photo album.\n"
               "\n"
               "Without arguments, or with pictures, galvora opens its window (with those pictures\n"
               "in the selection). `galvora make` makes one album without a window; KIND is one of\n"
               "  %1.\n"
               "`galvora make --help` lists its options.\n"
               "\n"
               "Options:\n"
               "  -h, --help     Show this help.\n"
               "  -v, --version  Show the version.\n")
        .arg(KindNames().join(QStringLiteral(", ")));
}

// The window's JPEG quality, read from its settings file without counting a start; the default
// without one.
std::uint8_t StoredQuality(const QString &settingsFolder)
{
    QFile file(SettingsFilePath(settingsFolder));
    std::int32_t count = 0;
    std::uint8_t quality = Defaults::JpegQuality;
    if (file.open(QIODevice::ReadOnly) && !ReadSettings(file.read(64 * 1024), count, quality).ok())
        return Defaults::JpegQuality;
    return quality;
}

} // namespace

bool WantsCommandLine(int argc, char **argv)
{
    return argc >= 2 && IsOneOf(argv[1], {MakeWord, "-h", "--help", "-v", "--version"});
}

int RunCommandLine(const QStringList &arguments, const QString &settingsFolder, QTextStream &out,
                   QTextStream &err)
{
    const QString first = arguments.value(1);
    if (first == QLatin1String("-h") || first == QLatin1String("--help")) {
        out << MainHelpText();
        return 0;
    }
    if (first == QLatin1String("-v") || first == QLatin1String("--version")) {
        out << "galvora " << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }
    const QStringList rest = arguments.mid(2);
    if (AsksForHelp(rest)) {
        out << MakeHelpText();
        return 0;
    }
    const Outcome<MakeOptions> options = ParseMakeOptions(
        rest, StoredQuality(settingsFolder), std::max(1, QThread::idealThreadCount()), QDir::currentPath());
    if (!options) {
        err << "galvora make: " << options.reason() << "\nTry 'galvora make --help' for more information.\n";
        return 2;
    }
    return MakeAlbum(options.value(), out, err);
}
