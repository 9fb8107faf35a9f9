// The colour dialog from the keyboard: Enter is Ok and Escape is Cancel wherever the focus is,
// and a focused button answers Enter as it answers Space.

#include "colour_dialog/colorform.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{

struct ColourKeysRow {
    const char *name;
    std::vector<Qt::Key> keys;
    int result; // QDialog::Accepted or QDialog::Rejected
    QColor reported;
};
void PrintTo(const ColourKeysRow &row, std::ostream *os)
{
    *os << row.name;
}

class ColorformKeysTest : public ::testing::TestWithParam<ColourKeysRow>
{
};

TEST_P(ColorformKeysTest, EnterIsOkAndEscapeIsCancel)
{
    const ColourKeysRow &row = GetParam();
    Colorform form(QColor(224, 240, 224));
    QColor reported(224, 240, 224);
    QObject::connect(&form, &Colorform::colourChanged, [&reported](const QColor &c) { reported = c; });
    int result = -1;
    QObject::connect(&form, &QDialog::finished, [&result](int r) { result = r; });
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    for (Qt::Key key : row.keys) {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget(), key);
    }
    EXPECT_EQ(result, row.result);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(reported, row.reported);
}

using K = Qt::Key;
INSTANTIATE_TEST_SUITE_P(
    Keys, ColorformKeysTest,
    ::testing::Values(
        ColourKeysRow{
            "EnterOnABarIsOk", {K::Key_Right, K::Key_Return}, QDialog::Accepted, QColor(225, 240, 224)},
        ColourKeysRow{"KeypadEnterIsOk",
                      {K::Key_Tab, K::Key_End, K::Key_Enter},
                      QDialog::Accepted,
                      QColor(224, 255, 224)},
        ColourKeysRow{
            "EscapeOnABarIsCancel", {K::Key_Right, K::Key_Escape}, QDialog::Rejected, QColor(225, 240, 224)},
        ColourKeysRow{"EnterOnTheFocusedCancelIsCancel",
                      {K::Key_Tab, K::Key_Tab, K::Key_Tab, K::Key_Return},
                      QDialog::Rejected,
                      QColor(224, 240, 224)},
        ColourKeysRow{"EscapeOnTheFocusedOkIsCancel",
                      {K::Key_Tab, K::Key_Tab, K::Key_Tab, K::Key_Tab, K::Key_Escape},
                      QDialog::Rejected,
                      QColor(224, 240, 224)}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
