#include "colour_dialog/colorform.h"
#include "main_window/clickable_label.h"
#include "main_window/window_fixture.h"
#include "shared/program_values.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace
{

// What the widget really shows in the middle of it.
QColor ShownColour(QWidget &widget)
{
    const QImage image = widget.grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

std::string Rgb(const QColor &c)
{
    return std::to_string(c.red()) + "," + std::to_string(c.green()) + "," + std::to_string(c.blue());
}

template <typename T> T &Child(QWidget &parent, const char *name)
{
    T *child = parent.findChild<T *>(QString::fromLatin1(name));
    if (!child)
        throw std::runtime_error(std::string("no child ") + name);
    return *child;
}

class ColorformTest : public ::testing::Test
{
  protected:
    ProgramValues values; // starts at 224, 240, 224
    QLabel swatch;

    void SetUp() override { PaintBackground(swatch, QColor(224, 240, 224)); }
};

TEST_F(ColorformTest, OpensWithTheStartColourInBarsLabelsAndPreview)
{
    Colorform form(values, swatch);
    EXPECT_EQ(form.windowTitle(), " Backgroundcolor Html page");
    EXPECT_EQ(form.size(), QSize(192, 131));
    EXPECT_EQ(Child<QScrollBar>(form, "ScrollRood").value(), 224);
    EXPECT_EQ(Child<QScrollBar>(form, "ScrollGroen").value(), 240);
    EXPECT_EQ(Child<QScrollBar>(form, "ScrollBlauw").value(), 224);
    EXPECT_EQ(Child<QLabel>(form, "Label5").text(), "224");
    EXPECT_EQ(Child<QLabel>(form, "Label6").text(), "240");
    EXPECT_EQ(Child<QLabel>(form, "Label7").text(), "224");
    EXPECT_EQ(Rgb(ShownColour(Child<QLabel>(form, "Label8"))), "224,240,224");
}

TEST_F(ColorformTest, ZeroValuesStillShowTheirLabelsAndPreview)
{
    // Setting a bar to 0 runs no change handler; loading must show 0 anyway.
    values.BackRed = 0;
    values.BackGreen = 0;
    values.BackBlue = 7;
    Colorform form(values, swatch);
    EXPECT_EQ(Child<QLabel>(form, "Label5").text(), "0");
    EXPECT_EQ(Child<QLabel>(form, "Label6").text(), "0");
    EXPECT_EQ(Child<QLabel>(form, "Label7").text(), "7");
    EXPECT_EQ(Rgb(ShownColour(Child<QLabel>(form, "Label8"))), "0,0,7");
}

TEST_F(ColorformTest, RedToZeroUpdatesLabelPreviewAndSharedByteAtOnce)
{
    Colorform form(values, swatch);
    auto &red = Child<QScrollBar>(form, "ScrollRood");
    red.setFocus();
    QTest::keyClick(&red, Qt::Key_Home); // as the user does it: the bar to its minimum
    EXPECT_EQ(red.value(), 0);
    EXPECT_EQ(Child<QLabel>(form, "Label5").text(), "0");
    EXPECT_EQ(Rgb(ShownColour(Child<QLabel>(form, "Label8"))), "0,240,224");
    EXPECT_EQ(values.BackRed, 0);
    EXPECT_EQ(values.BackGreen, 240);
    EXPECT_EQ(values.BackBlue, 224);
}

TEST_F(ColorformTest, ArrowAndTrackMoveOneStepAndEachBarFeedsItsOwnLabelAndByte)
{
    Colorform form(values, swatch);
    Child<QScrollBar>(form, "ScrollGroen").triggerAction(QAbstractSlider::SliderSingleStepSub); // arrow
    Child<QScrollBar>(form, "ScrollBlauw").triggerAction(QAbstractSlider::SliderPageStepAdd);   // track
    EXPECT_EQ(Child<QLabel>(form, "Label5").text(), "224");
    EXPECT_EQ(Child<QLabel>(form, "Label6").text(), "239");
    EXPECT_EQ(Child<QLabel>(form, "Label7").text(), "225");
    EXPECT_EQ(values.BackRed, 224);
    EXPECT_EQ(values.BackGreen, 239);
    EXPECT_EQ(values.BackBlue, 225);
    EXPECT_EQ(Rgb(ShownColour(Child<QLabel>(form, "Label8"))), "224,239,225");
}

TEST_F(ColorformTest, NothingFollowsTheThumbUntilItIsReleased)
{
    Colorform form(values, swatch);
    auto &red = Child<QScrollBar>(form, "ScrollRood");
    red.setSliderDown(true);
    red.setSliderPosition(10);
    EXPECT_EQ(values.BackRed, 224);
    EXPECT_EQ(Child<QLabel>(form, "Label5").text(), "224");
    red.setSliderDown(false);
    EXPECT_EQ(values.BackRed, 10);
    EXPECT_EQ(Child<QLabel>(form, "Label5").text(), "10");
}

TEST_F(ColorformTest, OkRepaintsTheSwatch)
{
    Colorform form(values, swatch);
    form.show();
    Child<QScrollBar>(form, "ScrollRood").setValue(0);
    QTest::mouseClick(&Child<QPushButton>(form, "OkKnop"), Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Rgb(ShownColour(swatch)), "0,240,224");
}

// Cancel and a close by the window frame: the shared colour keeps the bars' values,
// the swatch keeps its old colour, and the next showing starts from the new values.
enum class WayOut { Cancel, FrameClose };

class ColorformLeaveTest : public ColorformTest, public ::testing::WithParamInterface<WayOut>
{
};

TEST_P(ColorformLeaveTest, KeepsSharedColourButNotTheSwatch)
{
    {
        Colorform form(values, swatch);
        form.show();
        Child<QScrollBar>(form, "ScrollRood").setValue(0);
        Child<QScrollBar>(form, "ScrollBlauw").setValue(100);
        if (GetParam() == WayOut::Cancel)
            QTest::mouseClick(&Child<QPushButton>(form, "CancelKnop"), Qt::LeftButton);
        else
            form.close();
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.result(), QDialog::Rejected);
    }
    EXPECT_EQ(values.BackRed, 0);
    EXPECT_EQ(values.BackGreen, 240);
    EXPECT_EQ(values.BackBlue, 100);
    EXPECT_EQ(Rgb(ShownColour(swatch)), "224,240,224");

    Colorform again(values, swatch);
    EXPECT_EQ(Child<QScrollBar>(again, "ScrollRood").value(), 0);
    EXPECT_EQ(Child<QScrollBar>(again, "ScrollBlauw").value(), 100);
    EXPECT_EQ(Child<QLabel>(again, "Label5").text(), "0");
    EXPECT_EQ(Rgb(ShownColour(Child<QLabel>(again, "Label8"))), "0,240,100");
}

INSTANTIATE_TEST_SUITE_P(WaysOut, ColorformLeaveTest, ::testing::Values(WayOut::Cancel, WayOut::FrameClose),
                         [](const auto &info) {
                             return std::string(info.param == WayOut::Cancel ? "Cancel" : "FrameClose");
                         });

TEST_F(ColorformTest, EnterAndEscapeDoNothing)
{
    Colorform form(values, swatch);
    form.show();
    for (const char *button : {"OkKnop", "CancelKnop"}) {
        auto &knop = Child<QPushButton>(form, button);
        knop.setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(&knop, key);
            EXPECT_TRUE(form.isVisible()) << button << " key " << key;
        }
    }
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(Rgb(ShownColour(swatch)), "224,240,224");
}

// The swatch of the real main window: a click shows a fresh modal dialog each time.
class SwatchTest : public WindowTest
{
};

TEST_F(SwatchTest, AClickShowsAModalDialogThatOkAndCancelClose)
{
    auto window = start();
    ClickableLabel &swatch = *window->controls().KleurLabel;
    EXPECT_EQ(Rgb(ShownColour(swatch)), "224,240,224");

    QTest::mouseClick(&swatch, Qt::LeftButton);
    QPointer<Colorform> form = qobject_cast<Colorform *>(QApplication::activeModalWidget());
    ASSERT_FALSE(form.isNull());
    EXPECT_TRUE(form->isModal());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->parentWidget(), window.get());
    Child<QScrollBar>(*form, "ScrollRood").setValue(0);
    EXPECT_EQ(window->values().BackRed, 0);
    EXPECT_EQ(Rgb(ShownColour(swatch)), "224,240,224") << "the swatch waits for Ok";
    QTest::mouseClick(&Child<QPushButton>(*form, "OkKnop"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull()) << "the dialog is destroyed when it closes";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(Rgb(ShownColour(swatch)), "0,240,224");

    QTest::mouseClick(&swatch, Qt::LeftButton);
    form = qobject_cast<Colorform *>(QApplication::activeModalWidget());
    ASSERT_FALSE(form.isNull());
    EXPECT_EQ(Child<QScrollBar>(*form, "ScrollRood").value(), 0)
        << "a fresh dialog starts from the shared colour";
    Child<QScrollBar>(*form, "ScrollBlauw").setValue(50);
    QTest::mouseClick(&Child<QPushButton>(*form, "CancelKnop"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    EXPECT_EQ(window->values().BackBlue, 50);
    EXPECT_EQ(Rgb(ShownColour(swatch)), "0,240,224");
}

// Every control: kind, place inside Frame1 (pixels), caption, colours and bold fonts.
struct ControlRow {
    const char *name;
    const char *kind;
    QRect geometry;
    const char *caption = nullptr; // nullptr: not checked (value labels follow the colour)
    std::optional<QColor> background = std::nullopt;
    std::optional<QColor> text = std::nullopt;
    qreal boldPoints = 0; // 0: default dialog font
};

class ColorformControlTest : public ColorformTest, public ::testing::WithParamInterface<ControlRow>
{
};

TEST_P(ColorformControlTest, IsPlacedAndDressedAsLaidOut)
{
    const ControlRow row = GetParam();
    Colorform form(values, swatch);
    QWidget &frame = Child<QWidget>(form, "Frame1");
    EXPECT_EQ(frame.geometry(), QRect(4, -2, 187, 134));
    QWidget &control = Child<QWidget>(frame, row.name);
    EXPECT_EQ(control.parentWidget(), &frame);
    EXPECT_STREQ(control.metaObject()->className(), row.kind);
    EXPECT_EQ(control.geometry(), row.geometry);
    if (row.caption) {
        if (auto *label = qobject_cast<QLabel *>(&control))
            EXPECT_EQ(label->text(), row.caption);
        if (auto *button = qobject_cast<QPushButton *>(&control)) {
            EXPECT_EQ(button->text(), row.caption);
            EXPECT_FALSE(button->isDefault());
            EXPECT_FALSE(button->autoDefault());
        }
    }
    if (row.background)
        EXPECT_EQ(Rgb(ShownColour(control)), Rgb(*row.background));
    if (row.text)
        EXPECT_EQ(control.palette().color(QPalette::WindowText), *row.text);
    if (row.boldPoints > 0) {
        EXPECT_TRUE(control.font().bold());
        EXPECT_DOUBLE_EQ(control.font().pointSizeF(), row.boldPoints);
        EXPECT_FALSE(QFontInfo(control.font()).fixedPitch()) << "a sans-serif face stands in";
    } else {
        EXPECT_FALSE(control.font().bold());
    }
    if (auto *bar = qobject_cast<QScrollBar *>(&control)) {
        EXPECT_EQ(bar->orientation(), Qt::Horizontal);
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 255);
        EXPECT_EQ(bar->singleStep(), 1);
        EXPECT_EQ(bar->pageStep(), 1);
    }
}

const QColor White(255, 255, 255), Black(0, 0, 0);

INSTANTIATE_TEST_SUITE_P(
    Controls, ColorformControlTest,
    ::testing::Values(ControlRow{"Label1", "QLabel", {12, 18, 123, 21}, "", QColor(192, 0, 0)},
                      ControlRow{"Label9", "QLabel", {16, 22, 10, 13}, "R", std::nullopt, White, 8.25},
                      ControlRow{"ScrollRood", "QScrollBar", {28, 20, 105, 17}},
                      ControlRow{"Label5", "QLabel", {146, 20, 25, 16}, nullptr, std::nullopt, Black, 9.75},
                      ControlRow{"Label2", "QLabel", {12, 44, 123, 21}, "", QColor(0, 128, 0)},
                      ControlRow{"Label10", "QLabel", {16, 48, 10, 13}, "G", std::nullopt, White, 8.25},
                      ControlRow{"ScrollGroen", "QScrollBar", {28, 46, 105, 17}},
                      ControlRow{"Label6", "QLabel", {146, 46, 25, 16}, nullptr, std::nullopt, Black, 9.75},
                      ControlRow{"Label3", "QLabel", {12, 70, 123, 21}, "", QColor(0, 0, 128)},
                      ControlRow{"Label11", "QLabel", {16, 74, 9, 13}, "B", std::nullopt, White, 8.25},
                      ControlRow{"ScrollBlauw", "QScrollBar", {28, 72, 105, 17}},
                      ControlRow{"Label7", "QLabel", {146, 72, 25, 16}, nullptr, std::nullopt, Black, 9.75},
                      ControlRow{"Label8", "QLabel", {12, 100, 61, 23}, ""},
                      ControlRow{"Label4", "QLabel", {88, 98, 87, 27}, "", Black},
                      ControlRow{"CancelKnop", "QPushButton", {90, 100, 47, 23}, "Cancel"},
                      ControlRow{"OkKnop", "QPushButton", {138, 100, 35, 23}, "Ok"}),
    [](const auto &info) { return std::string(info.param.name); });

// The value labels sit on their own colour; the letters need their band behind them.
TEST_F(ColorformTest, ValueLabelsShowTheirPureColourAndLettersLieOnTheirBands)
{
    Colorform form(values, swatch);
    EXPECT_EQ(Child<QWidget>(form, "Label5").palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(Child<QWidget>(form, "Label6").palette().color(QPalette::Window), QColor(0, 255, 0));
    EXPECT_EQ(Child<QWidget>(form, "Label7").palette().color(QPalette::Window), QColor(0, 0, 255));
    // Later siblings are drawn on top.
    QWidget &frame = Child<QWidget>(form, "Frame1");
    const QObjectList order = frame.children();
    for (auto [letter, band] : {std::pair{"Label9", "Label1"},
                                {"Label10", "Label2"},
                                {"Label11", "Label3"},
                                {"ScrollRood", "Label1"},
                                {"OkKnop", "Label4"},
                                {"CancelKnop", "Label4"}}) {
        EXPECT_GT(order.indexOf(&Child<QWidget>(frame, letter)), order.indexOf(&Child<QWidget>(frame, band)))
            << letter << " over " << band;
    }
}

} // namespace
