#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What a picture says about itself in its EXIF and XMP.
struct PictureMetadata {
    // EXIF orientation 1..8; 1 where none or unreadable. For HEIC and AVIF always 1: libheif
    // turns those upright from their own rotation and mirror boxes, which take the EXIF's place.
    int orientation = 1;
    QDateTime
        taken; // DateTimeOriginal, with OffsetTimeOriginal where present (else local time); invalid when none
    QString
        description; // EXIF ImageDescription, else XMP dc:description (x-default); trimmed; empty when none
};

// From a picture file's bytes (JPEG, PNG, WebP, TIFF; HEIC/AVIF through the EXIF/XMP blocks libheif hands
// over). Never fails: damaged or missing metadata gives the defaults. Safe to call from several threads at
// once.
PictureMetadata ReadPictureMetadata(const QByteArray &bytes);
PictureMetadata ReadPictureMetadataFile(const QString &path); // reads only what it needs where it can
