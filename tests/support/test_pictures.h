#pragma once

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QString>

// Test pictures made on the fly in a temporary folder.
namespace TestPictures
{

// A picture split in four coloured quadrants: red top left, green top right,
// blue bottom left, yellow bottom right.
QImage Quadrants(int width, int height);

// Writes `image` as a baseline JPEG through TurboJPEG (quality 95). Returns false on failure.
bool WriteJpeg(const QImage &image, const QString &path, int quality = 95);

// Writes `image` in the format the file's extension names (bmp, gif through Qt where it can).
bool WriteWithQt(const QImage &image, const QString &path, const char *format);

// A minimal GIF (one frame, 2-colour palette), written by hand since Qt cannot write GIFs.
bool WriteTinyGif(const QString &path, int width, int height, QColor colour);

// Writes `image` in the kind the file's extension names, making its folder first: a JPEG for
// .jpg, a red one-frame GIF of the image's size for .gif, a BMP otherwise. A valid `modified`
// becomes the file's time, so pictures can be told apart by their dates.
bool WritePictureFile(const QString &path, const QImage &image, const QDateTime &modified = QDateTime());

// The average colour of a small square around (x, y).
QColor ColourAround(const QImage &image, int x, int y, int radius = 3);

// True when two colours differ by at most `tolerance` in each channel.
bool Near(QColor a, QColor b, int tolerance = 40);

// A uniform mid-grey JPEG of any size, composed without holding its pixels (a 20000 x 20000
// picture is a few MB): for the preview and memory tests and the benchmarks.
QByteArray ComposeGreyJpeg(int width, int height);

// The encoder's own 16 x 16 mid-grey JPEG, whose headers ComposeGreyJpeg reuses.
QByteArray EncodeGrey16();

} // namespace TestPictures
