#include "main_window/selection.h"
#include "picture_browser_fixture.h"
#include "shared/paths.h"

#include <QTest>

namespace
{

// The selection buttons in the real main window, over a drive with three pictures.
class SelectionTest : public BrowserTest
{
  protected:
    void SetUp() override
    {
        BrowserTest::SetUp();
        for (const char *file : {"c.bmp", "a.jpg", "b.gif"})
            touch(drive.filePath(QLatin1String(file)));
        volumes.roots = {drive.path()};
        open();
        chooseDrive(drive.path());
        ASSERT_EQ(Joined(Texts(file1())), "a.jpg|b.gif|c.bmp");
    }

    QString path(const char *name) { return JoinPath(drive.path(), QLatin1String(name)); }

    // List1 and List2 in step: entry i of List1 is the name at the end of entry i of List2.
    void expectInStep()
    {
        ASSERT_EQ(list1().count(), list2().count());
        for (int i = 0; i < list1().count(); ++i)
            EXPECT_EQ(list2().item(i)->text(), JoinPath(drive.path(), list1().item(i)->text())) << i;
        EXPECT_EQ(selectAantal(), QString::number(list1().count()));
    }
};

TEST_F(SelectionTest, ThreeMarkedFilesExportedTwiceGiveSixEntries)
{
    markFiles({0, 1, 2});
    press("KnopRechts");
    press("KnopRechts");
    EXPECT_EQ(Joined(Texts(list1())), "a.jpg|b.gif|c.bmp|a.jpg|b.gif|c.bmp");
    EXPECT_EQ(list2().item(0)->text(), path("a.jpg"));
    EXPECT_EQ(selectAantal(), "6");
    expectInStep();
}

TEST_F(SelectionTest, OnlyMarkedFilesAreExportedInListOrder)
{
    markFiles({2, 0});
    press("KnopRechts");
    EXPECT_EQ(Joined(Texts(list1())), "a.jpg|c.bmp");
    expectInStep();
}

TEST_F(SelectionTest, ExportWithNothingMarkedAddsNothing)
{
    markFiles({0});
    press("KnopRechts");
    markFiles({});
    press("KnopRechts");
    EXPECT_EQ(Joined(Texts(list1())), "a.jpg");
    EXPECT_EQ(selectAantal(), "1");
    expectInStep();
}

TEST_F(SelectionTest, DoubleClickExportsEveryMarkedFile)
{
    // Click the first file, then shift-double-click the third: all three are marked.
    QTest::mouseClick(file1().viewport(), Qt::LeftButton, {},
                      file1().visualItemRect(file1().item(0)).center());
    doubleClick(file1(), file1().item(2), Qt::ShiftModifier);
    EXPECT_EQ(file1().selectedItems().size(), 3);
    EXPECT_EQ(Joined(Texts(list1())), "a.jpg|b.gif|c.bmp");
    expectInStep();
}

TEST_F(SelectionTest, DeleteRemovesTheMarkedEntryFromBothLists)
{
    markFiles({0, 1, 2});
    press("KnopRechts");
    list1().item(1)->setSelected(true);
    press("ClearKnop");
    EXPECT_EQ(Joined(Texts(list1())), "a.jpg|c.bmp");
    EXPECT_EQ(list2().item(1)->text(), path("c.bmp"));
    EXPECT_EQ(selectAantal(), "2");
    expectInStep();
}

TEST_F(SelectionTest, DeleteWithNothingMarkedChangesNothing)
{
    markFiles({0, 1});
    press("KnopRechts");
    list1().clearSelection();
    control<QLabel>("SelectAantal").setText(QStringLiteral("unchanged"));
    press("ClearKnop");
    EXPECT_EQ(Joined(Texts(list1())), "a.jpg|b.gif");
    EXPECT_EQ(list2().count(), 2);
    EXPECT_EQ(selectAantal(), "unchanged");
}

TEST_F(SelectionTest, DeleteAllOnAnEmptySelectionDoesNothing)
{
    control<QLabel>("SelectAantal").setText(QStringLiteral("unchanged"));
    press("ClearAll");
    EXPECT_EQ(list1().count(), 0);
    EXPECT_EQ(selectAantal(), "unchanged");
}

TEST_F(SelectionTest, DeleteAllEmptiesBothLists)
{
    markFiles({0, 1, 2});
    press("KnopRechts");
    press("ClearAll");
    EXPECT_EQ(list1().count(), 0);
    EXPECT_EQ(list2().count(), 0);
    EXPECT_EQ(selectAantal(), "0");
}

TEST_F(SelectionTest, TheSelectionReachesTheHost)
{
    markFiles({1, 2});
    press("KnopRechts");
    EXPECT_EQ(Joined(window->selectionNames()), "b.gif|c.bmp");
    EXPECT_EQ(Joined(window->selectionPaths()), Joined({path("b.gif"), path("c.bmp")}));
}

TEST_F(SelectionTest, AHundredAndFiftyEntriesCanBeBuilt)
{
    QTemporaryDir many;
    ASSERT_TRUE(many.isValid());
    for (int i = 1; i <= 150; ++i)
        touch(many.filePath(QStringLiteral("p%1.jpg").arg(i, 3, 10, QLatin1Char('0'))));
    volumes.roots << many.path();
    window.reset();
    open();
    chooseDrive(many.path());
    ASSERT_EQ(fotoAantal(), "150");
    file1().selectAll();
    press("KnopRechts");
    EXPECT_EQ(list1().count(), 150);
    EXPECT_EQ(list2().count(), 150);
    EXPECT_EQ(selectAantal(), "150");
    EXPECT_EQ(list2().item(149)->text(), JoinPath(many.path(), QStringLiteral("p150.jpg")));
}

// A volume root that already ends in a separator gets no second one.
TEST_F(SelectionTest, AFileInARootFolderGetsASingleSeparator)
{
    const QString root = drive.path() + QLatin1Char('/');
    volumes.roots = {root};
    window.reset();
    open();
    chooseDrive(root);
    markFiles({0});
    press("KnopRechts");
    ASSERT_EQ(list2().count(), 1);
    EXPECT_EQ(list2().item(0)->text(), drive.path() + QStringLiteral("/a.jpg"));
}

TEST(SelectionRootTest, TheSystemRootGetsASingleSeparator)
{
    QListWidget files, names, paths;
    QLabel count;
    files.addItems({QStringLiteral("photo.jpg"), QStringLiteral("PIC.GIF")});
    files.setSelectionMode(QAbstractItemView::ExtendedSelection);
    files.item(0)->setSelected(true);
    files.item(1)->setSelected(true);
    Selection selection(names, paths, count);
    selection.exportMarked(files, QDir::rootPath());
    EXPECT_EQ(Joined(Texts(paths)), "/photo.jpg|/PIC.GIF");
    EXPECT_EQ(Joined(Texts(names)), "photo.jpg|PIC.GIF");
    EXPECT_EQ(count.text(), "2");
}

} // namespace
