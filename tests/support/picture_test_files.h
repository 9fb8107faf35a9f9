#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Picture files that the shared test helpers do not write: hand-made BMP variants,
// JPEGs with an Exif orientation, GIFs with transparency.
namespace PictureFiles
{

bool WriteBytes(const QString &path, const QByteArray &bytes);
QByteArray ReadBytes(const QString &path);

// The JPEG bytes of `image` (quality 95, 4:2:0) through TurboJPEG.
QByteArray JpegBytes(const QImage &image);

// The JPEG with an APP1 Exif segment holding only an orientation tag, inserted after SOI.
QByteArray WithExifOrientation(const QByteArray &jpeg, int orientation, bool bigEndian = false);

enum class BmpLayout { Indexed4, Indexed8, Rle8, Rgb555, Rgb24, Rgb24TopDown, Rgb32 };

// A BMP of `image` written byte by byte in the given layout. Indexed layouts take a
// palette of the image's distinct colours (at most 16 for Indexed4).
QByteArray BmpBytes(const QImage &image, BmpLayout layout);

// A one-frame GIF, every pixel of colour index 0; with `transparent` that index is transparent.
QByteArray SingleColourGif(int width, int height, QColor colour, bool transparent);

// The image transposed (mirrored along its main diagonal).
QImage Transposed(const QImage &image);

} // namespace PictureFiles
