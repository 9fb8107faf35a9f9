#include "picture_conversion/hevc_decoder.h"

#include <cstring>
#include <libde265/de265.h>
#include <libheif/heif_plugin.h>
#include <new>

namespace
{

// The request of the innermost ShrinkOnDecode of this thread: libheif calls its decoder on the
// thread that asked for the picture.
thread_local ShrinkOnDecode *currentShrink = nullptr;

heif_error Failed(heif_error_code code, heif_suberror_code subcode, const char *message)
{
    return {code, subcode, message};
}

const heif_error Fine{heif_error_Ok, heif_suberror_Unspecified, "Success"};

heif_error NoMemory()
{
    return Failed(heif_error_Memory_allocation_error, heif_suberror_Unspecified, "out of memory");
}

// One decoding: a libde265 context with no worker threads. Without them libde265 runs its
// in-loop filters in place, with one plane's copy as its scratch, rather than into a second picture.
struct Decoder {
    de265_decoder_context *context = nullptr;
};

// The colour box of the stream (its VUI), as libheif's own decoder attaches it.
Owned<heif_color_profile_nclx> StreamColours(const de265_image *picture)
{
    Owned<heif_color_profile_nclx> nclx(heif_nclx_color_profile_alloc());
    if (!nclx)
        return nullptr;
    // Codes libheif does not know are left at its defaults.
    heif_nclx_color_profile_set_color_primaries(nclx.get(),
                                                uint16_t(de265_get_image_colour_primaries(picture)));
    heif_nclx_color_profile_set_transfer_characteristics(
        nclx.get(), uint16_t(de265_get_image_transfer_characteristics(picture)));
    heif_nclx_color_profile_set_matrix_coefficients(nclx.get(),
                                                    uint16_t(de265_get_image_matrix_coefficients(picture)));
    nclx->full_range_flag = uint8_t(de265_get_image_full_range_flag(picture) != 0);
    return nclx;
}

// The decoded picture as libheif's decoder hands it over: its planes copied into a YCbCr (or
// monochrome) image of the same sampling and depth.
heif_error Copied(const de265_image *picture, heif_image **out)
{
    const de265_chroma chroma = de265_get_chroma_format(picture);
    const bool grey = chroma == de265_chroma_mono;
    heif_image *raw = nullptr;
    heif_error error = heif_image_create(
        de265_get_image_width(picture, 0), de265_get_image_height(picture, 0),
        grey ? heif_colorspace_monochrome : heif_colorspace_YCbCr, heif_chroma(chroma), &raw);
    if (error.code != heif_error_Ok)
        return error;
    Owned<heif_image> image(raw);
    const heif_channel channels[3] = {heif_channel_Y, heif_channel_Cb, heif_channel_Cr};
    for (int c = 0; c < (grey ? 1 : 3); ++c) {
        const int width = de265_get_image_width(picture, c), height = de265_get_image_height(picture, c);
        const int depth = de265_get_bits_per_pixel(picture, c);
        int sourceStride = 0;
        const uint8_t *source = de265_get_image_plane(picture, c, &sourceStride);
        if (!source || width <= 0 || height <= 0 || depth <= 0 || depth > 16)
            return Failed(heif_error_Decoder_plugin_error, heif_suberror_Invalid_image_size, "no picture");
        if (error = heif_image_add_plane(raw, channels[c], width, height, depth); error.code != heif_error_Ok)
            return error;
        int stride = 0;
        uint8_t *target = heif_image_get_plane(raw, channels[c], &stride);
        const std::size_t rowBytes = std::size_t(width) * std::size_t((depth + 7) / 8);
        for (int y = 0; y < height; ++y)
            std::memcpy(target + qsizetype(y) * stride, source + qsizetype(y) * sourceStride, rowBytes);
    }
    if (const Owned<heif_color_profile_nclx> nclx = StreamColours(picture))
        heif_image_set_nclx_color_profile(raw, nclx.get());
    *out = image.release();
    return Fine;
}

// The planes of an 8-bit decoded picture, or width 0.
Planes PlanesOf(const de265_image *picture)
{
    Planes planes;
    const de265_chroma chroma = de265_get_chroma_format(picture);
    const int width = de265_get_image_width(picture, 0), height = de265_get_image_height(picture, 0);
    const int shiftX = chroma == de265_chroma_444 ? 0 : 1, shiftY = chroma == de265_chroma_420 ? 1 : 0;
    for (int c = 0; c < (chroma == de265_chroma_mono ? 1 : 3); ++c) {
        Plane &plane = planes.colour[c];
        plane.shiftX = c ? shiftX : 0;
        plane.shiftY = c ? shiftY : 0;
        // A plane is read only where it holds a byte for every pixel it must serve.
        if (de265_get_bits_per_pixel(picture, c) != 8 ||
            de265_get_image_width(picture, c) < (width + (1 << plane.shiftX) - 1) >> plane.shiftX ||
            de265_get_image_height(picture, c) < (height + (1 << plane.shiftY) - 1) >> plane.shiftY)
            return planes;
        plane.data = de265_get_image_plane(picture, c, &plane.stride);
        if (!plane.data)
            return planes;
    }
    if (chroma == de265_chroma_mono)
        planes.colour[1] = planes.colour[2] = Plane{&NeutralChroma, 0, WholeLine, WholeLine};
    planes.width = width;
    planes.height = height;
    return planes;
}

// `shrunk` as an 8-bit planar RGB image.
heif_error AsPlanarRgb(const QImage &shrunk, heif_image **out)
{
    heif_image *raw = nullptr;
    if (const heif_error error =
            heif_image_create(shrunk.width(), shrunk.height(), heif_colorspace_RGB, heif_chroma_444, &raw);
        error.code != heif_error_Ok)
        return error;
    Owned<heif_image> image(raw);
    uint8_t *planes[3] = {};
    int strides[3] = {};
    const heif_channel channels[3] = {heif_channel_R, heif_channel_G, heif_channel_B};
    for (int c = 0; c < 3; ++c) {
        if (const heif_error error =
                heif_image_add_plane(raw, channels[c], shrunk.width(), shrunk.height(), 8);
            error.code != heif_error_Ok)
            return error;
        planes[c] = heif_image_get_plane(raw, channels[c], &strides[c]);
    }
    for (int y = 0; y < shrunk.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(shrunk.constScanLine(y));
        for (int x = 0; x < shrunk.width(); ++x) {
            planes[0][qsizetype(y) * strides[0] + x] = uint8_t(qRed(line[x]));
            planes[1][qsizetype(y) * strides[1] + x] = uint8_t(qGreen(line[x]));
            planes[2][qsizetype(y) * strides[2] + x] = uint8_t(qBlue(line[x]));
        }
    }
    *out = image.release();
    return Fine;
}

} // namespace

// The decoder's entry points, as libheif's plugin table names them.
struct HevcDecoding {
    static const char *Name() { return "libde265 HEVC decoder, on the calling thread"; }

    static int Supports(heif_compression_format format)
    {
        // Above the priority of libheif's own decoders (100).
        return format == heif_compression_HEVC ? 200 : 0;
    }

    static heif_error New(void **out)
    {
        auto *decoder = new (std::nothrow) Decoder;
        if (!decoder)
            return NoMemory();
        decoder->context = de265_new_decoder();
        if (!decoder->context) {
            delete decoder;
            return NoMemory();
        }
        *out = decoder;
        return Fine;
    }

    static void Free(void *raw)
    {
        auto *decoder = static_cast<Decoder *>(raw);
        de265_free_decoder(decoder->context);
        delete decoder;
    }

    // The coded picture: NAL units, each after its size in 4 bytes.
    static heif_error Push(void *raw, const void *data, size_t size)
    {
        auto *decoder = static_cast<Decoder *>(raw);
        const auto *bytes = static_cast<const uint8_t *>(data);
        for (size_t at = 0; at < size;) {
            if (size - at < 4)
                return Failed(heif_error_Decoder_plugin_error, heif_suberror_End_of_data,
                              "a NAL unit is cut short");
            const uint32_t length = uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 |
                                    uint32_t(bytes[at + 2]) << 8 | uint32_t(bytes[at + 3]);
            at += 4;
            if (length > size - at || length > uint32_t(INT32_MAX))
                return Failed(heif_error_Decoder_plugin_error, heif_suberror_End_of_data,
                              "a NAL unit is cut short");
            if (de265_push_NAL(decoder->context, bytes + at, int(length), 0, nullptr) ==
                DE265_ERROR_OUT_OF_MEMORY)
                return NoMemory();
            at += length;
        }
        return Fine;
    }

    static heif_error Decode(void *raw, heif_image **out)
    {
        *out = nullptr;
        auto *decoder = static_cast<Decoder *>(raw);
        de265_flush_data(decoder->context);
        const de265_image *picture = nullptr;
        for (int more = 1; more && !picture;) {
            more = 0;
            const de265_error error = de265_decode(decoder->context, &more);
            if (error == DE265_ERROR_OUT_OF_MEMORY)
                return NoMemory();
            if (error != DE265_OK)
                break;
            picture = de265_get_next_picture(decoder->context);
        }
        if (!picture)
            return Failed(heif_error_Decoder_plugin_error, heif_suberror_Unspecified,
                          "no picture was decoded");
        const heif_error result = Shrunk(picture, out) ? Fine : Copied(picture, out);
        de265_release_next_picture(decoder->context);
        return result;
    }

    // True when the picture is the one the thread's ShrinkOnDecode asks for and came out shrunk
    // into `out`; false when it is to be copied whole.
    static bool Shrunk(const de265_image *picture, heif_image **out)
    {
        ShrinkOnDecode *request = currentShrink;
        // The size libheif gives for a turned picture may be the turned one.
        const QSize size(de265_get_image_width(picture, 0), de265_get_image_height(picture, 0));
        if (!request || request->m_shrunk || request->reduction <= 1 ||
            (size != request->codedSize && size != request->codedSize.transposed()))
            return false;
        const Planes planes = PlanesOf(picture);
        if (planes.width == 0)
            return false;
        ColourMatrix matrix;
        if (request->matrix) {
            matrix = *request->matrix;
        } else {
            const Owned<heif_color_profile_nclx> nclx = StreamColours(picture);
            matrix = ColourMatrix::Of(nclx.get());
        }
        const QImage shrunk = ShrunkPlanesToRgb(planes, matrix, request->reduction);
        if (shrunk.isNull() || AsPlanarRgb(shrunk, out).code != heif_error_Ok)
            return false;
        request->m_shrunk = true;
        return true;
    }
};

namespace
{

const heif_decoder_plugin OwnHevcDecoder{
    1,
    HevcDecoding::Name,
    nullptr,
    nullptr,
    HevcDecoding::Supports,
    HevcDecoding::New,
    HevcDecoding::Free,
    HevcDecoding::Push,
    HevcDecoding::Decode,
    nullptr,
    nullptr,
};

} // namespace

heif_error UseOwnHevcDecoder(heif_context *context)
{
    return heif_register_decoder(context, &OwnHevcDecoder);
}

ShrinkOnDecode::ShrinkOnDecode(QSize coded, int by, std::optional<ColourMatrix> colours)
    : codedSize(coded), reduction(by), matrix(colours), m_outer(currentShrink)
{
    currentShrink = this;
}

ShrinkOnDecode::~ShrinkOnDecode()
{
    currentShrink = m_outer;
}
