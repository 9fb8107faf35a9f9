#include "picture_conversion/jpeg_segments.h"

bool IsJpegFrameHeader(unsigned char marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

void WalkJpegSegments(const unsigned char *data, std::size_t size,
                      const std::function<bool(const JpegSegment &)> &visit)
{
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return;
    std::size_t pos = 2;
    while (pos + 4 <= size) {
        if (data[pos] != 0xFF)
            return;
        const unsigned char marker = data[pos + 1];
        if (marker == 0xFF) { // fill byte
            ++pos;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9)
            return;
        const std::size_t length = std::size_t(data[pos + 2] << 8 | data[pos + 3]);
        if (IsJpegFrameHeader(marker)) {
            const std::size_t wanted = length < 2 ? 0 : length - 2, available = size - (pos + 4);
            visit({marker, data + pos + 4, wanted < available ? wanted : available});
            return;
        }
        if (length < 2 || size - (pos + 2) < length)
            return;
        if (!visit({marker, data + pos + 4, length - 2}))
            return;
        pos += 2 + length;
    }
}
