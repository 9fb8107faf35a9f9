// `galvora make` as a script runs it: the real program, with no display, checked by its exit
// status, what it says on standard error and what it leaves on disk.

#include "galvora_process.h"
#include "shared/production_kinds.h"
#include "support/test_pictures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace
{

class MakeCommandLineTest : public ::testing::Test
{
  protected:
    QTemporaryDir work;

    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        for (const char *name : {"a.jpg", "b.jpg", "d.jpg", "e.jpg"})
            ASSERT_TRUE(
                TestPictures::WriteJpeg(TestPictures::Quadrants(64, 48), work.filePath(QLatin1String(name))));
        QFile damaged(work.filePath(QStringLiteral("c.jpg")));
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray("\xFF\xD8\xFF\xE0 not a whole picture", 24));
        damaged.close();
        ASSERT_TRUE(QDir(work.path()).mkdir(QStringLiteral("existing")));
        // A folder without pictures, something that is neither file nor folder, and an album
        // beside which someone keeps notes.
        ASSERT_TRUE(QDir(work.path()).mkpath(QStringLiteral("texts")));
        ASSERT_TRUE(WriteText(QStringLiteral("texts/notes.txt")));
        ASSERT_EQ(::mkfifo(QFile::encodeName(work.filePath(QStringLiteral("pipe"))).constData(), 0600), 0);
        ASSERT_TRUE(QDir(work.path()).mkpath(QStringLiteral("kept/images")));
        for (const char *name : {"kept/index.html", "kept/images/picture1.jpg", "kept/notes.txt"})
            ASSERT_TRUE(WriteText(QLatin1String(name)));
    }

    bool WriteText(const QString &relative)
    {
        QFile file(work.filePath(relative));
        return file.open(QIODevice::WriteOnly) && file.write("text\n") == 5;
    }
};

struct BadLine {
    const char *name;
    QStringList arguments;
    int status;
    const char *message; // a part of what standard error says
    QStringList madeFiles;
};
void PrintTo(const BadLine &line, std::ostream *os)
{
    *os << line.name;
}

class BadCommandLineTest : public MakeCommandLineTest, public ::testing::WithParamInterface<BadLine>
{
};

TEST_P(BadCommandLineTest, EndsWithItsStatusAndMessageAndWritesNothingForAUsageError)
{
    const BadLine &line = GetParam();
    const QStringList before = Tree(work.path());
    const Finished run = RunGalvora(QStringList{QStringLiteral("make")} + line.arguments, work.path());
    EXPECT_EQ(run.status, line.status) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QString::fromUtf8(line.message))) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    if (line.status == 2) {
        EXPECT_TRUE(
            run.err.trimmed().endsWith(QStringLiteral("Try 'galvora make --help' for more information.")))
            << run.err.toStdString();
    }
    QStringList after = Tree(work.path());
    for (const QString &made : line.madeFiles)
        EXPECT_TRUE(after.removeOne(made)) << made.toStdString();
    EXPECT_EQ(after, before);
}

const QStringList Two{QStringLiteral("a.jpg"), QStringLiteral("b.jpg")};
const QStringList Out{QStringLiteral("-o"), QStringLiteral("out")};

INSTANTIATE_TEST_SUITE_P(
    Lines, BadCommandLineTest,
    ::testing::Values(
        BadLine{
            "UnknownKind", QStringList{QStringLiteral("poster")} + Out + Two, 2, "unknown kind 'poster'", {}},
        BadLine{"NoKind", QStringList{}, 2, "what to make is missing", {}},
        BadLine{"MissingOutput",
                QStringList{QStringLiteral("thumbnails")} + Two,
                2,
                "--output FOLDER is missing",
                {}},
        BadLine{"ExistingOutput",
                QStringList{QStringLiteral("thumbnails"), QStringLiteral("-o"), QStringLiteral("existing")} +
                    Two,
                1,
                "Map existing existing...",
                {}},
        BadLine{"OutputInAFolderThatIsNotThere",
                QStringList{QStringLiteral("thumbnails"), QStringLiteral("-o"), QStringLiteral("no/out")} +
                    Two,
                1,
                "No such file or directory",
                {}},
        BadLine{"SizeNotANumber",
                QStringList{QStringLiteral("thumbnails"), QStringLiteral("-s"), QStringLiteral("abc")} + Out +
                    Two,
                2,
                "--size abc is not WIDTHxHEIGHT",
                {}},
        BadLine{"SizeForAKindWithoutOne",
                QStringList{QStringLiteral("slide-show"), QStringLiteral("-s"), QStringLiteral("10x10")} +
                    Out + Two,
                2,
                "--size does not apply to slide-show",
                {}},
        BadLine{"SortForAKindWithoutOrder",
                QStringList{QStringLiteral("thumbnails"), QStringLiteral("--sort"), QStringLiteral("date")} +
                    Out + Two,
                2,
                "--sort applies to web-album only",
                {}},
        BadLine{"SortByWhatIsNoOrder",
                QStringList{QStringLiteral("web-album"), QStringLiteral("--sort"), QStringLiteral("size")} +
                    Out + Two,
                2,
                "--sort size is not 'selection' or 'date'",
                {}},
        BadLine{"QualityBeyond100",
                QStringList{QStringLiteral("resize"), QStringLiteral("-q"), QStringLiteral("300")} + Out +
                    Two,
                2,
                "--quality 300 is not a whole number from 1 to 100",
                {}},
        BadLine{"ColourNotHex",
                QStringList{QStringLiteral("resize"), QStringLiteral("-c"), QStringLiteral("green")} + Out +
                    Two,
                2,
                "--colour green is not RRGGBB",
                {}},
        BadLine{"UnknownOption",
                QStringList{QStringLiteral("resize"), QStringLiteral("--fast")} + Out + Two,
                2,
                "Unknown option 'fast'",
                {}},
        BadLine{"NoPictures", QStringList{QStringLiteral("resize")} + Out, 2, "no pictures given", {}},
        BadLine{"APictureThatIsNotThere",
                QStringList{QStringLiteral("resize")} + Out + Two +
                    QStringList{QStringLiteral("nothere.jpg")},
                2,
                "galvora make: nothere.jpg does not exist\n",
                {}},
        BadLine{"AFolderWithNoPicture",
                QStringList{QStringLiteral("resize")} + Out + QStringList{QStringLiteral("texts")},
                2,
                "galvora make: folder texts holds no picture Galvora reads\n",
                {}},
        BadLine{"NeitherFileNorFolder",
                QStringList{QStringLiteral("resize")} + Out + Two + QStringList{QStringLiteral("pipe")},
                2,
                "galvora make: pipe is a named pipe, not a picture or a folder\n",
                {}},
        BadLine{"ATitleThePageDoesNotShow",
                QStringList{QStringLiteral("thumbnails"), QStringLiteral("-t"), QStringLiteral("Summer")} +
                    Out + Two,
                2,
                "galvora make: --title does not apply to thumbnails\n",
                {}},
        BadLine{"ReplacingAFolderThatHoldsAStrangersFile",
                QStringList{QStringLiteral("thumbnails"), QStringLiteral("--replace"), QStringLiteral("-o"),
                            QStringLiteral("kept")} +
                    Two,
                1,
                "holds files Galvora did not make: notes.txt\n",
                {}},
        BadLine{"ADamagedPictureThirdOfFive",
                QStringList{QStringLiteral("thumbnails")} + Out + Two +
                    QStringList{QStringLiteral("c.jpg"), QStringLiteral("d.jpg"), QStringLiteral("e.jpg")},
                1,
                "c.jpg could not be read: ",
                {QStringLiteral("out"), QStringLiteral("out/images"),
                 QStringLiteral("out/images/picture1.jpg"), QStringLiteral("out/images/picture2.jpg")}}),
    [](const auto &line) { return std::string(line.param.name); });

TEST_F(MakeCommandLineTest, HelpAndVersionNeedNoDisplayAndEndAtOnce)
{
    const Finished help = RunGalvora({QStringLiteral("--help")}, work.path());
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("galvora make KIND [options] PICTURE...")))
        << help.out.toStdString();
    const Finished makeHelp = RunGalvora({QStringLiteral("make"), QStringLiteral("--help")}, work.path());
    EXPECT_EQ(makeHelp.status, 0);
    EXPECT_TRUE(makeHelp.out.contains(QStringLiteral("--keep-proportions"))) << makeHelp.out.toStdString();
    const Finished version = RunGalvora({QStringLiteral("--version")}, work.path());
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("galvora 1."))) << version.out.toStdString();
    EXPECT_EQ(Tree(work.path()).size(), 13) << "nothing written";
}

TEST_F(MakeCommandLineTest, ShowsProgressOneLineAPictureWhenNotOnATerminalAndNothingWhenQuiet)
{
    const Finished loud =
        RunGalvora(QStringList{QStringLiteral("make"), QStringLiteral("resize")} + Out + Two, work.path());
    ASSERT_EQ(loud.status, 0) << loud.err.toStdString();
    EXPECT_EQ(loud.err, QStringLiteral("Convert picture 1 of 2\nConvert picture 2 of 2\nAlbum made: ") +
                            work.filePath(QStringLiteral("out")) + QLatin1Char('\n'));
    EXPECT_EQ(loud.out, work.filePath(QStringLiteral("out")) + QLatin1Char('\n')) << "the album made";
    const Finished quiet =
        RunGalvora(QStringList{QStringLiteral("make"), QStringLiteral("resize"), QStringLiteral("--quiet"),
                               QStringLiteral("-o"), QStringLiteral("out2")} +
                       Two,
                   work.path());
    ASSERT_EQ(quiet.status, 0);
    EXPECT_TRUE(quiet.err.isEmpty()) << quiet.err.toStdString();
    EXPECT_EQ(Tree(work.filePath(QStringLiteral("out2"))),
              (QStringList{QStringLiteral("images"), QStringLiteral("images/picture1.jpg"),
                           QStringLiteral("images/picture2.jpg")}));
}

// Each kind takes -t where its page shows the title and refuses it where it does not.
TEST_F(MakeCommandLineTest, TheTitleIsTakenOnlyByTheKindsWhosePageShowsIt)
{
    for (const ProductionKind &kind : ProductionKinds()) {
        SCOPED_TRACE(kind.name);
        const QString folder = QStringLiteral("t-") + kind.commandName();
        const Finished run =
            RunGalvora({QStringLiteral("make"), kind.commandName(), QStringLiteral("-o"), folder,
                        QStringLiteral("-t"), QStringLiteral("Summer 2026"), QStringLiteral("a.jpg")},
                       work.path());
        EXPECT_EQ(run.status, kind.showsTitle ? 0 : 2) << run.err.toStdString();
        EXPECT_EQ(QFileInfo::exists(work.filePath(folder)), kind.showsTitle);
        if (kind.showsTitle) {
            EXPECT_TRUE(
                QFile(work.filePath(folder + QStringLiteral("/index.html"))).open(QIODevice::ReadOnly));
        }
    }
}

// A folder among the pictures stands for its pictures in name order, whatever their kind and
// name; its other files and its subfolders are not taken.
TEST_F(MakeCommandLineTest, AFolderStandsForItsPicturesInNameOrder)
{
    ASSERT_TRUE(QDir(work.path()).mkpath(QStringLiteral("trip/sub")));
    const QImage picture = TestPictures::Quadrants(64, 48);
    ASSERT_TRUE(picture.save(work.filePath(QStringLiteral("trip/b.png"))));
    ASSERT_TRUE(picture.save(work.filePath(QStringLiteral("trip/A.gif")), "GIF") ||
                picture.save(work.filePath(QStringLiteral("trip/A.gif")), "BMP")); // read by content
    ASSERT_TRUE(
        QFile::copy(work.filePath(QStringLiteral("a.jpg")), work.filePath(QStringLiteral("trip/c.jpeg"))));
    ASSERT_TRUE(
        QFile::copy(work.filePath(QStringLiteral("a.jpg")), work.filePath(QStringLiteral("trip/sub/d.jpg"))));
    ASSERT_TRUE(WriteText(QStringLiteral("trip/notes.txt")));

    const Finished run = RunGalvora({QStringLiteral("make"), QStringLiteral("picture-show"),
                                     QStringLiteral("-o"), QStringLiteral("out"), QStringLiteral("--quiet"),
                                     QStringLiteral("e.jpg"), QStringLiteral("trip")},
                                    work.path());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList sources{QStringLiteral("e.jpg"), QStringLiteral("trip/A.gif"),
                              QStringLiteral("trip/b.png"), QStringLiteral("trip/c.jpeg")};
    const QStringList copies =
        QDir(work.filePath(QStringLiteral("out/images"))).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(copies.size(), sources.size()) << copies.join(QLatin1Char(' ')).toStdString();
    for (qsizetype i = 0; i < sources.size(); ++i) {
        const QString copy = work.filePath(QStringLiteral("out/images/picture%1.").arg(i + 1));
        const QStringList found = copies.filter(QStringLiteral("picture%1.").arg(i + 1));
        ASSERT_EQ(found.size(), 1) << i;
        QFile a(work.filePath(sources[i])), b(work.filePath(QStringLiteral("out/images/")) + found.first());
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly)) << copy.toStdString();
        EXPECT_EQ(a.readAll(), b.readAll()) << sources[i].toStdString();
    }
}

// The token after an option that takes a value is its value, however it looks; -h elsewhere is help.
TEST_F(MakeCommandLineTest, AValueThatLooksLikeAnOptionIsTheOptionsValue)
{
    const Finished named =
        RunGalvora({QStringLiteral("make"), QStringLiteral("photoalbum-1"), QStringLiteral("-n"),
                    QStringLiteral("-"), QStringLiteral("-t"), QStringLiteral("--x"), QStringLiteral("-o"),
                    QStringLiteral("out"), QStringLiteral("a.jpg")},
                   work.path());
    ASSERT_EQ(named.status, 0) << named.err.toStdString();
    QFile page(work.filePath(QStringLiteral("out/-.html")));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().contains("<b>--x</b>"));

    const Finished titled = RunGalvora({QStringLiteral("make"), QStringLiteral("picture-show"),
                                        QStringLiteral("--title"), QStringLiteral("-h"), QStringLiteral("-o"),
                                        QStringLiteral("out2"), QStringLiteral("a.jpg")},
                                       work.path());
    EXPECT_EQ(titled.status, 0) << titled.err.toStdString();
    EXPECT_FALSE(titled.out.contains(QStringLiteral("Usage:")));
    EXPECT_TRUE(QFileInfo::exists(work.filePath(QStringLiteral("out2/index.html"))));

    const Finished help = RunGalvora({QStringLiteral("make"), QStringLiteral("picture-show"),
                                      QStringLiteral("-t"), QStringLiteral("x"), QStringLiteral("-h")},
                                     work.path());
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("Usage: galvora make"))) << help.out.toStdString();
}

// With --open the page goes to the opener; one that cannot be started, or fails, is named on
// standard error as the last line, and the album stays made with exit status 0.
TEST_F(MakeCommandLineTest, APageThatCannotBeOpenedIsNamedWithTheReason)
{
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    const struct {
        const char *name;
        const char *script; // the stand-in xdg-open; null: there is none
        const char *reason;
    } openers[] = {{"missing", nullptr, "xdg-open could not be started: No such file or directory"},
                   {"failing", "#!/bin/sh\nexit 3\n", "xdg-open found no program to show it"},
                   {"working", "#!/bin/sh\nexit 0\n", nullptr}};
    for (const auto &opener : openers) {
        SCOPED_TRACE(opener.name);
        QDir(bin.path()).remove(QStringLiteral("xdg-open"));
        if (opener.script) {
            QFile script(bin.filePath(QStringLiteral("xdg-open")));
            ASSERT_TRUE(script.open(QIODevice::WriteOnly));
            script.write(opener.script);
            script.close();
            script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        QProcessEnvironment path;
        path.insert(QStringLiteral("PATH"), bin.path());
        const QString album = work.filePath(QLatin1String(opener.name));
        const Finished run =
            RunGalvora({QStringLiteral("make"), QStringLiteral("thumbnails"), QStringLiteral("--open"),
                        QStringLiteral("-o"), album, QStringLiteral("a.jpg")},
                       work.path(), path);
        const QString page = album + QStringLiteral("/index.html");
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, page + QLatin1Char('\n'));
        EXPECT_TRUE(QFileInfo::exists(page));
        const QString last = run.err.trimmed().section(QLatin1Char('\n'), -1);
        EXPECT_EQ(last, opener.reason ? QStringLiteral("The page %1 could not be opened: %2")
                                            .arg(page, QLatin1String(opener.reason))
                                      : QStringLiteral("Album made: ") + page);
    }
}

} // namespace
