#include "app/make_command.h"
#include "html_pages/page_writers.h"
#include "support/album_home.h"
#include "support/fake_host.h"
#include "support/golden.h"
#include "support/test_pictures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace
{

enum class Page { BlockEffect, Album1, Album2 };

// A program folder in a temporary directory and a selection of small real pictures.
class WriterRun : public AlbumHome
{
  public:
    explicit WriterRun(int pictures)
    {
        EXPECT_TRUE(makeHome());
        for (int k = 1; k <= pictures; ++k)
            selectJpeg(QStringLiteral("sources/photo%1.jpg").arg(k), QSize(40 + k, 30));
    }

    void write(Page page, int width, int height, std::uint8_t blockSize = 15)
    {
        ProgramValues &v = host.state;
        v.PictureWidth = width;
        v.PictureHeight = height;
        v.BlockSize = blockSize;
        switch (page) {
        case Page::BlockEffect:
            v.PageStyle = PageStyles::BlockEffect;
            host.finish(
                WriteBlockEffectPage(host.request(QStringLiteral("Photomap"), QStringLiteral("Default")),
                                     host, width, height, blockSize));
            break;
        case Page::Album1:
            v.PageStyle = PageStyles::Photoalbum1;
            host.finish(WritePhotoalbumPage(
                host.request(QStringLiteral("Photomap"), QStringLiteral("Default")), host, width, height, 1));
            break;
        case Page::Album2:
            v.PageStyle = PageStyles::Photoalbum2;
            host.finish(WritePhotoalbumPage(
                host.request(QStringLiteral("Photomap"), QStringLiteral("Default")), host, width, height, 2));
            break;
        }
    }

    QString pagePath() const { return host.folder + QStringLiteral("/Photomap/Default.html"); }
    QByteArray pageBytes() const
    {
        return AlbumHome::pageBytes(QStringLiteral("Photomap"), QStringLiteral("Default"));
    }
};

struct GoldenRow {
    const char *name;
    Page page;
    int pictures;
    int width, height;
    std::uint8_t blockSize;
    int red, green, blue;
    const char *title;
    const char *expected;
};

void PrintTo(const GoldenRow &row, std::ostream *os)
{
    *os << row.name;
}

class BlockEffectPhotoalbumGoldenTest : public ::testing::TestWithParam<GoldenRow>
{
};

TEST_P(BlockEffectPhotoalbumGoldenTest, WritesTheExpectedFileAndOpensIt)
{
    const GoldenRow row = GetParam();
    WriterRun run(row.pictures);
    ASSERT_TRUE(run.dir.isValid());
    run.host.title = QString::fromUtf8(row.title);
    run.host.state.BackRed = row.red;
    run.host.state.BackGreen = row.green;
    run.host.state.BackBlue = row.blue;
    run.write(row.page, row.width, row.height, row.blockSize);

    ASSERT_TRUE(run.host.messages.isEmpty()) << run.host.messages.first().text.toStdString();
    EXPECT_SAME_PAGE(run.pageBytes(), Golden::ExpectedPage(row.expected));
    EXPECT_EQ(run.host.opened, QStringList{run.pagePath()});
    EXPECT_EQ(run.host.statuses.last(), QStringLiteral("Convert pictures ready, open html page...."));
}

INSTANTIATE_TEST_SUITE_P(Pages, BlockEffectPhotoalbumGoldenTest,
                         ::testing::Values(GoldenRow{"BlockEffectOnePicture", Page::BlockEffect, 1, 160, 120,
                                                     15, 224, 240, 224, "", "block_effect_1.html"},
                                           GoldenRow{"BlockEffectThreePictures", Page::BlockEffect, 3, 120,
                                                     90, 7, 10, 5, 171, "", "block_effect_3.html"},
                                           GoldenRow{"Album1OnePicture", Page::Album1, 1, 360, 270, 0, 224,
                                                     240, 224, "Holiday", "photoalbum1_1.html"},
                                           GoldenRow{"Album1ThreePictures", Page::Album1, 3, 200, 150, 0, 10,
                                                     5, 171, "Beach & <i>dunes</i>", "photoalbum1_3.html"},
                                           GoldenRow{"Album2OnePicture", Page::Album2, 1, 360, 270, 0, 224,
                                                     240, 224, "Holiday", "photoalbum2_1.html"},
                                           GoldenRow{"Album2ThreePictures", Page::Album2, 3, 200, 150, 0, 10,
                                                     5, 171, "Beach & <i>dunes</i>", "photoalbum2_3.html"}),
                         [](const auto &row) { return std::string(row.param.name); });

class BlockEffectPhotoalbumFailureTest : public ::testing::TestWithParam<Page>
{
};

TEST_P(BlockEffectPhotoalbumFailureTest, AbandonedConversionWritesAndOpensNothing)
{
    WriterRun run(2);
    // The output folder of an earlier run makes the conversion give up.
    QDir().mkpath(run.host.folder + QStringLiteral("/Photomap"));
    run.write(GetParam(), 160, 120);
    EXPECT_EQ(run.host.state.PageStyle, PageStyles::Abandoned);
    EXPECT_FALSE(QFile::exists(run.pagePath()));
    EXPECT_TRUE(run.host.opened.isEmpty());
    EXPECT_EQ(run.host.messages.size(), 1);
    EXPECT_TRUE(run.host.state.PageColour.isEmpty()) << "the writer went on after the conversion gave up";
}

TEST_P(BlockEffectPhotoalbumFailureTest, UnwritablePageFileIsReportedByNameAndNotOpened)
{
    WriterRun run(2);
    // While the pictures are converted, something takes the page file's name as a folder.
    run.host.onPause = [&run] { QDir().mkpath(run.pagePath()); };
    run.write(GetParam(), 160, 120);
    ASSERT_EQ(run.host.messages.size(), 1);
    EXPECT_TRUE(run.host.messages.first().text.contains(run.pagePath()))
        << run.host.messages.first().text.toStdString();
    EXPECT_TRUE(run.host.opened.isEmpty());
    EXPECT_EQ(run.host.state.PageStyle, PageStyles::Abandoned);
}

INSTANTIATE_TEST_SUITE_P(Writers, BlockEffectPhotoalbumFailureTest,
                         ::testing::Values(Page::BlockEffect, Page::Album1, Page::Album2),
                         [](const auto &row) {
                             switch (row.param) {
                             case Page::BlockEffect:
                                 return std::string("BlockEffect");
                             case Page::Album1:
                                 return std::string("Album1");
                             case Page::Album2:
                                 return std::string("Album2");
                             }
                             return std::string("Unknown");
                         });

TEST(PhotoalbumWriter, TitleOutsideAsciiIsWrittenAsNumericReferences)
{
    WriterRun run(1);
    run.host.title = QStringLiteral("Ж € é");
    run.write(Page::Album1, 160, 120);
    EXPECT_TRUE(run.pageBytes().contains("<SPAN class=wit><b>&#1046; &#8364; &#233;</b></SPAN>"));
}

TEST(PhotoalbumWriter, FrameUsesTheSharedSizeAndThePictureTheConvertedSize)
{
    WriterRun run(1);
    run.host.state.PageStyle = PageStyles::Photoalbum1;
    run.host.state.PictureWidth = 360;
    run.host.state.PictureHeight = 270;
    run.host.finish(WritePhotoalbumPage(
        run.host.request(QStringLiteral("Photomap"), QStringLiteral("Default")), run.host, 300, 200, 1));
    const QByteArray page = run.pageBytes();
    EXPECT_EQ(page.count("WIDTH=\"420\" bgcolor=\"#1858A0\">"), 1);
    EXPECT_EQ(page.count("CELLSPACING=\"0\" width=\"420\">"), 1);
    EXPECT_EQ(page.count("<td WIDTH=\"30\" HEIGHT=\"280\"></td>"), 2);
    EXPECT_EQ(page.count("<td WIDTH=\"360\" HEIGHT=\"38\" align=\"center\">"), 1);
    EXPECT_TRUE(page.contains("<td width=\"360\" height=\"280\"><table")) << page.toStdString();
    EXPECT_TRUE(page.contains("SRC=\"images/picture1.jpg\" width=\"300\" height=\"200\">"));
    const QImage converted(run.host.folder + QStringLiteral("/Photomap/images/picture1.jpg"));
    EXPECT_EQ(converted.size(), QSize(300, 200));
}

TEST(PhotoalbumWriter, AnyKindOtherThanTwoWritesPhotoalbum1)
{
    for (std::uint8_t kind : {0, 1, 3, 255}) {
        WriterRun run(1);
        run.host.state.PageStyle = PageStyles::Photoalbum1;
        run.host.state.PictureWidth = 160;
        run.host.state.PictureHeight = 120;
        run.host.title = QStringLiteral("Holiday");
        run.host.state.BackRed = 224;
        run.host.finish(
            WritePhotoalbumPage(run.host.request(QStringLiteral("Photomap"), QStringLiteral("Default")),
                                run.host, 160, 120, kind));
        const QByteArray page = run.pageBytes();
        EXPECT_FALSE(page.isEmpty()) << int(kind);
        EXPECT_FALSE(page.contains("revealTrans")) << int(kind);
    }
}

} // namespace
