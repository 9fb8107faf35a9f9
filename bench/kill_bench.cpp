// `galvora make` killed (SIGKILL) at random moments: Picture Show, Photoalbum 1 and Resize of 24
// photographs of 12 megapixels, 100 kills in all, spread evenly over each kind's own run time.
// After each kill every file under the album's final names must be whole: a picture decodes, a
// page ends with "</html>" CR LF. Prints per kind the pictures left, those cut off, the pages left
// and cut off, and what the killed runs left of their own (temporary ".galvora-" files, ".scratch-"
// folders) or anything else. Prints figures; it is no test.
//
//   galvora_kill_bench [PROGRAM]   (default: the galvora built beside it)
// GALVORA_BENCH_PICTURES keeps the generated photographs in a folder of its own between runs;
// GALVORA_KILL_SEED repeats the moments of an earlier run.

#include "photo_set.h"
#include "picture_loader.h"
#include "program_runs.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{

constexpr int PictureCount = 24;
constexpr int Kills = 100;

struct Kind {
    const char *name;
    int kills;
};
const Kind Kinds[] = {{"picture-show", 34}, {"photoalbum-1", 33}, {"resize", 33}};

int Generate(const QString &folder)
{
    QDir().mkpath(folder);
    for (int i = 0; i < PictureCount; ++i)
        if (!PhotoSet::WriteJpeg(PhotoSet::PhotoLike(4000, 3000, std::uint32_t(i + 1), 40),
                                 folder + QStringLiteral("/photo%1.jpg").arg(i + 1, 2, 10, QLatin1Char('0')),
                                 93))
            return 1;
    return 0;
}

// Starts `galvora make KIND -o album --quiet pictures...` with its output thrown away.
pid_t Start(const QString &program, const char *kind, const QString &album, const QStringList &pictures)
{
    return SpawnQuiet(QStringList{program, QStringLiteral("make"), QString::fromLatin1(kind),
                                  QStringLiteral("-o"), album, QStringLiteral("--quiet")} +
                          pictures,
                      true);
}

// What one album folder holds after its run ended or was killed.
struct Left {
    int pictures = 0, picturesCutOff = 0;
    int pages = 0, pagesCutOff = 0;
    int temporaryFiles = 0; // .galvora-* beside a final name
    int scratchFolders = 0; // .scratch-* with whatever is in it
    QStringList other;      // anything else

    Left &operator+=(const Left &more)
    {
        pictures += more.pictures;
        picturesCutOff += more.picturesCutOff;
        pages += more.pages;
        pagesCutOff += more.pagesCutOff;
        temporaryFiles += more.temporaryFiles;
        scratchFolders += more.scratchFolders;
        other += more.other;
        return *this;
    }
};

Left Inspect(const QString &album)
{
    Left left;
    QDirIterator it(album, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(album).relativeFilePath(path);
        const QFileInfo info = it.fileInfo();
        if (relative.startsWith(QStringLiteral(".scratch-"))) {
            if (!relative.contains(QLatin1Char('/')))
                ++left.scratchFolders;
        } else if (info.fileName().startsWith(QStringLiteral(".galvora-"))) {
            ++left.temporaryFiles;
        } else if (info.isDir() && relative == QStringLiteral("images")) {
        } else if (relative == QStringLiteral("index.html")) {
            ++left.pages;
            QFile page(path);
            if (!page.open(QIODevice::ReadOnly) || !page.readAll().endsWith("</html>\r\n"))
                ++left.pagesCutOff;
        } else if (relative.startsWith(QStringLiteral("images/picture")) && info.isFile()) {
            ++left.pictures;
            // A small cover: decoded at 1/8, which still reads every byte of the file.
            if (!LoadPicture(path, QSize(160, 120)).ok())
                ++left.picturesCutOff;
        } else {
            left.other << relative;
        }
    }
    return left;
}

void Print(const char *what, const Left &left, int kills)
{
    std::printf("%-13s %5d %9d %9d %6d %10d %14d %15d %6lld\n", what, kills, left.pictures,
                left.picturesCutOff, left.pages, left.pagesCutOff, left.temporaryFiles, left.scratchFolders,
                qlonglong(left.other.size()));
    for (const QString &other : left.other)
        std::printf("    other: %s\n", qPrintable(other));
}

void SleepSeconds(double seconds)
{
    timespec wait{time_t(seconds), long((seconds - double(time_t(seconds))) * 1e9)};
    while (nanosleep(&wait, &wait) != 0) {
    }
}

QString LoadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly)
               ? QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2)
               : QStringLiteral("unknown");
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--generate")
        return Generate(QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    const QString program = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(GALVORA_PROGRAM);
    const QString keep = qEnvironmentVariable("GALVORA_BENCH_PICTURES");
    QTemporaryDir temporary;
    const QString work = keep.isEmpty() ? temporary.path() : keep;
    const QString in = work + QStringLiteral("/kill-set");
    if (QDir(in).entryList(QDir::Files).size() != PictureCount) {
        std::printf("generating %d JPEGs of 4000 x 3000 ...\n", PictureCount);
        std::fflush(stdout);
        QDir(in).removeRecursively();
        if (!PhotoSet::GenerateInChildProcess(in))
            return 1;
    }
    QStringList pictures;
    for (const QFileInfo &file : QDir(in).entryInfoList(QDir::Files, QDir::Name))
        pictures << file.absoluteFilePath();

    const quint32 seed = qEnvironmentVariableIsSet("GALVORA_KILL_SEED")
                             ? quint32(qEnvironmentVariableIntValue("GALVORA_KILL_SEED"))
                             : quint32(QDateTime::currentMSecsSinceEpoch());
    QRandomGenerator random(seed);
    std::printf("%s, %d photographs of 12 MP, %d kills, seed %u, load average before: %s\n",
                qPrintable(program), PictureCount, Kills, seed, qPrintable(LoadAverage()));

    const QString out = work + QStringLiteral("/kill-out");
    Left total;
    std::vector<std::pair<const char *, Left>> rows;
    for (const Kind &kind : Kinds) {
        // One whole run first: its length is the span the kills are spread over.
        QDir(out).removeRecursively();
        QElapsedTimer timer;
        timer.start();
        const pid_t whole = Start(program, kind.name, out, pictures);
        int status = 0;
        if (whole < 0 || waitpid(whole, &status, 0) != whole || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            std::printf("%s: the whole run failed\n", kind.name);
            return 1;
        }
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        const Left wholeRun = Inspect(out);
        std::printf("%s: a whole run takes %.2f s and leaves %d pictures, %d page(s), %d temporary files, %d "
                    "scratch folders\n",
                    kind.name, seconds, wholeRun.pictures, wholeRun.pages, wholeRun.temporaryFiles,
                    wholeRun.scratchFolders);
        std::fflush(stdout);

        Left left;
        for (int k = 0; k < kind.kills; ++k) {
            QDir(out).removeRecursively();
            const pid_t pid = Start(program, kind.name, out, pictures);
            if (pid < 0)
                return 1;
            SleepSeconds(random.generateDouble() * seconds);
            ::kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            left += Inspect(out);
        }
        rows.emplace_back(kind.name, left);
        total += left;
    }
    QDir(out).removeRecursively();

    std::printf("\n%-13s %5s %9s %9s %6s %10s %14s %15s %6s\n", "kind", "kills", "pictures", "cut off",
                "pages", "pages cut", "temporary files", "scratch folders", "other");
    for (std::size_t i = 0; i < rows.size(); ++i)
        Print(rows[i].first, rows[i].second, Kinds[i].kills);
    Print("all", total, Kills);
    std::printf("load average after: %s\n", qPrintable(LoadAverage()));
    return total.picturesCutOff == 0 && total.pagesCutOff == 0 ? 0 : 1;
}
