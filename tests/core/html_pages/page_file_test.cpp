#include "html_pages/page_file.h"

#include "support/golden.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

struct EncodeRow {
    const char *name;
    QString text;
    QByteArray bytes;
};
void PrintTo(const EncodeRow &row, std::ostream *os)
{
    *os << row.name;
}

class EncodePageTextTest : public ::testing::TestWithParam<EncodeRow>
{
};

TEST_P(EncodePageTextTest, KeepsAsciiAndWritesEveryOtherCharacterAsANumericReference)
{
    EXPECT_EQ(EncodePageText(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, EncodePageTextTest,
    ::testing::Values(EncodeRow{"AsciiAndMarkupUnchanged", QStringLiteral("<b>A & \"z\"</b>\t~\x7f"),
                                QByteArray("<b>A & \"z\"</b>\t~\x7f")},
                      // Latin-1 letters too: one byte each would read as U+FFFD under UTF-8.
                      EncodeRow{"LatinAsReferences", QStringLiteral("caf\u00e9 \u00ff\u00a0\u0080"),
                                QByteArray("caf&#233; &#255;&#160;&#128;")},
                      EncodeRow{"EuroAndQuotesAsReferences", QStringLiteral("\u20ac5 \u201cx\u201d"),
                                QByteArray("&#8364;5 &#8220;x&#8221;")},
                      EncodeRow{"CyrillicAsReference", QStringLiteral("\u0416a"), QByteArray("&#1046;a")},
                      // One reference for the whole character, not one per UTF-16 half.
                      EncodeRow{"OutsideBasicPlaneAsOneReference", QString::fromUcs4(U"x\U0001F600"),
                                QByteArray("x&#128512;")},
                      EncodeRow{"Empty", QString(), QByteArray()}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(WritePageFileTest, EndsEveryLineWithCrLfAndWritesNoByteOrderMark)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("page.html"));
    ASSERT_TRUE(WritePageFile(path, {QStringLiteral("<html>"), QString(), QStringLiteral(" "),
                                     QStringLiteral("\u00e9\u0416"), QStringLiteral("</html>")}));
    EXPECT_EQ(PictureFiles::ReadBytes(path), QByteArray("<html>\r\n\r\n \r\n&#233;&#1046;\r\n</html>\r\n"));
}

TEST(WritePageFileTest, ReportsAFileThatCannotBeWrittenAndLeavesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missingFolder = dir.filePath(QStringLiteral("absent/page.html"));
    const Status written = WritePageFile(missingFolder, {QStringLiteral("<html>")});
    EXPECT_FALSE(written);
    EXPECT_FALSE(written.reason().isEmpty());
    EXPECT_FALSE(QFile::exists(missingFolder));

    // A folder standing at the page path stays a folder.
    const QString blocked = dir.filePath(QStringLiteral("blocked.html"));
    ASSERT_TRUE(QDir().mkdir(blocked));
    EXPECT_FALSE(WritePageFile(blocked, {QStringLiteral("<html>")}));
    EXPECT_TRUE(QFileInfo(blocked).isDir());
}

} // namespace
