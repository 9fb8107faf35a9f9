#pragma once

#include "shared/host.h"
#include "shared/production_request.h"

#include <QString>
#include <QStringList>

// The steps every page writer shares, around its own lines.

// "#" and the HexColour of the request's page colour: the PageColour a page is written with.
QString PageColourText(const ProductionRequest &request);

// albumHome/folder/fileName.html
QString PageFilePath(const ProductionRequest &request);

// Shows the completion text, pauses one second and opens the page at `path` (FinishPage).
void FinishPage(Host &host, const QString &path);

// Writes head + body as the page file and finishes the page; `result` (the conversion's, with its
// PictureDates) gets the PageColour and the page's path. A file that cannot be written is not
// opened: the run is abandoned with "File <path> could not be written: <reason>".
ProductionResult WriteAndFinishPage(const ProductionRequest &request, Host &host,
                                    const QStringList &bodyLines, ProductionResult result = {});

// The same for a page that brings its own head: `lines` are the whole page.
ProductionResult WriteAndFinishWholePage(const ProductionRequest &request, Host &host,
                                         const QStringList &lines, ProductionResult result);
