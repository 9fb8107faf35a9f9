#include "html_pages/thumbnails_page.h"

#include "html_pages/page_escaping.h"
#include "html_pages/page_writers.h"
#include "html_pages/page_writing.h"
#include "picture_conversion/convert_pictures.h"
#include "shared/host.h"

QString ThumbnailsPathText(const QString &fullPath)
{
    // Upper-case first, so the entities themselves stay lower case.
    return PageText(fullPath.toUpper());
}

QStringList ThumbnailsBodyLines(const QString &pageColour, const QStringList &paths, const QStringList &dates,
                                std::int32_t width, std::int32_t height)
{
    const QString w = QString::number(width), h = QString::number(height);
    QStringList lines{
        QStringLiteral("</head>"),
        QStringLiteral("<body bgcolor=\"%1\" topmargin=\"10\" leftmargin=\"10\">").arg(pageColour),
        QStringLiteral(" "),
        QStringLiteral("<P>"),
        QStringLiteral("<SPAN class=titel>Thumbnails</SPAN>"),
        QStringLiteral("<P>"),
    };
    for (int i = 0; i < paths.size(); ++i) {
        const QString k = QString::number(i + 1);
        lines << QStringLiteral("<table border=\"0\" cellpadding=\"0\" cellspacing=\"2\"><tr>")
              << QStringLiteral("  <td><table border=\"1\" width=\"") + w + QStringLiteral("\" height=\"") +
                     h +
                     QStringLiteral(
                         "\" cellpadding=\"0\" cellspacing=\"0\"><tr><td><img src=\"images/picture") +
                     k + QStringLiteral(".jpg\"></td></tr></table></td>")
              << QStringLiteral("  <td width=\"10\"></td>") << QStringLiteral("  <td valign=\"top\">")
              << QStringLiteral("  <SPAN class=tekst><b>Picture ") + k + QStringLiteral("</b>")
              << QStringLiteral("  <P>") << QStringLiteral("  ") + ThumbnailsPathText(paths[i])
              << QStringLiteral("  <br>")
              << QStringLiteral("  Resolution ") + w + QStringLiteral(" x ") + h + QStringLiteral(" pixels")
              << QStringLiteral("  <br>")
              << QStringLiteral("  Filedate and time ") + dates.value(i) + QStringLiteral("</SPAN>")
              << QStringLiteral("  </td>") << QStringLiteral("</tr></table>") << QStringLiteral("<br>");
    }
    lines << QStringLiteral("<P>") << QStringLiteral(" ") << QStringLiteral("</body>")
          << QStringLiteral("</html>");
    return lines;
}

ProductionResult WriteThumbnailsPage(const ProductionRequest &request, Host &host, std::int32_t width,
                                     std::int32_t height)
{
    ProductionResult converted = ConvertPictures(request, host, width, height);
    if (!converted.done())
        return converted;
    const QStringList lines = ThumbnailsBodyLines(PageColourText(request), KeptPaths(request, converted),
                                                  converted.PictureDates, width, height);
    return WriteAndFinishPage(request, host, lines, std::move(converted));
}
