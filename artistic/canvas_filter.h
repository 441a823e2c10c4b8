// Canvas (effect 40): embosses the woven-canvas relief into the photo by adding
// the texture's offset to all three channels of every pixel.
#pragma once

#include <cstdint>

namespace ombrik {

class CCanvasFilter {
public:
    // Texture strength; offsets are scaled by kCanvasDepth × 0.25.
    static constexpr int kCanvasDepth = 4;

    CCanvasFilter(int width = 0, int height = 0) : m_width(width), m_height(height) {}

    void setDimensions(int width, int height, int bytesPerPixel);

    // Writes every pixel of dst (same size as src, distinct): channels 0..2 get
    // the texture offset added and clamped to 0..255; a fourth byte is copied.
    // Progress after every fifth row.
    void ApplyCanvas(const uint8_t* src, uint8_t* dst) const;

private:
    int m_width = 0;
    int m_height = 0;
    int m_bytesPerPixel = 3;
};

} // namespace ombrik
