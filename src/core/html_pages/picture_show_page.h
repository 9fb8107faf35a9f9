#pragma once

#include "picture_conversion/picture_loader.h"

#include <QString>
#include <QStringList>

// Whether Picture Show turns a picture of this kind into a JPEG: browsers show JPEG, GIF, BMP,
// PNG, WebP and AVIF pictures as they are, but not HEIC or TIFF.
bool PictureShowConverts(PictureKind kind);

// The name picture `k` gets in the album: "picture<k>." and the suffix of its listed name in lower
// case (".jpeg" stays ".jpeg"; a name without one gets its kind's usual suffix), or ".jpg" for a
// picture that is converted.
QString PictureShowFileName(int k, const QString &listedName, PictureKind kind);

// The Picture Show lines after the common head, from "</head>" to "</html>".
// `files` are the pictures' names in the album (picture1.jpg ...) in selection order.
QStringList PictureShowBodyLines(const QString &title, const QString &pageColour, const QStringList &files);
