#pragma once

#include "shared/outcome.h"

#include <QString>

// Whether `name` is one plain path component: not empty, not "." or "..", and without
// "/", "\", NUL or anything that makes it an absolute path. Only such names may be joined
// to the program folder, so that nothing is ever written outside it. Blanks, quotes and
// non-ASCII letters are fine.
bool IsPlainName(const QString &name);

// How the name of a run's scratch folder inside the album begins (its files go there while they
// are made).
inline const QString ScratchFolderPrefix = QStringLiteral(".scratch-");

// The refusals shown for a folder or file name that is not plain.
QString FolderNotAllowedText(const QString &folder);
QString FileNameNotAllowedText(const QString &fileName);

// The messages that end a production, built here only.
QString FolderExistingText(const QString &folder);                      // the page file is there
QString MapExistingText(const QString &folder);                         // the output folder is there
QString FolderNotMadeText(const QString &path, const QString &reason);  // any other folder failure
QString PictureNotReadText(const QString &path, const QString &reason); // a picture that cannot be read
QString FileNotWrittenText(const QString &path, const QString &reason); // scratch picture, picture, page
QString NotEnoughMemoryText(const QString &path);    // a picture too large for the memory left
QString CanvasSizeText(qint64 width, qint64 height); // a canvas that cannot be made
QString NotSavedAsJpegText();                        // the encoder failed on its own; the run goes on
QString UnknownPageStyleText(int pageStyle);
QString PageNotOpenedText(const QString &page, const QString &reason);     // the browser did not take it
QString NotGalvorasFilesText(const QString &folder, const QString &names); // --replace refused
QString AlbumMadeText(const QString &where);                               // the command line's last word
QString PicturesStoppedText(
    qsizetype made,
    qsizetype count); // a run stopped by a signal         // a page style no production answers to

// The bare name under which `path` exists as a file, spelled as the directory lists it,
// or an empty text when there is no such file.
QString LookUpFileName(const QString &path);

// Refuses a folder or file name that is not one plain name, before anything is looked at:
// such a name could reach outside the album home. The failure is the message.
Status CheckAlbumNames(const QString &folder, const QString &fileName);

// Whether albumHome/folder/fileName.html exists under exactly that name, letter case included.
bool PageFileExists(const QString &albumHome, const QString &folder, const QString &fileName);

// A new production's output folder (albumHome/folder) and its picture folder "images".
struct AlbumFolders {
    QString path;          // albumHome/folder
    QString pictureFolder; // path/images
};

// Makes the output folder and its picture folder, both new. The picture folder is one real
// folder spelled "images", as every page names it: an album copied without links or served where
// letter case counts still finds its pictures.
// The failure is the message: "Map <folder> existing..." when the folder is there, otherwise
// the system's reason. A failure leaves nothing of what it made.
Outcome<AlbumFolders> MakeOutputFolder(const QString &albumHome, const QString &folder);

// Takes away the folders of a run that failed before it wrote anything; only empty folders go.
void RemoveEmptyAlbum(const AlbumFolders &album);
