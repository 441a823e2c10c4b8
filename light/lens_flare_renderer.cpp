#include "light/lens_flare_renderer.h"

#include "engine/progress.h"
#include "light/light_rows.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

namespace ombrik {

void LensFlareRenderer::reset()
{
    m_colour = 0xffffff;
    m_width = 0;
    m_height = 0;
}

void LensFlareRenderer::setSize(int width, int height, int bytesPerPixel)
{
    m_width = width;
    m_height = height;
    m_bytesPerPixel = bytesPerPixel;
}

void LensFlareRenderer::setCentre(int xs, int ys)
{
    m_centreX = xs;
    m_centreY = ys;
}

void LensFlareRenderer::setFlareSize(int size)
{
    // A click without a drag gives 0: every burst radius would be 0 and the
    // burst steps would divide by it.
    m_size = size < 1 ? 1 : size;
}

void LensFlareRenderer::setColour(uint32_t colour)
{
    m_colour = colour;
}

namespace {

struct ReflectionRecipe {
    int kind;
    double size;   // × picture width
    double along;  // position: middle + along × (middle − centre)
    int colour[3]; // byte order, /255
};

// along = 2 stands for reflection 13, the centre mirrored through the middle.
constexpr double kMirror = 2.0;

constexpr ReflectionRecipe kReflections[19] = {
    {1, 0.027, 0.6699, {0, 14, 113}},   {1, 0.01, 0.2692, {90, 181, 142}}, {1, 0.005, -0.0112, {56, 140, 106}},
    {2, 0.031, 0.649, {9, 29, 19}},     {2, 0.015, 0.4696, {24, 14, 0}},   {2, 0.037, 0.4087, {24, 14, 0}},
    {2, 0.022, -0.2003, {42, 19, 0}},   {2, 0.025, -0.4103, {0, 9, 17}},   {2, 0.058, -0.4503, {0, 4, 10}},
    {2, 0.017, -0.5112, {5, 5, 14}},    {2, 0.2, -1.496, {9, 4, 0}},       {2, 0.5, -1.496, {9, 4, 0}},
    {3, 0.075, 0.4487, {34, 19, 0}},    {3, 0.1, kMirror, {14, 26, 0}},    {3, 0.039, -1.301, {10, 25, 13}},
    {4, 0.19, 1.309, {9, 0, 17}},       {4, 0.195, 1.309, {9, 16, 5}},     {4, 0.2, 1.309, {17, 4, 0}},
    {4, 0.038, -1.301, {17, 4, 0}},
};

// Truncates toward zero into the int range; far-away positions only need to
// stay far away.
int32_t TruncateToInt(double v)
{
    if (!(v > -1e9))
        return -1000000000;
    if (v > 1e9)
        return 1000000000;
    return int32_t(v);
}

std::array<double, 3> Colour255(double b, double g, double r)
{
    return {b / 255.0, g / 255.0, r / 255.0};
}

// Moves each byte towards 255 by p × c of the remaining distance. Only
// positive factors brighten; a factor that rounding left at or below zero
// would otherwise pull a byte down by one.
inline void Brighten(uint8_t* px, float p, const std::array<double, 3>& c)
{
    if (!(p > 0.0f))
        return;
    for (int k = 0; k < 3; ++k) {
        const int b = px[k];
        px[k] = uint8_t(int((255 - b) * p * c[size_t(k)] + b));
    }
}

// Columns [x0, x1) of row y that can lie within distance reach of (cx, cy);
// outside them every distance test fails. A margin covers rounding.
void SpanWithin(double cx, double cy, double reach, int y, int width, int& x0, int& x1)
{
    reach += 2.0 + reach * 1e-5;
    const double dy = double(y) - cy;
    x0 = x1 = 0;
    if (std::fabs(dy) >= reach)
        return;
    const double half = std::sqrt(reach * reach - dy * dy);
    const double lo = std::floor(cx - half), hi = std::ceil(cx + half) + 1.0;
    x0 = int(std::clamp(lo, 0.0, double(width)));
    x1 = int(std::clamp(hi, 0.0, double(width)));
}

} // namespace

LensFlareLayout LensFlareRenderer::layout() const
{
    LensFlareLayout l;
    const double w = m_width;
    l.xs = m_centreX;
    l.ys = m_centreY;
    l.m = w * (m_size / (w * 0.078125));
    l.coreRadius = float(l.m * 0.0375);
    l.glowRadius = float(l.m * 0.078125);
    l.innerRadius = float(l.m * 0.1796875);
    l.outerRadius = float(l.m * 0.3359375);
    l.haloRadius = float(l.m * 0.084375);
    const double blue = (m_colour >> 16) & 0xff, green = (m_colour >> 8) & 0xff, red = m_colour & 0xff;
    l.coreColour = Colour255(239, 239, 239);
    l.glowColour = Colour255(245, 245, 245);
    l.innerColour = Colour255(blue, green, red);
    l.outerColour = Colour255(64, 59, 69);
    l.haloColour = Colour255(0.4 * blue, 0.4 * green, 0.4 * red);

    const int64_t xh = m_width / 2, yh = m_height / 2;
    const double dx = double(xh - m_centreX), dy = double(yh - m_centreY);
    for (size_t i = 0; i < l.reflections.size(); ++i) {
        const ReflectionRecipe& recipe = kReflections[i];
        FlareReflection& r = l.reflections[i];
        r.kind = recipe.kind;
        r.size = float(w * recipe.size);
        r.colour = Colour255(recipe.colour[0], recipe.colour[1], recipe.colour[2]);
        if (recipe.along == kMirror) {
            r.xp = TruncateToInt(double(2 * xh - m_centreX));
            r.yp = TruncateToInt(double(2 * yh - m_centreY));
        } else {
            r.xp = TruncateToInt(double(xh) + recipe.along * dx);
            r.yp = TruncateToInt(double(yh) + recipe.along * dy);
        }
    }
    return l;
}

bool LensFlareRenderer::render(const PixelBuffer& source, PixelBuffer& destination) const
{
    const int w = m_width, h = m_height;
    if (w <= 0 || h <= 0 || m_bytesPerPixel != 3 || source.width != w || source.height != h
        || source.bytesPerPixel != 3 || destination.width != w || destination.height != h
        || destination.bytesPerPixel != 3 || source.byteCount() != size_t(w) * size_t(h) * 3
        || destination.byteCount() != source.byteCount())
        return false;
    // Each row reads only its own source row, so rendering in place is safe.

    const LensFlareLayout l = layout();
    const double xs = l.xs, ys = l.ys;
    const float burstReach = std::max({l.coreRadius, l.glowRadius, l.innerRadius, l.outerRadius,
                                       float(l.haloRadius * 1.08)});

    // Reflections that share a centre share their distances; group[i] is the
    // first reflection with reflection i's centre.
    std::array<int, 19> group{};
    for (int i = 0; i < 19; ++i) {
        group[size_t(i)] = i;
        for (int j = 0; j < i; ++j)
            if (l.reflections[size_t(j)].xp == l.reflections[size_t(i)].xp
                && l.reflections[size_t(j)].yp == l.reflections[size_t(i)].yp) {
                group[size_t(i)] = j;
                break;
            }
    }

    // Each step of a pixel depends only on that pixel, so the row is swept
    // once for the burst and then once per reflection over the columns it
    // can reach: every pixel still sees the steps in table order.
    auto renderRow = [&](int y) {
        const size_t rowStart = size_t(y) * size_t(w) * 3;
        uint8_t* row = destination.data() + rowStart;
        if (&source != &destination)
            std::memcpy(row, source.data() + rowStart, size_t(w) * 3);

        // A factor (r − d) / r is positive exactly when d < r, and a ring
        // factor |d − r| / (0.04 r) is at least 1.25 when |d − r| >= 0.05 r,
        // so those tests skip the divisions without changing any result.
        int x0, x1;
        SpanWithin(xs, ys, burstReach, y, w, x0, x1);
        for (int x = x0; x < x1; ++x) {
            uint8_t* px = row + 3 * x;
            const float d = float(std::hypot(double(x) - xs, double(y) - ys));
            if (d < l.coreRadius) {
                const float p = (l.coreRadius - d) / l.coreRadius;
                Brighten(px, p * p, l.coreColour);
            }
            if (d < l.glowRadius) {
                const float p = (l.glowRadius - d) / l.glowRadius;
                Brighten(px, p * p, l.glowColour);
            }
            if (d < l.innerRadius) {
                const float p = (l.innerRadius - d) / l.innerRadius;
                Brighten(px, p * p, l.innerColour);
            }
            if (d < l.outerRadius) {
                const float p = (l.outerRadius - d) / l.outerRadius;
                Brighten(px, p, l.outerColour);
            }
            const float fromHalo = d - l.haloRadius;
            if (std::fabs(fromHalo) < l.haloRadius * 0.1) {
                const float p = float(std::fabs(fromHalo / (l.haloRadius * 0.07)));
                if (p < 1)
                    Brighten(px, 1.0f - p, l.haloColour);
            }
        }

        // Distances per centre group, filled over a growing column interval.
        thread_local std::vector<float> distances;
        distances.resize(size_t(19) * size_t(w));
        std::array<int, 19> doneLo{}, doneHi{};
        for (int i = 0; i < 19; ++i) {
            const FlareReflection& r = l.reflections[size_t(i)];
            SpanWithin(r.xp, r.yp, r.kind == 4 ? r.size * 1.05 : r.size, y, w, x0, x1);
            if (x0 >= x1)
                continue;
            const size_t g = size_t(group[size_t(i)]);
            float* e = distances.data() + g * size_t(w);
            auto fill = [&](int from, int to) {
                for (int x = from; x < to; ++x)
                    e[x] = float(std::hypot(double(r.xp) - x, double(r.yp) - y));
            };
            int& lo = doneLo[g];
            int& hi = doneHi[g];
            if (lo >= hi) {
                fill(x0, x1);
                lo = x0;
                hi = x1;
            } else {
                fill(x0, lo);
                fill(hi, x1);
                lo = std::min(lo, x0);
                hi = std::max(hi, x1);
            }
            const float size = r.size;
            switch (r.kind) {
            case 1:
                for (int x = x0; x < x1; ++x)
                    if (e[x] < size) {
                        const float p = (size - e[x]) / size;
                        Brighten(row + 3 * x, p * p, r.colour);
                    }
                break;
            case 2:
                for (int x = x0; x < x1; ++x)
                    if (e[x] < size) {
                        const float p = float((size - e[x]) / (size * 0.15));
                        Brighten(row + 3 * x, p > 1 ? 1.0f : p, r.colour);
                    }
                break;
            case 3:
                for (int x = x0; x < x1; ++x)
                    if (e[x] < size) {
                        float p = float((size - e[x]) / (size * 0.12));
                        if (p > 1)
                            p = float(1.0 - p * 0.12);
                        Brighten(row + 3 * x, p, r.colour);
                    }
                break;
            default:
                for (int x = x0; x < x1; ++x) {
                    const float fromRing = e[x] - size;
                    if (std::fabs(fromRing) < size * 0.05) {
                        const float p = float(std::fabs(fromRing / (size * 0.04)));
                        if (p < 1)
                            Brighten(row + 3 * x, 1.0f - p, r.colour);
                    }
                }
                break;
            }
        }
    };

    ForEachLightRow(w, h, true, renderRow, [&](int y) {
        if (y % 5 == 0)
            ReportProgress(int(double(y) / double(h) * 100.0));
    });
    return true;
}

} // namespace ombrik
