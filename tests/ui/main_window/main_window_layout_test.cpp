#include "main_window/clickable_label.h"
#include "main_window/decoration_line.h"
#include "main_window/selection.h"
#include "main_window/spread_caption.h"
#include "window_fixture.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <optional>
#include <string>

namespace
{

constexpr int Auto = -1; // the control's own size: sized to its text, or the toolkit's default height
const std::nullopt_t None = std::nullopt;

// One control of the layout, its geometry in pixels relative to its parent.
struct ControlRow {
    const char *name;
    const char *kind;
    const char *parent;
    int x, y, width, height;
    std::optional<std::string> text; // caption or initial text; nothing for controls without one
    const char *toolTip;
    const char *accessible; // nullptr where a caption names the control
};

class LayoutTest : public WindowTest, public ::testing::WithParamInterface<ControlRow>
{
};

TEST_P(LayoutTest, ControlIsWhereAndWhatItShouldBe)
{
    const ControlRow row = GetParam();
    auto window = start();
    auto *control = window->findChild<QWidget *>(QLatin1String(row.name));
    ASSERT_NE(control, nullptr);
    EXPECT_STREQ(control->metaObject()->className(), row.kind);
    EXPECT_EQ(control->parentWidget()->objectName().toStdString(), row.parent);
    const QRect g = control->geometry();
    EXPECT_EQ(g.topLeft(), QPoint(row.x, row.y));
    EXPECT_EQ(g.width(), row.width == Auto ? control->sizeHint().width() : row.width);
    EXPECT_EQ(g.height(), row.height == Auto ? control->sizeHint().height() : row.height);
    if (row.text) {
        EXPECT_EQ(control->property("text").toString().toStdString(), *row.text);
    }
    EXPECT_EQ(control->toolTip().toStdString(), row.toolTip);
    if (row.accessible) {
        EXPECT_EQ(control->accessibleName().toStdString(), row.accessible);
    }
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
        ControlRow{"ClearKnop", "QPushButton", "Frame1", 450, 184, 47, 17, "Delete", " Delete picture ",
                   nullptr},
        ControlRow{"ClearAll", "QPushButton", "Frame1", 498, 184, 60, 17, "Delete All",
                   " Delete all pictures ", nullptr},
        ControlRow{"KnopRechts", "QPushButton", "Frame1", 348, 86, 27, 25, ">",
                   " Export pictures to the list ", nullptr},
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
                   " Click for change backgroundcolor Html page ",
                   "Click for change backgroundcolor Html page"},
        ControlRow{"Label3", "QLabel", "Frame2", 351, 13, 51, 51, "", "", nullptr},
        ControlRow{"MakeKnop", "QPushButton", "Frame2", 353, 15, 47, 47, "", " Make Html photopage ",
                   "Make Html photopage"}),
    [](const auto &row) { return std::string(row.param.name); });

TEST_F(WindowTest, ColoursAndFontsOfTheControls)
{
    auto window = start();
    const QColor grey224(224, 224, 224), grey64(64, 64, 64), black(Qt::black);
    const struct {
        const char *name;
        QPalette::ColorRole role;
        QColor colour;
    } colours[] = {
        {"List1", QPalette::Base, QColor(255, 240, 210)},
        {"HelpLabel", QPalette::Base, QColor(240, 240, 255)},
        {"KleurLabel", QPalette::Window, QColor(224, 240, 224)},
        {"Drive1", QPalette::Base, grey224},
        {"File1", QPalette::Base, grey224},
        {"MapText", QPalette::Base, grey224},
        {"Naam", QPalette::Text, grey64},
        {"Label6", QPalette::WindowText, grey64},
        {"FotoAantal", QPalette::WindowText, grey64},
        {"Label7", QPalette::Window, black},
    };
    for (const auto &c : colours) {
        SCOPED_TRACE(c.name);
        auto *control = window->findChild<QWidget *>(QLatin1String(c.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->palette().color(c.role), c.colour);
        if (c.role == QPalette::Window) {
            EXPECT_TRUE(control->autoFillBackground()) << "a background nobody paints";
        }
    }
    const MainControls &ui = window->controls();
    EXPECT_EQ(ui.InfoBalk->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(ui.HelpLabel->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(ui.HelpLabel->font().pointSize(), 9);
    EXPECT_EQ(ui.KnopRechts->font().pointSize(), 12);
    EXPECT_TRUE(ui.KnopRechts->font().bold());
    EXPECT_TRUE(ui.SelectAantal->font().bold());
}

TEST_F(WindowTest, PiecesTheOtherCommandsRelyOn)
{
    auto window = start();
    window->show();
    const MainControls &ui = window->controls();
    EXPECT_EQ(window->minimumSize(), QSize(578, 334));
    EXPECT_EQ(window->maximumSize(), QSize(578, 334));
    EXPECT_TRUE(window->windowIcon().availableSizes().contains(QSize(32, 32)));
    for (QWidget *hidden : {static_cast<QWidget *>(ui.List2), static_cast<QWidget *>(ui.TumPic),
                            static_cast<QWidget *>(ui.Picture1)}) {
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
        EXPECT_FALSE(hidden->geometry().intersects(window->rect())) << hidden->objectName().toStdString();
    }
    EXPECT_EQ(ui.TumPic->size(), QSize(160, 120));
    EXPECT_EQ(ui.File1->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(ui.List1->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_TRUE(ui.Image1->hasScaledContents());
    EXPECT_EQ(ui.Image1->pixmap().size(), QSize(128, 80));
    EXPECT_EQ(ui.MakeKnop->iconSize(), QSize(32, 32));
}

TEST_F(WindowTest, GreenArrowRunsFromTheDeleteButtonsUpToTheSelection)
{
    auto window = start();
    window->show();
    const MainControls &ui = window->controls();
    auto inWindow = [&](QWidget *w) { return QRect(w->mapTo(window.get(), QPoint(0, 0)), w->size()); };
    const QRect deleteBox = inWindow(ui.Label1), list = inWindow(ui.List1);
    const QRect shaft = inWindow(ui.Line1), riser = inWindow(ui.Line2);
    EXPECT_EQ(shaft.right() + 1, deleteBox.left());
    EXPECT_TRUE(shaft.intersects(riser));
    EXPECT_EQ(riser.top(), list.bottom() + 1);
    EXPECT_TRUE(list.left() < riser.left() && riser.right() < list.right());
    EXPECT_LT(inWindow(ui.Line3).left(), riser.left()); // the head's two strokes, one each side
    EXPECT_GT(inWindow(ui.Line4).right(), riser.right());
    EXPECT_TRUE(ui.Line2->testAttribute(Qt::WA_TransparentForMouseEvents));

    const QImage shot = window->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(shaft.center().x(), shaft.top())), QColor(0, 100, 0));
    EXPECT_EQ(QColor(shot.pixel(riser.left(), riser.center().y())), QColor(0, 100, 0));
}

TEST_F(WindowTest, ConvertIsDrawnUnderTheMakeButtonWithNothingBetween)
{
    auto window = start();
    window->show();
    const MainControls &ui = window->controls();
    const QImage shot = ui.Frame2->grab().toImage();
    const QRect caption = ui.Label6->geometry(), make = ui.MakeKnop->geometry();
    const int titleEnd =
        caption.left() + int(QFontMetricsF(ui.Label6->font()).horizontalAdvance("Html Title")) + 2;
    auto inkBetween = [&](int from, int to) {
        for (int x = from; x < to; ++x)
            for (int y = caption.top(); y <= caption.bottom(); ++y)
                if (QColor(shot.pixel(x, y)).lightness() < 140)
                    return true;
        return false;
    };
    EXPECT_TRUE(inkBetween(caption.left(), titleEnd));
    EXPECT_FALSE(inkBetween(titleEnd + 1, make.left()));
    EXPECT_TRUE(inkBetween(make.left(), make.right()));
    EXPECT_LE(caption.right(), ui.Frame2->width()) << "the last word is cut off";
    EXPECT_LE(ui.Label5->geometry().right(), ui.Frame2->width());
}

TEST_F(WindowTest, CountLabelFollowsItsText)
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

TEST(ClickableLabelTest, ReportsALeftClickReleasedOverIt)
{
    ClickableLabel swatch;
    swatch.resize(29, 19);
    QSignalSpy clicks(&swatch, &ClickableLabel::clicked);
    QTest::mouseClick(&swatch, Qt::LeftButton);
    QTest::mouseClick(&swatch, Qt::RightButton);
    QTest::mousePress(&swatch, Qt::LeftButton);
    QTest::mouseRelease(&swatch, Qt::LeftButton, {}, QPoint(swatch.width() + 20, 5));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(WindowTest, TheSelectionIsListedNamesWithTheirPathsAndTheStatusLineIsWritten)
{
    auto window = start();
    const MainControls &ui = window->controls();
    for (const auto &[name, path] : {std::pair{"a.jpg", "/p/a.jpg"}, std::pair{"b.gif", "/q/b.gif"}}) {
        auto *item = new QListWidgetItem(QString::fromLatin1(name));
        item->setData(SelectedPathRole, QString::fromLatin1(path));
        ui.List1->addItem(item);
    }
    const QList<SelectedPicture> selection = window->selection();
    ASSERT_EQ(selection.size(), 2);
    EXPECT_EQ(selection[1].name, QStringLiteral("b.gif"));
    EXPECT_EQ(selection[1].path, QStringLiteral("/q/b.gif"));
    Host &host = *window;
    host.showStatus(QStringLiteral("Wait..."));
    EXPECT_EQ(ui.InfoBalk->text(), QStringLiteral("Wait..."));
}

} // namespace
