// The whole program from the keyboard: the Tab order of every window, an album made with keys
// only, the keys during a production, and the preview following the arrow keys.

#include "colour_dialog/colorform.h"
#include "convert_dialog/convert_dialog.h"
#include "make_fixture.h"

#include <QApplication>
#include <QScrollBar>

namespace
{

using TestPictures::ColourAround;
using TestPictures::Near;

QWidget *Focus()
{
    return QApplication::focusWidget();
}

QString FocusName()
{
    return Focus() ? Focus()->objectName() : QStringLiteral("(none)");
}

void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    ASSERT_NE(Focus(), nullptr) << "no focus for key " << key;
    QTest::keyClick(Focus(), key, modifiers);
}

// Shows the window and waits until it has the keyboard.
void Activate(QWidget &window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&window] { return QApplication::activeWindow() == &window; }))
        << window.objectName().toStdString();
}

// Tab moves the focus to `name`.
void TabTo(const char *name)
{
    Key(Qt::Key_Tab);
    ASSERT_EQ(FocusName(), QLatin1String(name));
}

// ---- The Tab order of every window follows the eye, and the focus starts at its first stop.

class TabOrderTest;
struct TabOrderRow {
    const char *name;
    std::function<QWidget *(TabOrderTest &)> open;
    std::vector<Qt::Key> before; // pressed first, where the focus starts
    QStringList order;
};
void PrintTo(const TabOrderRow &row, std::ostream *os)
{
    *os << row.name;
}

class TabOrderTest : public BrowserTest, public ::testing::WithParamInterface<TabOrderRow>
{
  public:
    std::unique_ptr<QWidget> dialog;

    QWidget *mainWindow()
    {
        open();
        return window.get();
    }
    QWidget *convertDialog()
    {
        dialog = std::make_unique<ConvertDialog>(ConvertSettings{}, ConvertDialogReports{});
        return dialog.get();
    }
    QWidget *colourDialog()
    {
        dialog = std::make_unique<Colorform>(QColor(224, 240, 224));
        return dialog.get();
    }
};

TEST_P(TabOrderTest, FollowsTheEyeRoundTheWindow)
{
    const TabOrderRow &row = GetParam();
    QWidget *shown = row.open(*this);
    Activate(*shown);
    if (row.before.empty()) {
        EXPECT_EQ(FocusName(), row.order.first()) << "where the focus starts";
    }
    for (Qt::Key key : row.before)
        Key(key);
    QStringList walked{FocusName()};
    for (qsizetype i = 0; i < row.order.size(); ++i) {
        Key(Qt::Key_Tab);
        walked << FocusName();
    }
    EXPECT_EQ(walked, row.order + QStringList{row.order.first()});
    QStringList back{FocusName()};
    for (qsizetype i = 0; i < row.order.size(); ++i) {
        Key(Qt::Key_Backtab);
        back.prepend(FocusName());
    }
    EXPECT_EQ(back, walked) << "Shift+Tab goes the same way back";
}

INSTANTIATE_TEST_SUITE_P(
    Windows, TabOrderTest,
    ::testing::Values(
        TabOrderRow{"Main",
                    &TabOrderTest::mainWindow,
                    {},
                    {"Drive1", "Dir1", "File1", "KnopRechts", "List1", "ClearKnop", "ClearAll", "MapText",
                     "FileText", "Naam", "KleurLabel", "MakeKnop", "HelpKnop", "ExitKnop"}},
        // The options are one stop: the chosen one, or the first while none is chosen.
        TabOrderRow{
            "ConvertFresh", &TabOrderTest::convertDialog, {}, {"Knop1", "Text1", "CancelKnop", "OkKnop"}},
        TabOrderRow{"ConvertSlideShow",
                    &TabOrderTest::convertDialog,
                    {Qt::Key_Down},
                    {"Knop2", "PauzeText", "Text1", "CancelKnop", "OkKnop"}},
        TabOrderRow{"ConvertBlockEffect",
                    &TabOrderTest::convertDialog,
                    {Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up},
                    {"Knop4", "BrText", "HoText", "BlokText", "Text1", "CancelKnop", "OkKnop"}},
        TabOrderRow{"Colorform",
                    &TabOrderTest::colourDialog,
                    {},
                    {"ScrollRood", "ScrollGroen", "ScrollBlauw", "CancelKnop", "OkKnop"}}),
    [](const auto &row) { return std::string(row.param.name); });

// ---- An album made with keys only.

class KeyboardMakeTest : public MakeTest
{
  protected:
    void writeThree(const QString &folderName)
    {
        for (const char *name : {"a.jpg", "b.gif", "c.bmp"})
            writePicture(folderName + QLatin1Char('/') + QLatin1String(name));
    }
};

TEST_F(KeyboardMakeTest, AThumbnailsAlbumFromTheKeyboardAlone)
{
    writeThree(QStringLiteral("Sea"));
    openWindow();
    Activate(*window);
    ASSERT_EQ(FocusName(), "Drive1");

    TabTo("Dir1");
    Key(Qt::Key_Down); // from the drive's folder to its one sub-folder
    Key(Qt::Key_Return);
    ASSERT_EQ(Texts(file1()), "a.jpg|b.gif|c.bmp");
    TabTo("File1");
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_Return);
    ASSERT_EQ(Texts(list1()), "a.jpg|b.gif|c.bmp");
    EXPECT_EQ(selectAantal(), "3");

    for (const char *name : {"KnopRechts", "List1", "ClearKnop", "ClearAll"})
        TabTo(name);
    // Tab selects a box's text, so typing replaces it.
    const std::pair<const char *, const char *> names[] = {
        {"MapText", "Keys"}, {"FileText", "album"}, {"Naam", "By keys"}};
    for (const auto &[box, text] : names) {
        TabTo(box);
        QTest::keyClicks(Focus(), QLatin1String(text));
        EXPECT_EQ(control<QLineEdit>(box).text(), QLatin1String(text));
    }

    // The swatch: Space opens the colour dialog, End takes red to 255, Enter is Ok.
    TabTo("KleurLabel");
    Key(Qt::Key_Space);
    ASSERT_TRUE(QTest::qWaitFor([] { return qobject_cast<Colorform *>(QApplication::activeModalWidget()); }));
    Activate(*QApplication::activeModalWidget());
    ASSERT_EQ(FocusName(), "ScrollRood");
    Key(Qt::Key_End);
    Key(Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::activeModalWidget(); }));
    Activate(*window); // the desktop gives the keyboard back; offscreen it needs asking
    EXPECT_TRUE(
        Near(ColourAround(control<QLabel>("KleurLabel").grab().toImage(), 14, 9), QColor(255, 240, 224), 4));
    EXPECT_EQ(FocusName(), "KleurLabel") << "the focus comes back to the swatch";

    TabTo("MakeKnop");
    QStringList dialogFocus;
    dialogs.plan([&dialogFocus](QDialog &dialog) {
        Activate(dialog);
        dialogFocus << FocusName();
        Key(Qt::Key_Down);
        Key(Qt::Key_Down);
        dialogFocus << FocusName();
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_Return);

    EXPECT_TRUE(dialogs.allAnswered());
    EXPECT_EQ(dialogFocus, (QStringList{QStringLiteral("Knop1"), QStringLiteral("Knop3")}));
    ASSERT_TRUE(messages.texts.isEmpty()) << Joined(messages.texts);
    EXPECT_EQ(main().values().PageStyle, 3);
    EXPECT_EQ(filesIn(QStringLiteral("Keys/images")),
              (QStringList{QStringLiteral("picture1.jpg"), QStringLiteral("picture2.jpg"),
                           QStringLiteral("picture3.jpg")}));
    EXPECT_EQ(PictureSize(inProgram(QStringLiteral("Keys/images/picture3.jpg"))), QSize(160, 120));
    const QString page = inProgram(QStringLiteral("Keys/album.html"));
    EXPECT_EQ(opener.opened, QStringList{page});
    const QByteArray html = PictureFiles::ReadBytes(page);
    EXPECT_TRUE(html.contains("#FFF0E0")) << "the colour mixed with the keys";
    EXPECT_EQ(statusLine(), QStringLiteral("Ready..."));
}

// While a production runs, Enter does what a click may do then: nothing that changes the
// selection or starts a second run. Afterwards the same keys work again.
TEST_F(KeyboardMakeTest, KeysDuringAProductionChangeNothing)
{
    writeThree(QStringLiteral("Sea"));
    writePicture(QStringLiteral("Sea/extra.jpg"));
    openWindow();
    enterFolder(QStringLiteral("Sea"));
    exportFiles({QStringLiteral("a.jpg"), QStringLiteral("b.gif"), QStringLiteral("c.bmp")});
    typeNames(QStringLiteral("Busy"), QStringLiteral("Default"), QStringLiteral("Busy"));
    const std::string names = Texts(list1()), paths = Texts(list2());

    int acted = 0;
    onPause = [&](float seconds) {
        if (seconds != 0.2f || acted++ != 0)
            return;
        file1().clearSelection();
        file1().findItems(QStringLiteral("extra.jpg"), Qt::MatchExactly).first()->setSelected(true);
        QTest::keyClick(&file1(), Qt::Key_Return);
        QTest::keyClick(&control<QPushButton>("KnopRechts"), Qt::Key_Return);
        list1().item(0)->setSelected(true);
        QTest::keyClick(&control<QPushButton>("ClearKnop"), Qt::Key_Enter);
        QTest::keyClick(&control<QPushButton>("ClearAll"), Qt::Key_Return);
        QTest::keyClick(&control<QPushButton>("MakeKnop"), Qt::Key_Return);
    };
    make(ConvertDialogDriver::Choose(3));

    EXPECT_EQ(acted, 3);
    EXPECT_EQ(dialogs.shown, 1) << "a second Convert dialog was shown";
    EXPECT_EQ(Texts(list1()), names);
    EXPECT_EQ(Texts(list2()), paths);
    EXPECT_EQ(filesIn(QStringLiteral("Busy/images")).size(), 3);

    QTest::keyClick(&file1(), Qt::Key_Return);
    EXPECT_EQ(Texts(list1()), names + "|extra.jpg") << "Enter in the file list adds once the run is over";
    QTest::keyClick(&control<QPushButton>("ClearAll"), Qt::Key_Return);
    EXPECT_EQ(list1().count(), 0);
}

// ---- The preview follows the current file as the arrow keys move it.

TEST_F(KeyboardMakeTest, ThePreviewFollowsTheArrowKeys)
{
    const QColor colours[] = {QColor(220, 30, 30), QColor(30, 200, 30), QColor(30, 30, 220)};
    const char *files[] = {"a.jpg", "b.jpg", "c.jpg"};
    for (int i = 0; i < 3; ++i) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(colours[i]);
        ASSERT_TRUE(TestPictures::WriteJpeg(image, onDrive(QLatin1String(files[i]))));
    }
    openWindow();
    Activate(*window);
    auto &image1 = control<QLabel>("Image1");
    const auto shows = [&image1](const QColor &colour) {
        return QTest::qWaitFor([&] {
            const QImage shown = image1.pixmap().toImage();
            return Near(ColourAround(shown, shown.width() / 2, shown.height() / 2), colour, 30);
        });
    };

    TabTo("Dir1");
    TabTo("File1"); // the first file becomes the current one
    EXPECT_TRUE(shows(colours[0]));
    const struct {
        Qt::Key key;
        int row;
    } steps[] = {{Qt::Key_Down, 1}, {Qt::Key_Down, 2}, {Qt::Key_Up, 1}, {Qt::Key_Home, 0}};
    for (const auto &step : steps) {
        Key(step.key);
        EXPECT_EQ(file1().currentRow(), step.row);
        EXPECT_TRUE(shows(colours[step.row])) << "row " << step.row;
    }
    EXPECT_TRUE(QTest::qWaitFor([this] {
        return pointer.calls.count(QStringLiteral("busy")) == pointer.calls.count(QStringLiteral("arrow"));
    }));
    EXPECT_TRUE(list1().count() == 0) << "moving through the files adds nothing";
}

} // namespace
