// The command line makes the album the window makes from the same pictures and values: the same
// files, byte for byte, for each of the eight kinds.

#include "galvora_process.h"
#include "main_window/make_fixture.h"
#include "shared/production_kinds.h"

namespace
{

struct KindRow {
    const char *arguments;                                    // the kind and its options on the command line
    std::vector<std::pair<const char *, QString>> boxes = {}; // the Convert dialog's values for them
};

class SameAlbumTest : public MakeTest, public ::testing::WithParamInterface<KindRow>
{
};

TEST_P(SameAlbumTest, TheCommandLineMakesTheWindowsAlbumByteForByte)
{
    const KindRow &row = GetParam();
    const QStringList kindArguments = Words(row.arguments);
    const ProductionKind *kind = KindNamed(kindArguments.first());
    ASSERT_TRUE(kind);
    const QStringList order = Words("beach.jpg Harbour.gif dunes.bmp");
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
    make(ConvertDialogDriver::Choose(kind->pageStyle, row.boxes));
    ASSERT_TRUE(messages.texts.isEmpty()) << messages.texts.first().toStdString();

    QTemporaryDir elsewhere;
    QStringList arguments = Words("make") + kindArguments + Words("-n holiday -q 75 --quiet -o");
    arguments << elsewhere.filePath(QStringLiteral("Trip"));
    if (kind->showsTitle) // refused where the page shows none
        arguments << QStringLiteral("-t") << QStringLiteral("Holiday album");
    for (const QString &name : order)
        arguments << onDrive(QStringLiteral("Sea & Sand/") + name);
    const Finished command = RunGalvora(arguments, elsewhere.path());
    ASSERT_EQ(command.status, 0) << command.err.toStdString();

    const QString windowAlbum = inProgram(QStringLiteral("Trip")),
                  commandLine = elsewhere.filePath(QStringLiteral("Trip"));
    const QStringList files = Tree(windowAlbum);
    ASSERT_GE(files.size(), 4) << "images/ and the three pictures at least";
    EXPECT_EQ(Tree(commandLine), files);
    for (const QString &file : files) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_SAME_PAGE(PictureFiles::ReadBytes(commandLine + QLatin1Char('/') + file),
                         PictureFiles::ReadBytes(windowAlbum + QLatin1Char('/') + file));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SameAlbumTest,
    ::testing::Values(
        KindRow{"picture-show"}, KindRow{"slide-show -d 4", {{"PauzeText", "4"}}}, KindRow{"thumbnails"},
        KindRow{"block-effect -s 160x120 -b 20", {{"BrText", "160"}, {"HoText", "120"}, {"BlokText", "20"}}},
        KindRow{"photoalbum-1"}, KindRow{"photoalbum-2"}, KindRow{"resize -s 96x200", {{"BrText", "96"}}},
        KindRow{"web-album -s 200x150", {{"BrText", "200"}, {"HoText", "150"}}}),
    [](const auto &row) {
        return Words(row.param.arguments).first().replace(QLatin1Char('-'), QLatin1Char('_')).toStdString();
    });

} // namespace
