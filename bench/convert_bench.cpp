// Measures ConvertPictures on a photo-like set: per kind of picture the median time,
// the peak resident memory and the longest stretch without event processing.
// Prints figures; it is no test.

#include "photo_set.h"
#include "picture_conversion/convert_pictures.h"
#include "process_figures.h"
#include "shared/host.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>
#include <vector>

namespace
{

constexpr int JpegCount = 20, BmpCount = 5, GifCount = 5;
constexpr int Runs = 3;

// CPU time of this thread: unlike the wall clock it leaves out time other programs took.
qint64 ThreadCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Stands in for the main window: pauses return at once, every moment of event processing is timed.
class BenchHost : public Host
{
  public:
    QElapsedTimer clock;
    std::vector<qint64> pauseWallNs, pauseCpuNs;
    QStringList messages;

    void showStatus(const QString &) override {}
    void pause(float) override
    {
        pauseWallNs.push_back(clock.nsecsElapsed());
        pauseCpuNs.push_back(ThreadCpuNs());
    }
    void showMessage(const QString &text, const QString & = QString()) override { messages << text; }
    void setBusyPointer() override {}
    void setArrowPointer() override {}
    void openDocument(const QString &) override {}
};

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Writes the set into `in`; runs in a process of its own so that its memory does not count.
int Generate(const QString &in)
{
    QDir().mkpath(in);
    for (int i = 0; i < JpegCount; ++i)
        if (!PhotoSet::WriteJpeg(PhotoSet::PhotoLike(4000, 3000, std::uint32_t(i + 1)),
                                 in + QStringLiteral("/photo%1.jpg").arg(i + 1, 2, 10, QLatin1Char('0')), 92))
            return 1;
    for (int i = 0; i < BmpCount; ++i)
        if (!PhotoSet::PhotoLike(1920, 1080, std::uint32_t(100 + i))
                 .save(in + QStringLiteral("/screen%1.bmp").arg(i + 1), "BMP"))
            return 1;
    for (int i = 0; i < GifCount; ++i)
        if (!PhotoSet::WriteGif(PhotoSet::PhotoLike(800, 600, std::uint32_t(200 + i)),
                                in + QStringLiteral("/drawing%1.gif").arg(i + 1)))
            return 1;
    return 0;
}

// Milliseconds per picture of one run, in selection order.
struct Run {
    std::vector<double> wallMs, cpuMs;
    double tailMs = 0; // from the last pause to the return
};

Run Convert(const QString &program, const QStringList &pictures, const QString &folder)
{
    BenchHost host;
    ProductionRequest request;
    for (const QString &path : pictures)
        request.selection.push_back({QFileInfo(path).fileName(), path});
    request.folder = folder;
    request.fileName = QStringLiteral("index");
    request.albumHome = program;
    request.settings.JpegQuality = 75;
    const qint64 cpuStart = ThreadCpuNs();
    host.clock.start();
    (void)ConvertPictures(request, host, 300, 200);
    const qint64 end = host.clock.nsecsElapsed();
    for (const QString &m : host.messages)
        std::fprintf(stderr, "message: %s\n", qPrintable(m));

    Run run;
    qint64 wall = 0, cpu = cpuStart;
    for (std::size_t i = 0; i < host.pauseWallNs.size(); ++i) {
        run.wallMs.push_back(double(host.pauseWallNs[i] - wall) / 1e6);
        run.cpuMs.push_back(double(host.pauseCpuNs[i] - cpu) / 1e6);
        wall = host.pauseWallNs[i];
        cpu = host.pauseCpuNs[i];
    }
    run.tailMs = double(end - wall) / 1e6;
    return run;
}

// Per picture the best of all runs: what the machine does when nothing else competes for it.
std::vector<double> BestOf(const std::vector<Run> &runs, std::vector<double> Run::*field)
{
    std::vector<double> best = runs.front().*field;
    for (const Run &run : runs)
        for (std::size_t i = 0; i < best.size() && i < (run.*field).size(); ++i)
            best[i] = std::min(best[i], (run.*field)[i]);
    return best;
}

// Wall and CPU seconds vipsthumbnail takes for all JPEGs in one process; negative without it.
struct VipsTime {
    double wall = -1, cpu = -1;
};

VipsTime RunVips(const QStringList &jpegs, const QString &out)
{
    const QString vips = QStandardPaths::findExecutable(QStringLiteral("vipsthumbnail"));
    if (vips.isEmpty())
        return {};
    QDir().mkpath(out);
    QStringList args{QStringLiteral("-s"), QStringLiteral("300x200!"), QStringLiteral("-o"),
                     QDir(out).absolutePath() + QStringLiteral("/%s.jpg[Q=75]")};
    args += jpegs;
    rusage before{}, after{};
    getrusage(RUSAGE_CHILDREN, &before);
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(vips, args);
    if (!process.waitForFinished(600000) || process.exitCode() != 0) {
        std::fprintf(stderr, "vipsthumbnail failed: %s\n", process.readAllStandardError().constData());
        return {};
    }
    VipsTime time;
    time.wall = double(timer.nsecsElapsed()) / 1e9;
    getrusage(RUSAGE_CHILDREN, &after);
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    time.cpu = seconds(after.ru_utime) + seconds(after.ru_stime) - seconds(before.ru_utime) -
               seconds(before.ru_stime);
    return time;
}

QStringList Files(const QDir &dir, const QString &pattern)
{
    QStringList paths;
    for (const QString &name : dir.entryList({pattern}, QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--generate")
        return Generate(QString::fromLocal8Bit(argv[2]));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QTemporaryDir work;
    const QString in = work.filePath(QStringLiteral("in"));
    std::printf("generating %d JPEGs 4000x3000 q92, %d BMPs 1920x1080, %d GIFs 800x600 ...\n", JpegCount,
                BmpCount, GifCount);
    std::fflush(stdout);
    if (!PhotoSet::GenerateInChildProcess(in))
        return 1;
    const QStringList jpegs = Files(QDir(in), QStringLiteral("*.jpg")),
                      bmps = Files(QDir(in), QStringLiteral("*.bmp")),
                      gifs = Files(QDir(in), QStringLiteral("*.gif"));
    qint64 jpegBytes = 0;
    for (const QString &path : jpegs)
        jpegBytes += QFileInfo(path).size();
    std::printf("average JPEG file: %.1f MB\n", double(jpegBytes) / double(jpegs.size()) / 1e6);

    const QString program = work.filePath(QStringLiteral("program"));
    QDir().mkpath(program);
    const QStringList all = jpegs + bmps + gifs;
    std::vector<Run> runs;
    for (int r = 0; r < Runs; ++r)
        runs.push_back(Convert(program, all, QStringLiteral("run%1").arg(r + 1)));
    const double peakMb = PeakResidentMb();
    const std::vector<double> wall = BestOf(runs, &Run::wallMs), cpu = BestOf(runs, &Run::cpuMs);
    if (qEnvironmentVariableIsSet("GALVORA_BENCH_VERBOSE"))
        for (const Run &run : runs) {
            std::printf("run, wall ms per picture:");
            for (double ms : run.wallMs)
                std::printf(" %.0f", ms);
            std::printf("\n");
        }

    const int j = int(jpegs.size()), b = int(bmps.size()), g = int(gifs.size());
    auto median = [](const std::vector<double> &v, int from, int count) {
        return Median(std::vector<double>(v.begin() + from, v.begin() + from + count));
    };
    double tail = runs.front().tailMs;
    for (const Run &run : runs)
        tail = std::min(tail, run.tailMs);
    const double longestFreeze = std::max(*std::max_element(wall.begin(), wall.end()), tail);
    double load[3] = {0, 0, 0};
    getloadavg(load, 3);

    std::printf(
        "\nConvertPictures to 300x200 at quality 75 (instant pause); per picture the best of %d runs;\n"
        "median per kind, wall clock (thread CPU time):\n",
        Runs);
    std::printf("  JPEG 4000x3000: %6.1f ms (%5.1f)   target 45 ms\n", median(wall, 0, j), median(cpu, 0, j));
    std::printf("  BMP  1920x1080: %6.1f ms (%5.1f)   target 20 ms\n", median(wall, j, b), median(cpu, j, b));
    std::printf("  GIF   800x600 : %6.1f ms (%5.1f)   target 15 ms\n", median(wall, j + b, g),
                median(cpu, j + b, g));
    std::printf("peak resident memory: %.1f MB   target < 60 MB\n", peakMb);
    std::printf("longest freeze (longest stretch between two pauses): %.1f ms   target < 60 ms\n",
                longestFreeze);
    std::printf("load average while measuring: %.2f on %d cores\n", load[0], QThread::idealThreadCount());

    const QString vipsOut = work.filePath(QStringLiteral("vips"));
    VipsTime vips;
    for (int r = 0; r < Runs; ++r) {
        const VipsTime t = RunVips(jpegs, vipsOut);
        if (t.wall < 0)
            break;
        if (vips.wall < 0 || t.wall < vips.wall)
            vips = t;
    }
    if (vips.wall < 0) {
        std::printf("vipsthumbnail: not installed, no comparison\n");
        return 0;
    }
    const double vipsMs = vips.wall * 1000.0 / j, vipsCpuMs = vips.cpu * 1000.0 / j;
    std::printf("vipsthumbnail, same JPEGs in one process, best of %d: %.1f ms per picture (CPU %.1f ms)\n",
                Runs, vipsMs, vipsCpuMs);
    std::printf("our JPEG time as a ratio of its time: %.2f wall clock, %.2f CPU   target <= 0.80\n",
                median(wall, 0, j) / vipsMs, median(cpu, 0, j) / vipsCpuMs);
    return 0;
}
