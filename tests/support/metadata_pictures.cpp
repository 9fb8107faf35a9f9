#include "support/metadata_pictures.h"

#include "picture_conversion/picture_metadata.h"

#include <cstring>
#include <exiv2/exiv2.hpp>
#include <libheif/heif.h>
#include <vector>

namespace MetadataPictures
{

namespace
{

// The program sets Exiv2 up (its XMP toolkit with a lock) when it first reads; that must come
// before anything here uses the toolkit. The start of a JPEG is enough to get there.
void LetTheProgramSetUpExiv2()
{
    ReadPictureMetadata(QByteArray("\xff\xd8\xff", 3));
}

Exiv2::ExifData ExifOf(const Tags &tags)
{
    Exiv2::ExifData exif;
    if (tags.orientation > 0)
        exif["Exif.Image.Orientation"] = uint16_t(tags.orientation);
    if (!tags.exifDescription.empty())
        exif["Exif.Image.ImageDescription"] = tags.exifDescription;
    if (!tags.taken.empty())
        exif["Exif.Photo.DateTimeOriginal"] = tags.taken;
    if (!tags.offset.empty())
        exif["Exif.Photo.OffsetTimeOriginal"] = tags.offset;
    return exif;
}

Exiv2::XmpData XmpOf(const Tags &tags)
{
    Exiv2::XmpData xmp;
    if (!tags.xmpDescription.empty())
        xmp["Xmp.dc.description"] = "lang=\"x-default\" " + tags.xmpDescription;
    return xmp;
}

heif_error AppendTo(heif_context *, const void *data, size_t size, void *userdata)
{
    static_cast<QByteArray *>(userdata)->append(static_cast<const char *>(data), qsizetype(size));
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

} // namespace

QByteArray ExifBlock(const Tags &tags)
{
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, ExifOf(tags));
    return QByteArray(reinterpret_cast<const char *>(blob.data()), qsizetype(blob.size()));
}

QByteArray XmpPacket(const Tags &tags)
{
    LetTheProgramSetUpExiv2();
    std::string packet;
    const Exiv2::XmpData xmp = XmpOf(tags);
    if (xmp.empty() || Exiv2::XmpParser::encode(packet, xmp) != 0)
        return QByteArray();
    return QByteArray::fromStdString(packet);
}

QByteArray WithTags(const QByteArray &picture, const Tags &tags)
{
    LetTheProgramSetUpExiv2();
    try {
        const std::vector<Exiv2::byte> copy(picture.begin(), picture.end());
        const Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(copy.data(), long(copy.size()));
        image->readMetadata();
        image->setExifData(ExifOf(tags));
        image->setXmpData(XmpOf(tags));
        image->writeMetadata();
        Exiv2::BasicIo &io = image->io();
        io.seek(0, Exiv2::BasicIo::beg);
        const Exiv2::DataBuf written = io.read(io.size());
        return QByteArray(reinterpret_cast<const char *>(written.pData_), qsizetype(written.size_));
    } catch (const std::exception &) {
        return QByteArray();
    }
}

QByteArray HeicWithTags(const QImage &image, const Tags &tags)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const QByteArray exif = ExifBlock(tags), xmp = XmpPacket(tags);
    heif_context *context = heif_context_alloc();
    heif_encoder *encoder = nullptr;
    heif_image *picture = nullptr;
    heif_image_handle *handle = nullptr;
    QByteArray bytes;
    heif_writer writer{1, &AppendTo};
    auto ok = [](heif_error error) { return error.code == heif_error_Ok; };
    if (ok(heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder)) &&
        ok(heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                             &picture)) &&
        ok(heif_image_add_plane(picture, heif_channel_interleaved, rgb.width(), rgb.height(), 8))) {
        int stride = 0;
        uint8_t *plane = heif_image_get_plane(picture, heif_channel_interleaved, &stride);
        for (int y = 0; y < rgb.height(); ++y)
            std::memcpy(plane + qsizetype(y) * stride, rgb.constScanLine(y), std::size_t(rgb.width()) * 3);
        if (!ok(heif_context_encode_image(context, picture, encoder, nullptr, &handle)) ||
            !ok(heif_context_add_exif_metadata(context, handle, exif.constData(), int(exif.size()))) ||
            (!xmp.isEmpty() &&
             !ok(heif_context_add_XMP_metadata(context, handle, xmp.constData(), int(xmp.size())))) ||
            !ok(heif_context_write(context, &writer, &bytes)))
            bytes.clear();
    }
    heif_image_handle_release(handle);
    heif_image_release(picture);
    if (encoder)
        heif_encoder_release(encoder);
    heif_context_free(context);
    return bytes;
}

} // namespace MetadataPictures
