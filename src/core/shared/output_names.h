#pragma once

#include <QString>

// Whether `name` is one plain path component: not empty, not "." or "..", and without
// "/", "\", NUL or anything that makes it an absolute path. Only such names may be joined
// to the program folder, so that nothing is ever written outside it. Blanks, quotes and
// non-ASCII letters are fine.
bool IsPlainName(const QString &name);

// The refusals shown for a folder or file name that is not plain.
QString FolderNotAllowedText(const QString &folder);
QString FileNameNotAllowedText(const QString &fileName);

// The messages that end a production, built here only.
QString FolderExistingText(const QString &folder);                      // the page file is there
QString MapExistingText(const QString &folder);                         // the output folder is there
QString FolderNotMadeText(const QString &path, const QString &reason);  // any other folder failure
QString PictureNotReadText(const QString &path, const QString &reason); // a picture that cannot be read
QString NotSavedAsJpegText(); // one picture not written; the run goes on
