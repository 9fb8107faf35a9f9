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
// No sync: a sync waits for the disk, and on a busy one holds the window up for tens or hundreds of
// milliseconds per picture (the files are written on the window's thread). A kill needs none: the
// rename is atomic and the kernel keeps what was written. For a power cut, the writing of an album
// file's bytes is started before it takes its name (sync_file_range, no waiting), which on ext4's
// default data=ordered mode keeps the name from reaching the disk before the bytes; elsewhere a
// power cut in the seconds after a run may leave an empty file under a final name.
Status WriteWholeFile(const QString &path, const QByteArray &bytes, IfExists ifExists);
