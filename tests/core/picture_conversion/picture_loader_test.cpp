#include "picture_conversion/picture_loader.h"
#include "picture_conversion/picture_metadata.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"
#include "support/tool_pictures.h"

#include <QBuffer>
#include <QImageWriter>

#include <QTemporaryDir>
#include <functional>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#include <gtest/gtest.h>
#include <turbojpeg.h>

using namespace PictureFiles;

namespace
{

// The four quadrant colours of TestPictures::Quadrants, sampled at their centres.
void ExpectQuadrants(const QImage &image, int tolerance = 40)
{
    ASSERT_FALSE(image.isNull());
    const int w = image.width(), h = image.height();
    const struct {
        int x, y;
        QColor colour;
        const char *where;
    } samples[] = {{w / 4, h / 4, Qt::red, "top left"},
                   {3 * w / 4, h / 4, Qt::green, "top right"},
                   {w / 4, 3 * h / 4, Qt::blue, "bottom left"},
                   {3 * w / 4, 3 * h / 4, Qt::yellow, "bottom right"}};
    for (const auto &s : samples) {
        const QColor found = TestPictures::ColourAround(image, s.x, s.y, 2);
        EXPECT_TRUE(TestPictures::Near(found, s.colour, tolerance))
            << s.where << ": found " << found.name().toStdString() << ", want "
            << s.colour.name().toStdString();
    }
}

class LoaderTest : public ::testing::Test
{
  protected:
    QTemporaryDir dir;
    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(WriteBytes(path, bytes)) << name.toStdString();
        return path;
    }
};

// --- JPEG decoding scale -------------------------------------------------------------

struct ScaleRow {
    const char *name;
    QSize cover;
    QSize expected;
};

class JpegScaleTest : public LoaderTest, public ::testing::WithParamInterface<ScaleRow>
{
};

TEST_P(JpegScaleTest, DecodesAtTheSmallestReductionThatCoversTheCanvas)
{
    const QString path = file("photo.jpg", JpegBytes(TestPictures::Quadrants(800, 600)));
    const Outcome<QImage> picture = LoadPicture(path, GetParam().cover);
    ASSERT_TRUE(picture.ok()) << picture.reason().toStdString();
    EXPECT_EQ(picture.value().size(), GetParam().expected);
    ExpectQuadrants(picture.value());
}

INSTANTIATE_TEST_SUITE_P(Covers, JpegScaleTest,
                         ::testing::Values(ScaleRow{"EighthCoversSmallCanvas", {100, 75}, {100, 75}},
                                           ScaleRow{"QuarterWhenEighthTooNarrow", {101, 20}, {200, 150}},
                                           ScaleRow{"QuarterWhenEighthTooLow", {20, 76}, {200, 150}},
                                           ScaleRow{"HalfSize", {300, 300}, {400, 300}},
                                           ScaleRow{"FullSizeForLargeCanvas", {401, 10}, {800, 600}},
                                           ScaleRow{"FullSizeLargerThanPicture", {1600, 1200}, {800, 600}},
                                           ScaleRow{"FullSizeWithoutCanvas", {}, {800, 600}}),
                         [](const auto &row) { return std::string(row.param.name); });

TEST_F(LoaderTest, RotatedJpegChoosesItsScaleForTheUprightSize)
{
    // Stored 600 x 800 but shown 800 x 600: a 200 x 150 canvas is covered by the eighth (75 x 100 stored).
    const QImage upright = TestPictures::Quadrants(800, 600);
    const QString path =
        file("turned.jpg", WithExifOrientation(JpegBytes(upright.transformed(QTransform().rotate(270))), 6));
    const Outcome<QImage> picture = LoadPicture(path, QSize(100, 75));
    ASSERT_TRUE(picture.ok()) << picture.reason().toStdString();
    EXPECT_EQ(picture.value().size(), QSize(100, 75));
    ExpectQuadrants(picture.value());
}

// --- EXIF orientation ------------------------------------------------------------------

// How a camera stores an upright scene for each orientation value.
QImage StoredForOrientation(const QImage &upright, int orientation)
{
    switch (orientation) {
    case 2:
        return upright.mirrored(true, false);
    case 3:
        return upright.mirrored(true, true);
    case 4:
        return upright.mirrored(false, true);
    case 5:
        return Transposed(upright);
    case 6:
        return upright.transformed(QTransform().rotate(-90)); // shown turned a quarter clockwise
    case 7:
        return Transposed(upright).mirrored(true, true);
    case 8:
        return upright.transformed(QTransform().rotate(90));
    default:
        return upright;
    }
}

// Each container carries the orientation its own way: a JPEG's APP1 segment, a PNG's eXIf chunk,
// a WebP's EXIF chunk, a TIFF's first directory (where Qt's reader would turn the picture too).
struct OrientedKind {
    const char *name;
    const char *tool; // a program the kind needs, or nullptr
    std::function<QByteArray(const QImage &stored, int orientation)> bytes;
    int tolerance;
};

const OrientedKind OrientedKinds[] = {
    {"Jpeg", nullptr, [](const QImage &p, int o) { return WithExifOrientation(JpegBytes(p), o); }, 40},
    {"JpegBigEndian", nullptr,
     [](const QImage &p, int o) { return WithExifOrientation(JpegBytes(p), o, true); }, 40},
    {"Png", nullptr, [](const QImage &p, int o) { return ToolPictures::PngWithExifOrientation(p, o); }, 8},
    {"WebP", "cwebp",
     [](const QImage &p, int o) {
         return ToolPictures::Made("cwebp", WithExifOrientation(JpegBytes(p), o), "jpg",
                                   {"-quiet", "-q", "90", "-metadata", "exif", "IN", "-o", "OUT"}, "webp");
     },
     40},
    {"Tiff", nullptr,
     [](const QImage &p, int o) {
         QByteArray bytes;
         QBuffer buffer(&bytes);
         buffer.open(QIODevice::WriteOnly);
         QImageWriter writer(&buffer, "tiff");
         // Qt writes the transformation as the TIFF orientation tag, EXIF's numbering.
         const QImageIOHandler::Transformation turns[] = {QImageIOHandler::TransformationNone,
                                                          QImageIOHandler::TransformationMirror,
                                                          QImageIOHandler::TransformationRotate180,
                                                          QImageIOHandler::TransformationFlip,
                                                          QImageIOHandler::TransformationFlipAndRotate90,
                                                          QImageIOHandler::TransformationRotate90,
                                                          QImageIOHandler::TransformationMirrorAndRotate90,
                                                          QImageIOHandler::TransformationRotate270};
         writer.setTransformation(turns[o - 1]);
         return writer.write(p) ? bytes : QByteArray();
     },
     8},
};

class ExifOrientationTest : public LoaderTest,
                            public ::testing::WithParamInterface<std::tuple<OrientedKind, int>>
{
};

TEST_P(ExifOrientationTest, PictureComesOutUprightOnce)
{
    const auto &[kind, orientation] = GetParam();
    if (kind.tool && !ToolPictures::Installed(kind.tool))
        GTEST_SKIP() << kind.tool << " is not installed (scripts/setup.sh installs it)";
    const QImage upright = TestPictures::Quadrants(160, 96);
    const QByteArray bytes = kind.bytes(StoredForOrientation(upright, orientation), orientation);
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_EQ(ReadPictureMetadata(bytes).orientation, orientation);
    for (const Outcome<QImage> &picture :
         {LoadPicture(file("oriented", bytes)), LoadPictureFromBytes(bytes)}) {
        ASSERT_TRUE(picture.ok()) << picture.reason().toStdString();
        EXPECT_EQ(picture.value().size(), upright.size());
        ExpectQuadrants(picture.value(), kind.tolerance);
    }
}

INSTANTIATE_TEST_SUITE_P(Orientations, ExifOrientationTest,
                         ::testing::Combine(::testing::ValuesIn(OrientedKinds), ::testing::Range(1, 9)),
                         [](const auto &row) {
                             return std::string(std::get<0>(row.param).name) +
                                    std::to_string(std::get<1>(row.param));
                         });

struct BrokenExifRow {
    const char *name;
    QByteArray app1Body; // what follows the segment length
};

class BrokenExifTest : public ::testing::TestWithParam<BrokenExifRow>
{
};

TEST_P(BrokenExifTest, CountsAsNormalOrientation)
{
    const QByteArray body = GetParam().app1Body;
    QByteArray jpeg = QByteArray::fromHex("ffd8ffe1");
    jpeg.append(char(((body.size() + 2) >> 8) & 0xff)).append(char((body.size() + 2) & 0xff));
    jpeg += body;
    jpeg += QByteArray::fromHex("ffd9");
    EXPECT_EQ(ReadPictureMetadata(jpeg).orientation, 1);
    // The same segment cut short at every length must never read past the end.
    for (qsizetype cut = 0; cut <= jpeg.size(); ++cut) {
        const int found = ReadPictureMetadata(jpeg.left(cut)).orientation;
        EXPECT_GE(found, 1);
        EXPECT_LE(found, 8);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Damage, BrokenExifTest,
    ::testing::Values(
        BrokenExifRow{"NoTiffHeader", QByteArray("Exif\0\0", 6)},
        BrokenExifRow{"UnknownByteOrder", QByteArray("Exif\0\0XX*\0\x08\0\0\0", 14)},
        BrokenExifRow{"IfdBeyondSegment", QByteArray("Exif\0\0II*\0\xff\xff\0\0", 14)},
        BrokenExifRow{"EntryCountBeyondSegment", QByteArray("Exif\0\0II*\0\x08\0\0\0\xff\xff\x12\x01", 18)},
        BrokenExifRow{
            "OrientationOutOfRange",
            QByteArray("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x09\0\0\0\0\0\0\0", 32)},
        BrokenExifRow{
            "OrientationAsLong",
            QByteArray("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x04\0\x01\0\0\0\x06\0\0\0\0\0\0\0", 32)}),
    [](const auto &row) { return std::string(row.param.name); });

// --- other JPEG colour models ------------------------------------------------------------

// A JPEG straight from packed pixels of the given TurboJPEG format.
QByteArray CompressPixels(const std::vector<unsigned char> &pixels, int width, int height, int pixelFormat,
                          int subsampling)
{
    tjhandle handle = tjInitCompress();
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    QByteArray jpeg;
    if (tjCompress2(handle, pixels.data(), width, 0, height, pixelFormat, &buffer, &size, subsampling, 95,
                    0) == 0)
        jpeg = QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(size));
    tjFree(buffer);
    tjDestroy(handle);
    return jpeg;
}

TEST_F(LoaderTest, GreyscaleJpegLoads)
{
    std::vector<unsigned char> grey;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            grey.push_back(x < 32 ? 0 : 200);
    const QByteArray jpeg = CompressPixels(grey, 64, 32, TJPF_GRAY, TJSAMP_GRAY);
    ASSERT_FALSE(jpeg.isEmpty());
    const Outcome<QImage> picture = LoadPicture(file("grey.jpg", jpeg));
    ASSERT_TRUE(picture.ok()) << picture.reason().toStdString();
    EXPECT_TRUE(TestPictures::Near(TestPictures::ColourAround(picture.value(), 8, 16), Qt::black, 8));
    EXPECT_TRUE(
        TestPictures::Near(TestPictures::ColourAround(picture.value(), 56, 16), QColor(200, 200, 200), 8));
}

TEST_F(LoaderTest, CmykJpegShowsItsColours)
{
    // Inverted CMYK as print programs store it: 255 means no ink.
    const QImage quadrants = TestPictures::Quadrants(64, 48);
    std::vector<unsigned char> cmyk;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const QRgb p = quadrants.pixel(x, y);
            cmyk.insert(cmyk.end(), {uchar(qRed(p)), uchar(qGreen(p)), uchar(qBlue(p)), 255});
        }
    const QByteArray jpeg = CompressPixels(cmyk, 64, 48, TJPF_CMYK, TJSAMP_444);
    ASSERT_FALSE(jpeg.isEmpty());
    const Outcome<QImage> picture = LoadPicture(file("cmyk.jpg", jpeg));
    ASSERT_TRUE(picture.ok()) << picture.reason().toStdString();
    ExpectQuadrants(picture.value());
}

TEST_F(LoaderTest, ExtraneousBytesBeforeEndMarkerAreTolerated)
{
    QByteArray jpeg = JpegBytes(TestPictures::Quadrants(64, 48));
    jpeg.insert(jpeg.size() - 2, QByteArray::fromHex("1234"));
    const Outcome<QImage> picture = LoadPicture(file("extra.jpg", jpeg));
    ASSERT_TRUE(picture.ok()) << picture.reason().toStdString();
    ExpectQuadrants(picture.value());
}

// --- GIF and BMP through Qt -------------------------------------------------------------

struct BmpRow {
    const char *name;
    BmpLayout layout;
};

class BmpLayoutTest : public LoaderTest, public ::testing::WithParamInterface<BmpRow>
{
};

TEST_P(BmpLayoutTest, Loads)
{
    const QImage quadrants = TestPictures::Quadrants(40, 30);
    const Outcome<QImage> picture = LoadPicture(file("p.bmp", BmpBytes(quadrants, GetParam().layout)));
    ASSERT_TRUE(picture.ok()) << picture.reason().toStdString();
    EXPECT_EQ(picture.value().size(), quadrants.size());
    ExpectQuadrants(picture.value(), 10);
}

INSTANTIATE_TEST_SUITE_P(Layouts, BmpLayoutTest,
                         ::testing::Values(BmpRow{"Palette4Bits", BmpLayout::Indexed4},
                                           BmpRow{"Palette8Bits", BmpLayout::Indexed8},
                                           BmpRow{"RunLength8Bits", BmpLayout::Rle8},
                                           BmpRow{"Rgb16Bits", BmpLayout::Rgb555},
                                           BmpRow{"Rgb24Bits", BmpLayout::Rgb24},
                                           BmpRow{"Rgb24BitsTopDown", BmpLayout::Rgb24TopDown},
                                           BmpRow{"Rgb32Bits", BmpLayout::Rgb32}),
                         [](const auto &row) { return std::string(row.param.name); });

TEST_F(LoaderTest, MonochromeBmpLoads)
{
    QImage mono(32, 16, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(0);
    for (int y = 0; y < 16; ++y)
        for (int x = 16; x < 32; ++x)
            mono.setPixel(x, y, 1);
    const QString path = dir.filePath("mono.bmp");
    ASSERT_TRUE(mono.save(path, "BMP"));
    ASSERT_EQ(ReadBytes(path).at(28), 1) << "Qt should have written one bit per pixel";
    const Outcome<QImage> picture = LoadPicture(path);
    ASSERT_TRUE(picture.ok()) << picture.reason().toStdString();
    EXPECT_EQ(picture.value().pixel(4, 8), qRgb(0, 0, 0));
    EXPECT_EQ(picture.value().pixel(28, 8), qRgb(255, 255, 255));
}

// --- the kind of file is read from its content -------------------------------------------

TEST_F(LoaderTest, KindFollowsContentNotExtension)
{
    const QImage quadrants = TestPictures::Quadrants(40, 30);
    const Outcome<QImage> jpegAsGif = LoadPicture(file("photo.gif", JpegBytes(quadrants)));
    const Outcome<QImage> bmpAsJpeg = LoadPicture(file("drawing.jpg", BmpBytes(quadrants, BmpLayout::Rgb24)));
    ASSERT_TRUE(jpegAsGif.ok()) << jpegAsGif.reason().toStdString();
    ASSERT_TRUE(bmpAsJpeg.ok()) << bmpAsJpeg.reason().toStdString();
    ExpectQuadrants(jpegAsGif.value());
    ExpectQuadrants(bmpAsJpeg.value(), 10);

    // Downloads often carry a PNG or GIF under a .jpg name.
    QImage withAlpha = quadrants.convertToFormat(QImage::Format_ARGB32);
    withAlpha.setPixelColor(0, 0, QColor(0, 0, 0, 0));
    const QString pngAsJpeg = dir.filePath("download.jpg");
    ASSERT_TRUE(withAlpha.save(pngAsJpeg, "PNG"));
    const Outcome<QImage> png = LoadPicture(pngAsJpeg);
    ASSERT_TRUE(png.ok()) << png.reason().toStdString();
    ExpectQuadrants(png.value(), 0);
    EXPECT_EQ(png.value().format(), QImage::Format_ARGB32_Premultiplied);
    const Outcome<QImage> gifAsJpeg = LoadPicture(file("anim.jpg", SingleColourGif(20, 10, Qt::blue, false)));
    ASSERT_TRUE(gifAsJpeg.ok()) << gifAsJpeg.reason().toStdString();
    EXPECT_EQ(gifAsJpeg.value().size(), QSize(20, 10));
}

// --- refusals ---------------------------------------------------------------------------

// The JPEG with the frame header's height and width replaced.
QByteArray WithClaimedSize(QByteArray jpeg, int width, int height)
{
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i)
        if (uchar(jpeg[i]) == 0xFF && (uchar(jpeg[i + 1]) == 0xC0 || uchar(jpeg[i + 1]) == 0xC2)) {
            jpeg[i + 5] = char(height >> 8);
            jpeg[i + 6] = char(height);
            jpeg[i + 7] = char(width >> 8);
            jpeg[i + 8] = char(width);
            break;
        }
    return jpeg;
}

QByteArray ProgressiveJpeg(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::vector<unsigned char> pixels(rgb.constBits(), rgb.constBits() + rgb.sizeInBytes());
    tjhandle handle = tjInitCompress();
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    QByteArray jpeg;
    if (tjCompress2(handle, pixels.data(), rgb.width(), int(rgb.bytesPerLine()), rgb.height(), TJPF_RGB,
                    &buffer, &size, TJSAMP_420, 90, TJFLAG_PROGRESSIVE) == 0)
        jpeg = QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(size));
    tjFree(buffer);
    tjDestroy(handle);
    return jpeg;
}

struct RefusalRow {
    const char *name;
    std::function<QByteArray()> bytes;
    const char *reason; // a word of the error text
};

class RefusalTest : public LoaderTest, public ::testing::WithParamInterface<RefusalRow>
{
};

TEST_P(RefusalTest, RefusesWithAReason)
{
    const Outcome<QImage> picture = LoadPicture(file("p.jpg", GetParam().bytes()), QSize(300, 200));
    EXPECT_FALSE(picture.ok());
    EXPECT_TRUE(picture.reason().contains(GetParam().reason)) << picture.reason().toStdString();
}

const QImage Small = TestPictures::Quadrants(64, 48);

INSTANTIATE_TEST_SUITE_P(
    Files, RefusalTest,
    ::testing::Values(
        RefusalRow{"BaselineClaims65500Square",
                   [] { return WithClaimedSize(JpegBytes(Small), 65500, 65500); },
                   "larger than 1000 megapixels"},
        RefusalRow{"ProgressiveClaims100Megapixels",
                   [] { return WithClaimedSize(ProgressiveJpeg(Small), 10000, 10000); },
                   "larger than 67 megapixels"},
        RefusalRow{"BaselineClaims100MegapixelsButDataEnds",
                   [] { return WithClaimedSize(JpegBytes(Small), 10000, 10000); }, "damaged"},
        RefusalRow{"JpegCutAfterHeader", [] { return JpegBytes(Small).left(200); }, "ends before"},
        RefusalRow{"OnlyStartOfImage", [] { return QByteArray::fromHex("ffd8ff"); }, "ends before"},
        RefusalRow{"BmpCutShort", [] { return BmpBytes(Small, BmpLayout::Rgb24).chopped(100); },
                   "ends before"},
        RefusalRow{"BmpClaimsWidth20000",
                   [] {
                       QByteArray b = BmpBytes(Small, BmpLayout::Rle8);
                       b[18] = 0x20;
                       b[19] = 0x4e;
                       return b;
                   },
                   "wider or taller than 16384 pixels"},
        RefusalRow{"PngCutInItsHeader",
                   [] { return QByteArray::fromHex("89504e470d0a1a0a0000000d49484452"); }, "ends before"},
        RefusalRow{"TextFile", [] { return QByteArray("Holiday notes\n"); },
                   "not a JPEG, GIF, BMP, PNG, WebP, TIFF, HEIC or AVIF picture"},
        RefusalRow{"EmptyFile", [] { return QByteArray(); }, "empty"}),
    [](const auto &row) { return std::string(row.param.name); });

TEST_F(LoaderTest, RefusesWhatIsNoRegularFile)
{
    EXPECT_FALSE(LoadPicture(dir.path()).ok());
    EXPECT_FALSE(LoadPicture(dir.filePath("missing.jpg")).ok());
#ifdef Q_OS_UNIX
    // Opening a pipe nobody writes to would wait for ever.
    const QByteArray fifo = QFile::encodeName(dir.filePath("pipe.jpg"));
    ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
    EXPECT_FALSE(LoadPicture(dir.filePath("pipe.jpg")).ok());
#endif
}

} // namespace
