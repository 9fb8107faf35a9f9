#include "html_pages/page_writing.h"

#include "html_pages/page_file.h"
#include "html_pages/page_head.h"
#include "shared/hex_colour.h"
#include "shared/output_names.h"
#include "shared/paths.h"

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
    if (!host.closing()) // the program ended meanwhile: the page stays, but nothing is opened
        host.openDocument(PageFilePath(host, folder, fileName));
}

ProductionResult WriteAndFinishPage(Host &host, const QString &folder, const QString &fileName,
                                    const QStringList &bodyLines)
{
    const QString path = PageFilePath(host, folder, fileName);
    QString error;
    if (!WritePageFile(path, PageHeadLines() + bodyLines, &error))
        return ProductionResult::Stopped(PageNotWrittenText(path, error));
    FinishPage(host, folder, fileName);
    return ProductionResult::Done();
}
