// Wind (effect 54): drags streaks of colour to the right from edges where a
// pixel is darker than the one three pixels before it, as if the picture had
// been blown by wind. Random streak lengths come from GLib's process-wide
// generator, so a run is reproducible after g_random_set_seed.
#pragma once

#include <cstdint>

namespace ombrik {

class CWindFilter {
public:
    static constexpr int kWindThreshold = 10;  // mean channel difference that counts as an edge
    static constexpr int kWindStrength = 10;   // base length of a streak in pixels
    static constexpr int kWindEdge = 1;        // 1: edges where the pixel is darker than the one 3 before

    CWindFilter(int width = 0, int height = 0) : m_width(width), m_height(height) {}

    void setDimensions(int width, int height, int bytesPerPixel);

    // Writes every pixel of dst (same size as src, distinct); a fourth byte is
    // copied from src. Rows are handled top to bottom, each left to right.
    // Progress after every 8th row.
    void ApplyWind(const uint8_t* src, uint8_t* dst) const;

    // Edge test between pixels a and b: the channel differences b − a (mode 0:
    // their absolute values, mode 1: negated), summed and divided by 4; passes
    // when the threshold is below that mean.
    static bool EdgeTest(const uint8_t* a, const uint8_t* b, int mode, int threshold);

private:
    void blowRow(uint8_t* row) const;

    int m_width = 0;
    int m_height = 0;
    int m_bytesPerPixel = 3;
};

} // namespace ombrik
