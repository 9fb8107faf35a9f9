#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// What the Photoalbum page is made of. The frame follows the shared picture size,
// the picture element the size the pictures were converted to (the Make command
// passes the same values for both).
struct PhotoalbumPage {
    int pictureCount = 0;          // pictures picture1.jpg .. pictureN.jpg
    std::int32_t frameWidth = 0;   // PictureWidth
    std::int32_t frameHeight = 0;  // PictureHeight
    std::int32_t pictureWidth = 0; // Width argument
    std::int32_t pictureHeight = 0;
    QString title; // written as typed: users may type markup on purpose
    QString pageColour;
    bool revealTransitions = false; // Photoalbum 2
};

// The lines of the Photoalbum page that follow the common head.
QStringList PhotoalbumBodyLines(const PhotoalbumPage &page);
