#include "colour_dialog/colorform.h"
#include "forms/form.h"
#include "main_window/clickable_label.h"
#include "main_window/window_fixture.h"
#include "support/find_child.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <string>

namespace
{

// What the widget really shows in its middle, as "r,g,b".
std::string Shown(QWidget &widget)
{
    const QImage image = widget.grab().toImage();
    const QColor c = image.pixelColor(image.width() / 2, image.height() / 2);
    return std::to_string(c.red()) + "," + std::to_string(c.green()) + "," + std::to_string(c.blue());
}

std::string Bytes(const ProgramValues &v)
{
    return std::to_string(v.BackRed) + "," + std::to_string(v.BackGreen) + "," + std::to_string(v.BackBlue);
}

template <typename T = QWidget> T &Child(QWidget &parent, const char *name)
{
    return FindChild<T>(parent, name);
}

QString Caption(QWidget &form, const char *label)
{
    return Child<QLabel>(form, label).text();
}
QScrollBar &Bar(QWidget &form, const char *name)
{
    return Child<QScrollBar>(form, name);
}
void Press(QWidget &form, const char *button)
{
    QTest::mouseClick(&Child(form, button), Qt::LeftButton);
}

// The dialog wired as the main window wires it: each finished change into `values`, Ok repaints
// `swatch`.
class Wired : public Colorform
{
  public:
    Wired(ProgramValues &values, QWidget &swatch)
        : Colorform(QColor(values.BackRed, values.BackGreen, values.BackBlue))
    {
        connect(this, &Colorform::colourChanged, [&values](const QColor &colour) {
            values.BackRed = std::uint8_t(colour.red());
            values.BackGreen = std::uint8_t(colour.green());
            values.BackBlue = std::uint8_t(colour.blue());
        });
        connect(this, &QDialog::accepted, [this, &swatch] { PaintBackground(swatch, colour()); });
    }
};

class ColorformTest : public ::testing::Test
{
  protected:
    ProgramValues values; // 224, 240, 224
    QLabel swatch;
    void SetUp() override { PaintBackground(swatch, QColor(224, 240, 224)); }
};

TEST_F(ColorformTest, OpensWithTheSharedColourInBarsLabelsAndPreview)
{
    Wired form(values, swatch);
    EXPECT_EQ(form.windowTitle(), " Backgroundcolor Html page");
    EXPECT_EQ(form.size(), QSize(192, 131));
    EXPECT_EQ(Bar(form, "ScrollRood").value(), 224);
    EXPECT_EQ(Bar(form, "ScrollGroen").value(), 240);
    EXPECT_EQ(Bar(form, "ScrollBlauw").value(), 224);
    EXPECT_EQ(Caption(form, "Label5") + Caption(form, "Label6") + Caption(form, "Label7"), "224240224");
    EXPECT_EQ(Shown(Child(form, "Label8")), "224,240,224");

    // Setting a bar to 0 runs no change handler: loading shows the zeros anyway.
    values.BackRed = values.BackGreen = 0;
    values.BackBlue = 7;
    Wired zeros(values, swatch);
    EXPECT_EQ(Caption(zeros, "Label5") + Caption(zeros, "Label6") + Caption(zeros, "Label7"), "007");
    EXPECT_EQ(Shown(Child(zeros, "Label8")), "0,0,7");
}

TEST_F(ColorformTest, RedToZeroShowsAndStoresAtOnceButNotWhileDragging)
{
    Wired form(values, swatch);
    QScrollBar &red = Bar(form, "ScrollRood");
    red.setSliderDown(true);
    red.setSliderPosition(10);
    EXPECT_EQ(values.BackRed, 224) << "nothing follows the thumb while it is dragged";
    red.setSliderDown(false);
    EXPECT_EQ(values.BackRed, 10);

    QTest::keyClick(&red, Qt::Key_Home);
    EXPECT_EQ(Caption(form, "Label5"), "0");
    EXPECT_EQ(Shown(Child(form, "Label8")), "0,240,224");
    EXPECT_EQ(Bytes(values), "0,240,224");

    // An arrow step moves by one and a track step by ten, each bar feeding its own label and byte.
    Bar(form, "ScrollGroen").triggerAction(QAbstractSlider::SliderSingleStepSub);
    Bar(form, "ScrollBlauw").triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(Caption(form, "Label6") + "/" + Caption(form, "Label7"), "239/234");
    EXPECT_EQ(Bytes(values), "0,239,234");
    EXPECT_EQ(Shown(Child(form, "Label8")), "0,239,234");
}

// Cancel and a close by the window frame: the shared colour keeps the bars' values,
// the swatch keeps its colour, and the next showing starts from the new values.
class ColorformLeaveTest : public ColorformTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(ColorformLeaveTest, KeepsSharedColourButNotTheSwatch)
{
    {
        Wired form(values, swatch);
        form.show();
        Bar(form, "ScrollRood").setValue(0);
        Bar(form, "ScrollBlauw").setValue(100);
        GetParam() ? Press(form, "CancelKnop") : void(form.close());
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.result(), QDialog::Rejected);
    }
    EXPECT_EQ(Bytes(values), "0,240,100");
    EXPECT_EQ(Shown(swatch), "224,240,224");
    Wired again(values, swatch);
    EXPECT_EQ(Bar(again, "ScrollBlauw").value(), 100);
    EXPECT_EQ(Shown(Child(again, "Label8")), "0,240,100");
}

INSTANTIATE_TEST_SUITE_P(WaysOut, ColorformLeaveTest, ::testing::Bool(),
                         [](const auto &row) { return std::string(row.param ? "Cancel" : "FrameClose"); });

// The swatch of the real main window: each click shows a fresh modal dialog; Ok repaints the swatch.
class SwatchTest : public WindowTest
{
};

TEST_F(SwatchTest, AClickShowsAModalDialogAndOkRepaintsTheSwatch)
{
    auto window = start();
    ClickableLabel &swatch = *window->controls().KleurLabel;
    for (int red : {0, 90}) {
        QTest::mouseClick(&swatch, Qt::LeftButton);
        QPointer<Colorform> form = qobject_cast<Colorform *>(QApplication::activeModalWidget());
        ASSERT_FALSE(form.isNull());
        EXPECT_EQ(form->parentWidget(), window.get());
        EXPECT_EQ(Bar(*form, "ScrollRood").value(), red == 0 ? 224 : 0) << "starts from the shared colour";
        Bar(*form, "ScrollRood").setValue(red);
        EXPECT_EQ(window->values().BackRed, red);
        EXPECT_NE(Shown(swatch), std::to_string(red) + ",240,224") << "the swatch waits for Ok";
        Press(*form, "OkKnop");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(form.isNull()) << "the dialog is destroyed when it closes";
        EXPECT_EQ(Shown(swatch), std::to_string(red) + ",240,224");
    }
}

// From the keyboard: Tab reaches the bars in the order red, green, blue, then Cancel and Ok;
// each key's change is stored as a click's is.
TEST_F(SwatchTest, TheBarsAnswerTheKeyboard)
{
    auto window = start();
    window->show();
    window->activateWindow();
    QTest::mouseClick(window->controls().KleurLabel, Qt::LeftButton);
    auto *form = qobject_cast<Colorform *>(QApplication::activeModalWidget());
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QScrollBar &red = Bar(*form, "ScrollRood");
    for (int presses = 0; QApplication::focusWidget() != &red && presses < 6; ++presses)
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &red);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(&red, Qt::Key_Left);
    EXPECT_EQ(Caption(*form, "Label5"), "220");
    EXPECT_EQ(window->values().BackRed, 220);

    const struct {
        Qt::Key key;
        int value;
    } steps[] = {{Qt::Key_PageDown, 210}, {Qt::Key_PageUp, 220}, {Qt::Key_Right, 221}, {Qt::Key_Down, 220},
                 {Qt::Key_Up, 221},       {Qt::Key_End, 255},    {Qt::Key_Home, 0}};
    for (const auto &step : steps) {
        QTest::keyClick(&red, step.key);
        EXPECT_EQ(Caption(*form, "Label5"), QString::number(step.value)) << step.key;
        EXPECT_EQ(window->values().BackRed, step.value) << step.key;
    }

    QStringList order;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(order.join(QLatin1Char(' ')), "ScrollGroen ScrollBlauw CancelKnop OkKnop ScrollRood");
    Press(*form, "CancelKnop");
}

// Every control: kind, place inside Frame1 (pixels), caption, colours and bold fonts.
struct ControlRow {
    const char *name;
    const char *kind;
    QRect geometry;
    const char *caption = "";     // nullptr: the value labels, which follow the colour
    QColor background = QColor(); // invalid: none of its own
    QColor text = QColor();
    qreal boldPoints = 0; // 0: the default dialog font
};

class ColorformControlTest : public ColorformTest, public ::testing::WithParamInterface<ControlRow>
{
};

TEST_P(ColorformControlTest, IsPlacedAndDressedAsLaidOut)
{
    const ControlRow row = GetParam();
    Wired form(values, swatch);
    QWidget &frame = Child(form, "Frame1");
    EXPECT_EQ(frame.geometry(), QRect(4, -2, 187, 134));
    QWidget &control = Child(frame, row.name);
    EXPECT_STREQ(control.metaObject()->className(), row.kind);
    EXPECT_EQ(control.geometry(), row.geometry);
    if (auto *label = qobject_cast<QLabel *>(&control); label && row.caption) {
        EXPECT_EQ(label->text(), row.caption);
    }
    if (auto *button = qobject_cast<QPushButton *>(&control)) {
        EXPECT_EQ(button->text(), row.caption);
        EXPECT_EQ(button->isDefault(), button->objectName() == "OkKnop") << "Enter presses Ok";
    }
    if (row.background.isValid()) {
        EXPECT_TRUE(control.autoFillBackground());
        EXPECT_EQ(control.palette().color(QPalette::Window), row.background);
    }
    if (row.text.isValid()) {
        EXPECT_EQ(control.palette().color(QPalette::WindowText), row.text);
    }
    EXPECT_EQ(control.font().bold(), row.boldPoints > 0);
    if (row.boldPoints > 0) {
        EXPECT_DOUBLE_EQ(control.font().pointSizeF(), row.boldPoints);
    }
    if (auto *bar = qobject_cast<QScrollBar *>(&control)) {
        EXPECT_EQ(bar->orientation(), Qt::Horizontal);
        EXPECT_EQ(QList<int>({bar->minimum(), bar->maximum(), bar->singleStep(), bar->pageStep()}),
                  QList<int>({0, 255, 1, 10}));
    }
}

const QColor White(255, 255, 255), Black(0, 0, 0);

INSTANTIATE_TEST_SUITE_P(
    Controls, ColorformControlTest,
    ::testing::Values(
        ControlRow{"Label1", "QLabel", {12, 18, 123, 21}, "", QColor(192, 0, 0)},
        ControlRow{"Label9", "QLabel", {16, 22, 10, 13}, "R", {}, White, 8.25},
        ControlRow{"ScrollRood", "QScrollBar", {28, 20, 105, 17}},
        ControlRow{"Label5", "QLabel", {146, 20, 25, 16}, nullptr, QColor(255, 0, 0), Black, 9.75},
        ControlRow{"Label2", "QLabel", {12, 44, 123, 21}, "", QColor(0, 128, 0)},
        ControlRow{"Label10", "QLabel", {16, 48, 10, 13}, "G", {}, White, 8.25},
        ControlRow{"ScrollGroen", "QScrollBar", {28, 46, 105, 17}},
        ControlRow{"Label6", "QLabel", {146, 46, 25, 16}, nullptr, QColor(0, 255, 0), Black, 9.75},
        ControlRow{"Label3", "QLabel", {12, 70, 123, 21}, "", QColor(0, 0, 128)},
        ControlRow{"Label11", "QLabel", {16, 74, 9, 13}, "B", {}, White, 8.25},
        ControlRow{"ScrollBlauw", "QScrollBar", {28, 72, 105, 17}},
        ControlRow{"Label7", "QLabel", {146, 72, 25, 16}, nullptr, QColor(0, 0, 255), Black, 9.75},
        ControlRow{"Label8", "QLabel", {12, 100, 61, 23}, "", QColor(224, 240, 224)},
        ControlRow{"Label4", "QLabel", {88, 98, 87, 27}, "", Black},
        ControlRow{"CancelKnop", "QPushButton", {90, 100, 47, 23}, "Cancel"},
        ControlRow{"OkKnop", "QPushButton", {138, 100, 35, 23}, "Ok"}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
