#include "app/make_command.h"
#include "html_pages/page_writers.h"

#include "page_file_test_support.h"
#include "support/test_pictures.h"

#include <QDirIterator>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <functional>

namespace
{

// An album must travel: copied without links, onto a file system or web server where letter case
// counts, or served under any charset. So every picture a page names is a plain file under exactly
// that name, nothing in the album is a link, and the page is ASCII bytes only.
struct AlbumRow {
    const char *name;
    std::function<ProductionResult(const ProductionRequest &, Host &)> write;
    const char *mustContain; // how the non-ASCII text this page shows is written; null: none shown
};
void PrintTo(const AlbumRow &row, std::ostream *os)
{
    *os << row.name;
}

const QString Title = QStringLiteral("Caf\u00e9 \u00c6r\u00f8 \u041f\u0440\u0438\u0432\u0435\u0442");

// Every picture the page names: the literal paths (img src, option value, script tables) and the
// names a script builds from a counter ("images/picture"+ teller +".jpg"), for k = 1 to n.
QSet<QString> NamedPictures(const QString &page, int n)
{
    QSet<QString> named;
    static const QRegularExpression literal(QStringLiteral(R"([\w.-]+/picture\d+\.\w+)"));
    for (const QRegularExpressionMatch &m : literal.globalMatch(page))
        named << m.captured(0);
    static const QRegularExpression built(
        QStringLiteral(R"re("([\w.-]+/picture)"\s*\+\s*\w+\s*\+\s*"(\.\w+)")re"));
    for (const QRegularExpressionMatch &m : built.globalMatch(page))
        for (int k = 1; k <= n; ++k)
            named << m.captured(1) + QString::number(k) + m.captured(2);
    return named;
}

// The entries below `folder` that are links, dangling ones included.
QStringList LinksBelow(const QString &folder)
{
    QStringList links;
    QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        if (it.nextFileInfo().isSymLink())
            links << it.fileInfo().filePath();
    return links;
}

class AlbumPicturesTest : public PageTest, public ::testing::WithParamInterface<AlbumRow>
{
};

TEST_P(AlbumPicturesTest, EveryNamedPictureIsAPlainFileUnderItsExactNameAndThePageIsAscii)
{
    // Sources of three kinds in a folder with a non-ASCII name (the Thumbnails page shows the paths,
    // in capitals).
    const QString sources = pathIn(QStringLiteral("Fotos M\u00fcller"));
    ASSERT_TRUE(QDir().mkpath(sources));
    const QStringList files{sources + QStringLiteral("/Harbour.GIF"), sources + QStringLiteral("/beach.jpg"),
                            sources + QStringLiteral("/Dunes.BMP")};
    ASSERT_TRUE(TestPictures::WriteTinyGif(files[0], 40, 30, QColor(200, 30, 30)));
    ASSERT_TRUE(TestPictures::WriteJpeg(TestPictures::Quadrants(60, 40), files[1]));
    ASSERT_TRUE(TestPictures::WriteWithQt(TestPictures::Quadrants(50, 50), files[2], "BMP"));
    for (const QString &file : files)
        host.select(file);
    host.title = Title;

    host.finish(GetParam().write(host.request(QStringLiteral("Album"), QStringLiteral("index")), host));
    ASSERT_TRUE(host.messages.isEmpty()) << host.messages.first().text.toStdString();

    const QString album = pathIn(QStringLiteral("Album"));
    const QByteArray page = pageBytes(QStringLiteral("Album"), QStringLiteral("index"));
    ASSERT_FALSE(page.isEmpty());
    const QSet<QString> named = NamedPictures(QString::fromLatin1(page), int(files.size()));
    QSet<QString> numbers;
    for (const QString &ref : named) {
        SCOPED_TRACE(ref.toStdString());
        numbers << ref.section(QLatin1Char('/'), -1).section(QLatin1Char('.'), 0, 0);
        // Looked up in the listings, so that a name differing in letter case only is no match anywhere.
        const QString folder = ref.section(QLatin1Char('/'), 0, 0);
        const QString file = ref.section(QLatin1Char('/'), 1);
        EXPECT_TRUE(QDir(album).entryList(QDir::Dirs | QDir::NoDotAndDotDot).contains(folder));
        EXPECT_TRUE(QDir(album + QLatin1Char('/') + folder).entryList(QDir::Files).contains(file));
        EXPECT_FALSE(QImage(album + QLatin1Char('/') + ref).isNull());
    }
    EXPECT_EQ(numbers, (QSet<QString>{QStringLiteral("picture1"), QStringLiteral("picture2"),
                                      QStringLiteral("picture3")}));
    const QStringList links = LinksBelow(album);
    EXPECT_TRUE(links.isEmpty()) << "links: " << links.join(QLatin1Char(' ')).toStdString();

    qsizetype outside = 0;
    for (const char c : page)
        outside += static_cast<unsigned char>(c) >= 0x80 ? 1 : 0;
    EXPECT_EQ(outside, 0) << "bytes outside ASCII";
    if (GetParam().mustContain) {
        EXPECT_TRUE(page.contains(GetParam().mustContain)) << GetParam().mustContain;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, AlbumPicturesTest,
    ::testing::Values(
        AlbumRow{
            "PictureShow", [](const ProductionRequest &r, Host &h) { return WritePictureShowPage(r, h); },
            "<SPAN class=titel>Caf&#233; &#198;r&#248; &#1055;&#1088;&#1080;&#1074;&#1077;&#1090;</SPAN>"},
        AlbumRow{"SlideShow",
                 [](const ProductionRequest &r, Host &h) { return WriteSlideShowPage(r, h, 3, 300, 200); },
                 nullptr},
        AlbumRow{"Thumbnails",
                 [](const ProductionRequest &r, Host &h) { return WriteThumbnailsPage(r, h, 48, 36); },
                 "/FOTOS M&#220;LLER/HARBOUR.GIF"},
        AlbumRow{"BlockEffect",
                 [](const ProductionRequest &r, Host &h) { return WriteBlockEffectPage(r, h, 48, 36, 12); },
                 nullptr},
        AlbumRow{"Photoalbum1",
                 [](const ProductionRequest &r, Host &h) { return WritePhotoalbumPage(r, h, 48, 36, 1); },
                 "<SPAN class=wit><b>Caf&#233; &#198;r&#248; &#1055;&#1088;&#1080;&#1074;&#1077;&#1090;</b>"},
        AlbumRow{
            "Photoalbum2",
            [](const ProductionRequest &r, Host &h) { return WritePhotoalbumPage(r, h, 48, 36, 2); },
            "<SPAN class=wit><b>Caf&#233; &#198;r&#248; &#1055;&#1088;&#1080;&#1074;&#1077;&#1090;</b>"}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
