#include "artistic/canvas_filter.h"

#include "artistic/canvas_texture.h"
#include "engine/progress.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace ombrik {

// The depth scale is exactly 1, so adding the offset to a channel stays in
// integers and the sum needs no truncation.
static_assert(CCanvasFilter::kCanvasDepth * 0.25 == 1.0);

void CCanvasFilter::setDimensions(int width, int height, int bytesPerPixel)
{
    m_width = width;
    m_height = height;
    m_bytesPerPixel = bytesPerPixel;
}

void CCanvasFilter::ApplyCanvas(const uint8_t* src, uint8_t* dst) const
{
    const int w = m_width, h = m_height, bpp = m_bytesPerPixel;
    if (!src || !dst || w <= 0 || h <= 0 || (bpp != 3 && bpp != 4))
        return;

    // One texture row spread over the byte layout of a row: the same offset on
    // the three channels, 0 on alpha. Rows are then a plain saturating add of
    // this pattern, repeated every 128 pixels, which the compiler vectorises.
    const int period = kCanvasTextureSize * bpp;
    std::vector<int16_t> pattern(static_cast<size_t>(period));
    const size_t stride = size_t(w) * size_t(bpp);

    for (int y = 0; y < h; ++y) {
        if (CancelRequested())
            return;
        const int8_t* texRow = CanvasTexture() + (y % kCanvasTextureSize) * kCanvasTextureSize;
        for (int u = 0; u < kCanvasTextureSize; ++u)
            for (int c = 0; c < bpp; ++c)
                pattern[size_t(u * bpp + c)] = int16_t(c < 3 ? texRow[u] : 0);

        const uint8_t* in = src + size_t(y) * stride;
        uint8_t* out = dst + size_t(y) * stride;
        for (size_t start = 0; start < stride; start += size_t(period)) {
            const size_t n = std::min(stride - start, size_t(period));
            const int16_t* off = pattern.data();
            const uint8_t* a = in + start;
            uint8_t* b = out + start;
            for (size_t i = 0; i < n; ++i) {
                const int v = int(a[i]) + int(off[i]);
                b[i] = uint8_t(std::clamp(v, 0, 255));
            }
        }
        if (y % 5 == 0)
            ReportProgress(int(double(y) / double(h) * 100.0));
    }
}

} // namespace ombrik
