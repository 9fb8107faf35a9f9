#pragma once

#include <QString>

// Text taken from a file name stays text wherever a page puts it: a name is data, never markup or
// script. (The page title is not such text: the album maker may type markup in it on purpose.)

// For element text or a double-quoted attribute value: & < > " become entities, and control
// characters (a newline in a name) numeric references, so the text stays on its line of the page.
// Characters outside ASCII are left to EncodePageText, which writes them as references.
QString PageText(const QString &text);

// For the inside of a double- or single-quoted string in a page's script: \ " ' < > & control
// characters and everything outside ASCII as \uXXXX, so that neither a quote nor "</script>" ends
// the string or the script, and the page's own encoding (references, which a script does not read)
// leaves it alone.
QString ScriptStringText(const QString &text);
