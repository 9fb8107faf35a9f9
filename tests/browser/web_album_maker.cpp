// Writes a web album for the browser checks: web_album_maker <home> <count> [photo folder].
// The album is <home>/album/index.html with `count` pictures of four shapes (one smaller than the
// small box), made from generated pictures or, given a folder, from its JPEGs taken in turn. The
// title, the first two file names and the third picture's description are hostile: markup and
// script that must stay text. Every fourth picture has a description and a date taken.
// Prints the page's path.
#include "html_pages/web_album_page.h"
#include "support/fake_host.h"
#include "support/metadata_pictures.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>

namespace
{

const QString HostileTitle = QStringLiteral("</title><script>window.pwned=1</script> & <b>Caf\u00e9</b>");

QString SourceName(int i)
{
    if (i == 0)
        return QStringLiteral("<img src=x onerror=\"window.pwned=1\">.jpg");
    if (i == 1)
        return QStringLiteral("Caf\u00e9 & \"quotes\" 'apos' \u2603.jpg");
    return QStringLiteral("photo %1.jpg").arg(i + 1, 3, 10, QLatin1Char('0'));
}

// A picture that says its number, so a screenshot shows which one is where.
QImage Numbered(int i)
{
    static const QSize Shapes[] = {{640, 480}, {480, 640}, {900, 300}, {200, 150}};
    QImage image = TestPictures::Quadrants(Shapes[i % 4].width(), Shapes[i % 4].height());
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPixelSize(image.height() / 3);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(image.rect(), Qt::AlignCenter, QString::number(i + 1));
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: web_album_maker <home> <count> [photo folder]\n");
        return 2;
    }
    const QString home = QString::fromLocal8Bit(argv[1]);
    const int count = QByteArray(argv[2]).toInt();
    const QString sources = home + QStringLiteral("/sources");
    QStringList photos;
    if (argc == 4)
        for (const QFileInfo &file : QDir(QString::fromLocal8Bit(argv[3]))
                                         .entryInfoList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
            photos << file.absoluteFilePath();
    if (count < 1 || !QDir().mkpath(sources) || (argc == 4 && photos.isEmpty())) {
        std::fprintf(stderr, "cannot make the sources in %s\n", qPrintable(sources));
        return 1;
    }

    FakeHost host;
    host.folder = home;
    host.title = HostileTitle;
    host.state.PageStyle = PageStyles::WebAlbum;
    host.state.JpegQuality = 80;
    for (int i = 0; i < count; ++i) {
        const QString path = sources + QLatin1Char('/') + SourceName(i);
        bool written = false;
        if (!photos.isEmpty()) {
            written = QFile::copy(photos[i % photos.size()], path);
        } else if (i % 4 == 2) {
            const std::string description = i == 2 ? "<script>window.pwned=1</script> Sunset & \"sea\""
                                                   : "Picture " + std::to_string(i + 1);
            written = PictureFiles::WriteBytes(
                path, MetadataPictures::WithTags(PictureFiles::JpegBytes(Numbered(i)),
                                                 {0, "2023:08:15 19:45:00", {}, description, {}}));
        } else {
            written = TestPictures::WriteJpeg(Numbered(i), path);
        }
        if (!written) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        host.select(path);
    }
    ProductionRequest request = host.request(QStringLiteral("album"), QStringLiteral("index"));
    const ProductionResult result = WriteWebAlbumPage(request, host, 1600, 1200);
    if (!result.done()) {
        std::fprintf(stderr, "album not made: %s\n", qPrintable(result.message));
        return 1;
    }
    std::printf("%s\n", qPrintable(result.pagePath));
    return 0;
}
