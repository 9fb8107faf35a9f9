#include "html_pages/picture_show_page.h"

#include "html_pages/page_writers.h"
#include "html_pages/page_writing.h"
#include "shared/file_writing.h"
#include "shared/host.h"
#include "shared/output_names.h"
#include "shared/paths.h"

#include <QFile>

namespace
{

QString PictureName(int k, const QString &extension)
{
    return QStringLiteral("picture") + QString::number(k) + extension;
}

struct Copying {
    ProductionResult result;
    bool wrotePicture = false; // from the first copy on, what was made stays
    bool done() const { return result.done(); }
};

// Copies the selected files unchanged as images/pictureN with their own extension.
Copying CopyPictures(const ProductionRequest &request, Host &host, const QString &pictureFolder)
{
    Copying copying;
    const int n = int(request.selection.size());
    for (int i = 0; i < n; ++i) {
        const int k = i + 1;
        const SelectedPicture &picture = request.selection[i];
        const QString target = JoinPath(pictureFolder, PictureName(k, PictureShowExtension(picture.name)));
        host.showStatus(QStringLiteral("Convert picture %1 of %2").arg(k).arg(n));
        host.pause(0.2f);
        if (host.closing()) { // the program is ending: nothing more is copied or written
            copying.result = ProductionResult::Abandoned(QString());
            return copying;
        }
        QFile source(picture.path);
        QByteArray bytes;
        if (source.open(QIODevice::ReadOnly))
            bytes = source.readAll();
        if (!source.isOpen() || source.error() != QFileDevice::NoError) {
            copying.result =
                ProductionResult::Abandoned(PictureNotReadText(picture.path, source.errorString()));
            return copying;
        }
        if (const Status written = WriteWholeFile(target, bytes, IfExists::Refuse); !written) {
            copying.result = ProductionResult::Abandoned(FileNotWrittenText(target, written.reason()));
            return copying;
        }
        copying.wrotePicture = true;
    }
    return copying;
}

} // namespace

QString PictureShowExtension(const QString &listedName)
{
    return listedName.right(4).toLower();
}

QStringList PictureShowBodyLines(const QString &title, const QString &pageColour, const QStringList &names)
{
    // The big picture starts as the copied first picture, under its own extension.
    const QString firstExtension =
        names.isEmpty() ? QStringLiteral(".jpg") : PictureShowExtension(names.first());

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
        QStringLiteral("  <tr><td><img width=\"600\" height=\"400\" src=\"images/") +
            PictureName(1, firstExtension) + QStringLiteral("\" name=\"x1\"></td></tr>"),
        QStringLiteral("  </table>"),
        QString(),
        QStringLiteral("</td>"),
        QStringLiteral("<td valign=\"top\">"),
        QStringLiteral("<form>"),
        QStringLiteral("<Select OnChange=\"document.x1.src=options[selectedIndex].value\">"),
    };
    for (int i = 0; i < names.size(); ++i) {
        const int k = i + 1;
        lines << QStringLiteral("  <Option value=\"images/") +
                     PictureName(k, PictureShowExtension(names[i])) + QStringLiteral("\"> Picture ") +
                     QString::number(k) + QLatin1Char(' ');
    }
    lines << QStringLiteral("</Select> ") << QStringLiteral("</form>") << QStringLiteral("<P>")
          << QStringLiteral("<SPAN class=tekst>")
          << QStringLiteral("Door middel van het rolmenu kunnen de <b>") + QString::number(names.size()) +
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

    const Copying copied = CopyPictures(request, host, album->pictureFolder);
    if (!copied.done()) {
        if (!copied.wrotePicture)
            RemoveEmptyAlbum(album.value());
        return copied.result;
    }
    return WriteAndFinishPage(request, host,
                              PictureShowBodyLines(request.title, PageColourText(request), request.names()));
}
