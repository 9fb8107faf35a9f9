#pragma once

#include "shared/host.h"

#include <QString>
#include <cstdint>

// Creates programFolder/folder and its images folder and turns every selected picture
// into images/pictureN.jpg of width x height pixels at the host's JpegQuality.
// Gives back what the Make command tells the user, and whether the run was abandoned.
ProductionResult ConvertPictures(Host &host, const QString &folder, const QString &fileName,
                                 std::int32_t width, std::int32_t height);
