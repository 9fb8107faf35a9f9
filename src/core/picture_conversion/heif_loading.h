#pragma once

#include "shared/outcome.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace PictureLimits
{
// Source pixels of a HEIC or AVIF picture: it is decoded whole. A 48 megapixel HEIC coded as one
// 4:2:0 image, read from its file and shrunk while decoding, takes about 220 MB at the peak
// (4:4:4: about 290 MB), mostly libde265's picture, its scratch and two copies of the coded bytes.
constexpr qint64 MaxHeifPixels = 50000000;
} // namespace PictureLimits

// The primary picture of a HEIC/HEIF or AVIF file, upright by its rotation and mirror boxes
// and in sRGB. With a non-empty `cover` it is the file's thumbnail where that covers `cover`
// in both directions, or else the picture shrunk by the largest of 1/2, 1/4 and 1/8 that
// still covers it. Opaque pictures come back as Format_RGB32, others as
// Format_ARGB32_Premultiplied.
Outcome<QImage> LoadHeif(const QByteArray &bytes, QSize cover);

class QIODevice;

// The same from `device`, open at the file's start, which libheif reads as it needs it and which
// must stay open until this returns: so the file's bytes are not held beside libheif's copy of the
// coded picture (for a 48 megapixel HEIC about 30 MB of the peak).
Outcome<QImage> LoadHeif(QIODevice &device, QSize cover);

struct heif_image;
struct heif_image_handle;

// A decoded libheif picture (8-bit YCbCr 4:2:0, 4:2:2 or 4:4:4, monochrome, or planar RGB; with
// or without an alpha plane) shrunk by `reduction` (1, 2, 4 or 8: each pixel the average of a
// box), its YCbCr turned into RGB by the matrix and range of its colour box, else of `handle`'s
// (may be null), else BT.601 full range. Format_RGB32, or Format_ARGB32_Premultiplied with
// alpha; null for other forms or when memory runs out.
QImage ShrunkHeifImage(const heif_image *image, const heif_image_handle *handle, int reduction);
