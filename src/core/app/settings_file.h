#pragma once

#include "shared/outcome.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

struct ProgramValues;

// Galvora.ini in the program folder: line 1 the start count, line 2 the JPEG quality,
// each ended by CR LF.
inline const QString SettingsFileName = QStringLiteral("Galvora.ini");

QString SettingsFilePath(const QString &programFolder);

// Reads the start count, then the JPEG quality, from the file's bytes. A value ends at a line
// end or a comma; blanks in front of it are skipped. Each value is stored as soon as it has been
// read, so one read before a failure stays. Fails when a value is missing or does not fit its
// field (the quality is a byte, 0 to 255), and says which.
Status ReadSettings(const QByteArray &bytes, std::int32_t &startCount, std::uint8_t &jpegQuality);

// The file's bytes: "<startCount>\r\n<jpegQuality>\r\n".
QByteArray SettingsBytes(std::int32_t startCount, std::uint8_t jpegQuality);

// Replaces the file through a temporary file in the same folder, so a failed write (a full disk,
// a read-only folder) leaves the old file whole, byte for byte. The reason when it could not be written.
Status WriteSettingsFile(const QString &path, std::int32_t startCount, std::uint8_t jpegQuality);

// Start-up: sets StartCount to 0 and JpegQuality to 75, reads the file and counts this start.
// When the file is missing or unreadable, or the count would overflow, it writes the file anew
// from the current values and returns false; the count is then not incremented.
// True when the start was counted (the caption then shows StartCount).
bool LoadSettingsAtStart(const QString &programFolder, ProgramValues &values);

// Exit: writes StartCount and JpegQuality. The reason when the file could not be written.
Status SaveSettings(const QString &programFolder, const ProgramValues &values);
