// Pictures with hostile names through every production, as the window makes them: each page has
// the elements and the script of the same page made with plain names, and shows the names as text.
#include "app/production.h"
#include "support/fake_host.h"
#include "support/hostile_names.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <fcntl.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace
{

struct Style {
    const char *name;
    std::uint8_t pageStyle;
};
const Style Styles[] = {{"PictureShow", PageStyles::PictureShow}, {"SlideShow", PageStyles::SlideShow},
                        {"Thumbnails", PageStyles::Thumbnails},   {"BlockEffect", PageStyles::BlockEffect},
                        {"Photoalbum1", PageStyles::Photoalbum1}, {"Photoalbum2", PageStyles::Photoalbum2},
                        {"Resize", PageStyles::ResizePictures},   {"WebAlbum", PageStyles::WebAlbum}};

void PrintTo(const Style &style, std::ostream *os)
{
    *os << style.name;
}

// A JPEG at a path given as bytes, which need not be UTF-8.
bool WriteJpegAt(const QByteArray &path)
{
    const QByteArray jpeg = PictureFiles::JpegBytes(TestPictures::Quadrants(64, 48));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    const bool written = fd >= 0 && ::write(fd, jpeg.constData(), size_t(jpeg.size())) == jpeg.size();
    return fd >= 0 && ::close(fd) == 0 && written;
}

class HostileNamesTest : public ::testing::TestWithParam<std::tuple<Style, HostileName>>
{
  protected:
    QTemporaryDir dir;
    FakeHost feedback;

    ProductionRequest request(const QString &folder, const QStringList &paths) const
    {
        ProductionRequest r;
        for (const QString &path : paths)
            r.selection.push_back({path.section(QLatin1Char('/'), -1), path});
        r.folder = folder;
        r.fileName = QStringLiteral("index");
        r.title = QStringLiteral("Holiday");
        r.settings = {std::get<0>(GetParam()).pageStyle, 40, 30, 3, 12, 90};
        r.pageColour = QColor(0xE0, 0xF0, 0xE0);
        r.albumHome = dir.path();
        return r;
    }
};

TEST_P(HostileNamesTest, ThePageHasItsOwnElementsAndScriptAndShowsTheNameAsText)
{
    const auto &[style, hostile] = GetParam();
    ASSERT_TRUE(dir.isValid());
    const QByteArray fotos = QFile::encodeName(dir.filePath(QStringLiteral("fotos")));
    ASSERT_EQ(::mkdir(fotos.constData(), 0755), 0);
    QByteArray hostileBytes = fotos + '/';
    if (!hostile.folder.isEmpty()) {
        hostileBytes += hostile.folder + '/';
        ASSERT_EQ(::mkdir(hostileBytes.constData(), 0755), 0);
    }
    hostileBytes += hostile.file;
    QStringList plain;
    for (const char *name : {"/plain1.jpg", "/plain2.jpg", "/plain3.jpg"}) {
        plain << QFile::decodeName(fotos + name);
        ASSERT_TRUE(WriteJpegAt(fotos + name));
    }
    ASSERT_TRUE(WriteJpegAt(hostileBytes));
    const QString hostilePath = QFile::decodeName(hostileBytes); // as the window and the command line read it

    const ProductionResult plainResult = Produce(request(QStringLiteral("Plain"), plain), feedback);
    ASSERT_TRUE(plainResult.done()) << plainResult.message.toStdString();
    const ProductionResult result =
        Produce(request(QStringLiteral("Hostile"), {plain[0], hostilePath, plain[2]}), feedback);
    const QString page = dir.filePath(QStringLiteral("Hostile/index.html"));

    if (!QtCanName(hostileBytes)) {
        EXPECT_TRUE(result.abandoned());
        EXPECT_TRUE(result.message.startsWith(QStringLiteral("Picture ") + hostilePath +
                                              QStringLiteral(" could not be read: ")))
            << result.message.toStdString();
        EXPECT_FALSE(QFile::exists(page));
        return;
    }
    ASSERT_TRUE(result.done()) << result.message.toStdString();
    const QStringList pictures = QDir(dir.filePath(QStringLiteral("Hostile/images")))
                                     .entryList(QDir::Files | QDir::Hidden | QDir::System);
    static const QRegularExpression plainName(
        QStringLiteral("^picture[123]\\.(jpg|jpeg|png|gif|bmp|webp|avif)$"));
    EXPECT_EQ(pictures.filter(plainName), pictures);
    EXPECT_EQ(pictures.size(), 3);
    if (style.pageStyle == PageStyles::ResizePictures) {
        EXPECT_FALSE(QFile::exists(page));
        return;
    }
    ExpectNameOnlyAsText(PictureFiles::ReadBytes(dir.filePath(QStringLiteral("Plain/index.html"))),
                         PictureFiles::ReadBytes(page), plain[1], hostilePath);
}

INSTANTIATE_TEST_SUITE_P(Names, HostileNamesTest,
                         ::testing::Combine(::testing::ValuesIn(Styles), ::testing::ValuesIn(HostileNames())),
                         [](const auto &row) {
                             return std::string(std::get<0>(row.param).name) + "_" +
                                    std::get<1>(row.param).name;
                         });

} // namespace
