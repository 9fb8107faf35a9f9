// Going on past a picture that cannot be read: it is left out and named, and the album is made of
// the others, exactly as if they alone had been selected.
#include "app/production.h"
#include "conversion_fixture.h"
#include "shared/output_names.h"
#include "support/fake_host.h"
#include "support/picture_test_files.h"
#include "tree_snapshot.h"

using namespace PictureFiles;

namespace
{

struct KeepGoingRow {
    const char *name;
    std::uint8_t pageStyle;
};

class KeepGoingTest : public ConversionFixture<::testing::TestWithParam<KeepGoingRow>>
{
};

TEST_P(KeepGoingTest, ADamagedThirdPictureOfFiveIsLeftOutAndTheOthersMakeTheAlbum)
{
    // A canvas of 48 x 36, 3 seconds a slide, blocks of 12.
    static_cast<ConvertSettings &>(host.state) = {GetParam().pageStyle, 48, 36, 3, 12};
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

    const ProductionResult kept = Produce(request, host);
    const ProductionResult expected =
        Produce(four.request(QStringLiteral("Four"), QStringLiteral("index")), four);

    ASSERT_TRUE(kept.done()) << kept.message.toStdString();
    ASSERT_TRUE(expected.done()) << expected.message.toStdString();
    EXPECT_TRUE(host.messages.isEmpty()) << "the caller names the pictures left out";
    ASSERT_EQ(kept.leftOut.size(), 1);
    EXPECT_EQ(kept.leftOut[0].path, damaged);
    EXPECT_EQ(kept.leftOut[0].message, PictureNotReadText(damaged, "the file ends before the picture does"));
    EXPECT_EQ(kept.picturesMade, 4);
    EXPECT_EQ(kept.PictureDates, expected.PictureDates);
    // The pictures and the page, byte for byte those of the four pictures alone.
    const TreeSnapshot album = TreeSnapshot::Of(host.folder + QStringLiteral("/Kept"));
    EXPECT_EQ(album.entries, TreeSnapshot::Of(host.folder + QStringLiteral("/Four")).entries);
}

INSTANTIATE_TEST_SUITE_P(Productions, KeepGoingTest,
                         ::testing::Values(KeepGoingRow{"ResizePictures", PageStyles::ResizePictures},
                                           KeepGoingRow{"PictureShow", PageStyles::PictureShow},
                                           KeepGoingRow{"Thumbnails", PageStyles::Thumbnails},
                                           KeepGoingRow{"SlideShow", PageStyles::SlideShow},
                                           KeepGoingRow{"BlockEffect", PageStyles::BlockEffect},
                                           KeepGoingRow{"Photoalbum1", PageStyles::Photoalbum1},
                                           KeepGoingRow{"Photoalbum2", PageStyles::Photoalbum2},
                                           KeepGoingRow{"WebAlbum", PageStyles::WebAlbum}),
                         [](const auto &row) { return std::string(row.param.name); });

} // namespace
