#pragma once

#include <QString>

// The text of the help panel: a Dutch and an English explanation, lines broken by CR LF,
// no break after the last piece.
QString BuildHelpText();
