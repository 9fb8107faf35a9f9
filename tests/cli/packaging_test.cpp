// The man page and the bash completion name the kinds, options and preset sizes the program has.

#include "cli/make_options.h"
#include "shared/production_kinds.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace
{

QString Packaging(const char *name)
{
    QFile file(QStringLiteral(GALVORA_TEST_DATA "/../../packaging/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return QString::fromUtf8(file.readAll());
}

// The man page's text between `from` and the next line starting with `until`, its "\-" as "-".
QString ManSection(const QString &page, const QString &from, const QString &until)
{
    const qsizetype start = page.indexOf(from);
    EXPECT_GE(start, 0) << from.toStdString();
    const qsizetype end = page.indexOf(QLatin1Char('\n') + until, start + from.size());
    return page.mid(start, end - start).replace(QStringLiteral("\\-"), QStringLiteral("-"));
}

// The text as the man page shows it: font macros and line breaks gone.
QString Plain(QString text)
{
    text.replace(QRegularExpression(QStringLiteral("\\n\\.[A-Z]+ ")), QStringLiteral(" "));
    return text.replace(QStringLiteral(" ,"), QStringLiteral(","))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
}

QStringList Sorted(QStringList list)
{
    list.sort();
    return list;
}

QStringList LongOnly(const QStringList &names)
{
    return names.filter(QRegularExpression(QStringLiteral("^--")));
}

// "thumbnails 160x120" for every kind with a preset, as "160x120 for thumbnails, ..." reads.
bool NamesPresets(const QString &text)
{
    for (const ProductionKind &kind : ProductionKinds()) {
        if (!kind.takesSize())
            continue;
        const QRegularExpression phrase(QStringLiteral("%1x%2 for [a-z0-9, -]*\\b%3\\b")
                                            .arg(kind.presetWidth)
                                            .arg(kind.presetHeight)
                                            .arg(kind.commandName()));
        if (!phrase.match(QString(text).replace(QStringLiteral(" and "), QStringLiteral(", "))).hasMatch()) {
            ADD_FAILURE() << "no preset for " << kind.name;
            return false;
        }
    }
    return true;
}

TEST(PackagingTest, TheManPageNamesEveryKindOptionPresetAndTheKindsThatShowTheTitle)
{
    const QString page = Packaging("galvora.1");
    const QString kinds = ManSection(page, QStringLiteral(".I KIND\nis one of"), QStringLiteral(".TP"));
    QStringList named;
    for (const QRegularExpressionMatch &m :
         QRegularExpression(QStringLiteral("^\\.BR? ([a-z0-9-]+)"), QRegularExpression::MultilineOption)
             .globalMatch(kinds))
        named << m.captured(1);
    EXPECT_EQ(named, KindNames());

    const QString options =
        ManSection(page, QStringLiteral(".SH MAKING AN ALBUM"), QStringLiteral(".SH EXIT STATUS"));
    QStringList described;
    for (const QRegularExpressionMatch &m :
         QRegularExpression(
             QStringLiteral("^\\.TP\\n\\.BI? (?:-[a-z] \"[^\"]*\" \"\\\\fR, \\\\fP)?(--[a-z-]+)"),
             QRegularExpression::MultilineOption)
             .globalMatch(options))
        described << m.captured(1);
    EXPECT_EQ(Sorted(described), Sorted(LongOnly(MakeOptionNames())));

    const QString size = ManSection(options, QStringLiteral("--size"), QStringLiteral(".TP"));
    EXPECT_TRUE(NamesPresets(Plain(size))) << size.toStdString();
    const QString title = ManSection(options, QStringLiteral("--title"), QStringLiteral(".TP"));
    EXPECT_TRUE(Plain(title).contains(
        SpokenList(KindNames([](const ProductionKind &kind) { return kind.showsTitle; }))))
        << title.toStdString();
}

TEST(PackagingTest, TheBashCompletionOffersEveryKindAndOptionAndWaitsForTheirValues)
{
    const QString script = Packaging("galvora.bash-completion");
    QList<QStringList> wordLists;
    for (const QRegularExpressionMatch &m :
         QRegularExpression(QStringLiteral("compgen -W '([^']*)'")).globalMatch(script))
        wordLists << m.captured(1).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    const auto listWith = [&](const QString &word) {
        for (const QStringList &words : wordLists)
            if (words.contains(word))
                return words;
        return QStringList();
    };
    EXPECT_EQ(listWith(QStringLiteral("picture-show")), KindNames());
    EXPECT_EQ(Sorted(listWith(QStringLiteral("--output"))),
              Sorted(LongOnly(MakeOptionNames()) << QStringLiteral("--help")));

    // The options after which the completion offers no file: each that takes a value.
    QStringList waiting;
    for (const QRegularExpressionMatch &m :
         QRegularExpression(QStringLiteral("^ +(-[^)]*)\\)$"), QRegularExpression::MultilineOption)
             .globalMatch(script))
        waiting << m.captured(1).split(QStringLiteral(" | "));
    EXPECT_EQ(Sorted(waiting), Sorted(MakeOptionNames(true)));
}

} // namespace
