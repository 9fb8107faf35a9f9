#include "html_pages/block_effect_page.h"

#include "html_pages/page_writers.h"
#include "html_pages/page_writing.h"
#include "picture_conversion/convert_pictures.h"
#include "shared/host.h"

QStringList BlockEffectBodyLines(int pictureCount, std::uint8_t blockSize, const QString &pageColour)
{
    const QString block = QString::number(blockSize);
    QStringList lines{
        QString(),
        QStringLiteral("<script language=\"JavaScript1.1\">"),
        QStringLiteral("<!--"),
        QStringLiteral("var slidespeed=3000"),
        QStringLiteral("var slideimages=new Array("),
    };
    // The last entry closes the array instead of taking a comma.
    for (int k = 1; k <= pictureCount; ++k)
        lines << QStringLiteral("  \"images/picture%1.jpg\"%2")
                     .arg(k)
                     .arg(k == pictureCount ? QLatin1Char(')') : QLatin1Char(','));
    lines += QStringList{
        QString(),
        QStringLiteral("var imageholder=new Array()"),
        QStringLiteral("var ie55=window.createPopup"),
        QStringLiteral("for (i=0;i<slideimages.length;i++){"),
        QStringLiteral("imageholder[i]=new Image()"),
        QStringLiteral("imageholder[i].src=slideimages[i]}"),
        QStringLiteral("//-->"),
        QStringLiteral("</script>"),
        QString(),
        QStringLiteral("</head>"),
        QStringLiteral("<body bgcolor=\"%1\" topmargin=\"10\" leftmargin=\"10\">").arg(pageColour),
        QString(),
        QStringLiteral("<center>"),
        QStringLiteral("<P><br><P>"),
        QStringLiteral("<SPAN class=titel>Transition Effect</SPAN>"),
        QStringLiteral("<P>"),
        QStringLiteral("<table border=\"4\" cellpadding=\"0\" cellspacing=\"0\">"),
        QStringLiteral("<tr>"),
        QStringLiteral("  <td><img src=\"images/picture1.jpg\" name=\"slide\" border=0 style=\"filter:progid:"
                       "DXImageTransform.Microsoft.Pixelate(MaxSquare=%1,Duration=1)\"></td>")
            .arg(block),
        QStringLiteral("</tr>"),
        QStringLiteral("</table>"),
        QString(),
        QStringLiteral("<script language=\"JavaScript1.1\">"),
        QStringLiteral("<!--"),
        QStringLiteral("var whichlink=0"),
        QStringLiteral("var whichimage=0"),
        QStringLiteral("var pixeldelay=(ie55)? document.images.slide.filters[0].duration*1000:0"),
        QStringLiteral("function slideit(){"),
        QStringLiteral("if (!document.images) return"),
        QStringLiteral("if (ie55) document.images.slide.filters[0].apply()"),
        QStringLiteral(" document.images.slide.src=imageholder[whichimage].src"),
        QStringLiteral("if (ie55) document.images.slide.filters[0].play()"),
        QStringLiteral(" whichlink=whichimage"),
        QStringLiteral("whichimage=(whichimage<slideimages.length-1)? whichimage+1:0"),
        QStringLiteral("setTimeout(\"slideit()\",slidespeed+pixeldelay)}"),
        QStringLiteral("slideit()"),
        QStringLiteral("//-->"),
        QStringLiteral("</script>"),
        QString(),
        QStringLiteral("<P>"),
        QStringLiteral("<SPAN class=tekst><b>BlockSize : %1</b></SPAN>").arg(block),
        QStringLiteral("</center>"),
        QStringLiteral("</body>"),
        QStringLiteral("</html>"),
    };
    return lines;
}

ProductionResult WriteBlockEffectPage(const ProductionRequest &request, Host &host, std::int32_t width,
                                      std::int32_t height, std::uint8_t blockSize)
{
    ProductionResult converted = ConvertPictures(request, host, width, height);
    if (!converted.done())
        return converted;
    const QStringList lines =
        BlockEffectBodyLines(int(KeptPaths(request, converted).size()), blockSize, PageColourText(request));
    return WriteAndFinishPage(request, host, lines, std::move(converted));
}
