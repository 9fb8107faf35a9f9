#include "main_window/picture_browser.h"
#include "picture_browser_fixture.h"

#include <QStorageInfo>
#include <QTest>

namespace
{

// ---- which files the file list shows ----

struct ListingRow {
    const char *name;
    QStringList files;
    QStringList folders;
    QStringList expected;
};

class PictureFilesTest : public ::testing::TestWithParam<ListingRow>
{
};

TEST_P(PictureFilesTest, ListsPicturesInAnyLetterCaseSortedByName)
{
    const ListingRow row = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const QString &file : row.files) {
        QFile f(dir.filePath(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    for (const QString &folder : row.folders)
        ASSERT_TRUE(QDir(dir.path()).mkdir(folder));
    EXPECT_EQ(Joined(PictureFiles(dir.path())), Joined(row.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, PictureFilesTest,
    ::testing::Values(ListingRow{"UpperCaseExtensions",
                                 {"a.jpg", "PHOTO.JPG", "Mixed.Gif", "c.BMP"},
                                 {},
                                 {"a.jpg", "c.BMP", "Mixed.Gif", "PHOTO.JPG"}},
                      ListingRow{"OtherTypesLeftOut",
                                 {"x.jpeg", "y.png", "z.jpg.txt", "w.tif", "jpg", "ok.gif"},
                                 {},
                                 {"ok.gif"}},
                      ListingRow{"FoldersLeftOut", {"p.jpg"}, {"album.jpg"}, {"p.jpg"}},
                      ListingRow{"HiddenFilesLeftOut", {".secret.jpg", "shown.bmp"}, {}, {"shown.bmp"}},
                      ListingRow{"NameOrderIgnoresCase",
                                 {"b.jpg", "A.jpg", "c.gif", "a2.bmp"},
                                 {},
                                 {"A.jpg", "a2.bmp", "b.jpg", "c.gif"}},
                      ListingRow{"EmptyFolder", {}, {}, {}}),
    [](const auto &info) { return std::string(info.param.name); });

// ---- what the folder list shows ----

TEST(FolderListEntriesTest, PathFromTheRootDownThenSubFoldersSorted)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDir base(dir.path());
    ASSERT_TRUE(base.mkpath(QStringLiteral("a/b")));
    for (const char *sub : {"zeta", "Alpha", "mid"})
        ASSERT_TRUE(base.mkpath(QStringLiteral("a/b/") + QLatin1String(sub)));
    QFile(base.filePath(QStringLiteral("a/b/file.jpg"))).open(QIODevice::WriteOnly);

    const QString current = base.filePath(QStringLiteral("a/b"));
    const QList<FolderEntry> entries = FolderListEntries(current + QStringLiteral("/../b/")); // any spelling
    ASSERT_GE(entries.size(), 6);

    EXPECT_EQ(entries.first().path, QDir::rootPath());
    EXPECT_EQ(entries.first().name, QDir::toNativeSeparators(QDir::rootPath()));
    const int depth = int(entries.size()) - 3; // the path entries, the root included
    QString expectedPath = QDir::rootPath();
    for (int i = 0; i < depth; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].level, i);
        EXPECT_TRUE(entries[i].onPath);
        if (i > 0)
            EXPECT_EQ(entries[i].path,
                      QDir::cleanPath(entries[i - 1].path + QLatin1Char('/') + entries[i].name));
    }
    EXPECT_EQ(entries[depth - 1].path, QDir::cleanPath(current));
    EXPECT_EQ(entries[depth - 1].name, "b");
    EXPECT_EQ(entries[depth - 2].name, "a");

    QStringList subNames;
    for (int i = depth; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].level, depth);
        EXPECT_FALSE(entries[i].onPath);
        EXPECT_EQ(entries[i].path, QDir::cleanPath(current + QLatin1Char('/') + entries[i].name));
        subNames << entries[i].name;
    }
    EXPECT_EQ(Joined(subNames), "Alpha|mid|zeta");
}

TEST(FolderListEntriesTest, TheRootShowsItselfAndItsFolders)
{
    const QList<FolderEntry> entries = FolderListEntries(QDir::rootPath());
    ASSERT_FALSE(entries.isEmpty());
    EXPECT_EQ(entries[0].path, QDir::rootPath());
    EXPECT_TRUE(entries[0].onPath);
    for (int i = 1; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].level, 1);
        EXPECT_EQ(entries[i].path, QDir::rootPath() + entries[i].name) << "one separator after the root";
    }
}

// ---- the real volumes of this machine ----

TEST(MountedVolumesTest, OffersTheRootAndNoPseudoFileSystems)
{
    MountedVolumes mounted;
    const QStringList roots = mounted.volumes();
    EXPECT_TRUE(roots.contains(QDir::rootPath()));
    EXPECT_EQ(QStringList(roots).removeDuplicates(), 0);
    for (const QString &root : roots) {
        const QByteArray type = QStorageInfo(root).fileSystemType();
        EXPECT_FALSE(IsPseudoFileSystem(type)) << root.toStdString() << " " << type.toStdString();
        EXPECT_FALSE(root.startsWith(QStringLiteral("/proc")) || root.startsWith(QStringLiteral("/sys/")))
            << root.toStdString();
    }
    EXPECT_TRUE(mounted.canList(QDir::rootPath()));
    QTemporaryDir dir;
    EXPECT_FALSE(mounted.canList(dir.filePath(QStringLiteral("no such drive"))));
}

// ---- the browser in the real main window ----

class PictureBrowserTest : public BrowserTest
{
  protected:
    void SetUp() override
    {
        BrowserTest::SetUp();
        QDir root(drive.path());
        for (const char *file : {"b.gif", "a.jpg", "PHOTO.JPG", "notes.txt"})
            touch(root.filePath(QLatin1String(file)));
        ASSERT_TRUE(root.mkpath(QStringLiteral("sub/deeper")));
        ASSERT_TRUE(root.mkpath(QStringLiteral("Other")));
        touch(root.filePath(QStringLiteral("sub/d.bmp")));
        volumes.roots = {drive.path()};
    }

    QListWidgetItem *folderEntry(const QString &name)
    {
        const QList<QListWidgetItem *> found = dir1().findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }

    QString currentFolderEntry() { return dir1().currentItem() ? dir1().currentItem()->text() : QString(); }
};

TEST_F(PictureBrowserTest, StartsInTheProcessFolderWithTheCountAtZero)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(drive.path()));
    open();
    QDir::setCurrent(previous);

    EXPECT_EQ(Joined(Texts(file1())), "a.jpg|b.gif|PHOTO.JPG");
    EXPECT_EQ(fotoAantal(), "0") << "the count waits for the first folder change";
    EXPECT_EQ(currentFolderEntry(), QFileInfo(drive.path()).fileName());
    EXPECT_NE(folderEntry(QStringLiteral("sub")), nullptr);
    EXPECT_EQ(drive1().currentData().toString(), drive.path()) << "the drive holding the start folder";
    EXPECT_EQ(list1().count(), 0);
    EXPECT_EQ(selectAantal(), "0");
    EXPECT_EQ(file1().selectionMode(), QAbstractItemView::ExtendedSelection);
}

TEST_F(PictureBrowserTest, ChoosingADriveShowsItsFilesAndCount)
{
    open();
    EXPECT_EQ(drive1().count(), 1);
    EXPECT_EQ(drive1().itemText(0), QDir::toNativeSeparators(drive.path()));
    chooseDrive(drive.path());
    EXPECT_TRUE(messages.texts.isEmpty());
    EXPECT_EQ(Joined(Texts(file1())), "a.jpg|b.gif|PHOTO.JPG");
    EXPECT_EQ(fotoAantal(), "3");
    EXPECT_EQ(currentFolderEntry(), QFileInfo(drive.path()).fileName());
    // The path down to the drive folder, then its sub-folders in name order.
    const QStringList shown = Texts(dir1());
    EXPECT_EQ(Joined(shown.mid(shown.size() - 3)),
              QFileInfo(drive.path()).fileName().toStdString() + "|Other|sub");
    EXPECT_EQ(shown.first(), QDir::toNativeSeparators(QDir::rootPath()));
}

TEST_F(PictureBrowserTest, FolderListGoesDownAndUp)
{
    open();
    chooseDrive(drive.path());

    // Down: a double-click on a sub-folder.
    doubleClick(dir1(), folderEntry(QStringLiteral("sub")));
    EXPECT_EQ(currentFolderEntry(), "sub");
    EXPECT_EQ(Joined(Texts(file1())), "d.bmp");
    EXPECT_EQ(fotoAantal(), "1");
    EXPECT_NE(folderEntry(QStringLiteral("deeper")), nullptr);
    EXPECT_EQ(folderEntry(QStringLiteral("Other")), nullptr) << "siblings are not shown";

    // Up: Enter on the drive folder's entry above.
    QListWidgetItem *up = folderEntry(QFileInfo(drive.path()).fileName());
    ASSERT_NE(up, nullptr);
    dir1().setCurrentItem(up);
    QTest::keyClick(&dir1(), Qt::Key_Return);
    EXPECT_EQ(currentFolderEntry(), QFileInfo(drive.path()).fileName());
    EXPECT_EQ(Joined(Texts(file1())), "a.jpg|b.gif|PHOTO.JPG");
    EXPECT_EQ(fotoAantal(), "3");
}

TEST_F(PictureBrowserTest, ADriveThatIsNotReadyChangesNothingButTheDriveList)
{
    QTemporaryDir third;
    ASSERT_TRUE(third.isValid());
    touch(third.filePath(QStringLiteral("z.gif")));
    const QString missing = drive.filePath(QStringLiteral("no medium"));
    volumes.roots = {drive.path(), missing, third.path()};
    volumes.notReady = {missing};
    open();
    chooseDrive(drive.path());
    const QStringList foldersBefore = Texts(dir1());

    chooseDrive(missing);
    EXPECT_EQ(Joined(messages.texts), "Drive niet aanwezig....");
    EXPECT_EQ(Joined(messages.titles), " Drive-Error");
    EXPECT_EQ(drive1().currentData().toString(), missing);
    EXPECT_EQ(Texts(dir1()), foldersBefore);
    EXPECT_EQ(Joined(Texts(file1())), "a.jpg|b.gif|PHOTO.JPG");
    EXPECT_EQ(fotoAantal(), "3");

    chooseDrive(third.path());
    EXPECT_EQ(messages.texts.size(), 1);
    EXPECT_EQ(Joined(Texts(file1())), "z.gif");
    EXPECT_EQ(fotoAantal(), "1");
    EXPECT_EQ(currentFolderEntry(), QFileInfo(third.path()).fileName());
}

TEST_F(PictureBrowserTest, EachDriveKeepsItsOwnCurrentFolder)
{
    QTemporaryDir second;
    ASSERT_TRUE(second.isValid());
    volumes.roots = {drive.path(), second.path()};
    open();
    chooseDrive(drive.path());
    dir1().setCurrentItem(folderEntry(QStringLiteral("sub")));
    QTest::keyClick(&dir1(), Qt::Key_Return);
    ASSERT_EQ(currentFolderEntry(), "sub");

    chooseDrive(second.path());
    EXPECT_EQ(file1().count(), 0);
    EXPECT_EQ(fotoAantal(), "0");
    chooseDrive(drive.path());
    EXPECT_EQ(currentFolderEntry(), "sub");
    EXPECT_EQ(Joined(Texts(file1())), "d.bmp");
}

TEST_F(PictureBrowserTest, AFolderThatVanishedIsNotEntered)
{
    open();
    chooseDrive(drive.path());
    QListWidgetItem *other = folderEntry(QStringLiteral("Other"));
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(QDir(drive.filePath(QStringLiteral("Other"))).removeRecursively());

    dir1().setCurrentItem(other);
    QTest::keyClick(&dir1(), Qt::Key_Return);
    EXPECT_EQ(currentFolderEntry(), QFileInfo(drive.path()).fileName());
    EXPECT_EQ(folderEntry(QStringLiteral("Other")), nullptr) << "the folder list is read again";
    EXPECT_EQ(Joined(Texts(file1())), "a.jpg|b.gif|PHOTO.JPG");
    EXPECT_EQ(fotoAantal(), "3");
    EXPECT_TRUE(messages.texts.isEmpty());
}

} // namespace
