#pragma once

// Picture names a stranger may hand over with the pictures (a download, a shared folder, a zip):
// each must reach a page as text, never as markup or script. One table for the logic's test and
// the command line's.

#include "support/page_tokens.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QRegularExpression>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

struct HostileName {
    QByteArray folder; // a folder of its own below the pictures' folder, as bytes on disk; may be empty
    QByteArray file;   // the file's name, as bytes on disk
};

inline const QList<HostileName> &HostileNames()
{
    static const QList<HostileName> names{
        {{}, "say \"cheese\".jpg"},
        {{}, "it's 'me'.jpg"},
        {{}, "<b>bold<i>.jpg"},
        {{}, "Tom&amp;Jerry & co&lt;.jpg"},
        // A file name holds no "/": the folder above it completes "</script>".
        {"x<", "script><script>alert(1)<!x.jpg"},
        {{}, "a.jp\"><script>alert(1)<'x"},
        {{}, "x\" onerror=\"alert(1)\" y=\".jpg"},
        {{}, "<!-- a -->.JPG"},
        {{}, "two\nlines\r.jpg"},
        {{}, "%1 %2 %L1.jpg"},
        {{}, "-h.jpg"},
        {{}, "--title=x.jpeg"},
        {{}, "caf\xe9 \xff\xfe.jpg"}, // not UTF-8
    };
    return names;
}

// The table's pictures written below `fotos`, each beside a plain-named twin. A path that is not
// UTF-8 does not survive Qt's decoding into text (its bytes become U+FFFD), so no picture of that
// name can be opened: those are kept apart.
struct HostileFiles {
    QList<QByteArray> plain, hostile, unnameable;
    // Qt cannot name those either to take them away with their temporary folder.
    ~HostileFiles()
    {
        for (const QByteArray &path : unnameable)
            ::unlink(path.constData());
    }
};

inline HostileFiles WriteHostileFiles(const QByteArray &fotos)
{
    const QByteArray jpeg = PictureFiles::JpegBytes(TestPictures::Quadrants(64, 48));
    const auto write = [&](const QByteArray &path) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        const bool written = fd >= 0 && ::write(fd, jpeg.constData(), size_t(jpeg.size())) == jpeg.size();
        EXPECT_TRUE(::close(fd) == 0 && written) << path.data();
        return path;
    };
    EXPECT_EQ(::mkdir(fotos.constData(), 0755), 0);
    HostileFiles files;
    for (const HostileName &name : HostileNames()) {
        QByteArray path = fotos + '/';
        if (!name.folder.isEmpty()) {
            path += name.folder + '/';
            EXPECT_EQ(::mkdir(path.constData(), 0755), 0);
        }
        write(path += name.file);
        if (QFile::encodeName(QFile::decodeName(path)) != path) {
            files.unnameable << path;
            continue;
        }
        files.hostile << path;
        files.plain << write(fotos + "/plain" + QByteArray::number(files.plain.size() + 1) + ".jpg");
    }
    return files;
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
        static const QStringList names{QStringLiteral("amp"), QStringLiteral("lt"), QStringLiteral("gt"),
                                       QStringLiteral("quot")};
        const char32_t c =
            name.startsWith(QLatin1Char('#')) ? name.mid(1).toUInt() : U"&<>\""[names.indexOf(name)];
        shown += QString::fromUcs4(&c, 1);
        at = m.capturedEnd();
    }
    return shown + text.mid(at);
}

// A page made of the hostile names against the same page made of their plain twins: the same
// lines, the same elements, the same script, and each name shown as text wherever the plain page
// shows its twin (by file name, or by whole path in capitals). Returns how many twins it shows.
inline int ExpectNamesOnlyAsText(const QByteArray &plain, const QByteArray &hostile,
                                 const HostileFiles &files)
{
    EXPECT_EQ(hostile.count("\r\n"), plain.count("\r\n")) << "as many lines";
    EXPECT_EQ(hostile.count('\n') + hostile.count('\r'), 2 * hostile.count("\r\n"))
        << "every line ends in CR LF";
    EXPECT_EQ(PageTokens::Of(hostile), PageTokens::Of(plain)) << "the same elements and script";
    const QString plainShown = ShownText(plain), hostileShown = ShownText(hostile);
    int shown = 0;
    for (qsizetype i = 0; i < files.hostile.size(); ++i) {
        const QString twin = QFile::decodeName(files.plain[i]), name = QFile::decodeName(files.hostile[i]);
        SCOPED_TRACE(name.toStdString());
        const bool byName = plainShown.contains(QFileInfo(twin).fileName()),
                   byPath = plainShown.contains(twin.toUpper());
        EXPECT_TRUE(!byName || hostileShown.contains(QFileInfo(name).fileName())) << "shown by its name";
        EXPECT_TRUE(!byPath || hostileShown.contains(name.toUpper())) << "shown by its path";
        shown += byName || byPath;
    }
    return shown;
}
