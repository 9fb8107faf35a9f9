#include "html_pages/page_head.h"

#include "html_pages/page_file.h"
#include "picture_conversion/convert_pictures.h"
#include "shared/hex_colour.h"
#include "shared/host.h"
#include "shared/paths.h"

QString AuthorCredit()
{
    return QStringLiteral("Galvora web photo album");
}

QStringList PageHeadLines()
{
    return {
        QStringLiteral("<html>"),
        QStringLiteral("<head>"),
        QStringLiteral("<title>Galvora</title>"),
        QStringLiteral("<meta name=\"author\" content=\"%1\">").arg(AuthorCredit()),
        QStringLiteral("<meta name=\"generator\" content=\"Created by Galvora\">"),
        QStringLiteral("<Style> "),
        QStringLiteral("<!--"),
        QStringLiteral("A:LINK  {font-family : Arial, Verdana, Helvetica;font-size : 10pt;color : "
                       "#990099;text-decoration: none;}"),
        QStringLiteral("A:VISITED  {font-family : Arial, Verdana, Helvetica;font-size : 10pt;color : "
                       "#990044;text-decoration: none;}"),
        QStringLiteral("A:HOVER  {font-family : Arial, Verdana, Helvetica;font-size : 10pt;color : "
                       "#000099;text-decoration: none;}"),
        QStringLiteral("SPAN.tekst {color:#000000;font-size:10pt;font-family: \"arial\",\"helvetica\";}"),
        QStringLiteral("SPAN.wit {color:#FFFFFF;font-size:10pt;font-weight : bold;font-family: "
                       "\"arial\",\"helvetica\";}"),
        QStringLiteral("SPAN.titel {color:#990044;font-size:12pt;font-weight : bold;font-family: "
                       "\"arial\",\"helvetica\";}"),
        QStringLiteral("//-->"),
        QStringLiteral("</Style> "),
    };
}

std::optional<QString> ConvertForPage(Host &host, const QString &folder, const QString &fileName,
                                      std::int32_t width, std::int32_t height)
{
    ConvertPictures(host, folder, fileName, width, height);
    if (host.values().PageStyle == PageStyles::Abandoned)
        return std::nullopt;
    return UpdatePageColour(host);
}

QString UpdatePageColour(Host &host)
{
    ProgramValues &v = host.values();
    v.PageColour = QLatin1Char('#') + HexColour(v.BackRed, v.BackGreen, v.BackBlue);
    return v.PageColour;
}

QString PageFilePath(const Host &host, const QString &folder, const QString &fileName)
{
    return JoinPath(JoinPath(host.programFolder(), folder), fileName + QStringLiteral(".html"));
}

void FinishPage(Host &host, const QString &folder, const QString &fileName)
{
    host.showStatus(QStringLiteral("Convert pictures ready, open html page...."));
    host.pause(1.0f);
    if (!host.closing())
        host.openDocument(PageFilePath(host, folder, fileName));
}

bool WriteAndFinishPage(Host &host, const QString &folder, const QString &fileName,
                        const QStringList &bodyLines)
{
    const QString path = PageFilePath(host, folder, fileName);
    QString error;
    if (!WritePageFile(path, PageHeadLines() + bodyLines, &error)) {
        host.showMessage(QStringLiteral("Html page %1 could not be written: %2").arg(path, error));
        return false;
    }
    FinishPage(host, folder, fileName);
    return true;
}
