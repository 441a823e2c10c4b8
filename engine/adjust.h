// Tone and colour adjustments of a whole photo (exposure, contrast, highlights,
// shadows, saturation, vibrance, warmth, tint, levels and curves) and the
// blend that fades an effect's result back towards the photo before it.
//
// Exposure and white balance act in linear light; the tone curves, then the
// levels and curves, act on the sRGB-encoded values; saturation and vibrance
// scale each pixel's distance from its luma. Everything per channel is folded into three 256-entry tables
// built once per parameter set, so a frame costs three lookups and a few
// integer operations per pixel.
#pragma once

#include "engine/pixel_buffer.h"
#include "engine/tone_curves.h"

#include <array>
#include <cstdint>

namespace ombrik {

struct AdjustParams {
    static constexpr double kMaxExposure = 3.0;  // stops, either way
    static constexpr double kMaxAmount = 100.0;  // every other setting, either way

    double exposure = 0;    // stops: linear light × 2^exposure
    double contrast = 0;    // S-curve about mid-grey
    double highlights = 0;  // < 0 recovers the top of the range, > 0 brightens it
    double shadows = 0;     // > 0 lifts the bottom of the range, < 0 deepens it
    double saturation = 0;  // -100 grey ... +100 twice the colour
    double vibrance = 0;    // like saturation, weighted towards weak colours, sparing skin
    double warmth = 0;      // blue (-) ... yellow (+)
    double tint = 0;        // green (-) ... magenta (+)
    ToneMaps tone{};        // levels and curves, after the settings above

    bool isIdentity() const;
    // Every value a finite number inside its range.
    bool valid() const;
    bool operator==(const AdjustParams&) const = default;
};

// The tables of one parameter set; reusable for any number of frames.
class Adjuster {
public:
    explicit Adjuster(const AdjustParams& params);

    // dst = the adjusted src (3 bytes per pixel, same size; dst may be src).
    // Rows run on both cores.
    void apply(const PixelBuffer& src, PixelBuffer& dst) const;
    // One pixel, blue-green-red in and out (for reference checks).
    void applyPixel(const uint8_t* bgrIn, uint8_t* bgrOut) const;

    // Output of the per-channel stage for byte v of channel c (0 blue, 1 green,
    // 2 red), in sixteenths of a level: 0 .. 4080.
    int channelLevel(int c, int v) const { return m_curve[size_t(c)][size_t(v)]; }

private:
    template <bool kChroma>
    void applyRows(const PixelBuffer& src, PixelBuffer& dst, int y0, int y1) const;

    std::array<std::array<uint16_t, 256>, 3> m_curve{};
    int m_saturation = 1024;  // 1024 = unchanged
    bool m_vibrance = false;
    // Without vibrance the saturation factor is the same for every pixel, so
    // it is folded in too: a channel's result × 1024 is own[c][v] plus the sum
    // of the luma parts of the three channels.
    std::array<std::array<int32_t, 256>, 3> m_own{};
    std::array<std::array<int32_t, 256>, 3> m_lumaPart{};
    // With vibrance: the whole factor (/1024) by chroma / 16 and skin hue 0..64
    // (64 for hues that cannot be skin).
    static constexpr int kHues = 65;
    std::array<int16_t, 256 * kHues> m_factor{};
    std::array<int32_t, 256> m_hueScale{};  // 64 × 65536 / chroma, by chroma / 16
};

// One-shot form of Adjuster.
void ApplyAdjustments(const AdjustParams& params, const PixelBuffer& src, PixelBuffer& dst);

// dst = before + (after - before) × percent / 100, per byte, rounded; percent
// is clamped to 0..100. 0 gives before and 100 gives after, byte for byte.
// All three buffers have the same size (dst may be either input).
void FadeBlend(const PixelBuffer& before, const PixelBuffer& after, int percent, PixelBuffer& dst);

// The contrast, highlights and shadows curves on an encoded value 0..1.
double ToneSliderCurve(double x, const AdjustParams& params);

// sRGB transfer functions on 0..1 values.
double SrgbToLinear(double v);
double LinearToSrgb(double v);

} // namespace ombrik
