// Productions as users make them, on pictures sized like real cameras': 100 photographs of
// 12 megapixels (6 to 8 MB each) and 20 of 48 megapixels (8000 x 6000), selected in the real main
// window and made into a Thumbnails page with the real pauses. Per set it prints the work beyond
// the fixed pauses, vipsthumbnail's time on the same files (when it is installed) and the ratio,
// the window's event-loop latency (a 5 ms timer's lateness: p50, p99, max) and the peak memory.
// Then the window's longest freeze on a preview click on a 20000 x 20000 JPEG, and the processor
// time a Pause uses while nothing happens. Prints figures; it is no test. The page is never opened.

#include "convert_dialog_answer.h"
#include "main_window/main_window.h"
#include "photo_set.h"
#include "process_figures.h"
#include "shared/pause.h"
#include "shared/platform.h"
#include "support/find_child.h"
#include "support/platform_fakes.h"
#include "support/test_pictures.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <sys/resource.h>
#include <turbojpeg.h>
#include <vector>

namespace
{

struct PictureSet {
    const char *name;
    int count, width, height, grain, quality;
};
const PictureSet Sets[] = {{"12 MP", 100, 4000, 3000, 40, 93}, {"48 MP", 20, 8000, 6000, 20, 92}};

// Writes the set's photographs into `in`, each a scene of its own (in a process of its own).
int Generate(const QString &in, int setIndex)
{
    const PictureSet &set = Sets[setIndex];
    QDir().mkpath(in);
    for (int i = 0; i < set.count; ++i)
        if (!PhotoSet::WriteJpeg(PhotoSet::PhotoLike(set.width, set.height, std::uint32_t(i + 1), set.grain),
                                 in + QStringLiteral("/photo%1.jpg").arg(i + 1, 3, 10, QLatin1Char('0')),
                                 set.quality))
            return 1;
    return 0;
}

double ProcessCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A 5 ms timer armed again at every firing; how late each firing comes is how long the window
// could not process its events.
class LatencyProbe
{
  public:
    LatencyProbe()
    {
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 late = std::max<qint64>(0, clock_.nsecsElapsed() - due_);
            lateNs_.push_back(late);
            if (late > 8'000'000 && label)
                freezes_.push_back({late, label(), clock_.nsecsElapsed() / 1'000'000});
            if (onTick)
                onTick();
            arm();
        });
    }
    void start()
    {
        lateNs_.clear();
        freezes_.clear();
        clock_.start();
        arm();
    }
    void stop()
    {
        // The time since the last firing counts as well: the window could not answer then either.
        if (timer_.isActive())
            lateNs_.push_back(std::max<qint64>(0, clock_.nsecsElapsed() - due_));
        timer_.stop();
    }
    double percentileMs(double p) const
    {
        if (lateNs_.empty())
            return 0;
        std::vector<qint64> sorted = lateNs_;
        std::sort(sorted.begin(), sorted.end());
        const auto at = std::min(sorted.size() - 1, std::size_t(p / 100.0 * double(sorted.size() - 1) + 0.5));
        return double(sorted[at]) / 1e6;
    }
    std::size_t count() const { return lateNs_.size(); }
    // The longest freezes over 8 ms, with what the status line said when each ended.
    void printLongest(int most) const
    {
        std::vector<Freeze> sorted = freezes_;
        std::sort(sorted.begin(), sorted.end(), [](const Freeze &a, const Freeze &b) { return a.ns > b.ns; });
        for (std::size_t i = 0; i < sorted.size() && i < std::size_t(most); ++i)
            std::printf("  freeze %.1f ms ending at %lld ms, status \"%s\"\n", double(sorted[i].ns) / 1e6,
                        sorted[i].atMs, qPrintable(sorted[i].label));
    }
    std::function<void()> onTick;
    std::function<QString()> label;

  private:
    void arm()
    {
        due_ = clock_.nsecsElapsed() + 5'000'000;
        timer_.start(5);
    }
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 due_ = 0;
    std::vector<qint64> lateNs_;
    struct Freeze {
        qint64 ns;
        QString label;
        qint64 atMs;
    };
    std::vector<Freeze> freezes_;
};

// The real main window over one folder of pictures, with the real clock and pause.
struct Window {
    FakeVolumes drive;
    RecordingMessages messages;
    RecordingPointer pointer;
    RecordingOpener opener;
    std::unique_ptr<MainWindow> window;

    Window(const QString &pictures, const QString &program)
    {
        drive.roots = {pictures};
        MainWindowServices services;
        services.albumHome = program;
        services.messages = &messages;
        services.pointer = &pointer;
        services.opener = &opener;
        services.volumes = &drive;
        window = std::make_unique<MainWindow>(services);
        window->show();
        auto &drive1 = FindChild<QComboBox>(*window, "Drive1");
        drive1.setCurrentIndex(drive1.findData(pictures));
    }
};

// vipsthumbnail's wall time on the files, making 160 x 120 thumbnails; negative when missing.
double VipsSeconds(const QStringList &files, const QString &out)
{
    const QString vips = QStandardPaths::findExecutable(QStringLiteral("vipsthumbnail"));
    if (vips.isEmpty())
        return -1;
    QDir().mkpath(out);
    QElapsedTimer timer;
    timer.start();
    const int rc =
        QProcess::execute(vips, QStringList{QStringLiteral("--size"), QStringLiteral("160x120!"),
                                            QStringLiteral("-o"), out + QStringLiteral("/%s.jpg")} +
                                    files);
    return rc == 0 ? double(timer.nsecsElapsed()) / 1e9 : -1;
}

bool RunSet(int setIndex, const QString &work)
{
    const PictureSet &set = Sets[setIndex];
    const QString in = work + QStringLiteral("/set%1").arg(setIndex);
    std::printf("\n== %s: generating %d JPEGs %dx%d q%d ...\n", set.name, set.count, set.width, set.height,
                set.quality);
    std::fflush(stdout);
    // GALVORA_BENCH_PICTURES keeps the generated sets there between runs.
    if (QDir(in).isEmpty() && !PhotoSet::GenerateInChildProcess(in, {QString::number(setIndex)}))
        return false;
    QStringList files;
    qint64 bytes = 0;
    for (const QFileInfo &file : QDir(in).entryInfoList(QDir::Files, QDir::Name)) {
        files << file.absoluteFilePath();
        bytes += file.size();
    }
    std::printf("files: %d, %.1f MB each on average\n", int(files.size()),
                double(bytes) / double(files.size()) / 1e6);

    const QString program = work + QStringLiteral("/program%1").arg(setIndex);
    QDir(program).removeRecursively(); // an album left by an earlier run would stop this one
    QDir().mkpath(program);
    Window w(in, program);
    FindChild<QListWidget>(*w.window, "File1").selectAll();
    FindChild<QAbstractButton>(*w.window, "KnopRechts").click();
    const int selected = FindChild<QListWidget>(*w.window, "List2").count();
    FindChild<QLineEdit>(*w.window, "MapText").setText(QStringLiteral("Album"));
    FindChild<QLineEdit>(*w.window, "FileText").setText(QStringLiteral("index"));

    // The dialog: Thumbnails (160 x 120), Ok.
    QTimer dialogWatch;
    AnswerConvertDialog(dialogWatch, [] { return 3; });

    ResetPeak();
    const double memoryBefore = PeakResidentMb();
    LatencyProbe probe;
    const auto &status = FindChild<QLabel>(*w.window, "InfoBalk");
    probe.label = [&status] { return status.text(); };
    dialogWatch.start();
    probe.start();
    QElapsedTimer clock;
    clock.start();
    FindChild<QAbstractButton>(*w.window, "MakeKnop").click();
    const double totalSeconds = double(clock.nsecsElapsed()) / 1e9;
    probe.stop();
    const double peak = PeakResidentMb();

    int rightSize = 0;
    for (int k = 1; k <= selected; ++k)
        if (QImageReader(program + QStringLiteral("/Album/images/picture%1.jpg").arg(k)).size() ==
            QSize(160, 120))
            ++rightSize;
    // The pauses alone: 1 s after Ok, 0.2 s per picture, 1 s before the page is opened.
    const double pausedSeconds = 1.0 + 0.2 * selected + 1.0;
    const double beyond = totalSeconds - pausedSeconds;
    std::printf("converted to 160x120: %d of %d, pages opened: %d, messages: %d\n", rightSize, selected,
                int(w.opener.opened.size()), int(w.messages.texts.size()));
    std::printf(
        "production: %.2f s, of which fixed pauses %.1f s; work beyond them %.2f s (%.1f ms a picture)\n",
        totalSeconds, pausedSeconds, beyond, beyond * 1000.0 / selected);
    const double vips = VipsSeconds(files, work + QStringLiteral("/vips%1").arg(setIndex));
    if (vips >= 0)
        std::printf("vipsthumbnail on the same files: %.2f s (%.1f ms a picture); ratio ours/vips per "
                    "picture: %.3f\n",
                    vips, vips * 1000.0 / selected, beyond / vips);
    else
        std::printf("vipsthumbnail: not installed, column skipped\n");
    std::printf(
        "event-loop latency (5 ms timer's lateness, %zu firings): p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
        probe.count(), probe.percentileMs(50), probe.percentileMs(99), probe.percentileMs(100));
    probe.printLongest(5);
    std::printf("peak resident memory: %.0f MB (%.0f MB before Make)\n", peak, memoryBefore);
    std::fflush(stdout);
    return rightSize == selected && selected == set.count && w.messages.texts.isEmpty() &&
           w.opener.opened.size() == 1;
}

void PreviewFreeze(const QString &work)
{
    const QString folder = work + QStringLiteral("/huge");
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/huge.jpg"));
    const QByteArray jpeg = TestPictures::ComposeGreyJpeg(20000, 20000);
    if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size())
        return;
    file.close();
    const QString program = work + QStringLiteral("/program-preview");
    QDir(program).removeRecursively();
    QDir().mkpath(program);
    Window w(folder, program);
    auto &file1 = FindChild<QListWidget>(*w.window, "File1");
    QListWidgetItem *item = file1.item(0);
    LatencyProbe probe;
    QEventLoop shown;
    probe.onTick = [&] {
        if (w.pointer.calls.contains(QStringLiteral("arrow")))
            shown.quit();
    };
    QElapsedTimer clock;
    probe.start();
    clock.start();
    file1.setCurrentItem(item);
    emit file1.itemClicked(item); // what a click on the entry delivers
    QTimer::singleShot(30000, &shown, &QEventLoop::quit);
    if (!w.pointer.calls.contains(QStringLiteral("arrow")))
        shown.exec();
    const double untilShown = double(clock.nsecsElapsed()) / 1e6;
    probe.stop();
    const QPixmap preview = FindChild<QLabel>(*w.window, "Image1").pixmap();
    std::printf("\n== preview click on a 20000 x 20000 JPEG: shown after %.0f ms (%dx%d); window's longest "
                "freeze (5 ms timer's lateness, max) %.2f ms, p99 %.2f ms\n",
                untilShown, preview.width(), preview.height(), probe.percentileMs(100),
                probe.percentileMs(99));
}

void PauseCpu()
{
    SteadyClock clock;
    const double before = ProcessCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    Pause(2.0f, clock);
    const double cpuMs = (ProcessCpuSeconds() - before) * 1000.0;
    std::printf("\n== Pause(2.0) while idle: %.1f ms of processor time in %.0f ms (%.3f ms per ms)\n", cpuMs,
                double(wall.elapsed()), cpuMs / double(wall.elapsed()));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && QByteArray(argv[1]) == "--generate")
        return Generate(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    const QString kept = qEnvironmentVariable("GALVORA_BENCH_PICTURES");
    const QString work = kept.isEmpty() ? scratch.path() : kept;
    // With arguments, only the parts named: "12", "48", "preview", "pause".
    const QStringList parts = app.arguments().mid(1);
    auto wanted = [&parts](const char *part) {
        return parts.isEmpty() || parts.contains(QLatin1String(part));
    };
    bool ok = true;
    for (int i = 0; i < int(std::size(Sets)); ++i)
        if (wanted(i == 0 ? "12" : "48"))
            ok = RunSet(i, work) && ok;
    if (wanted("preview"))
        PreviewFreeze(work);
    if (wanted("pause"))
        PauseCpu();
    return ok ? 0 : 1;
}
