// The batch mode's adjustments and fades: "--adjust key=value,..." runs the
// Adjust panel's arithmetic at its place among the effects, "--fade N" blends
// the effect just before it with the photo it was given, at N per cent.
// "--levels", "--curves" and "--auto" join the adjustment given just before
// them at the same place (or start one), as the panel's sections and its Auto
// button make one adjustment with its sliders.
#pragma once

#include "engine/adjust.h"
#include "engine/pixel_buffer.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ombrik {

// Parses "exposure=0.5,contrast=10,..." (keys: exposure, contrast, highlights,
// shadows, saturation, vibrance, warmth, tint; each at most once). Unknown
// keys, empty or non-numeric values, NaN and values outside the ranges fail
// with a message in `error`.
bool ParseAdjustParams(std::string_view text, AdjustParams& params, std::string& error);
// Parses "black,gamma,white[,channel]" (channel rgb, red, green or blue; rgb
// when left out): 0 <= black, black + 1 <= white <= 255, gamma 0.1..10.
bool ParseLevels(std::string_view text, ToneChannel& channel, Levels& levels, std::string& error);
// Parses "[channel:]x,y x,y ..." (2..16 points, whole numbers 0..255, x rising).
bool ParseCurve(std::string_view text, ToneChannel& channel, Curve& curve, std::string& error);

class BatchAdjustments {
public:
    // The option lines of the usage text.
    static const char* usage();

    // An "--adjust" value seen after `effectsSoFar` effects; false (and a
    // message on stderr) when it is malformed.
    bool parseAdjust(std::string_view text, size_t effectsSoFar);
    // "--levels", "--curves" (with their value) or "--auto" (value ignored)
    // seen after `effectsSoFar` effects; false (and a message) when malformed
    // or when it sets again what the adjustment already has.
    bool parseTone(std::string_view option, std::string_view text, size_t effectsSoFar);
    // A "--fade" value seen after `effectsSoFar` effects: it must follow an
    // effect directly; false (and a message) otherwise or when malformed.
    bool parseFade(std::string_view text, size_t effectsSoFar);

    // Runs, in order, the adjustments placed before effect `index` (index =
    // the number of effects: those after the last one).
    void runAdjustments(size_t index, PixelBuffer& photo) const;
    // Effect `index` turned `before` into `result`: blends it when a fade was asked.
    void fadeEffect(size_t index, const PixelBuffer& before, PixelBuffer& result) const;
    // Whether adjustments are placed before effect `index`; whether effect `index` is faded.
    bool adjustsAt(size_t index) const;
    bool fades(size_t index) const;

private:
    struct Adjustment {
        size_t position;
        AdjustParams params;
        bool automatic = false;  // Auto's settings are measured on the photo at this point
        std::array<bool, kToneChannels> levelsGiven{}, curveGiven{};
    };
    struct Fade {
        size_t effect;
        int percent;
    };
    std::vector<Adjustment> m_adjustments;
    std::vector<Fade> m_fades;
};

} // namespace ombrik
