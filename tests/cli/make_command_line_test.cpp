// `galvora make` as a script runs it: the real program, with no display, checked by its exit
// status, what it says on standard error and what it leaves on disk.

#include "support/test_pictures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

struct Finished {
    int status = -1;
    QString out, err;
};

// Runs the program in `folder` without DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM.
Finished RunGalvora(const QStringList &arguments, const QString &folder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(GALVORA_PROGRAM), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

QStringList Tree(const QString &folder)
{
    QStringList names;
    QDir dir(folder);
    for (const QString &name :
         dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name)) {
        names << name;
        if (QFileInfo(dir.filePath(name)).isDir())
            for (const QString &inner : Tree(dir.filePath(name)))
                names << name + QLatin1Char('/') + inner;
    }
    return names;
}

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
                "picture nothere.jpg is not a file",
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
    EXPECT_EQ(Tree(work.path()).size(), 6) << "nothing written";
}

TEST_F(MakeCommandLineTest, ShowsProgressOneLineAPictureWhenNotOnATerminalAndNothingWhenQuiet)
{
    const Finished loud =
        RunGalvora(QStringList{QStringLiteral("make"), QStringLiteral("resize")} + Out + Two, work.path());
    ASSERT_EQ(loud.status, 0) << loud.err.toStdString();
    EXPECT_EQ(loud.err, QStringLiteral("Convert picture 1 of 2\nConvert picture 2 of 2\n"));
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

} // namespace
