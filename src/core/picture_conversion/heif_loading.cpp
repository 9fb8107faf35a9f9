#include "picture_conversion/heif_loading.h"

#include "picture_conversion/colour_management.h"
#include "picture_conversion/loading_reasons.h"
#include "picture_conversion/picture_loader.h"
#include "shared/logging.h"

#include <libheif/heif.h>
#include <memory>
#include <vector>

using namespace LoadingReasons;

namespace
{

// Owners for libheif's C objects, so every return path frees them.
struct HeifDeleter {
    void operator()(heif_context *context) const noexcept { heif_context_free(context); }
    void operator()(heif_image_handle *handle) const noexcept { heif_image_handle_release(handle); }
    void operator()(heif_image *image) const noexcept { heif_image_release(image); }
    void operator()(heif_decoding_options *options) const noexcept { heif_decoding_options_free(options); }
    void operator()(heif_color_profile_nclx *nclx) const noexcept { heif_nclx_color_profile_free(nclx); }
};
template <class T> using Owned = std::unique_ptr<T, HeifDeleter>;

QString ReasonOf(const heif_error &error)
{
    if (error.subcode == heif_suberror_End_of_data)
        return EndsEarly();
    if (error.subcode == heif_suberror_Security_limit_exceeded)
        return QStringLiteral("wider or taller than %1 pixels").arg(PictureLimits::MaxSide);
    switch (error.code) {
    case heif_error_Memory_allocation_error:
        return NoMemory();
    case heif_error_Unsupported_feature:
    case heif_error_Unsupported_filetype:
        return QStringLiteral("the picture is coded in a way this program cannot decode (%1)")
            .arg(QString::fromUtf8(error.message).toLower());
    default:
        return Damaged();
    }
}

bool Ok(const heif_error &error)
{
    return error.code == heif_error_Ok;
}

// The thumbnail of `primary` that covers `cover` with the fewest pixels, or none. A thumbnail
// must show the picture as the primary does: a sideways or cropped one is passed over.
Owned<heif_image_handle> CoveringThumbnail(heif_image_handle *primary, QSize cover)
{
    const qint64 width = heif_image_handle_get_width(primary), height = heif_image_handle_get_height(primary);
    const int count = heif_image_handle_get_number_of_thumbnails(primary);
    if (cover.isEmpty() || count <= 0 || width <= 0 || height <= 0)
        return nullptr;
    std::vector<heif_item_id> ids(static_cast<std::size_t>(count));
    heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), count);
    Owned<heif_image_handle> best;
    for (const heif_item_id id : ids) {
        heif_image_handle *raw = nullptr;
        if (!Ok(heif_image_handle_get_thumbnail(primary, id, &raw)))
            continue;
        Owned<heif_image_handle> thumbnail(raw);
        const qint64 w = heif_image_handle_get_width(raw), h = heif_image_handle_get_height(raw);
        const bool sameShape = qAbs(w * height - h * width) <= qMax(width, height);
        if (w >= cover.width() && h >= cover.height() && w < width && sameShape &&
            (!best || w < heif_image_handle_get_width(best.get())))
            best = std::move(thumbnail);
    }
    return best;
}

// The colour space the picture's colour boxes name: its ICC profile where Qt can use it, else
// its coded primaries and transfer; sRGB when it names none.
QColorSpace ColourSpaceOf(heif_image_handle *handle)
{
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type == heif_color_profile_type_prof || type == heif_color_profile_type_rICC) {
        QByteArray icc(qsizetype(heif_image_handle_get_raw_color_profile_size(handle)), Qt::Uninitialized);
        if (!icc.isEmpty() && Ok(heif_image_handle_get_raw_color_profile(handle, icc.data()))) {
            const QColorSpace space = QColorSpace::fromIccProfile(icc);
            if (space.isValid())
                return space;
            qCDebug(lcConvert) << "a HEIF ICC profile Qt cannot use; the colour box decides";
        }
    }
    heif_color_profile_nclx *raw = nullptr;
    if (!Ok(heif_image_handle_get_nclx_color_profile(handle, &raw)) || !raw)
        return QColorSpace(QColorSpace::SRgb);
    const Owned<heif_color_profile_nclx> nclx(raw);
    return ColourSpaceOfCodes(int(nclx->color_primaries), int(nclx->transfer_characteristics));
}

// One 8-bit plane of a decoded picture. Pixel (x, y) of the picture reads sample
// (x >> shiftX, y >> shiftY): chroma planes of 4:2:0 and 4:2:2 pictures are subsampled.
struct Plane {
    const uint8_t *data = nullptr;
    int stride = 0;
    int shiftX = 0, shiftY = 0;

    const uint8_t *line(int y) const { return data + qsizetype(y >> shiftY) * stride; }
};

// The middle value a monochrome picture's absent chroma planes stand for.
const uint8_t NeutralChroma = 128;
constexpr int WholeLine = 30; // a shift that maps every coordinate to sample 0

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

// The planes of `image` when it holds 8-bit samples this file can read itself: YCbCr 4:2:0,
// 4:2:2 or 4:4:4, monochrome, or planar RGB. Width 0 otherwise.
Planes PlanesOf(const heif_image *image)
{
    Planes planes;
    const heif_colorspace space = heif_image_get_colorspace(image);
    const heif_chroma chroma = heif_image_get_chroma_format(image);
    const int width = heif_image_get_primary_width(image), height = heif_image_get_primary_height(image);
    // A plane is read only where it holds a byte for every pixel it must serve.
    auto plane = [&](heif_channel channel, int shiftX, int shiftY) {
        Plane p;
        if (heif_image_has_channel(image, channel) &&
            heif_image_get_bits_per_pixel_range(image, channel) == 8 &&
            heif_image_get_bits_per_pixel(image, channel) == 8 &&
            heif_image_get_width(image, channel) >= (width + (1 << shiftX) - 1) >> shiftX &&
            heif_image_get_height(image, channel) >= (height + (1 << shiftY) - 1) >> shiftY)
            p.data = heif_image_get_plane_readonly(image, channel, &p.stride);
        p.shiftX = shiftX;
        p.shiftY = shiftY;
        return p;
    };
    if (space == heif_colorspace_YCbCr &&
        (chroma == heif_chroma_420 || chroma == heif_chroma_422 || chroma == heif_chroma_444)) {
        const int shiftX = chroma == heif_chroma_444 ? 0 : 1, shiftY = chroma == heif_chroma_420 ? 1 : 0;
        planes.colour[0] = plane(heif_channel_Y, 0, 0);
        planes.colour[1] = plane(heif_channel_Cb, shiftX, shiftY);
        planes.colour[2] = plane(heif_channel_Cr, shiftX, shiftY);
    } else if (space == heif_colorspace_RGB && chroma == heif_chroma_444) {
        planes.colour[0] = plane(heif_channel_G, 0, 0);
        planes.colour[1] = plane(heif_channel_B, 0, 0);
        planes.colour[2] = plane(heif_channel_R, 0, 0);
    } else if (space == heif_colorspace_monochrome && chroma == heif_chroma_monochrome) {
        planes.colour[0] = plane(heif_channel_Y, 0, 0);
        planes.colour[1] = planes.colour[2] = Plane{&NeutralChroma, 0, WholeLine, WholeLine};
    } else {
        return planes;
    }
    if (heif_image_has_channel(image, heif_channel_Alpha)) {
        planes.alpha = plane(heif_channel_Alpha, 0, 0);
        if (!planes.alpha.data)
            return planes;
    }
    for (const Plane &p : planes.colour)
        if (!p.data)
            return planes;
    planes.width = width;
    planes.height = height;
    return planes;
}

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

// The colour matrix the decoded picture's colour box names (libheif attaches it), else the
// one of the handle, else BT.601 in full range as libheif itself takes it.
ColourMatrix MatrixOf(const heif_image *image, const heif_image_handle *handle)
{
    heif_color_profile_nclx *raw = nullptr;
    if (!Ok(heif_image_get_nclx_color_profile(image, &raw)) || !raw) {
        raw = nullptr;
        if (!handle || !Ok(heif_image_handle_get_nclx_color_profile(handle, &raw)))
            raw = nullptr;
    }
    const Owned<heif_color_profile_nclx> nclx(raw);
    return ColourMatrix::Of(nclx.get());
}

} // namespace

QImage ShrunkHeifImage(const heif_image *image, const heif_image_handle *handle, int reduction)
{
    const Planes planes = PlanesOf(image);
    if (planes.width == 0)
        return QImage();
    // Planar RGB is read as it is; monochrome as YCbCr with neutral chroma, for its range.
    const heif_colorspace space = heif_image_get_colorspace(image);
    ColourMatrix matrix{true};
    if (space != heif_colorspace_RGB) {
        matrix = MatrixOf(image, handle);
        matrix.identity = matrix.identity && space == heif_colorspace_YCbCr;
    }
    return planes.alpha.data ? ShrunkToRgb<true>(planes, matrix, reduction)
                             : ShrunkToRgb<false>(planes, matrix, reduction);
}

Outcome<QImage> LoadHeif(const QByteArray &bytes, QSize cover)
{
    const Owned<heif_context> context(heif_context_alloc());
    if (!context)
        return Failure{NoMemory()};
    // libheif refuses larger pictures before it allocates anything for them.
    heif_context_set_maximum_image_size_limit(context.get(), PictureLimits::MaxSide);
    heif_error error = heif_context_read_from_memory_without_copy(context.get(), bytes.constData(),
                                                                  std::size_t(bytes.size()), nullptr);
    if (!Ok(error))
        return Failure{ReasonOf(error)};
    heif_image_handle *rawPrimary = nullptr;
    if (error = heif_context_get_primary_image_handle(context.get(), &rawPrimary); !Ok(error))
        return Failure{ReasonOf(error)};
    const Owned<heif_image_handle> primary(rawPrimary);
    const qint64 width = heif_image_handle_get_width(primary.get()),
                 height = heif_image_handle_get_height(primary.get());
    if (width <= 0 || height <= 0)
        return Failure{QStringLiteral("the picture has no size")};
    if (width > PictureLimits::MaxSide || height > PictureLimits::MaxSide)
        return CheckPictureSize(width, height).failure();
    if (width * height > PictureLimits::MaxHeifPixels)
        return Failure{MorePixelsThan(PictureLimits::MaxHeifPixels)};

    const Owned<heif_image_handle> thumbnail = CoveringThumbnail(primary.get(), cover);
    heif_image_handle *chosen = thumbnail ? thumbnail.get() : primary.get();
    const QSize chosenSize(heif_image_handle_get_width(chosen), heif_image_handle_get_height(chosen));
    const int reduction = ReductionCovering(chosenSize, cover);
    // What is kept after the shrink must fit the limits of every picture.
    if (const Status kept = CheckPictureSize((chosenSize.width() + reduction - 1) / reduction,
                                             (chosenSize.height() + reduction - 1) / reduction);
        !kept)
        return kept.failure();
    const Owned<heif_decoding_options> options(heif_decoding_options_alloc());
    if (!options)
        return Failure{NoMemory()};
    options->convert_hdr_to_8bit = 1;
    // A damaged or cut-short stream is refused rather than shown half grey.
    options->strict_decoding = 1;
    // Rotation, mirroring and cropping boxes are applied while decoding.
    auto decode = [&](heif_colorspace space, heif_chroma chroma) -> Outcome<Owned<heif_image>> {
        heif_image *raw = nullptr;
        const heif_error decodeError = heif_decode_image(chosen, &raw, space, chroma, options.get());
        Owned<heif_image> image(raw);
        if (!Ok(decodeError) || !image)
            return Failure{image ? ReasonOf(decodeError) : Damaged()};
        return image;
    };
    // 8-bit pictures are asked for in the form they are coded in (phones: YCbCr 4:2:0, half the
    // bytes of RGB), so their colours are converted only for the pixels kept. libheif 1.15 (Debian
    // 12) still hands them over as planar RGB, one full-size copy fewer than interleaved RGB.
    // Deeper pictures, and forms not read here, are left to libheif to bring to 8-bit planar RGB.
    const bool eightBit = heif_image_handle_get_luma_bits_per_pixel(chosen) == 8 &&
                          heif_image_handle_get_chroma_bits_per_pixel(chosen) == 8;
    Outcome<Owned<heif_image>> decoded = eightBit ? decode(heif_colorspace_undefined, heif_chroma_undefined)
                                                  : decode(heif_colorspace_RGB, heif_chroma_444);
    if (!decoded)
        return Failure{decoded.reason()};
    Planes planes = PlanesOf(decoded.value().get());
    if (planes.width == 0 && eightBit) {
        decoded.value().reset(); // freed before decoding again
        if (decoded = decode(heif_colorspace_RGB, heif_chroma_444); !decoded)
            return Failure{decoded.reason()};
        planes = PlanesOf(decoded.value().get());
    }
    if (planes.width == 0 || QSize(planes.width, planes.height) != chosenSize)
        return Failure{Damaged()};
    QImage image = ShrunkHeifImage(decoded.value().get(), chosen, reduction);
    decoded.value().reset(); // the full-size planes go before the colour conversion
    if (image.isNull())
        return Failure{NoMemory()};
    image.setColorSpace(ColourSpaceOf(chosen));
    ConvertToSrgb(image);
    return image;
}
