#include "shared/hex_colour.h"

QString HexColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    auto two = [](std::uint8_t v) {
        return QString::number(v, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    };
    return two(red) + two(green) + two(blue);
}
