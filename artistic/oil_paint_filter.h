// Oil Paint (effect 47): every pixel becomes the weighted mean colour of the
// intensity levels in a round neighbourhood, each level weighted by its share
// of the most frequent one raised to the power 8, so the dominant colour wins
// and areas flatten into strokes of paint.
#pragma once

#include <cstdint>
#include <vector>

namespace ombrik {

class COilPaintFilter {
public:
    // Diameter of the neighbourhood; the radius is truncate(kMaskSize) / 2.
    static constexpr float kMaskSize = 8.0f;
    // Weight exponent of the histogram.
    static constexpr float kOilExponent = 8.0f;

    COilPaintFilter(int width = 0, int height = 0) : m_width(width), m_height(height) {}

    void setDimensions(int width, int height, int bytesPerPixel);

    // Writes every pixel of dst (same size as src, distinct); a fourth byte is
    // copied from src. Progress before every 20th row.
    void ApplyOilPaint(const uint8_t* src, uint8_t* dst) const;

    // (count / largest)^exponent in single precision: by repeated squaring for
    // a whole-number exponent up to 255, otherwise by the general power.
    static float Weight(int count, int largest, float exponent);

private:
    int m_width = 0;
    int m_height = 0;
    int m_bytesPerPixel = 3;
};

} // namespace ombrik
