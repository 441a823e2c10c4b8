// What the Adjust panel measures on a photo: its histogram with the share of
// clipped pixels, and Auto, which proposes exposure, contrast, highlights,
// shadows, warmth and tint from the photo's statistics.
#pragma once

#include "engine/adjust.h"
#include "engine/pixel_buffer.h"

#include <array>
#include <cstdint>

namespace ombrik {

struct Histogram {
    enum Channel { Luma, Red, Green, Blue };

    std::array<std::array<uint32_t, 256>, 4> bins{};  // by Channel, then level
    uint64_t pixels = 0;
    uint64_t shadowsClipped = 0;     // pixels with a channel at 0
    uint64_t highlightsClipped = 0;  // pixels with a channel at 255

    double shadowsShare() const { return pixels ? double(shadowsClipped) / double(pixels) : 0.0; }
    double highlightsShare() const { return pixels ? double(highlightsClipped) / double(pixels) : 0.0; }
    bool operator==(const Histogram&) const = default;
};

// Luma is Rec. 709 on the encoded levels, as the saturation stage uses it.
// Rows run on both cores.
Histogram ComputeHistogram(const PixelBuffer& photo);

// The colour around (x, y) (the mean of the 3 × 3 pixels there, inside the
// photo) as the levels of `params` see it: after exposure, white balance and
// the tone sliders. Red, green, blue, 0..255; zeros outside the photo.
std::array<double, 3> ColourBeforeLevels(const PixelBuffer& photo, int x, int y, const AdjustParams& params);

// The measurements Auto bases its proposal on (for tests and tuning).
struct AutoAnalysis {
    // The colour of the bright, unclipped tones that are most alike, as
    // log2(red / green) and log2(blue / green) in linear light: 0, 0 for a
    // neutral photo.
    double castRed = 0, castBlue = 0;
    // Stops that would bring the brightest tones (99.5th percentile of the
    // brightest channel) up to white, and the photo's mean brightness (its
    // log-average luminance) to a middle grey.
    double stopsToWhite = 0, stopsToKey = 0;
    // Encoded levels (0..1) of the darkest and brightest tones after the
    // exposure Auto chose (0.5th percentile of the darkest channel, 99.5th
    // of the brightest), and the median luma.
    double low = 0, high = 1, median = 0.5;
};

// Auto: the settings (exposure, contrast, highlights, shadows, warmth, tint;
// saturation, vibrance, levels and curves stay 0) that neutralise a colour
// cast, bring an under- or overexposed photo to a sound brightness and spread
// a narrow range of tones, each left at 0 where the photo needs nothing.
// Rows run on both cores; a large photo is sampled.
AdjustParams AutoAdjust(const PixelBuffer& photo, AutoAnalysis* analysis = nullptr);

} // namespace ombrik
