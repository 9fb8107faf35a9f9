#include "app/make_command.h"
#include "html_pages/page_writers.h"
#include "html_pages/slide_show_page.h"

#include "page_file_test_support.h"
#include "support/test_pictures.h"

#include <QImage>

namespace
{

struct PauseRow {
    const char *name;
    std::uint8_t seconds;
    const char *line;
};
void PrintTo(const PauseRow &row, std::ostream *os)
{
    *os << row.name;
}

class SlideShowPauseTest : public ::testing::TestWithParam<PauseRow>
{
};

TEST_P(SlideShowPauseTest, PauseIsWrittenAsPlainDigits)
{
    const QStringList lines = SlideShowBodyLines(QStringLiteral("#E0F0E0"), 2, GetParam().seconds);
    QStringList assignments;
    for (const QString &line : lines)
        if (line.startsWith(QStringLiteral("g_dwTimeOutSec")))
            assignments << line;
    ASSERT_EQ(assignments.size(), 1);
    EXPECT_EQ(assignments[0].toStdString(), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Pauses, SlideShowPauseTest,
                         ::testing::Values(PauseRow{"Zero", 0, "g_dwTimeOutSec=0"},
                                           PauseRow{"Five", 5, "g_dwTimeOutSec=5"},
                                           PauseRow{"Largest", 255, "g_dwTimeOutSec=255"}),
                         [](const auto &row) { return std::string(row.param.name); });

struct GoldenRow {
    const char *name;
    int pictures;
    std::uint8_t pause;
    const char *expected;
};
void PrintTo(const GoldenRow &row, std::ostream *os)
{
    *os << row.name;
}

class SlideShowGoldenTest : public PageTest, public ::testing::WithParamInterface<GoldenRow>
{
};

TEST_P(SlideShowGoldenTest, ConvertsTo300By200AndWritesThePage)
{
    const GoldenRow &row = GetParam();
    for (int k = 1; k <= row.pictures; ++k) {
        const QString path = pathIn(QStringLiteral("Fotos/p%1.jpg").arg(k));
        QDir().mkpath(QFileInfo(path).path());
        ASSERT_TRUE(TestPictures::WriteJpeg(TestPictures::Quadrants(80 + k, 60), path));
        host.select(path);
    }
    host.state.PageStyle = 2;

    host.finish(WriteSlideShowPage(host.request(QStringLiteral("Show"), QStringLiteral("Default")), host,
                                   row.pause, 300, 200));

    ASSERT_TRUE(host.messages.isEmpty()) << host.messages[0].text.toStdString();
    EXPECT_SAME_PAGE(pageBytes(QStringLiteral("Show"), QStringLiteral("Default")),
                     ExpectedPage(row.expected));
    for (int k = 1; k <= row.pictures; ++k)
        EXPECT_EQ(QImage(pathIn(QStringLiteral("Show/images/picture%1.jpg").arg(k))).size(), QSize(300, 200));
    EXPECT_EQ(host.opened, QStringList{pathIn(QStringLiteral("Show/Default.html"))});
    EXPECT_EQ(host.state.PageStyle, 2);
}

INSTANTIATE_TEST_SUITE_P(Pages, SlideShowGoldenTest,
                         ::testing::Values(GoldenRow{"OnePicture", 1, 4, "slide_show_1.html"},
                                           GoldenRow{"ThreePictures", 3, 5, "slide_show_3.html"}),
                         [](const auto &row) { return std::string(row.param.name); });

} // namespace
