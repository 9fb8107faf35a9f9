// `galvora make` as a script runs it: the real program, with no display, checked by its exit
// status, what it says on standard error and what it leaves on disk.

#include "galvora_process.h"
#include "shared/production_kinds.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

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
            ASSERT_TRUE(TestPictures::WriteJpeg(TestPictures::Quadrants(64, 48), path(name)));
        ASSERT_TRUE(
            PictureFiles::WriteBytes(path("c.jpg"), "\xFF\xD8\xFF\xE0 not a whole picture")); // damaged
        // A folder without pictures, something that is neither file nor folder, and an album
        // beside which someone keeps notes.
        for (const char *folder : {"existing", "texts", "kept/images"})
            ASSERT_TRUE(QDir(work.path()).mkpath(QLatin1String(folder)));
        for (const char *name :
             {"texts/notes.txt", "kept/index.html", "kept/images/picture1.jpg", "kept/notes.txt"})
            ASSERT_TRUE(PictureFiles::WriteBytes(path(name), "text\n"));
        ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    }

    QString path(const char *relative) const { return work.filePath(QLatin1String(relative)); }
};

struct BadLine {
    const char *name;
    const char *line; // after "make"
    int status;
    const char *message; // a part of what standard error says
    const char *made = "";
};

class BadCommandLineTest : public MakeCommandLineTest, public ::testing::WithParamInterface<BadLine>
{
};

TEST_P(BadCommandLineTest, EndsWithItsStatusAndMessageAndWritesNothingForAUsageError)
{
    const BadLine &line = GetParam();
    const QStringList before = Tree(work.path());
    const Finished run = RunGalvora(Words("make") + Words(line.line), work.path());
    EXPECT_EQ(run.status, line.status) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QString::fromUtf8(line.message))) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    if (line.status == 2) {
        EXPECT_TRUE(
            run.err.trimmed().endsWith(QStringLiteral("Try 'galvora make --help' for more information.")))
            << run.err.toStdString();
    }
    QStringList after = Tree(work.path());
    for (const QString &made : Words(line.made))
        EXPECT_TRUE(after.removeOne(made)) << made.toStdString();
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadCommandLineTest,
    ::testing::Values(
        BadLine{"UnknownKind", "poster -o out a.jpg b.jpg", 2, "unknown kind 'poster'"},
        BadLine{"NoKind", "", 2, "what to make is missing"},
        BadLine{"MissingOutput", "thumbnails a.jpg b.jpg", 2, "--output FOLDER is missing"},
        BadLine{"ExistingOutput", "thumbnails -o existing a.jpg b.jpg", 1, "Map existing existing..."},
        BadLine{"OutputInAFolderThatIsNotThere", "thumbnails -o no/out a.jpg b.jpg", 1,
                "No such file or directory"},
        BadLine{"SizeNotANumber", "thumbnails -s abc -o out a.jpg b.jpg", 2,
                "--size abc is not WIDTHxHEIGHT"},
        BadLine{"SizeForAKindWithoutOne", "slide-show -s 10x10 -o out a.jpg b.jpg", 2,
                "--size does not apply to slide-show"},
        BadLine{"SortForAKindWithoutOrder", "thumbnails --sort date -o out a.jpg b.jpg", 2,
                "--sort applies to web-album only"},
        BadLine{"SortByWhatIsNoOrder", "web-album --sort size -o out a.jpg b.jpg", 2,
                "--sort size is not 'selection' or 'date'"},
        BadLine{"QualityBeyond100", "resize -q 300 -o out a.jpg b.jpg", 2,
                "--quality 300 is not a whole number from 1 to 100"},
        BadLine{"ColourNotHex", "resize -c green -o out a.jpg b.jpg", 2, "--colour green is not RRGGBB"},
        BadLine{"UnknownOption", "resize --fast -o out a.jpg b.jpg", 2, "Unknown option 'fast'"},
        BadLine{"NoPictures", "resize -o out", 2, "no pictures given"},
        BadLine{"APictureThatIsNotThere", "resize -o out a.jpg b.jpg nothere.jpg", 2,
                "galvora make: nothere.jpg does not exist\n"},
        BadLine{"AFolderWithNoPicture", "resize -o out texts", 2,
                "galvora make: folder texts holds no picture Galvora reads\n"},
        BadLine{"NeitherFileNorFolder", "resize -o out a.jpg b.jpg pipe", 2,
                "galvora make: pipe is a named pipe, not a picture or a folder\n"},
        BadLine{"ReplacingAFolderThatHoldsAStrangersFile", "thumbnails --replace -o kept a.jpg b.jpg", 1,
                "holds files Galvora did not make: notes.txt\n"},
        BadLine{
            "ADamagedPictureThirdOfFive", "thumbnails -o out a.jpg b.jpg c.jpg d.jpg e.jpg", 1,
            "c.jpg could not be read: ", "out out/images out/images/picture1.jpg out/images/picture2.jpg"}),
    [](const auto &line) { return std::string(line.param.name); });

TEST_F(MakeCommandLineTest, HelpAndVersionNeedNoDisplayAndEndAtOnce)
{
    const QStringList before = Tree(work.path());
    for (const auto &[line, says] : {std::pair{"--help", "galvora make KIND [options] PICTURE..."},
                                     {"make --help", "--keep-proportions"},
                                     {"make picture-show -t x -h", "Usage: galvora make"}, // -h after a value
                                     {"--version", "galvora 1."}}) {
        const Finished run = RunGalvora(Words(line), work.path());
        EXPECT_EQ(run.status, 0) << line;
        EXPECT_TRUE(run.out.contains(QLatin1String(says))) << run.out.toStdString();
    }
    EXPECT_EQ(Tree(work.path()), before) << "nothing written";
}

TEST_F(MakeCommandLineTest, ShowsProgressOneLineAPictureWhenNotOnATerminalAndNothingWhenQuiet)
{
    const Finished loud = RunGalvora(Words("make resize -o out a.jpg b.jpg"), work.path());
    ASSERT_EQ(loud.status, 0) << loud.err.toStdString();
    EXPECT_EQ(loud.err, QStringLiteral("Convert picture 1 of 2\nConvert picture 2 of 2\nAlbum made: ") +
                            path("out") + QLatin1Char('\n'));
    EXPECT_EQ(loud.out, path("out") + QLatin1Char('\n')) << "the album made";
    const Finished quiet = RunGalvora(Words("make resize --quiet -o out2 a.jpg b.jpg"), work.path());
    ASSERT_EQ(quiet.status, 0);
    EXPECT_TRUE(quiet.err.isEmpty()) << quiet.err.toStdString();
    EXPECT_EQ(Tree(path("out2")), Words("images images/picture1.jpg images/picture2.jpg"));
}

// Each kind takes -t where its page shows the title and refuses it where it does not.
TEST_F(MakeCommandLineTest, TheTitleIsTakenOnlyByTheKindsWhosePageShowsIt)
{
    for (const ProductionKind &kind : ProductionKinds()) {
        SCOPED_TRACE(kind.name);
        const QString folder = QStringLiteral("t-") + kind.commandName();
        const Finished run = RunGalvora(Words("make") << kind.commandName() << Words("-o") << folder
                                                      << Words("a.jpg -t") << QStringLiteral("Summer 2026"),
                                        work.path());
        EXPECT_EQ(run.status, kind.showsTitle ? 0 : 2) << run.err.toStdString();
        EXPECT_EQ(QFileInfo::exists(work.filePath(folder + QStringLiteral("/index.html"))), kind.showsTitle);
        if (!kind.showsTitle) {
            EXPECT_TRUE(run.err.startsWith(
                QStringLiteral("galvora make: --title does not apply to %1\n").arg(kind.commandName())))
                << run.err.toStdString();
            EXPECT_FALSE(QFileInfo::exists(work.filePath(folder)));
        }
    }
}

// A folder among the pictures stands for its pictures in name order, whatever their kind and
// name; its other files and its subfolders are not taken.
TEST_F(MakeCommandLineTest, AFolderStandsForItsPicturesInNameOrder)
{
    ASSERT_TRUE(QDir(work.path()).mkpath(QStringLiteral("trip/sub")));
    const QImage picture = TestPictures::Quadrants(64, 48);
    ASSERT_TRUE(picture.save(path("trip/b.png")));
    ASSERT_TRUE(picture.save(path("trip/A.gif"), "GIF") ||
                picture.save(path("trip/A.gif"), "BMP")); // read by content
    for (const char *copy : {"trip/c.jpeg", "trip/sub/d.jpg"})
        ASSERT_TRUE(QFile::copy(path("a.jpg"), path(copy)));
    ASSERT_TRUE(PictureFiles::WriteBytes(path("trip/notes.txt"), "text\n"));

    const Finished run = RunGalvora(Words("make picture-show -o out --quiet e.jpg trip"), work.path());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList sources = Words("e.jpg trip/A.gif trip/b.png trip/c.jpeg");
    const QStringList copies = QDir(path("out/images")).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(copies.size(), sources.size()) << copies.join(QLatin1Char(' ')).toStdString();
    for (qsizetype i = 0; i < sources.size(); ++i) { // picture1 to picture4, each a copy whatever its name
        EXPECT_TRUE(copies[i].startsWith(QStringLiteral("picture%1.").arg(i + 1))) << copies[i].toStdString();
        EXPECT_EQ(PictureFiles::ReadBytes(work.filePath(sources[i])),
                  PictureFiles::ReadBytes(path("out/images/") + copies[i]))
            << sources[i].toStdString();
    }
}

// The token after an option that takes a value is its value, however it looks; -h elsewhere is help.
TEST_F(MakeCommandLineTest, AValueThatLooksLikeAnOptionIsTheOptionsValue)
{
    const Finished named = RunGalvora(Words("make photoalbum-1 -n - -t --x -o out a.jpg"), work.path());
    ASSERT_EQ(named.status, 0) << named.err.toStdString();
    EXPECT_TRUE(PictureFiles::ReadBytes(path("out/-.html")).contains("<b>--x</b>"));

    const Finished titled = RunGalvora(Words("make picture-show --title -h -o out2 a.jpg"), work.path());
    EXPECT_EQ(titled.status, 0) << titled.err.toStdString();
    EXPECT_FALSE(titled.out.contains(QStringLiteral("Usage:")));
    EXPECT_TRUE(QFileInfo::exists(path("out2/index.html")));
}

// --keep-going leaves the damaged picture out, names it once, and still makes the page.
TEST_F(MakeCommandLineTest, KeepGoingLeavesTheDamagedPictureOutAndNamesIt)
{
    const Finished run =
        RunGalvora(Words("make thumbnails --keep-going -o out a.jpg b.jpg c.jpg d.jpg e.jpg"), work.path());
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    EXPECT_EQ(QDir(path("out/images")).entryList(QDir::Files, QDir::Name),
              Words("picture1.jpg picture2.jpg picture3.jpg picture4.jpg"));
    EXPECT_EQ(run.err.split(QLatin1Char('\n')).filter(QStringLiteral("c.jpg")).size(), 1)
        << run.err.toStdString();
    EXPECT_EQ(run.out, path("out/index.html") + QLatin1Char('\n'));
}

// With --open the page goes to the opener; one that cannot be started, or fails, is named on
// standard error as the last line, and the album stays made with exit status 0.
TEST_F(MakeCommandLineTest, APageThatCannotBeOpenedIsNamedWithTheReason)
{
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    const QString opener = bin.filePath(QStringLiteral("xdg-open"));
    QProcessEnvironment onlyBin;
    onlyBin.insert(QStringLiteral("PATH"), bin.path());
    for (const auto &[name, script, reason] : // script: the stand-in xdg-open, none when empty
         {std::tuple{"missing", "", "xdg-open could not be started: No such file or directory"},
          {"failing", "#!/bin/sh\nexit 3\n", "xdg-open found no program to show it"},
          {"working", "#!/bin/sh\nexit 0\n", ""}}) {
        SCOPED_TRACE(name);
        QFile::remove(opener);
        if (*script) {
            ASSERT_TRUE(PictureFiles::WriteBytes(opener, script));
            QFile::setPermissions(opener, QFile::ReadOwner | QFile::ExeOwner);
        }
        const Finished run =
            RunGalvora(Words("make thumbnails --open -o") << path(name) << QStringLiteral("a.jpg"),
                       work.path(), onlyBin);
        const QString page = path(name) + QStringLiteral("/index.html");
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, page + QLatin1Char('\n'));
        EXPECT_TRUE(QFileInfo::exists(page));
        EXPECT_EQ(run.err.trimmed().section(QLatin1Char('\n'), -1),
                  *reason
                      ? QStringLiteral("The page %1 could not be opened: %2").arg(page, QLatin1String(reason))
                      : QStringLiteral("Album made: ") + page);
    }
}

} // namespace
