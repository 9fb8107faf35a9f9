#include "shared/logging.h"

Q_LOGGING_CATEGORY(lcFiles, "galvora.files", QtWarningMsg)
Q_LOGGING_CATEGORY(lcConvert, "galvora.convert", QtWarningMsg)
