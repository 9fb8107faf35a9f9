#include "html_pages/photoalbum_page.h"

#include "html_pages/page_writers.h"
#include "html_pages/page_writing.h"
#include "picture_conversion/convert_pictures.h"
#include "shared/host.h"

namespace
{

// Photoalbum 2 adds a reveal transition to each step; Photoalbum 1 writes none of these lines.
QStringList RevealLines(const PhotoalbumPage &page)
{
    if (!page.revealTransitions)
        return {};
    return {
        QStringLiteral("  dia.style.filter='revealTrans(transition=' + id + ',duration=2)'"),
        QStringLiteral("  dia.filters.revealTrans.Apply();"),
        QStringLiteral("  dia.src = \"images/picture\"+ teller +\".jpg\";"),
        QStringLiteral("  dia.filters.revealTrans.Play()"),
    };
}

QStringList OnlyWithReveal(const PhotoalbumPage &page, const QString &line)
{
    return page.revealTransitions ? QStringList{line} : QStringList{};
}

} // namespace

QStringList PhotoalbumBodyLines(const PhotoalbumPage &page)
{
    const QString pictureCount = QString::number(page.pictureCount);
    const QString counterLine =
        QStringLiteral("  form.nummer.value= \" Picture \" + teller + \" / %1\";").arg(pictureCount);
    const QString pictureLine = QStringLiteral("  dia.src = \"images/picture\"+ teller +\".jpg\";");
    // Widened so that no picture size can overflow the sums.
    const QString frameWidth = QString::number(page.frameWidth);
    const QString frameWidth60 = QString::number(qint64(page.frameWidth) + 60);
    const QString cellHeight = QString::number(qint64(page.frameHeight) + 10);

    QStringList lines{
        QString(),
        QStringLiteral("<script language=\"javascript\">"),
        QStringLiteral("<!--"),
        QString(),
        QStringLiteral("var teller=1;"),
    };
    lines += OnlyWithReveal(page, QStringLiteral("var id=0;"));
    lines += QStringList{
        QString(),
        QStringLiteral("function slidenext(){"),
        QStringLiteral("  teller = teller + 1;"),
    };
    lines += OnlyWithReveal(page, QStringLiteral("  id = id + 1;"));
    lines << QStringLiteral("  if (teller==%1) teller = 1;").arg(page.pictureCount + 1);
    lines += OnlyWithReveal(page, QStringLiteral("  if (id==24) id=1;"));
    lines << pictureLine << counterLine << QString();
    lines += RevealLines(page);
    lines += QStringList{
        QString(),
        QStringLiteral("}"),
        QString(),
        QStringLiteral("function slidevorige(){"),
        QStringLiteral("  teller = teller - 1;"),
    };
    lines += OnlyWithReveal(page, QStringLiteral("  id = id - 1;"));
    lines << QStringLiteral("  if (teller==0) teller = %1;").arg(pictureCount);
    lines += OnlyWithReveal(page, QStringLiteral("  if (id==0) id=23;"));
    lines << pictureLine << counterLine << QString();
    lines += RevealLines(page);
    lines += QStringList{
        QString(),
        QStringLiteral("}"),
        QString(),
        QStringLiteral("//-->"),
        QStringLiteral("</script>"),
        QStringLiteral("</head>"),
        QString(),
        QStringLiteral("<body bgcolor=\"%1\" topmargin=\"10\" leftmargin=\"10\">").arg(page.pageColour),
        QString(),
        QStringLiteral("<center>"),
        QStringLiteral("<P><br><P>"),
        QStringLiteral("<SPAN class=titel>Photoalbum</SPAN>"),
        QStringLiteral("<P>"),
        QString(),
        QStringLiteral("<table BORDER=\"3\" CELLPADDING=\"0\" CELLSPACING=\"0\" BorderColorLight=\"#AAAAFF\" "
                       "BorderColorDark=\"#000044\">"),
        QStringLiteral("<tr>"),
        QStringLiteral("  <td><table BORDER=\"0\" CELLPADDING=\"0\" CELLSPACING=\"0\" WIDTH=\"%1\" "
                       "bgcolor=\"#1858A0\">")
            .arg(frameWidth60),
        QStringLiteral("    <tr>"),
        QStringLiteral("      <td WIDTH=\"30\" HEIGHT=\"17\"></td>"),
        QStringLiteral("      <td WIDTH=\"%1\" HEIGHT=\"17\"></td>").arg(frameWidth),
        QStringLiteral("      <td WIDTH=\"30\" HEIGHT=\"17\"></td>"),
        QStringLiteral("    </tr>"),
        QStringLiteral("    <tr>"),
        QStringLiteral("      <td WIDTH=\"30\" HEIGHT=\"%1\"></td>").arg(cellHeight),
        QStringLiteral("      <td width=\"%1\" height=\"%2\"><table BORDER=\"1\" CELLPADDING=\"0\" "
                       "CELLSPACING=\"0\" bgcolor=\"#EEEEEE\"><tr><td><img name=\"dia\" "
                       "SRC=\"images/picture1.jpg\" width=\"%3\" height=\"%4\"></td></tr></table></td>")
            .arg(frameWidth, cellHeight, QString::number(page.pictureWidth),
                 QString::number(page.pictureHeight)),
        QStringLiteral("      <td WIDTH=\"30\" HEIGHT=\"%1\"></td>").arg(cellHeight),
        QStringLiteral("    </tr>"),
        QStringLiteral("    <tr>"),
        QStringLiteral("      <td WIDTH=\"30\" HEIGHT=\"38\"></td>"),
        // The title is inserted as it stands; one argument only, so a "%1" in it stays text.
        QStringLiteral("      <td WIDTH=\"") + frameWidth +
            QStringLiteral("\" HEIGHT=\"38\" align=\"center\"><SPAN class=wit><b>") + page.title +
            QStringLiteral("</b></SPAN></td>"),
        QStringLiteral("      <td WIDTH=\"30\" HEIGHT=\"38\"></td>"),
        QStringLiteral("    </tr>"),
        QStringLiteral("  </table></td>"),
        QStringLiteral("</table>"),
        QString(),
        QStringLiteral("<P>"),
        QString(),
        QStringLiteral("<table BORDER=\"0\" CELLPADDING=\"5\" CELLSPACING=\"0\" width=\"%1\">")
            .arg(frameWidth60),
        QStringLiteral("<tr>"),
        QStringLiteral("  <td valign=\"top\" align=\"left\"><input type=\"button\" value=\"  &lt;&lt;  \" "
                       "onclick=\"slidevorige();\" style=\"cursor:hand\"></td>"),
        QStringLiteral("  <td align=\"middle\" valign=\"bottom\"><FORM name=\"form\"><input type=\"text\" "
                       "name=\"nummer\" value=\" Foto 1 / %1\" size=\"12\" style=\"font-family: Arial; "
                       "font-size: 10 pt; color: #000000; background-color: #EEEEEE; border-style: solid; "
                       "border-color: #000000\"></FORM></td>")
            .arg(pictureCount),
        QStringLiteral("  <td valign=\"top\" align=\"right\"><input type=\"button\" value=\"  &gt;&gt;  \" "
                       "onclick=\"slidenext();\" style=\"cursor:hand\"></td>"),
        QStringLiteral("</tr>"),
        QStringLiteral("</table>"),
        QString(),
        QStringLiteral("</center>"),
        QStringLiteral("</body>"),
        QStringLiteral("</html>"),
    };
    return lines;
}

ProductionResult WritePhotoalbumPage(const ProductionRequest &request, Host &host, std::int32_t width,
                                     std::int32_t height, std::uint8_t albumKind)
{
    ProductionResult converted = ConvertPictures(request, host, width, height);
    if (!converted.done())
        return converted;
    PhotoalbumPage page;
    page.pageColour = PageColourText(request);
    page.pictureCount = int(KeptPaths(request, converted).size());
    page.frameWidth = request.settings.PictureWidth;
    page.frameHeight = request.settings.PictureHeight;
    page.pictureWidth = width;
    page.pictureHeight = height;
    page.title = request.title;
    page.revealTransitions = albumKind == 2;
    return WriteAndFinishPage(request, host, PhotoalbumBodyLines(page), std::move(converted));
}
