// One full production as a user makes it: 100 photographs of 12 megapixels selected in the
// real main window and made into a Thumbnails page, with the real pauses. Prints the total
// time, the peak resident memory and the longest stretch in which the window processed no
// events. Prints figures; it is no test. The page is never opened: the opener only records.

#include "app/volume_source.h"
#include "main_window/main_window.h"
#include "photo_set.h"
#include "shared/platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <ctime>

namespace
{

constexpr int PictureCount = 100;

// Writes the photographs into `in`, each a scene of its own; runs in a process of its own
// so that its memory does not count.
int Generate(const QString &in)
{
    QDir().mkpath(in);
    for (int i = 0; i < PictureCount; ++i)
        if (!PhotoSet::WriteJpeg(PhotoSet::PhotoLike(4000, 3000, std::uint32_t(i + 1)),
                                 in + QStringLiteral("/photo%1.jpg").arg(i + 1, 3, 10, QLatin1Char('0')), 92))
            return 1;
    return 0;
}

// CPU time of this thread: unlike the wall clock it leaves out time other programs took.
double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec / 1e9;
}

double PeakResidentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

struct OneDrive : VolumeSource {
    QString root;
    QStringList volumes() const override { return {root}; }
    bool canList(const QString &r) const override { return QFileInfo(r).isDir(); }
};

struct CountingMessages : MessageBoxes {
    QStringList texts;
    void show(const QString &text, const QString &) override { texts << text; }
};
struct NoPointer : MousePointer {
    void busy() override {}
    void arrow() override {}
};
struct RecordingOpener : DocumentOpener {
    QStringList opened;
    void open(const QString &path) override { opened << path; }
};

template <typename T> T &Control(QObject &parent, const char *name)
{
    T *found = parent.findChild<T *>(QLatin1String(name));
    if (!found) {
        std::fprintf(stderr, "no control %s\n", name);
        std::exit(1);
    }
    return *found;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--generate")
        return Generate(QString::fromLocal8Bit(argv[2]));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir work;
    const QString in = work.filePath(QStringLiteral("photos"));
    std::printf("generating %d JPEGs 4000x3000 q92 ...\n", PictureCount);
    std::fflush(stdout);
    QElapsedTimer generation;
    generation.start();
    if (!PhotoSet::GenerateInChildProcess(in))
        return 1;
    std::printf("generated in %.1f s; one JPEG is %.1f MB\n", generation.elapsed() / 1000.0,
                QFileInfo(in + QStringLiteral("/photo001.jpg")).size() / 1e6);

    const QString program = work.filePath(QStringLiteral("program"));
    QDir().mkpath(program);
    OneDrive drive;
    drive.root = in;
    CountingMessages messages;
    NoPointer pointer;
    RecordingOpener opener;
    MainWindowServices services;
    services.programFolder = program;
    services.messages = &messages;
    services.pointer = &pointer;
    services.opener = &opener;
    services.volumes = &drive;
    // The clock and the pause are the real ones.
    MainWindow window(services);
    window.show();

    auto &drive1 = Control<QComboBox>(window, "Drive1");
    drive1.setCurrentIndex(drive1.findData(in));
    auto &file1 = Control<QListWidget>(window, "File1");
    file1.selectAll();
    Control<QAbstractButton>(window, "KnopRechts").click();
    const int selected = Control<QListWidget>(window, "List2").count();
    Control<QLineEdit>(window, "MapText").setText(QStringLiteral("Album"));
    Control<QLineEdit>(window, "FileText").setText(QStringLiteral("index"));
    Control<QLineEdit>(window, "Naam").setText(QStringLiteral("Hundred photographs"));
    const double memoryBefore = PeakResidentMb();

    // The dialog: Thumbnails, Ok.
    QTimer dialogWatch;
    dialogWatch.setInterval(0);
    bool answered = false;
    QObject::connect(&dialogWatch, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (answered || !dialog || !dialog->isVisible())
            return;
        answered = true;
        dialogWatch.stop();
        Control<QAbstractButton>(*dialog, "Knop3").click();
        Control<QAbstractButton>(*dialog, "OkKnop").click();
    });

    // Every tick is a moment the window processed its events; the longest gap is its longest freeze.
    QElapsedTimer clock;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    qint64 lastTick = 0, longestGap = 0, ticks = 0;
    QString longestDuring;
    auto &infoBalk = Control<QLabel>(window, "InfoBalk");
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (now - lastTick > longestGap) {
            longestGap = now - lastTick;
            longestDuring = infoBalk.text();
        }
        lastTick = now;
        ++ticks;
    });

    dialogWatch.start();
    ticker.start();
    const double cpuBefore = ThreadCpuSeconds();
    clock.start();
    Control<QAbstractButton>(window, "MakeKnop").click();
    const double totalSeconds = clock.nsecsElapsed() / 1e9;
    const double cpuSeconds = ThreadCpuSeconds() - cpuBefore;
    // The time after the last tick counts too: the window could not answer then either.
    longestGap = std::max(longestGap, clock.nsecsElapsed() - lastTick);
    ticker.stop();
    dialogWatch.stop();

    int rightSize = 0;
    for (int k = 1; k <= selected; ++k)
        if (QImageReader(program + QStringLiteral("/Album/Images/picture%1.jpg").arg(k)).size() ==
            QSize(160, 120))
            ++rightSize;
    const bool pageWritten = QFile::exists(program + QStringLiteral("/Album/index.html"));

    // The pauses alone: 1 s after Ok, 0.2 s per picture, 1 s before the page is opened.
    const double pausedSeconds = 1.0 + 0.2 * selected + 1.0;
    std::printf(
        "pictures selected: %d, converted to 160x120: %d, page written: %s, opened: %d, messages: %d\n",
        selected, rightSize, pageWritten ? "yes" : "no", int(opener.opened.size()),
        int(messages.texts.size()));
    for (const QString &text : messages.texts)
        std::printf("  message: %s\n", qPrintable(text));
    std::printf("status line at the end: %s\n", qPrintable(infoBalk.text()));
    std::printf(
        "total: %.2f s from the Make click to its return (pauses %.1f s, work %.2f s, %.0f ms a picture)\n",
        totalSeconds, pausedSeconds, totalSeconds - pausedSeconds,
        (totalSeconds - pausedSeconds) * 1000.0 / std::max(selected, 1));
    std::printf("CPU time of the window's thread during Make: %.2f s\n", cpuSeconds);
    std::printf("peak resident memory: %.0f MB (%.0f MB before Make)\n", PeakResidentMb(), memoryBefore);
    std::printf("longest freeze of the window: %.0f ms (ended at status \"%s\"); %lld event-loop turns\n",
                longestGap / 1e6, qPrintable(longestDuring), ticks);
    const bool ok = selected == PictureCount && rightSize == selected && pageWritten &&
                    opener.opened.size() == 1 && messages.texts.isEmpty();
    return ok ? 0 : 1;
}
