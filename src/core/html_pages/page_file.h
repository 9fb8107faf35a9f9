#pragma once

#include "shared/outcome.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Page files are 8-bit text: windows-1252 bytes, each line followed by CR LF, no byte-order mark.
// A character windows-1252 cannot hold is written as an HTML numeric reference (&#1046;).
QByteArray EncodePageText(const QString &text);

// Writes the lines as one new page file, never over a file already there; a write that fails
// leaves no file, and says why.
Status WritePageFile(const QString &path, const QStringList &lines);
