// Exit and closing the window end the program at once, whatever runs: a production with its real
// pacing, the blinks, a dialog. The program's own end (the application's event loop stopping) is
// measured, so these tests run inside the application's event loop with the real quit.

#include "app/make_command.h"
#include "make_fixture.h"
#include "support/scratch_files.h"

#include <QElapsedTimer>
#include <QPointer>

namespace
{

using Dialog = ConvertDialogDriver;

// The real main window that calls `onStatus` and `onBlink` as a production shows its progress
// and the selection blinks, so a test can act at a chosen moment.
class WatchedWindow : public MainWindow
{
  public:
    using MainWindow::MainWindow;
    std::function<void(const QString &)> onStatus;
    std::function<void()> onBlink;
    void showStatus(const QString &text) override
    {
        MainWindow::showStatus(text);
        if (onStatus)
            onStatus(text);
    }
    void setSelectionBackground(const QColor &colour) override
    {
        MainWindow::setSelectionBackground(colour);
        if (colour == SelectionWarning && onBlink)
            onBlink();
    }
};

enum class Ending { ExitKnop, FrameClose };
enum class Moment { ThirdPicture, Blinks, ConvertDialog, ColourDialog };

struct EndRow {
    const char *name;
    Moment moment;
    Ending ending;
};
void PrintTo(const EndRow &row, std::ostream *os)
{
    *os << row.name;
}

class ExitTest : public MakeTest, public ::testing::WithParamInterface<EndRow>
{
  protected:
    std::unique_ptr<WatchedWindow> watched;
    QElapsedTimer sinceEnd;
    bool ended = false;

    // The window with the real clock, pause and quit; Make and the dialogs as in the other tests.
    void openRealWindow()
    {
        MainWindowServices s = services();
        s.volumes = &volumes;
        s.pause = {};
        s.quit = {};
        watched = std::make_unique<WatchedWindow>(s);
        watched->show();
        window.reset(); // the fixture's own window is not used
    }

    // Ends the program the way the row says, at most once; the clock runs from here.
    void end(Ending how)
    {
        if (ended)
            return;
        ended = true;
        sinceEnd.start();
        if (how == Ending::ExitKnop)
            watched->ExitKnop_Click(); // what a click on Exit runs; a modal dialog may hold the mouse
        else
            watched->close();
    }

    void TearDown() override
    {
        watched.reset();
        QCoreApplication::processEvents();
        // The application's event loop once more: an end of the program handled after the loop had
        // stopped would otherwise stop every event loop of the tests that follow.
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QApplication::exec();
        MakeTest::TearDown();
    }

    template <typename T> T &in(const char *name)
    {
        T *found = watched->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            throw std::runtime_error(std::string("no control ") + name);
        return *found;
    }
};

TEST_P(ExitTest, EndsTheProgramAtOnceAndWritesNothingMore)
{
    const EndRow &row = GetParam();
    // The settings file of an earlier run: this start is number 5.
    {
        QFile ini(settingsPath());
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly) && ini.write("4\r\n80\r\n") > 0);
    }
    const QByteArray settingsBefore = PictureFiles::ReadBytes(settingsPath());
    QStringList pictures;
    for (int n = 1; n <= 10; ++n) {
        pictures << QStringLiteral("p%1.jpg").arg(n, 2, 10, QLatin1Char('0'));
        writePicture(pictures.last());
    }
    openRealWindow();
    auto &drive1 = in<QComboBox>("Drive1");
    drive1.setCurrentIndex(drive1.findData(drive.path()));
    in<QLineEdit>("MapText").setText(QStringLiteral("Trip"));
    in<QLineEdit>("FileText").setText(QStringLiteral("holiday"));
    auto &files = in<QListWidget>("File1");
    ASSERT_EQ(files.count(), 10);
    if (row.moment != Moment::Blinks) {
        files.selectAll();
        in<QPushButton>("KnopRechts").click();
    }

    int messagesAtEnd = -1;
    const auto endNow = [&] {
        messagesAtEnd = int(messages.texts.size());
        end(row.ending);
    };
    watched->onStatus = [&](const QString &text) {
        if (row.moment == Moment::ThirdPicture && text == QStringLiteral("Convert picture 3 of 10"))
            QTimer::singleShot(0, watched.get(), endNow); // during the pause that follows
    };
    watched->onBlink = [&] {
        if (row.moment == Moment::Blinks)
            QTimer::singleShot(0, watched.get(), endNow);
    };
    QPointer<QWidget> colourDialog;
    bool colourShown = false;
    QTimer::singleShot(0, watched.get(), [&] {
        switch (row.moment) {
        case Moment::ThirdPicture:
            dialogs.plan(Dialog::Choose(3)); // Thumbnails: pictures, then a page that is opened
            in<QPushButton>("MakeKnop").click();
            break;
        case Moment::Blinks:
            in<QPushButton>("MakeKnop").click();
            break;
        case Moment::ConvertDialog:
            dialogs.plan([&](QDialog &) { endNow(); });
            in<QPushButton>("MakeKnop").click();
            break;
        case Moment::ColourDialog:
            QTest::mouseClick(&in<QLabel>("KleurLabel"), Qt::LeftButton);
            colourDialog = watched->findChild<QDialog *>();
            colourShown = colourDialog && colourDialog->isVisible();
            QTimer::singleShot(0, watched.get(), endNow);
            break;
        }
    });
    // Should the program not end, the test still does.
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    safety.start(20000);

    const int status = QApplication::exec();
    const qint64 endingMs = sinceEnd.elapsed();
    safety.stop();

    ASSERT_TRUE(ended);
    EXPECT_EQ(status, 0);
    EXPECT_LT(endingMs, 500);
    EXPECT_FALSE(watched->isVisible());
    EXPECT_EQ(messages.texts.size(), messagesAtEnd) << Joined(messages.texts);
    EXPECT_TRUE(opener.opened.isEmpty()) << Joined(opener.opened);
    if (row.moment == Moment::ColourDialog) {
        EXPECT_TRUE(colourShown);
        EXPECT_TRUE(!colourDialog || !colourDialog->isVisible());
    }
    const QStringList made = filesIn(QStringLiteral("Trip/images"));
    if (row.moment == Moment::ThirdPicture)
        EXPECT_EQ(made, (QStringList{QStringLiteral("picture1.jpg"), QStringLiteral("picture2.jpg"),
                                     QStringLiteral("picture3.jpg")}));
    else
        EXPECT_EQ(outputFolders(), QStringList());
    EXPECT_FALSE(QFile::exists(inProgram(QStringLiteral("Trip/holiday.html"))));
    EXPECT_FALSE(ScratchLeftBelow(inProgram(QString())));
    EXPECT_EQ(PictureFiles::ReadBytes(settingsPath()),
              row.ending == Ending::ExitKnop ? QByteArray("5\r\n80\r\n") : settingsBefore);

    // Nothing is left to happen later: the production has returned, and what it posted before
    // it did (a page, a message, a picture) is handled now.
    EXPECT_FALSE(watched->productionRunning());
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(filesIn(QStringLiteral("Trip/images")), made);
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_EQ(messages.texts.size(), messagesAtEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Moments, ExitTest,
    ::testing::Values(EndRow{"ExitAtTheThirdOfTenPictures", Moment::ThirdPicture, Ending::ExitKnop},
                      EndRow{"FrameCloseAtTheThirdOfTenPictures", Moment::ThirdPicture, Ending::FrameClose},
                      EndRow{"ExitDuringTheBlinks", Moment::Blinks, Ending::ExitKnop},
                      EndRow{"ExitWhileTheConvertDialogIsOpen", Moment::ConvertDialog, Ending::ExitKnop},
                      EndRow{"ExitWhileTheColourDialogIsOpen", Moment::ColourDialog, Ending::ExitKnop}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
