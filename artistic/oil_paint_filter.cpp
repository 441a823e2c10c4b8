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
typedef uint8_t Byte4 __attribute__((vector_size(4)));

// The neighbourhood's radius.
constexpr int kRadius = int(COilPaintFilter::kMaskSize) / 2;

constexpr Int4 kChannels = {-1, -1, -1, 0};
constexpr Int4 kOne = {0, 0, 0, 1};

// A pixel as the histogram takes it: bytes 0..2 its channels, byte 3 its
// intensity level.
inline uint32_t PackPixel(const uint8_t* p)
{
    const int level = int(0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2]);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(level) << 24;
}

// The channels of a packed pixel and a count of 1 in lane 3.
inline Int4 PixelTerms(uint32_t packed)
{
    Byte4 bytes;
    std::memcpy(&bytes, &packed, 4);
    const Int4 wide = __builtin_convertvector(bytes, Int4);
    return (wide & kChannels) | kOne;
}

// The intensity histogram of the pixels in the disc around the current pixel.
// It slides along a row: moving one pixel right removes the disc's left edge
// and adds its new right edge, 2 × (disc height) updates instead of rebuilding
// every bin. Each level keeps its channel sums and count in one vector, and a
// bit set marks the occupied levels so they can be visited in increasing
// order, as a scan of all 256 would, without touching the empty ones.
struct SlidingHistogram {
    Int4 bins[256];        // channel sums 0..2 and the count (lane 3)
    uint64_t occupied[4];  // bit i: level i has a count

    void clear()
    {
        std::memset(bins, 0, sizeof bins);
        std::memset(occupied, 0, sizeof occupied);
    }
    void add(uint32_t packed)
    {
        const unsigned level = packed >> 24;
        bins[level] += PixelTerms(packed);
        occupied[level >> 6] |= uint64_t(1) << (level & 63);
    }
    void remove(uint32_t packed)
    {
        const unsigned level = packed >> 24;
        const Int4 bin = bins[level] - PixelTerms(packed);
        bins[level] = bin;
        occupied[level >> 6] &= ~(uint64_t(bin[3] == 0) << (level & 63));
    }
    int largestCount() const
    {
        int largest = 1;
        for (int word = 0; word < 4; ++word)
            for (uint64_t bits = occupied[word]; bits; bits &= bits - 1)
                largest = std::max(largest, int(bins[word * 64 + std::countr_zero(bits)][3]));
        return largest;
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

    const int n = kRadius;
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

    // Every pixel packed with its intensity, the histogram level it falls into.
    std::vector<uint32_t> packed(size_t(w) * size_t(h));
    ForEachRowBand(w, h, false, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < w; ++x)
                packed[size_t(y) * size_t(w) + size_t(x)] = PackPixel(PixelAddress(src, w, bpp, x, y));
    });

    ForEachRowBand(w, h, true, [&](int y0, int y1) {
        SlidingHistogram hist;
        const uint32_t* rows[2 * kRadius + 1];
        int rowHalfWidth[2 * kRadius + 1];
        for (int y = y0; y < y1; ++y) {
            size_t rowCount = 0;
            for (int yy = std::max(0, y - n); yy < std::min(h, y + n + 1); ++yy, ++rowCount) {
                rows[rowCount] = packed.data() + size_t(yy) * size_t(w);
                rowHalfWidth[rowCount] = halfWidth[size_t(std::abs(yy - y))];
            }

            hist.clear();
            for (size_t r = 0; r < rowCount; ++r)
                for (int xx = 0; xx <= std::min(w - 1, rowHalfWidth[r]); ++xx)
                    hist.add(rows[r][xx]);

            for (int x = 0; x < w; ++x) {
                if (x > n && x + n < w) {
                    for (size_t r = 0; r < rowCount; ++r) {
                        hist.remove(rows[r][x - 1 - rowHalfWidth[r]]);
                        hist.add(rows[r][x + rowHalfWidth[r]]);
                    }
                } else if (x > 0) {
                    for (size_t r = 0; r < rowCount; ++r) {
                        const int hw = rowHalfWidth[r];
                        if (x - 1 - hw >= 0)
                            hist.remove(rows[r][x - 1 - hw]);
                        if (x + hw < w)
                            hist.add(rows[r][x + hw]);
                    }
                }

                // Occupied levels in increasing order; empty levels weigh 0 and
                // add nothing. Lane 3 accumulates the total weight. It starts
                // at 0: the most frequent level always weighs exactly 1, so the
                // total is at least 1, and a guard added to it would pull every
                // result (a flat area's colour too) one level down after
                // truncation.
                const float* weightRow = weights.data() + size_t(hist.largestCount()) * stride;
                Float4 acc = {0.0f, 0.0f, 0.0f, 0.0f};
                for (int word = 0; word < 4; ++word) {
                    for (uint64_t bits = hist.occupied[word]; bits; bits &= bits - 1) {
                        const Int4 bin = hist.bins[word * 64 + std::countr_zero(bits)];
                        const float wgt = weightRow[bin[3]];
                        // {sum0, sum1, sum2, 1} × weight / {count, count, count, 1}
                        const Int4 count = Int4{} + bin[3];
                        const Float4 sums = __builtin_convertvector((bin & kChannels) | kOne, Float4);
                        const Float4 counts = __builtin_convertvector((count & kChannels) | kOne, Float4);
                        acc += (sums * Float4{wgt, wgt, wgt, wgt}) / counts;
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
