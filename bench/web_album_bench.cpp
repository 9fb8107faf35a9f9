// `galvora make web-album` on 100 photographs of 12 megapixels (the set make_bench uses), against
// two vipsthumbnail runs over the same photos, one to 1600x1200 and one to 480x480: what the web
// album makes of every photo. Prints the wall times, the ratio (target at most 0.6), the peak memory
// of the galvora process (target under 200 MB) with -j 2 and with the default, and the page's
// weight against its budget of 12 KB plus 300 bytes a picture. Prints figures; it is no test.
//   GALVORA_BENCH_PICTURES=<folder> keeps the photos between runs.

#include "photo_set.h"
#include "program_runs.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace
{

constexpr int Count = 100, Width = 4000, Height = 3000, Grain = 40, Quality = 93;

int Generate(const QString &in)
{
    QDir().mkpath(in);
    for (int i = 0; i < Count; ++i)
        if (!PhotoSet::WriteJpeg(PhotoSet::PhotoLike(Width, Height, std::uint32_t(i + 1), Grain),
                                 in + QStringLiteral("/photo%1.jpg").arg(i + 1, 4, 10, QLatin1Char('0')),
                                 Quality))
            return 1;
    return 0;
}

QStringList Files(const QString &folder)
{
    QStringList files;
    for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files, QDir::Name))
        files << file.absoluteFilePath();
    return files;
}

ProgramRun MakeWebAlbum(const QString &galvora, const QStringList &files, const QString &output,
                        const QStringList &jobs)
{
    QDir(output).removeRecursively();
    return RunPrograms({QStringList{galvora, QStringLiteral("make"), QStringLiteral("web-album"),
                                    QStringLiteral("-o"), output, QStringLiteral("--quiet")} +
                        jobs + files});
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--generate")
        return Generate(QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    const QString galvora = QStringLiteral(GALVORA_PROGRAM);
    const QString keep = qEnvironmentVariable("GALVORA_BENCH_PICTURES");
    QTemporaryDir temporary;
    const QString work = keep.isEmpty() ? temporary.path() : keep;
    const QString in = work + QStringLiteral("/make-set0"); // the same photos as make_bench's 12 MP set
    if (QDir(in).isEmpty()) {
        std::printf("generating %d JPEGs of %d x %d ...\n", Count, Width, Height);
        std::fflush(stdout);
        if (!PhotoSet::GenerateInChildProcess(in))
            return 1;
    }
    const QStringList files = Files(in);
    const QString out = work + QStringLiteral("/web-album-out");
    std::printf("galvora make web-album (1600 x 1200 and 480 x 480), %d cores, %lld photos of %d x %d\n",
                QThread::idealThreadCount(), qlonglong(files.size()), Width, Height);

    const ProgramRun two = MakeWebAlbum(galvora, files, out, {QStringLiteral("-j"), QStringLiteral("2")});
    const ProgramRun ours = MakeWebAlbum(galvora, files, out, {});
    if (ours.seconds < 0 || two.seconds < 0) {
        std::printf("galvora make failed\n");
        return 1;
    }
    std::printf(
        "galvora make web-album: %.2f s, %.1f ms a photo, peak memory %.0f MB (target under 200 MB)\n",
        ours.seconds, ours.seconds * 1000 / double(files.size()), ours.peakMb);
    std::printf("galvora make web-album -j 2: %.2f s, peak memory %.0f MB (target under 200 MB)\n",
                two.seconds, two.peakMb);
    const qint64 page = QFileInfo(out + QStringLiteral("/index.html")).size();
    const qint64 budget = 12 * 1024 + 300 * qint64(files.size());
    std::printf("page: %lld bytes for %lld pictures; budget %lld (12 KB + 300 a picture)\n", qlonglong(page),
                qlonglong(files.size()), qlonglong(budget));

    const QString vips = QStandardPaths::findExecutable(QStringLiteral("vipsthumbnail"));
    if (vips.isEmpty()) {
        std::printf("vipsthumbnail: not installed, comparison skipped\n");
        return 0;
    }
    double vipsSeconds = 0;
    for (const char *size : {"1600x1200", "480x480"}) {
        const QString folder = work + QStringLiteral("/vips-") + QLatin1String(size);
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        const ProgramRun run =
            RunPrograms({QStringList{vips, QStringLiteral("--size"), QLatin1String(size),
                                     QStringLiteral("-o"), folder + QStringLiteral("/%s.jpg[Q=75,strip]")} +
                         files});
        if (run.seconds < 0) {
            std::printf("vipsthumbnail failed\n");
            return 1;
        }
        std::printf("vipsthumbnail --size %s: %.2f s, peak memory %.0f MB\n", size, run.seconds, run.peakMb);
        vipsSeconds += run.seconds;
    }
    std::printf("ratio ours / the two vipsthumbnail runs: %.2f (target at most 0.6)\n",
                ours.seconds / vipsSeconds);
    return 0;
}
