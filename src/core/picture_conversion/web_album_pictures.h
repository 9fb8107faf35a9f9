#pragma once

#include "shared/host.h"
#include "shared/production_request.h"

#include <QDateTime>
#include <QList>
#include <QSize>
#include <QString>

// The box every small picture of a web album fits in; the grid shows these.
constexpr int WebAlbumSmallSide = 480;

// `size` shrunk to fit inside `box` with its proportions kept, never enlarged, at least 1 x 1.
QSize FitInside(QSize size, QSize box);

// What a web album page says about a picture besides its pixels.
struct WebAlbumCaption {
    QDateTime taken;     // when it was taken; the file's date where the picture does not say
    QString description; // the picture's own description; empty where it has none
};

// The caption of the picture file at `path`. Runs on any thread.
WebAlbumCaption ReadWebAlbumCaption(const QString &path);

// One picture of a web album as made: images/pictureN.jpg and images/small/pictureN.jpg,
// N being its place in the album (1-based).
struct WebAlbumPicture {
    QString name;        // the source file's own name, without its folder
    QSize large;         // pixel size of images/pictureN.jpg
    QSize small;         // pixel size of images/small/pictureN.jpg
    bool written = true; // false where the encoder failed on it (the user was told)
    WebAlbumCaption caption;
};

struct WebAlbumPictures {
    ProductionResult result;         // how the making ended; PictureDates in album order
    QList<WebAlbumPicture> pictures; // in album order: the selection's, or by date taken
};

// Makes albumHome/folder with images and images/small, and writes each picture of the selection
// twice from one decoding: fitted inside `box` and inside 480 x 480, proportions kept, never
// enlarged, in sRGB, at the request's JpegQuality, with no metadata, the small ones progressive.
// The decoding, scaling and encoding run on request.workers threads (0: one per core); the files
// are written here in album order, each followed by "Convert picture N of M" and a pause of 0.2
// seconds. With request.sortByDate the album is ordered by date taken (the file's date where there
// is none), pictures of the same date keeping the selection's order. Folder checks, refusals and
// messages are those of ConvertPictures; a run that ends before it wrote a picture takes its
// folders away.
WebAlbumPictures MakeWebAlbumPictures(const ProductionRequest &request, Host &host, QSize box);
