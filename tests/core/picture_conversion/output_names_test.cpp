// Folder and file names as typed: unsafe ones are refused before anything is made,
// unusual but plain ones work end to end.
#include "picture_conversion/picture_loader.h"
#include "productions.h"
#include "support/album_home.h"
#include "support/fake_host.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"
#include "tree_snapshot.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

class NamesFixture : protected AlbumHome
{
  protected:
    void prepare()
    {
        ASSERT_TRUE(makeHome("base/program"));
        host.state.PageStyle = PageStyles::Thumbnails;
        selectJpeg("base/pictures/one.jpg", QSize(40, 30));
    }
};

struct UnsafeRow {
    const char *name;
    QString folder;
    QString fileName;
    bool folderRefused; // otherwise the file name is
};

class UnsafeNameTest : public NamesFixture, public ::testing::TestWithParam<std::tuple<Production, UnsafeRow>>
{
};

TEST_P(UnsafeNameTest, IsRefusedBeforeAnythingIsMade)
{
    prepare();
    const auto &[production, row] = GetParam();
    // An absolute name points into the temporary folder, never elsewhere.
    const QString folder = row.folder == "<absolute>" ? dir.filePath("base/absolute") : row.folder;
    const TreeSnapshot before = TreeSnapshot::Of(dir.path());

    production.run(host, folder, row.fileName);

    EXPECT_EQ(TreeSnapshot::Of(dir.path()).differencesFrom(before), QStringList());
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0].text, row.folderRefused ? "Folder " + folder + " not allowed..."
                                                       : "File name " + row.fileName + " not allowed...");
    EXPECT_TRUE(host.messages[0].title.isEmpty()) << "titled with the program's name";
    EXPECT_EQ(host.state.PageStyle, PageStyles::Abandoned);
    EXPECT_TRUE(host.opened.isEmpty());
}

const UnsafeRow UnsafeRows[] = {
    {"FolderDotDot", "..", "index", true},
    {"FolderDot", ".", "index", true},
    {"FolderEmpty", "", "index", true},
    {"FolderParentPath", "../escaped", "index", true},
    {"FolderSubPath", "a/b", "index", true},
    {"FolderBackslash", "..\\escaped", "index", true},
    {"FolderAbsolute", "<absolute>", "index", true},
    {"FolderNul", QStringLiteral("al") + QChar(0) + QStringLiteral("bum"), "index", true},
    {"FileParentPath", "Album", "../index", false},
    {"FileSubPath", "Album", "sub/index", false},
    {"FileDotDot", "Album", "..", false},
    {"FileBackslash", "Album", "a\\b", false},
};

INSTANTIATE_TEST_SUITE_P(Names, UnsafeNameTest,
                         ::testing::Combine(::testing::ValuesIn(AllProductions()),
                                            ::testing::ValuesIn(UnsafeRows)),
                         [](const auto &row) {
                             return std::string(std::get<0>(row.param).name) + "_" +
                                    std::get<1>(row.param).name;
                         });

class FolderNotMadeTest : public NamesFixture, public ::testing::TestWithParam<Production>
{
};

// An output folder that cannot be made, other than because it is there, is named with the
// reason, and the run is abandoned. The tests run as root, who may write anywhere: here the
// program folder's path runs through a file.
TEST_P(FolderNotMadeTest, IsNamedWithTheReason)
{
    prepare();
    ASSERT_TRUE(PictureFiles::WriteBytes(dir.filePath("base/plain"), "not a folder"));
    host.folder = dir.filePath("base/plain/program");

    GetParam().run(host, "Album", "index");

    EXPECT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages.value(0).text,
              "Folder " + dir.filePath("base/plain/program/Album") +
                  " could not be made: Not a directory" /* the system's reason */);
    EXPECT_TRUE(host.messages.value(0).title.isEmpty()) << "titled with the program's name";
    EXPECT_EQ(host.state.PageStyle, PageStyles::Abandoned);
    EXPECT_TRUE(host.opened.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Productions, FolderNotMadeTest, ::testing::ValuesIn(AllProductions()),
                         [](const auto &row) { return std::string(row.param.name); });

struct PlainRow {
    const char *name;
    QString folder;
    QString fileName;
};

class PlainNameTest : public NamesFixture, public ::testing::TestWithParam<std::tuple<Production, PlainRow>>
{
};

TEST_P(PlainNameTest, WorksEndToEnd)
{
    prepare();
    const auto &[production, row] = GetParam();

    production.run(host, row.folder, row.fileName);

    EXPECT_TRUE(host.messages.isEmpty()) << qPrintable(host.messages.value(0).text);
    EXPECT_NE(host.state.PageStyle, PageStyles::Abandoned);
    const QDir output(dir.filePath("base/program/" + row.folder));
    const bool copiesOnly = std::string(production.name) == "PictureShow";
    const Outcome<QImage> picture = LoadPicture(output.filePath("images/picture1.jpg"));
    ASSERT_TRUE(picture.ok()) << qPrintable(picture.reason());
    EXPECT_EQ(picture.value().size(), copiesOnly ? QSize(40, 30) : QSize(48, 36));
    if (std::string(production.name) != "ResizePictures") {
        const QString page = output.filePath(row.fileName + ".html");
        EXPECT_TRUE(QFile::exists(page));
        EXPECT_EQ(host.opened, QStringList{page});
    }
}

const PlainRow PlainRows[] = {
    {"Blanks", "My holiday 2024", "the index"},
    {"Quotes", "Jan's \"best\"", "it's \"here\""},
    {"NonAscii", QString::fromUtf8("Zomer \xc3\xa9t\xc3\xa9 \xe5\xa4\x8f"),
     QString::fromUtf8("f\xc3\xb6t\xc3\xb6s")},
    {"LeadingDots", "..album", "...index"},
};

INSTANTIATE_TEST_SUITE_P(Names, PlainNameTest,
                         ::testing::Combine(::testing::ValuesIn(AllProductions()),
                                            ::testing::ValuesIn(PlainRows)),
                         [](const auto &row) {
                             return std::string(std::get<0>(row.param).name) + "_" +
                                    std::get<1>(row.param).name;
                         });

} // namespace
