#include "app/make_command.h"
#include "conversion_fixture.h"
#include "picture_conversion/convert_pictures.h"
#include "shared/output_names.h"
#include "support/fake_host.h"
#include "support/picture_test_files.h"
#include "support/scratch_files.h"
#include "support/test_pictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QPalette>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace PictureFiles;

namespace
{

const QString Folder = QStringLiteral("Holiday");
const QString MapMessage = QStringLiteral("Map Holiday existing...");
const QString NotSaved = QStringLiteral("Bestand niet als JPG opgeslagen!");

// The largest resident size so far, in megabytes (0 where the system does not tell).
long PeakMegabytes()
{
#ifdef Q_OS_UNIX
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
#else
    return 0;
#endif
}

class ConvertPicturesTest : public ConversionFixture<::testing::Test>
{
  protected:
    QString output(const QString &name = QString()) const
    {
        const QString folder = dir.filePath("program/" + Folder);
        return name.isEmpty() ? folder : folder + "/" + name;
    }
    QString picturePath(const QString &name) const { return dir.filePath("pictures/" + name); }

    QString addPicture(const QString &name, const QByteArray &bytes)
    {
        const QString path = picturePath(name);
        EXPECT_TRUE(WriteBytes(path, bytes));
        host.select(path);
        return path;
    }
    QString addJpeg(const QString &name, const QImage &image) { return addPicture(name, JpegBytes(image)); }

    QImage converted(int n) const { return QImage(output("images/picture" + QString::number(n) + ".jpg")); }
    QStringList jpegs() const { return QDir(output("images")).entryList({"*.jpg"}, QDir::Files, QDir::Name); }
    bool scratchLeft() const { return ScratchLeftBelow(dir.filePath("program")); }
    QStringList messageTexts() const
    {
        QStringList texts;
        for (const auto &m : host.messages)
            texts << m.text;
        return texts;
    }
};

void ExpectStretchedQuadrants(const QImage &image, QSize size)
{
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.size(), size);
    const int w = size.width(), h = size.height();
    // Near each corner too: the whole picture is stretched over the whole canvas.
    const struct {
        int x, y;
        QColor colour;
    } samples[] = {{w / 4, h / 4, Qt::red},
                   {3 * w / 4, h / 4, Qt::green},
                   {w / 4, 3 * h / 4, Qt::blue},
                   {3 * w / 4, 3 * h / 4, Qt::yellow},
                   {4, 4, Qt::red},
                   {w - 5, 4, Qt::green},
                   {4, h - 5, Qt::blue},
                   {w - 5, h - 5, Qt::yellow}};
    for (const auto &s : samples)
        EXPECT_TRUE(TestPictures::Near(TestPictures::ColourAround(image, s.x, s.y, 2), s.colour))
            << "at " << s.x << "," << s.y;
}

TEST_F(ConvertPicturesTest, EveryPictureIsStretchedOverTheWholeCanvas)
{
    addJpeg("landscape.jpg", TestPictures::Quadrants(640, 480));
    addJpeg("portrait.jpg", TestPictures::Quadrants(480, 640));
    addPicture("square.bmp", BmpBytes(TestPictures::Quadrants(100, 100), BmpLayout::Rgb24));
    // The progress text follows the work on its picture.
    QStringList jpegsAtPause;
    host.onPause = [&] { jpegsAtPause << QString::number(jpegs().size()); };

    host.finish(ConvertPictures(host.request(Folder, "index"), host, 300, 200));

    EXPECT_TRUE(host.messages.isEmpty()) << messageTexts().join(" | ").toStdString();
    EXPECT_EQ(host.state.PageStyle, PageStyles::Thumbnails);
    EXPECT_EQ(jpegs(), QStringList({"picture1.jpg", "picture2.jpg", "picture3.jpg"}));
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        ExpectStretchedQuadrants(converted(n), QSize(300, 200));
    }
    EXPECT_EQ(host.statuses,
              QStringList({"Convert picture 1 of 3", "Convert picture 2 of 3", "Convert picture 3 of 3"}));
    EXPECT_EQ(host.pauses, QVector<float>({0.2f, 0.2f, 0.2f}));
    EXPECT_EQ(jpegsAtPause, QStringList({"1", "2", "3"}));
    EXPECT_FALSE(scratchLeft());
    // One real picture folder, spelled as the pages name it: no link, no "Images" beside it.
    EXPECT_FALSE(QFileInfo(output("images")).isSymLink());
    EXPECT_EQ(QDir(output()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              QStringList{"images"});
    EXPECT_TRUE(host.pointer.isEmpty());
}

TEST_F(ConvertPicturesTest, PictureDatesHoldEachSourceFilesTime)
{
    QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
    const QImage small = TestPictures::Quadrants(20, 20);
    const QDateTime times[] = {QDateTime(QDate(2023, 5, 17), QTime(14, 3, 9)),
                               QDateTime(QDate(2021, 1, 2), QTime(0, 0, 0)),
                               QDateTime(QDate(2019, 12, 31), QTime(23, 59, 58))};
    for (int i = 0; i < 3; ++i) {
        QFile file(addJpeg(QString("p%1.jpg").arg(i), small));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(times[i], QFileDevice::FileModificationTime));
    }
    const ProductionResult result = ConvertPictures(host.request(Folder, "index"), host, 30, 20);
    QLocale::setDefault(QLocale::system());

    // One date per picture of the selection, nothing beyond it.
    EXPECT_EQ(result.PictureDates, (QStringList{"17-05-2023 14:03:09", "02-01-2021", "31-12-2019 23:59:58"}));
}

TEST_F(ConvertPicturesTest, ExistingPageFileCreatesNothing)
{
    ASSERT_TRUE(QDir().mkpath(output()));
    ASSERT_TRUE(WriteBytes(output("index.html"), "<html>"));
    addJpeg("a.jpg", TestPictures::Quadrants(40, 30));

    host.finish(ConvertPictures(host.request(Folder, "index"), host, 300, 200));

    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0].text, "Folder Holiday existing...");
    EXPECT_TRUE(host.messages[0].title.isEmpty());
    EXPECT_EQ(host.state.PageStyle, PageStyles::Abandoned);
    EXPECT_EQ(host.pointer, QStringList({"arrow"}));
    EXPECT_EQ(QDir(output()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"index.html"}));
    EXPECT_TRUE(host.statuses.isEmpty());
}

struct ExistingFolderRow {
    const char *name;
    const char *fileInFolder; // null: the folder is empty
};

class ExistingFolderTest : public ConvertPicturesTest, public ::testing::WithParamInterface<ExistingFolderRow>
{
};

TEST_P(ExistingFolderTest, ConvertsNothing)
{
    ASSERT_TRUE(QDir().mkpath(output()));
    if (GetParam().fileInFolder) {
        ASSERT_TRUE(WriteBytes(output(GetParam().fileInFolder), "<html>"));
    }
    addJpeg("a.jpg", TestPictures::Quadrants(40, 30));

    host.finish(ConvertPictures(host.request(Folder, "index"), host, 300, 200));

    EXPECT_EQ(messageTexts(), QStringList({MapMessage}));
    EXPECT_EQ(host.state.PageStyle, PageStyles::Abandoned);
    EXPECT_FALSE(QFileInfo::exists(output("images")));
    EXPECT_TRUE(host.pointer.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Folders, ExistingFolderTest,
                         ::testing::Values(ExistingFolderRow{"Empty", nullptr},
                                           ExistingFolderRow{"OtherPage", "other.html"},
                                           ExistingFolderRow{"PageNameInOtherCase", "Index.html"},
                                           ExistingFolderRow{"PageNameWithoutExtension", "index"}),
                         [](const auto &row) { return std::string(row.param.name); });

TEST_F(ConvertPicturesTest, DamagedPictureInTheMiddleStopsTheRun)
{
    addJpeg("good1.jpg", TestPictures::Quadrants(64, 48));
    const QString cut =
        addPicture("cut.jpg", ReadBytes(QString(GALVORA_TEST_DATA) + "/pictures/jpeg_truncated_in_scan.jpg"));
    addJpeg("good2.jpg", TestPictures::Quadrants(64, 48));

    host.finish(ConvertPictures(host.request(Folder, "index"), host, 30, 20));

    EXPECT_EQ(messageTexts(),
              QStringList({"Picture " + cut + " could not be read: the file ends before the picture does"}));
    EXPECT_EQ(host.state.PageStyle, PageStyles::Abandoned);
    EXPECT_EQ(jpegs(), QStringList({"picture1.jpg"}));
    ExpectStretchedQuadrants(converted(1), QSize(30, 20));
    EXPECT_EQ(host.statuses, QStringList({"Convert picture 1 of 3"}));
}

// --- bad input: each one ends in the failure path -----------------------------------------

struct BadInputRow {
    const char *name;
    const char *dataFile; // a damaged picture in tests/data/pictures, or null for a good one
    std::int32_t width;
    std::int32_t height;
    const char *reason = nullptr; // why the damaged picture cannot be read
};

class BadInputTest : public ConvertPicturesTest, public ::testing::WithParamInterface<BadInputRow>
{
};

TEST_P(BadInputTest, EndsInTheFailurePath)
{
    const BadInputRow row = GetParam();
    QString expected = CanvasSizeText(row.width, row.height); // the canvas cannot be made
    if (row.dataFile) {
        const QString path = addPicture(QString("bad_") + row.dataFile,
                                        ReadBytes(QString(GALVORA_TEST_DATA) + "/pictures/" + row.dataFile));
        expected = PictureNotReadText(path, QLatin1String(row.reason));
    } else {
        addJpeg("good.jpg", TestPictures::Quadrants(64, 48));
    }
    const long peakBefore = PeakMegabytes();

    host.finish(ConvertPictures(host.request(Folder, "index"), host, row.width, row.height));

    EXPECT_EQ(messageTexts(), QStringList({expected})) << messageTexts().join(" | ").toStdString();
    EXPECT_EQ(host.state.PageStyle, PageStyles::Abandoned);
    EXPECT_FALSE(QFileInfo::exists(output())) << "a run that wrote no picture leaves no folder";
    EXPECT_TRUE(jpegs().isEmpty());
    EXPECT_TRUE(host.statuses.isEmpty());
    EXPECT_LT(PeakMegabytes() - peakBefore, 300) << "a bad input must not take much memory";
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadInputTest,
    ::testing::Values(BadInputRow{"TruncatedJpeg", "jpeg_truncated_in_scan.jpg", 300, 200,
                                  "the file ends before the picture does"},
                      BadInputRow{"StrayMarkerInJpegScan", "jpeg_stray_marker_in_scan.jpg", 300, 200,
                                  "the picture data is damaged"},
                      BadInputRow{"EmptyFile", "empty_file.jpg", 300, 200, "the file is empty"},
                      BadInputRow{"TextNamedJpeg", "text_file_named.jpg", 300, 200,
                                  "not a JPEG, GIF, BMP, PNG, WebP, TIFF, HEIC or AVIF picture"},
                      BadInputRow{"JpegClaims65500Square", "jpeg_header_claims_65500x65500.jpg", 300, 200,
                                  "larger than 1000 megapixels"},
                      BadInputRow{"JpegClaims65500SquareLargeCanvas", "jpeg_header_claims_65500x65500.jpg",
                                  4000, 3000, "larger than 1000 megapixels"},
                      BadInputRow{"BmpClaimsAbsurdSize", "bmp_header_claims_200000x200000.bmp", 300, 200,
                                  "wider or taller than 16384 pixels"},
                      BadInputRow{"BmpPixelsMissing", "bmp_pixels_missing.bmp", 300, 200,
                                  "the file ends before the picture does"},
                      BadInputRow{"GifWithoutImage", "gif_header_only.gif", 300, 200,
                                  "the picture data is damaged"},
                      BadInputRow{"WidthZero", nullptr, 0, 200},
                      BadInputRow{"HeightNegative", nullptr, 300, -5},
                      BadInputRow{"BothMostNegative", nullptr, INT32_MIN, INT32_MIN},
                      BadInputRow{"CanvasTooLargeForMemory", nullptr, 100000, 100000},
                      BadInputRow{"TwipsOverflow", nullptr, 200000000, 200},
                      BadInputRow{"TwipsOverflowHeight", nullptr, 200, 143165577}),
    [](const auto &row) { return std::string(row.param.name); });

TEST_F(ConvertPicturesTest, MissingSourceFileEndsInTheFailurePath)
{
    host.select(picturePath("gone.jpg"));
    host.finish(ConvertPictures(host.request(Folder, "index"), host, 30, 20));
    EXPECT_EQ(messageTexts(),
              QStringList({PictureNotReadText(picturePath("gone.jpg"), "the file does not exist")}));
    EXPECT_EQ(host.state.PageStyle, PageStyles::Abandoned);
}

// The scratch file and the pictures are files like any other: one that cannot be written stops
// the run with its path and the reason, and the pictures written before it stay.
TEST_F(ConvertPicturesTest, AFileThatCannotBeWrittenStopsTheRunWithItsPath)
{
    for (const char *blocked : {"scratch", "picture"}) {
        SCOPED_TRACE(blocked);
        QDir(output()).removeRecursively();
        host = FakeHost();
        host.folder = dir.filePath("program");
        host.state.PageStyle = PageStyles::Thumbnails;
        for (int i = 0; i < 3; ++i)
            host.select(picturePath(QString("p%1.jpg").arg(i)));
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(TestPictures::WriteJpeg(TestPictures::Quadrants(64, 48), host.paths[i]));
        // Once the first picture is done, a folder takes the place of the next file to write.
        QString taken;
        host.onPause = [&] {
            if (host.pauses.size() != 1)
                return;
            const QStringList scratch = QDir(output()).entryList({".scratch-*"}, QDir::Dirs | QDir::Hidden);
            ASSERT_EQ(scratch.size(), 1) << "the run keeps its scratch file in a folder of its own";
            taken = std::string(blocked) == "scratch" ? output(scratch[0] + "/mydummy.bmp")
                                                      : output("images/picture2.jpg");
            QFile::remove(taken);
            ASSERT_TRUE(QDir().mkpath(taken));
        };

        host.finish(ConvertPictures(host.request(Folder, "index"), host, 30, 20));

        ASSERT_EQ(host.messages.size(), 1);
        EXPECT_TRUE(host.messages[0].text.startsWith("File " + taken + " could not be written: "))
            << host.messages[0].text.toStdString();
        EXPECT_TRUE(host.messages[0].title.isEmpty());
        EXPECT_EQ(host.state.PageStyle, PageStyles::Abandoned);
        EXPECT_EQ(host.statuses.size(), 1);
        EXPECT_EQ(jpegs(), QStringList({"picture1.jpg"})) << "what was made stays";
        ExpectStretchedQuadrants(converted(1), QSize(30, 20));
        EXPECT_TRUE(QDir(output()).entryList({".scratch-*"}, QDir::Dirs | QDir::Hidden).isEmpty())
            << "the run's scratch folder goes with the run";
    }
}

// An encoder that fails on its own loses only its picture: one message each, right after that
// picture's work, its number stays free, and the run goes on so the caller still writes its page.
TEST_F(ConvertPicturesTest, AnEncoderThatFailsLosesOnlyItsPicture)
{
    for (int i = 1; i <= 4; ++i)
        addJpeg(QString("p%1.jpg").arg(i), TestPictures::Quadrants(64, 48));
    int calls = 0;
    const BmpEncoder failsOnEvenPictures = [&](const QString &bmp, int quality) -> Outcome<QByteArray> {
        if (++calls % 2 == 0)
            return Failure{QStringLiteral("the encoder gave up")};
        return EncodeBmpFile(bmp, quality);
    };
    QList<qsizetype> messagesAtPause;
    host.onPause = [&] { messagesAtPause << host.messages.size(); };

    const ProductionResult result =
        ConvertPictures(host.request(Folder, "index"), host, 30, 20, failsOnEvenPictures);
    host.finish(result);

    EXPECT_TRUE(result.done());
    EXPECT_EQ(messageTexts(), QStringList({NotSaved, NotSaved})) << messageTexts().join(" | ").toStdString();
    for (const auto &message : host.messages)
        EXPECT_TRUE(message.title.isEmpty());
    EXPECT_EQ(messagesAtPause, QList<qsizetype>({0, 1, 1, 2}));
    EXPECT_EQ(host.state.PageStyle, PageStyles::Thumbnails);
    EXPECT_EQ(jpegs(), QStringList({"picture1.jpg", "picture3.jpg"})) << jpegs().join(" ").toStdString();
    ExpectStretchedQuadrants(converted(3), QSize(30, 20));
    EXPECT_EQ(host.statuses.last(), "Convert picture 4 of 4");
    EXPECT_EQ(result.PictureDates.size(), 4);
    EXPECT_FALSE(scratchLeft());
}

TEST_F(ConvertPicturesTest, ExifRotatedPictureComesOutUpright)
{
    const QImage upright = TestPictures::Quadrants(480, 320);
    addPicture("camera.jpg", WithExifOrientation(JpegBytes(upright.transformed(QTransform().rotate(90))), 8));
    host.finish(ConvertPictures(host.request(Folder, "index"), host, 300, 200));
    ASSERT_TRUE(host.messages.isEmpty()) << messageTexts().join(" | ").toStdString();
    ExpectStretchedQuadrants(converted(1), QSize(300, 200));
}

TEST_F(ConvertPicturesTest, TransparentGifShowsTheWindowBackground)
{
    addPicture("clear.gif", SingleColourGif(40, 30, Qt::magenta, true));
    addPicture("solid.gif", SingleColourGif(40, 30, Qt::magenta, false));
    const QColor window = QGuiApplication::palette().color(QPalette::Window);
    ASSERT_FALSE(TestPictures::Near(window, Qt::magenta));

    // The window passes its background colour in the request.
    ProductionRequest request = host.request(Folder, "index");
    request.canvasBackground = window;
    host.finish(ConvertPictures(request, host, 60, 40));

    ASSERT_TRUE(host.messages.isEmpty()) << messageTexts().join(" | ").toStdString();
    EXPECT_TRUE(TestPictures::Near(TestPictures::ColourAround(converted(1), 30, 20), window, 8));
    EXPECT_TRUE(TestPictures::Near(TestPictures::ColourAround(converted(2), 30, 20), Qt::magenta, 8));
}

TEST_F(ConvertPicturesTest, QualityIsTheRequestsForEveryPicture)
{
    // A busy picture, so the quality shows in the file size.
    QImage noise(200, 150, QImage::Format_RGB32);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            noise.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * y) % 256, (x ^ y) % 256));
    addJpeg("a.jpg", noise);
    addJpeg("b.jpg", noise);
    ProductionRequest request = host.request(Folder, "index");
    request.settings.JpegQuality = 100;
    host.finish(ConvertPictures(request, host, 200, 150));
    const qint64 best = QFileInfo(output("images/picture1.jpg")).size();
    EXPECT_EQ(QFileInfo(output("images/picture2.jpg")).size(), best);

    request.folder = "Low";
    request.settings.JpegQuality = 20;
    host.finish(ConvertPictures(request, host, 200, 150));
    EXPECT_GT(best, 2 * QFileInfo(dir.filePath("program/Low/images/picture1.jpg")).size());
}

} // namespace
