// Unusual and damaged picture files, fed to the conversion and to the loading the preview
// shares: each converts correctly or ends in the failure path, within bounded memory.
#include "app/make_command.h"
#include "conversion_fixture.h"
#include "picture_conversion/convert_pictures.h"
#include "picture_conversion/picture_loader.h"
#include "shared/output_names.h"
#include "support/bad_input_files.h"
#include "support/fake_host.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"
#include "support/tool_pictures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTransform>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>

using namespace BadInputFiles;
using PictureFiles::BmpLayout;

namespace
{

constexpr int CanvasWidth = 64, CanvasHeight = 48;
const QSize PreviewBox(160, 120); // about the size of the browser's preview

// Resident memory in kB from /proc/self/status ("VmHWM", "VmRSS"), or -1.
long StatusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field)) + 1).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Starts a new peak: writing 5 to clear_refs resets VmHWM to the current resident size.
bool ResetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

QByteArray DataFile(const char *name)
{
    return PictureFiles::ReadBytes(QString(GALVORA_TEST_DATA) + "/pictures/" + name);
}

QByteArray Cut(const QByteArray &bytes, double fraction)
{
    return bytes.left(qsizetype(double(bytes.size()) * fraction));
}

QByteArray PngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The PNG with its header's width and height replaced (and its checksum made right again).
QByteArray PngWithSize(QByteArray png, quint32 width, quint32 height)
{
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    quint32 crc = 0xFFFFFFFF; // over the chunk type and data: bytes 12 to 28
    for (int i = 12; i < 29; ++i) {
        crc ^= uchar(png[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
    }
    qToBigEndian(~crc, png.data() + 29);
    return png;
}

const QImage Photo = TestPictures::Quadrants(40, 30);
QByteArray Baseline()
{
    return Jpeg(Photo, JpegKind::Baseline);
}
// Photo stored turned a quarter anticlockwise, as a camera held upright stores it (orientation 6).
QByteArray Turned()
{
    return Jpeg(Photo.transformed(QTransform().rotate(-90)), JpegKind::Baseline);
}
QByteArray Rgb24Bmp()
{
    return PictureFiles::BmpBytes(Photo, BmpLayout::Rgb24);
}

QByteArray QtBytes(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// The bytes with `text` written over them from `at` on.
QByteArray Overwritten(QByteArray bytes, qsizetype at, const char *text)
{
    return bytes.isEmpty() ? bytes : bytes.replace(at, qsizetype(qstrlen(text)), text);
}

// The HEIF with the first box type `from` renamed `to`: a file whose boxes make no sense.
QByteArray Renamed(QByteArray bytes, const char *from, const char *to)
{
    const qsizetype at = bytes.indexOf(from);
    return at < 0 ? QByteArray() : bytes.replace(at, 4, to);
}

// The HEIF whose first "ispe" box (the picture's size) claims width x height.
QByteArray WithIspe(QByteArray bytes, quint32 width, quint32 height)
{
    const qsizetype at = bytes.indexOf("ispe");
    if (at < 0)
        return QByteArray();
    qToBigEndian(width, bytes.data() + at + 8); // after the type, the version and the flags
    qToBigEndian(height, bytes.data() + at + 12);
    return bytes;
}

const char *const EndsEarlyText = "the file ends before the picture does";
const char *const DamagedText = "the picture data is damaged";

enum class Expect { Converts, Refused };

struct CorpusRow {
    const char *name;
    const char *fileName; // as listed: the extension need not match the content
    std::function<QByteArray()> bytes;
    Expect expect;
    const char *reason = nullptr; // the loader's reason for a refusal, where the row names it
    const char *tool = nullptr;   // a program that makes the picture, or nullptr
    bool upright = false;         // the picture is Photo, stored turned, and must load the right way up
};

class BadInputCorpusTest : public ConversionFixture<::testing::TestWithParam<CorpusRow>>
{
};

TEST_P(BadInputCorpusTest, ConvertsOrEndsInTheFailurePath)
{
    const CorpusRow &row = GetParam();
    if (row.tool && !ToolPictures::Installed(row.tool))
        GTEST_SKIP() << row.tool << " is not installed (scripts/setup.sh installs it)";
    const QString path = dir.filePath(QStringLiteral("pictures/") + row.fileName);
    const QByteArray bytes = row.bytes();
    ASSERT_TRUE(PictureFiles::WriteBytes(path, bytes));
    host.select(path);
    const bool measured = ResetPeak();
    const long residentBefore = StatusKb("VmRSS:");

    const Outcome<QImage> preview = LoadPicture(path, PreviewBox);
    const Outcome<QImage> fromMemory = LoadPictureFromBytes(bytes, PreviewBox);
    host.finish(ConvertPictures(host.request("Album", "index"), host, CanvasWidth, CanvasHeight));

    const long growthMb = (StatusKb("VmHWM:") - residentBefore) / 1024;
    if (measured && residentBefore >= 0) {
        EXPECT_LT(growthMb, 300) << "peak memory growth in MB";
    }
    EXPECT_EQ(preview.ok(), fromMemory.ok()) << "a file and its bytes load alike";
    const QString jpeg = dir.filePath("program/Album/images/picture1.jpg");
    if (row.expect == Expect::Converts) {
        EXPECT_TRUE(host.messages.isEmpty());
        EXPECT_NE(host.state.PageStyle, PageStyles::Abandoned);
        const Outcome<QImage> converted = LoadPicture(jpeg);
        ASSERT_TRUE(converted.ok()) << qPrintable(converted.reason());
        EXPECT_EQ(converted->size(), QSize(CanvasWidth, CanvasHeight));
        ASSERT_TRUE(preview.ok()) << qPrintable(preview.reason());
        EXPECT_FALSE(preview.value().isNull());
        if (row.upright) {
            ASSERT_EQ(preview->size(), Photo.size());
            for (const QPoint at : {QPoint(10, 7), QPoint(30, 7), QPoint(10, 22), QPoint(30, 22)})
                EXPECT_TRUE(TestPictures::Near(TestPictures::ColourAround(preview.value(), at.x(), at.y(), 2),
                                               Photo.pixelColor(at), 40))
                    << "at " << at.x() << "," << at.y();
        }
    } else {
        // The loader's reason is the one the user reads.
        ASSERT_EQ(host.messages.size(), 1);
        EXPECT_EQ(host.messages[0].text, PictureNotReadText(path, preview.reason()));
        EXPECT_TRUE(host.messages[0].title.isEmpty());
        EXPECT_EQ(host.state.PageStyle, PageStyles::Abandoned);
        EXPECT_FALSE(QFile::exists(jpeg));
        EXPECT_FALSE(preview.ok());
        EXPECT_FALSE(preview.reason().isEmpty());
        if (row.reason) {
            EXPECT_EQ(preview.reason(), row.reason);
        }
    }
}

// A 24-bit BMP of Photo with its header changed.
std::function<QByteArray()> Bmp(BmpPatch patch)
{
    return [patch] { return PatchedBmp(Rgb24Bmp(), patch); };
}

const CorpusRow Rows[] = {
    // JPEGs cut short: in the tables, just after the scan header, mid-scan, and without the end marker.
    {"JpegCutInTables", "cut.jpg", [] { return Cut(Baseline(), 0.1); }, Expect::Refused},
    {"JpegCutAfterScanHeader", "cut.jpg", [] { return Baseline().left(ScanDataStart(Baseline())); },
     Expect::Refused},
    {"JpegCutMidScan", "cut.jpg", [] { return Cut(Baseline(), 0.8); }, Expect::Refused},
    {"JpegWithoutEndMarker", "cut.jpg", [] { return Baseline().chopped(2); }, Expect::Refused},
    // Random entropy data without markers decodes to a garbled picture of the right size.
    {"JpegGarbageInScan", "garbage.jpg", [] { return WithGarbageInScan(Baseline()); }, Expect::Converts},
    {"JpegProgressive", "progressive.jpg", [] { return Jpeg(Photo, JpegKind::Progressive); },
     Expect::Converts},
    {"JpegProgressiveCut", "progressive.jpg", [] { return Cut(Jpeg(Photo, JpegKind::Progressive), 0.7); },
     Expect::Refused},
    {"JpegArithmeticCoded", "arithmetic.jpg", [] { return DataFile("jpeg_arithmetic_coded_40x30.jpg"); },
     Expect::Converts},
    {"JpegCmyk", "cmyk.jpg", [] { return Jpeg(Photo, JpegKind::Cmyk); }, Expect::Converts},
    {"JpegGreyscale", "grey.jpg", [] { return Jpeg(Photo, JpegKind::Greyscale); }, Expect::Converts},
    {"JpegBrokenExif", "exif.jpg", [] { return WithBrokenExif(Baseline()); }, Expect::Converts},
    // Damaged metadata: the picture converts, upright where its orientation can be read.
    {"JpegExifDirectoryLoop", "loop.jpg", [] { return WithApp1(Turned(), ExifWithDirectoryLoop(6)); },
     Expect::Converts, nullptr, nullptr, true},
    {"JpegExifCountClaims2Gb", "count.jpg", [] { return WithApp1(Turned(), ExifWithHugeCount(6)); },
     Expect::Converts, nullptr, nullptr, true},
    {"JpegXmpCutShort", "xmp.jpg",
     [] { return WithApp1(PictureFiles::WithExifOrientation(Turned(), 6), TruncatedXmp()); },
     Expect::Converts, nullptr, nullptr, true},
    {"EmptyFile", "empty.jpg", [] { return QByteArray(); }, Expect::Refused},
    {"PngNamedJpg", "png.jpg", [] { return PngBytes(Photo); }, Expect::Converts},
    {"PngCut", "png.jpg", [] { return Cut(PngBytes(Photo), 0.6); }, Expect::Refused},
    {"PngClaims100000Square", "png.jpg", [] { return PngWithSize(PngBytes(Photo), 100000, 100000); },
     Expect::Refused},
    {"PngClaims8000Square", "png.png", [] { return PngWithSize(PngBytes(Photo), 8000, 8000); },
     Expect::Refused},
    // libpng would take memory for the whole chunk before finding the file ends (the fuzz seeds
    // hold it too, where the fuzzer's allocation limit catches that).
    {"FuzzPngExifChunkClaims721Mb", "f.png", [] { return DataFile("png_exif_chunk_claims_721_mb.png"); },
     Expect::Refused, EndsEarlyText},
    {"GifWithoutFrames", "none.gif", [] { return GifWithoutFrames(8, 8); }, Expect::Refused},
    {"GifAnimated", "animated.gif", [] { return AnimatedGif(20, 10, 3); }, Expect::Converts},
    {"GifScreenOf16384Square", "screen.gif", [] { return GifWithScreen(16384, 16384, 4, 4); },
     Expect::Refused},
    {"GifScreenOf65535Square", "screen.gif", [] { return GifWithScreen(65535, 65535, 4, 4); },
     Expect::Refused},
    {"GifScreenTallerThanLimit", "tall.gif",
     [] { return DataFile("gif_screen_taller_than_its_frame_and_limit.gif"); }, Expect::Refused},
    {"BmpTopDown", "top_down.bmp", Bmp({.height = 30, .topDownHeight = true}), Expect::Converts},
    {"BmpNegativeWidth", "negative.bmp", Bmp({.width = 0xffffffd8}), Expect::Refused},
    {"BmpZeroWidth", "zero.bmp", Bmp({.width = 0}), Expect::Refused},
    {"BmpZeroHeight", "zero.bmp", Bmp({.height = 0}), Expect::Refused},
    {"BmpHugeDimensions", "huge.bmp", Bmp({.width = 0x7fffffff, .height = 0x7fffffff}), Expect::Refused},
    {"BmpMostNegativeHeight", "huge.bmp", Bmp({.height = 0x80000000}), Expect::Refused},
    {"BmpOffsetPastTheEnd", "offset.bmp", Bmp({.offset = 100000}), Expect::Refused},
    // The header bytes are read as pixels: the picture is off, but whole.
    {"BmpOffsetIntoTheHeader", "offset.bmp", Bmp({.offset = 2}), Expect::Converts},
    {"BmpOffsetHuge", "offset.bmp", Bmp({.offset = 0xffffffff}), Expect::Refused},
    {"BmpPaletteCountHuge", "palette.bmp",
     [] { return PatchedBmp(PictureFiles::BmpBytes(Photo, BmpLayout::Indexed8), {.colours = 0x7fffffff}); },
     Expect::Refused},
    {"BmpIndicesPastPalette", "palette.bmp", [] { return BmpWithIndicesPastPalette(40, 30, 2); },
     Expect::Converts},
    // The kinds phones and browsers make, cut short and with a header that says nonsense.
    {"WebPCut", "cut.jpg", [] { return Cut(ToolPictures::WebP(Photo), 0.6); }, Expect::Refused, EndsEarlyText,
     "cwebp"},
    {"WebPWrongHeader", "bad.webp", [] { return Overwritten(ToolPictures::WebP(Photo), 20, "nonsense"); },
     Expect::Refused, DamagedText, "cwebp"},
    {"TiffCut", "cut.tif", [] { return Cut(QtBytes(Photo, "tiff"), 0.6); }, Expect::Refused, EndsEarlyText},
    {"TiffWrongHeader", "bad.tif",
     [] {
         // Qt writes the directory of tags after the pixels; its first entries become text.
         const QByteArray tiff = QtBytes(Photo, "tiff");
         return Overwritten(tiff, qFromLittleEndian<quint32>(tiff.constData() + 4) + 2, "nonsense nonsense");
     },
     Expect::Refused, DamagedText},
    {"HeicCut", "cut.jpg", [] { return Cut(ToolPictures::Heic(Photo), 0.6); }, Expect::Refused, EndsEarlyText,
     "heif-enc"},
    {"HeicWrongHeader", "bad.heic", [] { return Renamed(ToolPictures::Heic(Photo), "meta", "xeta"); },
     Expect::Refused, DamagedText, "heif-enc"},
    {"HeicClaims20000Square", "big.heic", [] { return WithIspe(ToolPictures::Heic(Photo), 20000, 20000); },
     Expect::Refused, "wider or taller than 16384 pixels", "heif-enc"},
    {"AvifCut", "cut.png", [] { return Cut(ToolPictures::Avif(Photo), 0.6); }, Expect::Refused, EndsEarlyText,
     "avifenc"},
    {"AvifWrongHeader", "bad.avif", [] { return Renamed(ToolPictures::Avif(Photo), "meta", "xeta"); },
     Expect::Refused, DamagedText, "avifenc"},
    // Inputs the fuzzer found.
    {"FuzzBmpNegativeWidthOverflow", "f.bmp",
     [] { return DataFile("bmp_negative_width_overflows_row_size.bmp"); }, Expect::Refused},
    {"FuzzGifScreen1285x46083", "f.gif", [] { return DataFile("gif_screen_1285x46083_with_tiny_frame.gif"); },
     Expect::Refused},
    {"FuzzGifWideScreenOfZeroHeight", "f.gif", [] { return DataFile("gif_wide_screen_of_zero_height.gif"); },
     Expect::Refused},
    {"FuzzBmpHugeWidthAndBits", "f.bmp",
     [] { return DataFile("bmp_huge_width_and_bits_overflow_row_size.bmp"); }, Expect::Refused},
};

INSTANTIATE_TEST_SUITE_P(Inputs, BadInputCorpusTest, ::testing::ValuesIn(Rows),
                         [](const auto &row) { return std::string(row.param.name); });

TEST(BadInputCorpus, FileThatVanishesBeforeItsTurnEndsInTheFailurePath)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("program"));
    FakeHost host;
    host.folder = dir.filePath("program");
    const QString first = dir.filePath("first.jpg"), second = dir.filePath("second.jpg");
    ASSERT_TRUE(PictureFiles::WriteBytes(first, Baseline()) && PictureFiles::WriteBytes(second, Baseline()));
    // Pictures are read up to two ahead of the one being written; the fourth is read only after
    // the first picture's pause.
    host.select(first);
    host.select(first);
    host.select(first);
    host.select(second);
    // Listed, then removed while the first picture is being converted.
    host.onPause = [&] { QFile::remove(second); };

    host.finish(ConvertPictures(host.request("Album", "index"), host, CanvasWidth, CanvasHeight));

    EXPECT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages.value(0).text,
              PictureNotReadText(second, QStringLiteral("the file does not exist")));
    EXPECT_EQ(host.state.PageStyle, PageStyles::Abandoned);
    EXPECT_TRUE(QFile::exists(dir.filePath("program/Album/images/picture3.jpg")));
    EXPECT_FALSE(QFile::exists(dir.filePath("program/Album/images/picture4.jpg")));
    EXPECT_FALSE(LoadPicture(second, PreviewBox).ok());
}

} // namespace
