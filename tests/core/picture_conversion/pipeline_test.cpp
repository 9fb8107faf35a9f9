// The conversion's pipeline: pictures are converted ahead on worker threads, while everything the
// user sees (files, status texts, pauses, messages) keeps the order of one picture after another.

#include "conversion_fixture.h"
#include "picture_conversion/bmp_to_jpeg.h"
#include "picture_conversion/convert_pictures.h"
#include "picture_conversion/picture_pipeline.h"
#include "shared/pause.h"
#include "shared/thread_handoff.h"
#include "support/picture_test_files.h"
#include "support/scratch_files.h"
#include "support/test_pictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRunnable>
#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <latch>
#include <memory>

using namespace PictureFiles;

namespace
{

const QString Folder = QStringLiteral("Holiday");

int ThreadCount()
{
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

// Records, in one list, every status text with the pictures written by then, every pause and
// every message.
class LoggingHost : public FakeHost
{
  public:
    QString pictureFolder;
    QStringList log;

    void showStatus(const QString &text) override
    {
        FakeHost::showStatus(text);
        log << text + QStringLiteral(" [") +
                   QDir(pictureFolder)
                       .entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name)
                       .join(' ') +
                   QStringLiteral("]");
    }
    void pause(float seconds) override
    {
        log << QStringLiteral("pause %1").arg(double(seconds));
        FakeHost::pause(seconds);
    }
    void showMessage(const QString &text, const QString &messageTitle) override
    {
        log << QStringLiteral("message ") + text;
        FakeHost::showMessage(text, messageTitle);
    }
};

class PipelineTest : public ConversionFixture<::testing::Test>
{
  protected:
    LoggingHost logged;
    QList<QColor> colours;

    void SetUp() override
    {
        ConversionFixture::SetUp();
        logged.folder = host.folder;
        logged.state = host.state;
        logged.pictureFolder = dir.filePath("program/" + Folder + "/images");
    }

    // Pictures of one colour each, of sizes that take different times to decode.
    // (Qt scales large pictures on threads of its own, which stay for a while: `large` false
    // keeps them out of a count of threads.)
    void addPictures(int count, int damagedNumber = 0, bool large = true)
    {
        for (int n = 1; n <= count; ++n) {
            const QString path = dir.filePath(QStringLiteral("pictures/p%1.jpg").arg(n));
            const QColor colour = QColor::fromHsv((n * 47) % 360, 200, 220);
            colours << colour;
            const bool big = large && n % 2;
            QImage image(big ? 1600 : 40, big ? 1200 : 30, QImage::Format_RGB32);
            image.fill(colour);
            const QByteArray bytes =
                n == damagedNumber ? QByteArray("not a picture at all") : JpegBytes(image);
            ASSERT_TRUE(WriteBytes(path, bytes));
            logged.select(path);
        }
    }

    // The log of a run that takes the pictures one after another: after picture N is written,
    // "Convert picture N of M" with pictures 1 to N on disk, then the pause.
    static QStringList SerialLog(int done, int count)
    {
        QStringList log, files;
        for (int n = 1; n <= done; ++n) {
            files << QStringLiteral("picture%1.jpg").arg(n);
            files.sort();
            log << QStringLiteral("Convert picture %1 of %2 [%3]").arg(n).arg(count).arg(files.join(' '))
                << QStringLiteral("pause 0.2");
        }
        return log;
    }
};

TEST_F(PipelineTest, FilesStatusTextsAndPausesComeInTheOrderOfASerialRun)
{
    addPictures(7);
    const ProductionResult result =
        ConvertPictures(logged.request(Folder, QStringLiteral("index")), logged, 64, 48);
    EXPECT_EQ(logged.log, SerialLog(7, 7));
    EXPECT_TRUE(result.done()) << result.message.toStdString();
    for (int n = 1; n <= 7; ++n) {
        const QImage picture(logged.pictureFolder + QStringLiteral("/picture%1.jpg").arg(n));
        ASSERT_EQ(picture.size(), QSize(64, 48)) << n;
        EXPECT_TRUE(TestPictures::Near(picture.pixelColor(32, 24), colours[n - 1])) << n;
    }
    EXPECT_FALSE(ScratchLeftBelow(dir.filePath("program")));
}

TEST_F(PipelineTest, APictureThatCannotBeReadIsReportedAfterThePreviousPicturesPause)
{
    addPictures(4, 3);
    const ProductionResult result =
        ConvertPictures(logged.request(Folder, QStringLiteral("index")), logged, 64, 48);
    // Pictures 1 and 2 are written and paced as ever; then the run stops at picture 3 and names it.
    EXPECT_EQ(logged.log, SerialLog(2, 4));
    EXPECT_TRUE(result.abandoned());
    EXPECT_TRUE(result.message.contains(dir.filePath("pictures/p3.jpg"))) << result.message.toStdString();
}

TEST_F(PipelineTest, ExitInTheMiddleWritesNothingMoreAndLeavesNoThreadRunning)
{
    addPictures(8, 0, false);
    // Qt keeps idle threads in its global pool (its image conversions use them), and a sanitizer
    // starts a thread of its own at the first thread: start them all before counting, so that the
    // count shows the pipeline's threads alone.
    QThreadPool *global = QThreadPool::globalInstance();
    const int expiry = global->expiryTimeout();
    global->setExpiryTimeout(-1);
    // Each task holds its thread until all have started, so every thread of the pool starts. The
    // tasks share the latch, which lives until the last of them lets go of it. (Qt hands the tasks
    // over where the sanitizer cannot see it: the hand-off is marked at a point of their own.)
    static const int handedOver = 0;
    auto allStarted = std::make_shared<std::latch>(global->maxThreadCount());
    for (int i = 0; i < global->maxThreadCount(); ++i) {
        QRunnable *task = QRunnable::create([allStarted] {
            TakeOver(&handedOver);
            allStarted->arrive_and_wait();
        });
        HandOff(&handedOver); // the task as made, before the pool may start it
        global->start(task);
    }
    global->waitForDone();
    const int threadsBefore = ThreadCount();
    int pauses = 0;
    logged.onPause = [&] { logged.ended = ++pauses == 3; };
    const ProductionResult result =
        ConvertPictures(logged.request(Folder, QStringLiteral("index")), logged, 64, 48);
    EXPECT_EQ(logged.log, SerialLog(3, 8));
    EXPECT_TRUE(result.abandoned());
    EXPECT_TRUE(result.message.isEmpty()) << "nothing is shown after Exit";
    // A joined worker's thread may still be leaving the system for a moment after the join.
    EXPECT_TRUE(QTest::qWaitFor([&] { return ThreadCount() <= threadsBefore; }, 2000))
        << ThreadCount() << " threads, " << threadsBefore << " before";
    QCoreApplication::processEvents(); // nothing was left to finish later
    EXPECT_EQ(QDir(logged.pictureFolder).entryList(QDir::Files).size(), 3);
    EXPECT_FALSE(ScratchLeftBelow(dir.filePath("program")));
    global->setExpiryTimeout(expiry);
}

// The pictures in flight follow the workers, with two spare; each comes back whole, as its BMP
// and the JPEG the encoder makes of that BMP. The window's events go on while take() waits for a
// picture, and a cancelled wait ends at once.
TEST_F(PipelineTest, KeepsTheWorkersAndTwoSparePicturesInFlightAndWaitsWithTheEventsGoingOn)
{
    addPictures(8);
    const QStringList paths = logged.paths;
    const QString scratch = dir.filePath(QStringLiteral("scratch.bmp"));
    for (const int workers : {0, 1, 3}) {
        SCOPED_TRACE(workers);
        PicturePipeline pipeline(paths, PictureJob{QSize(64, 48), CanvasFill{}, 90}, workers);
        EXPECT_EQ(pipeline.inFlight(), (workers ? workers : QThread::idealThreadCount()) + 2);
        EXPECT_EQ(pipeline.started(), std::min<qsizetype>(paths.size(), pipeline.inFlight()));
        for (qsizetype i = 0; i < paths.size(); ++i) {
            const std::optional<PreparedPicture> picture = pipeline.take(i, nullptr);
            ASSERT_TRUE(picture && picture->ok()) << i;
            const QImage bmp = QImage::fromData(picture->value().bmp, "BMP");
            EXPECT_EQ(bmp.size(), QSize(64, 48));
            EXPECT_TRUE(TestPictures::Near(bmp.pixelColor(5, 5), colours[int(i)])) << i;
            ASSERT_TRUE(WriteBytes(scratch, picture->value().bmp));
            const Outcome<QByteArray> fromBmp = EncodeBmpFile(scratch, 90);
            ASSERT_TRUE(fromBmp.ok() && picture->value().jpeg.ok()) << i;
            EXPECT_EQ(picture->value().jpeg.value(), fromBmp.value()) << "the encoder's JPEG of the BMP";
            EXPECT_EQ(pipeline.started(), std::min<qsizetype>(paths.size(), i + pipeline.inFlight()));
        }
        EXPECT_FALSE(pipeline.take(0, nullptr)) << "each picture is taken once, in order";
    }

    // A picture of noise at its full size takes far longer to decode than take() takes to be
    // called, so both takes below find it unfinished and have to wait.
    QImage noise(2000, 1500, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y) {
        auto *line = reinterpret_cast<quint32 *>(noise.scanLine(y));
        for (int x = 0; x < noise.width(); ++x)
            line[x] = 0xff000000u | (quint32(x * 7919 + y * 104729) * 2654435761u >> 8);
    }
    const QString slow = dir.filePath(QStringLiteral("pictures/noise.jpg"));
    ASSERT_TRUE(TestPictures::WriteJpeg(noise, slow, 100));

    // Cancelled before: the wait does not begin.
    PauseCancel before;
    before.cancel();
    PicturePipeline cancelledBefore({slow}, PictureJob{noise.size(), CanvasFill{}, 75});
    EXPECT_FALSE(cancelledBefore.take(0, &before)) << "a cancelled wait ends at once";

    // Cancelled by an event handled while it waits: the event is handled within the wait, which
    // the cancel then ends without the picture.
    PauseCancel during;
    bool eventHandled = false;
    QTimer::singleShot(0, [&] {
        eventHandled = true;
        during.cancel();
    });
    PicturePipeline cancelledDuring({slow}, PictureJob{noise.size(), CanvasFill{}, 75});
    EXPECT_FALSE(cancelledDuring.take(0, &during)) << "the cancel ends the wait";
    EXPECT_TRUE(eventHandled) << "the events go on while take() waits";
}

} // namespace
