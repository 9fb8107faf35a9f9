#include "html_pages/web_album_page.h"

#include "page_file_test_support.h"
#include "support/metadata_pictures.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"

#include <QFile>
#include <QImageReader>
#include <tuple>

namespace
{

// The markers of a JPEG up to its picture data: 0xE1 would be EXIF or XMP, 0xE2 an ICC profile.
QList<int> Markers(const QByteArray &jpeg)
{
    QList<int> markers;
    for (qsizetype i = 2; i + 4 <= jpeg.size() && uchar(jpeg[i]) == 0xff;) {
        const int marker = uchar(jpeg[i + 1]);
        markers << marker;
        if (marker == 0xda)
            break;
        i += 2 + (uchar(jpeg[i + 2]) << 8 | uchar(jpeg[i + 3]));
    }
    return markers;
}

enum class Source { Jpeg, ExifRotated, TransparentPng };

struct SizeRow {
    const char *name;
    Source source;
    QSize stored;
    QSize box;
    QSize large, small; // expected
};

class WebAlbumPicturesTest : public PageTest, public ::testing::WithParamInterface<SizeRow>
{
};

TEST_P(WebAlbumPicturesTest, FitsBothSizesWithoutMetadataNorEnlarging)
{
    const SizeRow &row = GetParam();
    QString path = pathIn(QStringLiteral("clear.png"));
    if (row.source == Source::TransparentPng) {
        QImage clear(row.stored, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        ASSERT_TRUE(clear.save(path));
    } else {
        const QByteArray jpeg =
            PictureFiles::JpegBytes(TestPictures::Quadrants(row.stored.width(), row.stored.height()));
        path =
            writeFile(QStringLiteral("photo.jpg"),
                      row.source == Source::ExifRotated ? PictureFiles::WithExifOrientation(jpeg, 6) : jpeg);
    }
    host.select(path);
    ProductionRequest request = host.request(QStringLiteral("Album"), QStringLiteral("index"));
    request.canvasBackground = QColor(10, 200, 30);
    const ProductionResult result = WriteWebAlbumPage(request, host, row.box.width(), row.box.height());
    ASSERT_TRUE(result.done()) << result.message.toStdString();

    // JFIF, no metadata; the large picture baseline (SOF0), the small one progressive (SOF2).
    const QList<int> baseline{0xe0, 0xdb, 0xdb, 0xc0, 0xc4, 0xc4, 0xc4, 0xc4, 0xda};
    const QList<int> progressive{0xe0, 0xdb, 0xdb, 0xc2, 0xc4, 0xc4, 0xda};
    for (const auto &[file, size, markers] :
         {std::tuple{QStringLiteral("Album/images/picture1.jpg"), row.large, baseline},
          std::tuple{QStringLiteral("Album/images/small/picture1.jpg"), row.small, progressive}}) {
        const QByteArray jpeg = PictureFiles::ReadBytes(JoinPath(host.folder, file));
        EXPECT_EQ(Markers(jpeg), markers) << file.toStdString();
        QImage written = QImage::fromData(jpeg);
        EXPECT_EQ(written.size(), size) << file.toStdString();
        if (row.source == Source::TransparentPng) {
            EXPECT_TRUE(TestPictures::Near(written.pixelColor(size.width() / 2, size.height() / 2),
                                           request.canvasBackground, 12));
        }
        if (row.source == Source::ExifRotated) { // turned upright: red, top left, is now top right
            EXPECT_TRUE(
                TestPictures::Near(TestPictures::ColourAround(written, size.width() - 4, 4), Qt::red));
        }
    }
    const QString page = QString::fromLatin1(pageBytes(QStringLiteral("Album"), QStringLiteral("index")));
    EXPECT_TRUE(page.contains(
        QStringLiteral("width=\"%1\" height=\"%2\"").arg(row.small.width()).arg(row.small.height())));
}

// Fitted where the box is wider or taller; neither picture ever enlarged (where the box is smaller
// than the small one's, the small picture is the large one's size).
const SizeRow SizeRows[] = {
    {"Portrait", Source::Jpeg, {1500, 2000}, {1600, 1200}, {900, 1200}, {360, 480}},
    {"Panorama", Source::Jpeg, {3000, 500}, {1600, 1200}, {1600, 267}, {480, 80}},
    {"BetweenTheBoxes", Source::Jpeg, {1000, 800}, {1600, 1200}, {1000, 800}, {480, 384}},
    {"BoxSmallerThanTheSmallOne", Source::Jpeg, {800, 600}, {320, 320}, {320, 240}, {320, 240}},
    {"ExifTurnedUpright", Source::ExifRotated, {2000, 1500}, {1600, 1200}, {900, 1200}, {360, 480}},
    {"TransparencyOnTheBackground", Source::TransparentPng, {600, 400}, {1600, 1200}, {600, 400}, {480, 320}},
};
INSTANTIATE_TEST_SUITE_P(Sizes, WebAlbumPicturesTest, ::testing::ValuesIn(SizeRows),
                         [](const auto &row) { return std::string(row.param.name); });

using WebAlbumRunTest = PageTest;

// Harbour (taken 2020, turned sideways, described), plain (its file's date only), dune (taken
// 2019, described) and quay (the plain one's file date).
TEST_F(WebAlbumRunTest, OrdersByDateTakenElseTheFileDateStablyWithCaptionsAndTheWindowsPacing)
{
    const QDateTime fileDay(QDate(2021, 6, 1), QTime(8, 15)), later(QDate(2024, 5, 1), {});
    const struct {
        const char *name;
        MetadataPictures::Tags tags;
        QDateTime fileDate;
    } sources[] = {
        {"harbour.jpg", {6, "2020:01:01 10:00:00", {}, "Harbour & <boats>", {}}, later},
        {"plain.jpg", {}, fileDay},
        {"dune.jpg", {0, "2019:07:07 08:00:00", "+02:00", {}, "Dune"}, later},
        {"quay.jpg", {}, fileDay},
    };
    for (const auto &source : sources) {
        QByteArray bytes = PictureFiles::JpegBytes(TestPictures::Quadrants(640, 480));
        if (!source.tags.taken.empty())
            bytes = MetadataPictures::WithTags(bytes, source.tags);
        ASSERT_FALSE(bytes.isEmpty());
        const QString path = writeFile(QString::fromLatin1(source.name), bytes);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
                    file.setFileTime(source.fileDate, QFileDevice::FileModificationTime));
        host.select(path);
    }
    ProductionRequest request = host.request(QStringLiteral("A"), QStringLiteral("index"));
    request.workers = 2;
    request.sortByDate = true;
    const ProductionResult result = WriteWebAlbumPage(request, host, 1600, 1200);
    ASSERT_TRUE(result.done()) << result.message.toStdString();

    const auto widthOf = [this](const char *file) {
        return QImageReader(JoinPath(host.folder, QLatin1String(file))).size().width();
    };
    const QString page = QString::fromLatin1(pageBytes(QStringLiteral("A"), QStringLiteral("index")));
    qsizetype at = 0;
    for (const char *alt :
         {"alt=\"Dune\"", "alt=\"Harbour &amp; &lt;boats&gt;\"", "alt=\"plain.jpg\"", "alt=\"quay.jpg\""}) {
        EXPECT_GT(page.indexOf(QLatin1String(alt)), at) << alt;
        at = page.indexOf(QLatin1String(alt));
    }
    for (const char *caption :
         {"<p>Dune<br>2019-07-07 08:00</p>", "<p>Harbour &amp; &lt;boats&gt;<br>2020-01-01 10:00</p>",
          "<p>2021-06-01 08:15</p>"})
        EXPECT_TRUE(page.contains(QLatin1String(caption))) << caption;
    // The harbour is picture 2 in both sizes, turned upright by the orientation read with its date.
    EXPECT_EQ(widthOf("A/images/picture2.jpg"), 480);
    EXPECT_EQ(widthOf("A/images/small/picture2.jpg"), 360);
    EXPECT_EQ(host.statuses,
              (QStringList{QStringLiteral("Convert picture 1 of 4"), QStringLiteral("Convert picture 2 of 4"),
                           QStringLiteral("Convert picture 3 of 4"), QStringLiteral("Convert picture 4 of 4"),
                           QStringLiteral("Convert pictures ready, open html page....")}));
    EXPECT_EQ(host.pauses, (QVector<float>{0.2f, 0.2f, 0.2f, 0.2f, 1.0f}));
    EXPECT_EQ(host.opened, QStringList{result.pagePath});

    // Without the flag, the selection's order: the harbour first.
    request.folder = QStringLiteral("B");
    request.sortByDate = false;
    ASSERT_TRUE(WriteWebAlbumPage(request, host, 1600, 1200).done());
    EXPECT_EQ(widthOf("B/images/picture1.jpg"), 480);
}

TEST_F(WebAlbumRunTest, APictureThatCannotBeReadEndsTheRunAndLeavesNoFolders)
{
    host.select(writeFile(QStringLiteral("broken.jpg"), QByteArray("\xff\xd8\xff\xe0 not a picture")));
    const ProductionResult result =
        WriteWebAlbumPage(host.request(QStringLiteral("A"), QStringLiteral("index")), host, 1600, 1200);
    EXPECT_TRUE(result.abandoned());
    EXPECT_TRUE(result.message.startsWith(QStringLiteral("Picture ")) &&
                result.message.contains(QStringLiteral("could not be read")))
        << result.message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(JoinPath(host.folder, QStringLiteral("A"))));
    EXPECT_TRUE(host.opened.isEmpty());
}

} // namespace
