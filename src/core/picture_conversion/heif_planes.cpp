#include "picture_conversion/heif_planes.h"

#include <vector>

namespace
{

// The picture shrunk by `reduction`: each output pixel from the average of a reduction x
// reduction box, taken on the planes and converted to RGB once per output pixel, so this
// makes no full-size RGB copy. Colours are weighted by alpha, so transparent pixels add none.
template <bool HasAlpha> QImage ShrunkToRgb(const Planes &planes, const ColourMatrix &matrix, int reduction)
{
    const int width = planes.width, height = planes.height;
    const int outWidth = (width + reduction - 1) / reduction,
              outHeight = (height + reduction - 1) / reduction;
    QImage image(outWidth, outHeight, HasAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull())
        return image;
    struct Sum {
        quint32 c[3], weight, count;
    };
    std::vector<Sum> sums(static_cast<std::size_t>(outWidth));
    for (int outY = 0; outY < outHeight; ++outY) {
        std::fill(sums.begin(), sums.end(), Sum{});
        for (int y = outY * reduction; y < qMin(height, (outY + 1) * reduction); ++y) {
            const uint8_t *c0 = planes.colour[0].line(y), *c1 = planes.colour[1].line(y),
                          *c2 = planes.colour[2].line(y);
            const int s1 = planes.colour[1].shiftX, s2 = planes.colour[2].shiftX;
            const uint8_t *a = HasAlpha ? planes.alpha.line(y) : nullptr;
            for (int outX = 0; outX < outWidth; ++outX) {
                Sum &sum = sums[std::size_t(outX)];
                for (int x = outX * reduction, end = qMin(width, x + reduction); x < end; ++x) {
                    const quint32 weight = HasAlpha ? a[x] : 1;
                    sum.c[0] += c0[x] * weight;
                    sum.c[1] += c1[x >> s1] * weight;
                    sum.c[2] += c2[x >> s2] * weight;
                    sum.weight += weight;
                    ++sum.count;
                }
            }
        }
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(outY));
        for (int x = 0; x < outWidth; ++x) {
            const Sum &sum = sums[std::size_t(x)];
            if (sum.weight == 0) {
                out[x] = 0;
                continue;
            }
            const double w = sum.weight;
            const QRgb rgb = matrix.rgb(sum.c[0] / w, sum.c[1] / w, sum.c[2] / w);
            if (!HasAlpha) {
                out[x] = rgb;
                continue;
            }
            const quint32 alpha = (sum.weight + sum.count / 2) / sum.count;
            out[x] = qRgba(int((quint32(qRed(rgb)) * alpha + 127) / 255),
                           int((quint32(qGreen(rgb)) * alpha + 127) / 255),
                           int((quint32(qBlue(rgb)) * alpha + 127) / 255), int(alpha));
        }
    }
    return image;
}

} // namespace

QImage ShrunkPlanesToRgb(const Planes &planes, const ColourMatrix &matrix, int reduction)
{
    return planes.alpha.data ? ShrunkToRgb<true>(planes, matrix, reduction)
                             : ShrunkToRgb<false>(planes, matrix, reduction);
}
