#include "convert_dialog/convert_dialog.h"
#include "support/find_child.h"

#include "main_window/window_fixture.h"
#include "support/fake_host.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>

// Readable QString values in failure output.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace
{

const QStringList ParameterControls = {"BrText", "HoText",   "PauzeText", "Wlabel",
                                       "Hlabel", "BlokText", "BlLabel"};

// Values no click or box of the dialog would produce, so any write shows.
ProgramValues Sentinels()
{
    ProgramValues v;
    v.PageStyle = 42;
    v.PictureWidth = -7;
    v.PictureHeight = -8;
    v.PauseSeconds = 77;
    v.BlockSize = 88;
    v.JpegQuality = 75;
    return v;
}

bool SameSettings(const ProgramValues &a, const ProgramValues &b)
{
    return a.PageStyle == b.PageStyle && a.PictureWidth == b.PictureWidth &&
           a.PictureHeight == b.PictureHeight && a.PauseSeconds == b.PauseSeconds &&
           a.BlockSize == b.BlockSize && a.JpegQuality == b.JpegQuality;
}

class ConvertDialogTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        // Pin the reading locale so "8.6" means the same on every machine.
        QLocale::setDefault(QLocale::c());
        host.state = Sentinels();
        Open();
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    // Wired as the main window wires it: every store lands in host.state at once.
    void Open()
    {
        ConvertDialogReports reports{
            [this](const QString &text) { host.showStatus(text); },
            [this](const QString &text, const QString &title) { host.showMessage(text, title); }};
        dialog = std::make_unique<ConvertDialog>(host.state, std::move(reports));
        QObject::connect(dialog.get(), &ConvertDialog::stored, [this](const ConvertSettings &settings) {
            static_cast<ConvertSettings &>(host.state) = settings;
        });
        dialog->show();
    }

    template <typename W = QWidget> W *Child(const QString &name) { return &FindChild<W>(*dialog, name); }
    QLineEdit *Box(const char *name) { return Child<QLineEdit>(QLatin1String(name)); }
    QString Text(const char *name) { return Box(name)->text(); }

    void ClickOption(int index)
    {
        QTest::mouseClick(Child<QRadioButton>(QStringLiteral("Knop%1").arg(index)), Qt::LeftButton);
    }
    void ClickButton(const char *name)
    {
        QTest::mouseClick(Child<QPushButton>(QLatin1String(name)), Qt::LeftButton);
    }

    // Types over the selected text, one key at a time; an empty text deletes it all.
    void TypeOver(const char *name, const QString &text)
    {
        QLineEdit *box = Box(name);
        box->setFocus();
        box->selectAll();
        if (text.isEmpty())
            QTest::keyClick(box, Qt::Key_Backspace);
        else
            QTest::keyClicks(box, text);
    }

    std::set<QString> ShownParameters()
    {
        std::set<QString> shown;
        for (const QString &name : ParameterControls)
            if (!Child(name)->isHidden())
                shown.insert(name);
        return shown;
    }

    FakeHost host;
    std::unique_ptr<ConvertDialog> dialog;
};

TEST_F(ConvertDialogTest, OpensWithNothingChosenAndTheCurrentQuality)
{
    host.state.JpegQuality = 88;
    Open();
    EXPECT_EQ(dialog->objectName(), "Convert");
    EXPECT_EQ(dialog->windowTitle(), " Convert your pictures to.....");
    EXPECT_EQ(dialog->size(), QSize(340, 178));
    for (int i = 1; i <= 8; ++i)
        EXPECT_FALSE(Child<QRadioButton>(QStringLiteral("Knop%1").arg(i))->isChecked()) << i;
    EXPECT_TRUE(Child<QLabel>("Label4")->text().isEmpty());
    EXPECT_TRUE(ShownParameters().empty());
    EXPECT_EQ(Text("Text1"), "88");
    ProgramValues expected = Sentinels();
    expected.JpegQuality = 88;
    EXPECT_TRUE(SameSettings(host.state, expected));
    EXPECT_TRUE(host.statuses.isEmpty());
}

TEST_F(ConvertDialogTest, ColoursOfBoxesAndDarkGreyTexts)
{
    for (const char *name : {"BrText", "PauzeText", "HoText", "BlokText", "Text1"})
        EXPECT_EQ(Box(name)->palette().color(QPalette::Base), QColor(224, 224, 224)) << name;
    EXPECT_EQ(Box("Text1")->palette().color(QPalette::Text), QColor(64, 64, 64));
    for (const char *name : {"Label2", "Label4", "Label5"})
        EXPECT_EQ(Child(QLatin1String(name))->palette().color(QPalette::WindowText), QColor(64, 64, 64))
            << name;
    EXPECT_EQ(Child("Label3")->palette().color(QPalette::Window), QColor(Qt::black));
}

// Every control as laid out after loading; positions in twips inside Frame1.
struct ControlRow {
    const char *name;
    const char *kind;
    const char *text;
    const char *tip;
    int left, top, width, height;
    bool visible;
};

class ConvertDialogLayoutTest : public ConvertDialogTest, public ::testing::WithParamInterface<ControlRow>
{
};

TEST_P(ConvertDialogLayoutTest, PlacesCaptionsTipsAndVisibility)
{
    const ControlRow row = GetParam();
    QWidget *widget = Child(QLatin1String(row.name));
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->inherits(row.kind));
    EXPECT_EQ(widget->geometry(), QRect(row.left / 15, row.top / 15, row.width / 15, row.height / 15));
    EXPECT_EQ(widget->toolTip(), QString::fromLatin1(row.tip));
    EXPECT_EQ(!widget->isHidden(), row.visible);
    EXPECT_EQ(widget->property("text").toString(), QString::fromLatin1(row.text));
    if (QLatin1String(row.name) != QLatin1String("Frame1")) {
        EXPECT_EQ(widget->parentWidget(), Child("Frame1"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Controls, ConvertDialogLayoutTest,
    ::testing::Values(ControlRow{"Frame1", "QFrame", "", "", 60, -30, 5025, 2715, true},
                      ControlRow{"Label1", "QLabel", "", "", 120, 210, 3465, 1605, true},
                      ControlRow{"Knop1", "QRadioButton", "Picture Show", "", 300, 360, 1335, 255, true},
                      ControlRow{"Knop2", "QRadioButton", "Slide Show", "", 300, 630, 1545, 225, true},
                      ControlRow{"Knop3", "QRadioButton", "Thumbnails", "", 300, 900, 1365, 255, true},
                      ControlRow{"Knop4", "QRadioButton", "Block effect", "", 300, 1170, 1545, 225, true},
                      ControlRow{"Knop5", "QRadioButton", "Photoalbum 1", "", 300, 1440, 1545, 255, true},
                      ControlRow{"Knop6", "QRadioButton", "Photoalbum 2", "", 1980, 360, 1365, 195, true},
                      ControlRow{"Knop7", "QRadioButton", "Resize pictures", "", 1980, 630, 1485, 255, true},
                      ControlRow{"Knop8", "QRadioButton", "Web album", "", 1980, 900, 1365, 255, true},
                      ControlRow{"Label2", "QLabel", "Click on one of these optionbuttons and then Ok.", "",
                                 150, 1860, 3480, 195, true},
                      ControlRow{"Label4", "QLabel", "", "", 3720, 240, 1125, 465, true},
                      ControlRow{"BrText", "QLineEdit", "0", " Picture Width ", 3720, 750, 585, 285, false},
                      ControlRow{"PauzeText", "QLineEdit", "3", " 1..9 ", 3720, 750, 585, 285, false},
                      ControlRow{"Wlabel", "QLabel", "Width", "", 4380, 810, 420, 195, false},
                      ControlRow{"HoText", "QLineEdit", "0", " Picture Height ", 3720, 1080, 585, 285, false},
                      ControlRow{"Hlabel", "QLabel", "Height", "", 4380, 1140, 465, 195, false},
                      ControlRow{"BlokText", "QLineEdit", "15", " 2..99  ", 3720, 1410, 585, 285, false},
                      ControlRow{"BlLabel", "QLabel", "Block", "", 4380, 1470, 405, 195, false},
                      ControlRow{"Text1", "QLineEdit", "75", " 75..100 ", 150, 2220, 450, 315, true},
                      ControlRow{"Label5", "QLabel", "Jpg Compress Quality in %", "", 720, 2280, 1845, 195,
                                 true},
                      ControlRow{"Label3", "QLabel", "", "", 3600, 2220, 1275, 375, true},
                      ControlRow{"CancelKnop", "QPushButton", "Cancel", "", 3630, 2250, 735, 315, true},
                      ControlRow{"OkKnop", "QPushButton", "Ok", "", 4380, 2250, 465, 315, true}),
    [](const auto &row) { return std::string(row.param.name); });

struct OptionRow {
    const char *name;
    int index;
    const char *status;
    std::set<QString> shown;
    const char *width, *height, *firstLabel, *heading;
    std::int32_t storedWidth, storedHeight; // -7/-8: left alone
    int storedPause, storedBlock;           // 77/88: left alone
};

class ConvertDialogOptionTest : public ConvertDialogTest, public ::testing::WithParamInterface<OptionRow>
{
};

TEST_P(ConvertDialogOptionTest, ShowsPresetsAndStoresThemAtOnce)
{
    const OptionRow row = GetParam();
    ClickOption(row.index);
    EXPECT_EQ(host.state.PageStyle, row.index);
    EXPECT_EQ(host.statuses, QStringList{QString::fromLatin1(row.status)});
    EXPECT_EQ(ShownParameters(), row.shown);
    EXPECT_EQ(Text("BrText"), row.width);
    EXPECT_EQ(Text("HoText"), row.height);
    EXPECT_EQ(Child<QLabel>("Wlabel")->text(), row.firstLabel);
    EXPECT_EQ(Child<QLabel>("Label4")->text(), row.heading);
    EXPECT_EQ(host.state.PictureWidth, row.storedWidth);
    EXPECT_EQ(host.state.PictureHeight, row.storedHeight);
    EXPECT_EQ(host.state.PauseSeconds, row.storedPause);
    EXPECT_EQ(host.state.BlockSize, row.storedBlock);
    EXPECT_EQ(host.state.JpegQuality, 75);
}

const std::set<QString> Sizes = {"BrText", "HoText", "Wlabel", "Hlabel"};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Options, ConvertDialogOptionTest, ::testing::Values(
    OptionRow{"PictureShow", 1, "Photoalbum with buttons", {}, "0", "0", "Width", "", -7, -8, 77, 88},
    OptionRow{"SlideShow", 2, "Slide Show", {"PauzeText", "Wlabel"}, "0", "0", "Sec.",
              "Delay between the pictures", -7, -8, 3, 88},
    OptionRow{"Thumbnails", 3, "Make of your pictures or photo's little thumbnails.", Sizes, "160", "120",
              "Width", "Resolution of the thumbnails", 160, 120, 77, 88},
    OptionRow{"BlockEffect", 4, "Transition with blockeffect.", {"BrText", "HoText", "Wlabel", "Hlabel",
              "BlokText", "BlLabel"}, "300", "200", "Width", "Resolution of the pictures", 300, 200, 77, 15},
    OptionRow{"Photoalbum1", 5, "Photoalbum with buttons for Prevouis and Next.", Sizes, "360", "270",
              "Width", "Resolution of the pictures", 360, 270, 77, 88},
    OptionRow{"Photoalbum2", 6, "Photoalbum with buttons Prevouis, Next and Transition effect.", Sizes,
              "360", "270", "Width", "Resolution of the pictures", 360, 270, 77, 88},
    OptionRow{"ResizePictures", 7, "Resize your pictures without making html page.", Sizes, "300", "200",
              "Width", "Resize only your pictures", 300, 200, 77, 88},
    OptionRow{"WebAlbum", 8, "A web album for phones and today's browsers.", Sizes, "1600", "1200",
              "Width", "Largest size of the pictures", 1600, 1200, 77, 88}),
    [](const auto &row) { return std::string(row.param.name); });
// clang-format on

TEST_F(ConvertDialogTest, LaterOptionReplacesSizesAndHidesTheOldBoxes)
{
    ClickOption(3);
    ClickOption(5);
    EXPECT_EQ(Text("BrText"), "360");
    EXPECT_EQ(host.state.PictureWidth, 360);
    EXPECT_EQ(host.state.PictureHeight, 270);
    ClickOption(2);
    EXPECT_EQ(ShownParameters(), (std::set<QString>{"PauzeText", "Wlabel"}));
    EXPECT_EQ(host.state.PageStyle, 2);
    EXPECT_EQ(host.state.PictureWidth, 360);
}

TEST_F(ConvertDialogTest, PauseBoxResetsToZeroAndStoresEachChange)
{
    ClickOption(2);
    const struct {
        const char *typed, *shown;
        int stored;
    } steps[] = {{"1", "1", 1}, {"8.6", "8.6", 9}, {"", "0", 0},
                 {"7", "7", 7}, {"9.2", "0", 0},   {"9", "9", 9}};
    for (const auto &step : steps) {
        TypeOver("PauzeText", QString::fromLatin1(step.typed));
        EXPECT_EQ(Text("PauzeText"), step.shown) << step.typed;
        EXPECT_EQ(host.state.PauseSeconds, step.stored) << step.typed;
    }
    QTest::keyClick(Box("PauzeText"), Qt::Key_2); // 92
    EXPECT_EQ(Text("PauzeText"), "0");
    EXPECT_EQ(host.state.PauseSeconds, 0);
    TypeOver("PauzeText", "5");
    Box("PauzeText")->setText("-0.6"); // reads as a number but not as a byte
    EXPECT_EQ(Text("PauzeText"), "0");
    EXPECT_EQ(host.state.PauseSeconds, 0);
}

TEST_F(ConvertDialogTest, BlockBoxResetsToFifteenAndStoresEachChange)
{
    ClickOption(4);
    const struct {
        const char *typed, *shown;
        int stored;
    } steps[] = {{"5", "5", 5},        {"1", "15", 15}, {"99", "99", 99}, {"99.5", "15", 15},
                 {"98.6", "98.6", 99}, {"", "15", 15},  {"2.5", "2.5", 2}};
    for (const auto &step : steps) {
        TypeOver("BlokText", QString::fromLatin1(step.typed));
        EXPECT_EQ(Text("BlokText"), step.shown) << step.typed;
        EXPECT_EQ(host.state.BlockSize, step.stored) << step.typed;
    }
    Box("BlokText")->setText("1.9"); // typed, the 1 would already have become 15
    EXPECT_EQ(Text("BlokText"), "15");
    EXPECT_EQ(host.state.BlockSize, 15);
}

TEST_F(ConvertDialogTest, BlockSizeStaysAcrossOptionsWhileSizesArePresetAgain)
{
    ClickOption(4);
    TypeOver("BlokText", "40");
    TypeOver("BrText", "640");
    ClickOption(3);
    ClickOption(4);
    EXPECT_EQ(Text("BlokText"), "40");
    EXPECT_EQ(host.state.BlockSize, 40);
    EXPECT_EQ(Text("BrText"), "300");
    EXPECT_EQ(Text("HoText"), "200");
}

TEST_F(ConvertDialogTest, CancelAbandonsButKeepsWhatOptionsStored)
{
    ClickOption(3);
    ClickButton("CancelKnop");
    EXPECT_EQ(host.state.PageStyle, PageStyles::Abandoned);
    EXPECT_EQ(host.state.PictureWidth, 160);
    EXPECT_EQ(host.state.PictureHeight, 120);
    EXPECT_EQ(host.statuses.last(), "Ready...");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(ConvertDialogTest, OkStoresTheHiddenBoxesTooButNotPageStyle)
{
    ClickOption(1);
    ClickButton("OkKnop");
    EXPECT_EQ(host.state.PictureWidth, 0);
    EXPECT_EQ(host.state.PictureHeight, 0);
    EXPECT_EQ(host.state.PauseSeconds, 3);
    EXPECT_EQ(host.state.BlockSize, 15);
    EXPECT_EQ(host.state.PageStyle, 1);
    EXPECT_EQ(host.statuses, (QStringList{"Photoalbum with buttons", "Ready..."}));
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(ConvertDialogTest, OkStoresQualityThatTheNextShowingShows)
{
    TypeOver("Text1", "50");
    ClickButton("OkKnop");
    EXPECT_EQ(host.state.JpegQuality, 50);
    EXPECT_EQ(host.state.PageStyle, 42); // Ok without an option leaves it
    Open();
    EXPECT_EQ(Text("Text1"), "50");
}

TEST_F(ConvertDialogTest, ReadsBoxesInTheUsersLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ClickOption(2);
    TypeOver("PauzeText", "8,6");
    EXPECT_EQ(host.state.PauseSeconds, 9);
    TypeOver("Text1", "80,5");
    ClickButton("OkKnop");
    EXPECT_EQ(host.state.JpegQuality, 80);
}

struct UnreadableRow {
    const char *name;
    const char *box;
    const char *text;
    const char *message;
};

const char *const Width = "Width must be a whole number.";
const char *const Height = "Height must be a whole number.";
const char *const Quality = "Jpg Compress Quality must be a whole number from 0 to 255.";

class ConvertDialogUnreadableTest : public ConvertDialogTest,
                                    public ::testing::WithParamInterface<UnreadableRow>
{
};

TEST_P(ConvertDialogUnreadableTest, OkKeepsTheDialogOpenWithTheBoxSelectedAndStoresNothing)
{
    const UnreadableRow row = GetParam();
    ClickOption(3);
    TypeOver("HoText", "130");
    TypeOver("Text1", "90");
    TypeOver(row.box, QString::fromLatin1(row.text));
    const ProgramValues before = host.state;
    const QStringList statusesBefore = host.statuses;
    ClickButton("OkKnop");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), 0);
    EXPECT_TRUE(SameSettings(host.state, before));
    EXPECT_EQ(host.statuses, statusesBefore);
    EXPECT_EQ(dialog->focusWidget(), Box(row.box));
    EXPECT_EQ(Box(row.box)->selectedText(), QString::fromLatin1(row.text));
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0].text, QString::fromLatin1(row.message));
    EXPECT_EQ(host.messages[0].title, "Galvora");

    TypeOver(row.box, "100");
    ClickButton("OkKnop");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(host.statuses.last(), "Ready...");
}

INSTANTIATE_TEST_SUITE_P(Texts, ConvertDialogUnreadableTest,
                         ::testing::Values(UnreadableRow{"EmptyWidth", "BrText", "", Width},
                                           UnreadableRow{"WordAsHeight", "HoText", "abc", Height},
                                           UnreadableRow{"WidthBeyond32Bits", "BrText", "2147483648", Width},
                                           UnreadableRow{"Quality256", "Text1", "256", Quality},
                                           UnreadableRow{"NegativeQuality", "Text1", "-1", Quality}),
                         [](const auto &row) { return std::string(row.param.name); });

// A size box the chosen style hides is not used: Ok takes 0 for it and closes without a word.
TEST_F(ConvertDialogTest, OkStoresZeroForAHiddenSizeBoxItCannotRead)
{
    ClickOption(3);
    TypeOver("BrText", "abc");
    TypeOver("HoText", "");
    ClickOption(2);
    ClickButton("OkKnop");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(host.messages.isEmpty());
    EXPECT_EQ(host.state.PageStyle, PageStyles::SlideShow);
    EXPECT_EQ(host.state.PictureWidth, 0);
    EXPECT_EQ(host.state.PictureHeight, 0);
    EXPECT_EQ(host.state.PauseSeconds, 3);
}

// The main window's showing runs a real modal loop; a zero timer acts in it once the dialog is up.
enum class Leave { Ok, Cancel, FrameClose };

class ShowConvertDialogTest : public WindowTest, public ::testing::WithParamInterface<Leave>
{
};

TEST_P(ShowConvertDialogTest, PausesOneSecondAfterOkOnlyOnceTheDialogIsGone)
{
    std::unique_ptr<MainWindow> mainWindow;
    bool dialogAliveDuringPause = true;
    MainWindowServices s = services();
    s.pause = [&](float seconds) {
        pauses << seconds;
        dialogAliveDuringPause = !mainWindow->findChildren<ConvertDialog *>().isEmpty();
    };
    mainWindow = std::make_unique<MainWindow>(s);
    QTimer::singleShot(0, [&] {
        auto *dialog = mainWindow->findChild<ConvertDialog *>();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(QApplication::activeModalWidget(), dialog);
        dialog->findChild<QRadioButton *>("Knop3")->click();
        if (GetParam() == Leave::Ok)
            dialog->findChild<QPushButton *>("OkKnop")->click();
        else if (GetParam() == Leave::Cancel)
            dialog->findChild<QPushButton *>("CancelKnop")->click();
        else
            dialog->close();
    });
    mainWindow->showConvertDialog();

    EXPECT_TRUE(mainWindow->findChildren<ConvertDialog *>().isEmpty());
    EXPECT_EQ(mainWindow->controls().InfoBalk->text(), "Ready...");
    if (GetParam() == Leave::Ok) {
        EXPECT_EQ(pauses, QVector<float>{1.0f});
        EXPECT_FALSE(dialogAliveDuringPause);
        EXPECT_EQ(mainWindow->values().PageStyle, PageStyles::Thumbnails);
    } else {
        EXPECT_TRUE(pauses.isEmpty());
        EXPECT_EQ(mainWindow->values().PageStyle, PageStyles::Abandoned);
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, ShowConvertDialogTest,
                         ::testing::Values(Leave::Ok, Leave::Cancel, Leave::FrameClose), [](const auto &row) {
                             return std::string(row.param == Leave::Ok       ? "Ok"
                                                : row.param == Leave::Cancel ? "Cancel"
                                                                             : "FrameClose");
                         });

} // namespace
