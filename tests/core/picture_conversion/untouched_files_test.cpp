// After any production, successful or not, the source pictures and every other file outside
// the output folder are byte-identical, and nothing new appears outside it.
#include "productions.h"
#include "support/bad_input_files.h"
#include "support/fake_host.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"
#include "tree_snapshot.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

const QString Folder = QStringLiteral("Album");

enum class Scenario { Fresh, FolderExists, PageExists, DamagedSecondPicture, MissingSecondPicture };

struct ScenarioRow {
    const char *name;
    Scenario scenario;
    bool succeeds;
};

const ScenarioRow Scenarios[] = {
    {"Fresh", Scenario::Fresh, true},
    {"FolderExists", Scenario::FolderExists, false},
    {"PageExists", Scenario::PageExists, false},
    {"DamagedSecondPicture", Scenario::DamagedSecondPicture, false},
    {"MissingSecondPicture", Scenario::MissingSecondPicture, false},
};

class UntouchedFilesTest : public ::testing::TestWithParam<std::tuple<Production, ScenarioRow>>
{
};

TEST_P(UntouchedFilesTest, NothingOutsideTheOutputFolderChanges)
{
    const auto &[production, row] = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir root(dir.path());
    ASSERT_TRUE(root.mkpath("program") && root.mkpath("pictures/more") && root.mkpath("elsewhere"));
    ASSERT_TRUE(PictureFiles::WriteBytes(root.filePath("program/Galvora.ini"), "3\r\n75\r\n"));
    ASSERT_TRUE(PictureFiles::WriteBytes(root.filePath("program/Other.html"), "<html></html>"));
    ASSERT_TRUE(PictureFiles::WriteBytes(root.filePath("elsewhere/notes.txt"), "keep me"));

    FakeHost host;
    host.folder = root.filePath("program");
    host.state.PageStyle = PageStyles::Thumbnails;
    const QString first = root.filePath("pictures/first.jpg"),
                  second = root.filePath("pictures/more/second.gif"),
                  third = root.filePath("pictures/third.bmp");
    ASSERT_TRUE(TestPictures::WriteJpeg(TestPictures::Quadrants(40, 30), first));
    ASSERT_TRUE(PictureFiles::WriteBytes(second, PictureFiles::SingleColourGif(9, 7, Qt::green, true)));
    ASSERT_TRUE(PictureFiles::WriteBytes(
        third, PictureFiles::BmpBytes(TestPictures::Quadrants(12, 8), PictureFiles::BmpLayout::Rgb24)));
    switch (row.scenario) {
    case Scenario::FolderExists:
        ASSERT_TRUE(root.mkpath("program/" + Folder));
        break;
    case Scenario::PageExists:
        ASSERT_TRUE(root.mkpath("program/" + Folder));
        ASSERT_TRUE(PictureFiles::WriteBytes(root.filePath("program/" + Folder + "/index.html"), "old page"));
        break;
    case Scenario::DamagedSecondPicture:
        ASSERT_TRUE(PictureFiles::WriteBytes(second, PictureFiles::ReadBytes(second).left(20)));
        break;
    case Scenario::MissingSecondPicture:
        host.select(first);
        host.select(root.filePath("pictures/more/gone.gif"));
        break;
    case Scenario::Fresh:
        break;
    }
    if (host.paths.isEmpty()) {
        host.select(first);
        host.select(second);
    }
    host.select(third);
    const TreeSnapshot before = TreeSnapshot::Of(dir.path(), "program/" + Folder);

    production.run(host, Folder, "index");

    EXPECT_EQ(TreeSnapshot::Of(dir.path(), "program/" + Folder).differencesFrom(before), QStringList());
    // The damaged picture stops only the productions that decode pictures; Picture Show copies them.
    const bool copiesOnly = std::string(production.name) == "PictureShow";
    const bool expectSuccess = row.succeeds || (copiesOnly && row.scenario == Scenario::DamagedSecondPicture);
    EXPECT_EQ(host.messages.isEmpty(), expectSuccess);
    if (row.scenario == Scenario::PageExists) {
        EXPECT_EQ(PictureFiles::ReadBytes(root.filePath("program/" + Folder + "/index.html")), "old page");
    }
}

INSTANTIATE_TEST_SUITE_P(Productions, UntouchedFilesTest,
                         ::testing::Combine(::testing::ValuesIn(AllProductions()),
                                            ::testing::ValuesIn(Scenarios)),
                         [](const auto &row) {
                             return std::string(std::get<0>(row.param).name) + "_" +
                                    std::get<1>(row.param).name;
                         });

} // namespace
