#pragma once

#include <QByteArray>
#include <QImage>
#include <QStringList>

// Pictures of the kinds phones and browsers make, made by the programs the setup installs
// (heif-enc, avifenc, cwebp) or by libheif's encoder where those programs cannot.
namespace ToolPictures
{

// Whether `program` can be run (it is on the PATH).
bool Installed(const QString &program);

// What `program` writes when run with `arguments`, where "IN" stands for a file holding `input`
// (named with `inputSuffix`) and "OUT" for the file it writes (named with `outputSuffix`).
// Empty when the program is missing or fails.
QByteArray Made(const QString &program, const QByteArray &input, const QString &inputSuffix,
                const QStringList &arguments, const QString &outputSuffix);

QByteArray PngBytes(const QImage &image);

// `image` as a HEIC (heif-enc, quality 90); with `thumbnailSide` > 0 also a thumbnail that fits
// a square of that side.
QByteArray Heic(const QImage &image, int thumbnailSide = 0);

// `image` as an AVIF (avifenc, quality near lossless) with the given extra arguments.
QByteArray Avif(const QImage &image, const QStringList &extra = {});

// `image` as a lossy WebP (cwebp, quality 90).
QByteArray WebP(const QImage &image);

// How LibheifHeic codes a picture.
struct HeicCoding {
    int orientation = 1;        // rotation and mirror boxes that act as this EXIF orientation (1 to 8)
    const char *chroma = "420"; // "420" as phones write, "422", "444", or "400" (monochrome)
    int bitDepth = 8;           // 8, 10 or 12 bits a sample
    int matrix = 6;             // the colour box's matrix coefficients (1: BT.709, 6: BT.601)
    bool fullRange = true;      // false: video range, Y in 16 to 235
    int quality = 90;
    int thumbnailSide = 0;        // > 0: also a thumbnail that fits a square of that side
    int exifOrientation = 0;      // > 0: also an EXIF block naming this orientation
    const char *preset = nullptr; // the HEVC encoder's speed preset ("veryfast"), or its default
};

// `stored` as a HEIC through libheif's encoder, which (unlike heif-enc of this Debian) writes
// orientation boxes, a colour box, the depth and the chroma asked for; with alpha where `stored`
// has an alpha channel. Empty when encoding fails, with the encoder's reason in `why` if given.
QByteArray LibheifHeic(const QImage &stored, const HeicCoding &coding, QString *why = nullptr);

// `stored` as a grid HEIC as phones write one: tiles of `tileSide` pixels a side, each coded on
// its own by libheif's encoder (4:2:0, BT.601 full range, `quality`), the last column and row cut
// by the grid's output size, the whole turned by an irot box of `quarterTurns` anticlockwise
// quarter turns (0: no irot box). Empty when a tile cannot be coded.
QByteArray GridHeic(const QImage &stored, int tileSide, int quarterTurns, int quality = 90);

// `stored` as a PNG with an eXIf chunk (before the pixels) that holds the EXIF `orientation`.
QByteArray PngWithExifOrientation(const QImage &stored, int orientation);

// `stored` as a 4:2:0 HEIC turned upright by boxes as the EXIF `orientation` would.
QByteArray HeicWithOrientation(const QImage &stored, int orientation);

} // namespace ToolPictures
