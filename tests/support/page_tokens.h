#pragma once

// What a browser makes of a page, in outline: its tags in order, each with its attribute names,
// and the page's own script (the text of its script elements and the values of its on* attributes).
// Two pages with the same tokens have the same elements and run the same script.

#include <QByteArray>
#include <QRegularExpression>
#include <QStringList>

namespace PageTokens
{

// "<td width height>", "</td>", "script text: ..." and "onclick=..." in page order. Comments are
// skipped; the text of script and style elements is raw up to their end tag, as a browser reads it.
// A quote opens a value only after "=".
inline QStringList Of(const QByteArray &page)
{
    static const QRegularExpression piece(
        QStringLiteral(
            "<!--.*?(?:-->|$)|<(/?)([A-Za-z][^\\s/>]*)((?:[^>\"'=]|=\\s*(?:\"[^\"]*\"|'[^']*')?|[\"'])*)>"),
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression attribute(
        QStringLiteral("([^\\s/>=]+)(?:\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]*)))?"));
    const QString text = QString::fromLatin1(page);
    QStringList tokens;
    qsizetype at = 0;
    for (QRegularExpressionMatch m; (m = piece.match(text, at)).hasMatch();) {
        at = m.capturedEnd();
        if (m.capturedLength(2) == 0)
            continue; // a comment
        const QString name = m.captured(2).toLower();
        QString token = QLatin1Char('<') + m.captured(1) + name;
        QStringList handlers;
        for (const QRegularExpressionMatch &a : attribute.globalMatch(m.captured(3))) {
            const QString key = a.captured(1).toLower();
            token += QLatin1Char(' ') + key;
            if (key.startsWith(QLatin1String("on")))
                handlers << key + QLatin1Char('=') + a.captured(2) + a.captured(3) + a.captured(4);
        }
        tokens << token + QLatin1Char('>') << handlers;
        if (m.capturedLength(1) == 0 && (name == QLatin1String("script") || name == QLatin1String("style"))) {
            const qsizetype close = text.indexOf(QLatin1String("</") + name, at, Qt::CaseInsensitive);
            const qsizetype end = close < 0 ? text.size() : close;
            tokens << name + QStringLiteral(" text: ") + text.mid(at, end - at);
            at = end;
        }
    }
    return tokens;
}

} // namespace PageTokens
