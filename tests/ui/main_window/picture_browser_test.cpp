#include "main_window/picture_browser.h"
#include "picture_browser_fixture.h"

#include <QStorageInfo>

namespace
{

TEST(MountedVolumesTest, OffersTheRootAndNoPseudoFileSystems)
{
    MountedVolumes mounted;
    const QStringList roots = mounted.volumes();
    EXPECT_TRUE(roots.contains(QDir::rootPath()));
    for (const QString &root : roots)
        EXPECT_FALSE(IsPseudoFileSystem(QStorageInfo(root).fileSystemType()) ||
                     root.startsWith(QStringLiteral("/proc")))
            << root.toStdString();
    EXPECT_TRUE(mounted.canList(QDir::rootPath()));
    EXPECT_FALSE(mounted.canList(QDir::rootPath() + QStringLiteral("no such drive")));
}

class PictureBrowserTest : public BrowserTest
{
  protected:
    QString driveName;

    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_TRUE(QDir(drive.path()).mkpath(QStringLiteral("sub/deeper")));
        ASSERT_TRUE(QDir(drive.path()).mkdir(QStringLiteral("Other")));
        ASSERT_TRUE(QDir(drive.path()).mkdir(QStringLiteral("album.jpg")));
        for (const char *file :
             {"b.gif", "a.jpg", "PHOTO.JPG", "notes.txt", "x.jpeg", "y.jpg.txt", ".hidden.jpg", "sub/d.bmp"})
            touch(drive.filePath(QLatin1String(file)));
        volumes.roots = {drive.path()};
        driveName = QFileInfo(drive.path()).fileName();
    }

    QListWidgetItem *folderEntry(const QString &name)
    {
        const QList<QListWidgetItem *> found = dir1().findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }
    QString currentFolder() { return dir1().currentItem() ? dir1().currentItem()->text() : QString(); }

    void enter(const QString &name)
    {
        ASSERT_NE(folderEntry(name), nullptr) << name.toStdString();
        dir1().setCurrentItem(folderEntry(name));
        QTest::keyClick(&dir1(), Qt::Key_Return);
    }
};

TEST_F(PictureBrowserTest, StartsInTheProcessFolderWithTheCountAtZero)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(drive.path()));
    open();
    QDir::setCurrent(previous);
    EXPECT_EQ(Texts(file1()), "a.jpg|b.gif|PHOTO.JPG|x.jpeg");
    EXPECT_EQ(fotoAantal(), "0") << "the count waits for the first folder change";
    EXPECT_EQ(currentFolder(), driveName);
    EXPECT_EQ(control<QComboBox>("Drive1").currentData().toString(), drive.path());
    EXPECT_EQ(file1().selectionMode(), QAbstractItemView::ExtendedSelection);
}

TEST_F(PictureBrowserTest, FolderListGoesDownAndUpAndEachDriveKeepsItsFolder)
{
    QTemporaryDir second;
    volumes.roots << second.path();
    open();
    chooseDrive(drive.path());
    EXPECT_EQ(Texts(file1()), "a.jpg|b.gif|PHOTO.JPG|x.jpeg");
    EXPECT_EQ(fotoAantal(), "4");
    // The path from the root down to the drive folder, then its sub-folders in name order.
    const int n = dir1().count();
    EXPECT_EQ(dir1().item(0)->text(), QDir::toNativeSeparators(QDir::rootPath()));
    EXPECT_EQ(Joined({dir1().item(n - 4)->text(), dir1().item(n - 3)->text(), dir1().item(n - 2)->text(),
                      dir1().item(n - 1)->text()}),
              driveName.toStdString() + "|album.jpg|Other|sub");

    doubleClick(dir1(), folderEntry(QStringLiteral("sub")));
    EXPECT_EQ(currentFolder(), "sub");
    EXPECT_EQ(Texts(file1()), "d.bmp");
    EXPECT_EQ(fotoAantal(), "1");
    EXPECT_TRUE(folderEntry(QStringLiteral("deeper")) && !folderEntry(QStringLiteral("Other")));

    chooseDrive(second.path());
    EXPECT_EQ(fotoAantal(), "0");
    chooseDrive(drive.path());
    EXPECT_EQ(currentFolder(), "sub") << "the drive's own current folder";

    enter(driveName);
    EXPECT_EQ(currentFolder(), driveName);
    EXPECT_EQ(fotoAantal(), "4");
}

TEST_F(PictureBrowserTest, ADriveThatIsNotReadyChangesNothingButTheDriveList)
{
    QTemporaryDir third;
    touch(third.filePath(QStringLiteral("z.gif")));
    const QString missing = drive.filePath(QStringLiteral("no medium"));
    volumes.roots = {drive.path(), missing, third.path()};
    volumes.notReady = {missing};
    open();
    chooseDrive(drive.path());
    const std::string folders = Texts(dir1());

    chooseDrive(missing);
    EXPECT_EQ(Joined(messages.texts), "Drive niet aanwezig....");
    EXPECT_EQ(Joined(messages.titles), " Drive-Error");
    EXPECT_EQ(control<QComboBox>("Drive1").currentData().toString(), missing);
    EXPECT_EQ(Texts(dir1()), folders);
    EXPECT_EQ(Texts(file1()), "a.jpg|b.gif|PHOTO.JPG|x.jpeg");
    EXPECT_EQ(fotoAantal(), "4");

    chooseDrive(third.path());
    EXPECT_EQ(messages.texts.size(), 1);
    EXPECT_EQ(Texts(file1()), "z.gif");
    EXPECT_EQ(fotoAantal(), "1");
}

TEST_F(PictureBrowserTest, AFolderThatVanishedIsNotEntered)
{
    open();
    chooseDrive(drive.path());
    ASSERT_TRUE(QDir(drive.filePath(QStringLiteral("Other"))).removeRecursively());
    enter(QStringLiteral("Other"));
    EXPECT_EQ(currentFolder(), driveName);
    EXPECT_EQ(folderEntry(QStringLiteral("Other")), nullptr) << "the folder list is read again";
    EXPECT_EQ(Texts(file1()), "a.jpg|b.gif|PHOTO.JPG|x.jpeg");
    EXPECT_TRUE(messages.texts.isEmpty());
}

} // namespace
