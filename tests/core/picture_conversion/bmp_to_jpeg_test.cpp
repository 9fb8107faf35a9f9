#include "picture_conversion/bmp_to_jpeg.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace PictureFiles;

namespace
{

class BmpToJpegTest : public ::testing::Test
{
  protected:
    QTemporaryDir dir;
    QString bmp;

    void SetUp() override
    {
        QImage busy(120, 80, QImage::Format_RGB32);
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 120; ++x)
                busy.setPixel(x, y, qRgb((x * 29) % 256, (y * 53) % 256, (x * y) % 256));
        bmp = dir.filePath("scratch.bmp");
        ASSERT_TRUE(busy.save(bmp, "BMP"));
    }

    QByteArray encode(int quality)
    {
        const QString jpeg = dir.filePath(QString("q%1.jpg").arg(quality));
        QFile::remove(jpeg); // a quality may be encoded twice, and nothing is written over
        EXPECT_TRUE(BmpToJpeg(bmp, jpeg, quality)) << quality;
        return ReadBytes(jpeg);
    }
};

TEST_F(BmpToJpegTest, WritesABaselineJpegOfThePicture)
{
    const QString source = dir.filePath("quadrants.bmp");
    ASSERT_TRUE(TestPictures::Quadrants(120, 80).save(source, "BMP"));
    const QString jpeg = dir.filePath("out.jpg");
    ASSERT_TRUE(BmpToJpeg(source, jpeg, 90));
    const QByteArray bytes = ReadBytes(jpeg);
    EXPECT_TRUE(bytes.startsWith("\xff\xd8\xff"));
    EXPECT_TRUE(bytes.contains("\xff\xc0")) << "baseline frame header";
    EXPECT_FALSE(bytes.contains("\xff\xc2")) << "no progressive frame";
    const QImage decoded(jpeg);
    ASSERT_EQ(decoded.size(), QSize(120, 80));
    EXPECT_TRUE(TestPictures::Near(TestPictures::ColourAround(decoded, 30, 20), Qt::red, 16));
    EXPECT_TRUE(TestPictures::Near(TestPictures::ColourAround(decoded, 90, 60), Qt::yellow, 16));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3) << "no temporary file left beside it";
}

TEST_F(BmpToJpegTest, QualityIsClampedToOneToHundred)
{
    EXPECT_EQ(encode(0), encode(1));
    EXPECT_EQ(encode(-7), encode(1));
    EXPECT_EQ(encode(255), encode(100));
    EXPECT_NE(encode(50), encode(1));
    EXPECT_NE(encode(50), encode(100));
    EXPECT_LT(encode(1).size(), encode(100).size());
}

struct FailureRow {
    const char *name;
    const char *source; // relative to the temporary folder
    const char *target;
};

class BmpToJpegFailureTest : public BmpToJpegTest, public ::testing::WithParamInterface<FailureRow>
{
};

TEST_P(BmpToJpegFailureTest, ReportsFailureAndLeavesNoFile)
{
    const FailureRow row = GetParam();
    ASSERT_TRUE(WriteBytes(dir.filePath("text.bmp"), "BM but nothing else"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("taken.jpg"));
    const QString target = dir.filePath(row.target);
    EXPECT_FALSE(BmpToJpeg(dir.filePath(row.source), target, 75));
    EXPECT_FALSE(QFileInfo(target).isFile());
    EXPECT_TRUE(QDir(dir.path()).entryList({"*.jpg.*", "*.tmp"}, QDir::Files).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, BmpToJpegFailureTest,
                         ::testing::Values(FailureRow{"MissingSource", "absent.bmp", "a.jpg"},
                                           FailureRow{"SourceNotABmp", "text.bmp", "a.jpg"},
                                           FailureRow{"TargetFolderMissing", "scratch.bmp", "no/such/a.jpg"},
                                           FailureRow{"TargetIsAFolder", "scratch.bmp", "taken.jpg"}),
                         [](const auto &row) { return std::string(row.param.name); });

} // namespace
