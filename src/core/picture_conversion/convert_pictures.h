#pragma once

#include <QString>
#include <cstdint>

class Host;

// Creates programFolder/folder and its Images folder and turns every selected picture
// into Images/pictureN.jpg of width x height pixels at the host's JpegQuality.
// On failure the user has been told and values().PageStyle is 99.
void ConvertPictures(Host &host, const QString &folder, const QString &fileName, std::int32_t width,
                     std::int32_t height);
