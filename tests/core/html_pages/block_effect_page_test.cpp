#include "html_pages/block_effect_page.h"
#include "html_pages/page_head.h"

#include <gtest/gtest.h>
#include <string>

namespace
{

// The entries of the picture list: the lines after "var slideimages=new Array(" up to the empty line.
QStringList PictureListLines(const QStringList &body)
{
    const qsizetype start = body.indexOf(QStringLiteral("var slideimages=new Array(")) + 1;
    const qsizetype end = body.indexOf(QString(), start);
    return start > 0 && end > start ? body.mid(start, end - start) : QStringList();
}

struct ListRow {
    const char *name;
    int pictures;
    const char *first;
    const char *last;
};

class BlockEffectListTest : public ::testing::TestWithParam<ListRow>
{
};

TEST_P(BlockEffectListTest, OneEntryPerPictureAndOnlyTheLastClosesTheArray)
{
    const ListRow row = GetParam();
    const QStringList list =
        PictureListLines(BlockEffectBodyLines(row.pictures, 15, QStringLiteral("#E0F0E0")));
    ASSERT_EQ(list.size(), row.pictures);
    EXPECT_EQ(list.first().toStdString(), row.first);
    EXPECT_EQ(list.last().toStdString(), row.last);
    for (int i = 0; i < list.size() - 1; ++i)
        EXPECT_TRUE(list[i].endsWith(QStringLiteral(".jpg\","))) << list[i].toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Counts, BlockEffectListTest,
    ::testing::Values(ListRow{"OnePicture", 1, "  \"images/picture1.jpg\")", "  \"images/picture1.jpg\")"},
                      ListRow{"ThreePictures", 3, "  \"images/picture1.jpg\",", "  \"images/picture3.jpg\")"},
                      ListRow{"HundredPictures", 100, "  \"images/picture1.jpg\",",
                              "  \"images/picture100.jpg\")"}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(BlockEffectPage, HeadEndsOnceAndTheBodyStartsWithAnEmptyLine)
{
    for (int pictures : {1, 3, 100}) {
        const QStringList body = BlockEffectBodyLines(pictures, 15, QStringLiteral("#123456"));
        const QStringList page = PageHeadLines() + body;
        EXPECT_EQ(page.count(QStringLiteral("</head>")), 1) << pictures;
        EXPECT_TRUE(body.first().isEmpty());
        const qsizetype head = body.indexOf(QStringLiteral("</head>"));
        EXPECT_EQ(head, pictures + 14);
        EXPECT_EQ(body.value(head + 1),
                  QStringLiteral("<body bgcolor=\"#123456\" topmargin=\"10\" leftmargin=\"10\">"));
    }
}

} // namespace
