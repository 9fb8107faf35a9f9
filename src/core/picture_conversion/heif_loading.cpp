#include "picture_conversion/heif_loading.h"

#include "picture_conversion/colour_management.h"
#include "picture_conversion/heif_planes.h"
#include "picture_conversion/hevc_decoder.h"
#include "picture_conversion/loading_reasons.h"
#include "picture_conversion/picture_loader.h"
#include "shared/logging.h"

#include <QIODevice>
#include <algorithm>
#include <libheif/heif.h>
#include <memory>
#include <vector>

using namespace LoadingReasons;

namespace
{

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

// The colour matrix the file's colour box names, if it names one.
std::optional<ColourMatrix> FileMatrixOf(const heif_image_handle *handle)
{
    heif_color_profile_nclx *raw = nullptr;
    if (!Ok(heif_image_handle_get_nclx_color_profile(handle, &raw)) || !raw)
        return std::nullopt;
    const Owned<heif_color_profile_nclx> nclx(raw);
    return ColourMatrix::Of(nclx.get());
}

// The colour matrix the decoded picture's colour box names (libheif attaches it), else the
// one of the handle, else BT.601 in full range as libheif itself takes it.
ColourMatrix MatrixOf(const heif_image *image, const heif_image_handle *handle)
{
    heif_color_profile_nclx *raw = nullptr;
    if (Ok(heif_image_get_nclx_color_profile(image, &raw)) && raw) {
        const Owned<heif_color_profile_nclx> nclx(raw);
        return ColourMatrix::Of(nclx.get());
    }
    if (const std::optional<ColourMatrix> file = handle ? FileMatrixOf(handle) : std::nullopt)
        return *file;
    return ColourMatrix::Of(nullptr);
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
    return ShrunkPlanesToRgb(planes, matrix, reduction);
}

namespace
{

// A libheif context for one file, with our HEVC decoder and the size limit; null when memory runs out.
Owned<heif_context> NewContext()
{
    Owned<heif_context> context(heif_context_alloc());
    if (!context)
        return nullptr;
    // libheif refuses larger pictures before it allocates anything for them.
    heif_context_set_maximum_image_size_limit(context.get(), PictureLimits::MaxSide);
    if (!Ok(UseOwnHevcDecoder(context.get())))
        qCDebug(lcConvert) << "libheif refused our HEVC decoder; its own decodes HEIC pictures";
    return context;
}

// libheif's reader on a QIODevice (the userdata). A long read is made a piece at a time: the
// kernel may not take the processor from a thread inside one long read.
struct DeviceReading {
    static QIODevice *Device(void *userdata) { return static_cast<QIODevice *>(userdata); }

    static int64_t Position(void *userdata) { return Device(userdata)->pos(); }

    static int Read(void *data, size_t size, void *userdata)
    {
        constexpr size_t Piece = 1 << 20;
        for (auto *to = static_cast<char *>(data); size > 0;) {
            const qint64 got = Device(userdata)->read(to, qint64(std::min(size, Piece)));
            if (got <= 0)
                return 1; // cut short or unreadable
            to += got;
            size -= size_t(got);
        }
        return 0;
    }

    static int Seek(int64_t position, void *userdata) { return Device(userdata)->seek(position) ? 0 : 1; }

    static heif_reader_grow_status SizeReached(int64_t size, void *userdata)
    {
        return size <= Device(userdata)->size() ? heif_reader_grow_status_size_reached
                                                : heif_reader_grow_status_size_beyond_eof;
    }
};

const heif_reader DeviceReader{1, DeviceReading::Position, DeviceReading::Read, DeviceReading::Seek,
                               DeviceReading::SizeReached};

// The primary picture of the file `context` has read, as LoadHeif returns it.
Outcome<QImage> PrimaryPicture(heif_context *context, QSize cover)
{
    heif_image_handle *rawPrimary = nullptr;
    if (const heif_error error = heif_context_get_primary_image_handle(context, &rawPrimary); !Ok(error))
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
    const QSize shrunkSize((chosenSize.width() + reduction - 1) / reduction,
                           (chosenSize.height() + reduction - 1) / reduction);
    // What is kept after the shrink must fit the limits of every picture.
    if (const Status kept = CheckPictureSize(shrunkSize.width(), shrunkSize.height()); !kept)
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
    auto decodeWhole = [&]() -> Outcome<Owned<heif_image>> {
        Outcome<Owned<heif_image>> whole = eightBit ? decode(heif_colorspace_undefined, heif_chroma_undefined)
                                                    : decode(heif_colorspace_RGB, heif_chroma_444);
        if (whole && eightBit && PlanesOf(whole.value().get()).width == 0) {
            whole.value().reset(); // freed before decoding again
            whole = decode(heif_colorspace_RGB, heif_chroma_444);
        }
        return whole;
    };
    // A large HEVC picture is shrunk by our decoder straight from the decoded planes, with no
    // full-size copy; libheif then turns and mirrors the small picture. Not with alpha (its
    // colours are weighted by alpha as they are shrunk, below) nor with a cropping box, which
    // libheif would measure on the small picture.
    const QSize coded(heif_image_handle_get_ispe_width(chosen), heif_image_handle_get_ispe_height(chosen));
    const bool shrinkWhileDecoding = eightBit && reduction > 1 &&
                                     !heif_image_handle_has_alpha_channel(chosen) &&
                                     (chosenSize == coded || chosenSize == coded.transposed());
    Outcome<Owned<heif_image>> decoded = Failure{Damaged()};
    bool shrunk = false;
    if (shrinkWhileDecoding) {
        ShrinkOnDecode shrink(coded, reduction, FileMatrixOf(chosen));
        decoded = decodeWhole();
        shrunk = decoded && shrink.shrunk();
    }
    Planes planes = decoded ? PlanesOf(decoded.value().get()) : Planes{};
    if (shrunk && QSize(planes.width, planes.height) != shrunkSize) {
        shrunk = false;
        decoded = Failure{Damaged()};
    }
    // Where libheif refused the shrunk picture or made more of it (a grid of one tile), the
    // picture is decoded again, whole, as libheif expects it.
    if (!decoded) {
        if (decoded = decodeWhole(); !decoded)
            return Failure{decoded.reason()};
        planes = PlanesOf(decoded.value().get());
    }
    if (!shrunk && (planes.width == 0 || QSize(planes.width, planes.height) != chosenSize))
        return Failure{Damaged()};
    QImage image = ShrunkHeifImage(decoded.value().get(), chosen, shrunk ? 1 : reduction);
    decoded = Failure{Damaged()}; // the decoded planes go before the colour conversion
    if (image.isNull())
        return Failure{NoMemory()};
    image.setColorSpace(ColourSpaceOf(chosen));
    ConvertToSrgb(image);
    return image;
}

} // namespace

Outcome<QImage> LoadHeif(const QByteArray &bytes, QSize cover)
{
    const Owned<heif_context> context = NewContext();
    if (!context)
        return Failure{NoMemory()};
    if (const heif_error error = heif_context_read_from_memory_without_copy(
            context.get(), bytes.constData(), std::size_t(bytes.size()), nullptr);
        !Ok(error))
        return Failure{ReasonOf(error)};
    return PrimaryPicture(context.get(), cover);
}

Outcome<QImage> LoadHeif(QIODevice &device, QSize cover)
{
    const Owned<heif_context> context = NewContext();
    if (!context)
        return Failure{NoMemory()};
    if (const heif_error error =
            heif_context_read_from_reader(context.get(), &DeviceReader, &device, nullptr);
        !Ok(error))
        return Failure{ReasonOf(error)};
    return PrimaryPicture(context.get(), cover);
}
