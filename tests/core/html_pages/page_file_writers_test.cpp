// What every page writer shares: the background colour, the abandoned run and the page file
// that cannot be written.
#include "app/make_command.h"
#include "html_pages/page_writers.h"

#include "page_file_test_support.h"
#include "support/test_pictures.h"

#include <functional>

namespace
{

struct WriterRow {
    const char *name;
    std::uint8_t style;
    std::function<void(FakeHost &, const QString &, const QString &)> write;
};
void PrintTo(const WriterRow &row, std::ostream *os)
{
    *os << row.name;
}

const WriterRow Writers[] = {
    {"PictureShow", 1,
     [](FakeHost &h, const QString &f, const QString &n) {
         h.finish(WritePictureShowPage(h.request(f, n), h));
     }},
    {"SlideShow", 2,
     [](FakeHost &h, const QString &f, const QString &n) {
         h.finish(WriteSlideShowPage(h.request(f, n), h, 5, 300, 200));
     }},
    {"Thumbnails", 3,
     [](FakeHost &h, const QString &f, const QString &n) {
         h.finish(WriteThumbnailsPage(h.request(f, n), h, 160, 120));
     }},
};

class PageWriterTest : public PageTest, public ::testing::WithParamInterface<WriterRow>
{
  protected:
    void SetUp() override
    {
        PageTest::SetUp();
        for (int k = 1; k <= 2; ++k) {
            const QString path = pathIn(QStringLiteral("Fotos/p%1.jpg").arg(k));
            QDir().mkpath(QFileInfo(path).path());
            ASSERT_TRUE(TestPictures::WriteJpeg(TestPictures::Quadrants(40, 30), path));
            host.select(path);
        }
        host.state.PageStyle = GetParam().style;
    }
};

TEST_P(PageWriterTest, BackgroundColourReachesTheBodyLine)
{
    host.state.BackRed = 1;
    host.state.BackGreen = 2;
    host.state.BackBlue = 171;
    GetParam().write(host, QStringLiteral("Out"), QStringLiteral("Default"));
    EXPECT_TRUE(pageBytes(QStringLiteral("Out"), QStringLiteral("Default"))
                    .contains("\r\n<body bgcolor=\"#0102AB\" topmargin=\"10\" leftmargin=\"10\">\r\n"));
    EXPECT_EQ(host.state.PageColour, QStringLiteral("#0102AB"));
}

TEST_P(PageWriterTest, AnAbandonedRunWritesAndOpensNothing)
{
    // An output folder that is already there abandons the run before any page is written.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Out")));
    GetParam().write(host, QStringLiteral("Out"), QStringLiteral("Default"));
    EXPECT_EQ(host.state.PageStyle, 99);
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0].text, QStringLiteral("Map Out existing..."));
    EXPECT_FALSE(QFileInfo::exists(pathIn(QStringLiteral("Out/Default.html"))));
    EXPECT_TRUE(host.opened.isEmpty());
}

TEST_P(PageWriterTest, APageFileThatCannotBeWrittenIsNamedAndNotOpened)
{
    const QString page = pathIn(QStringLiteral("Out/Default.html"));
    host.onPause = [&] { QDir().mkdir(page); }; // appears once the output folder exists
    GetParam().write(host, QStringLiteral("Out"), QStringLiteral("Default"));
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_TRUE(host.messages[0].text.startsWith("File " + page + " could not be written: "))
        << host.messages[0].text.toStdString();
    EXPECT_EQ(host.state.PageStyle, PageStyles::Abandoned);
    EXPECT_TRUE(host.opened.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Writers, PageWriterTest, ::testing::ValuesIn(Writers),
                         [](const auto &row) { return std::string(row.param.name); });

} // namespace
