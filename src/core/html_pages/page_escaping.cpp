#include "html_pages/page_escaping.h"

namespace
{

bool IsControl(char16_t c)
{
    return c < 0x20 || c == 0x7F;
}

} // namespace

QString PageText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case u'&':
            out += QStringLiteral("&amp;");
            break;
        case u'<':
            out += QStringLiteral("&lt;");
            break;
        case u'>':
            out += QStringLiteral("&gt;");
            break;
        case u'"':
            out += QStringLiteral("&quot;");
            break;
        default:
            if (IsControl(ch.unicode()))
                out += QStringLiteral("&#%1;").arg(ch.unicode());
            else
                out += ch;
        }
    }
    return out;
}

QString ScriptStringText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        const bool plain = c < 0x80 && !IsControl(c) && c != u'\\' && c != u'"' && c != u'\'' && c != u'<' &&
                           c != u'>' && c != u'&';
        if (plain)
            out += ch;
        else // UTF-16 units, as the script reads them: a pair stays a pair
            out += QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'));
    }
    return out;
}
