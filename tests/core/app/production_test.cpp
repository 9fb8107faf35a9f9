// A production made from a request alone: no window, only the feedback a production gives.
#include "app/production.h"
#include "shared/output_names.h"
#include "support/fake_host.h"
#include "support/test_pictures.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

class ProductionTest : public ::testing::Test
{
  protected:
    QTemporaryDir dir;
    FakeHost feedback; // only its Host side is used here

    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    ProductionRequest request(const QString &folder, std::uint8_t style, int pictures, QSize size = {40, 30})
    {
        ProductionRequest r;
        for (int i = 0; i < pictures; ++i) {
            const QString path = dir.filePath(QStringLiteral("p%1.jpg").arg(i));
            if (!QFileInfo::exists(path)) {
                EXPECT_TRUE(TestPictures::WriteJpeg(TestPictures::Quadrants(64, 48), path));
            }
            r.selection.push_back({QFileInfo(path).fileName(), path});
        }
        r.folder = folder;
        r.fileName = QStringLiteral("index");
        r.title = QStringLiteral("Title of ") + folder;
        r.settings.PageStyle = style;
        r.settings.PictureWidth = size.width();
        r.settings.PictureHeight = size.height();
        r.settings.PauseSeconds = 3;
        r.settings.BlockSize = 12;
        r.settings.JpegQuality = 90;
        r.pageColour = QColor(0x12, 0x34, 0x56);
        r.albumHome = dir.filePath(QStringLiteral("home"));
        EXPECT_TRUE(QDir().mkpath(r.albumHome));
        return r;
    }
    QString album(const QString &folder, const QString &name) const
    {
        return dir.filePath(QStringLiteral("home/") + folder + QLatin1Char('/') + name);
    }
};

// Every style from the request: the pictures, the page with the request's title and colour, and
// what the result carries.
TEST_F(ProductionTest, EveryStyleIsMadeFromTheRequestAlone)
{
    const struct {
        std::uint8_t style;
        QSize picture; // invalid: copied unchanged
        bool page;
    } rows[] = {{PageStyles::PictureShow, {}, true},          {PageStyles::SlideShow, {300, 200}, true},
                {PageStyles::Thumbnails, {40, 30}, true},     {PageStyles::BlockEffect, {40, 30}, true},
                {PageStyles::Photoalbum1, {40, 30}, true},    {PageStyles::Photoalbum2, {40, 30}, true},
                {PageStyles::ResizePictures, {40, 30}, false}};
    for (const auto &row : rows) {
        const QString folder = QStringLiteral("Style%1").arg(row.style);
        SCOPED_TRACE(folder.toStdString());
        const ProductionResult result = Produce(request(folder, row.style, 3), feedback);
        ASSERT_TRUE(result.done()) << result.message.toStdString();
        EXPECT_TRUE(result.message.isEmpty());
        const QStringList pictures = QDir(album(folder, QStringLiteral("images"))).entryList(QDir::Files);
        ASSERT_EQ(pictures.size(), 3);
        if (row.picture.isValid()) {
            EXPECT_EQ(QImage(album(folder, QStringLiteral("images/picture3.jpg"))).size(), row.picture);
        }
        EXPECT_EQ(result.PictureDates.size(), row.style == PageStyles::PictureShow ? 0 : 3);
        if (!row.page) {
            EXPECT_TRUE(result.pagePath.isEmpty());
            continue;
        }
        EXPECT_EQ(result.pagePath, album(folder, QStringLiteral("index.html")));
        EXPECT_EQ(result.PageColour, QStringLiteral("#123456"));
        QFile page(result.pagePath);
        ASSERT_TRUE(page.open(QIODevice::ReadOnly));
        const QByteArray bytes = page.readAll();
        EXPECT_TRUE(bytes.contains("#123456"));
        if (row.style == PageStyles::PictureShow || row.style >= PageStyles::Photoalbum1) {
            EXPECT_TRUE(bytes.contains(("Title of " + folder).toUtf8()));
        }
    }
    EXPECT_EQ(feedback.opened.size(), 6);
    EXPECT_TRUE(feedback.messages.isEmpty());
}

// Nothing asked for (Ok without an option) makes nothing and is no failure; a page style no
// production answers to is refused, not reported as made.
TEST_F(ProductionTest, AnUnknownPageStyleIsRefusedAndNoneMakesNothing)
{
    const ProductionResult none = Produce(request(QStringLiteral("None"), PageStyles::None, 1), feedback);
    EXPECT_TRUE(none.done());
    EXPECT_TRUE(none.message.isEmpty());
    for (const std::uint8_t style : {std::uint8_t(42), PageStyles::Abandoned}) {
        const ProductionResult unknown = Produce(request(QStringLiteral("Odd"), style, 1), feedback);
        EXPECT_FALSE(unknown.done()) << int(style);
        EXPECT_EQ(unknown.message, UnknownPageStyleText(style));
    }
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("home"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList());
    EXPECT_TRUE(feedback.opened.isEmpty());
}

// Proportions kept on request: a 640 x 480 picture in 160 x 160 is 160 x 120 between two bands
// of the page colour.
TEST_F(ProductionTest, KeepProportionsFitsThePictureOnThePageColour)
{
    ProductionRequest r = request(QStringLiteral("Fit"), PageStyles::ResizePictures, 0, {160, 160});
    const QString wide = dir.filePath(QStringLiteral("wide.jpg"));
    QImage red(640, 480, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(TestPictures::WriteJpeg(red, wide));
    r.selection = {{QStringLiteral("wide.jpg"), wide}};
    r.pageColour = Qt::blue;
    r.keepProportions = true;
    ASSERT_TRUE(Produce(r, feedback).done());
    const QImage out(album(QStringLiteral("Fit"), QStringLiteral("images/picture1.jpg")));
    ASSERT_EQ(out.size(), QSize(160, 160));
    for (const int y : {2, 17, 142, 157})
        EXPECT_TRUE(TestPictures::Near(out.pixelColor(80, y), Qt::blue, 24)) << y;
    for (const int y : {23, 80, 137})
        EXPECT_TRUE(TestPictures::Near(out.pixelColor(80, y), Qt::red, 24)) << y;
    for (const int x : {2, 157})
        EXPECT_TRUE(TestPictures::Near(out.pixelColor(x, 80), Qt::red, 24)) << x;
}

// Two productions at once (the second started from inside the first's pause) into two albums:
// each has its own scratch file, and every picture of both is whole and its own.
TEST_F(ProductionTest, TwoProductionsAtOnceKeepTheirPicturesApart)
{
    ProductionRequest first = request(QStringLiteral("First"), PageStyles::ResizePictures, 0, {64, 48});
    ProductionRequest second = request(QStringLiteral("Second"), PageStyles::ResizePictures, 0, {64, 48});
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan, Qt::magenta};
    for (int i = 0; i < 6; ++i) {
        const QString path = dir.filePath(QStringLiteral("c%1.jpg").arg(i));
        QImage plain(64, 48, QImage::Format_RGB32);
        plain.fill(colours[i]);
        ASSERT_TRUE(TestPictures::WriteJpeg(plain, path));
        (i < 3 ? first : second).selection.push_back({QFileInfo(path).fileName(), path});
    }
    FakeHost inner;
    // While both run, each holds a scratch folder of its own: another process may be the other run.
    QStringList scratchFolders;
    inner.onPause = [&] {
        for (const QString &folder : {QStringLiteral("First"), QStringLiteral("Second")})
            for (const QString &name : QDir(album(folder, QString())).entryList(QDir::Dirs | QDir::Hidden))
                if (name.startsWith(QStringLiteral(".scratch-")))
                    scratchFolders << folder;
    };
    ProductionResult secondResult = ProductionResult::Stopped(QStringLiteral("not run"));
    feedback.onPause = [&] {
        if (feedback.pauses.size() == 1)
            secondResult = Produce(second, inner);
    };
    const ProductionResult firstResult = Produce(first, feedback);
    ASSERT_TRUE(firstResult.done()) << firstResult.message.toStdString();
    ASSERT_TRUE(secondResult.done()) << secondResult.message.toStdString();
    EXPECT_EQ(scratchFolders, (QStringList{"First", "Second", "First", "Second", "First", "Second"}));
    for (int i = 0; i < 6; ++i) {
        const QString folder = i < 3 ? QStringLiteral("First") : QStringLiteral("Second");
        const QImage picture(album(folder, QStringLiteral("images/picture%1.jpg").arg(i % 3 + 1)));
        ASSERT_EQ(picture.size(), QSize(64, 48)) << i;
        for (const QPoint at : {QPoint(2, 2), QPoint(32, 24), QPoint(61, 45)})
            EXPECT_TRUE(TestPictures::Near(picture.pixelColor(at), colours[i], 16)) << i;
    }
    QDirIterator left(dir.filePath(QStringLiteral("home")), {QStringLiteral("mydummy.bmp")}, QDir::Files,
                      QDirIterator::Subdirectories);
    EXPECT_FALSE(left.hasNext()) << "no scratch file outlives its run";
}

// No limit of 100 here: that is the Make command's.
TEST_F(ProductionTest, AThousandPicturesAreMade)
{
    ProductionRequest r = request(QStringLiteral("Many"), PageStyles::Thumbnails, 1, {8, 6});
    r.selection = QList<SelectedPicture>(1000, r.selection.first());
    const ProductionResult result = Produce(r, feedback);
    ASSERT_TRUE(result.done()) << result.message.toStdString();
    EXPECT_EQ(result.PictureDates.size(), 1000);
    EXPECT_EQ(QDir(album(QStringLiteral("Many"), QStringLiteral("images"))).entryList(QDir::Files).size(),
              1000);
    EXPECT_EQ(feedback.statuses.value(999), QStringLiteral("Convert picture 1000 of 1000"));
}

} // namespace
