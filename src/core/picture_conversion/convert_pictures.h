#pragma once

#include "picture_conversion/bmp_to_jpeg.h"
#include "shared/host.h"
#include "shared/production_request.h"

#include <cstdint>
#include <functional>

// Turns the scratch BMP into the bytes of a JPEG at a quality, as EncodeBmpFile does. A failure
// here is the encoder's own: the picture is lost, the run goes on.
using BmpEncoder = std::function<Outcome<QByteArray>(const QString &bmpPath, int quality)>;

// Creates albumHome/folder and its images folder and turns every selected picture into
// images/pictureN.jpg of width x height pixels at the request's JpegQuality. The result says
// how it ended, with the message the user is told, and holds the pictures' PictureDates.
// A run that ends before it wrote a picture takes away the folders it made.
// `encode` stands in for the JPEG encoder where a test needs one that fails.
ProductionResult ConvertPictures(const ProductionRequest &request, Host &host, std::int32_t width,
                                 std::int32_t height, const BmpEncoder &encode = EncodeBmpFile);
