#pragma once

#include <QPixmap>

// The program's own pictures, drawn in code.

// 32 x 32: a framed landscape photo.
QPixmap WindowIconPicture();

// 32 x 32 unless told: a globe with a hand pointing at it, for the Make button and the program's
// icon in the desktop menus. It is drawn on a 32 x 32 grid and scaled to `size`.
QPixmap MakeButtonPicture(int size = 32);

// 128 x 80: what the preview shows before a picture has been clicked.
QPixmap PlaceholderPicture();
