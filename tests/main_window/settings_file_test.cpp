#include "main_window/settings_file.h"
#include "window_fixture.h"

#include "support/golden.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <cstdint>
#include <optional>
#include <string>

namespace {

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// ---- Reading the file's bytes -------------------------------------------------------------

struct ReadRow {
    const char *name;
    QByteArray bytes;
    bool ok;
    std::int32_t startCount; // what the values hold afterwards (starting from 0 and 75)
    int quality;
};

class ReadSettingsTest : public ::testing::TestWithParam<ReadRow> {};

TEST_P(ReadSettingsTest, TakesTheValuesReadBeforeAnyFailure)
{
    const ReadRow row = GetParam();
    std::int32_t startCount = 0;
    std::uint8_t quality = 75;
    EXPECT_EQ(ReadSettings(row.bytes, startCount, quality), row.ok);
    EXPECT_EQ(startCount, row.startCount);
    EXPECT_EQ(int(quality), row.quality);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, ReadSettingsTest,
    ::testing::Values(
        ReadRow{"TwoLines", "5\r\n40\r\n", true, 5, 40},
        ReadRow{"NoFinalLineEnd", "5\r\n40", true, 5, 40},
        ReadRow{"BareLineFeeds", "12\n90\n", true, 12, 90},
        ReadRow{"CommaEndsAValue", "12,90\r\n", true, 12, 90},
        ReadRow{"BlanksBeforeAndAfterValues", "   7 ,  90  \r\n", true, 7, 90},
        ReadRow{"LinesAfterTheSecondAreIgnored", "1\r\n80\r\nextra\r\n", true, 1, 80},
        ReadRow{"NegativeCount", "-3\r\n100\r\n", true, -3, 100},
        ReadRow{"PlusSign", "+4\r\n76\r\n", true, 4, 76},
        ReadRow{"LeadingZeros", "007\r\n075\r\n", true, 7, 75},
        ReadRow{"LargestCount", "2147483647\r\n80\r\n", true, 2147483647, 80},
        ReadRow{"SmallestCount", "-2147483648\r\n80\r\n", true, INT32_MIN, 80},
        ReadRow{"QualityZeroAndTop", "1\r\n255\r\n", true, 1, 255},
        ReadRow{"Empty", "", false, 0, 75},
        ReadRow{"OnlyBlanks", "    ", false, 0, 75},
        ReadRow{"OnlyTheCount", "5\r\n", false, 5, 75},
        ReadRow{"OnlyTheCountWithoutLineEnd", "5", false, 5, 75},
        ReadRow{"QualityAboveAByte", "5\r\n300\r\n", false, 5, 75},
        ReadRow{"NegativeQuality", "5\r\n-1\r\n", false, 5, 75},
        ReadRow{"CountTooLarge", "2147483648\r\n80\r\n", false, 0, 75},
        ReadRow{"CountFarTooLarge", "99999999999999999999999\r\n80\r\n", false, 0, 75},
        ReadRow{"TextForCount", "five\r\n80\r\n", false, 0, 75},
        ReadRow{"DecimalQuality", "5\r\n75.5\r\n", false, 5, 75},
        ReadRow{"TwoNumbersInOneValue", "5 6\r\n80\r\n", false, 0, 75},
        ReadRow{"EmptyFirstLine", "\r\n5\r\n80\r\n", false, 0, 75},
        ReadRow{"SignAlone", "-\r\n80\r\n", false, 0, 75}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SettingsBytesTest, TwoLinesOfPlainDigitsEndedByCrLf)
{
    EXPECT_EQ(SettingsBytes(0, 75), QByteArray("0\r\n75\r\n"));
    EXPECT_EQ(SettingsBytes(-12, 0), QByteArray("-12\r\n0\r\n"));
    EXPECT_EQ(SettingsBytes(2147483647, 255), QByteArray("2147483647\r\n255\r\n"));
}

// ---- Writing the file ---------------------------------------------------------------------

TEST(WriteSettingsFileTest, ReplacesAnExistingFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(SettingsFileName);
    ASSERT_TRUE(WriteBytes(path, "123456789\r\n100\r\nsome longer old content\r\n"));
    EXPECT_TRUE(WriteSettingsFile(path, 3, 90));
    EXPECT_EQ(Golden::ReadBytes(path), QByteArray("3\r\n90\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{SettingsFileName});
}

TEST(WriteSettingsFileTest, FailsWithoutLeavingATemporaryFileWhenThePathIsAFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(SettingsFileName));
    EXPECT_FALSE(WriteSettingsFile(dir.filePath(SettingsFileName), 1, 75));
    EXPECT_TRUE(QFileInfo(dir.filePath(SettingsFileName)).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{SettingsFileName});
}

TEST(WriteSettingsFileTest, FailsForAFolderThatDoesNotExist)
{
    QTemporaryDir dir;
    EXPECT_FALSE(WriteSettingsFile(dir.filePath(QStringLiteral("missing/Galvora.ini")), 1, 75));
}

// ---- Start-up and Exit through the main window --------------------------------------------

struct StartRow {
    const char *name;
    std::optional<QByteArray> file; // nothing: no settings file
    const char *caption;
    QByteArray afterStart;           // the file once the window is up
    std::int32_t startCount;
    int quality;
    QByteArray afterExit;
};

class StartUpTest : public WindowTest, public ::testing::WithParamInterface<StartRow> {};

TEST_P(StartUpTest, ReadsCountsAndRecoversTheSettingsFile)
{
    const StartRow row = GetParam();
    if (row.file)
        ASSERT_TRUE(WriteBytes(settingsPath(), *row.file));

    auto window = start();
    EXPECT_EQ(window->windowTitle().toStdString(), row.caption);
    EXPECT_EQ(Golden::ReadBytes(settingsPath()), row.afterStart);
    EXPECT_EQ(window->values().StartCount, row.startCount);
    EXPECT_EQ(int(window->values().JpegQuality), row.quality);

    window->show();
    window->controls().ExitKnop->click();
    EXPECT_EQ(Golden::ReadBytes(settingsPath()), row.afterExit);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(quits, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, StartUpTest,
    ::testing::Values(
        StartRow{"FirstStartWithoutFile", std::nullopt, " Galvora", "0\r\n75\r\n", 0, 75, "0\r\n75\r\n"},
        StartRow{"SecondStart", "0\r\n75\r\n", " Galvora / 1", "0\r\n75\r\n", 1, 75, "1\r\n75\r\n"},
        StartRow{"OnlyTheCount", "5\r\n", " Galvora", "5\r\n75\r\n", 5, 75, "5\r\n75\r\n"},
        StartRow{"QualityAboveAByte", "5\r\n300\r\n", " Galvora", "5\r\n75\r\n", 5, 75, "5\r\n75\r\n"},
        StartRow{"QualityBelowTheDialogsRange", "5\r\n40\r\n", " Galvora / 6", "5\r\n40\r\n", 6, 40,
                 "6\r\n40\r\n"},
        StartRow{"LargestCountIsNotIncremented", "2147483647\r\n80\r\n", " Galvora", "2147483647\r\n80\r\n",
                 2147483647, 80, "2147483647\r\n80\r\n"},
        // The same values in another layout show that the recovery really rewrote the file.
        StartRow{"LargestCountIsWrittenBack", "2147483647, 80", " Galvora", "2147483647\r\n80\r\n", 2147483647,
                 80, "2147483647\r\n80\r\n"},
        StartRow{"NegativeCount", "-3\r\n100\r\n", " Galvora / -2", "-3\r\n100\r\n", -2, 100, "-2\r\n100\r\n"},
        StartRow{"CommaSeparated", "  7 ,  90", " Galvora / 8", "  7 ,  90", 8, 90, "8\r\n90\r\n"},
        StartRow{"EmptyFile", "", " Galvora", "0\r\n75\r\n", 0, 75, "0\r\n75\r\n"},
        StartRow{"TextInsteadOfNumbers", "five\r\n80\r\n", " Galvora", "0\r\n75\r\n", 0, 75, "0\r\n75\r\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(WindowTest, OnlyExitSavesTheCount)
{
    auto first = start();
    EXPECT_EQ(first->windowTitle(), QStringLiteral(" Galvora"));
    first->controls().ExitKnop->click();
    first.reset();

    auto second = start();
    EXPECT_EQ(second->windowTitle(), QStringLiteral(" Galvora / 1"));
    second->controls().ExitKnop->click();
    second.reset();
    EXPECT_EQ(Golden::ReadBytes(settingsPath()), QByteArray("1\r\n75\r\n"));

    // A run that ends without Exit leaves the file, so the next start shows the same number.
    auto third = start();
    EXPECT_EQ(third->windowTitle(), QStringLiteral(" Galvora / 2"));
    third.reset();
    auto fourth = start();
    EXPECT_EQ(fourth->windowTitle(), QStringLiteral(" Galvora / 2"));
    EXPECT_EQ(Golden::ReadBytes(settingsPath()), QByteArray("1\r\n75\r\n"));
    EXPECT_EQ(quits, 2);
}

TEST_F(WindowTest, ExitSavesTheQualityTheRunChose)
{
    ASSERT_TRUE(WriteBytes(settingsPath(), "9\r\n80\r\n"));
    auto window = start();
    window->values().JpegQuality = 95;
    window->controls().ExitKnop->click();
    EXPECT_EQ(Golden::ReadBytes(settingsPath()), QByteArray("10\r\n95\r\n"));
}

TEST_F(WindowTest, UnwritableProgramFolderStartsAndExitsWithoutWriting)
{
    const QFileDevice::Permissions writable = QFile::permissions(folder.path());
    ASSERT_TRUE(QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                                         | QFileDevice::ReadGroup | QFileDevice::ExeGroup));
    // Root writes into a read-only folder all the same; a folder standing where the settings
    // file belongs makes every write fail for anyone.
    QFile probe(folder.filePath(QStringLiteral("probe")));
    const bool readOnlyStopsWrites = !probe.open(QIODevice::WriteOnly);
    if (!readOnlyStopsWrites) {
        probe.close();
        probe.remove();
        ASSERT_TRUE(QDir(folder.path()).mkdir(SettingsFileName));
    }
    const QStringList before =
        QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

    auto window = start();
    EXPECT_EQ(window->windowTitle(), QStringLiteral(" Galvora"));
    EXPECT_EQ(window->values().StartCount, 0);
    window->show();
    window->controls().ExitKnop->click();
    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
    EXPECT_TRUE(messages.texts.isEmpty());

    QFile::setPermissions(folder.path(), writable);
}

TEST_F(WindowTest, ReadOnlyFolderKeepsAGoodFileWhole)
{
    ASSERT_TRUE(WriteBytes(settingsPath(), "5\r\n40\r\n"));
    const QFileDevice::Permissions writable = QFile::permissions(folder.path());
    ASSERT_TRUE(QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QFile probe(folder.filePath(QStringLiteral("probe")));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.close();
        probe.remove();
        QFile::setPermissions(folder.path(), writable);
        GTEST_SKIP() << "running as a user that writes into read-only folders (root); the unwritable "
                        "folder case above covers the failed write";
    }

    auto window = start();
    EXPECT_EQ(window->windowTitle(), QStringLiteral(" Galvora / 6"));
    window->controls().ExitKnop->click();
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(Golden::ReadBytes(settingsPath()), QByteArray("5\r\n40\r\n"));

    QFile::setPermissions(folder.path(), writable);
}

}
