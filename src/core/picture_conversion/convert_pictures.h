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
// A run that ends before it wrote a picture takes away the folders it made. With the request's
// keepGoing, a picture that cannot be read is left out (the result names it) and the others are
// numbered without a gap.
// The pictures are read, put on their canvas and encoded on worker threads; the scratch BMP and
// everything the user sees stay on the calling thread, in order. `encode`, where a test needs an
// encoder that fails, is called there on the scratch BMP in place of the workers' encoding.
ProductionResult ConvertPictures(const ProductionRequest &request, Host &host, std::int32_t width,
                                 std::int32_t height, const BmpEncoder &encode = {});
