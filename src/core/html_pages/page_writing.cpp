#include "html_pages/page_writing.h"

#include "html_pages/page_file.h"
#include "html_pages/page_head.h"
#include "shared/hex_colour.h"
#include "shared/output_names.h"
#include "shared/paths.h"

#include <cstdint>

QString PageColourText(const ProductionRequest &request)
{
    const QColor &colour = request.pageColour;
    return QLatin1Char('#') +
           HexColour(std::uint8_t(colour.red()), std::uint8_t(colour.green()), std::uint8_t(colour.blue()));
}

QString PageFilePath(const ProductionRequest &request)
{
    return JoinPath(JoinPath(request.albumHome, request.folder), request.fileName + QStringLiteral(".html"));
}

void FinishPage(Host &host, const QString &path)
{
    host.showStatus(QStringLiteral("Convert pictures ready, open html page...."));
    host.pause(1.0f);
    if (!host.closing()) // the program ended meanwhile: the page stays, but nothing is opened
        host.openDocument(path);
}

ProductionResult WriteAndFinishPage(const ProductionRequest &request, Host &host,
                                    const QStringList &bodyLines, ProductionResult result)
{
    return WriteAndFinishWholePage(request, host, PageHeadLines() + bodyLines, std::move(result));
}

ProductionResult WriteAndFinishWholePage(const ProductionRequest &request, Host &host,
                                         const QStringList &lines, ProductionResult result)
{
    const QString path = PageFilePath(request);
    result.PageColour = PageColourText(request);
    if (const Status written = WritePageFile(path, lines); !written) {
        result.end = ProductionResult::End::Abandoned;
        result.message = FileNotWrittenText(path, written.reason());
        return result;
    }
    result.pagePath = path;
    FinishPage(host, path);
    return result;
}
