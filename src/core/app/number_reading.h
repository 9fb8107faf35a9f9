#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>
#include <optional>

// Reading the dialog's boxes as numbers.
//
// A text is read in one locale only, by default the application's locale (the user's
// system locale unless the program sets another). There is deliberately no second try in
// the C locale: "1.000" means 1000 to a German reader, and if "1.5" fell back to 1.5 while
// "1.500" read as 1500, one spelling would mean two things. The numbers the program writes
// into the boxes are plain ASCII digits, which every locale reads.

// The text as a finite decimal number: surrounding blanks, a sign, a fraction, group
// separators and an exponent are accepted; empty, non-numeric, infinite or NaN text fails.
std::optional<double> ReadNumber(const QString &text, const QLocale &locale = QLocale());

// Nearest whole number, a half to the even neighbour: 2.5 gives 2, 3.5 gives 4, -0.5 gives 0.
double RoundHalfToEven(double value);

// The number rounded half to even; fails outside 0..255.
std::optional<std::uint8_t> ReadByte(const QString &text, const QLocale &locale = QLocale());

// The number rounded half to even; fails outside the signed 32-bit range.
std::optional<std::int32_t> ReadInt32(const QString &text, const QLocale &locale = QLocale());
