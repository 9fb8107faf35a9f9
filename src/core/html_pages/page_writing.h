#pragma once

#include "shared/host.h"

#include <QString>
#include <QStringList>

// The steps every page writer shares, around its own lines.

// "#" and the HexColour of the background colour; also stored as PageColour.
QString UpdatePageColour(Host &host);

// programFolder/folder/fileName.html
QString PageFilePath(const Host &host, const QString &folder, const QString &fileName);

// Shows the completion text, pauses one second and opens the page (FinishPage).
void FinishPage(Host &host, const QString &folder, const QString &fileName);

// Writes head + body as the page file and finishes the page. A file that cannot be written
// is not opened; the result names it (PageStyle stays: the writer decides whether that abandons the run).
ProductionResult WriteAndFinishPage(Host &host, const QString &folder, const QString &fileName,
                                    const QStringList &bodyLines);
