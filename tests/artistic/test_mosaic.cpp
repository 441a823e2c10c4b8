// Mosaic: the gradient image on ramps with hand-worked values, one tile's
// scan conversion against a plain point-in-polygon test, its shading and
// brightness shift, and the whole effect on tiny and real images.
#include "artistic/mosaic_filter.h"
#include "effects/effect_request.h"
#include "engine/pixel_buffer.h"
#include "tests/support/photo_fixture.h"

#include <glib.h>
#include <gtest/gtest.h>

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

// The test hexagon (centre 30, 30) and its corners after the tile's shrink and
// truncation to whole pixels.
const mosaic::Point kHexagon[6] = {{24, 20}, {36, 20}, {42, 30}, {36, 40}, {24, 40}, {18, 30}};

std::vector<mosaic::Point> ShrunkCorners()
{
    std::vector<mosaic::Point> out;
    for (const mosaic::Point& p : kHexagon)
        out.push_back({std::trunc(30 + 0.975 * (p.x - 30)), std::trunc(30 + 0.975 * (p.y - 30))});
    return out;
}

// Signed distance of (x, y) inside the convex polygon (positive inside).
double InsideDistance(const std::vector<mosaic::Point>& poly, double x, double y)
{
    double d = 1e9;
    for (size_t i = 0; i < poly.size(); ++i) {
        const mosaic::Point& a = poly[i];
        const mosaic::Point& b = poly[(i + 1) % poly.size()];
        const double ex = b.x - a.x, ey = b.y - a.y;
        const double len = std::hypot(ex, ey);
        // Clockwise on screen (y down): the inside is to the right of a -> b.
        d = std::min(d, ((x - a.x) * -ey + (y - a.y) * ex) / len);
    }
    return d;
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

TEST(MosaicTile, CoversTheShrunkHexagonAndLeavesGroutOutside)
{
    const std::vector<mosaic::Point> poly = ShrunkCorners();
    const PixelBuffer dst = DrawHexagon(128, 0.0);
    int inside = 0, outside = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) {
            // The nearest of the pixel's 3 × 3 sample points to the border,
            // from either side.
            double nearestIn = 1e9, farthestIn = -1e9;
            for (int j = 0; j < 3; ++j)
                for (int i = 0; i < 3; ++i) {
                    const double d = InsideDistance(poly, x + (i + 0.5) / 3, y + (j + 0.5) / 3);
                    nearestIn = std::min(nearestIn, d);
                    farthestIn = std::max(farthestIn, d);
                }
            const uint8_t* p = dst.at(x, y);
            if (farthestIn < -0.5) {  // every sample well outside
                ++outside;
                ASSERT_EQ(p[0] | p[1] | p[2], 0) << x << "," << y;
            } else if (nearestIn > 0.5) {  // every sample well inside
                ++inside;
                ASSERT_GT(p[0], 0) << x << "," << y;
            }
        }
    EXPECT_GT(inside, 250);
    EXPECT_GT(outside, 2800);

    // Corners pulled to one point leave no area to draw.
    const mosaic::Point same[6] = {{10, 10}, {10, 10}, {10, 10}, {10, 10}, {10, 10}, {10, 10}};
    PixelBuffer empty(60, 60, 3);
    mosaic::DrawTile(mosaic::PrepareTile(same, 6, 0.0), dst.data(), empty.data(), 60, 60, 3, 0, 60);
    EXPECT_EQ(empty.pixels, PixelBuffer(60, 60, 3).pixels);
}

TEST(MosaicTile, IsLitFromTheTopLeftAndShiftedByItsOffset)
{
    const PixelBuffer plain = DrawHexagon(128, 0.0);
    const int top = plain.at(30, 21)[1], centre = plain.at(30, 30)[1], bottom = plain.at(30, 38)[1];
    EXPECT_GT(top, centre);
    EXPECT_GT(centre, bottom);
    EXPECT_GT(plain.at(20, 30)[1], plain.at(40, 30)[1]);  // left lighter than right
    // Grey stays grey.
    EXPECT_EQ(plain.at(30, 21)[0], plain.at(30, 21)[2]);

    // The largest shift a varied tile gets: 0.2 × 127 = 25.4 levels,
    // truncated (25 up, 26 down from a whole level), then scaled by the full
    // coverage (255 / 256).
    const PixelBuffer lighter = DrawHexagon(128, 25.4);
    const PixelBuffer darker = DrawHexagon(128, -25.4);
    const int up = lighter.at(30, 30)[1] - centre, down = centre - darker.at(30, 30)[1];
    EXPECT_GE(up, 24);
    EXPECT_LE(up, 25);
    EXPECT_GE(down, 25);
    EXPECT_LE(down, 26);
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

TEST(Mosaic, DrawsFromGLibsDefaultGenerator)
{
    const PixelBuffer src = test::LoadSamplePhoto("chelsea.png", 160, 120);
    ASSERT_FALSE(src.empty());
    const PixelBuffer a = RunMosaic(src, 11);
    const PixelBuffer b = RunMosaic(src, 11);
    const PixelBuffer c = RunMosaic(src, 12);
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_NE(a.pixels, c.pixels);
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
