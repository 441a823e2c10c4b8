#include "engine/adjust.h"

#include "engine/row_bands.h"

#include <algorithm>
#include <cmath>

namespace ombrik {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Per-channel levels are kept in sixteenths until the final rounding, so the
// saturation stage does not add a second rounding step of a whole level.
constexpr int kLevelScale = 16;
constexpr int kMaxLevel = 255 * kLevelScale;

bool InRange(double v, double limit)
{
    return std::isfinite(v) && v >= -limit && v <= limit;
}

// Smooth 0 → 1 between e0 and e1.
double SmoothStep(double e0, double e1, double x)
{
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// White balance gains in linear light for blue, green, red, scaled so that a
// grey keeps its luminance.
std::array<double, 3> BalanceGains(const AdjustParams& p)
{
    const double w = p.warmth / 100.0, t = p.tint / 100.0;
    const double red = std::exp2(0.3 * w + 0.15 * t);
    const double green = std::exp2(-0.3 * t);
    const double blue = std::exp2(-0.3 * w + 0.15 * t);
    const double luminance = 0.2126 * red + 0.7152 * green + 0.0722 * blue;
    return {blue / luminance, green / luminance, red / luminance};
}

} // namespace

double SrgbToLinear(double v)
{
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double LinearToSrgb(double v)
{
    return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
}

// Each curve keeps 0 and 1 where they are and stays monotonic over the whole
// slider range, so tones never swap places and nothing needs a neighbourhood
// (no halos).
double ToneSliderCurve(double x, const AdjustParams& p)
{
    const double s = p.shadows / 100.0;
    const double h = p.highlights / 100.0;
    const double k = 0.9 * p.contrast / 100.0;
    // Shadows: a bump weighted to the lower third; slope at black 1 + s.
    x += s * x * (1 - x) * (1 - x);
    // Highlights: the mirror image, weighted to the upper third.
    x += h * x * x * (1 - x);
    // Contrast: an S about mid-grey; slope there 1 + k, at black and white 1 - k.
    x -= k * std::sin(2 * kPi * x) / (2 * kPi);
    return std::clamp(x, 0.0, 1.0);
}

bool AdjustParams::isIdentity() const
{
    return exposure == 0 && contrast == 0 && highlights == 0 && shadows == 0 && saturation == 0 && vibrance == 0
        && warmth == 0 && tint == 0 && tone.isIdentity();
}

bool AdjustParams::valid() const
{
    return InRange(exposure, kMaxExposure) && InRange(contrast, kMaxAmount) && InRange(highlights, kMaxAmount)
        && InRange(shadows, kMaxAmount) && InRange(saturation, kMaxAmount) && InRange(vibrance, kMaxAmount)
        && InRange(warmth, kMaxAmount) && InRange(tint, kMaxAmount) && tone.valid();
}

Adjuster::Adjuster(const AdjustParams& in)
{
    // Out-of-range or NaN settings are brought to the nearest valid value (NaN
    // to 0), so no table can hold a level outside 0..255.
    auto clampTo = [](double v, double limit) { return std::isfinite(v) ? std::clamp(v, -limit, limit) : 0.0; };
    AdjustParams p;
    p.exposure = clampTo(in.exposure, AdjustParams::kMaxExposure);
    p.contrast = clampTo(in.contrast, AdjustParams::kMaxAmount);
    p.highlights = clampTo(in.highlights, AdjustParams::kMaxAmount);
    p.shadows = clampTo(in.shadows, AdjustParams::kMaxAmount);
    p.saturation = clampTo(in.saturation, AdjustParams::kMaxAmount);
    p.vibrance = clampTo(in.vibrance, AdjustParams::kMaxAmount);
    p.warmth = clampTo(in.warmth, AdjustParams::kMaxAmount);
    p.tint = clampTo(in.tint, AdjustParams::kMaxAmount);

    const std::array<double, 3> balance = BalanceGains(p);
    const double exposure = std::exp2(p.exposure);
    // Levels and curves (bad ones are left out) only when they do something,
    // so the other settings alone give the same bytes as without them.
    const ToneMapper tone(in.tone);
    constexpr ToneChannel kChannelOf[3] = {ToneChannel::Blue, ToneChannel::Green, ToneChannel::Red};
    for (int c = 0; c < 3; ++c) {
        const double gain = exposure * balance[size_t(c)];
        for (int v = 0; v < 256; ++v) {
            const double linear = std::min(1.0, SrgbToLinear(v / 255.0) * gain);
            double encoded = ToneSliderCurve(LinearToSrgb(linear), p);
            if (!tone.identity())
                encoded = tone.map(kChannelOf[c], std::clamp(encoded, 0.0, 1.0) * 255) / 255;
            m_curve[size_t(c)][size_t(v)] = uint16_t(std::lround(std::clamp(encoded, 0.0, 1.0) * kMaxLevel));
        }
    }

    m_saturation = int(std::lround((1 + p.saturation / 100.0) * 1024));
    const double vibrance = p.vibrance / 100.0;
    m_vibrance = vibrance != 0;
    std::array<double, kHues> skinKeep{};
    for (int u = 0; u < kHues; ++u) {
        // u = 64 (g - b) / (r - b) for r >= g >= b: the hue within the red to
        // yellow sector. Skin lies roughly between 9 and 28 degrees.
        const double skin = u == 64 ? 0 : SmoothStep(3, 10, u) * (1 - SmoothStep(30, 42, u));
        skinKeep[size_t(u)] = 1 - 0.8 * skin;
    }
    for (int i = 0; i < 256; ++i) {
        // Weak colours (small chroma) get the full amount, strong ones little.
        const double weak = 1 - i / 255.0;
        for (int u = 0; u < kHues; ++u) {
            const double extra = vibrance * weak * weak * skinKeep[size_t(u)];
            m_factor[size_t(i * kHues + u)] = int16_t(std::lround(m_saturation * (1 + extra)));
        }
    }
    // Rec. 709 luma weights in 256ths for blue, green, red (19 + 183 + 54 = 256).
    constexpr int kLumaWeight[3] = {19, 183, 54};
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v) {
            const int level = m_curve[size_t(c)][size_t(v)];
            m_own[size_t(c)][size_t(v)] = level * m_saturation;
            m_lumaPart[size_t(c)][size_t(v)] = int32_t(
                std::lround(double(level) * kLumaWeight[c] * (1024 - m_saturation) / 256.0));
        }
    m_hueScale[0] = 0;  // chroma under one level: no hue to speak of
    for (int i = 1; i < 256; ++i)
        m_hueScale[size_t(i)] = 64 * 65536 / (i * 16 + 8);
}

template <bool kChroma>
void Adjuster::applyRows(const PixelBuffer& src, PixelBuffer& dst, int y0, int y1) const
{
    const size_t count = size_t(src.width) * size_t(y1 - y0);
    const uint8_t* in = src.at(0, y0);
    uint8_t* out = dst.at(0, y0);
    // Results are in 1024ths of a sixteenth of a level; this rounds them to levels.
    constexpr int kShift = 14, kHalf = 1 << (kShift - 1);
    if constexpr (!kChroma) {
        const int32_t *ownB = m_own[0].data(), *ownG = m_own[1].data(), *ownR = m_own[2].data();
        const int32_t *lumB = m_lumaPart[0].data(), *lumG = m_lumaPart[1].data(), *lumR = m_lumaPart[2].data();
        for (size_t i = 0; i < count; ++i, in += 3, out += 3) {
            const int luma = lumB[in[0]] + lumG[in[1]] + lumR[in[2]] + kHalf;
            out[0] = uint8_t(std::clamp((ownB[in[0]] + luma) >> kShift, 0, 255));
            out[1] = uint8_t(std::clamp((ownG[in[1]] + luma) >> kShift, 0, 255));
            out[2] = uint8_t(std::clamp((ownR[in[2]] + luma) >> kShift, 0, 255));
        }
        return;
    }
    const uint16_t* curveB = m_curve[0].data();
    const uint16_t* curveG = m_curve[1].data();
    const uint16_t* curveR = m_curve[2].data();
    for (size_t i = 0; i < count; ++i, in += 3, out += 3) {
        const int b = curveB[in[0]], g = curveG[in[1]], r = curveR[in[2]];
        const int hi = std::max(r, std::max(g, b)), lo = std::min(r, std::min(g, b));
        const int chroma = hi - lo;
        // Hue within the red-to-yellow sector (r >= g >= b), else no skin.
        const int shade = chroma >> 4;
        const int hue = std::min(64, ((g - b) * m_hueScale[size_t(shade)]) >> 16);
        const int skin = (r >= g && g >= b) ? hue : 64;
        const int factor = m_factor[size_t(shade * kHues + skin)];
        // Rec. 709 luma in 256ths (54 + 183 + 19 = 256).
        const int luma = (r * 54 + g * 183 + b * 19) >> 8;
        const int base = luma * 1024 + kHalf;
        out[0] = uint8_t(std::clamp((base + (b - luma) * factor) >> kShift, 0, 255));
        out[1] = uint8_t(std::clamp((base + (g - luma) * factor) >> kShift, 0, 255));
        out[2] = uint8_t(std::clamp((base + (r - luma) * factor) >> kShift, 0, 255));
    }
}

void Adjuster::apply(const PixelBuffer& src, PixelBuffer& dst) const
{
    if (src.bytesPerPixel != 3 || src.empty())
        return;
    if (dst.width != src.width || dst.height != src.height || dst.bytesPerPixel != 3 || dst.empty())
        dst = PixelBuffer(src.width, src.height, 3);
    ForEachRowBand(src.width, src.height, false, [&](int y0, int y1) {
        if (m_vibrance)
            applyRows<true>(src, dst, y0, y1);
        else
            applyRows<false>(src, dst, y0, y1);
    });
}

void Adjuster::applyPixel(const uint8_t* bgrIn, uint8_t* bgrOut) const
{
    PixelBuffer one(1, 1, 3);
    std::copy(bgrIn, bgrIn + 3, one.data());
    if (m_vibrance)
        applyRows<true>(one, one, 0, 1);
    else
        applyRows<false>(one, one, 0, 1);
    std::copy(one.data(), one.data() + 3, bgrOut);
}

void ApplyAdjustments(const AdjustParams& params, const PixelBuffer& src, PixelBuffer& dst)
{
    Adjuster(params).apply(src, dst);
}

namespace {

// One run of bytes of the fade, compiled to vector code (a quarter of the
// time of the byte loop; `out` may be `a`).
__attribute__((optimize("tree-vectorize"))) void FadeBytes(const uint8_t* b, const uint8_t* a, uint8_t* out,
                                                         size_t n, int weight)
{
    for (size_t i = 0; i < n; ++i)
        out[i] = uint8_t(b[i] + (((a[i] - b[i]) * weight + 32768) >> 16));
}

} // namespace

void FadeBlend(const PixelBuffer& before, const PixelBuffer& after, int percent, PixelBuffer& dst)
{
    if (before.byteCount() != after.byteCount() || before.width != after.width || before.empty())
        return;
    if (dst.byteCount() != before.byteCount())
        dst = PixelBuffer(before.width, before.height, before.bytesPerPixel);
    // Weight in 65536ths; 100 % is exactly 65536, so the result is `after`.
    const int weight = std::clamp(percent, 0, 100) * 65536 / 100;
    const size_t rowBytes = before.stride();
    ForEachRowBand(before.width, before.height, false, [&](int y0, int y1) {
        const uint8_t* b = before.data() + size_t(y0) * rowBytes;
        const uint8_t* a = after.data() + size_t(y0) * rowBytes;
        uint8_t* out = dst.data() + size_t(y0) * rowBytes;
        const size_t n = size_t(y1 - y0) * rowBytes;
        FadeBytes(b, a, out, n, weight);
    });
}

} // namespace ombrik
