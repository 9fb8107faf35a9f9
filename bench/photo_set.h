#pragma once

#include <QImage>
#include <QString>
#include <cstdint>

// Pictures that look enough like photographs to load the decoders the way real ones do:
// smooth light and colour gradients, some texture and a little sensor noise.
namespace PhotoSet
{

// A width x height photo-like picture; `seed` varies the scene, `grain` is the strength of the
// sensor noise (fine detail makes the JPEG files as large as a camera's).
QImage PhotoLike(int width, int height, std::uint32_t seed, int grain = 10);

// Writes `image` as a JPEG of the given quality (4:2:0) through TurboJPEG.
bool WriteJpeg(const QImage &image, const QString &path, int quality);

// Writes `image` as a one-frame GIF with a 6 x 7 x 6 colour cube and ordered dithering,
// compressed with the usual variable-width LZW.
bool WriteGif(const QImage &image, const QString &path);

// Runs this program again as "<program> --generate <folder> <more...>", so that the memory spent
// on making the pictures does not count in the measured process. False (and a message) on failure.
bool GenerateInChildProcess(const QString &folder, const QStringList &more = {});

} // namespace PhotoSet
