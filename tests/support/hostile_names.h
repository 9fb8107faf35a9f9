#pragma once

// Picture names a stranger may hand over with the pictures (a download, a shared folder, a zip):
// each must reach a page as text, never as markup or script. One table for the logic's test and
// the command line's.

#include "support/page_tokens.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QRegularExpression>
#include <gtest/gtest.h>

struct HostileName {
    const char *name;
    QByteArray folder; // a folder of its own below the pictures' folder, as bytes on disk; may be empty
    QByteArray file;   // the file's name, as bytes on disk
};

inline void PrintTo(const HostileName &name, std::ostream *os)
{
    *os << name.name;
}

inline const QList<HostileName> &HostileNames()
{
    static const QList<HostileName> names{
        {"DoubleQuote", {}, "say \"cheese\".jpg"},
        {"SingleQuote", {}, "it's 'me'.jpg"},
        {"AngleBrackets", {}, "<b>bold<i>.jpg"},
        {"Ampersands", {}, "Tom&amp;Jerry & co&lt;.jpg"},
        // A file name holds no "/": the folder above it completes "</script>".
        {"EndOfScript", "x<", "script><script>alert(1)<!x.jpg"},
        {"AttributeBreakout", {}, "a.jp\"><script>alert(1)<'x"},
        {"EventHandler", {}, "x\" onerror=\"alert(1)\" y=\".jpg"},
        {"CommentStart", {}, "<!-- a -->.JPG"},
        {"Newlines", {}, "two\nlines\r.jpg"},
        {"ArgumentMarkers", {}, "%1 %2 %L1.jpg"},
        {"LeadingDash", {}, "-h.jpg"},
        {"LeadingDoubleDash", {}, "--title=x.jpeg"},
        {"NotUtf8", {}, "caf\xe9 \xff\xfe.jpg"},
    };
    return names;
}

// Whether the program can name the file at all: a path that is not UTF-8 does not survive Qt's
// decoding into text (its bytes become U+FFFD), so no picture of that name can be opened.
inline bool QtCanName(const QByteArray &bytes)
{
    return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
}

// The page's text as a browser shows it: &amp; &lt; &gt; &quot; (in capitals too, as browsers
// read them) and numeric references decoded.
inline QString ShownText(const QByteArray &page)
{
    static const QRegularExpression reference(QStringLiteral("&(#\\d+|amp|lt|gt|quot|AMP|LT|GT|QUOT);"));
    const QString text = QString::fromLatin1(page);
    QString shown;
    qsizetype at = 0;
    for (const QRegularExpressionMatch &m : reference.globalMatch(text)) {
        shown += text.mid(at, m.capturedStart() - at);
        const QString name = m.captured(1).toLower();
        if (name.startsWith(QLatin1Char('#'))) {
            const char32_t c = name.mid(1).toUInt();
            shown += QString::fromUcs4(&c, 1);
        } else {
            shown += name == QLatin1String("amp")  ? QLatin1Char('&')
                     : name == QLatin1String("lt") ? QLatin1Char('<')
                     : name == QLatin1String("gt") ? QLatin1Char('>')
                                                   : QLatin1Char('"');
        }
        at = m.capturedEnd();
    }
    return shown + text.mid(at);
}

// A page made with a hostile name against the same page made with plain names: the same lines, the
// same elements, the same script, and the name shown as text wherever the plain page shows its name.
inline void ExpectNameOnlyAsText(const QByteArray &plain, const QByteArray &hostile, const QString &plainPath,
                                 const QString &hostilePath)
{
    EXPECT_TRUE(hostile.endsWith("</html>\r\n"));
    EXPECT_EQ(hostile.count("\r\n"), plain.count("\r\n")) << "as many lines";
    EXPECT_EQ(hostile.count('\n'), hostile.count("\r\n")) << "every line ends in CR LF";
    EXPECT_EQ(hostile.count('\r'), hostile.count("\r\n")) << "every line ends in CR LF";
    EXPECT_EQ(PageTokens::Of(hostile), PageTokens::Of(plain)) << "the same elements and script";
    for (const QString &shown : {plainPath.section(QLatin1Char('/'), -1), plainPath.toUpper()}) {
        const QString hostileShown =
            shown == plainPath.toUpper() ? hostilePath.toUpper() : hostilePath.section(QLatin1Char('/'), -1);
        if (ShownText(plain).contains(shown)) {
            EXPECT_TRUE(ShownText(hostile).contains(hostileShown)) << "shown as it is named";
        }
    }
}
