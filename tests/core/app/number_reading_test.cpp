#include "app/number_reading.h"

#include <gtest/gtest.h>
#include <string>

namespace
{

enum class As { Byte, Int32 };

struct NumberRow {
    const char *name;
    const char *locale;
    const char *text;
    As as;
    std::optional<long long> expected; // nullopt: the reading fails
};

class NumberReadingTest : public ::testing::TestWithParam<NumberRow>
{
};

TEST_P(NumberReadingTest, RoundsHalfToEvenAndKeepsTheRange)
{
    const NumberRow row = GetParam();
    const QLocale locale(QString::fromLatin1(row.locale));
    const QString text = QString::fromUtf8(row.text);
    std::optional<long long> got;
    if (row.as == As::Byte) {
        if (const auto value = ReadByte(text, locale))
            got = *value;
    } else if (const auto value = ReadInt32(text, locale)) {
        got = *value;
    }
    EXPECT_EQ(got, row.expected) << "text [" << row.text << "] in " << row.locale;
}

constexpr auto Fails = std::nullopt;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Texts, NumberReadingTest, ::testing::Values(
    NumberRow{"HalfDownToEven", "C", "2.5", As::Byte, 2},
    NumberRow{"HalfUpToEven", "C", "3.5", As::Byte, 4},
    NumberRow{"NegativeHalfIsZero", "C", "-0.5", As::Byte, 0},
    NumberRow{"JustBelowMinusHalf", "C", "-0.6", As::Byte, Fails},
    NumberRow{"ByteTop", "C", "255.4", As::Byte, 255},
    NumberRow{"ByteTopHalfRoundsOut", "C", "255.5", As::Byte, Fails},
    NumberRow{"ByteEvenHalfStays", "C", "254.5", As::Byte, 254},
    NumberRow{"Fraction", "C", "8.6", As::Byte, 9},
    NumberRow{"Exponent", "C", "1e2", As::Byte, 100},
    NumberRow{"SurroundingBlanks", "C", " 7 ", As::Byte, 7},
    NumberRow{"PlusSign", "C", "+3", As::Byte, 3},
    NumberRow{"Empty", "C", "", As::Byte, Fails},
    NumberRow{"OnlyBlanks", "C", "  ", As::Byte, Fails},
    NumberRow{"Word", "C", "abc", As::Byte, Fails},
    NumberRow{"NotANumber", "C", "nan", As::Byte, Fails},
    NumberRow{"Infinity", "C", "inf", As::Int32, Fails},
    NumberRow{"Overflowing", "C", "1e400", As::Int32, Fails},
    NumberRow{"Int32Top", "C", "2147483647.4", As::Int32, 2147483647},
    NumberRow{"Int32TopRoundsOut", "C", "2147483647.6", As::Int32, Fails},
    NumberRow{"Int32BottomHalfIsEven", "C", "-2147483648.5", As::Int32, -2147483648LL},
    NumberRow{"Int32BelowBottom", "C", "-2147483648.6", As::Int32, Fails},
    NumberRow{"NegativeHalfToEven", "C", "-2.5", As::Int32, -2},
    NumberRow{"NegativeOddHalf", "C", "-7.5", As::Int32, -8},
    NumberRow{"GermanComma", "de_DE", "8,6", As::Byte, 9},
    NumberRow{"GermanGrouping", "de_DE", "1.000", As::Int32, 1000},
    NumberRow{"GermanRejectsPointFraction", "de_DE", "8.6", As::Byte, Fails},
    NumberRow{"FrenchHalf", "fr_FR", "2,5", As::Int32, 2},
    NumberRow{"ArabicDigits", "ar_EG", "\u0663\u0665", As::Byte, 35},
    NumberRow{"AsciiDigitsInArabicLocale", "ar_EG", "160", As::Int32, 160}),
    [](const auto &row) { return std::string(row.param.name); });
// clang-format on

} // namespace
