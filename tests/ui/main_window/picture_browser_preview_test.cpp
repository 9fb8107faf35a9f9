#include "main_window/picture_browser.h"
#include "picture_browser_fixture.h"
#include "support/test_pictures.h"

#include <QImageReader>
#include <iostream>
#include <sys/stat.h>
#include <turbojpeg.h>

namespace
{

using TestPictures::ColourAround;
using TestPictures::Near;

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A JPEG whose EXIF block (big-endian, one entry: tag 0x0112, SHORT) says how to turn the picture.
bool WriteJpegWithOrientation(const QImage &image, const QString &path, int orientation)
{
    QFile file(path);
    if (!TestPictures::WriteJpeg(image, path) || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray exif = QByteArray("Exif\0\0MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0", 25) +
                            char(orientation) + QByteArray(6, '\0');
    return WriteBytes(
        path, file.readAll().insert(2, QByteArray::fromHex("ffe1") + char(0) + char(exif.size() + 2) + exif));
}

// Peak resident memory of this process in kB since the last reset; -1 when unknown.
qint64 PeakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

class PreviewTest : public BrowserTest
{
  protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_TRUE(
            TestPictures::WriteJpeg(TestPictures::Quadrants(300, 200), drive.filePath("a_quadrants.jpg")));
        ASSERT_TRUE(TestPictures::WriteTinyGif(drive.filePath("b_green.gif"), 20, 10, QColor(0, 200, 0)));
        volumes.roots = {drive.path()};
    }

    void show()
    {
        open();
        chooseDrive(drive.path());
    }

    QSize box() { return control<QLabel>("Image1").contentsRect().size(); }
    QImage preview() { return control<QLabel>("Image1").pixmap().toImage(); }

    // Clicks the file; the preview is decoded meanwhile on a thread of its own.
    void clickOnly(const QString &name)
    {
        const QList<QListWidgetItem *> found = file1().findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        QTest::mouseClick(file1().viewport(), Qt::LeftButton, {},
                          file1().visualItemRect(found.first()).center());
    }
    // The preview is done when the pointer is the arrow again.
    void waitForPreview()
    {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return pointer.calls.count(QStringLiteral("busy")) ==
                       pointer.calls.count(QStringLiteral("arrow"));
            },
            20000));
    }
    void click(const QString &name)
    {
        clickOnly(name);
        waitForPreview();
    }
    // Waits until no decoding is under way, then handles what it posted: a result arriving
    // late would show now.
    void waitUntilNoDecodingIsLeft()
    {
        const PictureBrowser *browser = window->findChild<PictureBrowser *>();
        ASSERT_TRUE(browser);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !browser->previewUnderWay(); }, 20000));
        QCoreApplication::processEvents();
    }
};

TEST_F(PreviewTest, AClickShowsThePictureScaledToTheBoxUnderTheBusyPointer)
{
    show();
    click(QStringLiteral("a_quadrants.jpg"));
    QImage shown = preview();
    ASSERT_EQ(shown.size(), box());
    const int w = shown.width(), h = shown.height();
    EXPECT_TRUE(Near(ColourAround(shown, w / 4, h / 4), Qt::red));
    EXPECT_TRUE(Near(ColourAround(shown, 3 * w / 4, 3 * h / 4), Qt::yellow));
    EXPECT_EQ(Joined(pointer.calls), "busy|arrow");

    click(QStringLiteral("b_green.gif")); // smaller than the box: stretched over it
    ASSERT_EQ(preview().size(), box());
    EXPECT_TRUE(Near(ColourAround(preview(), w / 2, h / 2), QColor(0, 200, 0)));
}

TEST_F(PreviewTest, ThePictureIsShownTheRightWayUp)
{
    // Stored wide and turned a quarter clockwise: the stored bottom left (blue) comes to the top left.
    ASSERT_TRUE(WriteJpegWithOrientation(TestPictures::Quadrants(400, 200), drive.filePath("turned.jpg"), 6));
    show();
    click(QStringLiteral("turned.jpg"));
    const QImage shown = preview();
    ASSERT_EQ(shown.size(), box());
    const int w = shown.width(), h = shown.height();
    EXPECT_TRUE(Near(ColourAround(shown, w / 4, h / 4), Qt::blue));
    EXPECT_TRUE(Near(ColourAround(shown, 3 * w / 4, h / 4), Qt::red));
    EXPECT_TRUE(Near(ColourAround(shown, w / 4, 3 * h / 4), Qt::yellow));
    EXPECT_TRUE(Near(ColourAround(shown, 3 * w / 4, 3 * h / 4), Qt::green));
}

// The window goes on while a picture decodes, and of two clicks made at once the second one wins,
// also when the first picture takes far longer to decode.
TEST_F(PreviewTest, OfTwoQuickClicksTheSecondPictureIsShown)
{
    ASSERT_TRUE(
        WriteBytes(drive.filePath(QStringLiteral("huge.jpg")), TestPictures::ComposeGreyJpeg(20000, 20000)));
    show();
    click(QStringLiteral("a_quadrants.jpg"));
    const QImage before = preview();
    pointer.calls.clear();

    clickOnly(QStringLiteral("huge.jpg"));
    EXPECT_EQ(preview(), before) << "decoded on the window's thread";
    clickOnly(QStringLiteral("b_green.gif"));
    waitForPreview();
    waitUntilNoDecodingIsLeft();
    EXPECT_TRUE(Near(ColourAround(preview(), box().width() / 2, box().height() / 2), QColor(0, 200, 0)));
    EXPECT_EQ(Joined(pointer.calls), "busy|arrow");
}

// Exit drops a preview under way: nothing is shown afterwards and the window goes without waiting
// for more than the picture being decoded.
TEST_F(PreviewTest, ExitDropsThePreviewUnderWay)
{
    ASSERT_TRUE(
        WriteBytes(drive.filePath(QStringLiteral("huge.jpg")), TestPictures::ComposeGreyJpeg(20000, 20000)));
    show();
    click(QStringLiteral("a_quadrants.jpg"));
    const QImage before = preview();
    clickOnly(QStringLiteral("huge.jpg"));
    clickOnly(QStringLiteral("b_green.gif"));
    window->ExitKnop_Click();
    waitUntilNoDecodingIsLeft();
    EXPECT_EQ(preview(), before);
    EXPECT_EQ(pointer.calls.count(QStringLiteral("busy")), pointer.calls.count(QStringLiteral("arrow")));
    window.reset(); // waits for the decoding under way
}

// Files listed as pictures that cannot be decoded: the old preview stays, with no message.
struct DamagedRow {
    const char *name;
    QByteArray bytes;
    bool pipe = false; // the file is replaced by a named pipe after it was listed
};

class DamagedPreviewTest : public PreviewTest, public ::testing::WithParamInterface<DamagedRow>
{
};

TEST_P(DamagedPreviewTest, KeepsTheOldPreview)
{
    const QString path = drive.filePath(QStringLiteral("x.jpg"));
    ASSERT_TRUE(WriteBytes(path, GetParam().bytes));
    show();
    if (GetParam().pipe) {
        ASSERT_TRUE(QFile::remove(path) && mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    }
    click(QStringLiteral("a_quadrants.jpg"));
    const QImage before = preview();
    click(QStringLiteral("x.jpg"));
    EXPECT_EQ(preview(), before);
    EXPECT_EQ(Joined(pointer.calls), "busy|arrow|busy|arrow");
    EXPECT_TRUE(messages.texts.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedPreviewTest,
    ::testing::Values(DamagedRow{"EmptyFile", QByteArray()},
                      DamagedRow{"TextFileNamedJpg", QByteArray("this is a text file, not a picture\n")},
                      DamagedRow{"JpegCutInsideItsHeader", TestPictures::ComposeGreyJpeg(64, 64).left(40)},
                      DamagedRow{"BmpSignatureOnly", QByteArray("BM\x10\0\0\0garbage", 13)},
                      DamagedRow{"GifHeaderOnly", QByteArray("GIF89a\x10\0\x10\0\x80\0\0", 13)},
                      DamagedRow{"NamedPipe", QByteArray(), true}),
    [](const auto &row) { return std::string(row.param.name); });

// A 20000 x 20000 JPEG is previewed at a reduced size: the process stays well under 200 MB.
TEST_F(PreviewTest, AHugeJpegIsPreviewedWithinTwoHundredMegabytes)
{
    ASSERT_EQ(TestPictures::ComposeGreyJpeg(16, 16), TestPictures::EncodeGrey16())
        << "the composed coding is the encoder's";
    ASSERT_TRUE(
        WriteBytes(drive.filePath(QStringLiteral("huge.jpg")), TestPictures::ComposeGreyJpeg(20000, 20000)));
    ASSERT_EQ(QImageReader(drive.filePath(QStringLiteral("huge.jpg"))).size(), QSize(20000, 20000));
    show();
    // Writing 5 to clear_refs resets the peak to the present resident size.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1 || PeakResidentKb() < 0)
        GTEST_SKIP() << "the peak resident memory cannot be measured here";
    clear.close();

    click(QStringLiteral("huge.jpg"));
    const qint64 peakKb = PeakResidentKb();
    ASSERT_EQ(preview().size(), box());
    EXPECT_NEAR(qGray(preview().pixel(box().width() / 2, box().height() / 2)), 128, 2);
    EXPECT_LT(peakKb, 200 * 1024);
    std::cout << "[ measured ] peak resident memory while previewing 20000 x 20000: " << peakKb / 1024
              << " MB\n";
}

} // namespace
