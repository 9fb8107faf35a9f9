#pragma once

#include "shared/outcome.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace PictureLimits
{
// Source pixels of a HEIC or AVIF picture: libheif decodes it whole. A 48 megapixel HEIC takes
// about 430 MB at the peak while it is decoded (the decoder's picture and its scratch, libheif's
// copy of it, the 8-bit RGB it is converted into, the coded bytes).
constexpr qint64 MaxHeifPixels = 50000000;
// Pixels of HEIC and AVIF pictures decoded at the same moment in the whole process: a decode
// waits until its picture fits, so the peak stays bounded however many workers load pictures.
constexpr qint64 HeifPixelsDecodedAtOnce = MaxHeifPixels;
} // namespace PictureLimits

// The primary picture of a HEIC/HEIF or AVIF file (any depth, sampling and tiling libheif
// decodes), upright by its rotation and mirror boxes, cropped by its clean aperture and in sRGB.
// With a non-empty `cover` it is the file's thumbnail where that covers `cover` in both
// directions, or else the picture shrunk by the largest of 1/2, 1/4 and 1/8 that still covers
// it. Opaque pictures come back as Format_RGB32, others as Format_ARGB32_Premultiplied.
Outcome<QImage> LoadHeif(const QByteArray &bytes, QSize cover);

class QIODevice;

// The same from `device`, open at the file's start, which libheif reads as it needs it and which
// must stay open until this returns: so the file's bytes are not held beside libheif's copy of the
// coded picture.
Outcome<QImage> LoadHeif(QIODevice &device, QSize cover);
