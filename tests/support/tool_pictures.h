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

// `stored` as a HEIC through libheif's encoder, with rotation and mirror boxes that turn it
// upright as an EXIF orientation (1 to 8) would; heif-enc of this Debian writes none.
QByteArray HeicWithOrientation(const QImage &stored, int orientation);

} // namespace ToolPictures
