// Smooth Skin: an adaptive median filter on luminance. Very dark and very bright
// pixels are kept out of the median; the window radius shrinks where they are
// rare and grows back where they are common, so edges against highlights and
// shadows survive while skin texture is smoothed.
#include "engine/effect_filter.h"

#include "engine/pixel_buffer.h"
#include "engine/progress.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace ombrik {

namespace {

// Partial quickselect over the candidates' luminance values, moving the pixel
// offsets alongside. Returns the offset that ends at position (n - 1) / 2; the
// rearrangement (and so the choice among equal values) is fixed.
uint32_t SelectMedian(uint8_t* value, uint32_t* where, int n)
{
    auto swap = [&](int a, int b) {
        std::swap(value[a], value[b]);
        std::swap(where[a], where[b]);
    };
    const int median = (n - 1) / 2;
    int low = 0;
    int high = n - 1;
    for (;;) {
        if (high <= low)
            break;
        if (high == low + 1) {
            if (value[low] > value[high])
                swap(low, high);
            break;
        }
        const int middle = (low + high) / 2;
        if (value[middle] > value[high])
            swap(middle, high);
        if (value[low] > value[high])
            swap(low, high);
        if (value[middle] > value[low])
            swap(middle, low);
        swap(middle, low + 1);
        int ll = low + 1;
        int hh = high;
        for (;;) {
            do
                ++ll;
            while (value[ll] < value[low]);
            do
                --hh;
            while (value[hh] > value[low]);
            if (hh < ll)
                break;
            swap(ll, hh);
        }
        swap(low, hh);
        if (hh <= median)
            low = ll;
        if (hh >= median)
            high = hh - 1;
    }
    return where[median];
}

} // namespace

void CEffectFilter::SmoothSkin(const uint8_t* src, uint8_t* dst) const
{
    if (!valid())
        return;
    const int w = m_width, h = m_height, bpp = m_bytesPerPixel;
    constexpr int r0 = kMedianRadius;
    constexpr int window = (2 * r0 + 1) * (2 * r0 + 1);

    // Luminance of every source pixel, computed once instead of once per window.
    std::vector<uint8_t> lum(size_t(w) * size_t(h));
    for (size_t i = 0; i < lum.size(); ++i)
        lum[i] = uint8_t(PixelLuminance(src + i * bpp, bpp));

    uint8_t value[window];
    uint32_t where[window];
    int radius = r0;
    const double total = double(w) * double(h);
    for (int y = 0; y < h; ++y) {
        if (CancelRequested())
            return;
        const int ymin = std::max(0, y - radius);
        const int ymax = std::min(h - 1, y + radius);
        for (int x = 0; x < w; ++x) {
            const int xmin = std::max(0, x - radius);
            const int xmax = std::min(w - 1, x + radius);
            int hist0 = 0, hist255 = 0, n = 0;
            for (int wy = ymin; wy <= ymax; ++wy) {
                const uint32_t rowStart = uint32_t(wy) * uint32_t(w);
                for (int wx = xmin; wx <= xmax; ++wx) {
                    const uint8_t L = lum[rowStart + wx];
                    if (L <= kMedianBlackLevel) {
                        ++hist0;
                    } else if (L >= kMedianWhiteLevel) {
                        ++hist255;
                    } else {
                        value[n] = L;
                        where[n] = rowStart + uint32_t(wx);
                        ++n;
                    }
                }
            }
            const size_t out = (size_t(y) * w + x) * bpp;
            if (n >= 2)
                PixelCopy(dst + out, src + size_t(SelectMedian(value, where, n)) * bpp, bpp);
            else
                PixelCopy(dst + out, src + out, bpp);
            if (hist0 < radius && hist255 < radius) {
                if (radius > 1)
                    --radius;
            } else if (radius < r0) {
                ++radius;
            }
        }
        if (y % 32 == 0) {
            const double done = double(y + 1) * double(w);
            ReportProgress(std::min(100, int(done / total * 100.0)));
        }
    }
    ReportProgress(100);
}

} // namespace ombrik
