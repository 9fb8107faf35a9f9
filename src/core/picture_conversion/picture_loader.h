#pragma once

#include "shared/outcome.h"

#include <QImage>
#include <QSize>
#include <QString>

// Limits that keep a damaged or hostile picture from taking gigabytes.
namespace PictureLimits
{
constexpr int MaxSide = 16384; // after JPEG scaling, and for GIF and BMP
// Decoded pixels: 128 MB at 4 bytes a pixel, so that a picture and one converted copy of it
// stay well under 300 MB.
constexpr qint64 MaxPixels = 32LL * 1024 * 1024;
constexpr qint64 MaxSequentialJpegPixels = 1000000000;       // source pixels of a baseline JPEG (streamed)
constexpr qint64 MaxBufferedJpegPixels = 64LL * 1024 * 1024; // progressive JPEGs buffer every coefficient
constexpr qint64 MaxFileBytes = 512LL * 1024 * 1024;
} // namespace PictureLimits

enum class PictureKind { Unknown, Jpeg, Gif, Bmp, Png, WebP, Tiff, Heic, Avif };

// The kind of picture by its first bytes (64 are enough), whatever the file's extension says.
// Heic stands for every HEIF picture that is no AVIF.
PictureKind PictureKindOf(const QByteArray &firstBytes);

// Loads a JPEG, GIF (first frame), BMP, PNG, WebP, TIFF (first page), HEIC/HEIF or AVIF file, whatever its
// name says. A JPEG or WebP is decoded at the smallest of 1/8, 1/4, 1/2 and 1/1 of its size that still covers
// `cover` in both directions (an empty `cover` means full size); a HEIC or AVIF uses its thumbnail or is
// shrunk so (heif_loading.h). Every picture is turned upright (EXIF orientation; HEIF rotation and mirror
// boxes) and converted to sRGB from the colour space its ICC profile or colour box names. Opaque pictures
// come back as Format_RGB32; pictures with transparency as Format_ARGB32_Premultiplied.
// The failure is why it could not be loaded, in the words that follow "could not be read: ".
Outcome<QImage> LoadPicture(const QString &path, QSize cover = QSize());

// The same for a picture already in memory (the bytes of a file).
Outcome<QImage> LoadPictureFromBytes(const QByteArray &bytes, QSize cover = QSize());
