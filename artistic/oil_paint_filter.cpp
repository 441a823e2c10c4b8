#include "artistic/oil_paint_filter.h"

#include "engine/pixel_buffer.h"
#include "engine/row_bands.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace ombrik {

namespace {

// Four floats or ints that the compiler keeps in one SIMD register. Lane-wise
// IEEE single-precision operations give exactly the results of the same
// operations on scalars.
typedef float Float4 __attribute__((vector_size(16)));
typedef int32_t Int4 __attribute__((vector_size(16)));

// The intensity histogram of the pixels in the disc around the current pixel.
// It slides along a row: moving one pixel right removes the disc's left edge
// and adds its new right edge, 2 × (disc height) updates instead of rebuilding
// every bin. Besides the counts it keeps the channel sums per level, a bit set
// of the occupied levels (visited in increasing order, as a full scan would) and
// how many levels hold each count, so the largest count is always known.
struct SlidingHistogram {
    Int4 bins[256];          // channel sums 0..2 and the count (lane 3)
    uint64_t occupied[4];    // bit i: level i has a count
    std::vector<int> levelsWithCount;  // [k]: how many levels have count k
    int largest = 0;

    explicit SlidingHistogram(int maxCount) : levelsWithCount(size_t(maxCount) + 2, 0) {}

    void clear()
    {
        std::memset(bins, 0, sizeof bins);
        std::memset(occupied, 0, sizeof occupied);
        std::fill(levelsWithCount.begin(), levelsWithCount.end(), 0);
        largest = 0;
    }

    void add(int level, const uint8_t* p)
    {
        const int before = bins[level][3];
        bins[level] += Int4{p[0], p[1], p[2], 1};
        if (before == 0)
            occupied[level >> 6] |= uint64_t(1) << (level & 63);
        else
            --levelsWithCount[size_t(before)];
        ++levelsWithCount[size_t(before) + 1];
        if (before + 1 > largest)
            largest = before + 1;
    }

    void remove(int level, const uint8_t* p)
    {
        const int before = bins[level][3];
        bins[level] -= Int4{p[0], p[1], p[2], 1};
        --levelsWithCount[size_t(before)];
        if (before == 1)
            occupied[level >> 6] &= ~(uint64_t(1) << (level & 63));
        else
            ++levelsWithCount[size_t(before) - 1];
        if (before == largest && levelsWithCount[size_t(before)] == 0)
            largest = before - 1;
    }
};

} // namespace

void COilPaintFilter::setDimensions(int width, int height, int bytesPerPixel)
{
    m_width = width;
    m_height = height;
    m_bytesPerPixel = bytesPerPixel;
}

float COilPaintFilter::Weight(int count, int largest, float exponent)
{
    const float ratio = float(count) / float(largest);
    if (exponent - std::floor(exponent) < 0.001f && exponent <= 255.0f) {
        int e = int(exponent);
        float result = 1.0f, base = ratio;
        while (e > 0) {
            if (e & 1)
                result *= base;
            base *= base;
            e >>= 1;
        }
        return result;
    }
    return std::pow(ratio, exponent);
}

void COilPaintFilter::ApplyOilPaint(const uint8_t* src, uint8_t* dst) const
{
    const int w = m_width, h = m_height, bpp = m_bytesPerPixel;
    if (!src || !dst || w <= 0 || h <= 0 || (bpp != 3 && bpp != 4))
        return;

    const int n = int(kMaskSize) / 2;
    std::vector<int> sq(size_t(n) + 1);
    for (int i = 0; i <= n; ++i)
        sq[size_t(i)] = i * i;
    // Half-width of the disc on the row |dy| away: the pixels (dx, dy) with
    // sq[|dx|] + sq[|dy|] <= n × n.
    std::vector<int> halfWidth(size_t(n) + 1);
    int discSize = 0;
    for (int dy = 0; dy <= n; ++dy) {
        int hw = 0;
        while (hw < n && sq[size_t(hw) + 1] + sq[size_t(dy)] <= n * n)
            ++hw;
        halfWidth[size_t(dy)] = hw;
        discSize += (2 * hw + 1) * (dy == 0 ? 1 : 2);
    }

    // Every weight a disc can produce: counts and the largest count are at most
    // the disc's size.
    const size_t stride = size_t(discSize) + 1;
    std::vector<float> weights(stride * stride, 0.0f);
    for (int m = 1; m <= discSize; ++m)
        for (int c = 1; c <= m; ++c)
            weights[size_t(m) * stride + size_t(c)] = Weight(c, m, kOilExponent);

    // Intensity of every pixel, the histogram level it falls into.
    std::vector<uint8_t> intensity(size_t(w) * size_t(h));
    ForEachRowBand(w, h, false, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* p = PixelAddress(src, w, bpp, x, y);
                intensity[size_t(y) * size_t(w) + size_t(x)] = uint8_t(int(0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2]));
            }
    });

    ForEachRowBand(w, h, true, [&](int y0, int y1) {
        SlidingHistogram hist(discSize);
        for (int y = y0; y < y1; ++y) {
            const int rowFirst = std::max(0, y - n), rowLast = std::min(h, y + n + 1) - 1;
            auto addColumn = [&](int yy, int xx) {
                hist.add(intensity[size_t(yy) * size_t(w) + size_t(xx)], PixelAddress(src, w, bpp, xx, yy));
            };
            auto removeColumn = [&](int yy, int xx) {
                hist.remove(intensity[size_t(yy) * size_t(w) + size_t(xx)], PixelAddress(src, w, bpp, xx, yy));
            };

            hist.clear();
            for (int yy = rowFirst; yy <= rowLast; ++yy) {
                const int hw = halfWidth[size_t(std::abs(yy - y))];
                for (int xx = 0; xx <= std::min(w - 1, hw); ++xx)
                    addColumn(yy, xx);
            }

            for (int x = 0; x < w; ++x) {
                if (x > 0) {
                    for (int yy = rowFirst; yy <= rowLast; ++yy) {
                        const int hw = halfWidth[size_t(std::abs(yy - y))];
                        if (x - 1 - hw >= 0)
                            removeColumn(yy, x - 1 - hw);
                        if (x + hw < w)
                            addColumn(yy, x + hw);
                    }
                }

                // Levels in increasing order; empty levels have weight 0 and add
                // nothing. Lane 3 accumulates the total weight. It starts at 0:
                // the most frequent level always weighs exactly 1, so the total
                // is at least 1, and a guard added to it would pull every result
                // (a flat area's colour too) one level down after truncation.
                const float* weightRow = weights.data() + size_t(std::max(1, hist.largest)) * stride;
                Float4 acc = {0.0f, 0.0f, 0.0f, 0.0f};
                for (int word = 0; word < 4; ++word) {
                    uint64_t bits = hist.occupied[word];
                    while (bits) {
                        const int level = word * 64 + std::countr_zero(bits);
                        bits &= bits - 1;
                        const Int4 bin = hist.bins[level];
                        const float count = float(bin[3]);
                        const float wgt = weightRow[bin[3]];
                        const Float4 sums = {float(bin[0]), float(bin[1]), float(bin[2]), 1.0f};
                        acc += (Float4{wgt, wgt, wgt, wgt} * sums) / Float4{count, count, count, 1.0f};
                    }
                }
                uint8_t* out = PixelAddress(dst, w, bpp, x, y);
                for (int c = 0; c < 3; ++c)
                    out[c] = ClampByte(int(acc[c] / acc[3]));
                if (bpp == 4)
                    out[3] = PixelAddress(src, w, bpp, x, y)[3];
            }
        }
    });
}

} // namespace ombrik
