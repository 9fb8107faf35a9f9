// The Make command on its own, without widgets: a feedback fake and a fake window, so the values
// the dialog leaves can be set to what the real dialog never leaves.

#include "app/make_command.h"
#include "shared/output_names.h"
#include "support/album_home.h"
#include "support/fake_host.h"
#include "support/test_pictures.h"

#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace
{

// The window's side: its inputs and kept values are the FakeHost's test fields.
class FakeMakeWindow : public MakeWindow
{
  public:
    explicit FakeMakeWindow(FakeHost &host) : host_(host) {}
    QString folder = QStringLiteral("Trip"), fileName = QStringLiteral("index");
    int dialogs = 0;
    bool cancel = false;          // the dialog is closed by Cancel
    std::function<void()> dialog; // what the "dialog" does to the values and the window
    QString folderText() const override { return folder; }
    QString fileNameText() const override { return fileName; }
    qsizetype selectionCount() const override { return host_.paths.size(); }
    void focusFolder() override {}
    void focusFileName() override {}
    void setSelectionBackground(const QColor &) override {}
    std::optional<ConvertSettings> showConvertDialog() override
    {
        ++dialogs;
        if (dialog)
            dialog();
        if (cancel || host_.state.PageStyle == PageStyles::Abandoned) // as the window does
            return std::nullopt;
        return static_cast<const ConvertSettings &>(host_.state);
    }
    ProductionRequest productionRequest(const ConvertSettings &settings) const override
    {
        ProductionRequest request = host_.request(folder, fileName);
        request.settings = settings;
        return request;
    }
    void rememberAbandoned() override { host_.state.PageStyle = PageStyles::Abandoned; }
    void keepResult(const ProductionResult &result) override
    {
        host_.state.PictureDates = result.PictureDates;
    }
    void setProductionRunning(bool running) override { lockChanges << running; }
    QVector<bool> lockChanges;

  private:
    FakeHost &host_;
};

class MakeCommandTest : public ::testing::Test, protected AlbumHome
{
  protected:
    FakeMakeWindow window{host};

    void SetUp() override { ASSERT_TRUE(makeHome()); }
    void selectPicture() { selectJpeg(QStringLiteral("beach.jpg")); }
    QSize pictureSize(const QString &folder) const
    {
        return QImageReader(host.folder + QLatin1Char('/') + folder + QStringLiteral("/images/picture1.jpg"))
            .size();
    }
};

// Both limits count the selection, and a cancelled dialog leaves PageStyle 99 for a later Make.
TEST_F(MakeCommandTest, CountsThePathList)
{
    host.names = QStringList(100, QStringLiteral("a.jpg"));
    host.paths = QStringList(101, QStringLiteral("/a.jpg"));
    RunMakeCommand(host, window);
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0].text, QStringLiteral("Maximal 100 pictures or photo's!"));

    host.messages.clear();
    host.names.clear();
    host.paths = QStringList{QStringLiteral("/a.jpg")};
    window.cancel = true;
    RunMakeCommand(host, window);
    EXPECT_TRUE(host.messages.isEmpty());
    EXPECT_EQ(window.dialogs, 1);
    EXPECT_EQ(host.state.PageStyle, PageStyles::Abandoned) << "the Make command stores the cancel";
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
    RunMakeCommand(host, window);
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

    RunMakeCommand(host, window);

    EXPECT_EQ(host.statuses.first(), QStringLiteral("Wait..."));
    EXPECT_EQ(host.statuses.last(), QStringLiteral("Ready..."));
    EXPECT_EQ(host.pointer, (QStringList{QStringLiteral("busy"), QStringLiteral("arrow")}));
    EXPECT_EQ(window.lockChanges, (QVector<bool>{true, false})) << "locked from the dialog to the end";
    EXPECT_EQ(host.state.PageStyle, row.pageStyle);
    if (!row.pictureSize.isValid()) { // refused, and said so
        ASSERT_EQ(host.messages.size(), 1);
        EXPECT_EQ(host.messages.first().text, UnknownPageStyleText(row.pageStyle));
        EXPECT_TRUE(QDir(host.folder).isEmpty());
        EXPECT_EQ(host.statuses.size(), 2);
        return;
    }
    EXPECT_TRUE(host.messages.isEmpty());
    EXPECT_EQ(pictureSize(QStringLiteral("Trip")), row.pictureSize);
    EXPECT_EQ(host.opened.size(), row.page ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, MakeDispatchTest,
    ::testing::Values(DispatchRow{"SlideShow", PageStyles::SlideShow, QSize(300, 200), true},
                      DispatchRow{"Thumbnails", PageStyles::Thumbnails, QSize(640, 480), true},
                      DispatchRow{"Resize", PageStyles::ResizePictures, QSize(640, 480), false},
                      DispatchRow{"UnknownStyle", 42, QSize(), false}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
