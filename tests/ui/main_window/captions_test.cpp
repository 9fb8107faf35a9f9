#include "colour_dialog/colorform.h"
#include "convert_dialog/convert_dialog.h"
#include "forms/form.h"
#include "picture_browser_fixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace
{

// The room a caption has: the contents of a label, or a button's box less its frame or indicator.
QRect Room(const QWidget &control)
{
    QStyleOptionButton option;
    option.initFrom(&control);
    QStyle &style = *control.style();
    if (auto *label = qobject_cast<const QLabel *>(&control))
        return label->contentsRect().marginsRemoved(
            QMargins(label->margin(), label->margin(), label->margin(), label->margin()));
    if (qobject_cast<const QRadioButton *>(&control))
        return control.rect().adjusted(
            style.pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, &option, &control) +
                style.pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, &control),
            0, 0, 0);
    if (qobject_cast<const QCheckBox *>(&control))
        return control.rect().adjusted(
            style.pixelMetric(QStyle::PM_IndicatorWidth, &option, &control) +
                style.pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, &control),
            0, 0, 0);
    const int frame = style.pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &control);
    return control.rect().adjusted(frame, 0, -frame, 0);
}

// Every label, button, option and check box of `window` shows its whole caption.
void ExpectCaptionsFit(const QWidget &window, const std::string &when)
{
    int captions = 0;
    for (const QWidget *control : window.findChildren<QWidget *>()) {
        QString caption;
        bool wrapped = false;
        if (auto *label = qobject_cast<const QLabel *>(control)) {
            caption = label->text();
            wrapped = label->wordWrap();
        } else if (auto *button = qobject_cast<const QAbstractButton *>(control)) {
            caption = button->text();
        }
        if (caption.isEmpty())
            continue;
        ++captions;
        const QRect room = Room(*control);
        const QFontMetricsF metrics(control->font());
        const std::string where = when + " " + control->objectName().toStdString() + " \"" +
                                  caption.toStdString() + "\" in " + control->font().family().toStdString();
        if (control->inherits("SpreadCaption")) {
            // It draws its last word at a set place; its size hint ends where that word ends.
            EXPECT_LE(control->sizeHint().width(), control->width()) << where;
        } else if (wrapped) {
            const QRectF needed = metrics.boundingRect(QRectF(room), Qt::TextWordWrap, caption);
            EXPECT_LE(needed.height(), room.height()) << where;
        } else {
            EXPECT_LE(metrics.horizontalAdvance(caption), room.width()) << where;
        }
    }
    EXPECT_GT(captions, 0) << when;
}

// The fonts the setup installs, and a machine where DejaVu Sans is the only face: every font
// the windows ask for is then DejaVu Sans.
class CaptionsTest : public WindowTest, public ::testing::WithParamInterface<const char *>
{
  protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        UseOnlyFontFamily(QString::fromLatin1(GetParam()));
    }
    void TearDown() override { UseOnlyFontFamily(QString()); }
};

TEST_P(CaptionsTest, EveryCaptionOfTheThreeWindowsFitsItsBox)
{
    if (*GetParam()) {
        ASSERT_TRUE(QFontDatabase::hasFamily(QString::fromLatin1(GetParam())));
    } else {
        ASSERT_TRUE(QFontDatabase::hasFamily(QStringLiteral("Liberation Sans"))) << "run scripts/setup.sh";
    }
    auto window = start();
    ExpectCaptionsFit(*window, "Main");

    Colorform colour(QColor(255, 255, 255));
    ExpectCaptionsFit(colour, "Colorform");

    ConvertDialog convert(ConvertSettings{}, {});
    ExpectCaptionsFit(convert, "Convert");
    for (int option = 1; option <= 7; ++option) {
        convert.findChild<QRadioButton *>(QStringLiteral("Knop%1").arg(option))->click();
        ExpectCaptionsFit(convert, "Convert option " + std::to_string(option));
    }
}

INSTANTIATE_TEST_SUITE_P(Fonts, CaptionsTest, ::testing::Values("", "DejaVu Sans"), [](const auto &row) {
    return std::string(*row.param ? "DejaVuOnly" : "Installed");
});

// The counts beside File1 and List1 show every digit, clear of both lists.
class CountsTest : public BrowserTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(CountsTest, ShowAllTheirDigits)
{
    const int count = GetParam();
    for (int i = 1; i <= count; ++i)
        touch(drive.filePath(QStringLiteral("p%1.jpg").arg(i, 4, 10, QLatin1Char('0'))));
    volumes.roots = {drive.path()};
    open();
    chooseDrive(drive.path());
    file1().selectAll();
    press("KnopRechts");
    const QWidget &frame = *window->controls().Frame1;
    for (QLabel *label : {window->controls().FotoAantal, window->controls().SelectAantal}) {
        const std::string name = label->objectName().toStdString();
        EXPECT_EQ(label->text(), QString::number(count)) << name;
        EXPECT_GE(label->contentsRect().width(),
                  QFontMetricsF(label->font()).horizontalAdvance(label->text()))
            << name;
        const QRect shown = label->geometry().translated(frame.pos());
        for (const QListWidget *list : {&file1(), &list1()})
            EXPECT_FALSE(shown.intersects(list->geometry()))
                << name << " under " << list->objectName().toStdString();
        EXPECT_TRUE(window->rect().contains(shown)) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Entries, CountsTest, ::testing::Values(100, 101, 3000));

} // namespace
