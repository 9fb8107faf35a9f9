#pragma once

#include "shared/outcome.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Page files are plain ASCII, each line followed by CR LF, no byte-order mark. Every character
// outside ASCII is written as an HTML numeric reference (&#233;, &#1046;), so a page reads the
// same whatever charset a web server announces (and is still valid windows-1252).
QByteArray EncodePageText(const QString &text);

// Writes the lines as one new page file, never over a file already there, whole or not at all
// (WriteWholeFile): a write that fails or is killed leaves no page, and a failure says why.
Status WritePageFile(const QString &path, const QStringList &lines);
