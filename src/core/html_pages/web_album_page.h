#pragma once

#include "picture_conversion/web_album_pictures.h"
#include "shared/host.h"
#include "shared/production_request.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

// "#000000" or "#FFFFFF", whichever stands out more against `background`: at least 4.5:1 in
// contrast for any page colour.
QString WebAlbumTextColour(const QColor &background);

// `text` (a file name, a description, the title) as plain text for a page, in an element or in
// a double-quoted attribute: & < > " escaped, control characters as references, so that every
// line of the page ends in CR LF.
QString WebAlbumText(const QString &text);

// The whole page of a web album: its grid of small pictures, each a link to its large one, and
// the inline style sheet and viewer script. Nothing in it asks for anything outside the album.
QStringList WebAlbumPageLines(const ProductionRequest &request, const QList<WebAlbumPicture> &pictures);

// Makes the pictures (MakeWebAlbumPictures, the large ones fitted in width x height) and writes
// albumHome/folder/fileName.html, then opens it through FinishPage.
ProductionResult WriteWebAlbumPage(const ProductionRequest &request, Host &host, std::int32_t width,
                                   std::int32_t height);
