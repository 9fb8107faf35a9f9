#pragma once

#include "shared/outcome.h"

#include <QByteArray>
#include <QString>

// What becomes of a file already at the path written to.
enum class IfExists {
    Refuse,  // the write fails and the file stays as it was
    Replace, // it is written over (only for the program's own scratch files)
};

// How the name of a file under way begins: ".galvora-" and the final name, in the final file's
// own folder. Whatever bears it is the program's own, left by a run that was killed.
inline const QString TemporaryFilePrefix = QStringLiteral(".galvora-");

// Writes all of `bytes` as the file at `path`, whole or not at all: the bytes go into a temporary
// file beside it (TemporaryFilePrefix), which takes the final name only once it is complete. So a
// kill at any moment leaves no cut-off file under the final name, only a temporary one, and a
// write that fails removes its temporary file and says why ("No space left on device").
// Refuse holds even against a file that appears meanwhile: the temporary file takes the name only
// where none is (renameat2 RENAME_NOREPLACE, else link()).
// A refused file's bytes reach the disk before the name does (fdatasync), so a power cut leaves the
// file whole or absent too. That wait is one journal commit per file, a few milliseconds while
// the window pauses 0.2 s per picture anyway. Scratch files (Replace) are not synced: a power cut
// leaves nothing of them that counts.
Status WriteWholeFile(const QString &path, const QByteArray &bytes, IfExists ifExists);
