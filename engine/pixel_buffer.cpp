#include "engine/pixel_buffer.h"

namespace ombrik {

size_t PixelByteCount(int32_t width, int32_t height, int32_t bytesPerPixel)
{
    if (width <= 0 || height <= 0 || bytesPerPixel <= 0)
        return 0;
    return size_t(width) * size_t(height) * size_t(bytesPerPixel);
}

PixelBuffer::PixelBuffer(int32_t w, int32_t h, int32_t bpp)
    : width(w > 0 ? w : 0), height(h > 0 ? h : 0), bytesPerPixel(bpp), pixels(PixelByteCount(w, h, bpp), 0)
{
    if (pixels.empty()) {
        width = 0;
        height = 0;
    }
}

} // namespace ombrik
