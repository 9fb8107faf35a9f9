#pragma once

#include "shared/outcome.h"

#include <QSize>
#include <QString>

// Why a picture could not be loaded, in the words the user reads after "could not be read: ".
// Every decoder uses the same texts, so a cut-short HEIC reads like a cut-short JPEG.
namespace LoadingReasons
{

QString EndsEarly();
QString Damaged();
QString NoMemory();
QString MorePixelsThan(qint64 limit);
// A picture whose `part` ("codec", "bit depth", ...) no decoder here reads.
QString CannotDecode(const QString &part);

// Whether a picture of width x height pixels may be decoded; the failure says why not.
Status CheckPictureSize(qint64 width, qint64 height);

// The smallest of 1, 2, 4 and 8 by which a picture of `size` may be divided (rounding up) and
// still cover `cover` in both directions; 1 for an empty `cover`.
int ReductionCovering(QSize size, QSize cover);

} // namespace LoadingReasons
