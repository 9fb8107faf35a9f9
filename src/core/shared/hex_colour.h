#pragma once

#include <QString>
#include <cstdint>

// Six upper-case hexadecimal digits, red first, no "#": (224, 240, 224) gives "E0F0E0".
QString HexColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
