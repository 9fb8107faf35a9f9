#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// A full source path as the Thumbnails page shows it: upper-cased, then HTML-escaped
// (& < > "), since a file name is data, not markup.
QString ThumbnailsPathText(const QString &fullPath);

// The Thumbnails lines after the common head, from "</head>" to "</html>": one block per
// picture of `paths` (List2), with dates[i] as the file date of picture i + 1.
QStringList ThumbnailsBodyLines(const QString &pageColour, const QStringList &paths, const QStringList &dates,
                                std::int32_t width, std::int32_t height);
