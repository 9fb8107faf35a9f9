#include "shared/hex_colour.h"

#include <gtest/gtest.h>
#include <string>

struct HexRow {
    int r, g, b;
    const char *hex;
};

class HexColourTest : public ::testing::TestWithParam<HexRow>
{
};

TEST_P(HexColourTest, GivesSixUpperCaseDigitsRedFirst)
{
    const HexRow row = GetParam();
    EXPECT_EQ(HexColour(row.r, row.g, row.b).toStdString(), row.hex);
}

INSTANTIATE_TEST_SUITE_P(Colours, HexColourTest,
                         ::testing::Values(HexRow{224, 240, 224, "E0F0E0"}, HexRow{0, 0, 0, "000000"},
                                           HexRow{255, 255, 255, "FFFFFF"}, HexRow{10, 5, 171, "0A05AB"},
                                           HexRow{1, 16, 15, "01100F"}),
                         [](const auto &row) { return std::string(row.param.hex); });
