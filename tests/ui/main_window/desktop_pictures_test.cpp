#include "main_window/picture_browser.h"
#include "main_window/selection.h"
#include "picture_browser_fixture.h"
#include "support/test_pictures.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace
{

using namespace TestPictures;

// Pictures reach the selection from the desktop: dropped from a file manager, or named on the
// command line. Folder a holds loose files, folder b is dropped whole.
class DesktopPicturesTest : public BrowserTest
{
  protected:
    QString a, b;

    void SetUp() override
    {
        WindowTest::SetUp();
        QDir root(drive.path());
        ASSERT_TRUE(root.mkdir(QStringLiteral("a")) && root.mkdir(QStringLiteral("b")));
        a = root.filePath(QStringLiteral("a"));
        b = root.filePath(QStringLiteral("b"));
        const QImage picture = Quadrants(16, 12);
        ASSERT_TRUE(WriteJpeg(picture, in(a, "photo.jpg")));
        ASSERT_TRUE(WriteWithQt(picture, in(a, "png named.jpg"), "PNG")); // known by its content
        writeText(in(a, "notes.txt"));
        ASSERT_TRUE(WriteWithQt(picture, in(b, "z.bmp"), "BMP"));
        ASSERT_TRUE(WriteTinyGif(in(b, "M.gif"), 4, 4, Qt::red));
        writeText(in(b, "fake.jpg"));   // listed by its name, refused by its content
        writeText(in(b, "readme.txt")); // not listed: not a file of the file list
        volumes.roots = {drive.path()};
        open();
    }

    static QString in(const QString &folder, const char *name)
    {
        return QDir(folder).filePath(QLatin1String(name));
    }

    static void writeText(const QString &path)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a picture\n");
    }

    struct DropOutcome {
        bool enterAccepted, dropAccepted;
        Qt::DropAction action;
    };

    // A file manager's drag over List1 and drop on it. The source offers a move, which must
    // not be taken: the source would delete the user's files. Qt delivers the drop only where
    // the drag was taken.
    DropOutcome drop(QMimeData &mime, Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction,
                     bool productionStartsMidDrag = false)
    {
        QWidget *target = list1().viewport();
        const QPoint at = target->rect().center();
        // Shift held: the file manager proposes a move.
        QDragEnterEvent enter(at, offered, &mime, Qt::LeftButton, Qt::ShiftModifier);
        enter.setAccepted(false);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent dropped(QPointF(at), offered, &mime, Qt::LeftButton, Qt::ShiftModifier);
        dropped.setAccepted(true);
        if (productionStartsMidDrag)
            window->setProductionRunning(true);
        QCoreApplication::sendEvent(target, &dropped);
        return {enter.isAccepted(), dropped.isAccepted(), dropped.dropAction()};
    }

    static std::unique_ptr<QMimeData> uriList(const QStringList &paths)
    {
        auto mime = std::make_unique<QMimeData>();
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls << QUrl::fromLocalFile(path);
        mime->setUrls(urls); // text/uri-list
        return mime;
    }

    // List1's names, its paths, List2 and SelectAantal, checked at once.
    void expectSelection(const QStringList &names, const QStringList &paths)
    {
        EXPECT_EQ(Texts(list1()), Joined(names));
        EXPECT_EQ(Texts(list2()), Joined(paths));
        QStringList carried;
        for (int i = 0; i < list1().count(); ++i)
            carried << list1().item(i)->data(SelectedPathRole).toString();
        EXPECT_EQ(Joined(carried), Joined(paths));
        EXPECT_EQ(selectAantal(), std::to_string(names.size()));
    }
};

TEST_F(DesktopPicturesTest, DroppedFilesAndAFolderJoinTheSelectionInOrder)
{
    // After what ">" added already.
    chooseDrive(drive.path());
    dir1().setCurrentItem(dir1().findItems(QStringLiteral("b"), Qt::MatchExactly).first());
    QTest::keyClick(&dir1(), Qt::Key_Return);
    ASSERT_EQ(Texts(file1()), "fake.jpg|M.gif|z.bmp");
    markFiles({2});
    press("KnopRechts");

    auto mime = uriList({in(a, "photo.jpg"), in(a, "notes.txt"), in(a, "png named.jpg"), b});
    const DropOutcome outcome = drop(*mime);
    EXPECT_TRUE(outcome.enterAccepted);
    EXPECT_TRUE(outcome.dropAccepted);
    EXPECT_EQ(outcome.action, Qt::CopyAction);
    expectSelection(
        {"z.bmp", "photo.jpg", "png named.jpg", "M.gif", "z.bmp"},
        {in(b, "z.bmp"), in(a, "photo.jpg"), in(a, "png named.jpg"), in(b, "M.gif"), in(b, "z.bmp")});

    // The message waits until the drop has ended, then names every refused file once.
    EXPECT_TRUE(messages.texts.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(Joined(messages.texts), "These files are not pictures Galvora can read: notes.txt, fake.jpg");
    EXPECT_EQ(Joined(messages.titles), "Galvora");

    // Only pictures: no message at all.
    auto pictures = uriList({in(b, "M.gif")});
    drop(*pictures);
    QCoreApplication::processEvents();
    EXPECT_EQ(list1().count(), 6);
    EXPECT_EQ(messages.texts.size(), 1);
}

TEST_F(DesktopPicturesTest, DropsThatAreNotTakenChangeNothing)
{
    auto files = uriList({in(a, "photo.jpg"), b});
    QMimeData text;
    text.setText(in(a, "photo.jpg"));
    const Qt::DropActions copyOrMove = Qt::CopyAction | Qt::MoveAction;
    struct Case {
        const char *what;
        QMimeData *mime;
        bool productionRunning, productionStartsMidDrag;
        Qt::DropActions offered;
        bool dragTaken; // the drop itself is refused all the same
    } cases[] = {
        {"during a production", files.get(), true, false, copyOrMove, false},
        {"a production starts during the drag", files.get(), false, true, copyOrMove, true},
        {"plain text", &text, false, false, Qt::CopyAction, false},
        {"only a move offered", files.get(), false, false, Qt::MoveAction, false},
    };
    for (const Case &c : cases) {
        window->setProductionRunning(c.productionRunning);
        const DropOutcome outcome = drop(*c.mime, c.offered, c.productionStartsMidDrag);
        QCoreApplication::processEvents();
        EXPECT_EQ(outcome.enterAccepted, c.dragTaken) << c.what;
        if (c.dragTaken) {
            EXPECT_FALSE(outcome.dropAccepted) << c.what;
        }
        expectSelection({}, {});
        EXPECT_TRUE(messages.texts.isEmpty()) << c.what;
    }
    // The same drop once the production has ended.
    window->setProductionRunning(false);
    EXPECT_TRUE(drop(*files).dropAccepted);
    expectSelection({"photo.jpg", "M.gif", "z.bmp"}, {in(a, "photo.jpg"), in(b, "M.gif"), in(b, "z.bmp")});
}

TEST_F(DesktopPicturesTest, PicturesNamedOnTheCommandLine)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(b)); // relative paths are taken from here
    window->openPictures({in(a, "notes.txt"), QStringLiteral("missing.jpg"), QStringLiteral("M.gif"),
                          in(a, "png named.jpg"), a, QStringLiteral("./z.bmp")});
    QDir::setCurrent(previous);
    QCoreApplication::processEvents();

    expectSelection({"M.gif", "png named.jpg", "z.bmp"},
                    {in(b, "M.gif"), in(a, "png named.jpg"), in(b, "z.bmp")});
    // The browser shows the folder of the first picture, not of the first path.
    EXPECT_EQ(window->findChild<PictureBrowser *>()->folder(), b);
    EXPECT_EQ(Texts(file1()), "fake.jpg|M.gif|z.bmp");
    EXPECT_EQ(fotoAantal(), "3");
    EXPECT_EQ(Joined(messages.texts),
              "These files are not pictures Galvora can read: notes.txt, missing.jpg, a");
    EXPECT_EQ(Joined(messages.titles), "Galvora");

    // A long list is cut short, so that the message fits on the screen.
    QStringList many;
    for (int i = 1; i <= 12; ++i)
        many << QStringLiteral("/x/%1.txt").arg(i);
    EXPECT_EQ(NotPicturesMessage(many).toStdString(), "These files are not pictures Galvora can read: "
                                                      "1.txt, 2.txt, 3.txt, 4.txt, 5.txt, 6.txt, 7.txt, "
                                                      "8.txt, 9.txt, 10.txt, and 2 more");
}

} // namespace
