#pragma once

#include "picture_conversion/picture_loader.h"

#include <QString>
#include <QStringList>

// Whether Picture Show turns a picture of this kind into a JPEG: browsers show JPEG, GIF, BMP,
// PNG, WebP and AVIF pictures as they are, but not HEIC or TIFF.
bool PictureShowConverts(PictureKind kind);

// The name picture `k` gets in the album: "picture<k>." and the suffix of its listed name in lower
// case where that is a suffix its content is known by (".jpeg" stays ".jpeg"; a JPEG named ".gif" or
// "a.jp\"><script>" gets ".jpg", the usual suffix of its kind), or ".jpg" for a picture that is
// converted. The name goes into the page as it is: it holds nothing but letters, digits and a dot.
QString PictureShowFileName(int k, const QString &listedName, PictureKind kind);

// The Picture Show lines after the common head, from "</head>" to "</html>".
// `files` are the pictures' names in the album (picture1.jpg ...) in selection order.
QStringList PictureShowBodyLines(const QString &title, const QString &pageColour, const QStringList &files);
