#include "html_pages/page_file.h"
#include "html_pages/web_album_page.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace
{

ProductionRequest Request(const QString &title, QColor colour = QColor(224, 240, 224))
{
    ProductionRequest request;
    request.folder = QStringLiteral("Trip");
    request.title = title;
    request.pageColour = colour;
    return request;
}

WebAlbumPicture Picture(const QString &name, const QString &description = QString())
{
    return WebAlbumPicture{name, QSize(1600, 1200), QSize(480, 360), true,
                           WebAlbumCaption{QDateTime(QDate(2024, 5, 1), QTime(9, 30)), description}};
}

// The page as it is written: plain ASCII, non-ASCII as references.
QString Page(const ProductionRequest &request, const QList<WebAlbumPicture> &pictures)
{
    return QString::fromLatin1(
        EncodePageText(WebAlbumPageLines(request, pictures).join(QStringLiteral("\r\n"))));
}

struct EscapeRow {
    const char *name;
    QString title, fileName, description;
    QStringList present; // in the page as written
    QStringList absent;
};
void PrintTo(const EscapeRow &row, std::ostream *os)
{
    *os << row.name;
}

class WebAlbumEscapeTest : public ::testing::TestWithParam<EscapeRow>
{
};

TEST_P(WebAlbumEscapeTest, TextFromTheUserAndTheFilesStaysText)
{
    const EscapeRow &row = GetParam();
    const QString page = Page(Request(row.title), {Picture(row.fileName, row.description)});
    for (const QString &text : row.present)
        EXPECT_TRUE(page.contains(text)) << text.toStdString();
    for (const QString &text : row.absent)
        EXPECT_FALSE(page.contains(text)) << text.toStdString();
    EXPECT_EQ(page.count(QStringLiteral("<script")), 2); // the lazy pictures' and the viewer's
    EXPECT_FALSE(page.contains(QStringLiteral("/home/")));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WebAlbumEscapeTest,
    ::testing::Values(
        EscapeRow{"HostileTitle",
                  QStringLiteral("</title><script>alert(1)</script>"),
                  QStringLiteral("a.jpg"),
                  {},
                  {QStringLiteral("<title>&lt;/title&gt;&lt;script&gt;alert(1)&lt;/script&gt;</title>"),
                   QStringLiteral("<h1>&lt;/title&gt;&lt;script&gt;alert(1)&lt;/script&gt;</h1>")},
                  {QStringLiteral("<script>alert")}},
        EscapeRow{"HostileFileNameIsTheAltText",
                  QStringLiteral("T"),
                  QStringLiteral("x\" onerror=\"alert(1)<b>.jpg"),
                  {},
                  {QStringLiteral("alt=\"x&quot; onerror=&quot;alert(1)&lt;b&gt;.jpg\"")},
                  {QStringLiteral("onerror=\"")}},
        EscapeRow{"DescriptionIsTheAltTextAndTheCaption",
                  QStringLiteral("T"),
                  QStringLiteral("IMG_1.jpg"),
                  QStringLiteral(" Sea & <sand> "),
                  {QStringLiteral("alt=\"Sea &amp; &lt;sand&gt;\""),
                   QStringLiteral("<p>Sea &amp; &lt;sand&gt;<br>2024-05-01 09:30</p>")},
                  {QStringLiteral("IMG_1.jpg"), QStringLiteral("<sand>")}},
        EscapeRow{"NonAsciiAndControlCharacters",
                  QStringLiteral("Caf\u00e9 \u041f"),
                  QStringLiteral("a\u0001\u0085b.jpg"),
                  {},
                  {QStringLiteral("<h1>Caf&#233; &#1055;</h1>"), QStringLiteral("alt=\"a&#1;&#133;b.jpg\"")},
                  {}},
        EscapeRow{"EmptyTitleIsTheFolder",
                  QStringLiteral("  "),
                  QStringLiteral("a.jpg"),
                  {},
                  {QStringLiteral("<title>Trip</title>")},
                  {QStringLiteral("<title></title>")}}),
    [](const auto &row) { return std::string(row.param.name); });

// Contrast ratio of two colours, as the accessibility guidelines work it out.
double Contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) {
            v /= 255.0;
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
    };
    const double x = luminance(a) + 0.05, y = luminance(b) + 0.05;
    return std::max(x, y) / std::min(x, y);
}

TEST(WebAlbumPageTest, TheTextStandsOutAgainstEveryPageColour)
{
    for (int grey = 0; grey < 256; grey += 3)
        for (const QColor &colour :
             {QColor(grey, grey, grey), QColor(grey, 255 - grey, 128), QColor(0, 0, grey)})
            EXPECT_GE(Contrast(colour, QColor(WebAlbumTextColour(colour))), 4.5)
                << colour.name().toStdString();
    const QString page =
        Page(Request(QStringLiteral("T"), QColor(0, 0, 128)), {Picture(QStringLiteral("a.jpg"))});
    EXPECT_TRUE(page.contains(QStringLiteral("background:#000080;color:#FFFFFF")));
}

TEST(WebAlbumPageTest, AHundredPicturesStayLightLazyAndWithinTheAlbum)
{
    QList<WebAlbumPicture> pictures;
    for (int i = 1; i <= 100; ++i)
        pictures << Picture(QStringLiteral("IMG_%1.jpg").arg(1000 + i));
    pictures[4].written = false; // the encoder failed on it: no broken picture in the grid
    const QString page = Page(Request(QStringLiteral("Summer")), pictures);

    EXPECT_LE(page.size(), 12 * 1024 + 300 * 100);
    EXPECT_TRUE(page.startsWith(QStringLiteral("<!DOCTYPE html>\r\n<html lang=\"en\">")));
    for (const char *needed :
         {"<meta charset=\"utf-8\">", "name=\"viewport\"", "<link rel=\"icon\" href=\"data:,\">"})
        EXPECT_TRUE(page.contains(QLatin1String(needed))) << needed;
    EXPECT_EQ(page.count(QStringLiteral("<li>")), 99);
    EXPECT_FALSE(page.contains(QStringLiteral("picture5.jpg")));
    // The first two rows of a phone at once, the others when they come near.
    const QRegularExpression img(QStringLiteral("<img src=\"images/small/picture(\\d+)\\.jpg\"[^>]*>"));
    for (auto match = img.globalMatch(page); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        EXPECT_EQ(m.captured(0).contains(QStringLiteral("loading=\"lazy\"")), m.captured(1).toInt() > 6)
            << m.captured(0).toStdString();
        EXPECT_TRUE(m.captured(0).contains(QStringLiteral("images/picture") + m.captured(1) +
                                           QStringLiteral(".jpg 1600w")));
    }
    // Nothing is asked of another site.
    EXPECT_FALSE(page.contains(QStringLiteral("://")));
    EXPECT_FALSE(page.contains(QStringLiteral("url(")) || page.contains(QStringLiteral("@import")));
}

} // namespace
