// Soft Glow and Edge Paint: two whole-photo filters built on a recursive
// Gaussian blur of the photo's lightness. Soft Glow screens a blurred,
// contrast-boosted copy of the lightness over the photo; Edge Paint darkens the
// photo where a narrow blur of the lightness is darker than a wide one, like ink
// lines over the colours. Both write every destination pixel; channels 0..2 are
// the colour, a fourth byte (alpha) is copied from the source.
#pragma once

#include <cstdint>

namespace ombrik {

// Integer HSL on the three bytes of a pixel, taken in buffer order as r, g, b.
// Hue, saturation and lightness are all 0..255.
struct IntegerHsl {
    int h = 0;
    int s = 0;
    int l = 0;
};

// truncate((max + min) / 2 + 0.5) of the three bytes.
int IntegerLightness(const uint8_t* p);
IntegerHsl RgbToIntegerHsl(const uint8_t* p);
void IntegerHslToRgb(const IntegerHsl& hsl, uint8_t* p);

class CGlowEdgeFilter {
public:
    static constexpr double kGlowRadius = 10.0;
    static constexpr double kGlowBrightness = 0.6;
    static constexpr double kGlowSharpness = 0.85;
    static constexpr double kMaskRadius = 7.0;
    static constexpr double kEdgeThreshold = 1.0;
    static constexpr double kBlackFraction = 0.2;
    static constexpr double kNarrowRadius = 2.0;

    void setDimensions(int width, int height, int bytesPerPixel);

    void SoftGlow(const uint8_t* src, uint8_t* dst) const;
    void EdgePaint(const uint8_t* src, uint8_t* dst) const;

private:
    bool valid() const;

    int m_width = 0;
    int m_height = 0;
    int m_bytesPerPixel = 3;
};

} // namespace ombrik
