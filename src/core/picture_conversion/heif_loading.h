#pragma once

#include "shared/outcome.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace PictureLimits
{
// Source pixels of a HEIC or AVIF picture: it is decoded whole (about 4.5 bytes a pixel at the
// peak), so a 48 megapixel phone photo stays well under 300 MB.
constexpr qint64 MaxHeifPixels = 50000000;
} // namespace PictureLimits

// The primary picture of a HEIC/HEIF or AVIF file, upright by its rotation and mirror boxes
// and in sRGB. With a non-empty `cover` it is the file's thumbnail where that covers `cover`
// in both directions, or else the picture shrunk by the largest of 1/2, 1/4 and 1/8 that
// still covers it. Opaque pictures come back as Format_RGB32, others as
// Format_ARGB32_Premultiplied.
Outcome<QImage> LoadHeif(const QByteArray &bytes, QSize cover);
