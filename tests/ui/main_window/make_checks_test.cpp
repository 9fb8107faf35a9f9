// The Make command's input checks and the runs that end without a page, through the real
// main window.

#include "make_fixture.h"
#include "support/scratch_files.h"

#include <QApplication>
#include <QDialog>
#include <QPalette>

namespace
{

using Dialog = ConvertDialogDriver;

const QString Folder = QStringLiteral("Trip");

// A drive with 101 (empty) picture files, more than one Make accepts.
class ManyPicturesTest : public MakeTest
{
  protected:
    void SetUp() override
    {
        MakeTest::SetUp();
        for (int k = 1; k <= 101; ++k)
            touch(onDrive(QStringLiteral("p%1.jpg").arg(k, 3, 10, QLatin1Char('0'))));
        openWindow();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    void selectFirst(int count)
    {
        file1().clearSelection();
        for (int row = 0; row < count; ++row)
            file1().item(row)->setSelected(true);
        press("KnopRechts");
        ASSERT_EQ(list2().count(), count);
    }
};

struct CheckRow {
    const char *name;
    const char *folder, *fileName;
    int pictures;
    const char *message; // null: every check passes and the dialog is shown
    const char *title;
    const char *focus; // where the keyboard focus is after the message
};
void PrintTo(const CheckRow &row, std::ostream *os)
{
    *os << row.name;
}

class MakeCheckTest : public ManyPicturesTest, public ::testing::WithParamInterface<CheckRow>
{
};

TEST_P(MakeCheckTest, FirstFailingCheckIsTheOnlyMessage)
{
    const CheckRow &row = GetParam();
    selectFirst(row.pictures);
    typeNames(QLatin1String(row.folder), QLatin1String(row.fileName), QStringLiteral("Album"));
    control<QLineEdit>("Naam").setFocus();

    make(row.message ? Dialog::Answer() : Dialog::Cancel());

    if (row.message) {
        EXPECT_EQ(messages.texts, QStringList{QLatin1String(row.message)});
        EXPECT_EQ(messages.titles, QStringList{QLatin1String(row.title)});
        EXPECT_TRUE(statuses().isEmpty()) << Joined(statuses());
    } else {
        EXPECT_TRUE(messages.texts.isEmpty()) << Joined(messages.texts);
    }
    if (row.focus) {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), row.focus);
    }
    EXPECT_EQ(list2().count(), row.pictures);
    EXPECT_TRUE(pauses.isEmpty());
    EXPECT_TRUE(pointer.calls.isEmpty()) << Joined(pointer.calls);
    EXPECT_TRUE(outputFolders().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Checks, MakeCheckTest,
    ::testing::Values(CheckRow{"FolderAndFileNameEmpty", "", "", 1, "No foldername selected!", "Error",
                               "MapText"},
                      // The file name is checked before the count.
                      CheckRow{"FileNameEmptyWith101Pictures", "Trip", "", 101, "No filename selected!",
                               "Error", "FileText"},
                      CheckRow{"HundredAndOnePictures", "Trip", "index", 101,
                               "Maximal 100 pictures or photo's!", "", "Naam"},
                      CheckRow{"HundredPicturesPass", "Trip", "index", 100, nullptr, nullptr, nullptr},
                      // Only the empty text is refused.
                      CheckRow{"BlankFolderNamePasses", " ", "index", 1, nullptr, nullptr, nullptr}),
    [](const auto &row) { return std::string(row.param.name); });

TEST_F(MakeTest, NoPicturesBlinksTheSelectionThreeTimes)
{
    openWindow();
    typeNames(Folder, QStringLiteral("index"), QStringLiteral("Album"));
    const QColor red(255, 0, 0), normal(255, 240, 210);
    QVector<QColor> seen;
    onPause = [&](float) { seen << list1().palette().color(QPalette::Base); };

    make();

    EXPECT_EQ(messages.texts, QStringList{QStringLiteral("You have no pictures selected!")});
    EXPECT_EQ(messages.titles, QStringList{QStringLiteral("Error")});
    EXPECT_EQ(seen, (QVector<QColor>{red, normal, red, normal, red, normal}));
    EXPECT_EQ(pauses, QVector<float>(6, 0.2f));
    EXPECT_EQ(list1().palette().color(QPalette::Base), normal);
    EXPECT_TRUE(statuses().isEmpty());
}

// The blinks are no production: ">", a double-click, Delete and Delete All work meanwhile.
TEST_F(MakeTest, SelectionButtonsWorkDuringTheBlinks)
{
    writePicture(QStringLiteral("a.jpg"));
    writePicture(QStringLiteral("b.jpg"));
    openWindow();
    typeNames(Folder, QStringLiteral("index"), QStringLiteral("Album"));
    QVector<int> counts; // List1 and List2 entries after each pause's act
    onPause = [&](float) {
        switch (pauses.size()) {
        case 1:
            file1().clearSelection();
            file1().findItems(QStringLiteral("a.jpg"), Qt::MatchExactly).first()->setSelected(true);
            press("KnopRechts");
            break;
        case 2:
            doubleClick(file1(), file1().findItems(QStringLiteral("b.jpg"), Qt::MatchExactly).first());
            break;
        case 3:
            if (QListWidgetItem *first = list1().item(0))
                first->setSelected(true);
            press("ClearKnop");
            break;
        case 4:
            press("ClearAll");
            break;
        default:
            return;
        }
        counts << int(list1().count()) << int(list2().count());
    };

    make();

    EXPECT_EQ(messages.texts, QStringList{QStringLiteral("You have no pictures selected!")});
    EXPECT_EQ(pauses, QVector<float>(6, 0.2f));
    EXPECT_EQ(counts, (QVector<int>{1, 1, 2, 2, 1, 1, 0, 0}));
    EXPECT_FALSE(main().productionRunning());
}

// One good picture, selected, and the names typed.
class OnePictureTest : public MakeTest
{
  protected:
    void SetUp() override
    {
        MakeTest::SetUp();
        writePicture(QStringLiteral("beach.jpg"));
        openWindow();
        exportFiles({QStringLiteral("beach.jpg")});
        typeNames(Folder, QStringLiteral("index"), QStringLiteral("Album"));
    }
    QString picture(const QString &folderName) const
    {
        return inProgram(folderName + QStringLiteral("/images/picture1.jpg"));
    }
};

TEST_F(OnePictureTest, CancelShowsOnlyTheDialogsReady)
{
    make(Dialog::Cancel());

    EXPECT_EQ(statuses(), QStringList{QStringLiteral("Ready...")});
    EXPECT_EQ(statusLine(), QStringLiteral("Ready..."));
    EXPECT_TRUE(pointer.calls.isEmpty()) << Joined(pointer.calls);
    EXPECT_EQ(main().values().PageStyle, PageStyles::Abandoned);
    EXPECT_TRUE(pauses.isEmpty());
    EXPECT_TRUE(outputFolders().isEmpty());
    EXPECT_TRUE(opener.opened.isEmpty());
}

TEST_F(OnePictureTest, OkWithoutAnOptionOnTheFirstMakeProducesNothing)
{
    make(Dialog::OkWithoutOption());

    EXPECT_EQ(main().values().PageStyle, PageStyles::None);
    EXPECT_EQ(statuses(), (QStringList{QStringLiteral("Ready..."), QStringLiteral("Wait..."),
                                       QStringLiteral("Ready...")}));
    EXPECT_EQ(pointer.calls, (QStringList{QStringLiteral("busy"), QStringLiteral("arrow")}));
    EXPECT_EQ(pauses, QVector<float>{1.0f});
    EXPECT_TRUE(outputFolders().isEmpty());
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST_F(OnePictureTest, AfterAnAbandonedRunOkWithoutAnOptionEndsLikeCancel)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir(Folder));
    make(Dialog::Choose(3));
    ASSERT_EQ(messages.texts, QStringList{QStringLiteral("Map Trip existing...")});
    ASSERT_EQ(main().values().PageStyle, PageStyles::Abandoned);
    forget();

    make(Dialog::OkWithoutOption());

    EXPECT_EQ(statuses(), QStringList{QStringLiteral("Ready...")});
    EXPECT_TRUE(pointer.calls.isEmpty()) << Joined(pointer.calls);
    EXPECT_TRUE(messages.texts.isEmpty()) << Joined(messages.texts);
    EXPECT_EQ(pauses, QVector<float>{1.0f});
    EXPECT_EQ(filesIn(Folder), QStringList());
    EXPECT_TRUE(opener.opened.isEmpty());
}

TEST_F(OnePictureTest, SlideShowAfterA640By480StyleStillGets300By200)
{
    type("MapText", QStringLiteral("Big"));
    make(Dialog::Choose(3, {{"BrText", QStringLiteral("640")}, {"HoText", QStringLiteral("480")}}));
    ASSERT_EQ(PictureSize(picture(QStringLiteral("Big"))), QSize(640, 480));

    type("MapText", QStringLiteral("Show"));
    make(Dialog::Choose(2));

    EXPECT_TRUE(messages.texts.isEmpty()) << Joined(messages.texts);
    EXPECT_EQ(PictureSize(picture(QStringLiteral("Show"))), QSize(300, 200));
    EXPECT_EQ(opener.opened.size(), 2);
}

struct AbandonRow {
    const char *name;
    int option;
    bool existingFolder; // else the second picture is a text file named x.jpg
};
void PrintTo(const AbandonRow &row, std::ostream *os)
{
    *os << row.name;
}

class AbandonedProductionTest : public OnePictureTest, public ::testing::WithParamInterface<AbandonRow>
{
  protected:
    void SetUp() override
    {
        if (!GetParam().existingFolder) {
            ASSERT_TRUE(QFile::copy(QStringLiteral(GALVORA_TEST_DATA "/pictures/text_file_named.jpg"),
                                    onDrive(QStringLiteral("x.jpg"))));
        }
        OnePictureTest::SetUp();
    }
};

TEST_P(AbandonedProductionTest, ReportsTheCauseAndOpensNothing)
{
    const AbandonRow &row = GetParam();
    const QString earlier = inProgram(QStringLiteral("Trip/earlier.txt"));
    if (row.existingFolder) {
        ASSERT_TRUE(QDir(folder.path()).mkdir(Folder));
        ASSERT_TRUE(QFile(earlier).open(QIODevice::WriteOnly));
    } else {
        exportFiles({QStringLiteral("x.jpg")}); // after the good picture
    }

    make(Dialog::Choose(row.option));

    const QString expected =
        row.existingFolder
            ? QStringLiteral("Map Trip existing...")
            : QStringLiteral("Picture ") + list2().item(1)->text() +
                  QStringLiteral(
                      " could not be read: not a JPEG, GIF, BMP, PNG, WebP, TIFF, HEIC or AVIF picture");
    EXPECT_EQ(messages.texts, QStringList{expected});
    EXPECT_EQ(main().values().PageStyle, PageStyles::Abandoned);
    EXPECT_FALSE(QFile::exists(inProgram(QStringLiteral("Trip/index.html"))));
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_EQ(statusLine(), QStringLiteral("Ready..."));
    EXPECT_EQ(pointer.calls.last(), QStringLiteral("arrow"));
    if (row.existingFolder)
        EXPECT_EQ(QDir(inProgram(Folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("earlier.txt")})
            << "the earlier folder was written into";
    else
        EXPECT_EQ(filesIn(QStringLiteral("Trip/images")), QStringList{QStringLiteral("picture1.jpg")});
    EXPECT_FALSE(ScratchLeftBelow(inProgram(QString())));
}

INSTANTIATE_TEST_SUITE_P(Runs, AbandonedProductionTest,
                         ::testing::Values(AbandonRow{"ExistingFolderThumbnails", 3, true},
                                           AbandonRow{"ExistingFolderPictureShow", 1, true},
                                           AbandonRow{"ExistingFolderResize", 7, true},
                                           AbandonRow{"DamagedPictureThumbnails", 3, false},
                                           AbandonRow{"DamagedPicturePhotoalbum2", 6, false}),
                         [](const auto &row) { return std::string(row.param.name); });

// Pictures are read by their content, whatever their names say.
TEST_F(MakeTest, PicturesUnderAnotherTypesNameConvert)
{
    const QImage quadrants = TestPictures::Quadrants(64, 48);
    ASSERT_TRUE(TestPictures::WriteWithQt(quadrants, onDrive(QStringLiteral("a_png.jpg")), "PNG"));
    ASSERT_TRUE(TestPictures::WriteTinyGif(onDrive(QStringLiteral("b_gif.jpg")), 64, 48, Qt::blue));
    ASSERT_TRUE(TestPictures::WriteJpeg(quadrants, onDrive(QStringLiteral("c_jpeg.bmp"))));
    openWindow();
    exportFiles({QStringLiteral("a_png.jpg"), QStringLiteral("b_gif.jpg"), QStringLiteral("c_jpeg.bmp")});
    typeNames(Folder, QStringLiteral("index"), QStringLiteral("Album"));

    make(Dialog::Choose(7, {{"BrText", QStringLiteral("64")}, {"HoText", QStringLiteral("48")}}));

    EXPECT_TRUE(messages.texts.isEmpty()) << Joined(messages.texts);
    EXPECT_EQ(main().values().PageStyle, PageStyles::ResizePictures);
    ASSERT_EQ(filesIn(QStringLiteral("Trip/images")),
              (QStringList{QStringLiteral("picture1.jpg"), QStringLiteral("picture2.jpg"),
                           QStringLiteral("picture3.jpg")}));
    const QImage png(inProgram(QStringLiteral("Trip/images/picture1.jpg")));
    const QImage gif(inProgram(QStringLiteral("Trip/images/picture2.jpg")));
    const QImage jpeg(inProgram(QStringLiteral("Trip/images/picture3.jpg")));
    EXPECT_TRUE(TestPictures::Near(TestPictures::ColourAround(png, 48, 36), Qt::yellow));
    EXPECT_TRUE(TestPictures::Near(TestPictures::ColourAround(gif, 32, 24), Qt::blue));
    EXPECT_TRUE(TestPictures::Near(TestPictures::ColourAround(jpeg, 16, 12), Qt::red));
}

// A damaged JPEG in the middle of five stops the run there and is named, with its reason.
TEST_F(MakeTest, DamagedPictureIsNamedWithItsReason)
{
    for (const char *name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"})
        writePicture(QLatin1String(name));
    QFile damaged(onDrive(QStringLiteral("c.jpg")));
    ASSERT_TRUE(damaged.resize(damaged.size() * 6 / 10));
    openWindow();
    exportFiles({QStringLiteral("a.jpg"), QStringLiteral("b.jpg"), QStringLiteral("c.jpg"),
                 QStringLiteral("d.jpg"), QStringLiteral("e.jpg")});
    typeNames(Folder, QStringLiteral("index"), QStringLiteral("Album"));

    make(Dialog::Choose(3));

    ASSERT_EQ(list2().count(), 5);
    EXPECT_EQ(messages.texts,
              QStringList{QStringLiteral("Picture ") + list2().item(2)->text() +
                          QStringLiteral(" could not be read: the file ends before the picture does")})
        << Joined(messages.texts);
    EXPECT_EQ(messages.titles, QStringList{QString()});
    EXPECT_EQ(main().values().PageStyle, PageStyles::Abandoned);
    EXPECT_EQ(filesIn(QStringLiteral("Trip/images")),
              (QStringList{QStringLiteral("picture1.jpg"), QStringLiteral("picture2.jpg")}));
    EXPECT_FALSE(QFile::exists(inProgram(QStringLiteral("Trip/index.html"))));
    EXPECT_TRUE(opener.opened.isEmpty());
}

} // namespace

namespace
{

// The production is the one the request described when Make went ahead: a title typed, a colour
// mixed and the selection emptied while it runs reach neither its pictures nor its page, and the
// swatch opens no dialog meanwhile.
TEST_F(MakeTest, ChangesDuringAProductionDoNotReachIt)
{
    writePicture(QStringLiteral("a.jpg"));
    writePicture(QStringLiteral("b.jpg"));
    openWindow();
    exportFiles({QStringLiteral("a.jpg"), QStringLiteral("b.jpg")});
    typeNames(QStringLiteral("Trip"), QStringLiteral("index"), QStringLiteral("First title"));
    bool dialogShown = false;
    onPause = [&](float seconds) {
        if (seconds != 0.2f || pauses.count(0.2f) != 1)
            return;
        type("Naam", QStringLiteral("Second title"));
        main().values().BackRed = 1;
        main().values().BackGreen = 2;
        main().values().BackBlue = 3;
        list1().clear();
        control<QListWidget>("List2").clear();
        QTest::mouseClick(&control<QLabel>("KleurLabel"), Qt::LeftButton);
        dialogShown =
            QApplication::activeModalWidget() != nullptr || main().findChild<QDialog *>() != nullptr;
    };

    make(ConvertDialogDriver::Choose(PageStyles::Photoalbum1, {}));

    ASSERT_TRUE(messages.texts.isEmpty()) << messages.texts.first().toStdString();
    EXPECT_FALSE(dialogShown) << "the swatch opens no dialog while a production runs";
    EXPECT_EQ(filesIn(QStringLiteral("Trip/images")),
              (QStringList{QStringLiteral("picture1.jpg"), QStringLiteral("picture2.jpg")}));
    const QByteArray page = PictureFiles::ReadBytes(inProgram(QStringLiteral("Trip/index.html")));
    EXPECT_TRUE(page.contains("First title"));
    EXPECT_FALSE(page.contains("Second title"));
    EXPECT_TRUE(page.contains("#E0F0E0")) << "the colour the run started with";
    EXPECT_TRUE(page.contains(" / 2\"")) << "both pictures of the selection";
    EXPECT_EQ(main().values().PageColour, QStringLiteral("#E0F0E0"));
}

} // namespace
