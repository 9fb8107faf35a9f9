// The command line makes the album the window makes from the same pictures and values: the same
// files, byte for byte, for each of the eight kinds.

#include "main_window/make_fixture.h"
#include "shared/production_kinds.h"

#include <QDirIterator>
#include <QProcess>

namespace
{

struct KindRow {
    const char *name;
    int option; // the Convert dialog's option
    std::vector<std::pair<const char *, QString>> boxes;
    QStringList arguments; // the kind and its options on the command line
};
void PrintTo(const KindRow &row, std::ostream *os)
{
    *os << row.name;
}

// Every file below `folder`, by its path inside it.
QStringList FilesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

class SameAlbumTest : public MakeTest, public ::testing::WithParamInterface<KindRow>
{
};

TEST_P(SameAlbumTest, TheCommandLineMakesTheWindowsAlbumByteForByte)
{
    const KindRow &row = GetParam();
    const QStringList order{QStringLiteral("beach.jpg"), QStringLiteral("Harbour.gif"),
                            QStringLiteral("dunes.bmp")};
    QDateTime stamp(QDate(2021, 3, 4), QTime(10, 20, 30));
    for (const QString &name : order) {
        writePicture(QStringLiteral("Sea & Sand/") + name, stamp);
        stamp = stamp.addDays(40);
    }
    openWindow();
    enterFolder(QStringLiteral("Sea & Sand"));
    for (const QString &name : order)
        exportFiles({name});
    typeNames(QStringLiteral("Trip"), QStringLiteral("holiday"), QStringLiteral("Holiday album"));
    make(ConvertDialogDriver::Choose(row.option, row.boxes));
    ASSERT_TRUE(messages.texts.isEmpty()) << messages.texts.first().toStdString();

    QTemporaryDir elsewhere;
    QStringList arguments{QStringLiteral("make")};
    arguments << row.arguments
              << QStringList{QStringLiteral("-o"),     elsewhere.filePath(QStringLiteral("Trip")),
                             QStringLiteral("-n"),     QStringLiteral("holiday"),
                             QStringLiteral("-q"),     QStringLiteral("75"),
                             QStringLiteral("--quiet")};
    if (KindOfPageStyle(std::uint8_t(row.option))->showsTitle) // refused where the page shows none
        arguments << QStringLiteral("-t") << QStringLiteral("Holiday album");
    for (const QString &name : order)
        arguments << onDrive(QStringLiteral("Sea & Sand/") + name);
    QProcess command;
    command.start(QStringLiteral(GALVORA_PROGRAM), arguments);
    ASSERT_TRUE(command.waitForFinished(60000));
    ASSERT_EQ(command.exitCode(), 0) << command.readAllStandardError().toStdString();

    const QString windowAlbum = inProgram(QStringLiteral("Trip")),
                  commandLine = elsewhere.filePath(QStringLiteral("Trip"));
    const QStringList files = FilesBelow(windowAlbum);
    ASSERT_GE(files.size(), 3);
    EXPECT_EQ(FilesBelow(commandLine), files);
    for (const QString &file : files) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_SAME_PAGE(PictureFiles::ReadBytes(commandLine + QLatin1Char('/') + file),
                         PictureFiles::ReadBytes(windowAlbum + QLatin1Char('/') + file));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SameAlbumTest,
    ::testing::Values(KindRow{"PictureShow", 1, {}, {QStringLiteral("picture-show")}},
                      KindRow{"SlideShow",
                              2,
                              {{"PauzeText", QStringLiteral("4")}},
                              {QStringLiteral("slide-show"), QStringLiteral("-d"), QStringLiteral("4")}},
                      KindRow{"Thumbnails", 3, {}, {QStringLiteral("thumbnails")}},
                      KindRow{"BlockEffect",
                              4,
                              {{"BrText", QStringLiteral("160")},
                               {"HoText", QStringLiteral("120")},
                               {"BlokText", QStringLiteral("20")}},
                              {QStringLiteral("block-effect"), QStringLiteral("-s"),
                               QStringLiteral("160x120"), QStringLiteral("-b"), QStringLiteral("20")}},
                      KindRow{"Photoalbum1", 5, {}, {QStringLiteral("photoalbum-1")}},
                      KindRow{"Photoalbum2", 6, {}, {QStringLiteral("photoalbum-2")}},
                      KindRow{"ResizePictures",
                              7,
                              {{"BrText", QStringLiteral("96")}},
                              {QStringLiteral("resize"), QStringLiteral("-s"), QStringLiteral("96x200")}},
                      KindRow{
                          "WebAlbum",
                          8,
                          {{"BrText", QStringLiteral("200")}, {"HoText", QStringLiteral("150")}},
                          {QStringLiteral("web-album"), QStringLiteral("-s"), QStringLiteral("200x150")}}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
