// Sparkle stamps: scatters recoloured, randomly sized and rotated copies of a
// small RGBA picture over a square patch of the photo with alpha blending
// ("Fairy Dust", "Mist / Cloud", "Sparkle", "Firefly").
#pragma once

#include <cstdint>
#include <vector>

namespace ombrik {

// A decoded stamp picture: width × height pixels of 4 bytes, blue, green, red,
// alpha, rows top to bottom.
struct StampImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;

    bool empty() const { return pixels.empty(); }
};

// Integer hue, lightness, saturation, each 0..255 (hue 170 for greys).
struct HlsBytes {
    int hue = 0;
    int lightness = 0;
    int saturation = 0;
};

HlsBytes RgbToHls(int red, int green, int blue);
// Back to red, green, blue bytes (single-precision arithmetic).
void HlsToRgb(const HlsBytes& hls, uint8_t* red, uint8_t* green, uint8_t* blue);

// The built-in picture of a variant (0 soft sparkle 124 px, 1 glowing dot
// 80 px, 2 star glint 120 px, 3 mist puff 140 px), decoded afresh on every
// call; empty for any other variant.
StampImage LoadStampImage(int32_t variant);

// A copy of the picture that keeps each pixel's lightness and alpha and takes
// the hue and saturation of `colour` (0x00BBGGRR).
StampImage RecolourStamp(const StampImage& stamp, uint32_t colour);

// Draws one copy of `stamp` onto a width × height patch (bytesPerPixel 3 or 4;
// only the first three bytes change) scaled by `scale`, turned by
// `angleDegrees` and centred at (cx, cy), where cy counts upward from the
// bottom row. The copy is mirrored left to right. Copies that would be less
// than one pixel, are not finite, or lie entirely off the patch draw nothing.
void DrawStamp(uint8_t* patch, int32_t width, int32_t height, int32_t bytesPerPixel, const StampImage& stamp,
               float scale, float angleDegrees, int cx, int cy);

class StampRenderer {
public:
    StampRenderer() { reset(); }
    StampRenderer(int32_t width, int32_t height, int32_t bytesPerPixel)
    {
        reset();
        setSize(width, height, bytesPerPixel);
    }

    // Variant 0, scale 1, white, no size.
    void reset();
    void setSize(int32_t width, int32_t height, int32_t bytesPerPixel);
    // 0 "Fairy Dust", 1 "Firefly", 2 "Sparkle", 3 "Mist / Cloud"; any other
    // value draws nothing.
    void setVariant(int32_t variant) { m_variant = variant; }
    // Size multiplier of the stamps (the request's strength).
    void setScale(float scale) { m_scale = scale; }
    // Effect colour, 0x00BBGGRR.
    void setColour(uint32_t colour) { m_colour = colour; }

    // Copies the source patch into the destination and scatters the stamps
    // over it. Positions, sizes and angles come from GLib's global generator;
    // the stamp count from rand(), reseeded with the time in seconds first.
    // Both patches are width × height × bytesPerPixel bytes.
    void render(const uint8_t* source, uint8_t* destination) const;

private:
    int32_t m_variant = 0;
    float m_scale = 1.0f;
    uint32_t m_colour = 0xFFFFFF;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_bytesPerPixel = 3;
};

} // namespace ombrik
