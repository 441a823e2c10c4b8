// Tone and retouch operations of CEffectFilter: per-channel tables, the red-eye
// test, the 3 × 3 blur and sharpen, and the block pixelizer.
#include "engine/effect_filter.h"

#include "engine/pixel_buffer.h"
#include "engine/row_bands.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace ombrik {

void CEffectFilter::setDimensions(int width, int height, int bytesPerPixel)
{
    m_width = width;
    m_height = height;
    m_bytesPerPixel = bytesPerPixel;
}

// Every operation needs a real image of 3- or 4-byte pixels; anything else is
// left alone rather than read out of bounds.
bool CEffectFilter::valid() const
{
    return m_width > 0 && m_height > 0 && (m_bytesPerPixel == 3 || m_bytesPerPixel == 4);
}

void CEffectFilter::copyAll(const uint8_t* src, uint8_t* dst) const
{
    std::memcpy(dst, src, PixelByteCount(m_width, m_height, m_bytesPerPixel));
}

void CEffectFilter::applyTable(const uint8_t* src, uint8_t* dst, const uint8_t table[256], bool reportProgress) const
{
    const int bpp = m_bytesPerPixel;
    const size_t stride = size_t(m_width) * bpp;
    ForEachRowBand(m_width, m_height, reportProgress, [&](int y0, int y1) {
        const uint8_t* in = src + size_t(y0) * stride;
        uint8_t* out = dst + size_t(y0) * stride;
        const size_t n = size_t(y1 - y0) * stride;
        if (bpp == 3) {
            for (size_t i = 0; i < n; ++i)
                out[i] = table[in[i]];
            return;
        }
        for (size_t i = 0; i < n; i += 4) {
            out[i] = table[in[i]];
            out[i + 1] = table[in[i + 1]];
            out[i + 2] = table[in[i + 2]];
            out[i + 3] = in[i + 3];
        }
    });
}

void CEffectFilter::ScaleChannels(const uint8_t* src, uint8_t* dst, int percent) const
{
    if (!valid())
        return;
    uint8_t table[256];
    for (int c = 0; c < 256; ++c) {
        const int v = (c * percent) / 100;
        table[c] = uint8_t(v > 255 ? 255 : (v < 0 ? 0 : v));
    }
    applyTable(src, dst, table);
}

void CEffectFilter::AdjustContrast(const uint8_t* src, uint8_t* dst, int percent) const
{
    if (!valid())
        return;
    uint8_t table[256];
    for (int c = 0; c < 256; ++c)
        table[c] = ClampByte(((c - 128) * percent) / 100 + 128);
    applyTable(src, dst, table);
}

void CEffectFilter::ApplyGamma(const uint8_t* src, uint8_t* dst, float gamma) const
{
    if (!valid() || !(gamma > 0.0f))
        return;
    const float e = 1.0f / gamma;
    const float norm = float(std::pow(255.0, double(e)) * double(1.0f / 255.0f));
    uint8_t table[256];
    for (int c = 0; c < 256; ++c) {
        const double v = std::pow(double(c), double(e)) / double(norm);
        table[c] = ClampByte(int(v));
    }
    applyTable(src, dst, table);
}

void CEffectFilter::GreyFromGreen(const uint8_t* src, uint8_t* dst) const
{
    if (!valid())
        return;
    const int bpp = m_bytesPerPixel;
    ForEachRowBand(m_width, m_height, false, [&](int y0, int y1) {
        for (size_t i = size_t(y0) * m_width, end = size_t(y1) * m_width; i < end; ++i) {
            const uint8_t g = src[i * bpp + 1];
            for (int k = 0; k < bpp; ++k)
                dst[i * bpp + k] = g;
        }
    });
}

void CEffectFilter::RemoveRedEye(const uint8_t* src, uint8_t* dst) const
{
    if (!valid())
        return;
    const int t = (kRedEyeThreshold - 50) * 2;
    const int bpp = m_bytesPerPixel;
    ForEachRowBand(m_width, m_height, false, [&](int y0, int y1) {
        for (size_t i = size_t(y0) * m_width, end = size_t(y1) * m_width; i < end; ++i) {
            const uint8_t* s = src + i * bpp;
            uint8_t* d = dst + i * bpp;
            const int B = s[0], G = s[1], R = s[2];
            const int rr = int(R * 0.5133333);
            const int bb = int(B * 0.1933333);
            int red = R;
            if (rr >= G - t && rr >= bb - t)
                red = ClampByte(int((G + bb) * 0.974026037274418));
            d[0] = uint8_t(B);
            d[1] = uint8_t(G);
            d[2] = uint8_t(red);
            if (bpp == 4)
                d[3] = s[3];
        }
    });
}

namespace {

// Runs a 3 × 3 neighbourhood operation over the inner pixels: out(centre, sum of
// the nine pixels) per channel. The outermost rows and columns keep the copy.
template <typename Kernel>
void ForEachInner3x3(const uint8_t* src, uint8_t* dst, int w, int h, int bpp, Kernel kernel)
{
    if (w < 3 || h < 3)
        return;
    const size_t stride = size_t(w) * bpp;
    ForEachRowBand(w, h, false, [&](int y0, int y1) {
        std::vector<int> column(stride);
        for (int y = std::max(1, y0); y < std::min(h - 1, y1); ++y) {
            const uint8_t* above = src + (y - 1) * stride;
            const uint8_t* row = above + stride;
            const uint8_t* below = row + stride;
            for (size_t i = 0; i < stride; ++i)
                column[i] = above[i] + row[i] + below[i];
            uint8_t* out = dst + y * stride;
            for (int x = 1; x < w - 1; ++x) {
                const size_t p = size_t(x) * bpp;
                for (int c = 0; c < 3; ++c)
                    out[p + c] = kernel(row[p + c], column[p - bpp + c] + column[p + c] + column[p + bpp + c]);
            }
        }
    });
}

} // namespace

void CEffectFilter::BoxBlur(const uint8_t* src, uint8_t* dst) const
{
    if (!valid())
        return;
    copyAll(src, dst);
    ForEachInner3x3(src, dst, m_width, m_height, m_bytesPerPixel,
                    [](int, int nine) { return uint8_t((nine + 4) / 9); });
}

void CEffectFilter::Sharpen(const uint8_t* src, uint8_t* dst) const
{
    if (!valid())
        return;
    copyAll(src, dst);
    ForEachInner3x3(src, dst, m_width, m_height, m_bytesPerPixel,
                    [](int centre, int nine) { return ClampByte((20 * centre - (nine - centre)) / 12); });
}

void CEffectFilter::Pixelize(const uint8_t* src, uint8_t* dst) const
{
    if (!valid())
        return;
    copyAll(src, dst);
    const int w = m_width, h = m_height, bpp = m_bytesPerPixel;
    const int d = std::max(4, w / 80);
    const size_t stride = size_t(w) * bpp;
    for (int by = 0; by < h; by += d) {
        const int yEnd = std::min(h, by + d);
        for (int bx = 0; bx < w; bx += d) {
            const int xEnd = std::min(w, bx + d);
            long sum[3] = {0, 0, 0};
            long weight = 0;
            for (int y = by; y < yEnd; ++y) {
                const uint8_t* p = src + y * stride + size_t(bx) * bpp;
                for (int x = bx; x < xEnd; ++x, p += bpp) {
                    const int a = bpp == 4 ? p[3] : 1;
                    sum[0] += p[0] * a;
                    sum[1] += p[1] * a;
                    sum[2] += p[2] * a;
                    weight += a;
                }
            }
            uint8_t avg[3] = {0, 0, 0};
            if (weight > 0)
                for (int c = 0; c < 3; ++c)
                    avg[c] = uint8_t(sum[c] / weight);
            for (int y = by; y < yEnd; ++y) {
                uint8_t* p = dst + y * stride + size_t(bx) * bpp;
                for (int x = bx; x < xEnd; ++x, p += bpp) {
                    p[0] = avg[0];
                    p[1] = avg[1];
                    p[2] = avg[2];
                }
            }
        }
    }
}

} // namespace ombrik
