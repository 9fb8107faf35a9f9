#include "html_pages/page_writing.h"

#include "page_file_test_support.h"

#include <QDir>

namespace
{

using FinishPageTest = PageTest;

TEST_F(FinishPageTest, AnnouncesPausesThenOpensThePageFile)
{
    bool openedBeforePause = false;
    host.onPause = [&] { openedBeforePause = !host.opened.isEmpty(); };
    FinishPage(host, PageFilePath(host.request(QStringLiteral("Photomap"), QStringLiteral("Default"))));

    EXPECT_EQ(host.statuses, QStringList{QStringLiteral("Convert pictures ready, open html page....")});
    EXPECT_EQ(host.pauses, QVector<float>{1.0f});
    EXPECT_FALSE(openedBeforePause);
    EXPECT_EQ(host.opened, QStringList{dir.path() + QStringLiteral("/Photomap/Default.html")});
    EXPECT_TRUE(host.messages.isEmpty());
}

TEST_F(FinishPageTest, AFileNameWithItsOwnExtensionStillGetsHtml)
{
    host.folder = dir.path() + QLatin1Char('/'); // an album home given with its separator
    FinishPage(host, PageFilePath(host.request(QStringLiteral("Trip"), QStringLiteral("album.htm"))));
    EXPECT_EQ(host.opened, QStringList{dir.path() + QStringLiteral("/Trip/album.htm.html")});
}

TEST_F(FinishPageTest, WrittenPageIsHeadThenBodyAndIsOpened)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Photomap")));
    ASSERT_TRUE(WriteAndFinishPage(host.request(QStringLiteral("Photomap"), QStringLiteral("Default")), host,
                                   {QStringLiteral("</head>"), QStringLiteral("</html>")})
                    .done());
    const QByteArray bytes = pageBytes(QStringLiteral("Photomap"), QStringLiteral("Default"));
    EXPECT_TRUE(bytes.startsWith("<html>\r\n<head>\r\n"));
    EXPECT_TRUE(bytes.endsWith("</Style> \r\n</head>\r\n</html>\r\n"));
    EXPECT_EQ(host.opened.size(), 1);
}

TEST_F(FinishPageTest, APageFileThatCannotBeWrittenIsNamedAndNotOpened)
{
    // No output folder: the page file cannot be created.
    const ProductionResult result =
        WriteAndFinishPage(host.request(QStringLiteral("Missing"), QStringLiteral("Default")), host,
                           {QStringLiteral("</head>")});
    EXPECT_FALSE(result.done());
    EXPECT_TRUE(result.abandoned());
    EXPECT_TRUE(result.pagePath.isEmpty());
    EXPECT_TRUE(result.message.startsWith(QStringLiteral("File ") + dir.path() +
                                          QStringLiteral("/Missing/Default.html could not be written: ")))
        << result.message.toStdString();
    EXPECT_TRUE(host.messages.isEmpty()) << "the Make command shows it";
    EXPECT_TRUE(host.opened.isEmpty());
    EXPECT_TRUE(host.statuses.isEmpty());
    EXPECT_TRUE(host.pauses.isEmpty());
}

} // namespace
