#pragma once

#include <QByteArray>
#include <QImage>

// Picture files that are unusual or damaged on purpose, made in memory.
namespace BadInputFiles
{

enum class JpegKind { Baseline, Progressive, Greyscale, Cmyk };

// `image` as a JPEG of the given kind through TurboJPEG (quality 90).
QByteArray Jpeg(const QImage &image, JpegKind kind);

// The JPEG with an Exif segment whose TIFF structure points outside the segment.
QByteArray WithBrokenExif(const QByteArray &jpeg);

// The JPEG with an APP1 segment holding `body` (its signature and contents) right after SOI.
QByteArray WithApp1(const QByteArray &jpeg, const QByteArray &body);

// Exif segment bodies whose first directory holds `orientation` but which are damaged elsewhere:
// the directories point back at the first one in a loop, or a description claims 2 GB.
QByteArray ExifWithDirectoryLoop(int orientation);
QByteArray ExifWithHugeCount(int orientation);

// An XMP segment body whose packet is cut off in its middle.
QByteArray TruncatedXmp();

// The JPEG with `count` bytes of its entropy-coded data (after the scan header) overwritten
// by a fixed pseudo-random pattern that contains no marker.
QByteArray WithGarbageInScan(const QByteArray &jpeg);

// Where the entropy-coded data of the first scan starts, or -1.
qsizetype ScanDataStart(const QByteArray &jpeg);

// GIF variants built on a one-frame GIF of width x height pixels.
QByteArray GifWithoutFrames(int width, int height);
QByteArray AnimatedGif(int width, int height, int frames);
QByteArray GifWithScreen(int screenWidth, int screenHeight, int frameWidth, int frameHeight);

// A 24-bit BMP whose header is patched after writing: width, height, pixel data offset,
// bits per pixel and palette size as given (a negative value keeps what was written).
struct BmpPatch {
    qint64 width = -1;
    qint64 height = -1; // may be set negative by `topDownHeight`
    bool topDownHeight = false;
    qint64 offset = -1;
    qint64 colours = -1;
};
QByteArray PatchedBmp(const QByteArray &bmp, const BmpPatch &patch);

// An 8-bit BMP of `image` whose pixels use palette indices past the palette's end.
QByteArray BmpWithIndicesPastPalette(int width, int height, int paletteSize);

} // namespace BadInputFiles
