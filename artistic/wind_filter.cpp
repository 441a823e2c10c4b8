#include "artistic/wind_filter.h"

#include "engine/pixel_buffer.h"
#include "engine/progress.h"

#include <glib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace ombrik {

void CWindFilter::setDimensions(int width, int height, int bytesPerPixel)
{
    m_width = width;
    m_height = height;
    m_bytesPerPixel = bytesPerPixel;
}

bool CWindFilter::EdgeTest(const uint8_t* a, const uint8_t* b, int mode, int threshold)
{
    int d0 = b[0] - a[0], d1 = b[1] - a[1], d2 = b[2] - a[2];
    if (mode == 0) {
        d0 = std::abs(d0);
        d1 = std::abs(d1);
        d2 = std::abs(d2);
    } else if (mode == 1) {
        d0 = -d0;
        d1 = -d1;
        d2 = -d2;
    }
    // The mean over four terms: the fourth, an alpha difference, is left out.
    return threshold < (d0 + d1 + d2) / 4;
}

// One row, in place, left to right; pixels a streak has changed are read as
// changed by the pixels after them.
void CWindFilter::blowRow(uint8_t* row) const
{
    const int w = m_width, bpp = m_bytesPerPixel;
    const int end = w - 3;  // streaks stop before this pixel
    auto pixel = [&](int x) { return row + ptrdiff_t(x) * bpp; };

    for (int x = 3; x < w; ++x) {
        const uint8_t* back = pixel(x - 3);
        const uint8_t* at = pixel(x);
        if (!EdgeTest(back, at, kWindEdge, kWindThreshold))
            continue;

        const int r = g_random_int_range(0, 3);
        int u = int(g_random_double() * (r != 0 ? kWindStrength : 4 * kWindStrength)) + 1;
        const int stop = std::min(x + u, end);
        if (x >= stop)
            continue;

        int bleed[3], step[3];
        for (int c = 0; c < 3; ++c) {
            bleed[c] = back[c];
            step[c] = at[c] - back[c];
        }
        double k = 2.0 / double(u * (u + 1));
        for (int p = x;;) {
            uint8_t* cur = pixel(p);
            // Along the edge the streak always goes on; past it, on a coin toss.
            if (!EdgeTest(back, cur, kWindEdge, kWindThreshold) && (g_random_int() & 0x8000u) != 0)
                break;
            for (int c = 0; c < 3; ++c) {
                bleed[c] = ClampByte(int(k * double(u * step[c]) + bleed[c]));
                cur[c] = uint8_t((cur[c] + 2 * bleed[c]) / 3);
            }
            // A new edge three pixels ahead retargets the rest of the streak.
            const uint8_t* ahead = pixel(p + 3);
            if (EdgeTest(cur, ahead, 0, kWindThreshold)) {
                for (int c = 0; c < 3; ++c)
                    step[c] = ahead[c] - bleed[c];
                k = 2.0 / double(u * (u + 1));
            }
            ++p;
            --u;
            if (p >= stop)
                break;
        }
    }
}

void CWindFilter::ApplyWind(const uint8_t* src, uint8_t* dst) const
{
    const int w = m_width, h = m_height, bpp = m_bytesPerPixel;
    if (!src || !dst || w <= 0 || h <= 0 || (bpp != 3 && bpp != 4))
        return;
    const size_t stride = size_t(w) * size_t(bpp);
    for (int y = 0; y < h; ++y) {
        if (CancelRequested())
            return;
        uint8_t* row = dst + size_t(y) * stride;
        std::memcpy(row, src + size_t(y) * stride, stride);
        blowRow(row);
        if (y % 8 == 0)
            ReportProgress(int(double(y) / double(h) * 100.0));
    }
}

} // namespace ombrik
