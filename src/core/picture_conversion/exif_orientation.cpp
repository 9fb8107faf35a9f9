#include "picture_conversion/exif_orientation.h"

#include <QTransform>

bool OrientationSwapsSides(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

QImage ApplyOrientation(const QImage &image, int orientation)
{
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5: // mirrored along the main diagonal
        return image.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6:
        return image.transformed(QTransform().rotate(90));
    case 7: // mirrored along the other diagonal
        return image.transformed(QTransform().rotate(270)).mirrored(true, false);
    case 8:
        return image.transformed(QTransform().rotate(270));
    default:
        return image;
    }
}
