// The date taken, the description and the orientation, read from EXIF and XMP in every kind of
// picture that carries them.
#include "picture_conversion/picture_metadata.h"
#include "support/metadata_pictures.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"
#include "support/tool_pictures.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QtConcurrent>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

using MetadataPictures::Tags;

namespace
{

struct MetadataKind {
    const char *name;
    const char *tool; // a program the kind needs, or nullptr
    std::function<QByteArray(const QImage &picture, const Tags &tags)> bytes;
};

QByteArray QtBytes(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

const MetadataKind Kinds[] = {
    {"Jpeg", nullptr,
     [](const QImage &p, const Tags &t) {
         return MetadataPictures::WithTags(PictureFiles::JpegBytes(p), t);
     }},
    {"Png", nullptr,
     [](const QImage &p, const Tags &t) { return MetadataPictures::WithTags(QtBytes(p, "png"), t); }},
    {"WebP", "cwebp",
     [](const QImage &p, const Tags &t) { return MetadataPictures::WithTags(ToolPictures::WebP(p), t); }},
    {"Tiff", nullptr,
     [](const QImage &p, const Tags &t) { return MetadataPictures::WithTags(QtBytes(p, "tiff"), t); }},
    {"Heic", nullptr, [](const QImage &p, const Tags &t) { return MetadataPictures::HeicWithTags(p, t); }},
};

struct MetadataCase {
    const char *name;
    Tags tags;
    const char *taken; // as Qt writes it in ISO form, offset included; nullptr: none
    const char *description;
};

const MetadataCase Cases[] = {
    {"LocalTimeAndExifDescription",
     {.orientation = 6, .taken = "2024:05:06 07:08:09", .exifDescription = "  Harbour at dawn "},
     "2024-05-06T07:08:09",
     "Harbour at dawn"},
    {"OffsetAndXmpDescription",
     {.taken = "2023:12:31 23:59:58", .offset = "-05:30", .xmpDescription = "Caf\xc3\xa9 at night"},
     "2023-12-31T23:59:58-05:30",
     "Caf\xc3\xa9 at night"},
    {"ExifDescriptionBeforeXmp",
     {.exifDescription = "From EXIF", .xmpDescription = "From XMP"},
     nullptr,
     "From EXIF"},
    {"BlankExifDescriptionGivesWayToXmp",
     {.exifDescription = "   ", .xmpDescription = " From XMP\n"},
     nullptr,
     "From XMP"},
    // Cameras whose clock was never set write zeros; an offset cannot make that a date.
    {"ClockNeverSet", {.taken = "0000:00:00 00:00:00", .offset = "+01:00"}, nullptr, ""},
    {"UnreadableOffsetLeavesLocalTime",
     {.taken = "2020:02:29 12:00:00", .offset = "   :  "},
     "2020-02-29T12:00:00",
     ""},
};

class PictureMetadataTest : public ::testing::TestWithParam<std::tuple<MetadataKind, MetadataCase>>
{
};

TEST_P(PictureMetadataTest, ReadsDateTakenDescriptionAndOrientation)
{
    const auto &[kind, row] = GetParam();
    if (kind.tool && !ToolPictures::Installed(kind.tool))
        GTEST_SKIP() << kind.tool << " is not installed (scripts/setup.sh installs it)";
    const QByteArray bytes = kind.bytes(TestPictures::Quadrants(32, 24), row.tags);
    ASSERT_FALSE(bytes.isEmpty()) << "the picture could not be made";
    QTemporaryDir dir;
    const QString path = dir.filePath("picture");
    ASSERT_TRUE(PictureFiles::WriteBytes(path, bytes));
    // HEIF pictures are turned by their own boxes, never by their EXIF.
    const int orientation =
        row.tags.orientation == 0 || QByteArray(kind.name) == "Heic" ? 1 : row.tags.orientation;
    for (const PictureMetadata &found : {ReadPictureMetadata(bytes), ReadPictureMetadataFile(path)}) {
        EXPECT_EQ(found.orientation, orientation);
        EXPECT_EQ(found.description.toStdString(), row.description);
        if (!row.taken) {
            EXPECT_FALSE(found.taken.isValid()) << found.taken.toString(Qt::ISODate).toStdString();
            continue;
        }
        EXPECT_EQ(found.taken.toString(Qt::ISODate).toStdString(), row.taken);
        EXPECT_EQ(found.taken.timeSpec() == Qt::LocalTime, std::strlen(row.taken) == 19) << "local time";
    }
}

INSTANTIATE_TEST_SUITE_P(KindsAndTags, PictureMetadataTest,
                         ::testing::Combine(::testing::ValuesIn(Kinds), ::testing::ValuesIn(Cases)),
                         [](const auto &row) {
                             return std::string(std::get<0>(row.param).name) + std::get<1>(row.param).name;
                         });

TEST(PictureMetadata, WithoutMetadataOrAPictureGivesTheDefaults)
{
    QTemporaryDir dir;
    const QByteArray jpeg = PictureFiles::JpegBytes(TestPictures::Quadrants(8, 8));
    for (const PictureMetadata &found :
         {ReadPictureMetadata(jpeg), ReadPictureMetadata(QByteArray("not a picture")),
          ReadPictureMetadata({}), ReadPictureMetadataFile(dir.filePath("missing.jpg")),
          ReadPictureMetadataFile(dir.path())}) {
        EXPECT_EQ(found.orientation, 1);
        EXPECT_FALSE(found.taken.isValid());
        EXPECT_TRUE(found.description.isEmpty());
    }
}

// Workers read pictures at once; the XMP parser is shared by all of them.
TEST(PictureMetadata, ManyThreadsReadAtOnce)
{
    const QByteArray jpeg = MetadataPictures::WithTags(
        PictureFiles::JpegBytes(TestPictures::Quadrants(16, 16)),
        {.orientation = 3, .taken = "2021:01:02 03:04:05", .xmpDescription = "Shared"});
    ASSERT_FALSE(jpeg.isEmpty());
    const QList<QByteArray> copies(64, jpeg);
    const QList<PictureMetadata> found = QtConcurrent::blockingMapped(copies, &ReadPictureMetadata);
    for (const PictureMetadata &each : found) {
        EXPECT_EQ(each.orientation, 3);
        EXPECT_EQ(each.description, QStringLiteral("Shared"));
        EXPECT_EQ(each.taken, QDateTime(QDate(2021, 1, 2), QTime(3, 4, 5)));
    }
}

} // namespace
