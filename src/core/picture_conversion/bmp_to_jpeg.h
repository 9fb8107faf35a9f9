#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Encodes the BMP file at bmpPath as a baseline JPEG at jpegPath. A quality above 100
// counts as 100 and one below 1 as 1. Returns whether the JPEG file was written.
bool BmpToJpeg(const QString &bmpPath, const QString &jpegPath, int quality);

// `image` as a baseline 4:2:0 JPEG in memory (quality clamped to 1..100), or empty bytes on failure.
QByteArray EncodeJpeg(const QImage &image, int quality);
