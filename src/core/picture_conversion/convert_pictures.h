#pragma once

#include "shared/host.h"
#include "shared/production_request.h"

#include <cstdint>

// Creates albumHome/folder and its images folder and turns every selected picture into
// images/pictureN.jpg of width x height pixels at the request's JpegQuality. The result says
// how it ended, with the message the user is told, and holds the pictures' PictureDates.
// A run that ends before it wrote a picture takes away the folders it made.
ProductionResult ConvertPictures(const ProductionRequest &request, Host &host, std::int32_t width,
                                 std::int32_t height);
