#include "html_pages/page_file.h"
#include "html_pages/web_album_page.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace
{

WebAlbumPicture Picture(const QString &name, const QString &description = QString())
{
    return WebAlbumPicture{name, QSize(1600, 1200), QSize(480, 360), true,
                           WebAlbumCaption{QDateTime(QDate(2024, 5, 1), QTime(9, 30)), description}};
}

// The page of the album "Trip" as it is written: plain ASCII, non-ASCII as references.
QString Page(const QString &title, const QList<WebAlbumPicture> &pictures,
             QColor colour = QColor(224, 240, 224))
{
    ProductionRequest request;
    request.folder = QStringLiteral("Trip");
    request.title = title;
    request.pageColour = colour;
    return QString::fromLatin1(
        EncodePageText(WebAlbumPageLines(request, pictures).join(QStringLiteral("\r\n"))));
}

// A file name reaches the page as text too: the hostile names' table runs through the web album.
TEST(WebAlbumPageTest, TheTitleAndADescriptionStayText)
{
    const QString page = Page(QStringLiteral("</title><script>alert(1)</script>"),
                              {Picture(QStringLiteral("IMG_1.jpg"), QStringLiteral(" Sea & <sand> "))});
    for (const char *text :
         {"<title>&lt;/title&gt;&lt;script&gt;alert(1)&lt;/script&gt;</title>",
          "<h1>&lt;/title&gt;&lt;script&gt;alert(1)&lt;/script&gt;</h1>", "alt=\"Sea &amp; &lt;sand&gt;\"",
          "<p>Sea &amp; &lt;sand&gt;<br>2024-05-01 09:30</p>"})
        EXPECT_TRUE(page.contains(QLatin1String(text))) << text;
    EXPECT_EQ(page.count(QStringLiteral("<script")), 2); // the lazy pictures' and the viewer's
    for (const char *text : {"<sand>", "IMG_1.jpg"})     // the description stands for the name
        EXPECT_FALSE(page.contains(QLatin1String(text))) << text;
    EXPECT_TRUE(Page(QStringLiteral("  "), {Picture(QStringLiteral("a.jpg"))})
                    .contains(QStringLiteral("<title>Trip</title>")));
}

TEST(WebAlbumPageTest, TheTextStandsOutAgainstEveryPageColour)
{
    // Contrast ratio of two colours, as the accessibility guidelines work it out.
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) {
            v /= 255.0;
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue()) + 0.05;
    };
    for (int grey = 0; grey < 256; grey += 3)
        for (const QColor &colour :
             {QColor(grey, grey, grey), QColor(grey, 255 - grey, 128), QColor(0, 0, grey)}) {
            const double a = luminance(colour), b = luminance(QColor(WebAlbumTextColour(colour)));
            EXPECT_GE(std::max(a, b) / std::min(a, b), 4.5) << colour.name().toStdString();
        }
    EXPECT_TRUE(Page(QStringLiteral("T"), {Picture(QStringLiteral("a.jpg"))}, QColor(0, 0, 128))
                    .contains(QStringLiteral("background:#000080;color:#FFFFFF")));
}

TEST(WebAlbumPageTest, AHundredPicturesStayLightLazyAndWithinTheAlbum)
{
    QList<WebAlbumPicture> pictures;
    for (int i = 1; i <= 100; ++i)
        pictures << Picture(QStringLiteral("IMG_%1.jpg").arg(1000 + i));
    pictures[4].written = false; // the encoder failed on it: no broken picture in the grid
    const QString page = Page(QStringLiteral("Summer"), pictures);

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
    for (const char *outside : {"://", "url(", "@import"})
        EXPECT_FALSE(page.contains(QLatin1String(outside))) << outside;
}

} // namespace
