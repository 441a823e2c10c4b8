#include "light/nova_renderer.h"

#include "engine/progress.h"
#include "engine/row_bands.h"

#include <cmath>
#include <numbers>

namespace ombrik {

namespace {

// Above hi gives hi; anything not >= lo (NaN included) gives lo.
inline double Limit(double value, double lo, double hi)
{
    if (value > hi)
        return hi;
    if (!(value >= lo))
        return lo;
    return value;
}

} // namespace

void NovaRenderer::reset()
{
    m_colourValue = 0xffffff;
    m_width = 0;
    m_height = 0;
}

void NovaRenderer::setSize(int width, int height, int bytesPerPixel)
{
    m_width = width;
    m_height = height;
    m_bytesPerPixel = bytesPerPixel;
}

void NovaRenderer::setColour(uint32_t colour)
{
    m_colourValue = colour;
}

void NovaRenderer::setCentre(int x, int y)
{
    m_centreX = x;
    m_centreY = y;
}

void NovaRenderer::setRadius(int radius)
{
    // A click without a drag gives 0, which would divide by zero at the centre.
    m_radius = radius < 1 ? 1 : radius;
}

void NovaRenderer::selectStyle(NovaStyle style)
{
    const bool magic = style == NovaStyle::MagicFlare;
    m_spokeCount = magic ? 200 : 36;
    m_randomHue = magic ? 100 : 0;
    m_colour = {((m_colourValue >> 16) & 0xff) / 255.0, ((m_colourValue >> 8) & 0xff) / 255.0,
                (m_colourValue & 0xff) / 255.0, 1.0};
}

bool NovaRenderer::render(const PixelBuffer& source, PixelBuffer& destination)
{
    GRand* rand = g_rand_new();
    const bool done = renderWith(source, destination, rand);
    g_rand_free(rand);
    return done;
}

bool NovaRenderer::renderWithSeed(const PixelBuffer& source, PixelBuffer& destination, uint32_t seed)
{
    GRand* rand = g_rand_new_with_seed(seed);
    const bool done = renderWith(source, destination, rand);
    g_rand_free(rand);
    return done;
}

bool NovaRenderer::renderWith(const PixelBuffer& source, PixelBuffer& destination, GRand* rand)
{
    const int w = m_width, h = m_height, n = m_spokeCount;
    if (w <= 0 || h <= 0 || m_bytesPerPixel != 3 || n <= 0 || source.width != w || source.height != h
        || source.bytesPerPixel != 3 || destination.width != w || destination.height != h
        || destination.bytesPerPixel != 3 || source.byteCount() != size_t(w) * size_t(h) * 3
        || destination.byteCount() != source.byteCount())
        return false;
    // Each pixel reads only its own source pixel, so rendering in place is safe.

    // Spokes: a near-normal brightness around 0.5 and a hue that random-walks
    // from spoke to spoke around the flare colour.
    const ColourHelpers& colours = kNovaColours;
    RgbColor flare = m_colour;
    colours.setAlpha(&flare, 1.0);
    HsvColor hsv;
    colours.toHsv(&flare, &hsv);
    m_brightness.assign(size_t(n), 0.0);
    m_spokeColours.assign(size_t(n), RgbColor{});
    for (int i = 0; i < n; ++i) {
        double sum = 0;
        for (int d = 0; d < 6; ++d)
            sum += g_rand_double(rand);
        m_brightness[size_t(i)] = sum * (1.0 / 6.0);
        hsv.h += m_randomHue * (1.0 / 360.0) * g_rand_double_range(rand, -0.5, 0.5);
        if (hsv.h < 0)
            hsv.h += 1.0;
        else if (hsv.h >= 1.0)
            hsv.h -= 1.0;
        colours.fromHsv(&hsv, &m_spokeColours[size_t(i)]);
    }

    const double radius = m_radius;
    const double xc = m_centreX, yc = m_centreY;
    std::vector<double> us(static_cast<size_t>(w)), uu(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x) {
        us[size_t(x)] = (double(x) - xc) / radius;
        uu[size_t(x)] = us[size_t(x)] * us[size_t(x)];
    }
    const double* brightness = m_brightness.data();
    const RgbColor* spokes = m_spokeColours.data();
    const uint8_t* src = source.data();
    uint8_t* dst = destination.data();
    static const std::vector<double> byteValue = [] {
        std::vector<double> t(256);
        for (int i = 0; i < 256; ++i)
            t[size_t(i)] = i / 255.0;
        return t;
    }();

    ForEachRowBand(w, h, false, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const double v = (double(y) - yc) / radius;
            const double vv = v * v;
            const size_t rowStart = size_t(y) * size_t(w) * 3;
            const uint8_t* in = src + rowStart;
            uint8_t* out = dst + rowStart;
            for (int x = 0; x < w; ++x) {
                double t = (std::atan2(us[size_t(x)], v) / (2.0 * std::numbers::pi) + 0.51) * n;
                // t lies in [0.01 n, 1.01 n], so floor is truncation and the
                // spoke index wraps at most once.
                int i = int(t);
                t -= i;
                if (i >= n)
                    i -= n;
                const int j = i + 1 == n ? 0 : i + 1;
                double wt = brightness[i] * (1.0 - t) + brightness[j] * t;
                wt *= wt;
                const double c = 0.9 / (std::sqrt(uu[size_t(x)] + vv) + 0.001);
                const double c1 = Limit(c, 0.0, 1.0);
                const double glow = Limit(c * wt, 0.0, 1.0);
                const double spoke[3] = {spokes[i].r * (1.0 - t) + spokes[j].r * t,
                                         spokes[i].g * (1.0 - t) + spokes[j].g * t,
                                         spokes[i].b * (1.0 - t) + spokes[j].b * t};
                for (int k = 0; k < 3; ++k) {
                    double base;
                    if (c > 1.0)
                        base = Limit(spoke[k] * c, 0.0, 1.0);
                    else
                        base = byteValue[in[3 * x + k]] * (1.0 - c1) + c1 * spoke[k];
                    out[3 * x + k] = uint8_t(int(Limit((base + glow) * 255.0, 0.0, 255.0)));
                }
            }
        }
    });
    ReportProgress(100);
    return true;
}

} // namespace ombrik
