#include "main_window/selection.h"
#include "picture_browser_fixture.h"
#include "shared/paths.h"

namespace
{

// The selection buttons of the real main window, over a drive with three pictures.
class SelectionTest : public BrowserTest
{
  protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        for (const char *file : {"c.bmp", "a.jpg", "b.gif"})
            touch(drive.filePath(QLatin1String(file)));
        volumes.roots = {drive.path()};
        open();
        chooseDrive(drive.path());
    }

    // List1 and List2 in step: entry i of List2 is the folder joined with entry i of List1.
    void expectInStep()
    {
        ASSERT_EQ(list1().count(), list2().count());
        for (int i = 0; i < list1().count(); ++i)
            EXPECT_EQ(list2().item(i)->text(), JoinPath(drive.path(), list1().item(i)->text())) << i;
        EXPECT_EQ(selectAantal(), std::to_string(list1().count()));
    }
};

TEST_F(SelectionTest, ThreeMarkedFilesExportedTwiceGiveSixEntries)
{
    markFiles({2, 0, 1});
    press("KnopRechts");
    press("KnopRechts");
    EXPECT_EQ(Texts(list1()), "a.jpg|b.gif|c.bmp|a.jpg|b.gif|c.bmp");
    EXPECT_EQ(selectAantal(), "6");
    expectInStep();
}

TEST_F(SelectionTest, ExportWithNothingMarkedAddsNothing)
{
    markFiles({1});
    press("KnopRechts");
    markFiles({});
    press("KnopRechts");
    EXPECT_EQ(Texts(list1()), "b.gif");
    expectInStep();
}

TEST_F(SelectionTest, DoubleClickExportsEveryMarkedFile)
{
    // Click the first file, then shift-double-click the third: all three are marked.
    QTest::mouseClick(file1().viewport(), Qt::LeftButton, {},
                      file1().visualItemRect(file1().item(0)).center());
    doubleClick(file1(), file1().item(2), Qt::ShiftModifier);
    EXPECT_EQ(Texts(list1()), "a.jpg|b.gif|c.bmp");
    expectInStep();
}

TEST_F(SelectionTest, DeleteRemovesTheMarkedEntryAndNothingWhenNoneIsMarked)
{
    markFiles({0, 1, 2});
    press("KnopRechts");
    control<QLabel>("SelectAantal").setText(QStringLiteral("untouched"));
    press("ClearKnop");
    EXPECT_EQ(Texts(list1()), "a.jpg|b.gif|c.bmp");
    EXPECT_EQ(list2().count(), 3);
    EXPECT_EQ(selectAantal(), "untouched");

    list1().item(1)->setSelected(true);
    press("ClearKnop");
    EXPECT_EQ(Texts(list1()), "a.jpg|c.bmp");
    expectInStep();
}

// Removing the marked row must not mark its neighbour: a second Delete then does nothing.
TEST_F(SelectionTest, DeleteLeavesNothingMarked)
{
    markFiles({0, 1, 2});
    press("KnopRechts");
    QTest::mouseClick(list1().viewport(), Qt::LeftButton, {},
                      list1().visualItemRect(list1().item(0)).center());
    ASSERT_TRUE(list1().item(0)->isSelected());
    press("ClearKnop");
    EXPECT_TRUE(list1().selectedItems().isEmpty());
    press("ClearKnop");
    EXPECT_EQ(Texts(list1()), "b.gif|c.bmp");
    expectInStep();
}

TEST_F(SelectionTest, DeleteAllOnAnEmptyAndOnAFilledSelection)
{
    control<QLabel>("SelectAantal").setText(QStringLiteral("untouched"));
    press("ClearAll");
    EXPECT_EQ(selectAantal(), "untouched");

    markFiles({0, 2});
    press("KnopRechts");
    press("ClearAll");
    EXPECT_EQ(list1().count() + list2().count(), 0);
    EXPECT_EQ(selectAantal(), "0");
}

TEST_F(SelectionTest, AHundredAndFiftyEntriesCanBeBuilt)
{
    QTemporaryDir many;
    for (int i = 1; i <= 150; ++i)
        touch(many.filePath(QStringLiteral("p%1.jpg").arg(i, 3, 10, QLatin1Char('0'))));
    volumes.roots << many.path();
    open();
    chooseDrive(many.path());
    ASSERT_EQ(fotoAantal(), "150");
    file1().selectAll();
    press("KnopRechts");
    EXPECT_EQ(list2().count(), 150);
    EXPECT_EQ(selectAantal(), "150");
    EXPECT_EQ(list2().item(149)->text(), JoinPath(many.path(), QStringLiteral("p150.jpg")));
}

TEST_F(SelectionTest, AFileInARootFolderGetsASingleSeparator)
{
    const QString root = drive.path() + QLatin1Char('/'); // a volume root ends in its separator
    volumes.roots = {root};
    open();
    chooseDrive(root);
    markFiles({0});
    press("KnopRechts");
    EXPECT_EQ(Texts(list2()), (drive.path() + QStringLiteral("/a.jpg")).toStdString());

    QListWidget files, names, paths;
    QLabel count;
    files.addItem(QStringLiteral("photo.jpg"));
    files.item(0)->setSelected(true);
    Selection(names, paths, count).exportMarked(files, QDir::rootPath());
    EXPECT_EQ(Texts(paths), "/photo.jpg");
    EXPECT_EQ(Texts(names), "photo.jpg");
}

} // namespace
