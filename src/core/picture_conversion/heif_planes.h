#pragma once

// The 8-bit planes of a decoded HEIF picture and their shrink to RGB, shared by the loader
// and the HEVC decoder it gives libheif.

#include <QImage>
#include <libheif/heif.h>
#include <memory>

// Owners for libheif's C objects, so every return path frees them.
struct HeifDeleter {
    void operator()(heif_context *context) const noexcept { heif_context_free(context); }
    void operator()(heif_image_handle *handle) const noexcept { heif_image_handle_release(handle); }
    void operator()(heif_image *image) const noexcept { heif_image_release(image); }
    void operator()(heif_decoding_options *options) const noexcept { heif_decoding_options_free(options); }
    void operator()(heif_color_profile_nclx *nclx) const noexcept { heif_nclx_color_profile_free(nclx); }
};
template <class T> using Owned = std::unique_ptr<T, HeifDeleter>;

// One 8-bit plane of a decoded picture. Pixel (x, y) of the picture reads sample
// (x >> shiftX, y >> shiftY): chroma planes of 4:2:0 and 4:2:2 pictures are subsampled.
struct Plane {
    const uint8_t *data = nullptr;
    int stride = 0;
    int shiftX = 0, shiftY = 0;

    const uint8_t *line(int y) const { return data + qsizetype(y >> shiftY) * stride; }
};

// The middle value a monochrome picture's absent chroma planes stand for.
inline constexpr uint8_t NeutralChroma = 128;
inline constexpr int WholeLine = 30; // a shift that maps every coordinate to sample 0

// How averaged (Y, Cb, Cr) samples become R, G, B (ITU-T H.273 matrix coefficients). The
// planes are in G, B, R order when the picture is coded as RGB (matrix 0).
struct ColourMatrix {
    bool identity = false;
    bool fullRange = true;
    double kr = 0.299, kb = 0.114; // BT.601, libheif's choice when the file names no matrix

    static ColourMatrix Of(const heif_color_profile_nclx *nclx)
    {
        ColourMatrix matrix;
        if (!nclx)
            return matrix;
        matrix.fullRange = nclx->full_range_flag != 0;
        switch (int(nclx->matrix_coefficients)) {
        case 0:
            matrix.identity = true;
            break;
        case 1: // BT.709
            matrix.kr = 0.2126, matrix.kb = 0.0722;
            break;
        case 4: // FCC
            matrix.kr = 0.30, matrix.kb = 0.11;
            break;
        case 7: // SMPTE 240M
            matrix.kr = 0.212, matrix.kb = 0.087;
            break;
        case 9: // BT.2020
        case 10:
            matrix.kr = 0.2627, matrix.kb = 0.0593;
            break;
        default: // BT.601 (5, 6), unspecified, and those this program does not know
            break;
        }
        return matrix;
    }

    // Averages of the three planes (0 to 255) to an opaque QRgb.
    QRgb rgb(double y, double cb, double cr) const
    {
        if (identity)
            return qRgb(Clamped(cr), Clamped(y), Clamped(cb));
        if (!fullRange) { // video range: Y in 16 to 235, chroma in 16 to 240
            y = (y - 16) * (255.0 / 219);
            cb = (cb - 128) * (255.0 / 224);
            cr = (cr - 128) * (255.0 / 224);
        } else {
            cb -= 128;
            cr -= 128;
        }
        const double r = y + 2 * (1 - kr) * cr, b = y + 2 * (1 - kb) * cb;
        return qRgb(Clamped(r), Clamped((y - kr * r - kb * b) / (1 - kr - kb)), Clamped(b));
    }

    static int Clamped(double value) { return qBound(0, int(value + 0.5), 255); }
};

// A decoded picture's planes in the order the matrix reads them, and its alpha plane if any.
struct Planes {
    Plane colour[3];
    Plane alpha;
    int width = 0, height = 0;
};

// The picture of `planes` shrunk by `reduction` (1, 2, 4 or 8): each output pixel from the average
// of a reduction x reduction box, converted to RGB once. Format_RGB32, or
// Format_ARGB32_Premultiplied when the planes have alpha; null when memory runs out.
QImage ShrunkPlanesToRgb(const Planes &planes, const ColourMatrix &matrix, int reduction);
