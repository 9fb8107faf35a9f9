#pragma once

#include <QByteArray>
#include <QImage>
#include <string>

// Pictures that carry EXIF and XMP, written by Exiv2 (libheif for HEIC).
namespace MetadataPictures
{

// What to write; an empty or zero field is left out.
struct Tags {
    int orientation = 0;
    std::string taken = {};           // DateTimeOriginal, "YYYY:MM:DD HH:MM:SS"
    std::string offset = {};          // OffsetTimeOriginal, "+01:00"
    std::string exifDescription = {}; // ImageDescription
    std::string xmpDescription = {};  // dc:description in the default language
};

// The tags' EXIF part as a TIFF structure (no "Exif\0\0" before it), little-endian.
QByteArray ExifBlock(const Tags &tags);

// The tags' XMP part as a packet, or empty when it has none.
QByteArray XmpPacket(const Tags &tags);

// A JPEG, PNG, WebP or TIFF file with the tags written into it; empty when Exiv2 cannot.
QByteArray WithTags(const QByteArray &picture, const Tags &tags);

// `image` as a HEIC through libheif's encoder with the tags in its Exif and XMP blocks; empty
// when encoding fails.
QByteArray HeicWithTags(const QImage &image, const Tags &tags);

} // namespace MetadataPictures
