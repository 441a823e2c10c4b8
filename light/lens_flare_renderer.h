// "Lens Flare": a bright burst at a chosen centre — core, glow, coloured inner
// disc, faint outer disc and a thin halo ring — plus 19 reflections (discs and
// rings) strung along the line from the centre through the middle of the
// picture. Called in this order for one render: reset, setSize, setCentre,
// setFlareSize, setColour, render. Pixels only ever get brighter.
//
// Colours are triples in the picture's byte order (blue, green, red), 0..1.
#pragma once

#include "engine/pixel_buffer.h"

#include <array>
#include <cstdint>

namespace ombrik {

struct FlareReflection {
    std::array<double, 3> colour{};
    float size = 0;  // radius in picture pixels
    int32_t xp = 0;
    int32_t yp = 0;
    int32_t kind = 1; // 1 soft disc, 2 flat disc, 3 rim-bright disc, 4 thin ring
};

// Everything a render derives from the settings before touching pixels.
struct LensFlareLayout {
    int32_t xs = 0, ys = 0;
    double m = 0;
    float coreRadius = 0, glowRadius = 0, innerRadius = 0, outerRadius = 0, haloRadius = 0;
    std::array<double, 3> coreColour{}, glowColour{}, innerColour{}, outerColour{}, haloColour{};
    std::array<FlareReflection, 19> reflections{};
};

class LensFlareRenderer {
public:
    void reset();
    void setSize(int width, int height, int bytesPerPixel);
    void setCentre(int xs, int ys);
    // Sizes below 1 (a click without a drag) are treated as 1.
    void setFlareSize(int size);
    // 32-bit colour, red in the lowest byte, green in the next, blue in the third.
    void setColour(uint32_t colour);

    // Draws the flare from source into destination (both of the set size, 3
    // bytes per pixel, else nothing is written and false is returned).
    // Reports progress after rows 0, 5, 10, ...
    bool render(const PixelBuffer& source, PixelBuffer& destination) const;

    // The burst radii, colours and reflections for the current settings.
    LensFlareLayout layout() const;
    int flareSize() const { return m_size; }

private:
    uint32_t m_colour = 0xffffff;
    int m_size = 1;
    int m_centreX = 0;
    int m_centreY = 0;
    int m_width = 0;
    int m_height = 0;
    int m_bytesPerPixel = 3;
};

} // namespace ombrik
