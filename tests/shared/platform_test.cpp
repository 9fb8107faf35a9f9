#include "shared/platform.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <gtest/gtest.h>
#include <string>

namespace {

struct BoxRow {
    const char *name;
    const char *title;
    const char *shownTitle;
};

class MessageBoxTest : public ::testing::TestWithParam<BoxRow> {};

TEST_P(MessageBoxTest, HasNoIconOneOkButtonAndItsTitle)
{
    const BoxRow row = GetParam();
    const auto box = MakeMessageBox(QStringLiteral("No foldername selected!"), QString::fromUtf8(row.title), nullptr);
    EXPECT_EQ(box->windowTitle().toStdString(), row.shownTitle);
    EXPECT_EQ(box->text(), QStringLiteral("No foldername selected!"));
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(box->buttons().size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Titles, MessageBoxTest,
                         ::testing::Values(BoxRow{"NoTitleShowsTheProgramName", "", "Galvora"},
                                           BoxRow{"GivenTitleKeepsItsBlank", " Drive-Error", " Drive-Error"}),
                         [](const auto &info) { return std::string(info.param.name); });

class MousePointerTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    }
    static bool Busy()
    {
        return QGuiApplication::overrideCursor() && QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
    }
};

TEST_F(MousePointerTest, BusyShowsTheHourglassAndOneArrowEndsIt)
{
    QtMousePointer pointer;
    pointer.busy();
    EXPECT_TRUE(Busy());
    pointer.busy(); // a nested production asks again
    pointer.arrow();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(MousePointerTest, ArrowWithoutBusyLeavesOtherCursorsAlone)
{
    QGuiApplication::setOverrideCursor(Qt::CrossCursor);
    QtMousePointer pointer;
    pointer.arrow();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
}

}
