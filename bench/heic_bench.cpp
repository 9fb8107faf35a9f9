// HEIC figures: a 12 megapixel phone-like HEIC converted to 160 x 120 beside vipsthumbnail on
// the same file, and the peak memory of converting a 48 megapixel HEIC. Prints figures; it is no
// test. The pictures are made with libheif's encoder; vipsthumbnail (libvips-tools) is needed for the
// comparison.
//   galvora_heic_bench [folder]   keeps the made pictures in `folder` (made again when missing)

#include "photo_set.h"
#include "picture_conversion/bmp_to_jpeg.h"
#include "picture_conversion/conversion_steps.h"
#include "picture_conversion/picture_loader.h"
#include "process_figures.h"
#include "support/tool_pictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

const QSize Canvas(160, 120);
constexpr int Runs = 5;

// The HEIC of a photo-like picture, made by libheif's encoder at a phone's quality in `chroma`
// ("420" as phones write, or "444"), with a thumbnail of `thumbnail` pixels a side as phones
// write one (0: none). One image rather than a phone's tiles.
bool MakeHeic(const QString &path, int width, int height, const char *chroma, int thumbnail)
{
    if (QFile::exists(path))
        return true;
    ToolPictures::HeicCoding coding;
    coding.chroma = chroma;
    coding.quality = 80;
    coding.thumbnailSide = thumbnail;
    const QByteArray heic = ToolPictures::LibheifHeic(PhotoSet::PhotoLike(width, height, 7), coding);
    QFile file(path);
    return !heic.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(heic) == heic.size();
}

// Load for the canvas, stretch, encode: the work of one converted picture. False on a failure.
bool Convert(const QString &path, const QString &out)
{
    const Outcome<QImage> picture = LoadPicture(path, Canvas);
    if (!picture) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(picture.reason()));
        return false;
    }
    const Outcome<QImage> canvas =
        StretchOntoCanvas(picture.value(), QImage(Canvas, QImage::Format_RGB32), CanvasFill{});
    const Outcome<QByteArray> jpeg = canvas ? EncodeJpeg(canvas.value(), 75) : canvas.failure();
    QFile file(out);
    return jpeg && file.open(QIODevice::WriteOnly) && file.write(jpeg.value()) == jpeg->size();
}

double MedianMs(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Our time per picture, median of the runs.
double OurMs(const QString &path, const QString &out)
{
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (!Convert(path, out))
            return -1;
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return MedianMs(times);
}

// vipsthumbnail's time per picture: the file given `Runs` times in one process, so its start-up
// counts once; best of three such processes. Negative without vipsthumbnail.
double VipsMs(const QString &path, const QString &outFolder)
{
    const QString vips = QStandardPaths::findExecutable(QStringLiteral("vipsthumbnail"));
    if (vips.isEmpty())
        return -1;
    QStringList arguments{"-s", "160x120!", "-o", outFolder + "/%s_vips.jpg[Q=75]"};
    for (int run = 0; run < Runs; ++run)
        arguments << path;
    std::vector<double> times;
    for (int process = 0; process < 3; ++process) {
        QElapsedTimer timer;
        timer.start();
        if (QProcess::execute(vips, arguments) != 0)
            return -1;
        times.push_back(double(timer.nsecsElapsed()) / 1e6 / Runs);
    }
    return *std::min_element(times.begin(), times.end());
}

// In a child process of its own, so only the conversion counts: the peak resident memory.
int PeakOfConversion(const QString &path, const QString &out)
{
    ResetPeak();
    const double before = PeakResidentMb();
    if (!Convert(path, out))
        return 1;
    std::printf("%.0f MB peak (%.0f MB before loading)\n", PeakResidentMb(), before);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == "--peak")
        return PeakOfConversion(args[2], args[3]);
    QTemporaryDir temporary;
    const QString folder = args.size() > 1 ? args[1] : temporary.path();
    QDir().mkpath(folder);
    const QString phone = folder + "/12mp_420_thumbnail.heic", plain = folder + "/12mp_420.heic",
                  out = folder + "/out.jpg";
    std::printf("making the pictures with libheif's encoder (a few minutes)...\n");
    std::fflush(stdout);
    if (!MakeHeic(phone, 4032, 3024, "420", 320) || !MakeHeic(plain, 4032, 3024, "420", 0))
        return 1;

    for (const auto &[name, path] : {std::pair{"12 MP 4:2:0 HEIC with a 320 px thumbnail", phone},
                                     std::pair{"12 MP 4:2:0 HEIC without a thumbnail", plain}}) {
        const double ours = OurMs(path, out), vips = VipsMs(path, folder);
        std::printf("%s to 160 x 120: ours %.1f ms", name, ours);
        if (vips > 0)
            std::printf(", vipsthumbnail %.1f ms, ratio %.2f   target < 2\n", vips, ours / vips);
        else
            std::printf(", vipsthumbnail not installed\n");
    }
    int failed = 0;
    for (const char *chroma : {"420", "444"}) {
        const QString large = folder + "/48mp_" + chroma + ".heic";
        if (!MakeHeic(large, 8064, 6048, chroma, 0))
            return 1;
        std::printf("48 MP %c:%c:%c HEIC (8064 x 6048, no thumbnail) to 160 x 120: ", chroma[0], chroma[1],
                    chroma[2]);
        std::fflush(stdout);
        failed += QProcess::execute(app.applicationFilePath(), {"--peak", large, out});
        std::printf("   target < 300 MB\n");
    }
    return failed;
}
