// "Radial Flare" and "Magic Flare": a bright star of randomly varying rays
// (spokes) around a centre point. Called in this order for one render: reset,
// setSize, setColour, setCentre, setRadius, selectStyle, render. Every render
// draws its rays from a freshly seeded GLib generator, so no two look alike.
//
// Colours are kept in the picture's byte order: RgbColor::r pairs with byte 0
// (blue), g with byte 1, b with byte 2 (red).
#pragma once

#include "engine/colour.h"
#include "engine/pixel_buffer.h"

#include <glib.h>

#include <cstdint>
#include <vector>

namespace ombrik {

enum class NovaStyle { RadialFlare, MagicFlare };

class NovaRenderer {
public:
    void reset();
    void setSize(int width, int height, int bytesPerPixel);
    // 32-bit colour, red in the lowest byte, green in the next, blue in the third.
    void setColour(uint32_t colour);
    void setCentre(int x, int y);
    // Radii below 1 (a click without a drag) are treated as 1.
    void setRadius(int radius);
    // Sets the spoke count and hue spread and takes over the stored colour.
    void selectStyle(NovaStyle style);

    // Draws the flare from source into destination (both of the set size, 3
    // bytes per pixel, else nothing is written and false is returned); reports
    // 100 % when done.
    bool render(const PixelBuffer& source, PixelBuffer& destination);
    // The same with a generator seeded by the caller, for repeatable output.
    bool renderWithSeed(const PixelBuffer& source, PixelBuffer& destination, uint32_t seed);

    int spokeCount() const { return m_spokeCount; }
    int randomHue() const { return m_randomHue; }
    int radius() const { return m_radius; }
    const RgbColor& flareColour() const { return m_colour; }
    // The spoke tables of the last render.
    const std::vector<double>& spokeBrightness() const { return m_brightness; }
    const std::vector<RgbColor>& spokeColours() const { return m_spokeColours; }

private:
    bool renderWith(const PixelBuffer& source, PixelBuffer& destination, GRand* rand);

    int m_width = 0;
    int m_height = 0;
    int m_bytesPerPixel = 3;
    uint32_t m_colourValue = 0xffffff;
    int m_centreX = 128;
    int m_centreY = 128;
    int m_radius = 20;
    int m_spokeCount = 30;
    int m_randomHue = 0;
    RgbColor m_colour{1.0, 1.0, 1.0, 1.0};
    std::vector<double> m_brightness;
    std::vector<RgbColor> m_spokeColours;
};

} // namespace ombrik
