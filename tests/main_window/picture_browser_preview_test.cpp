#include "main_window/picture_browser.h"
#include "picture_browser_fixture.h"
#include "support/test_pictures.h"

#include <QImageReader>
#include <QTest>
#include <iostream>
#include <turbojpeg.h>

namespace
{

// ---- pictures made for these tests ----

// A JPEG whose EXIF block says how the stored picture is to be turned.
bool WriteJpegWithOrientation(const QImage &image, const QString &path, int orientation)
{
    if (!TestPictures::WriteJpeg(image, path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray jpeg = file.readAll();
    file.close();
    // Big-endian TIFF with one IFD entry: tag 0x0112 (orientation), type SHORT, count 1.
    const QByteArray tiff = QByteArray::fromHex("4d4d002a00000008"
                                                "0001"
                                                "011200030000000100") +
                            char(orientation) +
                            QByteArray::fromHex("0000"
                                                "00000000");
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(payload.size()) + 2;
    const QByteArray app1 = QByteArray::fromHex("ffe1") + char(length >> 8) + char(length & 0xff) + payload;
    jpeg.insert(2, app1); // right after the start-of-image marker
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(jpeg) == jpeg.size();
}

QByteArray EncodeGrey(int width, int height, const QByteArray &pixels)
{
    tjhandle handle = tjInitCompress();
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    QByteArray jpeg;
    if (tjCompress2(handle, reinterpret_cast<const unsigned char *>(pixels.constData()), width, width, height,
                    TJPF_GRAY, &buffer, &size, TJSAMP_GRAY, 90, 0) == 0)
        jpeg = QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(size));
    tjFree(buffer);
    tjDestroy(handle);
    return jpeg;
}

// A uniform mid-grey greyscale JPEG of any size, without holding its pixels: at level 128 every
// 8 x 8 block has DC difference 0 and no AC terms, which the standard tables code as "00" then
// end-of-block "1010". The headers come from the encoder's own output for a 16 x 16 picture.
QByteArray ComposeGreyJpeg(int width, int height)
{
    const QByteArray tiny = EncodeGrey(16, 16, QByteArray(16 * 16, char(128)));
    QByteArray out = tiny.left(2);
    qsizetype pos = 2;
    while (pos + 4 <= tiny.size()) {
        const auto marker = quint8(tiny[pos + 1]);
        const int length = (quint8(tiny[pos + 2]) << 8) | quint8(tiny[pos + 3]);
        QByteArray segment = tiny.mid(pos, 2 + length);
        if (marker == 0xC0) { // start of frame: height, then width
            segment[5] = char(height >> 8);
            segment[6] = char(height & 0xff);
            segment[7] = char(width >> 8);
            segment[8] = char(width & 0xff);
        }
        out += segment;
        pos += 2 + length;
        if (marker == 0xDA) // start of scan: the entropy-coded data follows
            break;
    }
    const qint64 blocks = qint64((width + 7) / 8) * ((height + 7) / 8);
    QByteArray scan;
    scan.reserve(blocks * 6 / 8 + 2);
    quint32 acc = 0;
    int bits = 0;
    for (qint64 i = 0; i < blocks; ++i) {
        acc = (acc << 6) | 0b001010;
        bits += 6;
        while (bits >= 8) {
            scan.append(char((acc >> (bits - 8)) & 0xff)); // never 0xFF, so no stuffing
            bits -= 8;
        }
    }
    if (bits > 0) // pad with one bits
        scan.append(char(((acc << (8 - bits)) | ((1u << (8 - bits)) - 1)) & 0xff));
    return out + scan + QByteArray::fromHex("ffd9");
}

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Peak resident memory of this process in kB since the last reset; -1 when unknown.
qint64 PeakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

bool ResetPeakResident()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

TEST(ComposedJpegTest, MatchesTheEncoderAndReadsAtItsSize)
{
    EXPECT_EQ(ComposeGreyJpeg(16, 16), EncodeGrey(16, 16, QByteArray(256, char(128))));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("odd.jpg"));
    ASSERT_TRUE(WriteBytes(path, ComposeGreyJpeg(37, 21)));
    const QImage image(path);
    ASSERT_EQ(image.size(), QSize(37, 21));
    EXPECT_NEAR(qGray(image.pixel(36, 20)), 128, 1);
}

// ---- the preview in the real main window ----

class PreviewTest : public BrowserTest
{
  protected:
    void SetUp() override
    {
        BrowserTest::SetUp();
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

    QLabel &image1() { return control<QLabel>("Image1"); }
    QImage preview() { return image1().pixmap().toImage(); }

    void clickFile(const QString &name)
    {
        const QList<QListWidgetItem *> found = file1().findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        QTest::mouseClick(file1().viewport(), Qt::LeftButton, {},
                          file1().visualItemRect(found.first()).center());
    }
};

TEST_F(PreviewTest, AClickShowsThePictureScaledToTheBoxUnderTheBusyPointer)
{
    show();
    const QSize box = image1().contentsRect().size();
    clickFile(QStringLiteral("a_quadrants.jpg"));
    const QImage shown = preview();
    EXPECT_EQ(shown.size(), box);
    const int w = shown.width(), h = shown.height();
    EXPECT_TRUE(TestPictures::Near(TestPictures::ColourAround(shown, w / 4, h / 4), Qt::red));
    EXPECT_TRUE(TestPictures::Near(TestPictures::ColourAround(shown, 3 * w / 4, 3 * h / 4), Qt::yellow));
    EXPECT_EQ(Joined(pointer.calls), "busy|arrow");

    clickFile(QStringLiteral("b_green.gif")); // smaller than the box: stretched over it
    EXPECT_EQ(preview().size(), box);
    EXPECT_TRUE(TestPictures::Near(TestPictures::ColourAround(preview(), w / 2, h / 2), QColor(0, 200, 0)));
}

TEST_F(PreviewTest, ThePictureIsShownTheRightWayUp)
{
    // Stored wide, to be turned a quarter clockwise: the stored bottom left (blue) comes to the top left.
    ASSERT_TRUE(WriteJpegWithOrientation(TestPictures::Quadrants(400, 200), drive.filePath("turned.jpg"), 6));
    show();
    clickFile(QStringLiteral("turned.jpg"));
    const QImage shown = preview();
    ASSERT_EQ(shown.size(), image1().contentsRect().size());
    const int w = shown.width(), h = shown.height();
    EXPECT_TRUE(TestPictures::Near(TestPictures::ColourAround(shown, w / 4, h / 4), Qt::blue));
    EXPECT_TRUE(TestPictures::Near(TestPictures::ColourAround(shown, 3 * w / 4, h / 4), Qt::red));
    EXPECT_TRUE(TestPictures::Near(TestPictures::ColourAround(shown, w / 4, 3 * h / 4), Qt::yellow));
    EXPECT_TRUE(TestPictures::Near(TestPictures::ColourAround(shown, 3 * w / 4, 3 * h / 4), Qt::green));
}

TEST(LoadPreviewImageTest, ALargePictureIsDecodedAtTheBoxSize)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.jpg"));
    ASSERT_TRUE(TestPictures::WriteJpeg(TestPictures::Quadrants(1600, 1200), path));
    const QImage image = LoadPreviewImage(path, QSize(130, 82));
    EXPECT_EQ(image.size(), QSize(130, 82));
    EXPECT_TRUE(TestPictures::Near(TestPictures::ColourAround(image, 30, 20), Qt::red));
    EXPECT_TRUE(LoadPreviewImage(dir.filePath(QStringLiteral("missing.jpg")), QSize(130, 82)).isNull());
}

// Files that match the pattern but are no picture: the old preview stays.
struct DamagedRow {
    const char *name;
    const char *file;
    QByteArray bytes;
};

class DamagedPreviewTest : public PreviewTest, public ::testing::WithParamInterface<DamagedRow>
{
};

TEST_P(DamagedPreviewTest, KeepsTheOldPreview)
{
    const DamagedRow row = GetParam();
    ASSERT_TRUE(WriteBytes(drive.filePath(QLatin1String(row.file)), row.bytes));
    show();
    clickFile(QStringLiteral("a_quadrants.jpg"));
    const QImage before = preview();
    ASSERT_FALSE(before.isNull());

    clickFile(QLatin1String(row.file));
    EXPECT_EQ(preview(), before);
    EXPECT_EQ(Joined(pointer.calls), "busy|arrow|busy|arrow");
    EXPECT_TRUE(messages.texts.isEmpty());
}

QByteArray CutJpeg(int keep)
{
    return ComposeGreyJpeg(64, 64).left(keep);
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedPreviewTest,
                         ::testing::Values(DamagedRow{"EmptyFile", "empty.jpg", QByteArray()},
                                           DamagedRow{"TextFileNamedJpg", "x.jpg",
                                                      QByteArray("this is a text file, not a picture\n")},
                                           DamagedRow{"JpegCutInsideItsHeader", "cut.jpg", CutJpeg(40)},
                                           DamagedRow{"BmpWithOnlyItsSignature", "sig.bmp",
                                                      QByteArray("BM\x10\x00\x00\x00garbage", 13)},
                                           DamagedRow{"GifHeaderOnly", "head.gif",
                                                      QByteArray("GIF89a\x10\x00\x10\x00\x80\x00\x00", 13)}),
                         [](const auto &info) { return std::string(info.param.name); });

// A 20000 x 20000 JPEG is previewed at a reduced size: the process stays far below 200 MB.
TEST_F(PreviewTest, AHugeJpegIsPreviewedWithinTwoHundredMegabytes)
{
    ASSERT_TRUE(WriteBytes(drive.filePath(QStringLiteral("huge.jpg")), ComposeGreyJpeg(20000, 20000)));
    ASSERT_EQ(QImageReader(drive.filePath(QStringLiteral("huge.jpg"))).size(), QSize(20000, 20000));
    show();
    if (!ResetPeakResident() || PeakResidentKb() < 0)
        GTEST_SKIP() << "the peak resident memory cannot be measured here";

    clickFile(QStringLiteral("huge.jpg"));
    const qint64 peakKb = PeakResidentKb();
    const QImage shown = preview();
    EXPECT_EQ(shown.size(), image1().contentsRect().size());
    EXPECT_NEAR(qGray(shown.pixel(shown.width() / 2, shown.height() / 2)), 128, 2);
    EXPECT_LT(peakKb, 200 * 1024);
    RecordProperty("PeakResidentKb", std::to_string(peakKb));
    std::cout << "[ measured ] peak resident memory while previewing 20000 x 20000: " << peakKb / 1024
              << " MB\n";
}

} // namespace
