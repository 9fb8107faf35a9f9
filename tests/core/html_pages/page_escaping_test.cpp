#include "html_pages/page_escaping.h"
#include "html_pages/page_file.h"

#include <gtest/gtest.h>

namespace
{

TEST(EscapeTest, TextFromANameStaysTextOnItsLine)
{
    const struct {
        QString text;
        QByteArray asPageText;     // PageText, then the page's encoding
        QByteArray asScriptString; // ScriptStringText, then the page's encoding
    } rows[] = {
        {QStringLiteral("C:/FOTO/BEACH 2-b_c.JPG"), "C:/FOTO/BEACH 2-b_c.JPG", "C:/FOTO/BEACH 2-b_c.JPG"},
        {QStringLiteral("<a href=\"x\">&amp;'</a>"), "&lt;a href=&quot;x&quot;&gt;&amp;amp;'&lt;/a&gt;",
         "\\u003ca href=\\u0022x\\u0022\\u003e\\u0026amp;\\u0027\\u003c/a\\u003e"},
        {QStringLiteral("</script>\\"), "&lt;/script&gt;\\", "\\u003c/script\\u003e\\u005c"},
        // A newline in a name must not end the page's line, nor a script's string.
        {QStringLiteral("a\nb\rc\td\x7f"), "a&#10;b&#13;c&#9;d&#127;", "a\\u000ab\\u000dc\\u0009d\\u007f"},
        // Outside ASCII: references in text; in a script, escapes the script reads (it reads no references).
        {QString::fromUcs4(U"\u00e9\u2028\U0001F600"), "&#233;&#8232;&#128512;",
         "\\u00e9\\u2028\\ud83d\\ude00"},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(EncodePageText(PageText(row.text)), row.asPageText);
        EXPECT_EQ(EncodePageText(ScriptStringText(row.text)), row.asScriptString);
    }
}

} // namespace
