#pragma once

#include "shared/outcome.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// The BMP file at bmpPath as a baseline JPEG in memory. A quality above 100 counts as 100 and one
// below 1 as 1. Fails only where the encoder does (a BMP it cannot read, memory it cannot get).
Outcome<QByteArray> EncodeBmpFile(const QString &bmpPath, int quality);

// Encodes the BMP file at bmpPath as a baseline JPEG at jpegPath, a new file. The failure says
// why: the encoder's or the file system's reason.
Status BmpToJpeg(const QString &bmpPath, const QString &jpegPath, int quality);

// How the JPEG's data is laid out: baseline, as every page but the web album's has it, or progressive
// (a coarse whole picture first, and some 9 % fewer bytes, for seven times the encoding work).
enum class JpegCoding { Baseline, Progressive };

// `image` as a 4:2:0 JPEG in memory (quality clamped to 1..100). The failure says why the encoder
// gave up.
Outcome<QByteArray> EncodeJpeg(const QImage &image, int quality, JpegCoding coding = JpegCoding::Baseline);
