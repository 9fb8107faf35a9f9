#pragma once

struct MakeOptions;
class QTextStream;

// Makes the album the options describe, without a window or the window's pacing, with the progress
// and the window's messages on `err` and the page made (the album folder where there is no page) on
// `out`. Gives 0 when the album was made, 1 when a failure stopped it (what was made so far stays).
int MakeAlbum(const MakeOptions &options, QTextStream &out, QTextStream &err);
