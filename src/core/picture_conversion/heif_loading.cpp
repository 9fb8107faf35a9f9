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

// The interleaved 8-bit RGB or RGBA pixels shrunk by `reduction` (each output pixel the average
// of a reduction x reduction box), as Format_RGB32 or Format_ARGB32_Premultiplied.
QImage ShrunkCopy(const uint8_t *pixels, int stride, int width, int height, bool alpha, int reduction)
{
    const int outWidth = (width + reduction - 1) / reduction,
              outHeight = (height + reduction - 1) / reduction;
    QImage image(outWidth, outHeight, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const int channels = alpha ? 4 : 3;
    std::vector<quint32> sums(static_cast<std::size_t>(outWidth) * 4);
    std::vector<quint32> counts(static_cast<std::size_t>(outWidth));
    for (int outY = 0; outY < outHeight; ++outY) {
        std::fill(sums.begin(), sums.end(), 0u);
        std::fill(counts.begin(), counts.end(), 0u);
        for (int y = outY * reduction; y < qMin(height, (outY + 1) * reduction); ++y) {
            const uint8_t *line = pixels + qsizetype(y) * stride;
            for (int x = 0; x < width; ++x) {
                const uint8_t *p = line + x * channels;
                const quint32 a = alpha ? p[3] : 255;
                quint32 *sum = &sums[std::size_t(x / reduction) * 4];
                // Premultiplied, so transparent pixels add no colour.
                sum[0] += p[0] * a;
                sum[1] += p[1] * a;
                sum[2] += p[2] * a;
                sum[3] += a;
                ++counts[std::size_t(x / reduction)];
            }
        }
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(outY));
        for (int x = 0; x < outWidth; ++x) {
            const quint32 *sum = &sums[std::size_t(x) * 4];
            const quint32 n = counts[std::size_t(x)] * 255;
            out[x] = qRgba(int(sum[0] / n), int(sum[1] / n), int(sum[2] / n), int(sum[3] * 255 / n));
        }
    }
    return image;
}

} // namespace

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
        return Failure{SizeRefusal(width, height)};
    if (width * height > PictureLimits::MaxHeifPixels)
        return Failure{MorePixelsThan(PictureLimits::MaxHeifPixels)};

    const Owned<heif_image_handle> thumbnail = CoveringThumbnail(primary.get(), cover);
    heif_image_handle *chosen = thumbnail ? thumbnail.get() : primary.get();
    const QSize chosenSize(heif_image_handle_get_width(chosen), heif_image_handle_get_height(chosen));
    const int reduction = ReductionCovering(chosenSize, cover);
    // What is kept after the shrink must fit the limits of every picture.
    if (const QString refusal = SizeRefusal((chosenSize.width() + reduction - 1) / reduction,
                                            (chosenSize.height() + reduction - 1) / reduction);
        !refusal.isEmpty())
        return Failure{refusal};
    const bool alpha = heif_image_handle_has_alpha_channel(chosen) != 0;
    const Owned<heif_decoding_options> options(heif_decoding_options_alloc());
    if (!options)
        return Failure{NoMemory()};
    options->convert_hdr_to_8bit = 1;
    // A damaged or cut-short stream is refused rather than shown half grey.
    options->strict_decoding = 1;
    heif_image *rawImage = nullptr;
    // Rotation, mirroring and cropping boxes are applied here.
    error =
        heif_decode_image(chosen, &rawImage, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
    const Owned<heif_image> decoded(rawImage);
    if (!Ok(error) || !decoded)
        return Failure{decoded ? ReasonOf(error) : Damaged()};

    int stride = 0;
    const uint8_t *pixels = heif_image_get_plane_readonly(decoded.get(), heif_channel_interleaved, &stride);
    const int decodedWidth = heif_image_get_width(decoded.get(), heif_channel_interleaved),
              decodedHeight = heif_image_get_height(decoded.get(), heif_channel_interleaved);
    if (!pixels || heif_image_get_bits_per_pixel_range(decoded.get(), heif_channel_interleaved) != 8 ||
        QSize(decodedWidth, decodedHeight) != chosenSize)
        return Failure{Damaged()};
    QImage image = ShrunkCopy(pixels, stride, decodedWidth, decodedHeight, alpha, reduction);
    if (image.isNull())
        return Failure{NoMemory()};
    image.setColorSpace(ColourSpaceOf(chosen));
    ConvertToSrgb(image);
    return image;
}
