#pragma once

#include <QByteArray>
#include <QString>

// Writes `bytes` as a new file at `path`, never over anything already there. A write that fails
// takes away what it began, so no half file stays, and `error` (when given) says why. Not forced to
// disk: a sync would hold the window up for the file system's journal whenever the disk is busy.
bool WriteNewFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);
