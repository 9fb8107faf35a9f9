#include "picture_conversion/colour_management.h"

#include "picture_conversion/jpeg_segments.h"

#include <QMap>
#include <QPointF>
#include <cstring>

QByteArray JpegIccProfile(const unsigned char *data, std::size_t size)
{
    // Each segment: "ICC_PROFILE\0", its number (from 1), the number of segments, a piece.
    constexpr std::size_t Tag = 12, Header = Tag + 2;
    QMap<int, QByteArray> pieces;
    int count = 0;
    WalkJpegSegments(data, size, [&](const JpegSegment &segment) {
        if (segment.marker != 0xE2 || segment.size < Header ||
            std::memcmp(segment.body, "ICC_PROFILE\0", Tag) != 0)
            return true;
        count = segment.body[Tag + 1];
        pieces.insert(segment.body[Tag], QByteArray(reinterpret_cast<const char *>(segment.body + Header),
                                                    qsizetype(segment.size - Header)));
        return true;
    });
    QByteArray profile;
    for (int number = 1; number <= count; ++number) {
        if (!pieces.contains(number))
            return QByteArray();
        profile += pieces.value(number);
    }
    return profile;
}

QColorSpace ColourSpaceOfCodes(int primaries, int transfer)
{
    QColorSpace::TransferFunction function = QColorSpace::TransferFunction::SRgb;
    float gamma = 0.0f;
    switch (transfer) {
    case 4: // BT.470 M
        function = QColorSpace::TransferFunction::Gamma;
        gamma = 2.2f;
        break;
    case 5: // BT.470 B/G
        function = QColorSpace::TransferFunction::Gamma;
        gamma = 2.8f;
        break;
    case 8:
        function = QColorSpace::TransferFunction::Linear;
        break;
    default: // sRGB itself, unspecified, and the video curves (BT.709, BT.601, BT.2020), which display alike
        break;
    }
    const QPointF d65(0.3127, 0.3290);
    switch (primaries) {
    case 5: // BT.470 B/G (PAL)
        return QColorSpace(d65, {0.64, 0.33}, {0.29, 0.60}, {0.15, 0.06}, function, gamma);
    case 6: // BT.601 (NTSC)
    case 7:
        return QColorSpace(d65, {0.630, 0.340}, {0.310, 0.595}, {0.155, 0.070}, function, gamma);
    case 9: // BT.2020
        return QColorSpace(d65, {0.708, 0.292}, {0.170, 0.797}, {0.131, 0.046}, function, gamma);
    case 12: // Display P3
        return QColorSpace(QColorSpace::Primaries::DciP3D65, function, gamma);
    default: // BT.709 (sRGB's primaries), unspecified, and those this program does not know
        return QColorSpace(QColorSpace::Primaries::SRgb, function, gamma);
    }
}

void ConvertToSrgb(QImage &image)
{
    const QColorSpace space = image.colorSpace();
    if (!space.isValid() || space == QColorSpace(QColorSpace::SRgb))
        return;
    image.convertToColorSpace(QColorSpace::SRgb);
}
