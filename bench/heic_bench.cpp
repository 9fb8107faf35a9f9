// HEIC figures: 12 megapixel phone-like HEICs (one image with and without a thumbnail, and a grid
// of 512-pixel tiles as phones write them) converted to 160 x 120 beside vipsthumbnail on the same
// file in the same run; the grid decoded whole against heif-convert's decoding of it; and the peak
// memory of converting the grid, a 48 megapixel HEIC, and four 48 megapixel HEICs at once. Prints
// figures; it is no test. The pictures are made with libheif's encoder; vipsthumbnail
// (libvips-tools) and heif-convert (libheif-examples) are needed for the comparisons.
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
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

namespace
{

const QSize Canvas(160, 120);
constexpr int Runs = 5;
constexpr int ParallelLoads = 4;

// Writes the picture `make` gives to `path`, unless that file is there from an earlier run.
bool Keep(const QString &path, const std::function<QByteArray()> &make)
{
    if (QFile::exists(path))
        return true;
    const QByteArray bytes = make();
    QFile file(path);
    return !bytes.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A photo-like picture as one HEVC image, made by libheif's encoder at a phone's quality in
// `chroma` ("420" as phones write, or "444"), with a thumbnail of `thumbnail` pixels a side as
// phones write one (0: none).
bool MakeHeic(const QString &path, int width, int height, const char *chroma, int thumbnail)
{
    return Keep(path, [&] {
        ToolPictures::HeicCoding coding;
        coding.chroma = chroma;
        coding.quality = 80;
        coding.thumbnailSide = thumbnail;
        return ToolPictures::LibheifHeic(PhotoSet::PhotoLike(width, height, 7), coding);
    });
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

// The picture at `path` decoded whole by us and by heif-convert: how far apart their colours are.
void CompareWithHeifConvert(const QString &path, const QString &folder)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("heif-convert"));
    const QString png = folder + "/heif_convert.png";
    if (tool.isEmpty() || QProcess::execute(tool, {path, png}) != 0) {
        std::printf("  against heif-convert: not installed\n");
        return;
    }
    const QImage theirs = QImage(png).convertToFormat(QImage::Format_RGB32);
    const Outcome<QImage> ours = LoadPicture(path);
    if (!ours || ours->size() != theirs.size()) {
        std::printf("  against heif-convert: sizes differ (%s)\n", ours ? "" : qPrintable(ours.reason()));
        return;
    }
    double sum = 0;
    int largest = 0;
    for (int y = 0; y < theirs.height(); ++y) {
        const auto *a = reinterpret_cast<const QRgb *>(theirs.constScanLine(y));
        const auto *b = reinterpret_cast<const QRgb *>(ours->constScanLine(y));
        for (int x = 0; x < theirs.width(); ++x) {
            const int d[] = {std::abs(qRed(a[x]) - qRed(b[x])), std::abs(qGreen(a[x]) - qGreen(b[x])),
                             std::abs(qBlue(a[x]) - qBlue(b[x]))};
            sum += d[0] + d[1] + d[2];
            largest = std::max({largest, d[0], d[1], d[2]});
        }
    }
    std::printf("  decoded whole (%d x %d) against heif-convert: mean difference %.3f, largest %d (of 255)\n",
                theirs.width(), theirs.height(), sum / (3.0 * theirs.width() * theirs.height()), largest);
}

// In a child process of its own, so only the conversion counts: the peak resident memory while
// `loads` threads convert the picture at once.
int PeakOfConversion(const QString &path, const QString &out, int loads)
{
    ResetPeak();
    const double before = PeakResidentMb();
    std::vector<std::thread> threads;
    std::atomic<int> failed = 0;
    for (int load = 0; load < loads; ++load)
        threads.emplace_back([&, load] { failed += !Convert(path, out + QString::number(load)); });
    for (std::thread &thread : threads)
        thread.join();
    if (failed)
        return 1;
    std::printf("%.0f MB peak (%.0f MB before loading)", PeakResidentMb(), before);
    return 0;
}

int PrintPeak(const QString &program, const QString &path, const QString &out, int loads, const char *target)
{
    std::fflush(stdout);
    const int failed = QProcess::execute(program, {"--peak", path, out, QString::number(loads)});
    std::printf("   target < %s\n", target);
    return failed;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == "--peak")
        return PeakOfConversion(args[2], args[3], args[4].toInt());
    QTemporaryDir temporary;
    const QString folder = args.size() > 1 ? args[1] : temporary.path();
    QDir().mkpath(folder);
    const QString phone = folder + "/12mp_420_thumbnail.heic", plain = folder + "/12mp_420.heic",
                  grid = folder + "/12mp_grid_512.heic", out = folder + "/out.jpg";
    std::printf("making the pictures with libheif's encoder (a few minutes)...\n");
    std::fflush(stdout);
    // As a phone held upright stores it: 4032 x 3024 in tiles, turned a quarter clockwise.
    if (!MakeHeic(phone, 4032, 3024, "420", 320) || !MakeHeic(plain, 4032, 3024, "420", 0) ||
        !Keep(grid, [] { return ToolPictures::GridHeic(PhotoSet::PhotoLike(4032, 3024, 7), 512, 3, 80); }))
        return 1;

    for (const auto &[name, path] : {std::pair{"12 MP 4:2:0 HEIC with a 320 px thumbnail", phone},
                                     std::pair{"12 MP 4:2:0 HEIC without a thumbnail", plain},
                                     std::pair{"12 MP grid HEIC (4032 x 3024, 512 px tiles, irot)", grid}}) {
        const double ours = OurMs(path, out), vips = VipsMs(path, folder);
        std::printf("%s to 160 x 120: ours %.1f ms", name, ours);
        if (vips > 0)
            std::printf(", vipsthumbnail %.1f ms, ratio %.2f   target <= 1\n", vips, ours / vips);
        else
            std::printf(", vipsthumbnail not installed\n");
    }
    CompareWithHeifConvert(grid, folder);

    int failed = 0;
    std::printf("12 MP grid HEIC to 160 x 120: ");
    failed += PrintPeak(app.applicationFilePath(), grid, out, 1, "100 MB");
    for (const char *chroma : {"420", "444"}) {
        const QString large = folder + "/48mp_" + chroma + ".heic";
        if (!MakeHeic(large, 8064, 6048, chroma, 0))
            return 1;
        std::printf("48 MP %c:%c:%c HEIC (8064 x 6048, no thumbnail) to 160 x 120: ", chroma[0], chroma[1],
                    chroma[2]);
        // libheif alone peaks at about 420 MB bringing such a picture to 8-bit RGB.
        failed += PrintPeak(app.applicationFilePath(), large, out, 1, "450 MB");
    }
    std::printf("%d threads each converting the 48 MP 4:2:0 HEIC at once: ", ParallelLoads);
    failed += PrintPeak(app.applicationFilePath(), folder + "/48mp_420.heic", out, ParallelLoads,
                        "that of one (they decode one at a time)");
    return failed;
}
