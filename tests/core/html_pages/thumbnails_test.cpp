#include "app/make_command.h"
#include "html_pages/page_file.h"
#include "html_pages/page_writers.h"
#include "html_pages/thumbnails_page.h"

#include "page_file_test_support.h"
#include "support/test_pictures.h"

#include <QDateTime>
#include <QImage>
#include <QRegularExpression>

namespace
{

struct PathRow {
    const char *name;
    QString path;
    QString shown;
};
void PrintTo(const PathRow &row, std::ostream *os)
{
    *os << row.name;
}

class ThumbnailsPathTest : public ::testing::TestWithParam<PathRow>
{
};

TEST_P(ThumbnailsPathTest, IsUpperCasedThenEscaped)
{
    EXPECT_EQ(ThumbnailsPathText(GetParam().path).toStdString(), GetParam().shown.toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ThumbnailsPathTest,
    ::testing::Values(
        PathRow{"DrivePath", QStringLiteral("C:\\Foto\\beach.jpg"), QStringLiteral("C:\\FOTO\\BEACH.JPG")},
        // the entity itself stays lower case
        PathRow{"Ampersand", QStringLiteral("/home/an/Sea & sand.jpg"),
                QStringLiteral("/HOME/AN/SEA &amp; SAND.JPG")},
        PathRow{"AngleBrackets", QStringLiteral("/p/<b>x</b>.gif"),
                QStringLiteral("/P/&lt;B&gt;X&lt;/B&gt;.GIF")},
        PathRow{"Quote", QStringLiteral("/p/say \"hi\".bmp"), QStringLiteral("/P/SAY &quot;HI&quot;.BMP")},
        PathRow{"EntityLookalike", QStringLiteral("/p/a&amp;b.jpg"), QStringLiteral("/P/A&amp;AMP;B.JPG")},
        PathRow{"Cyrillic", QStringLiteral("/\u0444\u043e\u0442\u043e/\u0436.jpg"),
                QStringLiteral("/\u0424\u041e\u0422\u041e/\u0416.JPG")}),
    [](const auto &row) { return std::string(row.param.name); });

struct GoldenRow {
    const char *name;
    QStringList pictures; // below "Sea & Sand" in the program folder
    int width, height;
    const char *expected;
};
void PrintTo(const GoldenRow &row, std::ostream *os)
{
    *os << row.name;
}

class ThumbnailsGoldenTest : public PageTest, public ::testing::WithParamInterface<GoldenRow>
{
};

TEST_P(ThumbnailsGoldenTest, ConvertsAndWritesThePage)
{
    const GoldenRow &row = GetParam();
    const QImage image = TestPictures::Quadrants(64, 48);
    QDateTime stamp(QDate(2021, 3, 4), QTime(10, 20, 30));
    for (const QString &name : row.pictures) {
        const QString path = pathIn(QStringLiteral("Sea & Sand/") + name);
        // Distinct dates, so a date shown beside the wrong picture shows.
        ASSERT_TRUE(TestPictures::WritePictureFile(path, image, stamp)) << path.toStdString();
        stamp = stamp.addDays(40).addSecs(3700);
        host.select(path);
    }
    host.state.PageStyle = 3;
    // The page shows the temporary folder's path; the expected page names it @FOLDER@.
    ASSERT_FALSE(dir.path().contains(QRegularExpression(QStringLiteral("[&<>\"]"))));

    host.finish(WriteThumbnailsPage(host.request(QStringLiteral("Thumbs"), QStringLiteral("Default")), host,
                                    row.width, row.height));

    ASSERT_TRUE(host.messages.isEmpty()) << host.messages[0].text.toStdString();
    std::vector<std::pair<QByteArray, QByteArray>> fill{{"@FOLDER@", dir.path().toUpper().toUtf8()}};
    for (int i = 0; i < row.pictures.size(); ++i) {
        ASSERT_FALSE(host.state.PictureDates[i].isEmpty());
        if (i > 0) {
            ASSERT_NE(host.state.PictureDates[i], host.state.PictureDates[i - 1]);
        }
        fill.emplace_back("@DATE" + QByteArray::number(i + 1) + '@',
                          EncodePageText(host.state.PictureDates[i]));
    }
    EXPECT_SAME_PAGE(pageBytes(QStringLiteral("Thumbs"), QStringLiteral("Default")),
                     ExpectedPage(row.expected, fill));
    EXPECT_EQ(QImage(pathIn(QStringLiteral("Thumbs/images/picture1.jpg"))).size(),
              QSize(row.width, row.height));
    EXPECT_EQ(host.opened, QStringList{pathIn(QStringLiteral("Thumbs/Default.html"))});
    EXPECT_EQ(host.statuses.last(), QStringLiteral("Convert pictures ready, open html page...."));
    EXPECT_EQ(host.state.PageStyle, 3);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ThumbnailsGoldenTest,
    ::testing::Values(GoldenRow{"OnePicture", {QStringLiteral("beach.jpg")}, 160, 120, "thumbnails_1.html"},
                      GoldenRow{"ThreePictures",
                                {QStringLiteral("beach.jpg"), QStringLiteral("Harbour.gif"),
                                 QStringLiteral("dunes.bmp")},
                                120,
                                90,
                                "thumbnails_3.html"}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
