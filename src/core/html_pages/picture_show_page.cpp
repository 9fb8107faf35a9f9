#include "html_pages/picture_show_page.h"

#include "html_pages/page_writers.h"
#include "html_pages/page_writing.h"
#include "picture_conversion/bmp_to_jpeg.h"
#include "picture_conversion/conversion_steps.h"
#include "shared/file_writing.h"
#include "shared/host.h"
#include "shared/logging.h"
#include "shared/output_names.h"
#include "shared/paths.h"

#include <QFile>
#include <QFileInfo>

namespace
{

struct Copying {
    ProductionResult result;
    QStringList files; // the pictures written, by name, in selection order
    bool done() const { return result.done(); }
};

// The bytes of the picture at `path`, or the message why it cannot be read. For a picture browsers do
// not show, its picture made opaque, ready to encode. With `check`, any other picture is decoded once
// too (at its smallest), so that a damaged one is found rather than copied.
struct SourcePicture {
    QByteArray bytes;
    PictureKind kind = PictureKind::Unknown;
    QImage converted; // null where the bytes go into the album as they are
};
Outcome<SourcePicture> ReadSourcePicture(const QString &path, const QColor &background, bool check)
{
    QFile source(path);
    SourcePicture picture;
    if (source.open(QIODevice::ReadOnly))
        picture.bytes = source.readAll();
    if (!source.isOpen() || source.error() != QFileDevice::NoError)
        return Failure{PictureNotReadText(path, source.errorString())};
    picture.kind = PictureKindOf(picture.bytes.left(64));
    const bool converts = PictureShowConverts(picture.kind);
    if (!converts && !check)
        return picture;
    Outcome<QImage> loaded = LoadPictureFromBytes(picture.bytes, converts ? QSize() : QSize(1, 1));
    if (!loaded)
        return Failure{PictureNotReadText(path, loaded.reason())};
    if (!converts)
        return picture;
    // Transparent parts show the colour the converted pictures get.
    picture.converted = Opaque(loaded.value(), background);
    return picture;
}

// What goes into the album for one picture: its bytes unchanged where browsers show its kind, else a
// JPEG of its own size at the chosen quality. The failure is the message the user sees.
Outcome<QByteArray> AlbumBytes(const QString &path, const SourcePicture &picture, int quality)
{
    if (picture.converted.isNull())
        return picture.bytes;
    Outcome<QByteArray> jpeg = EncodeJpeg(picture.converted, quality);
    if (!jpeg) { // the encoder failed on its own
        qCDebug(lcConvert) << path << jpeg.reason();
        return Failure{NotSavedAsJpegText()};
    }
    return std::move(jpeg).value();
}

// Copies the selected files as images/pictureN: unchanged with their own extension, or as JPEGs
// where browsers do not show their kind. With keepGoing, a picture that cannot be read is left out
// and takes no number.
Copying CopyPictures(const ProductionRequest &request, Host &host, const QString &pictureFolder)
{
    Copying copying;
    ProductionResult &result = copying.result;
    const int n = int(request.selection.size());
    for (int i = 0; i < n; ++i) {
        const SelectedPicture &picture = request.selection[i];
        host.showStatus(QStringLiteral("Convert picture %1 of %2").arg(i + 1).arg(n));
        host.pause(0.2f);
        if (host.closing()) { // the program is ending: nothing more is copied or written
            result.end = ProductionResult::End::Abandoned;
            return copying;
        }
        const Outcome<SourcePicture> source =
            ReadSourcePicture(picture.path, request.canvasBackground, request.keepGoing);
        if (!source && request.keepGoing) {
            result.leftOut.push_back({picture.path, source.reason()});
            continue;
        }
        const Outcome<QByteArray> album =
            source ? AlbumBytes(picture.path, source.value(), request.settings.JpegQuality)
                   : source.failure();
        if (!album) {
            result.end = ProductionResult::End::Abandoned;
            result.message = album.reason();
            return copying;
        }
        const QString name = PictureShowFileName(int(result.picturesMade) + 1, picture.name, source->kind);
        const QString target = JoinPath(pictureFolder, name);
        if (const Status written = WriteWholeFile(target, album.value(), IfExists::Refuse); !written) {
            result.end = ProductionResult::End::Abandoned;
            result.message = FileNotWrittenText(target, written.reason());
            return copying;
        }
        copying.files << name;
        ++result.picturesMade;
    }
    return copying;
}

// The suffixes a picture of this kind is known by, its usual one first. A picture whose kind is not
// known by its content (copied as it is) may keep any of them.
QStringList KnownSuffixes(PictureKind kind)
{
    switch (kind) {
    case PictureKind::Jpeg:
        return {QStringLiteral("jpg"), QStringLiteral("jpeg")};
    case PictureKind::Gif:
        return {QStringLiteral("gif")};
    case PictureKind::Bmp:
        return {QStringLiteral("bmp")};
    case PictureKind::Png:
        return {QStringLiteral("png")};
    case PictureKind::WebP:
        return {QStringLiteral("webp")};
    case PictureKind::Avif:
        return {QStringLiteral("avif")};
    default:
        return {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"), QStringLiteral("gif"),
                QStringLiteral("bmp"), QStringLiteral("webp"), QStringLiteral("avif")};
    }
}

} // namespace

bool PictureShowConverts(PictureKind kind)
{
    return kind == PictureKind::Heic || kind == PictureKind::Tiff;
}

QString PictureShowFileName(int k, const QString &listedName, PictureKind kind)
{
    // The suffix reaches the page: only a plain picture suffix is kept, never text of a stranger's.
    const QStringList known =
        PictureShowConverts(kind) ? QStringList{QStringLiteral("jpg")} : KnownSuffixes(kind);
    const QString suffix = QFileInfo(listedName).suffix().toLower();
    return QStringLiteral("picture%1.").arg(k) + (known.contains(suffix) ? suffix : known.first());
}

QStringList PictureShowBodyLines(const QString &title, const QString &pageColour, const QStringList &files)
{
    // The big picture starts as the first picture written, under its own name.
    const QString first = files.isEmpty() ? QStringLiteral("picture1.jpg") : files.first();

    QStringList lines{
        QStringLiteral("</head>"),
        QStringLiteral("<body bgcolor=\"%1\" topmargin=\"10\" leftmargin=\"10\">").arg(pageColour),
        QStringLiteral(" "),
        QStringLiteral("<P>"),
        QStringLiteral(" "),
        QStringLiteral("<table border=\"0\" width=\"96%\" cellpadding=\"4\" cellspacing=\"4\">"),
        QStringLiteral("<tr>"),
        // The title goes in as typed: users may put markup in it on purpose.
        QStringLiteral("<td><SPAN class=titel>") + title + QStringLiteral("</SPAN></td>"),
        QStringLiteral("</tr>"),
        QStringLiteral("<tr>"),
        QStringLiteral("<td>"),
        QString(),
        QStringLiteral("  <table border=\"1\" cellpadding=\"1\" cellspacing=\"0\" bordercolor=\"#000000\">"),
        QStringLiteral("  <tr><td><img width=\"600\" height=\"400\" src=\"images/") + first +
            QStringLiteral("\" name=\"x1\"></td></tr>"),
        QStringLiteral("  </table>"),
        QString(),
        QStringLiteral("</td>"),
        QStringLiteral("<td valign=\"top\">"),
        QStringLiteral("<form>"),
        QStringLiteral("<Select OnChange=\"document.x1.src=options[selectedIndex].value\">"),
    };
    for (int i = 0; i < files.size(); ++i)
        lines << QStringLiteral("  <Option value=\"images/") + files[i] + QStringLiteral("\"> Picture ") +
                     QString::number(i + 1) + QLatin1Char(' ');
    lines << QStringLiteral("</Select> ") << QStringLiteral("</form>") << QStringLiteral("<P>")
          << QStringLiteral("<SPAN class=tekst>")
          << QStringLiteral("Door middel van het rolmenu kunnen de <b>") + QString::number(files.size()) +
                 QStringLiteral("</b> foto's worden bekeken.")
          << QStringLiteral("Als een foto is geselecteerd met de muis kan door middel van de")
          << QStringLiteral("pijltoetsen op het toetsenbord de foto's worden bekeken.")
          << QStringLiteral("</SPAN>") << QStringLiteral("</td>") << QStringLiteral("</tr>")
          << QStringLiteral("</table>") << QStringLiteral("<P>") << QStringLiteral(" ")
          << QStringLiteral("</body>") << QStringLiteral("</html>");
    return lines;
}

ProductionResult WritePictureShowPage(const ProductionRequest &request, Host &host)
{
    if (const Status names = CheckAlbumNames(request.folder, request.fileName); !names)
        return ProductionResult::Abandoned(names.reason());
    if (PageFileExists(request.albumHome, request.folder, request.fileName)) // nothing made: not abandoned
        return ProductionResult::Stopped(MapExistingText(request.folder));
    const Outcome<AlbumFolders> album = MakeOutputFolder(request.albumHome, request.folder);
    if (!album)
        return ProductionResult::Abandoned(album.reason());

    Copying copied = CopyPictures(request, host, album->pictureFolder);
    if (!copied.done()) {
        if (copied.result.picturesMade == 0)
            RemoveEmptyAlbum(album.value());
        return copied.result;
    }
    return WriteAndFinishPage(request, host,
                              PictureShowBodyLines(request.title, PageColourText(request), copied.files),
                              std::move(copied.result));
}
