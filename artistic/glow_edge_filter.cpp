#include "artistic/glow_edge_filter.h"

#include "artistic/gaussian_blur.h"
#include "engine/progress.h"
#include "engine/row_bands.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace ombrik {

namespace {

constexpr double kInv255 = 0.00392156862745098;

inline int Max3(int a, int b, int c) { return std::max(a, std::max(b, c)); }
inline int Min3(int a, int b, int c) { return std::min(a, std::min(b, c)); }

// One channel of the HSL to RGB conversion for the hue position t.
inline uint8_t HslPart(int t, double m1, double m2)
{
    if (t > 255)
        t -= 255;
    else if (t < 0)
        t += 255;
    double v;
    if (t < 42.5)
        v = m1 + (m2 - m1) * t * 0.023529411764705882;
    else if (t < 127.5)
        v = m2;
    else if (t < 170)
        v = m1 + (m2 - m1) * (170 - t) * 0.023529411764705882;
    else
        v = m1;
    const int part = int(v * 255.0 + 0.5);
    return uint8_t(std::clamp(part, 0, 255));
}

inline int Lightness(const uint8_t* p)
{
    const int mx = Max3(p[0], p[1], p[2]);
    const int mn = Min3(p[0], p[1], p[2]);
    return int((mx + mn) * 0.5 + 0.5);
}

inline IntegerHsl ToHsl(const uint8_t* p)
{
    const int r = p[0], g = p[1], b = p[2];
    const int mx = Max3(r, g, b);
    const int mn = Min3(r, g, b);
    IntegerHsl out;
    out.l = int((mx + mn) * 0.5 + 0.5);
    if (mx == mn)
        return out;
    // Neither denominator can be 0: max + min lies in 1..509 when max != min.
    const int d = mx - mn;
    double s;
    if ((mx + mn) * 0.5 >= 128)
        s = double(d * 255) / double(511 - mx - mn);
    else
        s = double(d * 255) / double(mx + mn);
    double h;
    if (r == mx)
        h = double(g - b) / d;
    else if (g == mx)
        h = 2.0 + double(b - r) / d;
    else
        h = 4.0 + double(r - g) / d;
    h *= 42.5;
    if (h < 0)
        h += 255;
    else if (h > 255)
        h -= 255;
    out.h = int(h + 0.5);
    out.s = int(s + 0.5);
    return out;
}

inline void FromHsl(const IntegerHsl& hsl, uint8_t* p)
{
    const int h = hsl.h, s = hsl.s, l = hsl.l;
    if (s == 0) {
        p[0] = p[1] = p[2] = uint8_t(std::clamp(l, 0, 255));
        return;
    }
    double m2;
    if (l < 128)
        m2 = l * (255 + s) * 0.000015378700499807768;
    else
        m2 = (l + s - l * s * kInv255) * kInv255;
    const double m1 = l * 0.00784313725490196 - m2;
    p[0] = HslPart(h + 85, m1, m2);
    p[1] = HslPart(h, m1, m2);
    p[2] = HslPart(h - 85, m1, m2);
}

void ReportShare(long long done, long long total)
{
    ReportProgress(int(std::min<long long>(100, (long long)(double(done) / double(total) * 100.0))));
}

} // namespace

int IntegerLightness(const uint8_t* p) { return Lightness(p); }
IntegerHsl RgbToIntegerHsl(const uint8_t* p) { return ToHsl(p); }
void IntegerHslToRgb(const IntegerHsl& hsl, uint8_t* p) { FromHsl(hsl, p); }

void CGlowEdgeFilter::setDimensions(int width, int height, int bytesPerPixel)
{
    m_width = width;
    m_height = height;
    m_bytesPerPixel = bytesPerPixel;
}

bool CGlowEdgeFilter::valid() const
{
    return m_width > 0 && m_height > 0 && (m_bytesPerPixel == 3 || m_bytesPerPixel == 4);
}

void CGlowEdgeFilter::SoftGlow(const uint8_t* src, uint8_t* dst) const
{
    if (!valid() || !src || !dst)
        return;
    const int w = m_width, h = m_height, bpp = m_bytesPerPixel;
    const size_t pixels = size_t(w) * size_t(h);

    // The glow layer: an S-shaped contrast curve of the lightness.
    uint8_t curve[256];
    for (int L = 0; L < 256; ++L) {
        const double g = 255.0 / (std::exp(-(L * kInv255 - 0.5) * (kGlowSharpness * 20.0 + 2.0)) + 1.0)
            * kGlowBrightness;
        curve[L] = GaussianOutputByte(g);
    }
    std::vector<uint8_t> glow(pixels);
    for (size_t i = 0; i < pixels; ++i)
        glow[i] = curve[Lightness(src + i * size_t(bpp))];

    const long long total = 3LL * w * h;
    const double sigma = GaussianSigmaForRadius(std::abs(kGlowRadius) + 1.0);
    BlurByteImage(glow.data(), w, h, sigma, [&](bool isRow, int index) {
        const long long done = isRow ? (long long)w * h + (long long)(index + 1) * w : (long long)(index + 1) * h;
        ReportShare(done, total);
    });

    // Screen the glow over the photo, through a table of every (glow,
    // channel) pair.
    std::vector<uint8_t> screenStore(256 * 256);
    for (int g = 0; g < 256; ++g)
        for (int v = 0; v < 256; ++v) {
            const int t = (255 - v) * (255 - g) + 128;
            screenStore[size_t(g) * 256 + size_t(v)] = uint8_t(255 - (((t >> 8) + t) >> 8));
        }
    const uint8_t* const screen = screenStore.data();
    const uint8_t* const glowAt = glow.data();
    ForEachRowBand(w, h, false, [=](int y0, int y1) {
        const size_t end = size_t(y1) * size_t(w);
        for (size_t i = size_t(y0) * size_t(w); i < end; ++i) {
            const uint8_t* s = src + i * size_t(bpp);
            uint8_t* d = dst + i * size_t(bpp);
            const uint8_t* row = screen + size_t(glowAt[i]) * 256;
            d[0] = row[s[0]];
            d[1] = row[s[1]];
            d[2] = row[s[2]];
            if (bpp == 4)
                d[3] = s[3];
        }
    });
    ReportProgress(100);
}

void CGlowEdgeFilter::EdgePaint(const uint8_t* src, uint8_t* dst) const
{
    if (!valid() || !src || !dst)
        return;
    const int w = m_width, h = m_height, bpp = m_bytesPerPixel;
    const size_t pixels = size_t(w) * size_t(h);
    const double narrowSigma = GaussianSigmaForRadius(kNarrowRadius);
    const double wideSigma = GaussianSigmaForRadius(std::abs(kMaskRadius) + 1.0);

    std::vector<uint8_t> narrow(pixels), wide(pixels);

    // Column pass: blur each channel down the columns with both widths and keep
    // the lightness of each blurred colour. Columns are handed out in bands of
    // 20 and blurred 8 at a time, their 24 channel lines as one interleaved
    // batch small enough to stay in cache.
    ForEachRowBand(h, w, false, [&](int bandBegin, int bandEnd) {
        constexpr int kBatch = 8;
        const size_t most = size_t(h) * kBatch * 3;
        const auto in = std::make_unique_for_overwrite<double[]>(most);
        const auto out = std::make_unique_for_overwrite<double[]>(most);
        uint8_t rowBytes[kBatch * 3];
        RecursiveGaussian narrowGauss(narrowSigma), wideGauss(wideSigma);
        for (int x0 = bandBegin; x0 < bandEnd; x0 += kBatch) {
            const int cols = std::min(kBatch, bandEnd - x0);
            const int lines = cols * 3;
            for (int y = 0; y < h; ++y) {
                const uint8_t* row = src + (size_t(y) * size_t(w) + size_t(x0)) * size_t(bpp);
                double* line = in.get() + size_t(y) * size_t(lines);
                for (int l = 0; l < cols; ++l)
                    for (int c = 0; c < 3; ++c)
                        line[l * 3 + c] = row[size_t(l) * size_t(bpp) + size_t(c)];
            }
            auto blurInto = [&](RecursiveGaussian& gauss, std::vector<uint8_t>& image) {
                gauss.blurInterleaved(in.get(), out.get(), h, lines);
                for (int y = 0; y < h; ++y) {
                    GaussianOutputBytes(out.get() + size_t(y) * size_t(lines), rowBytes, size_t(lines));
                    uint8_t* target = image.data() + size_t(y) * size_t(w) + size_t(x0);
                    for (int l = 0; l < cols; ++l)
                        target[l] = uint8_t(Lightness(&rowBytes[l * 3]));
                }
            };
            blurInto(narrowGauss, narrow);
            blurInto(wideGauss, wide);
        }
    });
    const long long total = 2LL * w * h;
    for (int x = 0; x < w; x += 5)
        ReportShare((long long)(x + 1) * h, total);

    // Row pass over both lightness images.
    BlurByteImageLines(narrow.data(), w, h, narrowSigma, true);
    BlurByteImageLines(wide.data(), w, h, wideSigma, true);
    for (int y = 0; y < h; ++y)
        if (y % 5 == 0)
            ReportShare((long long)w * h + (long long)(y + 1) * w, total);

    // The darkening ramp: the ratio below which the darkest blackFraction of
    // the darkening candidates turn fully dark. Everything here depends on a
    // pixel's (narrow, wide) pair alone, so it is worked out once per pair.
    auto ratio = [](int n, int wd) { return double(n) / double(wd); };
    std::vector<uint8_t> bucketOf(256 * 256, 255);  // 255: not a candidate
    for (int wd = 1; wd < 256; ++wd)
        for (int n = 0; n < 256; ++n) {
            const double q = ratio(n, wd);
            if (q < 1.0)
                bucketOf[size_t(n) * 256 + size_t(wd)] = uint8_t(int(q * 100.0));
        }
    long long buckets[256] = {};
    for (size_t i = 0; i < pixels; ++i)
        ++buckets[bucketOf[size_t(narrow[i]) * 256 + size_t(wide[i])]];
    long long candidates = 0;
    for (int k = 0; k < 100; ++k)
        candidates += buckets[k];
    double ramp = 1.0;
    if (kBlackFraction != 0.0 && candidates > 0) {
        ramp = 0.0;
        long long running = 0;
        for (int k = 0; k < 100; ++k) {
            running += buckets[k];
            if (double(running) / double(candidates) > kBlackFraction) {
                ramp = 1.0 - k * 0.01;
                break;
            }
        }
    }

    // Darkening factor per pair, and the new lightness it gives.
    auto factor = [&](int n, int wd) {
        const double q = ratio(n, wd);
        if (q >= kEdgeThreshold)
            return 1.0;
        if (ramp != 0.0)
            return (ramp - std::min(ramp, kEdgeThreshold - q)) / ramp;
        return 0.0;
    };
    std::vector<uint8_t> lightnessOf(256 * 256);
    for (int n = 0; n < 256; ++n)
        for (int wd = 1; wd < 256; ++wd)
            lightnessOf[size_t(n) * 256 + size_t(wd)] = GaussianOutputByte(n * factor(n, wd));

    // New lightness per pixel. Where the wide blur is 0 the ratio is undefined
    // and the previous pixel's factor carries over (0 before the first), so
    // this runs in order.
    std::vector<uint8_t> lightness(pixels);
    double f = 0.0;
    int lastNarrow = -1, lastWide = 0;  // the pair f was last taken from
    for (size_t i = 0; i < pixels; ++i) {
        const int n = narrow[i], wd = wide[i];
        if (wd != 0) {
            lightness[i] = lightnessOf[size_t(n) * 256 + size_t(wd)];
            lastNarrow = n;
            lastWide = wd;
        } else {
            if (lastNarrow >= 0) {
                f = factor(lastNarrow, lastWide);
                lastNarrow = -1;
            }
            lightness[i] = GaussianOutputByte(n * f);
        }
    }

    // Put the new lightness under the source's hue and saturation.
    const uint8_t* const newLightness = lightness.data();
    ForEachRowBand(w, h, false, [=](int y0, int y1) {
        const size_t end = size_t(y1) * size_t(w);
        for (size_t i = size_t(y0) * size_t(w); i < end; ++i) {
            const uint8_t* s = src + i * size_t(bpp);
            uint8_t* d = dst + i * size_t(bpp);
            IntegerHsl hsl = ToHsl(s);
            hsl.l = newLightness[i];
            FromHsl(hsl, d);
            if (bpp == 4)
                d[3] = s[3];
        }
    });
}

} // namespace ombrik
