// Raw 24-bit (or 32-bit) pixel memory shared by every effect: blue, green, red
// (then alpha), rows packed without padding, row 0 at the top.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ombrik {

struct PixelBuffer {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerPixel = 3;
    std::vector<uint8_t> pixels;

    PixelBuffer() = default;
    // Allocates a zero-filled block of width × height × bytesPerPixel bytes.
    // Non-positive sizes give an empty buffer.
    PixelBuffer(int32_t w, int32_t h, int32_t bpp = 3);

    bool empty() const { return pixels.empty(); }
    size_t byteCount() const { return pixels.size(); }
    size_t stride() const { return size_t(width) * size_t(bytesPerPixel); }
    uint8_t* data() { return pixels.data(); }
    const uint8_t* data() const { return pixels.data(); }
    uint8_t* at(int x, int y) { return pixels.data() + (size_t(x) + size_t(y) * size_t(width)) * size_t(bytesPerPixel); }
    const uint8_t* at(int x, int y) const { return pixels.data() + (size_t(x) + size_t(y) * size_t(width)) * size_t(bytesPerPixel); }
};

// Byte count of a buffer of the given descriptor; 0 for non-positive sizes.
size_t PixelByteCount(int32_t width, int32_t height, int32_t bytesPerPixel);

// Address of pixel (x, y) in a packed block. No bounds check.
inline uint8_t* PixelAddress(uint8_t* base, int width, int bytesPerPixel, int x, int y)
{
    return base + (ptrdiff_t(x) + ptrdiff_t(y) * width) * bytesPerPixel;
}
inline const uint8_t* PixelAddress(const uint8_t* base, int width, int bytesPerPixel, int x, int y)
{
    return base + (ptrdiff_t(x) + ptrdiff_t(y) * width) * bytesPerPixel;
}

// Copies exactly 1, 2, 3 or 4 bytes; any other count copies nothing.
inline void PixelCopy(uint8_t* dst, const uint8_t* src, int bytesPerPixel)
{
    switch (bytesPerPixel) {
    case 4: dst[3] = src[3]; [[fallthrough]];
    case 3: dst[2] = src[2]; [[fallthrough]];
    case 2: dst[1] = src[1]; [[fallthrough]];
    case 1: dst[0] = src[0]; break;
    default: break;
    }
}

// Luminance 0..255: the first byte for 1 or 2 bytes per pixel, otherwise
// 0.2126 R + 0.7152 G + 0.0722 B in double precision, truncated.
inline int PixelLuminance(const uint8_t* p, int bytesPerPixel)
{
    if (bytesPerPixel == 1 || bytesPerPixel == 2)
        return p[0];
    if (bytesPerPixel == 3 || bytesPerPixel == 4)
        return int(0.2126 * p[2] + 0.7152 * p[1] + 0.0722 * p[0]);
    return 0;
}

// Truncates toward zero has already happened; brings an integer into 0..255.
inline uint8_t ClampByte(int v)
{
    return uint8_t(v >= 255 ? 255 : (v <= 0 ? 0 : v));
}

} // namespace ombrik
