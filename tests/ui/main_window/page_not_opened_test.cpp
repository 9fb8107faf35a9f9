// A page that the desktop's opener does not take: the window says so in a message box naming the
// page, once the status line has said "Ready...".

#include "make_fixture.h"
#include "platform/qt_platform.h"

#include <QDeadlineTimer>

namespace
{

// Message boxes that note what the status line said when each was shown.
struct MessagesSeeingTheStatus : RecordingMessages {
    std::function<QString()> statusLine;
    QStringList statusAtShow;
    void show(const QString &text, const QString &title) override
    {
        statusAtShow << statusLine();
        RecordingMessages::show(text, title);
    }
};

class PageNotOpenedTest : public MakeTest, public ::testing::WithParamInterface<const char *>
{
};

TEST_P(PageNotOpenedTest, OneMessageNamesThePageAndTheReasonAfterReady)
{
    // The opener: a program that is not there, or one that ends with a failure at once.
    DesktopDocumentOpener desktop{QString::fromLatin1(GetParam())};
    MessagesSeeingTheStatus seen;
    seen.statusLine = [this] { return statusLine(); };
    openerInUse = &desktop;
    messagesInUse = &seen;
    writePicture(QStringLiteral("pics/beach.jpg"));
    openWindow();
    enterFolder(QStringLiteral("pics"));
    exportFiles({QStringLiteral("beach.jpg")});
    typeNames(QStringLiteral("Trip"), QStringLiteral("holiday"), QStringLiteral("Title"));

    make(ConvertDialogDriver::Choose(PageStyles::Thumbnails));
    // An opener that fails after starting is heard of on the event loop.
    for (QDeadlineTimer deadline(10000); seen.texts.isEmpty() && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    const QString page = inProgram(QStringLiteral("Trip/holiday.html"));
    ASSERT_EQ(seen.texts.size(), 1);
    EXPECT_TRUE(seen.texts.first().startsWith(QStringLiteral("The page ") + page +
                                              QStringLiteral(" could not be opened: ")))
        << seen.texts.first().toStdString();
    EXPECT_GT(seen.texts.first().size(),
              (QStringLiteral("The page ") + page + QStringLiteral(" could not be opened: ")).size());
    EXPECT_EQ(seen.titles.first(), QString()); // the program's name
    EXPECT_EQ(seen.statusAtShow, QStringList{QStringLiteral("Ready...")});
    EXPECT_TRUE(QFileInfo::exists(page));
}

INSTANTIATE_TEST_SUITE_P(Openers, PageNotOpenedTest,
                         ::testing::Values("/nonexistent/galvora-opener", "false"), [](const auto &row) {
                             return std::string(row.index == 0 ? "CannotStart" : "EndsWithAFailure");
                         });

} // namespace
