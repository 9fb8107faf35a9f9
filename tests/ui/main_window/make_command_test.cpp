// The Make command on its own: a fake host and a fake window, so the values the dialog
// leaves can be set to what the real dialog never leaves.

#include "app/make_command.h"
#include "support/fake_host.h"
#include "support/test_pictures.h"

#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace
{

class FakeMakeWindow : public MakeWindow
{
  public:
    QString folder = QStringLiteral("Trip"), fileName = QStringLiteral("index");
    int dialogs = 0;
    std::function<void()> dialog; // what the "dialog" does to the values and the window
    QString folderText() const override { return folder; }
    QString fileNameText() const override { return fileName; }
    void focusFolder() override {}
    void focusFileName() override {}
    void setSelectionBackground(const QColor &) override {}
    void showConvertDialog() override
    {
        ++dialogs;
        if (dialog)
            dialog();
    }
    void setProductionRunning(bool running) override { lockChanges << running; }
    QVector<bool> lockChanges;
};

class MakeCommandTest : public ::testing::Test
{
  protected:
    QTemporaryDir dir;
    FakeHost host;
    FakeMakeWindow window;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        host.folder = dir.filePath(QStringLiteral("program"));
        ASSERT_TRUE(QDir().mkpath(host.folder));
    }
    void selectPicture()
    {
        const QString path = dir.filePath(QStringLiteral("beach.jpg"));
        ASSERT_TRUE(TestPictures::WriteJpeg(TestPictures::Quadrants(64, 48), path));
        host.select(path);
    }
    QSize pictureSize(const QString &folder) const
    {
        return QImageReader(host.folder + QLatin1Char('/') + folder + QStringLiteral("/images/picture1.jpg"))
            .size();
    }
};

// Both limits count the full paths (List2), not the names.
TEST_F(MakeCommandTest, CountsThePathList)
{
    host.names = QStringList(100, QStringLiteral("a.jpg"));
    host.paths = QStringList(101, QStringLiteral("/a.jpg"));
    MakeKnop_Click(host, window);
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0].text, QStringLiteral("Maximal 100 pictures or photo's!"));

    host.messages.clear();
    host.names.clear();
    host.paths = QStringList{QStringLiteral("/a.jpg")};
    window.dialog = [this] { host.state.PageStyle = PageStyles::Abandoned; };
    MakeKnop_Click(host, window);
    EXPECT_TRUE(host.messages.isEmpty());
    EXPECT_EQ(window.dialogs, 1);
}

// The names typed while the dialog was open are the ones the production gets.
TEST_F(MakeCommandTest, ReadsTheNamesAgainAfterTheDialog)
{
    selectPicture();
    window.dialog = [this] {
        host.state.PageStyle = PageStyles::ResizePictures;
        host.state.PictureWidth = 30;
        host.state.PictureHeight = 20;
        window.folder = QStringLiteral("Later");
    };
    MakeKnop_Click(host, window);
    EXPECT_TRUE(host.messages.isEmpty());
    EXPECT_EQ(pictureSize(QStringLiteral("Later")), QSize(30, 20));
    EXPECT_FALSE(QDir(host.folder + QStringLiteral("/Trip")).exists());
}

struct DispatchRow {
    const char *name;
    std::uint8_t pageStyle;
    QSize pictureSize; // invalid: nothing is produced
    bool page;
};
void PrintTo(const DispatchRow &row, std::ostream *os)
{
    *os << row.name;
}

class MakeDispatchTest : public MakeCommandTest, public ::testing::WithParamInterface<DispatchRow>
{
};

// The dialog leaves 640 x 480 from an earlier style; only the Slide Show ignores it.
TEST_P(MakeDispatchTest, PassesTheSizeTheStyleTakes)
{
    const DispatchRow &row = GetParam();
    selectPicture();
    window.dialog = [&] {
        host.state.PageStyle = row.pageStyle;
        host.state.PictureWidth = 640;
        host.state.PictureHeight = 480;
        host.state.PauseSeconds = 3;
        host.state.BlockSize = 15;
    };

    MakeKnop_Click(host, window);

    EXPECT_TRUE(host.messages.isEmpty());
    EXPECT_EQ(host.statuses.first(), QStringLiteral("Wait..."));
    EXPECT_EQ(host.statuses.last(), QStringLiteral("Ready..."));
    EXPECT_EQ(host.pointer, (QStringList{QStringLiteral("busy"), QStringLiteral("arrow")}));
    EXPECT_EQ(window.lockChanges, (QVector<bool>{true, false})) << "locked from the dialog to the end";
    EXPECT_EQ(host.state.PageStyle, row.pageStyle);
    if (!row.pictureSize.isValid()) {
        EXPECT_TRUE(QDir(host.folder).isEmpty());
        EXPECT_EQ(host.statuses.size(), 2);
        return;
    }
    EXPECT_EQ(pictureSize(QStringLiteral("Trip")), row.pictureSize);
    EXPECT_EQ(host.opened.size(), row.page ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, MakeDispatchTest,
    ::testing::Values(DispatchRow{"SlideShow", PageStyles::SlideShow, QSize(300, 200), true},
                      DispatchRow{"Thumbnails", PageStyles::Thumbnails, QSize(640, 480), true},
                      DispatchRow{"Resize", PageStyles::ResizePictures, QSize(640, 480), false},
                      DispatchRow{"UnknownStyle", 8, QSize(), false}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
