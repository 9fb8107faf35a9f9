#include "html_pages/picture_show_page.h"

#include "html_pages/page_writers.h"
#include "html_pages/page_writing.h"
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

ProductionResult WritePictureShowPage(Host &host, const QString &folder, const QString &fileName)
{
    const QString pageColour = UpdatePageColour(host);
    const OutputFolder output = MakeOutputFolder(host.programFolder(), folder, fileName);
    switch (output.problem) {
    case OutputFolder::Problem::None:
        break;
    case OutputFolder::Problem::NameNotAllowed:
        return ProductionResult::Abandoned(output.message);
    case OutputFolder::Problem::PageExists: // before anything is made: the run is not abandoned
        return ProductionResult::Stopped(MapExistingText(folder));
    case OutputFolder::Problem::FolderExists:
        return ProductionResult::Abandoned(MapExistingText(folder));
    case OutputFolder::Problem::NotMade:
        return ProductionResult::Abandoned(output.message);
    }

    // The lists are taken once, so the copied names and the page's names stay in step.
    const QStringList names = host.selectionNames();
    const QStringList paths = host.selectionPaths();
    const int n = int(paths.size());
    for (int i = 0; i < n; ++i) {
        const int k = i + 1;
        const QString target =
            JoinPath(output.pictureFolder, PictureName(k, PictureShowExtension(names.value(i))));
        host.showStatus(QStringLiteral("Convert picture %1 of %2").arg(k).arg(n));
        host.pause(0.2f);
        if (host.closing()) // the program is ending: nothing more is copied or written
            return ProductionResult::Abandoned(QString());
        if (!QFile::copy(paths[i], target))
            return ProductionResult::Abandoned(MapExistingText(folder));
    }

    // A page file that cannot be written abandons the run like every failure after the folders.
    const ProductionResult written =
        WriteAndFinishPage(host, folder, fileName, PictureShowBodyLines(host.pageTitle(), pageColour, names));
    return written.done() ? written : ProductionResult::Abandoned(written.message());
}
