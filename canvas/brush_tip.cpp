#include "canvas/brush_tip.h"

#include <algorithm>
#include <cmath>

namespace ombrik {

namespace {

// Alpha profile of a tip by distance from the centre (0 centre, 1 rim).
double SoftProfile(double r)
{
    if (r <= 0.45)
        return 1.0;
    if (r >= 1.0)
        return 0.0;
    const double t = (r - 0.45) / 0.55;
    return 0.5 + 0.5 * std::cos(t * M_PI);
}

double HardProfile(double r)
{
    const double edge = 1.0 - 2.0 / kBrushTipSourceSize;
    if (r <= edge)
        return 1.0;
    if (r >= 1.0)
        return 0.0;
    return (1.0 - r) / (1.0 - edge);
}

PixelBuffer MakePicture(double (*profile)(double))
{
    const int n = kBrushTipSourceSize;
    PixelBuffer tip(n, n, 4);
    const double c = n / 2.0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double dx = (x + 0.5 - c) / c, dy = (y + 0.5 - c) / c;
            uint8_t* p = tip.at(x, y);
            p[0] = p[1] = p[2] = 0;
            p[3] = uint8_t(std::lround(255.0 * profile(std::sqrt(dx * dx + dy * dy))));
        }
    return tip;
}

} // namespace

const PixelBuffer& BrushTipPicture(int shape)
{
    static const PixelBuffer soft = MakePicture(SoftProfile);
    static const PixelBuffer hard = MakePicture(HardProfile);
    return shape == 1 ? hard : soft;
}

PixelBuffer MakeBrushTip(int shape, int size)
{
    size = std::max(1, size);
    const PixelBuffer& src = BrushTipPicture(shape);
    const int n = src.width;
    PixelBuffer tip(size, size, 4);
    const double step = double(n) / size;
    for (int y = 0; y < size; ++y) {
        const double sy = std::clamp((y + 0.5) * step - 0.5, 0.0, double(n - 1));
        const int y0 = int(sy), y1 = std::min(n - 1, y0 + 1);
        const double fy = sy - y0;
        for (int x = 0; x < size; ++x) {
            const double sx = std::clamp((x + 0.5) * step - 0.5, 0.0, double(n - 1));
            const int x0 = int(sx), x1 = std::min(n - 1, x0 + 1);
            const double fx = sx - x0;
            uint8_t* out = tip.at(x, y);
            for (int c = 0; c < 4; ++c) {
                const double top = src.at(x0, y0)[c] * (1 - fx) + src.at(x1, y0)[c] * fx;
                const double bottom = src.at(x0, y1)[c] * (1 - fx) + src.at(x1, y1)[c] * fx;
                out[c] = uint8_t(std::lround(top * (1 - fy) + bottom * fy));
            }
        }
    }
    return tip;
}

} // namespace ombrik
