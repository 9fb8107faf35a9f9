#pragma once

#include "shared/outcome.h"

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QString>
#include <cstdint>

// Small steps of the conversion, kept apart so they can be checked on their own.

// A file time as the user's locale writes it: short date, a blank, long time without a zone;
// the time is left out when it is exactly midnight (to the second).
QString PictureDateText(const QDateTime &modified);

// Whether a canvas of width x height pixels may be made: both sides positive, their
// twips (15 to the pixel) within signed 32 bits, and small enough to hold in memory.
namespace CanvasLimits
{
constexpr std::int32_t MaxSide = 32767;
constexpr std::int64_t MaxPixels = 50000000;
} // namespace CanvasLimits
bool CanvasSizeAllowed(std::int32_t width, std::int32_t height);

// `picture` with its transparent parts on `background`, since a JPEG has none; null where memory
// runs out. A picture without transparency comes back as it is.
QImage Opaque(const QImage &picture, const QColor &background);

// How a picture is put on its canvas.
struct CanvasFill {
    QColor background = Qt::white; // where the picture is transparent (the window passes its own colour)
    bool keepProportions = false;  // fit inside the canvas, centred, instead of stretching over it
    QColor pageColour;             // around a picture that keeps its proportions
};

// The canvas holding `picture` stretched over all of it (or fitted inside it, as `fill` says).
// Fails only when memory runs out.
Outcome<QImage> StretchOntoCanvas(const QImage &picture, const QImage &canvas, const CanvasFill &fill);
