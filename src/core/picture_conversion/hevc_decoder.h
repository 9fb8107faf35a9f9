#pragma once

#include "picture_conversion/heif_planes.h"

#include <QSize>
#include <optional>

// Gives `context` this program's HEVC decoder, on libde265, in place of libheif's own. It decodes
// on the calling thread, where libheif's starts a worker and then runs the in-loop filters into a
// second full-size picture; and it can shrink the picture straight from libde265's planes (see
// ShrinkOnDecode). Otherwise it hands the picture over as libheif's does: YCbCr in its own
// sampling and depth, with the colour box of the stream.
heif_error UseOwnHevcDecoder(heif_context *context);

// While one lives, the first picture of `codedSize` (before rotation, mirroring and cropping) that
// this thread decodes through such a context comes out shrunk by `reduction` (as
// ShrunkPlanesToRgb does) in 8-bit planar RGB, converted by `matrix` or, without one, by the colour
// box of the stream. So no full-size copy of a large picture is made. Only 8-bit pictures are
// shrunk; others, and pictures of another size (tiles of a grid), come out whole.
class ShrinkOnDecode
{
  public:
    ShrinkOnDecode(QSize codedSize, int reduction, std::optional<ColourMatrix> matrix);
    ~ShrinkOnDecode();
    ShrinkOnDecode(const ShrinkOnDecode &) = delete;
    ShrinkOnDecode &operator=(const ShrinkOnDecode &) = delete;

    // Whether a picture came out shrunk.
    bool shrunk() const { return m_shrunk; }

    QSize codedSize;
    int reduction;
    std::optional<ColourMatrix> matrix;

  private:
    friend struct HevcDecoding;
    ShrinkOnDecode *m_outer;
    bool m_shrunk = false;
};
