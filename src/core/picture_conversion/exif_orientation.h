#pragma once

#include <QImage>

// Turning a picture by its EXIF orientation (1 to 8), which picture_metadata.h reads.

// True for the orientations that swap width and height (5 to 8).
bool OrientationSwapsSides(int orientation);

// The image turned so that it shows the right way up for the given orientation.
QImage ApplyOrientation(const QImage &image, int orientation);
