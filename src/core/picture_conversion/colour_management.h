#pragma once

#include <QByteArray>
#include <QColorSpace>
#include <QImage>
#include <cstddef>

// Pictures are drawn and encoded as sRGB. A picture that names another colour space (an
// embedded ICC profile, a HEIF colour box) is converted to sRGB when it is loaded; one that
// names none is taken as sRGB already.

// The ICC profile carried in a JPEG's APP2 "ICC_PROFILE" segments, joined in their stated
// order, or empty when there is none or a piece is missing.
QByteArray JpegIccProfile(const unsigned char *data, std::size_t size);

// The colour space of a HEIF colour box in coded numbers (ITU-T H.273: colour primaries and
// transfer characteristics). Values this program does not know count as sRGB's.
QColorSpace ColourSpaceOfCodes(int primaries, int transfer);

// `image` (Format_RGB32 or Format_ARGB32_Premultiplied) converted to sRGB from the colour space
// it carries; left as it is when it carries none, sRGB, or one that cannot be converted from.
void ConvertToSrgb(QImage &image);
