#include "app/settings_file.h"
#include "window_fixture.h"

#include "support/full_disk.h"
#include "support/golden.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <optional>
#include <string>

namespace
{

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

struct ReadRow {
    const char *name;
    QByteArray bytes;
    bool ok;
    std::int32_t startCount; // what the values hold afterwards, starting from 0 and 75
    int quality;
};

class ReadSettingsTest : public ::testing::TestWithParam<ReadRow>
{
};

TEST_P(ReadSettingsTest, KeepsTheValuesReadBeforeAFailure)
{
    const ReadRow row = GetParam();
    std::int32_t startCount = 0;
    std::uint8_t quality = 75;
    const Status parsed = ReadSettings(row.bytes, startCount, quality);
    EXPECT_EQ(parsed.ok(), row.ok);
    EXPECT_EQ(parsed.reason().isEmpty(), row.ok) << "a failure says why";
    EXPECT_EQ(startCount, row.startCount);
    EXPECT_EQ(int(quality), row.quality);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, ReadSettingsTest,
    ::testing::Values(ReadRow{"NoFinalLineEnd", "5\r\n40", true, 5, 40},
                      ReadRow{"CommaAndBlanks", "   7 ,  90  \r\n", true, 7, 90},
                      ReadRow{"SignsAndLeadingZeros", "-007\r\n+075\r\n", true, -7, 75},
                      ReadRow{"SmallestCount", "-2147483648\r\n0\r\n", true, INT32_MIN, 0},
                      ReadRow{"OnlyTheCount", "5", false, 5, 75},
                      ReadRow{"CountTooLarge", "2147483648\r\n80\r\n", false, 0, 75},
                      ReadRow{"CountFarTooLarge", "99999999999999999999999\r\n80\r\n", false, 0, 75},
                      ReadRow{"TwoNumbersInOneValue", "5 6\r\n80\r\n", false, 0, 75},
                      ReadRow{"SignAlone", "-\r\n80\r\n", false, 0, 75}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(WriteSettingsFileTest, ReplacesAnOldFileWholeOrLeavesNoTrace)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(SettingsFileName);
    ASSERT_TRUE(WriteBytes(path, "123456789\r\n100\r\nsome longer old content\r\n"));
    EXPECT_TRUE(WriteSettingsFile(path, -12, 90));
    EXPECT_EQ(PictureFiles::ReadBytes(path), QByteArray("-12\r\n90\r\n"));

    // A folder where the file belongs: the write fails and no temporary file is left behind.
    ASSERT_TRUE(QFile::remove(path) && QDir(dir.path()).mkdir(SettingsFileName));
    const Status refused = WriteSettingsFile(path, 1, 75);
    EXPECT_FALSE(refused);
    EXPECT_FALSE(refused.reason().isEmpty());
    EXPECT_EQ(Entries(dir.path()), QStringList{SettingsFileName});
    EXPECT_FALSE(WriteSettingsFile(dir.filePath(QStringLiteral("missing/Galvora.ini")), 1, 75));
}

struct StartRow {
    const char *name;
    std::optional<QByteArray> file; // nothing: no settings file
    const char *caption;
    QByteArray afterStart;
    std::int32_t startCount;
    int quality;
    QByteArray afterExit;
};

class StartUpTest : public WindowTest, public ::testing::WithParamInterface<StartRow>
{
};

TEST_P(StartUpTest, ReadsCountsRecoversAndSavesOnExit)
{
    const StartRow row = GetParam();
    if (row.file) {
        ASSERT_TRUE(WriteBytes(settingsPath(), *row.file));
    }

    auto window = start();
    EXPECT_EQ(window->windowTitle().toStdString(), row.caption);
    EXPECT_EQ(PictureFiles::ReadBytes(settingsPath()), row.afterStart);
    EXPECT_EQ(window->values().StartCount, row.startCount);
    EXPECT_EQ(int(window->values().JpegQuality), row.quality);

    window->show();
    window->controls().ExitKnop->click();
    EXPECT_EQ(PictureFiles::ReadBytes(settingsPath()), row.afterExit);
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
        StartRow{"LargestCountIsWrittenBack", "2147483647, 80", " Galvora", "2147483647\r\n80\r\n",
                 2147483647, 80, "2147483647\r\n80\r\n"},
        StartRow{"NegativeCount", "-3\r\n100\r\n", " Galvora / -2", "-3\r\n100\r\n", -2, 100,
                 "-2\r\n100\r\n"},
        StartRow{"TextInsteadOfNumbers", "five\r\n80\r\n", " Galvora", "0\r\n75\r\n", 0, 75, "0\r\n75\r\n"}),
    [](const auto &row) { return std::string(row.param.name); });

TEST_F(WindowTest, OnlyExitSavesTheCountAndTheQuality)
{
    start()->controls().ExitKnop->click(); // first start: creates 0 and 75
    auto second = start();
    EXPECT_EQ(second->windowTitle(), QStringLiteral(" Galvora / 1"));
    second->values().JpegQuality = 95;
    second->controls().ExitKnop->click();
    second.reset();
    EXPECT_EQ(PictureFiles::ReadBytes(settingsPath()), QByteArray("1\r\n95\r\n"));

    // A run that ends without Exit leaves the file, so the next start shows the same number.
    EXPECT_EQ(start()->windowTitle(), QStringLiteral(" Galvora / 2"));
    EXPECT_EQ(start()->windowTitle(), QStringLiteral(" Galvora / 2"));
    EXPECT_EQ(PictureFiles::ReadBytes(settingsPath()), QByteArray("1\r\n95\r\n"));
}

// An installed program keeps its settings file in a folder of its own, apart from the albums.
TEST_F(WindowTest, SeparateSettingsFolderHoldsTheSettingsFile)
{
    QTemporaryDir settings;
    ASSERT_TRUE(settings.isValid());
    MainWindowServices s = services();
    s.settingsFolder = settings.path();
    MainWindow(s).controls().ExitKnop->click();
    MainWindow second(s);
    EXPECT_EQ(second.windowTitle(), QStringLiteral(" Galvora / 1"));
    second.controls().ExitKnop->click();
    EXPECT_EQ(PictureFiles::ReadBytes(settings.filePath(SettingsFileName)), QByteArray("1\r\n75\r\n"));
    EXPECT_EQ(Entries(folder.path()), QStringList());
}

enum class FullBy { FileSizeLimit, FullTmpfs };

struct FullDiskRow {
    const char *name;
    FullBy fullBy;
    QByteArray file; // what the file holds before the start
};
void PrintTo(const FullDiskRow &row, std::ostream *os)
{
    *os << row.name;
}

class FullDiskSettingsTest : public WindowTest, public ::testing::WithParamInterface<FullDiskRow>
{
};

// A full disk during the start-up rewrite or at Exit: the old file stays whole, byte for byte,
// no temporary file stays beside it, and Exit still ends the program.
TEST_P(FullDiskSettingsTest, LeavesTheOldFileWholeAndStillEnds)
{
    const FullDiskRow row = GetParam();
    const QString settings = folder.filePath(QStringLiteral("settings"));
    std::optional<SmallTmpfs> tmpfs;
    if (row.fullBy == FullBy::FullTmpfs) {
        tmpfs.emplace(settings);
        if (!tmpfs->problem().empty())
            GTEST_SKIP() << tmpfs->problem();
    }
    ASSERT_TRUE(QDir().mkpath(settings));
    const QString path = QDir(settings).filePath(SettingsFileName);
    ASSERT_TRUE(WriteBytes(path, row.file));
    if (tmpfs) {
        ASSERT_TRUE(tmpfs->fill(QStringLiteral("filler")));
    }
    const QStringList before = Entries(settings);
    MainWindowServices s = services();
    s.settingsFolder = settings;
    {
        // Shorter than any settings file, so the new file is cut off after a few bytes.
        std::optional<FileSizeLimit> limit;
        if (row.fullBy == FullBy::FileSizeLimit) {
            limit.emplace(3);
            ASSERT_TRUE(limit->applied());
        }
        MainWindow window(s);
        EXPECT_EQ(PictureFiles::ReadBytes(path), row.file) << "after the start";
        window.show();
        window.controls().ExitKnop->click();
        EXPECT_EQ(quits, 1);
        EXPECT_FALSE(window.isVisible());
    }
    EXPECT_EQ(PictureFiles::ReadBytes(path), row.file) << "after Exit";
    EXPECT_EQ(Entries(settings), before);
}

INSTANTIATE_TEST_SUITE_P(Writes, FullDiskSettingsTest,
                         ::testing::Values(
                             // A good file is written only at Exit; a bad one at start-up too.
                             FullDiskRow{"ExitUnderAFileSizeLimit", FullBy::FileSizeLimit, "4\r\n80\r\n"},
                             FullDiskRow{"StartUpAndExitUnderAFileSizeLimit", FullBy::FileSizeLimit,
                                         "5\r\n300\r\n"},
                             FullDiskRow{"ExitOnAFullTmpfs", FullBy::FullTmpfs, "4\r\n80\r\n"},
                             FullDiskRow{"StartUpAndExitOnAFullTmpfs", FullBy::FullTmpfs, "5\r\n300\r\n"}),
                         [](const auto &row) { return std::string(row.param.name); });

TEST_F(WindowTest, UnwritableProgramFolderStartsAndExitsWithoutWriting)
{
    const QFileDevice::Permissions writable = QFile::permissions(folder.path());
    ASSERT_TRUE(QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    // Root writes into a read-only folder all the same; for root a folder standing where the
    // settings file belongs makes every write fail.
    QFile probe(folder.filePath(QStringLiteral("probe")));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.close();
        probe.remove();
        ASSERT_TRUE(QDir(folder.path()).mkdir(SettingsFileName));
    }
    const QStringList before = Entries(folder.path());

    auto window = start();
    EXPECT_EQ(window->windowTitle(), QStringLiteral(" Galvora"));
    window->show();
    window->controls().ExitKnop->click();
    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(Entries(folder.path()), before);
    QFile::setPermissions(folder.path(), writable);
}

} // namespace
