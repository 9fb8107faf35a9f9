// `galvora make thumbnails` as a script runs it: 100 photographs of 12 megapixels (7 to 8 MB each)
// and 1,000 of 2 megapixels, each set made into one Thumbnails album by the installed-style program.
// Per set it prints the wall time, the time per picture, the peak memory of the galvora process,
// and for the 12 MP set vipsthumbnail's time on the same files (one process, and two in parallel)
// with the ratios, and the share of the floor reached: the entropy decoding alone of every picture
// spread over the cores. For the 12 MP set it also runs the album on one core with one worker and
// on two cores with two (taskset) and prints the speed-up. With arguments, only the sets named:
// "12", "2". Prints figures and the load average; it is no test.

#include "photo_set.h"
#include "program_runs.h"
#include "turbojpeg_handles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <vector>

namespace
{

struct PictureSet {
    const char *name;
    int count, width, height, grain, quality;
};
const PictureSet Sets[] = {{"12 MP", 100, 4000, 3000, 40, 93}, {"2 MP", 1000, 1600, 1200, 40, 90}};

int Generate(const QString &in, int setIndex)
{
    const PictureSet &set = Sets[setIndex];
    QDir().mkpath(in);
    for (int i = 0; i < set.count; ++i)
        if (!PhotoSet::WriteJpeg(PhotoSet::PhotoLike(set.width, set.height, std::uint32_t(i + 1), set.grain),
                                 in + QStringLiteral("/photo%1.jpg").arg(i + 1, 4, 10, QLatin1Char('0')),
                                 set.quality))
            return 1;
    return 0;
}

// The entropy decoding alone: every picture decoded at 1/8 scale, where the inverse transforms and
// the colour conversion cost next to nothing.
double EntropyFloorSeconds(const QStringList &files)
{
    Tj::Handle decoder(tjInitDecompress());
    QElapsedTimer timer;
    timer.start();
    std::vector<unsigned char> pixels;
    for (const QString &path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray jpeg = file.readAll();
        int width = 0, height = 0, sampling = 0, colourspace = 0;
        const auto *data = reinterpret_cast<const unsigned char *>(jpeg.constData());
        if (tjDecompressHeader3(decoder.get(), data, static_cast<unsigned long>(jpeg.size()), &width, &height,
                                &sampling, &colourspace) != 0)
            return -1;
        const int w = (width + 7) / 8, h = (height + 7) / 8;
        pixels.resize(std::size_t(w) * std::size_t(h) * 4);
        if (tjDecompress2(decoder.get(), data, static_cast<unsigned long>(jpeg.size()), pixels.data(), w, 0,
                          h, TJPF_RGBX, 0) != 0)
            return -1;
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

QStringList Files(const QString &folder)
{
    QStringList files;
    for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files, QDir::Name))
        files << file.absoluteFilePath();
    return files;
}

double MeanMb(const QStringList &files)
{
    qint64 bytes = 0;
    for (const QString &file : files)
        bytes += QFileInfo(file).size();
    return files.isEmpty() ? 0 : double(bytes) / files.size() / 1e6;
}

ProgramRun MakeThumbnails(const QString &galvora, const QStringList &files, const QString &output,
                          const QStringList &before = {}, const QStringList &options = {})
{
    return RunPrograms({before +
                        QStringList{galvora, QStringLiteral("make"), QStringLiteral("thumbnails"),
                                    QStringLiteral("-o"), output, QStringLiteral("--quiet")} +
                        options + files});
}

void PrintLoad(const char *when)
{
    double load[3] = {-1, -1, -1};
    if (getloadavg(load, 3) == 3)
        std::printf("load average %s: %.2f %.2f %.2f\n", when, load[0], load[1], load[2]);
}

// The album on one core with one worker, then on two cores with two: how far the second core helps.
void CoreScaling(const QString &galvora, const QStringList &files, const QString &out)
{
    const QString taskset = QStandardPaths::findExecutable(QStringLiteral("taskset"));
    if (taskset.isEmpty()) {
        std::printf("taskset: not installed, scaling skipped\n");
        return;
    }
    auto run = [&](const char *cores, const char *jobs) {
        QDir(out).removeRecursively();
        return MakeThumbnails(galvora, files, out, {taskset, QStringLiteral("-c"), QLatin1String(cores)},
                              {QStringLiteral("-j"), QLatin1String(jobs)});
    };
    const ProgramRun one = run("0", "1");
    const ProgramRun two = run("0,1", "2");
    if (one.seconds < 0 || two.seconds < 0) {
        std::printf("galvora make under taskset failed\n");
        return;
    }
    // The processor time shows what the machine gave: on a busy machine two threads may get no more
    // than one would have.
    std::printf("taskset -c 0, -j 1: %.2f s (processor %.2f s), peak %.0f MB\n", one.seconds, one.cpuSeconds,
                one.peakMb);
    std::printf("taskset -c 0,1, -j 2: %.2f s (processor %.2f s, %.2f cores busy), peak %.0f MB\n",
                two.seconds, two.cpuSeconds, two.cpuSeconds / two.seconds, two.peakMb);
    std::printf("speed-up of two cores over one: %.2fx (target at least 1.8x)\n", one.seconds / two.seconds);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && QByteArray(argv[1]) == "--generate")
        return Generate(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    QCoreApplication app(argc, argv);
    const QString galvora = QStringLiteral(GALVORA_PROGRAM);
    const QString keep = qEnvironmentVariable("GALVORA_BENCH_PICTURES");
    QTemporaryDir temporary;
    const QString work = keep.isEmpty() ? temporary.path() : keep;
    const QString vips = QStandardPaths::findExecutable(QStringLiteral("vipsthumbnail"));
    const int cores = QThread::idealThreadCount();
    std::printf("galvora make thumbnails (160 x 120), %d cores\n", cores);
    PrintLoad("at the start");
    const QStringList parts = app.arguments().mid(1);

    for (int s = 0; s < 2; ++s) {
        const PictureSet &set = Sets[s];
        if (!parts.isEmpty() && !parts.contains(QLatin1String(s == 0 ? "12" : "2")))
            continue;
        const QString in = work + QStringLiteral("/make-set%1").arg(s);
        if (QDir(in).isEmpty()) {
            std::printf("generating %d JPEGs of %d x %d ...\n", set.count, set.width, set.height);
            std::fflush(stdout);
            if (!PhotoSet::GenerateInChildProcess(in, {QString::number(s)}))
                return 1;
        }
        const QStringList files = Files(in);
        const QString out = work + QStringLiteral("/make-out%1").arg(s);
        QDir(out).removeRecursively();
        const ProgramRun ours = MakeThumbnails(galvora, files, out);
        if (ours.seconds < 0) {
            std::printf("galvora make failed\n");
            return 1;
        }
        const double perPicture = ours.seconds / double(files.size());
        std::printf("\n== %s: %lld pictures, %.1f MB on average\n", set.name, qlonglong(files.size()),
                    MeanMb(files));
        std::printf("galvora make: %.2f s, %.1f ms a picture, peak memory %.0f MB (target under 150 MB)\n",
                    ours.seconds, perPicture * 1000, ours.peakMb);
        if (s == 1) {
            // The same pictures, a tenth of them: does the time per picture stay as the album grows?
            QDir(out).removeRecursively();
            const ProgramRun hundred = MakeThumbnails(galvora, files.mid(0, 100), out);
            const double perPicture100 = hundred.seconds / 100.0;
            std::printf(
                "the first 100 of them: %.2f s, %.1f ms a picture; the 1,000 against the 100: %+.1f%% "
                "(target within 10%%)\n",
                hundred.seconds, perPicture100 * 1000, (perPicture / perPicture100 - 1) * 100);
            continue;
        }
        CoreScaling(galvora, files, out);
        const double floor = EntropyFloorSeconds(files) / cores;
        if (floor > 0)
            std::printf("floor (entropy decoding over %d cores): %.2f s; share of the floor reached %.2f\n",
                        cores, floor, floor / ours.seconds);
        if (vips.isEmpty()) {
            std::printf("vipsthumbnail: not installed, columns skipped\n");
            continue;
        }
        const QStringList thumb{vips, QStringLiteral("--size"), QStringLiteral("160x120!"),
                                QStringLiteral("-o")};
        QDir().mkpath(work + QStringLiteral("/vips1"));
        const ProgramRun one =
            RunPrograms({thumb + QStringList{work + QStringLiteral("/vips1/%s.jpg")} + files});
        QDir().mkpath(work + QStringLiteral("/vips2"));
        const qsizetype half = files.size() / 2;
        const ProgramRun two =
            RunPrograms({thumb + QStringList{work + QStringLiteral("/vips2/%s.jpg")} + files.mid(0, half),
                         thumb + QStringList{work + QStringLiteral("/vips2/%s.jpg")} + files.mid(half)});
        std::printf("vipsthumbnail, one process: %.2f s; ratio ours/vips %.2f (target at most 0.45)\n",
                    one.seconds, ours.seconds / one.seconds);
        std::printf("vipsthumbnail, two in parallel: %.2f s; ratio ours/vips %.2f (target at most 0.9)\n",
                    two.seconds, ours.seconds / two.seconds);
    }
    PrintLoad("at the end");
    return 0;
}
