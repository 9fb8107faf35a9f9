#include "main_window/clickable_label.h"
#include "main_window/decoration_line.h"
#include "main_window/spread_caption.h"
#include "window_fixture.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <optional>
#include <string>

namespace {

constexpr int Auto = -1; // the control's own size (sized to its text, or the toolkit's default height)

// One control of the layout: pixel geometry relative to its parent.
struct ControlRow {
    const char *name;
    const char *kind;
    const char *parent;
    int x, y, width, height;
    std::optional<std::string> text; // caption or initial text; nothing for controls that have none
    const char *toolTip;
    const char *accessible; // nullptr where the caption names the control
};

const std::nullopt_t None = std::nullopt;

class LayoutTest : public WindowTest, public ::testing::WithParamInterface<ControlRow> {};

TEST_P(LayoutTest, ControlIsWhereAndWhatItShouldBe)
{
    const ControlRow row = GetParam();
    auto window = start();
    auto *control = window->findChild<QWidget *>(QLatin1String(row.name));
    ASSERT_NE(control, nullptr);
    EXPECT_STREQ(control->metaObject()->className(), row.kind);
    ASSERT_NE(control->parentWidget(), nullptr);
    EXPECT_EQ(control->parentWidget()->objectName().toStdString(), row.parent);

    const QRect g = control->geometry();
    EXPECT_EQ(g.topLeft(), QPoint(row.x, row.y));
    const QSize own = control->sizeHint();
    EXPECT_EQ(g.width(), row.width == Auto ? own.width() : row.width);
    EXPECT_EQ(g.height(), row.height == Auto ? own.height() : row.height);

    if (row.text) {
        ASSERT_TRUE(control->property("text").isValid()) << "the control has no text";
        EXPECT_EQ(control->property("text").toString().toStdString(), *row.text);
    }
    EXPECT_EQ(control->toolTip().toStdString(), row.toolTip);
    if (row.accessible)
        EXPECT_EQ(control->accessibleName().toStdString(), row.accessible);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, LayoutTest,
    ::testing::Values(
        ControlRow{"Drive1", "QComboBox", "Main", 14, 15, 132, Auto, None, "", "Drive"},
        ControlRow{"Dir1", "QListWidget", "Main", 14, 44, 132, 156, None, "", "Folders"},
        ControlRow{"File1", "QListWidget", "Main", 158, 14, 180, 162, None, "", "Pictures in the folder"},
        ControlRow{"List1", "QListWidget", "Main", 394, 15, 171, 160, None, "", "Selected pictures"},
        ControlRow{"HelpLabel", "QPlainTextEdit", "Main", 159, 15, 406, 186, None, "", "Help"},
        ControlRow{"Frame1", "QFrame", "Main", 5, -2, 572, 336, None, "", nullptr},
        ControlRow{"InfoBalk", "QLabel", "Frame1", 10, 310, 420, 19,
                   "Make a selection of the different pictures or photo's on your computer...", "", nullptr},
        ControlRow{"Label7", "QLabel", "Frame1", 430, 307, 132, 22, "", "", nullptr},
        ControlRow{"HelpKnop", "QPushButton", "Frame1", 476, 309, 42, 18, "Help", "", nullptr},
        ControlRow{"ExitKnop", "QPushButton", "Frame1", 519, 309, 41, 18, "Exit", " Close Program ", nullptr},
        ControlRow{"FotoAantal", "QLabel", "Frame1", 338, 20, Auto, Auto, "0", "", nullptr},
        ControlRow{"SelectAantal", "QLabel", "Frame1", 376, 160, Auto, Auto, "0", "", nullptr},
        ControlRow{"Label1", "QLabel", "Frame1", 448, 182, 112, 21, "", "", nullptr},
        ControlRow{"ClearKnop", "QPushButton", "Frame1", 450, 184, 47, 17, "Delete", " Delete picture ", nullptr},
        ControlRow{"ClearAll", "QPushButton", "Frame1", 498, 184, 60, 17, "Delete All", " Delete all pictures ",
                   nullptr},
        ControlRow{"KnopRechts", "QPushButton", "Frame1", 348, 86, 27, 25, ">", " Export pictures to the list ",
                   nullptr},
        ControlRow{"Label2", "QLabel", "Frame1", 346, 84, 31, 29, "", "", nullptr},
        ControlRow{"Image1", "QLabel", "Frame1", 9, 216, 132, 84, "", "", "Preview"},
        ControlRow{"Frame2", "QFrame", "Frame1", 154, 210, 408, 91, None, "", nullptr},
        ControlRow{"MapText", "QLineEdit", "Frame2", 6, 13, 171, 19, "Photomap", "", "Folder"},
        ControlRow{"FileText", "QLineEdit", "Frame2", 6, 39, 171, 19, "Default", "", "Html Filename"},
        ControlRow{"Naam", "QLineEdit", "Frame2", 6, 65, 171, 19, "Default", "", "Html Title"},
        ControlRow{"Label5", "SpreadCaption", "Frame2", 184, 17, Auto, Auto,
                   "Folder" + std::string(27, ' ') + "Color", "", nullptr},
        ControlRow{"Label4", "QLabel", "Frame2", 184, 43, Auto, Auto, "Html Filename", "", nullptr},
        ControlRow{"Label6", "SpreadCaption", "Frame2", 184, 68, Auto, Auto,
                   "Html Title" + std::string(43, ' ') + "Convert", "", nullptr},
        ControlRow{"KleurLabel", "ClickableLabel", "Frame2", 260, 13, 29, 19, "",
                   " Click for change backgroundcolor Html page ", "Click for change backgroundcolor Html page"},
        ControlRow{"Label3", "QLabel", "Frame2", 351, 13, 51, 51, "", "", nullptr},
        ControlRow{"MakeKnop", "QPushButton", "Frame2", 353, 15, 47, 47, "", " Make Html photopage ",
                   "Make Html photopage"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(WindowTest, WindowHasItsFixedClientAreaIconAndCaption)
{
    auto window = start();
    EXPECT_EQ(window->objectName(), QStringLiteral("Main"));
    EXPECT_EQ(window->minimumSize(), QSize(578, 334));
    EXPECT_EQ(window->maximumSize(), QSize(578, 334));
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_TRUE(window->windowIcon().availableSizes().contains(QSize(32, 32)));
}

TEST_F(WindowTest, HiddenHelpersLieOutsideTheWindow)
{
    auto window = start();
    window->show();
    const QRect client(0, 0, 578, 334);
    for (const char *name : {"List2", "TumPic", "Picture1"}) {
        auto *control = window->findChild<QWidget *>(QLatin1String(name));
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->parentWidget(), window.get()) << name;
        EXPECT_FALSE(control->isVisible()) << name;
        EXPECT_FALSE(control->geometry().intersects(client)) << name;
    }
    EXPECT_STREQ(window->controls().List2->metaObject()->className(), "QListWidget");
    EXPECT_STREQ(window->controls().TumPic->metaObject()->className(), "QLabel");
    EXPECT_EQ(window->controls().TumPic->size(), QSize(160, 120));
}

TEST_F(WindowTest, ListsSelectTheWayTheBrowserNeeds)
{
    auto window = start();
    const MainControls &ui = window->controls();
    EXPECT_EQ(ui.File1->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(ui.List1->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_FALSE(ui.List1->isSortingEnabled());
    EXPECT_FALSE(ui.List2->isSortingEnabled());
    EXPECT_EQ(ui.File1->property("pattern").toString(), QStringLiteral("*.jpg;*.gif;*.bmp"));
    EXPECT_TRUE(ui.Image1->hasScaledContents());
    ASSERT_FALSE(ui.Image1->pixmap().isNull());
    EXPECT_EQ(ui.Image1->pixmap().size(), QSize(128, 80));
    EXPECT_NE(ui.Image1->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(ui.MakeKnop->iconSize(), QSize(32, 32));
    EXPECT_FALSE(ui.MakeKnop->icon().isNull());
}

// ---- Colours and fonts --------------------------------------------------------------------

struct ColourRow {
    const char *name;
    QPalette::ColorRole role;
    QColor colour;
};

class ColourTest : public WindowTest, public ::testing::WithParamInterface<ColourRow> {};

TEST_P(ColourTest, ControlShowsItsColour)
{
    const ColourRow row = GetParam();
    auto window = start();
    auto *control = window->findChild<QWidget *>(QLatin1String(row.name));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->palette().color(row.role), row.colour);
    if (row.role == QPalette::Window)
        EXPECT_TRUE(control->autoFillBackground()) << "a background nobody paints";
}

const QColor Grey224(224, 224, 224), Grey64(64, 64, 64);

INSTANTIATE_TEST_SUITE_P(
    Colours, ColourTest,
    ::testing::Values(ColourRow{"List1", QPalette::Base, QColor(255, 240, 210)},
                      ColourRow{"HelpLabel", QPalette::Base, QColor(240, 240, 255)},
                      ColourRow{"KleurLabel", QPalette::Window, QColor(224, 240, 224)},
                      ColourRow{"Drive1", QPalette::Base, Grey224}, ColourRow{"Dir1", QPalette::Base, Grey224},
                      ColourRow{"File1", QPalette::Base, Grey224}, ColourRow{"MapText", QPalette::Base, Grey224},
                      ColourRow{"FileText", QPalette::Base, Grey224}, ColourRow{"Naam", QPalette::Base, Grey224},
                      ColourRow{"MapText", QPalette::Text, Grey64}, ColourRow{"FileText", QPalette::Text, Grey64},
                      ColourRow{"Naam", QPalette::Text, Grey64}, ColourRow{"Label4", QPalette::WindowText, Grey64},
                      ColourRow{"Label5", QPalette::WindowText, Grey64},
                      ColourRow{"Label6", QPalette::WindowText, Grey64},
                      ColourRow{"FotoAantal", QPalette::WindowText, Grey64},
                      ColourRow{"SelectAantal", QPalette::WindowText, Grey64},
                      ColourRow{"Label1", QPalette::Window, QColor(Qt::black)},
                      ColourRow{"Label2", QPalette::Window, QColor(Qt::black)},
                      ColourRow{"Label3", QPalette::Window, QColor(Qt::black)},
                      ColourRow{"Label7", QPalette::Window, QColor(Qt::black)}),
    [](const auto &info) {
        return std::string(info.param.name) + "_" + std::to_string(int(info.param.role));
    });

TEST_F(WindowTest, SwatchStartsInTheDefaultColourWhateverTheLastRunChose)
{
    auto first = start();
    first->values().BackRed = 10;
    first->values().BackGreen = 20;
    first->values().BackBlue = 30;
    first->controls().ExitKnop->click();
    first.reset();

    auto second = start();
    EXPECT_EQ(second->values().BackRed, 224);
    EXPECT_EQ(second->values().BackGreen, 240);
    EXPECT_EQ(second->values().BackBlue, 224);
    EXPECT_EQ(second->controls().KleurLabel->palette().color(QPalette::Window), QColor(224, 240, 224));
}

TEST_F(WindowTest, NamedFontsAreUsed)
{
    auto window = start();
    const MainControls &ui = window->controls();
    EXPECT_EQ(ui.InfoBalk->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(ui.HelpLabel->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(ui.HelpLabel->font().pointSize(), 9);
    EXPECT_EQ(ui.KnopRechts->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(ui.KnopRechts->font().pointSize(), 12);
    EXPECT_TRUE(ui.KnopRechts->font().bold());
    EXPECT_TRUE(ui.FotoAantal->font().bold());
    EXPECT_TRUE(ui.SelectAantal->font().bold());
}

// ---- Decoration, captions and accessibility ------------------------------------------------

TEST_F(WindowTest, FourGreenLinesMakeAnArrowFromTheDeleteButtonsUpToTheSelection)
{
    auto window = start();
    const MainControls &ui = window->controls();
    auto inWindow = [&](QWidget *w) { return QRect(w->mapTo(window.get(), QPoint(0, 0)), w->size()); };
    const QRect deleteBox = inWindow(ui.Label1), list = inWindow(ui.List1);
    const QRect line1 = inWindow(ui.Line1), line2 = inWindow(ui.Line2), line3 = inWindow(ui.Line3),
                line4 = inWindow(ui.Line4);

    for (DecorationLine *line : {ui.Line1, ui.Line2, ui.Line3, ui.Line4}) {
        EXPECT_EQ(line->parentWidget(), ui.Frame1);
        EXPECT_TRUE(line->testAttribute(Qt::WA_TransparentForMouseEvents)) << "lines must not eat clicks";
    }
    EXPECT_EQ(line1.height(), 2);
    EXPECT_EQ(line2.width(), 2);
    // The shaft leaves the Delete buttons' box and turns up at its far end...
    EXPECT_EQ(line1.right() + 1, deleteBox.left());
    EXPECT_TRUE(line1.intersects(line2));
    // ...and its head ends just below List1, within its width.
    EXPECT_EQ(line2.top(), list.bottom() + 1);
    EXPECT_TRUE(list.left() < line2.left() && line2.right() < list.right());
    EXPECT_EQ(line3.top(), line2.top());
    EXPECT_EQ(line4.top(), line2.top());
    EXPECT_LT(line3.left(), line2.left());
    EXPECT_GT(line4.right(), line2.right());

    // Painted pixels are dark green, so the arrow is really drawn.
    window->show();
    const QImage shot = window->grab().toImage();
    const QPoint onShaft(line1.center().x(), line1.top());
    EXPECT_EQ(QColor(shot.pixel(onShaft)), QColor(0, 100, 0));
}

TEST_F(WindowTest, LastWordsOfTheTwoLongCaptionsStandAtTheirControls)
{
    auto window = start();
    const MainControls &ui = window->controls();
    const QRect swatch = ui.KleurLabel->geometry(), make = ui.MakeKnop->geometry();
    const qreal colourX = ui.Label5->x() + ui.Label5->lastWordX();
    EXPECT_GT(colourX, swatch.right());
    EXPECT_LT(colourX, swatch.right() + 15);
    const qreal convertWidth = QFontMetricsF(ui.Label6->font()).horizontalAdvance(QStringLiteral("Convert"));
    const qreal convertCentre = ui.Label6->x() + ui.Label6->lastWordX() + convertWidth / 2;
    EXPECT_NEAR(convertCentre, make.center().x() + 0.5, 1.0);
    // Both fit inside Frame2, so no word is cut off.
    EXPECT_LE(ui.Label5->geometry().right(), ui.Frame2->width());
    EXPECT_LE(ui.Label6->geometry().right(), ui.Frame2->width());
}

TEST(SpreadCaptionTest, DrawsTheLastWordWhereItIsTold)
{
    SpreadCaption label(QStringLiteral("Folder") + QString(27, QLatin1Char(' ')) + QStringLiteral("Color"));
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    label.setPalette(palette);
    label.setAutoFillBackground(true);
    label.setLastWordX(150);
    label.adjustSize();
    const qreal colourWidth = QFontMetricsF(label.font()).horizontalAdvance(QStringLiteral("Color"));
    EXPECT_GE(label.width(), int(150 + colourWidth));

    const QImage shot = label.grab().toImage();
    auto inkBetween = [&](int from, int to) {
        for (int x = from; x < to; ++x)
            for (int y = 0; y < shot.height(); ++y)
                if (QColor(shot.pixel(x, y)).lightness() < 128)
                    return true;
        return false;
    };
    const int folderEnd = int(QFontMetricsF(label.font()).horizontalAdvance(QStringLiteral("Folder"))) + 2;
    EXPECT_TRUE(inkBetween(0, folderEnd));
    EXPECT_FALSE(inkBetween(folderEnd + 1, 149));
    EXPECT_TRUE(inkBetween(150, shot.width()));
    EXPECT_EQ(label.text(), QStringLiteral("Folder") + QString(27, QLatin1Char(' ')) + QStringLiteral("Color"));
}

TEST_F(WindowTest, EveryControlTheUserCanReachHasAName)
{
    auto window = start();
    int checked = 0;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        const bool reachable = qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w)
                               || qobject_cast<QComboBox *>(w) || qobject_cast<QListWidget *>(w)
                               || qobject_cast<QPlainTextEdit *>(w) || qobject_cast<ClickableLabel *>(w);
        if (!reachable || w->objectName().isEmpty())
            continue; // parts inside the toolkit's own controls
        const QString caption = w->property("text").toString();
        EXPECT_FALSE(caption.trimmed().isEmpty() && w->accessibleName().isEmpty())
            << w->objectName().toStdString() << " has neither caption nor accessible name";
        ++checked;
    }
    EXPECT_GE(checked, 16);
}

TEST_F(WindowTest, CountLabelsFollowTheirText)
{
    auto window = start();
    window->show();
    QLabel *count = window->controls().FotoAantal;
    const int oneDigit = count->width();
    count->setText(QStringLiteral("12345"));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(count->size(), count->sizeHint());
    EXPECT_GT(count->width(), oneDigit);
}

TEST_F(WindowTest, SwatchReportsAClickOnlyWhenReleasedOverIt)
{
    auto window = start();
    ClickableLabel *swatch = window->controls().KleurLabel;
    QSignalSpy clicks(swatch, &ClickableLabel::clicked);
    QTest::mouseClick(swatch, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseClick(swatch, Qt::RightButton);
    EXPECT_EQ(clicks.count(), 1);
    QTest::mousePress(swatch, Qt::LeftButton);
    QTest::mouseRelease(swatch, Qt::LeftButton, {}, QPoint(swatch->width() + 20, 5));
    EXPECT_EQ(clicks.count(), 1);
}

// ---- The window as the productions' Host ---------------------------------------------------

TEST_F(WindowTest, HostReadsTheWindowAndDrivesThePlatform)
{
    auto window = start();
    const MainControls &ui = window->controls();
    Host &host = *window;
    ui.List1->addItems({QStringLiteral("a.jpg"), QStringLiteral("b.gif")});
    ui.List2->addItems({QStringLiteral("/p/a.jpg"), QStringLiteral("/q/b.gif")});
    ui.Naam->setText(QStringLiteral("My album"));
    EXPECT_EQ(host.selectionNames(), (QStringList{QStringLiteral("a.jpg"), QStringLiteral("b.gif")}));
    EXPECT_EQ(host.selectionPaths(), (QStringList{QStringLiteral("/p/a.jpg"), QStringLiteral("/q/b.gif")}));
    EXPECT_EQ(host.pageTitle(), QStringLiteral("My album"));
    EXPECT_EQ(host.programFolder(), folder.path());

    host.showStatus(QStringLiteral("Wait..."));
    EXPECT_EQ(ui.InfoBalk->text(), QStringLiteral("Wait..."));
    host.pause(0.2f);
    EXPECT_EQ(pauses, QVector<float>{0.2f});
    host.showMessage(QStringLiteral("No filename selected!"));
    host.showMessage(QStringLiteral("Drive niet aanwezig...."), QStringLiteral(" Drive-Error"));
    EXPECT_EQ(messages.texts, (QStringList{QStringLiteral("No filename selected!"),
                                           QStringLiteral("Drive niet aanwezig....")}));
    EXPECT_EQ(messages.titles, (QStringList{QString(), QStringLiteral(" Drive-Error")}));
    host.setBusyPointer();
    host.setArrowPointer();
    EXPECT_EQ(pointer.calls, (QStringList{QStringLiteral("busy"), QStringLiteral("arrow")}));
    host.openDocument(QStringLiteral("/out/Default.html"));
    EXPECT_EQ(opener.opened, QStringList{QStringLiteral("/out/Default.html")});
}

}
