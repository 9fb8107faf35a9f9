#include "picture_conversion/heif_loading.h"

#include "picture_conversion/colour_management.h"
#include "picture_conversion/loading_reasons.h"
#include "picture_conversion/picture_loader.h"
#include "shared/logging.h"

#include <QIODevice>
#include <QSemaphore>
#include <algorithm>
#include <cstring>
#include <libheif/heif.h>
#include <memory>
#include <vector>
#ifdef __GLIBC__
#include <malloc.h>
#endif

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

bool Ok(const heif_error &error)
{
    return error.code == heif_error_Ok;
}

// What libheif has no support for, where it refused a feature, codec, depth or colour conversion
// rather than data that makes no sense; empty otherwise.
QString UnsupportedPart(const heif_error &error)
{
    switch (error.subcode) {
    case heif_suberror_Unsupported_codec:
        return QStringLiteral("codec");
    case heif_suberror_Unsupported_bit_depth:
        return QStringLiteral("bit depth");
    case heif_suberror_Unsupported_color_conversion:
        return QStringLiteral("colour format");
    case heif_suberror_Unsupported_image_type:
        return QStringLiteral("kind of image");
    default:
        return error.code == heif_error_Unsupported_feature || error.code == heif_error_Unsupported_filetype
                   ? QStringLiteral("file layout")
                   : QString();
    }
}

QString ReasonOf(const heif_error &error)
{
    if (error.subcode == heif_suberror_End_of_data)
        return EndsEarly();
    if (error.subcode == heif_suberror_Security_limit_exceeded)
        return QStringLiteral("wider or taller than %1 pixels").arg(PictureLimits::MaxSide);
    if (error.code == heif_error_Memory_allocation_error)
        return NoMemory();
    if (const QString part = UnsupportedPart(error); !part.isEmpty())
        return CannotDecode(part);
    return Damaged();
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
// its coded primaries and transfer; sRGB when it names none. (libheif has already applied the
// box's matrix, turning YCbCr into RGB.)
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

// Holds the pixels of one decode against the process-wide allowance
// (PictureLimits::HeifPixelsDecodedAtOnce) for as long as it lives: waits until they fit.
class DecodeAllowance
{
  public:
    explicit DecodeAllowance(qint64 pixels)
        : m_pixels(int(std::clamp<qint64>(pixels, 1, PictureLimits::HeifPixelsDecodedAtOnce)))
    {
        Pool().acquire(m_pixels);
    }
    ~DecodeAllowance()
    {
#ifdef __GLIBC__
        // The C library keeps what a thread frees for that thread's later use: after a large
        // decode every worker would keep some 140 MB (48 megapixels) the others cannot use.
        if (m_pixels >= LargeDecode)
            malloc_trim(0);
#endif
        Pool().release(m_pixels);
    }
    DecodeAllowance(const DecodeAllowance &) = delete;
    DecodeAllowance &operator=(const DecodeAllowance &) = delete;

  private:
    static constexpr int LargeDecode = 4000000;

    static QSemaphore &Pool()
    {
        static QSemaphore pool{int(PictureLimits::HeifPixelsDecodedAtOnce)};
        return pool;
    }
    int m_pixels;
};

// libheif's 8-bit interleaved RGB or RGBA picture, seen as a QImage without a copy: valid while
// `image` lives.
QImage ViewOf(heif_image *image, bool alpha)
{
    int stride = 0;
    const uint8_t *data = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    const int width = heif_image_get_primary_width(image), height = heif_image_get_primary_height(image);
    if (!data || width <= 0 || height <= 0 || stride < width * (alpha ? 4 : 3))
        return QImage();
    const QImage::Format format = !alpha ? QImage::Format_RGB888
                                  : heif_image_is_premultiplied_alpha(image)
                                      ? QImage::Format_RGBA8888_Premultiplied
                                      : QImage::Format_RGBA8888;
    return QImage(data, width, height, stride, format);
}

// `whole` shrunk by `reduction` (dividing its sides, rounding up) in `format`, by Qt's smooth
// scaling as every picture is put on its canvas. A band of rows at a time, so no full-size copy
// of a large picture is made in `format`; each band holds whole boxes of the reduction, so the
// seams fall between output rows. Null when memory runs out.
QImage Shrunk(const QImage &whole, int reduction, QImage::Format format)
{
    if (reduction == 1)
        return whole.convertToFormat(format);
    const QSize size((whole.width() + reduction - 1) / reduction,
                     (whole.height() + reduction - 1) / reduction);
    QImage result(size, format);
    constexpr int BandRows = 32; // output rows made at once
    for (int top = 0; top < size.height() && !result.isNull(); top += BandRows) {
        const int rows = std::min(BandRows, size.height() - top);
        const int sourceTop = top * reduction,
                  sourceRows = std::min(rows * reduction, whole.height() - sourceTop);
        const QImage source(whole.constScanLine(sourceTop), whole.width(), sourceRows, whole.bytesPerLine(),
                            whole.format());
        const QImage band = source.convertToFormat(format).scaled(size.width(), rows, Qt::IgnoreAspectRatio,
                                                                  Qt::SmoothTransformation);
        if (band.isNull())
            return QImage();
        for (int y = 0; y < rows; ++y)
            std::memcpy(result.scanLine(top + y), band.constScanLine(y), std::size_t(size.width()) * 4);
    }
    return result;
}

// A libheif context for one file, with the size limit; null when memory runs out.
Owned<heif_context> NewContext()
{
    Owned<heif_context> context(heif_context_alloc());
    if (context) // libheif refuses larger pictures before it allocates anything for them
        heif_context_set_maximum_image_size_limit(context.get(), PictureLimits::MaxSide);
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

// The picture of `handle` as libheif decodes it: turned, mirrored and cropped by its boxes (once:
// the loader applies no EXIF orientation to HEIF pictures), in 8-bit interleaved RGB, or RGBA
// with alpha, whatever its depth and sampling.
Outcome<Owned<heif_image>> Decode(heif_image_handle *handle, bool alpha)
{
    const Owned<heif_decoding_options> options(heif_decoding_options_alloc());
    if (!options)
        return Failure{NoMemory()};
    options->convert_hdr_to_8bit = 1;
    // A damaged or cut-short stream is refused rather than shown half grey.
    options->strict_decoding = 1;
    heif_image *raw = nullptr;
    const heif_error error =
        heif_decode_image(handle, &raw, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
    Owned<heif_image> image(raw);
    if (!Ok(error))
        return Failure{ReasonOf(error)};
    if (!image)
        return Failure{Damaged()};
    return image;
}

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
    // What is kept after the shrink must fit the limits of every picture.
    if (const Status kept = CheckPictureSize((chosenSize.width() + reduction - 1) / reduction,
                                             (chosenSize.height() + reduction - 1) / reduction);
        !kept)
        return kept.failure();
    const bool alpha = heif_image_handle_has_alpha_channel(chosen) != 0;

    QImage image;
    {
        const DecodeAllowance allowance(qint64(chosenSize.width()) * chosenSize.height());
        const Outcome<Owned<heif_image>> decoded = Decode(chosen, alpha);
        if (!decoded)
            return decoded.failure();
        const QImage whole = ViewOf(decoded.value().get(), alpha);
        // The size libheif reported for the picture is the size it decoded, or the file lies.
        if (whole.size() != chosenSize)
            return Failure{Damaged()};
        image = Shrunk(whole, reduction, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    } // the decoded picture goes before the colour conversion
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
