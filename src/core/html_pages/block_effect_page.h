#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// The lines of the Block effect page that follow the common head: the picture list
// script, the framed picture and the cycling script. pictureCount is the number of
// selected pictures (picture1.jpg .. pictureN.jpg), blockSize the largest block size.
QStringList BlockEffectBodyLines(int pictureCount, std::uint8_t blockSize, const QString &pageColour);
