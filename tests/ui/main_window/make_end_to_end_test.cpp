// The Make command through the real main window: pictures chosen in the browser, names typed,
// Make pressed, the Convert dialog answered, and the output on disk checked.

#include "html_pages/page_file.h"
#include "make_fixture.h"
#include "support/scratch_files.h"

#include <QRegularExpression>

namespace
{

using Dialog = ConvertDialogDriver;

const QString Folder = QStringLiteral("Trip");
const QString FileName = QStringLiteral("holiday");

struct OptionRow {
    const char *name;
    int option;
    const char *title; // typed into Naam
    std::vector<std::pair<const char *, QString>> boxes;
    const char *expected; // the page test's expected page; null: no page
    QSize pictureSize;    // of picture1.jpg; invalid: the picture is copied unchanged
};
void PrintTo(const OptionRow &row, std::ostream *os)
{
    *os << row.name;
}

class MakeOptionTest : public MakeTest, public ::testing::WithParamInterface<OptionRow>
{
};

// The inputs are those the page tests made their expected pages with.
TEST_P(MakeOptionTest, ProducesWhatTheOptionNamesAndOpensIt)
{
    const OptionRow &row = GetParam();
    writePicture(QStringLiteral("Sea & Sand/beach.jpg"), QDateTime(QDate(2021, 3, 4), QTime(10, 20, 30)));
    openWindow();
    enterFolder(QStringLiteral("Sea & Sand"));
    exportFiles({QStringLiteral("beach.jpg")});
    typeNames(Folder, FileName, QString::fromUtf8(row.title));

    make(Dialog::Choose(row.option, row.boxes));

    ASSERT_TRUE(messages.texts.isEmpty()) << messages.texts.first().toStdString();
    EXPECT_EQ(main().values().PageStyle, row.option);
    const bool page = row.expected != nullptr;
    QStringList after{QStringLiteral("Ready..."), QStringLiteral("Wait..."),
                      QStringLiteral("Convert picture 1 of 1")};
    if (page)
        after << QStringLiteral("Convert pictures ready, open html page....");
    after << QStringLiteral("Ready...");
    EXPECT_EQ(statuses().mid(1), after) << Joined(statuses()); // the first is the option's own text
    EXPECT_EQ(statusLine(), QStringLiteral("Ready..."));
    EXPECT_EQ(pointer.calls, (QStringList{QStringLiteral("busy"), QStringLiteral("arrow")}));
    QVector<float> expectedPauses{1.0f, 0.2f};
    if (page)
        expectedPauses << 1.0f;
    EXPECT_EQ(pauses, expectedPauses);

    EXPECT_EQ(outputFolders(), QStringList{Folder});
    EXPECT_EQ(filesIn(QStringLiteral("Trip/images")), QStringList{QStringLiteral("picture1.jpg")});
    const QString picture = inProgram(QStringLiteral("Trip/images/picture1.jpg"));
    if (row.pictureSize.isValid())
        EXPECT_EQ(PictureSize(picture), row.pictureSize);
    else
        EXPECT_EQ(PictureFiles::ReadBytes(picture),
                  PictureFiles::ReadBytes(onDrive(QStringLiteral("Sea & Sand/beach.jpg"))));
    EXPECT_FALSE(ScratchLeftBelow(inProgram(QString())));

    const QString pagePath = inProgram(QStringLiteral("Trip/holiday.html"));
    if (!page) {
        EXPECT_EQ(filesIn(Folder), QStringList());
        EXPECT_TRUE(opener.opened.isEmpty());
        return;
    }
    EXPECT_EQ(opener.opened, QStringList{pagePath});
    ASSERT_FALSE(drive.path().contains(QRegularExpression(QStringLiteral("[&<>\"]"))));
    const QByteArray date = EncodePageText(main().values().PictureDates.value(0));
    if (QByteArray(row.expected).startsWith("thumbnails")) {
        ASSERT_FALSE(date.isEmpty()) << "no file date for the page";
    }
    const std::string difference = Golden::FirstDifference(
        PictureFiles::ReadBytes(pagePath),
        ExpectedPage(row.expected, {{"@FOLDER@", drive.path().toUpper().toUtf8()}, {"@DATE1@", date}}));
    EXPECT_TRUE(difference.empty()) << difference;
}

INSTANTIATE_TEST_SUITE_P(
    Options, MakeOptionTest,
    ::testing::Values(
        OptionRow{"PictureShow", 1, "Holiday album", {}, "picture_show_1.html", QSize()},
        OptionRow{
            "SlideShow", 2, "", {{"PauzeText", QStringLiteral("4")}}, "slide_show_1.html", QSize(300, 200)},
        OptionRow{"Thumbnails", 3, "", {}, "thumbnails_1.html", QSize(160, 120)},
        OptionRow{"BlockEffect",
                  4,
                  "",
                  {{"BrText", QStringLiteral("160")}, {"HoText", QStringLiteral("120")}},
                  "block_effect_1.html",
                  QSize(160, 120)},
        OptionRow{"Photoalbum1", 5, "Holiday", {}, "photoalbum1_1.html", QSize(360, 270)},
        OptionRow{"Photoalbum2", 6, "Holiday", {}, "photoalbum2_1.html", QSize(360, 270)},
        OptionRow{"ResizePictures", 7, "", {{"BrText", QStringLiteral("96")}}, nullptr, QSize(96, 200)}),
    [](const auto &row) { return std::string(row.param.name); });

// Three pictures of three kinds, in an order that is not the file list's, dated apart.
class ThreePicturesTest : public MakeTest
{
  protected:
    const QStringList order{QStringLiteral("beach.jpg"), QStringLiteral("Harbour.gif"),
                            QStringLiteral("dunes.bmp")};

    void selectThree()
    {
        QDateTime stamp(QDate(2021, 3, 4), QTime(10, 20, 30));
        for (const QString &name : order) {
            writePicture(QStringLiteral("Sea & Sand/") + name, stamp);
            stamp = stamp.addDays(40).addSecs(3700);
        }
        writePicture(QStringLiteral("Sea & Sand/extra.jpg"));
        openWindow();
        enterFolder(QStringLiteral("Sea & Sand"));
        for (const QString &name : order)
            exportFiles({name});
        typeNames(QStringLiteral("Thumbs"), QStringLiteral("Default"), QStringLiteral("Holiday album"));
    }

    QByteArray expectedThumbnails()
    {
        std::vector<std::pair<QByteArray, QByteArray>> fill{{"@FOLDER@", drive.path().toUpper().toUtf8()}};
        for (int i = 0; i < 3; ++i)
            fill.emplace_back("@DATE" + QByteArray::number(i + 1) + '@',
                              EncodePageText(main().values().PictureDates.value(i)));
        return ExpectedPage("thumbnails_3.html", fill);
    }
};

class ClickDuringProductionTest;
struct MeanwhileRow {
    const char *name;
    std::function<void(ClickDuringProductionTest &)> act;
};
void PrintTo(const MeanwhileRow &row, std::ostream *os)
{
    *os << row.name;
}

class ClickDuringProductionTest : public ThreePicturesTest, public ::testing::WithParamInterface<MeanwhileRow>
{
  public:
    // What the row's act needs of the fixture.
    void pressButton(const char *name) { press(name); }
    void markFirstSelected() { list1().item(0)->setSelected(true); }
    void doubleClickFile(const char *name)
    {
        doubleClick(file1(), file1().findItems(QLatin1String(name), Qt::MatchExactly).value(0));
    }
    void markFile(const char *name)
    {
        file1().clearSelection();
        file1().findItems(QLatin1String(name), Qt::MatchExactly).first()->setSelected(true);
    }
};

// Pause lets every click through while pictures are converted; none of them may reach the
// production under way: its numbering, its lists and its files stay those of the first press.
TEST_P(ClickDuringProductionTest, ChangesNothingOfTheProduction)
{
    selectThree();
    const std::string names = Texts(list1()), paths = Texts(list2());
    int acted = 0;
    onPause = [&](float seconds) {
        if (seconds == 0.2f && acted++ == 0) // during the first picture's pause
            GetParam().act(*this);
    };

    make(Dialog::Choose(3, {{"BrText", QStringLiteral("120")}, {"HoText", QStringLiteral("90")}}));

    EXPECT_EQ(acted, 3);
    EXPECT_EQ(dialogs.shown, 1) << "a second Convert dialog was shown";
    EXPECT_TRUE(messages.texts.isEmpty()) << Joined(messages.texts);
    EXPECT_EQ(Texts(list1()), names);
    EXPECT_EQ(Texts(list2()), paths);
    EXPECT_EQ(outputFolders(), QStringList{QStringLiteral("Thumbs")});
    EXPECT_EQ(filesIn(QStringLiteral("Thumbs/images")),
              (QStringList{QStringLiteral("picture1.jpg"), QStringLiteral("picture2.jpg"),
                           QStringLiteral("picture3.jpg")}));
    const std::string difference = Golden::FirstDifference(
        PictureFiles::ReadBytes(inProgram(QStringLiteral("Thumbs/Default.html"))), expectedThumbnails());
    EXPECT_TRUE(difference.empty()) << difference;
    EXPECT_EQ(opener.opened, QStringList{inProgram(QStringLiteral("Thumbs/Default.html"))});
    EXPECT_EQ(statusLine(), QStringLiteral("Ready..."));
    EXPECT_EQ(pointer.calls.last(), QStringLiteral("arrow"));
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, ClickDuringProductionTest,
    ::testing::Values(
        MeanwhileRow{"Make", [](ClickDuringProductionTest &test) { test.pressButton("MakeKnop"); }},
        MeanwhileRow{"ExportAnotherPicture",
                     [](ClickDuringProductionTest &test) {
                         test.markFile("extra.jpg");
                         test.pressButton("KnopRechts");
                     }},
        MeanwhileRow{"DoubleClickAFile",
                     [](ClickDuringProductionTest &test) { test.doubleClickFile("extra.jpg"); }},
        MeanwhileRow{"Delete",
                     [](ClickDuringProductionTest &test) {
                         test.markFirstSelected();
                         test.pressButton("ClearKnop");
                     }},
        MeanwhileRow{"DeleteAll", [](ClickDuringProductionTest &test) { test.pressButton("ClearAll"); }}),
    [](const auto &row) { return std::string(row.param.name); });

// The selection buttons work again once the production is over.
TEST_F(ThreePicturesTest, SelectionButtonsWorkAgainAfterTheProduction)
{
    selectThree();
    make(Dialog::Choose(3, {{"BrText", QStringLiteral("120")}, {"HoText", QStringLiteral("90")}}));
    ASSERT_EQ(list2().count(), 3);
    press("ClearAll");
    EXPECT_EQ(list1().count(), 0);
    EXPECT_EQ(list2().count(), 0);
    EXPECT_EQ(selectAantal(), "0");
}

} // namespace
