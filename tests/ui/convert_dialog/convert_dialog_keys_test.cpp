// The Convert dialog from the keyboard: the focus starts on the options, the arrow keys choose
// among them as a click does, Enter is Ok and Escape is Cancel wherever the focus is.

#include "convert_dialog/convert_dialog.h"
#include "support/find_child.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace
{

// A key, or text typed into the focused box.
struct Press {
    Qt::Key key = Qt::Key_unknown;
    const char *text = nullptr;
};

struct KeysRow {
    const char *name;
    std::vector<Press> presses;
    const char *focus;  // where the focus ends; nullptr: the dialog has closed
    int result;         // QDialog::Accepted, QDialog::Rejected, or -1 while it is open
    int pageStyle;      // stored
    const char *shown;  // the parameter boxes shown, by name
    int width = -7;     // PictureWidth stored
    int pause = 77;     // PauseSeconds stored
    const char *status; // the last status text
};
void PrintTo(const KeysRow &row, std::ostream *os)
{
    *os << row.name;
}

const Press Down{Qt::Key_Down}, Up{Qt::Key_Up}, Right{Qt::Key_Right}, Left{Qt::Key_Left}, Tab{Qt::Key_Tab},
    Space{Qt::Key_Space}, Enter{Qt::Key_Return}, Escape{Qt::Key_Escape};
constexpr int Open = -1, Ok = QDialog::Accepted, Cancelled = QDialog::Rejected;
const char *const Thumbnails = "Make of your pictures or photo's little thumbnails.";

class ConvertKeysTest : public ::testing::TestWithParam<KeysRow>
{
};

TEST_P(ConvertKeysTest, TheKeysChooseAndLeaveAsTheMouseDoes)
{
    const KeysRow &row = GetParam();
    ConvertSettings stored;
    stored.PageStyle = 42;
    stored.PictureWidth = -7;
    stored.PauseSeconds = 77;
    QStringList statuses;
    ConvertDialog dialog(stored, {[&statuses](const QString &text) { statuses << text; }, {}});
    QObject::connect(&dialog, &ConvertDialog::stored, [&stored](const ConvertSettings &s) { stored = s; });
    int result = -1;
    QObject::connect(&dialog, &QDialog::finished, [&result](int r) { result = r; });
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    ASSERT_EQ(QApplication::focusWidget(), &FindChild(dialog, "Knop1"))
        << "the focus starts on the first option";

    for (const Press &press : row.presses) {
        QWidget *focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        if (press.text)
            QTest::keyClicks(focus, QLatin1String(press.text));
        else
            QTest::keyClick(focus, press.key);
    }

    if (row.focus) {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QLatin1String(row.focus));
    }
    EXPECT_EQ(result, row.result);
    EXPECT_EQ(dialog.isVisible(), row.result == -1);
    EXPECT_EQ(stored.PageStyle, row.pageStyle);
    QStringList shown;
    for (const char *name : {"BrText", "PauzeText", "HoText", "BlokText"})
        if (!FindChild(dialog, name).isHidden())
            shown << QLatin1String(name);
    EXPECT_EQ(shown.join(QLatin1Char(' ')), QLatin1String(row.shown));
    EXPECT_EQ(stored.PictureWidth, row.width);
    EXPECT_EQ(stored.PauseSeconds, row.pause);
    EXPECT_EQ(statuses.value(statuses.size() - 1), QLatin1String(row.status));
    for (int i = 1; i <= 7 && row.result == Open; ++i) {
        auto &option = FindChild<QRadioButton>(dialog, QStringLiteral("Knop%1").arg(i));
        EXPECT_EQ(option.isChecked(), i == row.pageStyle) << "Knop" << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ConvertKeysTest,
    ::testing::Values(
        KeysRow{"DownChoosesSlideShow", {Down}, "Knop2", Open, 2, "PauzeText", -7, 3, "Slide Show"},
        KeysRow{"DownTwiceChoosesThumbnails",
                {Down, Down},
                "Knop3",
                Open,
                3,
                "BrText HoText",
                160,
                3,
                Thumbnails},
        KeysRow{"UpGoesRoundToWebAlbum",
                {Up},
                "Knop8",
                Open,
                8,
                "BrText HoText",
                1600,
                77,
                "A web album for phones and today's browsers."},
        KeysRow{"UpTwiceReachesResize",
                {Up, Up},
                "Knop7",
                Open,
                7,
                "BrText HoText",
                300,
                77,
                "Resize your pictures without making html page."},
        KeysRow{"RightAndLeftStepAsDownAndUp",
                {Right, Right, Right, Left},
                "Knop3",
                Open,
                3,
                "BrText HoText",
                160,
                3,
                Thumbnails},
        KeysRow{
            "SpaceChoosesTheFocusedOption", {Space}, "Knop1", Open, 1, "", -7, 77, "Photoalbum with buttons"},
        KeysRow{
            "EnterOnAnOptionIsOk", {Down, Down, Enter}, nullptr, Ok, 3, "BrText HoText", 160, 3, "Ready..."},
        KeysRow{"EnterInABoxIsOk",
                {Down, Down, Tab, {Qt::Key_unknown, "200"}, Enter},
                nullptr,
                Ok,
                3,
                "BrText HoText",
                200,
                3,
                "Ready..."},
        KeysRow{"EscapeIsCancel", {Down, Escape}, nullptr, Cancelled, 99, "PauzeText", -7, 3, "Ready..."},
        KeysRow{"EscapeInABoxIsCancel", {Tab, Escape}, nullptr, Cancelled, 99, "", -7, 77, "Ready..."},
        KeysRow{"EnterOnTheFocusedCancelIsCancel",
                {Down, Down, Tab, Tab, Tab, Tab, Enter},
                nullptr,
                Cancelled,
                99,
                "BrText HoText",
                160,
                3,
                "Ready..."}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
