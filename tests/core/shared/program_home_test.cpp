#include "shared/program_home.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace
{

// A row's texts may hold <root>, the temporary folder that plays the whole file system.
struct HomesRow {
    const char *name;
    bool installed;                                         // the desktop entry beside the bin folder
    std::vector<std::pair<const char *, const char *>> env; // HOME is <root>/home unless given
    const char *userDirsFile;                               // relative to <root>, or null
    const char *userDirs;                                   // the file's text
    const char *settingsFolder;
    const char *albumFolder;
};

class ProgramHomesTest : public ::testing::TestWithParam<HomesRow>
{
};

TEST_P(ProgramHomesTest, SettingsAndAlbumsGoToTheirHome)
{
    const HomesRow &row = GetParam();
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const auto expand = [&](const char *text) {
        return QString::fromUtf8(text).replace("<root>", root.path());
    };
    const QString bin = root.filePath("prefix/bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    if (row.installed) {
        ASSERT_TRUE(QDir().mkpath(root.filePath("prefix/share/applications")));
        QFile mark(root.filePath("prefix/share/applications/galvora.desktop"));
        ASSERT_TRUE(mark.open(QIODevice::WriteOnly));
    }
    if (row.userDirsFile) {
        const QString path = expand(row.userDirsFile);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(row.userDirs);
    }
    QProcessEnvironment env;
    env.insert("HOME", root.filePath("home"));
    for (const auto &[name, value] : row.env)
        env.insert(name, expand(value));

    const ProgramHomes homes = ProgramHomesFor(bin, env);
    EXPECT_EQ(homes.installed, row.installed);
    EXPECT_EQ(homes.settingsFolder, expand(row.settingsFolder));
    EXPECT_EQ(homes.albumFolder, expand(row.albumFolder));
}

INSTANTIATE_TEST_SUITE_P(
    Homes, ProgramHomesTest,
    ::testing::Values(HomesRow{"BuildFolderKeepsEverything",
                               false,
                               {{"XDG_CONFIG_HOME", "<root>/cfg"}, {"XDG_PICTURES_DIR", "<root>/pics"}},
                               nullptr,
                               "",
                               "<root>/prefix/bin",
                               "<root>/prefix/bin"},
                      HomesRow{"InstalledDefaults",
                               true,
                               {},
                               nullptr,
                               "",
                               "<root>/home/.config/Galvora",
                               "<root>/home/Pictures/Galvora"},
                      HomesRow{"InstalledXdgVariables",
                               true,
                               {{"XDG_CONFIG_HOME", "<root>/cfg/"}, {"XDG_PICTURES_DIR", "<root>/pics"}},
                               nullptr,
                               "",
                               "<root>/cfg/Galvora",
                               "<root>/pics/Galvora"},
                      HomesRow{"UserDirsInXdgConfigHome",
                               true,
                               {{"XDG_CONFIG_HOME", "<root>/cfg"}},
                               "<root>/cfg/user-dirs.dirs",
                               "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n",
                               "<root>/cfg/Galvora",
                               "<root>/home/Bilder/Galvora"},
                      HomesRow{"UserDirsInDefaultConfig",
                               true,
                               {},
                               "<root>/home/.config/user-dirs.dirs",
                               "XDG_PICTURES_DIR=\"/srv/photos\"\n",
                               "<root>/home/.config/Galvora",
                               "/srv/photos/Galvora"},
                      HomesRow{"EnvironmentBeforeUserDirs",
                               true,
                               {{"XDG_PICTURES_DIR", "<root>/pics"}},
                               "<root>/home/.config/user-dirs.dirs",
                               "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n",
                               "<root>/home/.config/Galvora",
                               "<root>/pics/Galvora"},
                      HomesRow{"UserDirsOfAnotherConfigFolderIgnored",
                               true,
                               {{"XDG_CONFIG_HOME", "<root>/cfg"}},
                               "<root>/home/.config/user-dirs.dirs",
                               "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n",
                               "<root>/cfg/Galvora",
                               "<root>/home/Pictures/Galvora"},
                      HomesRow{"RelativeAndEmptyVariablesIgnored",
                               true,
                               {{"XDG_CONFIG_HOME", "cfg"}, {"XDG_PICTURES_DIR", ""}},
                               nullptr,
                               "",
                               "<root>/home/.config/Galvora",
                               "<root>/home/Pictures/Galvora"}),
    [](const auto &row) { return std::string(row.param.name); });

struct UserDirsRow {
    const char *name;
    const char *text;
    const char *folder; // with <home> for the home folder; empty: none named
};

class UserDirsTest : public ::testing::TestWithParam<UserDirsRow>
{
};

TEST_P(UserDirsTest, PicturesLineIsReadAsTheShellWould)
{
    const QString expected = QString::fromUtf8(GetParam().folder).replace("<home>", "/home/ann");
    EXPECT_EQ(PicturesFolderFromUserDirs(GetParam().text, "/home/ann"), expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, UserDirsTest,
    ::testing::Values(
        UserDirsRow{"HomeRelative", "XDG_PICTURES_DIR=\"$HOME/Pictures\"\n", "<home>/Pictures"},
        UserDirsRow{"Absolute", "XDG_PICTURES_DIR=\"/data/foto's\"", "/data/foto's"},
        UserDirsRow{"HomeItself", "XDG_PICTURES_DIR=\"$HOME/\"\n", "<home>"},
        UserDirsRow{"LastLineCounts", "XDG_PICTURES_DIR=\"$HOME/A\"\nXDG_PICTURES_DIR=\"$HOME/B\"\n",
                    "<home>/B"},
        UserDirsRow{"BlanksAndCommentsAround",
                    "# XDG_PICTURES_DIR=\"$HOME/No\"\n  XDG_PICTURES_DIR=\"$HOME/Yes\"  \n", "<home>/Yes"},
        UserDirsRow{"EscapedCharacters", "XDG_PICTURES_DIR=\"$HOME/My \\\"best\\\" \\$5\"",
                    "<home>/My \"best\" $5"},
        UserDirsRow{"OtherKeysOnly", "XDG_MUSIC_DIR=\"$HOME/Music\"\nXDG_PICTURES_DIRX=\"/x\"", ""},
        UserDirsRow{"Unquoted", "XDG_PICTURES_DIR=$HOME/Pictures", ""},
        UserDirsRow{"Relative", "XDG_PICTURES_DIR=\"Pictures\"", ""},
        UserDirsRow{"OtherVariable", "XDG_PICTURES_DIR=\"$HOMEDIR/Pictures\"", ""},
        UserDirsRow{"Empty", "", ""}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
