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
QString PageNotWrittenText(const QString &path, const QString &reason); // the page file
QString NotSavedAsJpegText(); // one picture not written; the run goes on

// The bare name under which `path` exists as a file, spelled as the directory lists it,
// or an empty text when there is no such file.
QString LookUpFileName(const QString &path);

// A new production's output folder (programFolder/folder) and its picture folder "images",
// or why they were not made.
struct OutputFolder {
    enum class Problem {
        None,
        NameNotAllowed, // folder or file name is not one plain name; nothing was looked at
        PageExists,     // the page file exists under exactly its name; nothing was made
        FolderExists,   // the output folder (or its picture folder) is already there
        NotMade,        // a folder could not be made for another reason
    };
    Problem problem = Problem::None;
    QString message;       // for NameNotAllowed and NotMade: what the user is told
    QString path;          // programFolder/folder
    QString pictureFolder; // path/images
};

// Checks the names, looks for the page file fileName.html, then makes the output folder
// and its picture folder, both new. The picture folder is one real folder spelled "images",
// as every page names it: an album copied without links or served where letter case counts
// still finds its pictures.
OutputFolder MakeOutputFolder(const QString &programFolder, const QString &folder, const QString &fileName);
