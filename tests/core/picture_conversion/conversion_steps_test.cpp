#include "picture_conversion/conversion_steps.h"
#include "shared/output_names.h"
#include "support/picture_test_files.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace
{

struct DateRow {
    const char *name;
    QLocale::Language language;
    QLocale::Territory territory;
    QTime time;
    const char *expected; // the whole text: no time zone follows the time
};

class PictureDateTextTest : public ::testing::TestWithParam<DateRow>
{
  protected:
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

TEST_P(PictureDateTextTest, ShortDateAndLongTimeOfTheLocale)
{
    const DateRow row = GetParam();
    QLocale::setDefault(QLocale(row.language, row.territory));
    // Newer locale data put a narrow no-break space before AM/PM.
    const QString text = PictureDateText(QDateTime(QDate(2024, 3, 7), row.time)).replace(QChar(0x202f), ' ');
    EXPECT_EQ(text.toStdString(), row.expected);
    // Across a change of the zone's offset the text stays the same.
    QString utc = PictureDateText(QDateTime(QDate(2024, 3, 7), row.time, QTimeZone::utc()));
    EXPECT_EQ(utc.replace(QChar(0x202f), ' ').toStdString(), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, PictureDateTextTest,
    ::testing::Values(
        DateRow{"DutchAfternoon", QLocale::Dutch, QLocale::Netherlands, QTime(15, 4, 5),
                "07-03-2024 15:04:05"},
        DateRow{"DutchMidnight", QLocale::Dutch, QLocale::Netherlands, QTime(0, 0), "07-03-2024"},
        DateRow{"DutchOneSecondPastMidnight", QLocale::Dutch, QLocale::Netherlands, QTime(0, 0, 1),
                "07-03-2024 00:00:01"},
        DateRow{"AmericanAfternoon", QLocale::English, QLocale::UnitedStates, QTime(15, 4, 5),
                "3/7/24 3:04:05 PM"},
        DateRow{"AmericanMidnight", QLocale::English, QLocale::UnitedStates, QTime(0, 0), "3/7/24"},
        DateRow{"GermanMorning", QLocale::German, QLocale::Germany, QTime(9, 30, 0), "07.03.24 09:30:00"},
        DateRow{"CAfternoon", QLocale::C, QLocale::AnyTerritory, QTime(15, 4, 5), "7 Mar 2024 15:04:05"},
        DateRow{"CMidnight", QLocale::C, QLocale::AnyTerritory, QTime(0, 0), "7 Mar 2024"}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(PictureDateText, MidnightIsJudgedToTheSecond)
{
    QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
    // File systems keep fractions of a second; they do not make a midnight time show.
    EXPECT_EQ(PictureDateText(QDateTime(QDate(2024, 3, 7), QTime(0, 0, 0, 400))), "07-03-2024");
    EXPECT_TRUE(PictureDateText(QDateTime()).isEmpty());
    QLocale::setDefault(QLocale::system());
}

struct CanvasRow {
    const char *name;
    std::int32_t width, height;
    bool allowed;
};

class CanvasSizeTest : public ::testing::TestWithParam<CanvasRow>
{
};

TEST_P(CanvasSizeTest, Allowed)
{
    EXPECT_EQ(CanvasSizeAllowed(GetParam().width, GetParam().height), GetParam().allowed);
}

INSTANTIATE_TEST_SUITE_P(Sizes, CanvasSizeTest,
                         ::testing::Values(CanvasRow{"OnePixel", 1, 1, true},
                                           CanvasRow{"SlideShow", 300, 200, true},
                                           CanvasRow{"TwelveMegapixels", 4000, 3000, true},
                                           CanvasRow{"WidestStrip", CanvasLimits::MaxSide, 100, true},
                                           CanvasRow{"TooWide", CanvasLimits::MaxSide + 1, 1, false},
                                           CanvasRow{"TooManyPixels", 10000, 5001, false},
                                           CanvasRow{"ZeroWidth", 0, 10, false},
                                           CanvasRow{"NegativeHeight", 10, -1, false},
                                           CanvasRow{"LargestTwips", 143165576, 1, false},
                                           CanvasRow{"TwipsOverflow", 143165577, 1, false},
                                           CanvasRow{"MostNegative", INT32_MIN, 5, false}),
                         [](const auto &row) { return std::string(row.param.name); });

TEST(LookUpFileName, YieldsTheNameAsListedOrNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(PictureFiles::WriteBytes(dir.filePath("Index.html"), "x"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("folder.html"));
    EXPECT_EQ(LookUpFileName(dir.filePath("Index.html")), "Index.html");
    EXPECT_EQ(LookUpFileName(dir.filePath("index.html")), QString())
        << "another spelling is another file here";
    EXPECT_EQ(LookUpFileName(dir.filePath("folder.html")), QString()) << "a folder is no file";
    EXPECT_EQ(LookUpFileName(dir.filePath("*.html")), QString()) << "no wildcards";
    EXPECT_EQ(LookUpFileName(dir.filePath("missing/Index.html")), QString());
}

} // namespace
