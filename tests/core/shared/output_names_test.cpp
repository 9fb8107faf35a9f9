#include "shared/output_names.h"

#include <gtest/gtest.h>

namespace
{

struct NameRow {
    const char *name;
    QString text;
    bool plain;
};

class IsPlainNameTest : public ::testing::TestWithParam<NameRow>
{
};

TEST_P(IsPlainNameTest, OnlySinglePlainComponentsPass)
{
    EXPECT_EQ(IsPlainName(GetParam().text), GetParam().plain) << qPrintable(GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Names, IsPlainNameTest,
    ::testing::Values(NameRow{"Word", "Holiday", true}, NameRow{"Blanks", "My holiday 2024", true},
                      NameRow{"Quotes", "Jan's \"best\"", true},
                      NameRow{"NonAscii", QString::fromUtf8("Zomer \xc3\xa9t\xc3\xa9 \xe5\xa4\x8f"), true},
                      NameRow{"LeadingDots", "..hidden", true}, NameRow{"ThreeDots", "...", true},
                      NameRow{"DotsInside", "a..b", true}, NameRow{"Colon", "Time 10:30", true},
                      NameRow{"Empty", "", false}, NameRow{"Dot", ".", false}, NameRow{"DotDot", "..", false},
                      NameRow{"Slash", "a/b", false}, NameRow{"ParentPath", "../up", false},
                      NameRow{"TrailingSlash", "album/", false}, NameRow{"Backslash", "a\\b", false},
                      NameRow{"BackslashParent", "..\\up", false}, NameRow{"Absolute", "/tmp/x", false},
                      NameRow{"Drive", "C:", false}, NameRow{"DrivePath", "c:temp", false},
                      NameRow{"DriveLetterColon", "a:b", false},
                      NameRow{"Nul", QStringLiteral("a") + QChar(0) + QStringLiteral("b"), false}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(OutputNames, RefusalTextsNameTheTypedName)
{
    EXPECT_EQ(FolderNotAllowedText("../x"), "Folder ../x not allowed...");
    EXPECT_EQ(FileNameNotAllowedText("a/b"), "File name a/b not allowed...");
}

} // namespace
