// Floating-point colours (components nominally 0..1) and the helpers the
// lighting, flare and painter modules share. Each module reaches the helpers
// through its own ColourHelpers instance so that a null-pointer report names
// the module that made the bad call.
#pragma once

#include <cstdint>

namespace ombrik {

struct RgbColor {
    double r = 0, g = 0, b = 0, a = 0;
};

struct HsvColor {
    double h = 0, s = 0, v = 0, a = 0;
};

class ColourHelpers {
public:
    explicit constexpr ColourHelpers(const char* module) : m_module(module) {}
    const char* module() const { return m_module; }

    void setAlpha(RgbColor* rgba, double a) const;
    // Components above 1 become 1; anything not >= 0 (negatives, NaN) becomes 0.
    void clamp(RgbColor* rgb) const;
    // rgb1 += rgb2 on r, g, b; alpha of rgb1 unchanged.
    void add(RgbColor* rgb1, const RgbColor* rgb2) const;
    void multiply(RgbColor* rgb, double factor) const;
    // Each given output gets truncate(clamp01(channel) × 255 + 0.5).
    void toBytes(const RgbColor* rgb, uint8_t* red, uint8_t* green, uint8_t* blue) const;
    double maximum(const RgbColor* rgb) const;
    double minimum(const RgbColor* rgb) const;
    void toHsv(const RgbColor* rgb, HsvColor* hsv) const;
    void fromHsv(const HsvColor* hsv, RgbColor* rgb) const;

private:
    const char* m_module;
};

inline constexpr ColourHelpers kLightingColours{"eLighting"};
inline constexpr ColourHelpers kNovaColours{"eNova"};
inline constexpr ColourHelpers kMagicBrushColours{"eMagicBrush"};

// Reports a failed soft precondition at GLib's critical level, no log domain:
// "file <module>: line <line>: assertion `<condition>' failed".
void ReportFailedPrecondition(const char* module, int line, const char* condition);

} // namespace ombrik
