// Mosaic: the gradient image on ramps with hand-worked values, one tile's
// scan conversion against a plain point-in-polygon test, its shading and
// brightness shift, and the whole effect on tiny and real images.
#include "artistic/mosaic_filter.h"
#include "effects/effect_request.h"
#include "engine/pixel_buffer.h"
#include "tests/support/photo_fixture.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

using namespace ombrik;

namespace {

PixelBuffer Uniform(int w, int h, uint8_t v, int bpp = 3)
{
    PixelBuffer b(w, h, bpp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = b.at(x, y);
            p[0] = p[1] = p[2] = v;
            if (bpp == 4)
                p[3] = uint8_t(x * 7 + y);
        }
    return b;
}

PixelBuffer RunMosaic(const PixelBuffer& src, unsigned seed, uint8_t fill = 0)
{
    PixelBuffer dst(src.width, src.height, src.bytesPerPixel);
    std::fill(dst.pixels.begin(), dst.pixels.end(), fill);
    EffectRequest rq;
    rq.initialise();
    rq.set(48, src.width, src.height, src.bytesPerPixel);
    g_random_set_seed(seed);
    rq.RunEffect(src.data(), dst.data());
    return dst;
}

// Strength of a ramp of slope `step` per pixel along x (or y). A rising ramp
// is put in the red channel alone, the others flat: each derivative image
// keeps its largest channel, so one rising channel is enough. A falling ramp
// (below 128 after the bias) shows only when every channel falls.
std::vector<uint8_t> RampStrength(int w, int h, int step, bool alongX)
{
    PixelBuffer b(w, h, 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int t = alongX ? x : y;
            uint8_t* p = b.at(x, y);
            if (step > 0) {
                p[0] = p[1] = 40;
                p[2] = uint8_t(t * step);
            } else {
                p[0] = p[1] = p[2] = uint8_t(250 + t * step);
            }
        }
    return mosaic::GradientStrength(b.data(), w, h, 3);
}

} // namespace

TEST(MosaicGradient, TruncatingDivisionMatchesIntegerDivision)
{
    for (int divisor : {462, 635})
        for (int a = -(1 << 20) + 1; a < (1 << 20); ++a)
            ASSERT_EQ(mosaic::DivideTruncated(a, divisor), a / divisor) << a << " / " << divisor;
}

TEST(MosaicGradient, FlatImageIsZeroInsideAndSevenOnTheBorder)
{
    const PixelBuffer b = Uniform(9, 7, 90);
    const std::vector<uint8_t> g = mosaic::GradientStrength(b.data(), 9, 7, 3);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) {
            const bool border = x == 0 || y == 0 || x == 8 || y == 6;
            EXPECT_EQ(g[size_t(y * 9 + x)], border ? 7 : 0) << x << "," << y;
        }
}

TEST(MosaicGradient, RampsGiveTheKernelSlopeWithTruncationTowardZero)
{
    // Slope 10: the derivative kernel's sum of k·d[k] is 632, so the interior
    // gives 6320 / 462 = 13; next to either end the replicated samples give
    // 5470 / 462 = 11. A falling ramp gives -13.7 and -11.8, which must
    // truncate to -13 and -11, not -14 and -12.
    for (bool alongX : {true, false}) {
        const int w = alongX ? 20 : 9, h = alongX ? 9 : 20;
        for (int step : {10, -10}) {
            const std::vector<uint8_t> g = RampStrength(w, h, step, alongX);
            for (int y = 1; y < h - 1; ++y)
                for (int x = 1; x < w - 1; ++x) {
                    const int t = alongX ? x : y;
                    const int n = alongX ? w : h;
                    const int expected = (t == 1 || t == n - 2) ? 11 : 13;
                    ASSERT_EQ(g[size_t(y * w + x)], expected) << "alongX " << alongX << " step " << step
                                                              << " at " << x << "," << y;
                }
        }
    }
}

namespace {

// The test hexagon, round (30, 30): shrunk by 0.97 or 0.98 instead of 0.975
// its corners truncate to other pixels.
const mosaic::Point kHexagon[6] = {{24.4, 20.1}, {36.5, 20.8}, {42.6, 30.8}, {36.3, 40.4}, {24.4, 40.9}, {18.7, 30.8}};

// One tile drawn on a grey picture by the written rules: corners shrunk by
// 1 - 0.5 / 20, edges lit from 135 degrees, 3 x 3 samples a pixel, shading
// fading over 16 pixels and scaled by 0.25, then the shift and the coverage.
PixelBuffer ReferenceTile(const mosaic::Point* corners, uint8_t grey, double offset)
{
    double cx = 0, cy = 0;
    for (int i = 0; i < 6; ++i) {
        cx += corners[i].x / 6;
        cy += corners[i].y / 6;
    }
    mosaic::Point p[6];
    for (int i = 0; i < 6; ++i)
        p[i] = {cx + 0.975 * (corners[i].x - cx), cy + 0.975 * (corners[i].y - cy)};
    const double alpha = 135 * 3.14159265 / 180, lx = -std::cos(alpha), ly = std::sin(alpha);
    const int x0 = int(std::min({p[0].x, p[4].x, p[5].x})), x1 = int(std::max({p[1].x, p[2].x, p[3].x}));
    const int y0 = int(std::min(p[0].y, p[1].y)), y1 = int(std::max(p[3].y, p[4].y));
    std::vector<int> left(size_t(3 * (y1 - y0)), 3 * x1), right(left.size(), 3 * x0);
    for (int i = 0; i < 6; ++i) {
        const mosaic::Point a = p[(i + 5) % 6], b = p[i];
        int xa = 3 * int(a.x), ya = 3 * int(a.y), xb = 3 * int(b.x), yb = 3 * int(b.y);
        if (ya > yb) {
            std::swap(xa, xb);
            std::swap(ya, yb);
        }
        double x = xa + (ya == yb ? 0.0 : double(xb - xa) / (yb - ya) * 0.5);
        for (int y = ya; y < yb; ++y, x += double(xb - xa) / (yb - ya)) {
            left[size_t(y - 3 * y0)] = std::min(left[size_t(y - 3 * y0)], int(x));
            right[size_t(y - 3 * y0)] = std::max(right[size_t(y - 3 * y0)], int(x));
        }
    }
    PixelBuffer out(60, 60, 3);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            int covered = 0;
            for (int r = 3 * (y - y0); r < 3 * (y - y0) + 3; ++r)
                covered += std::max(0, std::min(right[size_t(r)], 3 * x + 3) - std::max(left[size_t(r)], 3 * x));
            double e = 0;
            for (int i = 0; i < 6; ++i) {
                const mosaic::Point a = {std::trunc(p[(i + 5) % 6].x), std::trunc(p[(i + 5) % 6].y)};
                const double dx = std::trunc(p[i].x) - a.x, dy = std::trunc(p[i].y) - a.y, len = std::hypot(dx, dy);
                const double nx = -dy / len, ny = dx / len;
                const double dist = std::fabs((x - a.x) * nx + (y + 2.0 / 3.0 - a.y) * ny);
                e += (dist < 1 ? 1.0 : std::max(0.0, 1 - dist / 16)) * (ly * ny + lx * nx);
            }
            e *= 0.25;
            const int v = grey + int((e >= 0 ? 255 - grey : grey) * e);
            const int u = std::clamp(int(v + offset), 0, 255);
            uint8_t* o = out.at(x, y);
            o[0] = o[1] = o[2] = uint8_t((covered * 255 / 9 * u) >> 8);
        }
    return out;
}

PixelBuffer DrawHexagon(uint8_t grey, double offset, int rowBegin = 0, int rowEnd = 60, PixelBuffer* into = nullptr)
{
    const PixelBuffer src = Uniform(60, 60, grey);
    PixelBuffer dst = into ? *into : PixelBuffer(60, 60, 3);
    const mosaic::Tile tile = mosaic::PrepareTile(kHexagon, 6, offset);
    mosaic::DrawTile(tile, src.data(), dst.data(), 60, 60, 3, rowBegin, rowEnd);
    return dst;
}

} // namespace

TEST(MosaicTile, MatchesTheWrittenRulesPixelForPixel)
{
    // Plain, and shifted by the largest shift a varied tile gets (0.2 x 127).
    for (uint8_t grey : {128, 40, 250})
        for (double offset : {0.0, 25.4, -25.4}) {
            const PixelBuffer drawn = DrawHexagon(grey, offset), expected = ReferenceTile(kHexagon, grey, offset);
            for (int y = 0; y < 60; ++y)
                for (int x = 0; x < 60; ++x)
                    ASSERT_EQ(drawn.at(x, y)[1], expected.at(x, y)[1]) << int(grey) << " " << offset << " at " << x
                                                                        << "," << y;
        }
    // Lit from the top left: the top left edge lighter than the bottom right.
    const PixelBuffer plain = DrawHexagon(128, 0.0);
    EXPECT_GT(plain.at(21, 26)[1], plain.at(39, 34)[1]);

    // Corners pulled to one point leave no area to draw.
    const mosaic::Point same[6] = {{10, 10}, {10, 10}, {10, 10}, {10, 10}, {10, 10}, {10, 10}};
    PixelBuffer empty(60, 60, 3);
    mosaic::DrawTile(mosaic::PrepareTile(same, 6, 0.0), plain.data(), empty.data(), 60, 60, 3, 0, 60);
    EXPECT_EQ(empty.pixels, PixelBuffer(60, 60, 3).pixels);
}

TEST(MosaicTile, DrawingInRowBandsMatchesOnePass)
{
    const PixelBuffer whole = DrawHexagon(77, 10.0);
    PixelBuffer banded = DrawHexagon(77, 10.0, 0, 27);
    banded = DrawHexagon(77, 10.0, 27, 60, &banded);
    EXPECT_EQ(whole.pixels, banded.pixels);
}

TEST(Mosaic, WritesEveryPixelOfTinyAndOddImages)
{
    // A grey source gives grey tiles and black grout, so a pixel that still
    // holds the non-grey fill was never written.
    for (auto [w, h] : {std::pair{1, 1}, {2, 2}, {1, 40}, {40, 1}, {7, 5}, {19, 13}}) {
        const PixelBuffer src = Uniform(w, h, 180);
        PixelBuffer dst(w, h, 3);
        for (size_t i = 0; i < dst.pixels.size(); ++i)
            dst.pixels[i] = uint8_t(1 + i % 3);
        EffectRequest rq;
        rq.initialise();
        rq.set(48, w, h, 3);
        g_random_set_seed(7);
        rq.RunEffect(src.data(), dst.data());
        int lit = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* p = dst.at(x, y);
                ASSERT_TRUE(p[0] == p[1] && p[1] == p[2]) << w << "x" << h << " at " << x << "," << y;
                lit += p[0] > 0;
            }
        if (w * h >= 35) {
            EXPECT_GT(lit, w * h / 2) << w << "x" << h;  // smaller than a tile, still tiled
        }
    }
}

TEST(Mosaic, GridJitterAndShiftsFollowTheWrittenRulesAndDrawOrder)
{
    // A grey picture: the gradient is 0 inside and 7 on the border, so the
    // corners move by their random draws unless their window reaches the
    // border. The grid, jitter and brightness shifts are worked here from the
    // written rules and the tiles drawn in order with the tile functions.
    const int w = 83, h = 61;
    const PixelBuffer src = Uniform(w, h, 120);
    for (unsigned seed : {11u, 12u}) {
        g_random_set_seed(seed);
        const double f = 10, r = 2 * f / std::sqrt(3.0), o = f / std::sqrt(3.0), period = 6 * f / std::sqrt(3.0);
        const int rows = int((h + 19.0) / 20), columns = int((w + 2 * period - 1) / period);
        std::vector<mosaic::Point> grid;  // cells from (-1, -1), four corners each
        for (int j = -1; j <= rows; ++j)
            for (int i = -1; i <= columns; ++i)
                for (int k = 0; k < 4; ++k) {
                    const double x = o + period * i + (k == 1 ? r : k == 2 ? r + o : k == 3 ? -o : 0);
                    const double y = 20.0 * j + (k >= 2 ? f : 0);
                    const double a = g_random_double() * 9, b = g_random_double() * 9;  // (1 - 0.55) x 20
                    int bestX = int(x + int(a - 4.5)), bestY = int(y + int(b - 4.5));
                    const int x1 = int(x - 4), y1 = int(y - 4);
                    auto strength = [&](int px, int py) {
                        px = std::clamp(px, 0, w - 1);
                        py = std::clamp(py, 0, h - 1);
                        return (px == 0 || py == 0 || px == w - 1 || py == h - 1) ? 7 : 0;
                    };
                    int best = strength(x1, y1);
                    for (int py = std::clamp(y1, 0, h - 1); py <= std::clamp(y1 + 9, 0, h - 1); ++py)
                        for (int px = std::clamp(x1, 0, w - 1); px <= std::clamp(x1 + 9, 0, w - 1); ++px)
                            if (strength(px, py) > best) {
                                best = strength(px, py);
                                bestX = px;
                                bestY = py;
                            }
                    grid.push_back({double(bestX), double(bestY)});
                }
        auto at = [&](int i, int j, int k) { return grid[size_t(((j + 1) * (columns + 2) + i + 1) * 4 + k)]; };
        const int cells = (columns + 1) * (rows + 1), varied = int(cells * 0.2);
        auto shift = [](bool vary) {
            const double v = vary ? g_random_double() * 0.2 : 0.0;
            return g_random_int_range(0, 2) == 1 ? v * 127 : v * -127;
        };
        PixelBuffer expected(w, h, 3);
        for (int j = -1; j < rows; ++j)
            for (int i = -1; i < columns; ++i) {
                const bool vary = g_random_int_range(0, cells) < varied;
                const mosaic::Point first[6] = {at(i, j, 0), at(i, j, 1), at(i, j, 2),
                                                at(i, j + 1, 1), at(i, j + 1, 0), at(i, j, 3)};
                const mosaic::Tile a = mosaic::PrepareTile(first, 6, shift(vary));
                mosaic::DrawTile(a, src.data(), expected.data(), w, h, 3, 0, h);
                const mosaic::Point second[6] = {at(i, j, 2), at(i + 1, j, 3), at(i + 1, j + 1, 0),
                                                 at(i + 1, j + 1, 3), at(i, j + 1, 2), at(i, j + 1, 1)};
                const mosaic::Tile b = mosaic::PrepareTile(second, 6, shift(vary));
                mosaic::DrawTile(b, src.data(), expected.data(), w, h, 3, 0, h);
            }
        EXPECT_EQ(RunMosaic(src, seed).pixels, expected.pixels) << seed;
    }
}

TEST(Mosaic, FourBytePixelsGetTheSameColoursAndKeepAlpha)
{
    const PixelBuffer rgb = test::LoadSamplePhoto("astronaut.png", 90, 70);
    ASSERT_FALSE(rgb.empty());
    PixelBuffer rgba(90, 70, 4);
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 90; ++x) {
            std::copy_n(rgb.at(x, y), 3, rgba.at(x, y));
            rgba.at(x, y)[3] = uint8_t(x + y);
        }
    const PixelBuffer out3 = RunMosaic(rgb, 3);
    const PixelBuffer out4 = RunMosaic(rgba, 3);
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 90; ++x) {
            ASSERT_EQ(0, std::memcmp(out3.at(x, y), out4.at(x, y), 3)) << x << "," << y;
            ASSERT_EQ(out4.at(x, y)[3], uint8_t(x + y));
        }
}
