#pragma once

#include <QPixmap>

// The program's own pictures, drawn in code.

// 32 x 32: a framed landscape photo.
QPixmap WindowIconPicture();

// 32 x 32: a globe with a hand pointing at it, for the Make button.
QPixmap MakeButtonPicture();

// 128 x 80: what the preview shows before a picture has been clicked.
QPixmap PlaceholderPicture();
