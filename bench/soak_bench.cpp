// Soak: 50 productions in one run of the real main window, the seven kinds in turn, 10 photo-like
// pictures each, driven as a user drives it (selection, folder name, Make, the Convert dialog).
// The pauses return at once, so it runs as fast as the work goes. Prints the resident memory
// before the first production, after each round of seven and after the last, and the growth per
// production; a window that keeps something of every production grows here. It is no test.

#include "convert_dialog_answer.h"
#include "main_window/main_window.h"
#include "photo_set.h"
#include "process_figures.h"
#include "support/find_child.h"
#include "support/platform_fakes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace
{

constexpr int Productions = 50;
constexpr int Kinds = 7; // the Convert dialog's Knop1 (Picture Show) to Knop7 (Resize pictures)
constexpr int Pictures = 10;

int Generate(const QString &folder)
{
    QDir().mkpath(folder);
    for (int i = 0; i < Pictures; ++i)
        if (!PhotoSet::WriteJpeg(PhotoSet::PhotoLike(2000, 1500, std::uint32_t(i + 1), 20),
                                 folder + QStringLiteral("/photo%1.jpg").arg(i + 1, 2, 10, QLatin1Char('0')),
                                 92))
            return 1;
    return 0;
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
    const QString pictures = work.filePath(QStringLiteral("pictures"));
    const QString program = work.filePath(QStringLiteral("program"));
    if (!PhotoSet::GenerateInChildProcess(pictures) || !QDir().mkpath(program))
        return 1;

    FakeVolumes drive;
    drive.roots = {pictures};
    RecordingMessages messages;
    RecordingPointer pointer;
    RecordingOpener opener;
    MainWindowServices services;
    services.albumHome = program;
    services.messages = &messages;
    services.pointer = &pointer;
    services.opener = &opener;
    services.volumes = &drive;
    services.pause = [](float) {}; // no waiting in real time
    MainWindow window(services);
    window.show();
    auto &drive1 = FindChild<QComboBox>(window, "Drive1");
    drive1.setCurrentIndex(drive1.findData(pictures));
    FindChild<QListWidget>(window, "File1").selectAll();
    FindChild<QAbstractButton>(window, "KnopRechts").click();
    FindChild<QLineEdit>(window, "FileText").setText(QStringLiteral("index"));
    const int selected = FindChild<QListWidget>(window, "List1").count();

    // Chooses the kind in the Convert dialog as soon as it shows, then Ok.
    int kind = 1;
    QTimer dialogWatch;
    AnswerConvertDialog(dialogWatch, [&kind] { return kind; });

    QCoreApplication::processEvents();
    const double before = CurrentResidentMb();
    double afterFirstRound = before;
    std::printf("soak: %d productions of %d pictures (2000 x 1500), the %d kinds in turn\n", Productions,
                selected, Kinds);
    std::printf("resident memory before the first production: %.1f MB\n", before);
    QElapsedTimer clock;
    clock.start();
    for (int n = 1; n <= Productions; ++n) {
        kind = (n - 1) % Kinds + 1;
        FindChild<QLineEdit>(window, "MapText").setText(QStringLiteral("Album%1").arg(n));
        dialogWatch.start();
        FindChild<QAbstractButton>(window, "MakeKnop").click();
        QCoreApplication::processEvents();
        if (n % Kinds == 0 || n == Productions) {
            const double now = CurrentResidentMb();
            if (n == Kinds)
                afterFirstRound = now;
            std::printf("  after production %2d: %.1f MB\n", n, now);
        }
    }
    const double after = CurrentResidentMb();
    const int rounds = Productions - Kinds;
    std::printf("resident memory after production %d: %.1f MB (%.1f s in all)\n", Productions, after,
                double(clock.elapsed()) / 1000.0);
    std::printf("growth over the %d productions: %.1f MB, %.3f MB a production\n", Productions,
                after - before, (after - before) / Productions);
    std::printf("growth from the %dth to the %dth (caches warm): %.1f MB, %.3f MB a production\n", Kinds,
                Productions, after - afterFirstRound, (after - afterFirstRound) / rounds);
    std::printf("pages opened: %d, messages: %d%s\n", int(opener.opened.size()), int(messages.texts.size()),
                messages.texts.isEmpty()
                    ? ""
                    : qPrintable(QStringLiteral(" (first: ") + messages.texts.first() + ')'));
    return messages.texts.isEmpty() ? 0 : 1;
}
