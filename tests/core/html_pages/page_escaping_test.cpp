#include "html_pages/page_escaping.h"
#include "html_pages/page_file.h"

#include <gtest/gtest.h>

namespace
{

struct EscapeRow {
    const char *name;
    QString text;
    QByteArray asPageText;     // PageText, then the page's encoding
    QByteArray asScriptString; // ScriptStringText, then the page's encoding
};
void PrintTo(const EscapeRow &row, std::ostream *os)
{
    *os << row.name;
}

class EscapeTest : public ::testing::TestWithParam<EscapeRow>
{
};

TEST_P(EscapeTest, TextFromANameStaysTextOnItsLine)
{
    EXPECT_EQ(EncodePageText(PageText(GetParam().text)), GetParam().asPageText);
    EXPECT_EQ(EncodePageText(ScriptStringText(GetParam().text)), GetParam().asScriptString);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EscapeTest,
    ::testing::Values(
        EscapeRow{"PlainNameUnchanged", QStringLiteral("C:/FOTO/BEACH 2-b_c.JPG"), "C:/FOTO/BEACH 2-b_c.JPG",
                  "C:/FOTO/BEACH 2-b_c.JPG"},
        EscapeRow{"Markup", QStringLiteral("<a href=\"x\">&amp;'</a>"),
                  "&lt;a href=&quot;x&quot;&gt;&amp;amp;'&lt;/a&gt;",
                  "\\u003ca href=\\u0022x\\u0022\\u003e\\u0026amp;\\u0027\\u003c/a\\u003e"},
        EscapeRow{"EndOfScript", QStringLiteral("</script>\\"), "&lt;/script&gt;\\",
                  "\\u003c/script\\u003e\\u005c"},
        // A newline in a name must not end the page's line, nor a script's string.
        EscapeRow{"ControlCharacters", QStringLiteral("a\nb\rc\td\x7f"), "a&#10;b&#13;c&#9;d&#127;",
                  "a\\u000ab\\u000dc\\u0009d\\u007f"},
        // Outside ASCII: references in text; in a script, escapes the script reads (it reads no references).
        EscapeRow{"OutsideAscii", QString::fromUcs4(U"\u00e9\u2028\U0001F600"), "&#233;&#8232;&#128512;",
                  "\\u00e9\\u2028\\ud83d\\ude00"}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
