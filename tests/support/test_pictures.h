#pragma once

#include <QColor>
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

// The average colour of a small square around (x, y).
QColor ColourAround(const QImage &image, int x, int y, int radius = 3);

// True when two colours differ by at most `tolerance` in each channel.
bool Near(QColor a, QColor b, int tolerance = 40);

} // namespace TestPictures
