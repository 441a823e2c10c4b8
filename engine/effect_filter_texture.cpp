// Texture and blur operations of CEffectFilter: emboss, scatter, glass tiles,
// posterize, horizontal motion blur and the rotational blur.
#include "engine/effect_filter.h"

#include "engine/pixel_buffer.h"
#include "engine/progress.h"
#include "engine/row_bands.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace ombrik {

namespace {

// Additive feedback generator with the C library's seeding: 31 words filled by
// the 16807 multiplicative sequence, separation 3, the first 310 outputs
// discarded.
struct ScatterRandom {
    int32_t state[31];
    int front = 3;
    int rear = 0;

    ScatterRandom() { seed(1); }

    void seed(unsigned int s)
    {
        int32_t word = int32_t(s);
        if (word == 0)
            word = 1;
        state[0] = word;
        for (int i = 1; i < 31; ++i) {
            // Schrage's method keeps 16807 × word mod (2^31 − 1) inside 32 bits.
            const int32_t hi = word / 127773;
            const int32_t lo = word % 127773;
            word = 16807 * lo - 2836 * hi;
            if (word < 0)
                word += 2147483647;
            state[i] = word;
        }
        front = 3;
        rear = 0;
        for (int i = 0; i < 310; ++i)
            next();
    }

    int next()
    {
        uint32_t v = uint32_t(state[front]) + uint32_t(state[rear]);
        state[front] = int32_t(v);
        const int result = int((v >> 1) & 0x7fffffff);
        if (++front >= 31) {
            front = 0;
            ++rear;
        } else if (++rear >= 31) {
            rear = 0;
        }
        return result;
    }
};

ScatterRandom& Scatter()
{
    static ScatterRandom generator;
    return generator;
}

} // namespace

void SeedScatterRandom(unsigned int seed)
{
    Scatter().seed(seed);
}

int NextScatterRandom()
{
    return Scatter().next();
}

void CEffectFilter::Emboss(const uint8_t* src, uint8_t* dst) const
{
    if (!valid())
        return;
    // Every colour byte is rewritten; only a fourth byte needs the copy.
    if (m_bytesPerPixel == 4)
        copyAll(src, dst);
    const int w = m_width, bpp = m_bytesPerPixel;
    const size_t stride = size_t(w) * bpp;
    ForEachRowBand(w, m_height, true, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint8_t* in = src + y * stride;
            uint8_t* out = dst + y * stride;
            int right = in[0] + in[1] + in[2];
            for (int x = 0; x < w - 1; ++x) {
                const uint8_t* next = in + size_t(x + 1) * bpp;
                const int left = right;
                right = next[0] + next[1] + next[2];
                const uint8_t g = ClampByte(((left - right) / 3) * 8 + 128);
                uint8_t* q = out + size_t(x) * bpp;
                q[0] = q[1] = q[2] = g;
            }
            uint8_t* last = out + size_t(w - 1) * bpp;
            last[0] = last[1] = last[2] = 128;
        }
    });
}

void CEffectFilter::Splash(const uint8_t* src, uint8_t* dst) const
{
    if (!valid())
        return;
    copyAll(src, dst);
    const int w = m_width, h = m_height, bpp = m_bytesPerPixel;
    const int m = w / 30;
    // Narrower than 30 pixels there is no scatter range: the photo stays as it is.
    if (m <= 0)
        return;
    ScatterRandom& rng = Scatter();
    for (int y = 0; y < h; ++y) {
        if (CancelRequested())
            return;
        ReportRowProgress(y, h);
        uint8_t* out = dst + size_t(y) * w * bpp;
        for (int x = 0; x < w; ++x) {
            const int dx = rng.next() % m;
            const int dy = rng.next() % m;
            const int sx = std::min(w - 1, x + dx);
            const int sy = std::min(h - 1, y + dy);
            PixelCopy(out + size_t(x) * bpp, src + (size_t(sy) * w + sx) * bpp, bpp);
        }
    }
}

void CEffectFilter::GlassTiles(const uint8_t* src, uint8_t* dst) const
{
    if (!valid())
        return;
    copyAll(src, dst);
    const int w = m_width, h = m_height, bpp = m_bytesPerPixel;
    const int bw = w / 20, bh = h / 20;
    const int hw = bw / 2, hh = bh / 2;

    // The column walk restarts identically on every row, so its source columns
    // are worked out once; -1 marks a column that keeps its copied value.
    std::vector<int> sourceColumn(w);
    {
        int X0 = 0, cx = 0;
        for (int x = 0; x < w; ++x) {
            const int sx = std::max(0, X0 + 2 * cx);
            sourceColumn[x] = sx < w ? sx : -1;
            if (++cx == hw) {
                X0 += bw;
                cx = -(hw + (bw % 2));
            }
        }
    }
    std::vector<int> sourceRow(h);
    {
        int Y0 = 0, cy = 0;
        for (int y = 0; y < h; ++y) {
            sourceRow[y] = std::clamp(Y0 + 2 * cy, 0, h - 1);
            if (++cy == hh) {
                Y0 += bh;
                cy = -(hh + (bh % 2));
            }
        }
    }
    ForEachRowBand(w, h, true, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint8_t* in = src + size_t(sourceRow[y]) * w * bpp;
            uint8_t* out = dst + size_t(y) * w * bpp;
            for (int x = 0; x < w; ++x)
                if (sourceColumn[x] >= 0)
                    PixelCopy(out + size_t(x) * bpp, in + size_t(sourceColumn[x]) * bpp, bpp);
        }
    });
}

void CEffectFilter::Posterize(const uint8_t* src, uint8_t* dst) const
{
    if (!valid())
        return;
    uint8_t table[256];
    for (int c = 0; c < 256; ++c)
        table[c] = ClampByte(int(std::round(c * 0.011764705882352941)) * 85);
    applyTable(src, dst, table, true);
}

void CEffectFilter::MotionBlur(const uint8_t* src, uint8_t* dst, int /*direction*/) const
{
    if (!valid())
        return;
    copyAll(src, dst);
    const int w = m_width, bpp = m_bytesPerPixel;
    int n = w / 20;
    if (n > w - 2)
        n = w - 2;
    if (n < 2)
        n = 2;
    // Narrower than 3 pixels nothing moves (the last two pixels always stay),
    // and the first window would reach past the row.
    const bool blur = w >= 3;
    ForEachRowBand(w, m_height, true, [&](int y0, int y1) {
        if (!blur)
            return;
        for (int y = y0; y < y1; ++y) {
            uint8_t* row = dst + size_t(y) * w * bpp;
            const uint8_t* edge = row + size_t(w - 1) * bpp;
            int sum[3] = {0, 0, 0};
            for (int i = 0; i < n; ++i)
                for (int c = 0; c < 3; ++c)
                    sum[c] += row[size_t(i) * bpp + c];
            const uint8_t lastPixel[3] = {edge[0], edge[1], edge[2]};
            for (int x = 0; x < w - 2; ++x) {
                uint8_t* p = row + size_t(x) * bpp;
                const uint8_t* incoming = x >= w - n ? lastPixel : row + size_t(x + n) * bpp;
                uint8_t fresh[3];
                for (int c = 0; c < 3; ++c) {
                    fresh[c] = ClampByte(sum[c] / n);
                    sum[c] += incoming[c] - p[c];
                }
                p[0] = fresh[0];
                p[1] = fresh[1];
                p[2] = fresh[2];
            }
        }
    });
}

void CEffectFilter::RadialBlur(const uint8_t* src, uint8_t* dst) const
{
    if (!valid())
        return;
    copyAll(src, dst);
    const int w = m_width, h = m_height, bpp = m_bytesPerPixel;
    const int cx = w / 2, cy = h / 2;
    const int xr = std::max(cx, w - cx), yr = std::max(cy, h - cy);
    const int r = int(std::sqrt(double(xr) * xr + double(yr) * yr));
    const int n = int(std::sqrt(double(r)) * 3.14159265 * 0.06666666666666667 + 2);
    const float step = float(3.14159265 * 0.016666666666666666 / (n - 1));
    const float half = float((n - 1) * double(step) * 0.5);
    std::vector<float> cosTable(n), sinTable(n);
    for (int i = 0; i < n; ++i) {
        const float a = float(i) * step - half;
        cosTable[i] = float(std::cos(double(a)));
        sinTable[i] = float(std::sin(double(a)));
    }
    ForEachRowBand(w, h, true, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const int dy = y - cy;
            uint8_t* out = dst + size_t(y) * w * bpp;
            for (int x = 0; x < w; ++x) {
                const int dx = x - cx;
                const int d = int(std::sqrt(double(dx) * dx + double(dy) * dy));
                int k = d == 0 ? 1 : r / d;
                if (k == 0)
                    k = 1;
                if (k > n - 1)
                    k = n - 1;
                int count = 0;
                long sum[3] = {0, 0, 0};
                long alphaSum = 0;
                for (int i = 0; i < n; i += k) {
                    const float fdx = float(dx), fdy = float(dy);
                    const int sx = int(fdx * cosTable[i] + float(cx) - fdy * sinTable[i]);
                    const int sy = int(fdy * cosTable[i] + fdx * sinTable[i] + float(cy));
                    if (sx < 0 || sx >= w || sy < 0 || sy >= h)
                        continue;
                    const uint8_t* p = src + (size_t(sy) * w + sx) * bpp;
                    ++count;
                    if (bpp == 4) {
                        sum[0] += p[0] * p[3];
                        sum[1] += p[1] * p[3];
                        sum[2] += p[2] * p[3];
                        alphaSum += p[3];
                    } else {
                        sum[0] += p[0];
                        sum[1] += p[1];
                        sum[2] += p[2];
                    }
                }
                if (count == 0)
                    continue;
                uint8_t* q = out + size_t(x) * bpp;
                if (bpp == 4) {
                    q[3] = uint8_t(alphaSum / count);
                    if (q[3] != 0)
                        for (int c = 0; c < 3; ++c)
                            q[c] = uint8_t(sum[c] / alphaSum);
                } else {
                    for (int c = 0; c < 3; ++c)
                        q[c] = uint8_t(sum[c] / count);
                }
            }
        }
    });
}

} // namespace ombrik
