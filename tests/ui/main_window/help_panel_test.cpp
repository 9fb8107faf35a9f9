#include "app/help_text.h"
#include "window_fixture.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace
{

// The help text as bytes (UTF-8 here; "\xc3\xa9" is the e with acute accent).
const QByteArray ExpectedHelpText =
    "Nederlandse uitleg\r\n"
    "---------------------------\r\n"
    "Met dit programma kunnen maximaal 100 willekeurige foto's en/of plaatjes met een extensie van "
    "Jpg, Gif of Bmp worden geexporteerd "
    "naar 6 verschillende foto-slideshows en als Html pagina's worden geconverteerd. "
    "Door slechts \xc3\xa9\xc3\xa9n druk op de knop wordt automatisch de gekozen pagina gemaakt "
    "zonder ook maar iets van programmeren van Html te weten. "
    "De gemaakte pagina, directory en foto's en/of plaatjes wordt in de applicatie-map geplaatst. "
    "\r\n\r\n"
    "Englisch explanation\r\n"
    "-----------------------------\r\n"
    "With this program you can design full automatically maximal 100 pictures "
    "or photo's with the formats Jpg, Gif and Bmp in any size to an photo-slideshow in Html pages "
    "without knowledge of html-programming. ";

TEST(HelpTextTest, IsTheExactTextByteForByte)
{
    const QString text = BuildHelpText();
    EXPECT_EQ(text.toUtf8(), ExpectedHelpText);
    // Spelled out separately, as a miscount there is easy to miss in the block above.
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[1], QString(27, QLatin1Char('-')));
    EXPECT_EQ(lines[5], QString(29, QLatin1Char('-')));
}

TEST_F(WindowTest, PanelHoldsTheTextWithOneEmptyLineBetweenTheParagraphs)
{
    auto window = start();
    QPlainTextEdit *panel = window->controls().HelpLabel;
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(panel->document()->blockCount(), 7);
    EXPECT_EQ(panel->toPlainText(), BuildHelpText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

TEST_F(WindowTest, HelpButtonShowsThePanelOverTheListsAndHidesItAgain)
{
    auto window = start();
    window->show();
    const MainControls &ui = window->controls();
    ui.List1->addItem(QStringLiteral("a.jpg"));
    ui.List1->setCurrentRow(0);
    const QPoint overFile1 = ui.File1->geometry().center(), overList1 = ui.List1->geometry().center();
    auto belongsToPanel = [&](const QPoint &p) {
        QWidget *top = window->childAt(p);
        return top && (top == ui.HelpLabel || ui.HelpLabel->isAncestorOf(top));
    };
    EXPECT_FALSE(belongsToPanel(overFile1));

    QTest::mouseClick(ui.HelpKnop, Qt::LeftButton);
    EXPECT_TRUE(ui.HelpLabel->isVisible());
    EXPECT_TRUE(belongsToPanel(overFile1));
    EXPECT_TRUE(belongsToPanel(overList1));

    QTest::mouseClick(ui.HelpKnop, Qt::LeftButton);
    EXPECT_FALSE(ui.HelpLabel->isVisible());
    EXPECT_FALSE(belongsToPanel(overFile1));
    EXPECT_FALSE(belongsToPanel(overList1));
    // The selection beneath kept its state.
    EXPECT_EQ(ui.List1->count(), 1);
    EXPECT_EQ(ui.List1->currentRow(), 0);

    QTest::mouseClick(ui.HelpKnop, Qt::LeftButton);
    EXPECT_TRUE(ui.HelpLabel->isVisible());
}

} // namespace
