#include "light/warp_deformer.h"
#include "effects/effect_request.h"
#include "engine/pixel_buffer.h"
#include "tests/support/photo_fixture.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <numbers>

using namespace ombrik;

namespace {

constexpr WarpMode kAllModes[] = {WarpMode::Grow, WarpMode::Shrink, WarpMode::Move,
                                  WarpMode::Remove, WarpMode::SwirlCounterClockwise, WarpMode::SwirlClockwise};

double Falloff(int k) { return std::pow((std::cos(std::sqrt(k / 250.0) * std::numbers::pi) + 1) / 2, 0.7); }

// Channel 0 = 2x, channel 1 = 2y, so a bilinear sample at (sx, sy) reads
// 2 sx and 2 sy.
PixelBuffer Ramps(int w, int h)
{
    PixelBuffer b(w, h, 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            b.at(x, y)[0] = uint8_t(2 * x);
            b.at(x, y)[1] = uint8_t(2 * y);
            b.at(x, y)[2] = 9;
        }
    return b;
}

long DifferenceInside(const PixelBuffer& a, const PixelBuffer& b, int cx, int cy, int r)
{
    long sum = 0;
    for (int y = cy - r; y <= cy + r; ++y)
        for (int x = cx - r; x <= cx + r; ++x)
            for (int c = 0; c < 3; ++c)
                sum += std::abs(a.at(x, y)[c] - b.at(x, y)[c]);
    return sum;
}

} // namespace

TEST(WarpSettings, FalloffRadiusAndModes)
{
    const auto& f = WarpFalloffTable();
    EXPECT_EQ(f[0], 1.0);
    EXPECT_NEAR(f[50], 0.685, 0.001);
    EXPECT_NEAR(f[125], 0.321, 0.001);
    EXPECT_NEAR(f[200], 0.080, 0.001);
    EXPECT_NEAR(f[249], 0.0003, 0.0001);

    WarpDeformer warp;
    EXPECT_EQ(warp.radius(), 20);
    EXPECT_DOUBLE_EQ(warp.amount(), 0.3);
    EXPECT_EQ(warp.mode(), WarpMode::Move);
    warp.setRadius(0);
    EXPECT_EQ(warp.radius(), 1);
    warp.setRadius(-7);
    EXPECT_EQ(warp.radius(), 1);
    warp.setRadius(251);
    EXPECT_EQ(warp.radius(), 250);

    EXPECT_EQ(WarpModeForEffect(80), WarpMode::Move);
    EXPECT_EQ(WarpModeForEffect(81), WarpMode::Grow);
    EXPECT_EQ(WarpModeForEffect(82), WarpMode::Shrink);
    EXPECT_EQ(WarpModeForEffect(83), WarpMode::SwirlClockwise);
    EXPECT_EQ(WarpModeForEffect(84), WarpMode::SwirlCounterClockwise);
    EXPECT_EQ(WarpModeForEffect(85), WarpMode::Remove);
    EXPECT_FALSE(WarpModeForEffect(79).has_value());
    EXPECT_FALSE(WarpModeForEffect(86).has_value());
}

TEST(WarpDeform, GrowPullsFromNearerTheCentreByTheFalloff)
{
    const PixelBuffer base = Ramps(100, 100);
    PixelBuffer shown(100, 100, 3);
    WarpDeformer warp;
    warp.start(100, 100, 3, base.data(), shown.data());
    warp.setRadius(20);
    warp.setAmount(100);
    warp.setMode(WarpMode::Grow);
    warp.apply(50, 50, 0, 0);

    // (55, 50): offset (5, 0), falloff index 25 × 250 div 400 = 15.
    const double w15 = Falloff(15);
    EXPECT_EQ(shown.at(55, 50)[0], int(2 * (55 - 0.5 * w15)));
    EXPECT_EQ(shown.at(55, 50)[1], 100);
    EXPECT_NEAR(warp.displacement(55, 50)[0], -0.5 * w15, 1e-12);
    // (50, 44): offset (0, -6), index 36 × 250 div 400 = 22.
    const double w22 = Falloff(22);
    EXPECT_EQ(shown.at(50, 44)[1], int(2 * (44 + 0.6 * w22)));
    EXPECT_EQ(shown.at(50, 44)[0], 100);
    // Outside the circle nothing moves.
    EXPECT_EQ(shown.at(70, 50)[0], 140);
    EXPECT_EQ(warp.displacement(70, 50)[0], 0.0);
    EXPECT_EQ(shown.at(65, 65)[0], 130);

    // Shrink is the mirror image: (55, 50) now reads from farther out.
    PixelBuffer shrunk(100, 100, 3);
    WarpDeformer other;
    other.start(100, 100, 3, base.data(), shrunk.data());
    other.setRadius(20);
    other.setAmount(100);
    other.setMode(WarpMode::Shrink);
    other.apply(50, 50, 0, 0);
    EXPECT_EQ(shrunk.at(55, 50)[0], int(2 * (55 + 0.5 * w15)));
    // The swirls turn (5, 0) by a quarter: counter-clockwise reads from
    // (0, +2.5 w) away, clockwise from (0, -2.5 w).
    for (WarpMode mode : {WarpMode::SwirlCounterClockwise, WarpMode::SwirlClockwise}) {
        WarpDeformer swirl;
        swirl.start(100, 100, 3, base.data(), shrunk.data());
        swirl.setAmount(100);
        swirl.setMode(mode);
        swirl.apply(50, 50, 0, 0);
        const double sign = mode == WarpMode::SwirlClockwise ? -1 : 1;
        EXPECT_NEAR(swirl.displacement(55, 50)[1], sign * 2.5 * w15, 1e-12);
        EXPECT_NEAR(swirl.displacement(50, 44)[0], sign * 3 * w22, 1e-12);
    }
}

TEST(WarpDeform, MoveDragsTheContentAlong)
{
    PixelBuffer base(100, 100, 3);
    std::memset(base.data(), 255, base.byteCount());
    for (int y = 0; y < 100; ++y)
        base.at(40, y)[0] = base.at(40, y)[1] = base.at(40, y)[2] = 0;
    PixelBuffer shown(100, 100, 3);
    WarpDeformer warp;
    warp.start(100, 100, 3, base.data(), shown.data());
    warp.setRadius(20);
    warp.setAmount(100);
    warp.setMode(WarpMode::Move);
    warp.apply(50, 50, 40, 50);
    int darkest = 0;
    for (int x = 0; x < 100; ++x)
        if (shown.at(x, 50)[0] < shown.at(darkest, 50)[0])
            darkest = x;
    EXPECT_GT(darkest, 44);
    EXPECT_LE(darkest, 52);
    EXPECT_GT(shown.at(40, 50)[0], 200);
    EXPECT_EQ(shown.at(40, 10)[0], 0);  // far above the stroke the line stays
    // The drag of 10 is cut into 1 + 2 x 10 / 20 = 2 steps of 5: only the
    // first, centred on (45, 50), reaches (27, 50), at index 324 x 250 / 400.
    EXPECT_NEAR(warp.displacement(27, 50)[0], -5 * Falloff(202), 1e-12);
}

TEST(WarpDeform, StrokesThatMustLeaveThePictureUnchanged)
{
    const PixelBuffer base = test::LoadSamplePhoto("chelsea.png", 160, 120);
    ASSERT_FALSE(base.empty());
    for (const WarpMode mode : kAllModes) {
        PixelBuffer shown(160, 120, 3);
        WarpDeformer warp;
        warp.start(160, 120, 3, base.data(), shown.data());
        warp.setRadius(40);
        warp.setAmount(0);
        warp.setMode(mode);
        warp.apply(80, 60, 20, 30);
        warp.apply(3, 3, 150, 110);
        EXPECT_EQ(shown.pixels, base.pixels) << int(mode);
    }
    // A click in move mode is a zero-length stroke, even over earlier warps.
    PixelBuffer shown(160, 120, 3);
    WarpDeformer warp;
    warp.start(160, 120, 3, base.data(), shown.data());
    warp.setRadius(40);
    warp.setAmount(80);
    warp.setMode(WarpMode::SwirlClockwise);
    warp.apply(80, 60, 80, 60);
    const PixelBuffer swirled = shown;
    ASSERT_NE(swirled.pixels, base.pixels);
    warp.setMode(WarpMode::Move);
    warp.apply(70, 55, 70, 55);
    EXPECT_EQ(shown.pixels, swirled.pixels);
}

TEST(WarpDeform, BorderPixelsNeverMove)
{
    const PixelBuffer base = test::LoadSamplePhoto("astronaut.png", 64, 48);
    PixelBuffer shown(64, 48, 3);
    WarpDeformer warp;
    warp.start(64, 48, 3, base.data(), shown.data());
    warp.setRadius(30);
    warp.setAmount(100);
    const int points[][2] = {{0, 0}, {63, 0}, {0, 47}, {63, 47}, {32, 2}, {2, 24}, {61, 24}, {32, 45}, {32, 24}};
    for (const WarpMode mode : kAllModes) {
        warp.setMode(mode);
        for (const auto& p : points)
            for (int k = 0; k < 3; ++k)
                warp.apply(p[0], p[1], 32, 24);
    }
    ASSERT_NE(shown.pixels, base.pixels);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            if (x != 0 && y != 0 && x != 63 && y != 47)
                continue;
            ASSERT_EQ(warp.displacement(x, y)[0], 0.0) << x << "," << y;
            ASSERT_EQ(warp.displacement(x, y)[1], 0.0) << x << "," << y;
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(shown.at(x, y)[c], base.at(x, y)[c]) << x << "," << y;
        }
    // Damping: one pixel in from the border moves less than the same offset
    // from the brush centre well inside.
    EXPECT_LT(std::abs(warp.displacement(1, 24)[1]), 6.0);
}

TEST(WarpDeform, ReduceWarpHalvesTheCentreAndRestoresThePicture)
{
    const PixelBuffer base = test::LoadSamplePhoto("coffee.png", 200, 150);
    PixelBuffer shown(200, 150, 3);
    WarpDeformer warp;
    warp.start(200, 150, 3, base.data(), shown.data());
    warp.setRadius(30);
    warp.setAmount(100);
    warp.setMode(WarpMode::Move);
    warp.apply(110, 75, 80, 60);
    warp.apply(100, 80, 110, 75);
    const auto d0 = warp.displacement(100, 75);
    ASSERT_GT(std::abs(d0[0]) + std::abs(d0[1]), 1.0);

    warp.setMode(WarpMode::Remove);
    long previous = DifferenceInside(shown, base, 100, 75, 20);
    for (int step = 1; step <= 4; ++step) {
        warp.apply(100, 75, 0, 0);
        const auto d = warp.displacement(100, 75);
        EXPECT_EQ(d[0], d0[0] / double(1 << step));
        EXPECT_EQ(d[1], d0[1] / double(1 << step));
        const long now = DifferenceInside(shown, base, 100, 75, 20);
        EXPECT_LT(now, previous) << step;
        previous = now;
    }
}

TEST(WarpDeform, SampleOnTheLastColumnOrRowKeepsThePixel)
{
    PixelBuffer base(30, 30, 3);
    std::memset(base.data(), 100, base.byteCount());
    PixelBuffer shown(30, 30, 3);
    WarpDeformer warp;
    warp.start(30, 30, 3, base.data(), shown.data());
    warp.setRadius(10);
    warp.setMode(WarpMode::Move);
    for (int y = 0; y < 30; ++y)
        shown.at(29, y)[0] = 7;
    for (int x = 0; x < 30; ++x)
        shown.at(x, 29)[0] = 7;
    shown.at(25, 15)[0] = 7;
    shown.at(15, 25)[0] = 7;
    warp.apply(29, 15, 29, 15);
    warp.apply(15, 29, 15, 29);
    EXPECT_EQ(shown.at(25, 15)[0], 100);  // resampled in place
    EXPECT_EQ(shown.at(15, 25)[0], 100);
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(shown.at(29, i)[0], 7) << i;
        EXPECT_EQ(shown.at(i, 29)[0], 7) << i;
    }
}

TEST(WarpDeform, DegenerateSizesAndPointsFarOutside)
{
    for (const auto& [w, h] : {std::pair{1, 1}, {2, 2}, {1, 7}, {7, 1}, {2, 9}}) {
        PixelBuffer base(w, h, 3);
        for (size_t i = 0; i < base.byteCount(); ++i)
            base.pixels[i] = uint8_t(40 + i * 13);
        PixelBuffer shown(w, h, 3);
        WarpDeformer warp;
        warp.start(w, h, 3, base.data(), shown.data());
        warp.setAmount(100);
        for (const int r : {0, 1, 5, 250}) {
            warp.setRadius(r);
            for (const WarpMode mode : kAllModes) {
                warp.setMode(mode);
                warp.apply(0, 0, w, h);
                warp.apply(w, h, -3, -3);
            }
        }
        // Every pixel of these pictures is a border pixel.
        EXPECT_EQ(shown.pixels, base.pixels) << w << "x" << h;
    }

    const PixelBuffer base = test::LoadSamplePhoto("chelsea.png", 90, 60);
    PixelBuffer shown(90, 60, 3);
    WarpDeformer warp;
    warp.start(90, 60, 3, base.data(), shown.data());
    warp.setRadius(250);
    warp.setAmount(100);
    for (const WarpMode mode : kAllModes) {
        warp.setMode(mode);
        warp.apply(90, 30, 400, 30);  // a drag that left the picture, clamped
        warp.apply(-100000, 5, 45, 30);
        warp.apply(45, 30, INT_MIN, INT_MAX);
    }
    // The sanitizers watch the reads and writes; the border stays put.
    for (int x = 0; x < 90; ++x)
        EXPECT_EQ(shown.at(x, 59)[0], base.at(x, 59)[0]) << x;

    // Not started, or started on a bad descriptor: nothing happens.
    WarpDeformer idle;
    idle.apply(1, 1, 0, 0);
    PixelBuffer one(4, 4, 3);
    idle.start(4, 4, 2, base.data(), one.data());
    EXPECT_FALSE(idle.started());
    idle.start(0, 4, 3, base.data(), one.data());
    EXPECT_FALSE(idle.started());
}
