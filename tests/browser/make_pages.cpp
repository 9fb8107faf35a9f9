// Writes the six album pages for four pictures into <program folder>, one output folder per
// page, for the browser test: make_pages <program folder>. Prints one line per page. The title
// and a source's name lie outside ASCII, so the pages carry them as references.
#include "html_pages/page_writers.h"
#include "support/fake_host.h"
#include "support/test_pictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <functional>

namespace
{

// Four different sources of the three kinds the browser offers; the first is a GIF so
// the Picture Show's big picture starts as picture1.gif.
QStringList MakeSources(const QString &dir)
{
    const QString gif = dir + QStringLiteral("/Harbour.GIF");
    const QString jpeg = dir + QStringLiteral("/beach.jpg");
    const QString bmp = dir + QStringLiteral("/D\u00fcnen.bmp");
    const QString jpeg2 = dir + QStringLiteral("/forest.JPG");
    const bool ok =
        TestPictures::WriteTinyGif(gif, 64, 48, QColor(200, 30, 30)) &&
        TestPictures::WriteJpeg(TestPictures::Quadrants(120, 90), jpeg) &&
        TestPictures::WriteWithQt(TestPictures::Quadrants(90, 60).mirrored(true, false), bmp, "BMP") &&
        TestPictures::WriteJpeg(TestPictures::Quadrants(80, 120).mirrored(false, true), jpeg2);
    return ok ? QStringList{gif, jpeg, bmp, jpeg2} : QStringList();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pages <program folder>\n");
        return 2;
    }
    const QString program = QString::fromLocal8Bit(argv[1]);
    const QString sourceFolder = program + QStringLiteral("/sources");
    const QStringList sources = QDir().mkpath(sourceFolder) ? MakeSources(sourceFolder) : QStringList();
    if (sources.isEmpty()) {
        std::fprintf(stderr, "cannot write the test pictures into %s\n", qPrintable(sourceFolder));
        return 1;
    }

    struct PageRun {
        const char *folder;
        std::uint8_t style;
        std::function<void(FakeHost &)> write;
    };
    const QString file = QStringLiteral("album");
    const PageRun runs[] = {
        {"pictureshow", PageStyles::PictureShow,
         [&](FakeHost &h) { WritePictureShowPage(h.request(QStringLiteral("pictureshow"), file), h); }},
        {"slideshow", PageStyles::SlideShow,
         [&](FakeHost &h) {
             WriteSlideShowPage(h.request(QStringLiteral("slideshow"), file), h, 1, 300, 200);
         }},
        {"thumbnails", PageStyles::Thumbnails,
         [&](FakeHost &h) {
             WriteThumbnailsPage(h.request(QStringLiteral("thumbnails"), file), h, 160, 120);
         }},
        {"blockeffect", PageStyles::BlockEffect,
         [&](FakeHost &h) {
             WriteBlockEffectPage(h.request(QStringLiteral("blockeffect"), file), h, 200, 150, 12);
         }},
        {"photoalbum1", PageStyles::Photoalbum1,
         [&](FakeHost &h) {
             WritePhotoalbumPage(h.request(QStringLiteral("photoalbum1"), file), h, 200, 150, 1);
         }},
        {"photoalbum2", PageStyles::Photoalbum2,
         [&](FakeHost &h) {
             WritePhotoalbumPage(h.request(QStringLiteral("photoalbum2"), file), h, 200, 150, 2);
         }},
    };

    int failures = 0;
    for (const PageRun &run : runs) {
        FakeHost host;
        host.folder = program;
        host.title = QStringLiteral("Caf\u00e9 \u00c6r\u00f8 \u041f\u0440\u0438\u0432\u0435\u0442");
        for (const QString &path : sources)
            host.select(path);
        host.state.PageStyle = run.style;
        host.state.PictureWidth = run.style == PageStyles::Thumbnails ? 160 : 200;
        host.state.PictureHeight = run.style == PageStyles::Thumbnails ? 120 : 150;
        run.write(host);
        const QString page =
            program + QLatin1Char('/') + QLatin1String(run.folder) + QStringLiteral("/album.html");
        if (!host.messages.isEmpty() || host.opened != QStringList{page} || !QFile::exists(page)) {
            std::fprintf(stderr, "%s: page not written (%s)\n", run.folder,
                         host.messages.isEmpty() ? "no message" : qPrintable(host.messages.first().text));
            ++failures;
            continue;
        }
        std::printf("%s %s\n", run.folder, qPrintable(page));
    }
    return failures == 0 ? 0 : 1;
}
