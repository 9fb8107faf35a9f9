#include "html_pages/slide_show_page.h"

#include "html_pages/page_head.h"
#include "html_pages/page_writers.h"
#include "html_pages/page_writing.h"
#include "picture_conversion/convert_pictures.h"
#include "shared/host.h"

QStringList SlideShowBodyLines(const QString &pageColour, int pictureCount, std::uint8_t pauseSeconds)
{
    QStringList lines{
        QString(),
        QStringLiteral("<script language=\"JavaScript1.2\" event=\"onload\" for=\"window\">"),
        // A script with event/for runs at once in today's browsers, before main() exists;
        // binding to the load event keeps the intended start.
        QStringLiteral("window.addEventListener(\"load\",function(){main();});"),
        QStringLiteral("</script>"),
        QString(),
        QStringLiteral("<script language=\"JavaScript1.2\">"),
        QStringLiteral("g_fPlayMode = 0;"),
        QStringLiteral("g_iimg = 0;"),
        QStringLiteral("g_imax = 0;"),
        QStringLiteral("g_ImageTable = new Array();"),
        QString(),
        QStringLiteral("function ChangeImage(fFwd){if (fFwd){"),
        QStringLiteral("if (++g_iimg==g_imax)"),
        QStringLiteral("g_iimg=0;"),
        QStringLiteral("}"),
        QStringLiteral("else"),
        QStringLiteral("{"),
        QStringLiteral("if (g_iimg==0)"),
        QStringLiteral("g_iimg=g_imax;"),
        QStringLiteral("g_iimg--;"),
        QStringLiteral("}"),
        QStringLiteral("Update();"),
        QStringLiteral("}"),
        QString(),
        QStringLiteral("function Update(){"),
        QStringLiteral("document.all._Ath_Slide.src = g_ImageTable[g_iimg][0];"),
        QStringLiteral("document.all._Ath_Img_X.innerHTML = g_iimg + 1;"),
        QStringLiteral("document.all._Ath_Img_N.innerHTML = g_imax;"),
        QStringLiteral("}"),
        QString(),
        QStringLiteral("function Play(){g_fPlayMode = !g_fPlayMode;"),
        QStringLiteral("  if (g_fPlayMode){btnPrev.disabled = btnNext.disabled = true;"),
        QStringLiteral("  Next();}"),
        QStringLiteral("else"),
        QStringLiteral("  {btnPrev.disabled = btnNext.disabled = false;}"),
        QStringLiteral("}"),
        QString(),
        QStringLiteral(
            "function OnImgLoad(){if (g_fPlayMode) window.setTimeout(\"Tick()\", g_dwTimeOutSec*1000);}"),
        QStringLiteral("function Tick(){if (g_fPlayMode) Next();}"),
        QStringLiteral("function Prev(){ChangeImage(false);}"),
        QStringLiteral("function Next(){ChangeImage(true);}"),
        QStringLiteral("function main(){Update();}"),
        QString(),
    };
    for (int k = 1; k <= pictureCount; ++k)
        lines << QStringLiteral("g_ImageTable[g_imax++] = new Array (\"images/picture%1.jpg\");").arg(k);
    lines << QString() << QStringLiteral("g_dwTimeOutSec=") + QString::number(pauseSeconds) << QString()
          << QStringLiteral("window.onload=Play") << QStringLiteral("</script>") << QString()
          << QStringLiteral("</head>")
          << QStringLiteral("<body bgcolor=\"%1\" topmargin=\"10\" leftmargin=\"10\">").arg(pageColour)
          << QString() << QStringLiteral("<center>") << QStringLiteral("<P><br><P>")
          << QStringLiteral("<SPAN class=titel>Slide Show by ") + AuthorCredit() + QStringLiteral("</SPAN>")
          << QStringLiteral("<P>")
          << QStringLiteral("<table border=\"2\" cellpadding=\"0\" cellspacing=\"1\" bgcolor=\"#000055\">")
          << QStringLiteral("<tr>")
          // The ids let the script reach the two buttons by name in today's browsers.
          << QStringLiteral(
                 "  <td><input type=\"button\" name=\"btnPrev\" id=\"btnPrev\" value=\"&lt;&lt; Previous\" "
                 "onclick=\"Prev();\"></td>")
          << QStringLiteral(
                 "  <td align=\"middle\"><input type=\"button\" name=\"bntPlay\" value=\"Play - Stop\" "
                 "onclick=\"Play()\"></td>")
          << QStringLiteral("  <td align=\"right\"><input type=\"button\" name=\"btnNext\" id=\"btnNext\" "
                            "value=\"    Next &gt;&gt;  \" onclick=\"Next();\"></td>")
          << QStringLiteral("</tr>") << QStringLiteral("<tr>")
          << QStringLiteral("  <td colspan=\"3\"><img name=\"_Ath_Slide\" width=\"300\" height=\"200\" "
                            "onload=\"OnImgLoad()\"></td>")
          << QStringLiteral("</tr>") << QStringLiteral("</table>")
          << QStringLiteral("<P>")
          // The counter spans sit outside the <b> elements, so that filling them keeps the markup whole.
          << QStringLiteral("<SPAN class=tekst><b>Picture </b><SPAN id=\"_Ath_Img_X\">2</SPAN> of <b></b>"
                            "<SPAN id=\"_Ath_Img_N\">4</SPAN></SPAN>")
          << QStringLiteral("<P>") << QStringLiteral("</body>") << QStringLiteral("</html>");
    return lines;
}

ProductionResult WriteSlideShowPage(const ProductionRequest &request, Host &host, std::uint8_t pauseSeconds,
                                    std::int32_t width, std::int32_t height)
{
    ProductionResult converted = ConvertPictures(request, host, width, height);
    if (!converted.done())
        return converted;
    const QStringList lines =
        SlideShowBodyLines(PageColourText(request), int(KeptPaths(request, converted).size()), pauseSeconds);
    return WriteAndFinishPage(request, host, lines, std::move(converted));
}
