#pragma once

#include <cstddef>
#include <functional>

// One marker segment of a JPEG file: its marker byte (0xE1 for APP1, 0xC0 for a baseline
// frame header ...) and its contents after the length field.
struct JpegSegment {
    unsigned char marker = 0;
    const unsigned char *body = nullptr;
    std::size_t size = 0; // for a frame header cut off by the end of the file: what is there
};

// Whether `marker` starts a frame header (SOF0 to SOF15; C4, C8 and CC are other segments).
bool IsJpegFrameHeader(unsigned char marker);

// Walks the marker segments from the start of the file to its first frame header, which is
// visited last. Stops early where `visit` returns false, at a scan or end marker, and where
// the file is damaged or ends. Every read is bounds-checked.
void WalkJpegSegments(const unsigned char *data, std::size_t size,
                      const std::function<bool(const JpegSegment &)> &visit);
