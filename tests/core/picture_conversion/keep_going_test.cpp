// Going on past a picture that cannot be read: it is left out and named, and the album is made of
// the others, exactly as if they alone had been selected.
#include "conversion_fixture.h"
#include "html_pages/page_writers.h"
#include "picture_conversion/convert_pictures.h"
#include "shared/output_names.h"
#include "support/fake_host.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"
#include "tree_snapshot.h"

#include <QDir>
#include <functional>

using namespace PictureFiles;

namespace
{

struct KeepGoingRow {
    const char *name;
    std::function<ProductionResult(const ProductionRequest &, Host &)> make;
};
void PrintTo(const KeepGoingRow &row, std::ostream *os)
{
    *os << row.name;
}

class KeepGoingTest : public ConversionFixture<::testing::TestWithParam<KeepGoingRow>>
{
};

TEST_P(KeepGoingTest, ADamagedThirdPictureOfFiveIsLeftOutAndTheOthersMakeTheAlbum)
{
    FakeHost four; // the same selection without the damaged picture
    four.folder = host.folder;
    four.state = host.state;
    const QString damaged = dir.filePath(QStringLiteral("pictures/p3.jpg"));
    for (int n = 1; n <= 5; ++n) {
        const QString path = dir.filePath(QStringLiteral("pictures/p%1.jpg").arg(n));
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(n * 60, 200, 220));
        ASSERT_TRUE(WriteBytes(path, n == 3
                                         ? ReadBytes(QStringLiteral(GALVORA_TEST_DATA) +
                                                     QStringLiteral("/pictures/jpeg_truncated_in_scan.jpg"))
                                         : JpegBytes(image)));
        host.select(path);
        if (n != 3)
            four.select(path);
    }
    ProductionRequest request = host.request(QStringLiteral("Kept"), QStringLiteral("index"));
    request.keepGoing = true;

    const ProductionResult kept = GetParam().make(request, host);
    const ProductionResult expected =
        GetParam().make(four.request(QStringLiteral("Four"), QStringLiteral("index")), four);

    ASSERT_TRUE(kept.done()) << kept.message.toStdString();
    ASSERT_TRUE(expected.done()) << expected.message.toStdString();
    EXPECT_TRUE(host.messages.isEmpty()) << "the caller names the pictures left out";
    ASSERT_EQ(kept.leftOut.size(), 1);
    EXPECT_EQ(kept.leftOut[0].path, damaged);
    EXPECT_EQ(kept.leftOut[0].message, PictureNotReadText(damaged, "the file ends before the picture does"));
    EXPECT_EQ(kept.picturesMade, 4);
    EXPECT_EQ(expected.picturesMade, 4);
    EXPECT_EQ(kept.PictureDates, expected.PictureDates);
    EXPECT_EQ(QDir(host.folder + QStringLiteral("/Kept/images")).entryList(QDir::Files, QDir::Name),
              QStringList({"picture1.jpg", "picture2.jpg", "picture3.jpg", "picture4.jpg"}));
    // The pictures and the page, byte for byte those of the four pictures alone.
    const TreeSnapshot album = TreeSnapshot::Of(host.folder + QStringLiteral("/Kept"));
    EXPECT_EQ(album.entries, TreeSnapshot::Of(host.folder + QStringLiteral("/Four")).entries);
}

INSTANTIATE_TEST_SUITE_P(
    Productions, KeepGoingTest,
    ::testing::Values(
        KeepGoingRow{"ResizePictures",
                     [](const ProductionRequest &r, Host &h) { return ConvertPictures(r, h, 48, 36); }},
        KeepGoingRow{"PictureShow",
                     [](const ProductionRequest &r, Host &h) { return WritePictureShowPage(r, h); }},
        KeepGoingRow{"Thumbnails",
                     [](const ProductionRequest &r, Host &h) { return WriteThumbnailsPage(r, h, 48, 36); }},
        KeepGoingRow{"SlideShow",
                     [](const ProductionRequest &r, Host &h) { return WriteSlideShowPage(r, h, 3, 48, 36); }},
        KeepGoingRow{"BlockEffect", [](const ProductionRequest &r,
                                       Host &h) { return WriteBlockEffectPage(r, h, 48, 36, 12); }},
        KeepGoingRow{"Photoalbum1", [](const ProductionRequest &r,
                                       Host &h) { return WritePhotoalbumPage(r, h, 48, 36, 1); }},
        KeepGoingRow{"Photoalbum2", [](const ProductionRequest &r,
                                       Host &h) { return WritePhotoalbumPage(r, h, 48, 36, 2); }}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
