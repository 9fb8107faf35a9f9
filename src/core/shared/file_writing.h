#pragma once

#include "shared/outcome.h"

#include <QByteArray>
#include <QString>

// What becomes of a file already at the path written to.
enum class IfExists {
    Refuse,  // the write fails and the file stays as it was
    Replace, // it is written over (only for the program's own scratch files)
};

// Writes all of `bytes` as the file at `path`. A write that fails takes away what it began, so no
// half file stays, and the failure says why ("No space left on device"). Unbuffered, so that a disk that
// fills up shows in the count written rather than vanishing inside a flush that reports nothing. Not forced
// to disk: a sync would hold the window up for the file system's journal whenever the disk is busy.
Status WriteWholeFile(const QString &path, const QByteArray &bytes, IfExists ifExists);
