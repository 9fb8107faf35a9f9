#include "app/number_reading.h"

#include <cmath>
#include <limits>

std::optional<double> ReadNumber(const QString &text, const QLocale &locale)
{
    bool ok = false;
    const double value = locale.toDouble(text, &ok);
    // The locale also reads "inf" and "nan"; neither is a number a box can hold.
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double RoundHalfToEven(double value)
{
    // Explicit rather than nearbyint, so the result never depends on the FPU rounding mode.
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5)
        return below + 1.0;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

namespace
{

template <typename Int> std::optional<Int> ReadWhole(const QString &text, const QLocale &locale)
{
    const std::optional<double> number = ReadNumber(text, locale);
    if (!number)
        return std::nullopt;
    const double rounded = RoundHalfToEven(*number);
    if (rounded < double(std::numeric_limits<Int>::min()) ||
        rounded > double(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return static_cast<Int>(rounded);
}

} // namespace

std::optional<std::uint8_t> ReadByte(const QString &text, const QLocale &locale)
{
    return ReadWhole<std::uint8_t>(text, locale);
}

std::optional<std::int32_t> ReadInt32(const QString &text, const QLocale &locale)
{
    return ReadWhole<std::int32_t>(text, locale);
}
