#pragma once

#include <QStringList>
#include <cstdint>

// The Slide Show lines after the common head: its two scripts, "</head>" and the body
// up to "</html>", for `pictureCount` pictures and a pause of `pauseSeconds`.
QStringList SlideShowBodyLines(const QString &pageColour, int pictureCount, std::uint8_t pauseSeconds);
