#pragma once

// What a browser makes of a page, in outline: its tags in order, each with its attribute names,
// and the page's own script (the text of its script elements and the values of its on* attributes).
// Two pages with the same tokens have the same elements and run the same script.

#include <QByteArray>
#include <QStringList>

namespace PageTokens
{

inline bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// "<td width height>", "</td>", "script text: ..." and "onclick=..." in page order. Comments are
// skipped; the text of script and style elements is raw up to their end tag, as a browser reads it.
inline QStringList Of(const QByteArray &page)
{
    QStringList tokens;
    qsizetype i = 0;
    const qsizetype n = page.size();
    while (i < n) {
        if (page.mid(i, 4) == "<!--") {
            const qsizetype end = page.indexOf("-->", i + 4);
            i = end < 0 ? n : end + 3;
            continue;
        }
        const bool endTag = page.mid(i, 2) == "</";
        const qsizetype nameAt = i + (endTag ? 2 : 1);
        if (page[i] != '<' || nameAt >= n || !IsLetter(page[nameAt])) {
            ++i;
            continue;
        }
        i = nameAt;
        while (i < n && !IsSpace(page[i]) && page[i] != '>' && page[i] != '/')
            ++i;
        const QByteArray name = page.mid(nameAt, i - nameAt).toLower();
        QString token = (endTag ? QStringLiteral("</") : QStringLiteral("<")) + QString::fromLatin1(name);
        QStringList handlers;
        while (i < n && page[i] != '>') {
            if (IsSpace(page[i]) || page[i] == '/') {
                ++i;
                continue;
            }
            const qsizetype attributeAt = i;
            while (i < n && !IsSpace(page[i]) && page[i] != '>' && page[i] != '=' &&
                   !(page[i] == '/' && i > attributeAt))
                ++i;
            const QByteArray attribute = page.mid(attributeAt, i - attributeAt).toLower();
            QByteArray value;
            while (i < n && IsSpace(page[i]))
                ++i;
            if (i < n && page[i] == '=') {
                ++i;
                while (i < n && IsSpace(page[i]))
                    ++i;
                if (i < n && (page[i] == '"' || page[i] == '\'')) {
                    const qsizetype close = page.indexOf(page[i], i + 1);
                    const qsizetype end = close < 0 ? n : close;
                    value = page.mid(i + 1, end - i - 1);
                    i = end + 1;
                } else {
                    const qsizetype valueAt = i;
                    while (i < n && !IsSpace(page[i]) && page[i] != '>')
                        ++i;
                    value = page.mid(valueAt, i - valueAt);
                }
            }
            token += QLatin1Char(' ') + QString::fromLatin1(attribute);
            if (attribute.startsWith("on"))
                handlers << QString::fromLatin1(attribute + '=' + value);
        }
        ++i;
        tokens << token + QLatin1Char('>') << handlers;
        if (!endTag && (name == "script" || name == "style")) {
            const qsizetype close = page.toLower().indexOf("</" + name, i);
            const qsizetype end = close < 0 ? n : close;
            tokens << QString::fromLatin1(name) + QStringLiteral(" text: ") +
                          QString::fromLatin1(page.mid(i, end - i));
            i = end;
        }
    }
    return tokens;
}

} // namespace PageTokens
