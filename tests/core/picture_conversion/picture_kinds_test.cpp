// Pictures as phones, browsers and editors make them: every kind loads by its content whatever
// its name, upright, and in sRGB, and survives the conversion with its colours.
#include "picture_conversion/bmp_to_jpeg.h"
#include "picture_conversion/conversion_steps.h"
#include "picture_conversion/heif_loading.h"
#include "picture_conversion/picture_loader.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"
#include "support/tool_pictures.h"

#include <QBuffer>
#include <QColorSpace>
#include <QColorTransform>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <turbojpeg.h>

using namespace ToolPictures;

namespace
{

const QSize Canvas(48, 36);

// The four quadrant colours of TestPictures::Quadrants at their centres, within `tolerance`.
void ExpectQuadrants(const QImage &image, int tolerance, const char *what, QColor bottomRight = Qt::yellow)
{
    ASSERT_FALSE(image.isNull()) << what;
    const int w = image.width(), h = image.height();
    const struct {
        int x, y;
        QColor colour;
    } samples[] = {{w / 4, h / 4, Qt::red},
                   {3 * w / 4, h / 4, Qt::green},
                   {w / 4, 3 * h / 4, Qt::blue},
                   {3 * w / 4, 3 * h / 4, bottomRight}};
    for (const auto &s : samples) {
        const QColor found = TestPictures::ColourAround(image, s.x, s.y, 1);
        EXPECT_TRUE(TestPictures::Near(found, s.colour, tolerance))
            << what << " at " << s.x << "," << s.y << ": found " << found.name().toStdString() << ", want "
            << s.colour.name().toStdString();
    }
}

// How a camera stores an upright scene for an EXIF orientation value (6: shown turned a quarter
// clockwise, 5: also mirrored, 8: a quarter anticlockwise).
QImage StoredFor(const QImage &upright, int orientation)
{
    switch (orientation) {
    case 5:
        return PictureFiles::Transposed(upright);
    case 6:
        return upright.transformed(QTransform().rotate(-90));
    case 8:
        return upright.transformed(QTransform().rotate(90));
    default:
        return upright;
    }
}

QByteArray WithQt(const QImage &image, const char *format, QImageIOHandler::Transformations turn = {})
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setTransformation(turn);
    return writer.write(image) ? bytes : QByteArray();
}

struct KindRow {
    const char *name;
    PictureKind kind;
    const char *tool;     // a program the row needs, or nullptr
    const char *misnamed; // a file name whose extension says another kind
    // The file's bytes for the upright picture.
    std::function<QByteArray(const QImage &upright)> bytes;
    int tolerance;
    bool transparentQuarter = false; // the bottom right quarter of the picture is transparent
};

class PictureKindsTest : public ::testing::TestWithParam<KindRow>
{
};

TEST_P(PictureKindsTest, LoadsUprightByContentAndConvertsWithItsColours)
{
    const KindRow &row = GetParam();
    if (row.tool && !Installed(row.tool))
        GTEST_SKIP() << row.tool << " is not installed (scripts/setup.sh installs it)";
    QImage upright = TestPictures::Quadrants(120, 90);
    if (row.transparentQuarter) {
        upright = upright.convertToFormat(QImage::Format_ARGB32);
        for (int y = 45; y < 90; ++y)
            std::fill_n(reinterpret_cast<QRgb *>(upright.scanLine(y)) + 60, 60, qRgba(0, 0, 0, 0));
    }
    const QByteArray bytes = row.bytes(upright);
    ASSERT_FALSE(bytes.isEmpty()) << "the picture could not be made";
    EXPECT_EQ(PictureKindOf(bytes.left(64)), row.kind);
    QTemporaryDir dir;
    for (const QString &name : {QStringLiteral("picture"), QString::fromLatin1(row.misnamed)}) {
        const QString path = dir.filePath(name);
        ASSERT_TRUE(PictureFiles::WriteBytes(path, bytes));
        const Outcome<QImage> full = LoadPicture(path);
        ASSERT_TRUE(full.ok()) << qPrintable(name) << ": " << qPrintable(full.reason());
        EXPECT_EQ(full.value().size(), upright.size()) << qPrintable(name);
        if (row.transparentQuarter) {
            EXPECT_EQ(full.value().format(), QImage::Format_ARGB32_Premultiplied);
            EXPECT_GE(qAlpha(full.value().pixel(30, 22)), 255 - row.tolerance) << "an opaque quarter";
            EXPECT_LE(qAlpha(full.value().pixel(90, 67)), row.tolerance) << "the transparent quarter";
        }
        // Premultiplied, a transparent pixel is black.
        ExpectQuadrants(full.value(), row.tolerance, "loaded",
                        row.transparentQuarter ? Qt::black : Qt::yellow);

        // As a production converts it: loaded for the canvas, stretched, encoded, read back.
        const Outcome<QImage> forCanvas = LoadPicture(path, Canvas);
        ASSERT_TRUE(forCanvas.ok()) << qPrintable(forCanvas.reason());
        EXPECT_GE(forCanvas.value().width(), Canvas.width());
        EXPECT_GE(forCanvas.value().height(), Canvas.height());
        const Outcome<QImage> canvas =
            StretchOntoCanvas(forCanvas.value(), QImage(Canvas, QImage::Format_RGB32), CanvasFill{});
        ASSERT_TRUE(canvas.ok()) << qPrintable(canvas.reason());
        const Outcome<QByteArray> jpeg = EncodeJpeg(canvas.value(), 95);
        ASSERT_TRUE(jpeg.ok()) << qPrintable(jpeg.reason());
        const Outcome<QImage> converted = LoadPictureFromBytes(jpeg.value());
        ASSERT_TRUE(converted.ok()) << qPrintable(converted.reason());
        EXPECT_EQ(converted.value().size(), Canvas);
        // Transparent parts show the canvas's background.
        ExpectQuadrants(converted.value(), row.tolerance + 8, "converted",
                        row.transparentQuarter ? CanvasFill{}.background : Qt::yellow);
    }
}

const KindRow KindRows[] = {
    {"Jpeg", PictureKind::Jpeg, nullptr, "photo.png",
     [](const QImage &p) { return PictureFiles::JpegBytes(p); }, 12},
    {"Bmp", PictureKind::Bmp, nullptr, "photo.jpg", [](const QImage &p) { return WithQt(p, "bmp"); }, 0},
    {"Png", PictureKind::Png, nullptr, "photo.jpg", [](const QImage &p) { return WithQt(p, "png"); }, 0},
    {"Tiff", PictureKind::Tiff, nullptr, "photo.jpg", [](const QImage &p) { return WithQt(p, "tiff"); }, 0},
    {"WebP", PictureKind::WebP, "cwebp", "photo.jpg", [](const QImage &p) { return WebP(p); }, 12},
    {"Heic", PictureKind::Heic, "heif-enc", "photo.jpg", [](const QImage &p) { return Heic(p); }, 12},
    {"Avif", PictureKind::Avif, "avifenc", "photo.webp", [](const QImage &p) { return Avif(p); }, 12},
    // Turned by the file itself.
    {"TiffOrientationTag", PictureKind::Tiff, nullptr, "photo.jpg",
     [](const QImage &p) { return WithQt(StoredFor(p, 6), "tiff", QImageIOHandler::TransformationRotate90); },
     0},
    {"PngExifOrientation", PictureKind::Png, nullptr, "photo.jpg",
     [](const QImage &p) { return PngWithExifOrientation(StoredFor(p, 6), 6); }, 0},
    {"WebPExifOrientation", PictureKind::WebP, "cwebp", "photo.jpg",
     [](const QImage &p) {
         const QByteArray jpeg =
             PictureFiles::WithExifOrientation(PictureFiles::JpegBytes(StoredFor(p, 6)), 6);
         return Made("cwebp", jpeg, "jpg", {"-quiet", "-q", "90", "-metadata", "exif", "IN", "-o", "OUT"},
                     "webp");
     },
     16},
    // As phones code them (4:2:0), and with a colour box naming BT.709 in video range.
    {"Heic420", PictureKind::Heic, nullptr, "photo.jpg",
     [](const QImage &p) { return LibheifHeic(p, {.chroma = "420"}); }, 12},
    {"Heic444", PictureKind::Heic, nullptr, "photo.png",
     [](const QImage &p) { return LibheifHeic(p, {.chroma = "444"}); }, 12},
    {"Heic420Bt709VideoRange", PictureKind::Heic, nullptr, "photo.jpg",
     [](const QImage &p) { return LibheifHeic(p, {.chroma = "420", .matrix = 1, .fullRange = false}); }, 12},
    {"HeicRotationBox", PictureKind::Heic, nullptr, "photo.jpg",
     [](const QImage &p) { return HeicWithOrientation(StoredFor(p, 6), 6); }, 12},
    {"HeicRotationAndMirrorBoxes", PictureKind::Heic, nullptr, "photo.heif",
     [](const QImage &p) { return HeicWithOrientation(StoredFor(p, 5), 5); }, 12},
    // The boxes turn it; the EXIF block saying the same is not applied a second time.
    {"HeicRotationBoxAndExifOrientation", PictureKind::Heic, nullptr, "photo.jpg",
     [](const QImage &p) { return LibheifHeic(StoredFor(p, 6), {.orientation = 6, .exifOrientation = 6}); },
     12},
    // With an alpha plane.
    {"HeicWithAlpha", PictureKind::Heic, "heif-enc", "photo.png", [](const QImage &p) { return Heic(p); }, 12,
     true},
    {"AvifWithAlpha", PictureKind::Avif, "avifenc", "photo.png", [](const QImage &p) { return Avif(p); }, 12,
     true},
    {"AvifRotationBox", PictureKind::Avif, "avifenc", "photo.png",
     [](const QImage &p) {
         return Avif(StoredFor(p, 8), {"--irot", "1"});
     },
     12},
};

INSTANTIATE_TEST_SUITE_P(Kinds, PictureKindsTest, ::testing::ValuesIn(KindRows),
                         [](const auto &row) { return std::string(row.param.name); });

// Read from its file as libheif needs it, a HEIC comes out as from its bytes, whole and shrunk
// while decoding; cut short, it is refused as such.
TEST(PictureKinds, HeicLoadsFromItsFileAsFromItsBytes)
{
    const QByteArray heic = LibheifHeic(TestPictures::Quadrants(120, 90), {});
    ASSERT_FALSE(heic.isEmpty());
    QTemporaryDir dir;
    const QString path = dir.filePath("photo.heic"), cut = dir.filePath("cut.heic");
    ASSERT_TRUE(PictureFiles::WriteBytes(path, heic));
    ASSERT_TRUE(PictureFiles::WriteBytes(cut, heic.left(heic.size() * 6 / 10)));
    for (const QSize cover : {QSize(), Canvas}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const Outcome<QImage> fromFile = LoadHeif(file, cover), fromBytes = LoadHeif(heic, cover);
        ASSERT_TRUE(fromFile && fromBytes);
        EXPECT_EQ(fromFile.value().size(), cover.isEmpty() ? QSize(120, 90) : QSize(60, 45));
        EXPECT_EQ(fromFile.value(), fromBytes.value());
    }
    QFile file(cut);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const Outcome<QImage> cutShort = LoadHeif(file, Canvas);
    ASSERT_FALSE(cutShort);
    EXPECT_EQ(cutShort.reason(), QStringLiteral("the file ends before the picture does"));
}

TEST(PictureKinds, HeicUsesItsThumbnailWhereItCoversTheCanvas)
{
    if (!Installed("heif-enc"))
        GTEST_SKIP() << "heif-enc is not installed (scripts/setup.sh installs it)";
    // 120 x 90 with a thumbnail of 40 x 30; shrunk by itself it would be 30 x 23 for this cover.
    const QByteArray heic = Heic(TestPictures::Quadrants(120, 90), 40);
    ASSERT_FALSE(heic.isEmpty());
    const Outcome<QImage> small = LoadPictureFromBytes(heic, QSize(30, 20));
    ASSERT_TRUE(small.ok()) << qPrintable(small.reason());
    EXPECT_EQ(small.value().size(), QSize(40, 30));
    ExpectQuadrants(small.value(), 16, "thumbnail");
    // Too small for a larger canvas: the picture itself, shrunk by a half.
    const Outcome<QImage> larger = LoadPictureFromBytes(heic, QSize(60, 45));
    ASSERT_TRUE(larger.ok()) << qPrintable(larger.reason());
    EXPECT_EQ(larger.value().size(), QSize(60, 45));
    ExpectQuadrants(larger.value(), 12, "shrunk");
}

// --- every depth and sampling of HEIC and AVIF ----------------------------------------------

using DepthRow = std::tuple<PictureKind, int /*bits*/, const char * /*chroma*/, bool /*alpha*/>;

class HeifDepthsTest : public ::testing::TestWithParam<DepthRow>
{
};

// The quadrants (the bottom right one transparent with alpha) coded in the row's depth and
// sampling come out in their colours, whole and shrunk; monochrome in their BT.601 greys.
TEST_P(HeifDepthsTest, DecodeInTheirColours)
{
    const auto [kind, bits, chroma, alpha] = GetParam();
    const bool avif = kind == PictureKind::Avif, grey = std::strcmp(chroma, "400") == 0;
    if (avif && !Installed("avifenc"))
        GTEST_SKIP() << "avifenc is not installed (scripts/setup.sh installs it)";
    QImage picture = TestPictures::Quadrants(64, 48);
    if (alpha) {
        picture = picture.convertToFormat(QImage::Format_ARGB32);
        for (int y = 24; y < 48; ++y)
            std::fill_n(reinterpret_cast<QRgb *>(picture.scanLine(y)) + 32, 32, qRgba(0, 0, 0, 0));
    }
    QString why;
    const QByteArray bytes = avif ? Made("avifenc", PngBytes(picture), "png",
                                         {"-s", "10", "--min", "0", "--max", "4", "-d", QString::number(bits),
                                          "-y", chroma, "IN", "OUT"},
                                         "avif")
                                  : LibheifHeic(picture, {.chroma = chroma, .bitDepth = bits}, &why);
    if (bytes.isEmpty())
        GTEST_SKIP() << "the encoder cannot write this kind here " << qPrintable(why);
    for (const QSize cover : {QSize(), QSize(16, 12)}) {
        const Outcome<QImage> loaded = LoadPictureFromBytes(bytes, cover);
        ASSERT_TRUE(loaded.ok()) << qPrintable(loaded.reason());
        const QImage &image = loaded.value();
        EXPECT_EQ(image.size(), cover.isEmpty() ? picture.size() : QSize(16, 12));
        EXPECT_EQ(image.format(), alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        for (const QPoint quadrant : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
            const QPoint at((2 * quadrant.x() + 1) * image.width() / 4,
                            (2 * quadrant.y() + 1) * image.height() / 4);
            const QColor source =
                picture.pixelColor((2 * quadrant.x() + 1) * 16, (2 * quadrant.y() + 1) * 12);
            const int luma = qRound(0.299 * source.red() + 0.587 * source.green() + 0.114 * source.blue());
            QColor want = grey ? QColor(luma, luma, luma) : source;
            if (source.alpha() == 0)
                want = Qt::black; // premultiplied
            const QColor found = TestPictures::ColourAround(image, at.x(), at.y(), 1);
            EXPECT_TRUE(TestPictures::Near(found, want, 12))
                << "at " << at.x() << "," << at.y() << ": found " << found.name().toStdString() << ", want "
                << want.name().toStdString();
            EXPECT_NEAR(qAlpha(image.pixel(at)), source.alpha(), 12) << "at " << at.x() << "," << at.y();
        }
    }
}

std::string DepthRowName(const ::testing::TestParamInfo<DepthRow> &info)
{
    const auto [kind, bits, chroma, alpha] = info.param;
    return std::string(kind == PictureKind::Avif ? "Avif" : "Heic") + std::to_string(bits) + "Bit" + chroma +
           (alpha ? "WithAlpha" : "");
}

INSTANTIATE_TEST_SUITE_P(Samplings, HeifDepthsTest,
                         ::testing::Combine(::testing::Values(PictureKind::Heic, PictureKind::Avif),
                                            ::testing::Values(8, 10, 12),
                                            ::testing::Values("420", "422", "444", "400"), ::testing::Bool()),
                         DepthRowName);

// --- grids of tiles, as phones write HEICs ----------------------------------------------------

// Red across, green down: a misplaced or turned tile shows in the colours.
QImage Gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / (width - 1), y * 255 / (height - 1), 128));
    return image;
}

// 4032 x 3024 scaled down: tiles of 512 whose last column and row the output size cuts, stored
// sideways and turned upright by the grid's irot box.
TEST(PictureKinds, GridHeicLoadsUprightAndWhole)
{
    const QImage upright = Gradient(1000, 700);
    const QByteArray heic = GridHeic(StoredFor(upright, 6), 512, 3);
    ASSERT_FALSE(heic.isEmpty());
    QTemporaryDir dir;
    const QString path = dir.filePath("phone.heic");
    ASSERT_TRUE(PictureFiles::WriteBytes(path, heic));
    for (const QSize cover : {QSize(), QSize(160, 120)}) {
        const Outcome<QImage> loaded = LoadPicture(path, cover);
        ASSERT_TRUE(loaded.ok()) << qPrintable(loaded.reason());
        const QImage &image = loaded.value();
        ASSERT_EQ(image.size(), cover.isEmpty() ? upright.size() : QSize(250, 175));
        int far = 0;
        for (int y = 1; y < 14; ++y)
            for (int x = 1; x < 20; ++x) {
                const QColor want = upright.pixelColor(x * 50, y * 50),
                             found = TestPictures::ColourAround(image, x * image.width() / 20,
                                                                y * image.height() / 14, 1);
                far += !TestPictures::Near(found, want, 10);
            }
        EXPECT_EQ(far, 0) << "points far from the source's colour";
    }
}

// --- colours from embedded profiles -------------------------------------------------------

// Four saturated colours, given in the picture's own colour space, one per quadrant.
const QColor Saturated[] = {QColor(200, 40, 40), QColor(60, 190, 70), QColor(40, 70, 200),
                            QColor(230, 210, 60)};

QImage SaturatedQuadrants(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, Saturated[(y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1)]);
    return image;
}

// A JPEG at quality 100 without chroma subsampling, with `icc` in an APP2 segment after SOI.
QByteArray JpegWithIcc(const QImage &image, const QByteArray &icc)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    tjhandle handle = tjInitCompress();
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    QByteArray jpeg;
    if (tjCompress2(handle, rgb.constBits(), rgb.width(), int(rgb.bytesPerLine()), rgb.height(), TJPF_RGB,
                    &buffer, &size, TJSAMP_444, 100, 0) == 0)
        jpeg = QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(size));
    tjFree(buffer);
    tjDestroy(handle);
    const QByteArray body = QByteArray("ICC_PROFILE\0\x01\x01", 14) + icc;
    QByteArray segment = QByteArray::fromHex("ffe2");
    segment.append(char((body.size() + 2) >> 8)).append(char((body.size() + 2) & 0xff));
    return jpeg.insert(2, segment + body);
}

struct IccRow {
    const char *name;
    const char *tool;
    QColorSpace::Primaries space;
    // The file's bytes for `image`, whose values are in `space`.
    std::function<QByteArray(const QImage &image, const QColorSpace &space)> bytes;
};

class EmbeddedProfileTest : public ::testing::TestWithParam<IccRow>
{
};

TEST_P(EmbeddedProfileTest, LoadsInSrgb)
{
    const IccRow &row = GetParam();
    if (row.tool && !Installed(row.tool))
        GTEST_SKIP() << row.tool << " is not installed (scripts/setup.sh installs it)";
    const QColorSpace space(row.space, QColorSpace::TransferFunction::SRgb);
    const QImage source = SaturatedQuadrants(64, 48);
    const Outcome<QImage> picture = LoadPictureFromBytes(row.bytes(source, space));
    ASSERT_TRUE(picture.ok()) << qPrintable(picture.reason());
    const QColorTransform toSrgb = space.transformationToColorSpace(QColorSpace::SRgb);
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        const int x = quadrant % 2 ? 48 : 16, y = quadrant / 2 ? 36 : 12;
        const QColor want = toSrgb.map(Saturated[quadrant]), found = picture.value().pixelColor(x, y);
        EXPECT_TRUE(TestPictures::Near(found, want, 3))
            << "quadrant " << quadrant << ": found " << found.name().toStdString() << ", want "
            << want.name().toStdString() << " (unconverted " << Saturated[quadrant].name().toStdString()
            << ")";
    }
    // The row means something only where the conversion moves a colour well past the tolerance.
    EXPECT_FALSE(TestPictures::Near(toSrgb.map(Saturated[0]), Saturated[0], 8));
}

const IccRow IccRows[] = {
    {"JpegDisplayP3", nullptr, QColorSpace::Primaries::DciP3D65,
     [](const QImage &image, const QColorSpace &space) { return JpegWithIcc(image, space.iccProfile()); }},
    {"JpegAdobeRgb", nullptr, QColorSpace::Primaries::AdobeRgb,
     [](const QImage &image, const QColorSpace &space) { return JpegWithIcc(image, space.iccProfile()); }},
    {"PngDisplayP3", nullptr, QColorSpace::Primaries::DciP3D65,
     [](QImage image, const QColorSpace &space) {
         image.setColorSpace(space);
         return WithQt(image, "png");
     }},
    {"PngAdobeRgb", nullptr, QColorSpace::Primaries::AdobeRgb,
     [](QImage image, const QColorSpace &space) {
         image.setColorSpace(space);
         return WithQt(image, "png");
     }},
    // The colour box's coded primaries and transfer (12/13: Display P3), losslessly in RGB.
    {"AvifDisplayP3ColourBox", "avifenc", QColorSpace::Primaries::DciP3D65,
     [](const QImage &image, const QColorSpace &) {
         return Made("avifenc", PngBytes(image), "png", {"-s", "10", "-l", "--cicp", "12/13/0", "IN", "OUT"},
                     "avif");
     }},
};

INSTANTIATE_TEST_SUITE_P(Profiles, EmbeddedProfileTest, ::testing::ValuesIn(IccRows),
                         [](const auto &row) { return std::string(row.param.name); });

} // namespace
