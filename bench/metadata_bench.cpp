// What reading EXIF and XMP costs beside decoding: a 12 megapixel photo-like JPEG carrying an
// orientation, a date taken, a description and an XMP packet, read by the metadata library from
// its bytes and from its file, and loaded as the conversion loads it (for a 160 x 120 canvas,
// where the decoding is cheapest, and whole); and the same picture as a PNG, whose metadata the
// loader reads from the bytes it holds. Prints figures; it is no test.

#include "photo_set.h"
#include "picture_conversion/picture_loader.h"
#include "picture_conversion/picture_metadata.h"
#include "support/metadata_pictures.h"
#include "support/picture_test_files.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{

// The median wall time of `runs` calls of `work`, in microseconds.
double MedianUs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        work();
        times.push_back(double(clock.nsecsElapsed()) / 1000.0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("photo.jpg"), pngPath = dir.filePath("photo.png");
    const QImage photo = PhotoSet::PhotoLike(4000, 3000, 7);
    if (!PhotoSet::WriteJpeg(photo, path, 90) || !photo.save(pngPath, "png"))
        return 1;
    const QByteArray bytes =
        MetadataPictures::WithTags(PictureFiles::ReadBytes(path), {.orientation = 6,
                                                                   .taken = "2024:05:06 07:08:09",
                                                                   .offset = "+02:00",
                                                                   .exifDescription = "Harbour at dawn",
                                                                   .xmpDescription = "Harbour at dawn"});
    const QByteArray png = MetadataPictures::WithTags(PictureFiles::ReadBytes(pngPath), {.orientation = 6});
    if (bytes.isEmpty() || !PictureFiles::WriteBytes(path, bytes) || png.isEmpty() ||
        !PictureFiles::WriteBytes(pngPath, png))
        return 1;
    bool right = true;
    const double fromBytes = MedianUs(200, [&] { right &= ReadPictureMetadata(bytes).orientation == 6; });
    const double fromFile = MedianUs(200, [&] { right &= ReadPictureMetadataFile(path).orientation == 6; });
    const double forCanvas = MedianUs(9, [&] { right &= LoadPicture(path, QSize(160, 120)).ok(); });
    const double whole = MedianUs(3, [&] { right &= LoadPicture(path).ok(); });
    const double pngFile = MedianUs(200, [&] { right &= ReadPictureMetadataFile(pngPath).orientation == 6; });
    const double pngBytes = MedianUs(200, [&] { right &= ReadPictureMetadata(png).orientation == 6; });
    const double pngLoad = MedianUs(3, [&] { right &= LoadPicture(pngPath, QSize(160, 120)).ok(); });
    if (!right)
        return 1;
    std::printf("12 MP JPEG of %lld KB with EXIF and XMP (medians)\n", bytes.size() / 1024);
    std::printf("  metadata from its bytes:        %8.0f us\n", fromBytes);
    std::printf("  metadata from its file:         %8.0f us\n", fromFile);
    std::printf("  load for a 160 x 120 canvas:    %8.0f us (metadata %.1f %% of it)\n", forCanvas,
                100.0 * fromBytes / forCanvas);
    std::printf("  load whole:                     %8.0f us (metadata %.2f %% of it)\n", whole,
                100.0 * fromBytes / whole);
    std::printf("12 MP PNG of %lld KB with EXIF\n", png.size() / 1024);
    std::printf("  metadata from its bytes:        %8.0f us\n", pngBytes);
    std::printf("  metadata from its file:         %8.0f us\n", pngFile);
    std::printf("  load for a 160 x 120 canvas:    %8.0f us (metadata %.2f %% of it)\n", pngLoad,
                100.0 * pngBytes / pngLoad);
    return 0;
}
