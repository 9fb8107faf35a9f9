#pragma once

#include <memory>
#include <turbojpeg.h>

// Owners for TurboJPEG's C handles and buffers, so every return path frees them.
namespace Tj
{

struct HandleDeleter {
    void operator()(void *handle) const noexcept { tjDestroy(handle); }
};
using Handle = std::unique_ptr<void, HandleDeleter>;

struct BufferDeleter {
    void operator()(unsigned char *buffer) const noexcept { tjFree(buffer); }
};
using Buffer = std::unique_ptr<unsigned char, BufferDeleter>;

} // namespace Tj
