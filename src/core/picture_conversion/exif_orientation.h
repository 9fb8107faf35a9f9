#pragma once

#include <QIODevice>
#include <QImage>
#include <cstddef>

// The EXIF orientation (1 to 8) stored in a JPEG's APP1 segment, or 1 when there is none
// or the segment is damaged. Every read is bounds-checked.
int JpegExifOrientation(const unsigned char *data, std::size_t size);

// The orientation (1 to 8) in an Exif block: a TIFF structure, optionally after "Exif\0\0",
// as PNG and WebP files carry it. 1 when there is none or the block is damaged.
int ExifBlockOrientation(const unsigned char *data, std::size_t size);

// The orientation in a WebP file's EXIF chunk, or 1.
int WebPExifOrientation(const unsigned char *data, std::size_t size);

// The orientation in the eXIf chunk of the PNG file `device` holds from its current position,
// or 1. Only the chunks before the pixels are looked at; the position is left where it was.
int PngExifOrientation(QIODevice &device);

// True for the orientations that swap width and height (5 to 8).
bool OrientationSwapsSides(int orientation);

// The image turned so that it shows the right way up for the given orientation.
QImage ApplyOrientation(const QImage &image, int orientation);
