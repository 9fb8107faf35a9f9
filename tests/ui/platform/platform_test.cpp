#include "platform/qt_platform.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <gtest/gtest.h>

namespace
{

TEST(MessageBoxTest, HasNoIconOneOkButtonAndItsTitleOrTheProgramName)
{
    const auto box = MakeMessageBox(QStringLiteral("No foldername selected!"), QString(), nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Galvora"));
    EXPECT_EQ(box->text(), QStringLiteral("No foldername selected!"));
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(MakeMessageBox(QStringLiteral("x"), QStringLiteral(" Drive-Error"), nullptr)->windowTitle(),
              QStringLiteral(" Drive-Error"));
}

class MousePointerTest : public ::testing::Test
{
  protected:
    void TearDown() override
    {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    }
    static bool Busy()
    {
        return QGuiApplication::overrideCursor() &&
               QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
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

} // namespace
