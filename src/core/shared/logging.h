#pragma once

#include <QLoggingCategory>

// Results the program ignores on purpose (a scratch file that could not be removed after a
// failure, a settings file that could not be written at start-up) are logged here with qCDebug,
// off by default: QT_LOGGING_RULES="galvora.*.debug=true" shows them.
Q_DECLARE_LOGGING_CATEGORY(lcFiles)   // galvora.files: files and folders the program writes or removes
Q_DECLARE_LOGGING_CATEGORY(lcConvert) // galvora.convert: the conversion of the pictures
