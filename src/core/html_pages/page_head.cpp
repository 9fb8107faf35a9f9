#include "html_pages/page_head.h"

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
