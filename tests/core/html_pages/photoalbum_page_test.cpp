#include "html_pages/page_head.h"
#include "html_pages/photoalbum_page.h"

#include <gtest/gtest.h>
#include <string>

namespace
{

PhotoalbumPage Album(int pictures, bool reveal, int frameW = 160, int frameH = 120, int picW = 160,
                     int picH = 120)
{
    PhotoalbumPage page;
    page.pictureCount = pictures;
    page.frameWidth = frameW;
    page.frameHeight = frameH;
    page.pictureWidth = picW;
    page.pictureHeight = picH;
    page.title = QStringLiteral("Album");
    page.pageColour = QStringLiteral("#E0F0E0");
    page.revealTransitions = reveal;
    return page;
}

struct CounterRow {
    const char *name;
    int pictures;
    const char *forwardWrap;
    const char *backWrap;
    const char *counterEnd;
    const char *counterBox;
};

class PhotoalbumCounterTest : public ::testing::TestWithParam<std::tuple<CounterRow, bool>>
{
};

TEST_P(PhotoalbumCounterTest, WrapsAtBothEndsAndCountsToTheNumberOfPictures)
{
    const auto [row, reveal] = GetParam();
    const QStringList body = PhotoalbumBodyLines(Album(row.pictures, reveal));
    EXPECT_EQ(body.count(QString::fromUtf8(row.forwardWrap)), 1);
    EXPECT_EQ(body.count(QString::fromUtf8(row.backWrap)), 1);
    int counterLines = 0;
    for (const QString &line : body) {
        if (line.startsWith(QStringLiteral("  form.nummer.value= \" Picture \" + teller + \" / "))) {
            ++counterLines;
            EXPECT_TRUE(line.endsWith(QString::fromUtf8(row.counterEnd))) << line.toStdString();
        }
    }
    EXPECT_EQ(counterLines, 2);
    const QString box = QStringLiteral("name=\"nummer\" value=\"%1\" size=\"12\"").arg(row.counterBox);
    EXPECT_EQ(body.filter(box).size(), 1) << box.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Counts, PhotoalbumCounterTest,
    ::testing::Combine(::testing::Values(CounterRow{"OnePicture", 1, "  if (teller==2) teller = 1;",
                                                    "  if (teller==0) teller = 1;", " / 1\";", " Foto 1 / 1"},
                                         CounterRow{"FivePictures", 5, "  if (teller==6) teller = 1;",
                                                    "  if (teller==0) teller = 5;", " / 5\";", " Foto 1 / 5"},
                                         CounterRow{"HundredPictures", 100, "  if (teller==101) teller = 1;",
                                                    "  if (teller==0) teller = 100;", " / 100\";",
                                                    " Foto 1 / 100"}),
                       ::testing::Bool()),
    [](const auto &row) {
        return std::string(std::get<0>(row.param).name) + (std::get<1>(row.param) ? "_Album2" : "_Album1");
    });

// The thirteen lines only Photoalbum 2 has, in page order.
const QStringList RevealOnly{
    QStringLiteral("var id=0;"),
    QStringLiteral("  id = id + 1;"),
    QStringLiteral("  if (id==24) id=1;"),
    QStringLiteral("  dia.style.filter='revealTrans(transition=' + id + ',duration=2)'"),
    QStringLiteral("  dia.filters.revealTrans.Apply();"),
    QStringLiteral("  dia.src = \"images/picture\"+ teller +\".jpg\";"),
    QStringLiteral("  dia.filters.revealTrans.Play()"),
    QStringLiteral("  id = id - 1;"),
    QStringLiteral("  if (id==0) id=23;"),
    QStringLiteral("  dia.style.filter='revealTrans(transition=' + id + ',duration=2)'"),
    QStringLiteral("  dia.filters.revealTrans.Apply();"),
    QStringLiteral("  dia.src = \"images/picture\"+ teller +\".jpg\";"),
    QStringLiteral("  dia.filters.revealTrans.Play()"),
};

TEST(PhotoalbumPage, Album2IsAlbum1PlusTheThirteenRevealLines)
{
    const QStringList one = PhotoalbumBodyLines(Album(4, false));
    const QStringList two = PhotoalbumBodyLines(Album(4, true));
    // Walk Photoalbum 2 against Photoalbum 1; what Photoalbum 1 lacks must be exactly the reveal lines.
    QStringList extra;
    qsizetype j = 0;
    for (const QString &line : two) {
        if (j < one.size() && line == one[j])
            ++j;
        else
            extra << line;
    }
    EXPECT_EQ(j, one.size());
    EXPECT_EQ(extra, RevealOnly);
    for (const QString &line : one) {
        EXPECT_FALSE(line.contains(QStringLiteral("revealTrans"))) << line.toStdString();
        EXPECT_FALSE(line.contains(QStringLiteral("id "))) << line.toStdString();
        EXPECT_FALSE(line.contains(QStringLiteral("id="))) << line.toStdString();
    }
}

struct TitleRow {
    const char *name;
    const char *title;
    const char *cell;
};

class PhotoalbumTitleTest : public ::testing::TestWithParam<TitleRow>
{
};

TEST_P(PhotoalbumTitleTest, TitleCellHoldsTheTitleAsTyped)
{
    PhotoalbumPage page = Album(1, false);
    page.title = QString::fromUtf8(GetParam().title);
    const QStringList cells = PhotoalbumBodyLines(page).filter(QStringLiteral("<SPAN class=wit>"));
    ASSERT_EQ(cells.size(), 1);
    EXPECT_TRUE(cells.first().endsWith(QString::fromUtf8(GetParam().cell))) << cells.first().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Titles, PhotoalbumTitleTest,
    ::testing::Values(TitleRow{"Empty", "", "align=\"center\"><SPAN class=wit><b></b></SPAN></td>"},
                      TitleRow{"PlaceholderLookalike", "100%1 %2 fun", "<b>100%1 %2 fun</b></SPAN></td>"}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(PhotoalbumPage, HeadEndsOnceAndTheBodyStartsWithAnEmptyLine)
{
    for (bool reveal : {false, true}) {
        const QStringList body = PhotoalbumBodyLines(Album(3, reveal));
        EXPECT_EQ((PageHeadLines() + body).count(QStringLiteral("</head>")), 1);
        EXPECT_TRUE(body.first().isEmpty());
        // "</head>" is body line 40, or 27 once the thirteen reveal lines are left out.
        EXPECT_EQ(body.indexOf(QStringLiteral("</head>")), reveal ? 39 : 26);
    }
}

} // namespace
