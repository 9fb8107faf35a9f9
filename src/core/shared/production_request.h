#pragma once

#include "shared/program_values.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

// One picture of the selection: its name as listed (List1) and its full path (List2).
struct SelectedPicture {
    QString name;
    QString path;
};

// Everything a production reads, taken when it starts: what the user changes meanwhile
// does not reach it.
struct ProductionRequest {
    QList<SelectedPicture> selection; // in order; picture N is entry N - 1
    QString folder;                   // MapText: the album folder, one plain name
    QString fileName;                 // FileText: the page file without ".html"
    QString title;                    // Naam
    ConvertSettings settings; // PageStyle, PictureWidth, PictureHeight, PauseSeconds, BlockSize, JpegQuality
    QColor pageColour;        // BackRed, BackGreen, BackBlue
    QColor canvasBackground = Qt::white; // where a picture is transparent
    QString albumHome;                   // the folder the album folder is made in
    int workers = 0;              // threads converting the pictures ahead of the writing; 0: one per core
    bool keepProportions = false; // fit each picture inside the size on pageColour instead of stretching
    bool keepGoing = false;       // leave out a picture that cannot be read and go on with the others
    bool sortByDate = false; // web album: pictures ordered by date taken instead of the selection's order

    QStringList names() const;
    QStringList paths() const;
};

// How a production ended and what it found.
struct ProductionResult {
    enum class End {
        Done,      // made as asked (or nothing was asked: PageStyle 0)
        Stopped,   // nothing was made (the folder is there, the page style unknown); the user is told
        Abandoned, // the user is told (unless the program is ending) and PageStyle becomes 99
    };
    End end = End::Done;
    QString message;          // what the user is shown; empty where nothing is
    QStringList PictureDates; // the file date of each picture converted, in selection order
    QString PageColour;       // "#" and the HexColour of the page colour, once a page was begun
    QString pagePath;         // the page written; empty where none was
    struct LeftOut {
        QString path;
        QString message; // "Picture <path> could not be read: <reason>"
    };
    QList<LeftOut> leftOut;     // the pictures left out with keepGoing, in selection order
    qsizetype picturesMade = 0; // the album's pictures written (or copied) so far

    static ProductionResult Done() { return {}; }
    static ProductionResult Stopped(const QString &message) { return Ended(End::Stopped, message); }
    static ProductionResult Abandoned(const QString &message) { return Ended(End::Abandoned, message); }
    static ProductionResult Ended(End end, const QString &message)
    {
        ProductionResult result;
        result.end = end;
        result.message = message;
        return result;
    }

    bool done() const { return end == End::Done; }
    bool abandoned() const { return end == End::Abandoned; }
};

// The paths of the pictures the album holds, in selection order: the selection without the
// pictures the result left out. The pages list these.
QStringList KeptPaths(const ProductionRequest &request, const ProductionResult &result);
