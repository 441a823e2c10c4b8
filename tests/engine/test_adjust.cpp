// Adjustments and the fade blend: the photometric meaning of each setting
// checked against formulas written out here, identity and range guarantees,
// and the fast path against the one-pixel route.
#include "engine/adjust.h"

#include "tests/support/photo_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace ombrik {
namespace {

// The sRGB transfer functions as the standard writes them.
double Decode(double v)
{
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}
double Encode(double v)
{
    return v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
}

struct Bgr {
    int b, g, r;
};

Bgr Adjust(const Adjuster& a, int b, int g, int r)
{
    const uint8_t in[3] = {uint8_t(b), uint8_t(g), uint8_t(r)};
    uint8_t out[3];
    a.applyPixel(in, out);
    return {out[0], out[1], out[2]};
}

// Every 3rd level of each channel: 86^3 colours in one buffer.
PixelBuffer ColourCube()
{
    PixelBuffer cube(86 * 86, 86, 3);
    uint8_t* p = cube.data();
    for (int r = 0; r < 256; r += 3)
        for (int g = 0; g < 256; g += 3)
            for (int b = 0; b < 256; b += 3, p += 3) {
                p[0] = uint8_t(b);
                p[1] = uint8_t(g);
                p[2] = uint8_t(r);
            }
    return cube;
}

TEST(Adjust, ExposureScalesLinearLight)
{
    for (const double stops : {1.0, -1.0, 0.5}) {
        AdjustParams p;
        p.exposure = stops;
        const Adjuster a(p);
        for (int v = 0; v < 256; ++v) {
            const double expected = 255 * Encode(std::min(1.0, Decode(v / 255.0) * std::exp2(stops)));
            const Bgr out = Adjust(a, v, v, v);
            // One rounding to a sixteenth of a level, one to a level.
            ASSERT_NEAR(out.g, expected, 0.54) << "stops " << stops << " level " << v;
            ASSERT_EQ(out.b, out.g);
            ASSERT_EQ(out.r, out.g);
        }
        // Channels of a colour are scaled independently.
        const Bgr c = Adjust(a, 40, 90, 160);
        EXPECT_NEAR(c.b, 255 * Encode(std::min(1.0, Decode(40 / 255.0) * std::exp2(stops))), 0.54);
        EXPECT_NEAR(c.r, 255 * Encode(std::min(1.0, Decode(160 / 255.0) * std::exp2(stops))), 0.54);
    }
}

TEST(Adjust, NeutralSettingsAreTheIdentityByteForByte)
{
    const Adjuster identity{AdjustParams()};
    for (const PixelBuffer& src : {ColourCube(), test::LoadSamplePhoto("chelsea.png")}) {
        ASSERT_FALSE(src.empty());
        PixelBuffer out;
        identity.apply(src, out);
        ASSERT_EQ(out.pixels, src.pixels);
    }
}

TEST(Adjust, SaturationAndVibrance)
{
    const PixelBuffer photo = test::LoadSamplePhoto("coffee.png", 320, 240);
    AdjustParams grey;
    grey.saturation = -100;
    grey.vibrance = 40;  // cannot bring colour back once saturation removed it
    PixelBuffer out;
    ApplyAdjustments(grey, photo, out);
    for (size_t i = 0; i < out.pixels.size(); i += 3) {
        ASSERT_EQ(out.pixels[i], out.pixels[i + 1]) << "pixel " << i / 3;
        ASSERT_EQ(out.pixels[i + 1], out.pixels[i + 2]) << "pixel " << i / 3;
    }

    auto chroma = [](Bgr c) { return std::max({c.b, c.g, c.r}) - std::min({c.b, c.g, c.r}); };
    AdjustParams more;
    more.saturation = 100;
    const Bgr doubled = Adjust(Adjuster(more), 100, 120, 140);
    EXPECT_NEAR(chroma(doubled), 80, 2);

    AdjustParams vibrant;
    vibrant.vibrance = 100;
    const Adjuster v(vibrant);
    // A weak colour gains relatively more than a strong one (blues, far from skin).
    const double weakGain = chroma(Adjust(v, 130, 120, 110)) / 20.0;
    const double strongGain = chroma(Adjust(v, 210, 120, 30)) / 180.0;
    EXPECT_GT(weakGain, 1.3);
    EXPECT_GT(weakGain, strongGain + 0.2);
    // A skin tone gains less than a blue of the same chroma.
    const double skinGain = chroma(Adjust(v, 110, 140, 190)) / 80.0;
    const double blueGain = chroma(Adjust(v, 190, 140, 110)) / 80.0;
    EXPECT_GT(blueGain, skinGain + 0.15);
    EXPECT_GT(skinGain, 1.0);
}

TEST(Adjust, WhiteBalanceAndToneCurvesOnGrey)
{
    AdjustParams warm;
    warm.warmth = 50;
    const Bgr w = Adjust(Adjuster(warm), 128, 128, 128);
    EXPECT_GT(w.r, w.b + 10);
    warm.warmth = -50;
    const Bgr c = Adjust(Adjuster(warm), 128, 128, 128);
    EXPECT_GT(c.b, c.r + 10);
    AdjustParams magenta;
    magenta.tint = 50;
    const Bgr m = Adjust(Adjuster(magenta), 128, 128, 128);
    EXPECT_LT(m.g + 5, std::min(m.r, m.b));

    // Contrast pivots on mid-grey; shadows and highlights act on their ends.
    AdjustParams contrast;
    contrast.contrast = 60;
    const Adjuster k(contrast);
    EXPECT_NEAR(Adjust(k, 128, 128, 128).g, 128, 1);
    EXPECT_LT(Adjust(k, 60, 60, 60).g, 55);
    EXPECT_GT(Adjust(k, 200, 200, 200).g, 205);
    AdjustParams lift;
    lift.shadows = 100;
    EXPECT_GT(Adjust(Adjuster(lift), 30, 30, 30).g, 45);
    EXPECT_LT(Adjust(Adjuster(lift), 230, 230, 230).g, 235);
    AdjustParams recover;
    recover.highlights = -100;
    EXPECT_LT(Adjust(Adjuster(recover), 230, 230, 230).g, 215);
    EXPECT_LE(Adjust(Adjuster(recover), 30, 30, 30).g, 30);
}

TEST(Adjust, ExtremeSettingsStayMonotonicWithoutWrapAround)
{
    for (const double sign : {1.0, -1.0}) {
        AdjustParams p;
        p.exposure = 3 * sign;
        p.contrast = p.highlights = p.shadows = p.saturation = p.vibrance = p.warmth = p.tint = 100 * sign;
        const Adjuster a(p);
        for (int c = 0; c < 3; ++c) {
            int previous = 0;
            for (int v = 0; v < 256; ++v) {
                const int level = a.channelLevel(c, v);
                ASSERT_GE(level, previous) << "channel " << c << " level " << v;
                ASSERT_LE(level, 4080);
                previous = level;
            }
        }
        // Grey ramps stay ordered through the whole pipeline.
        int previous = -1;
        for (int v = 0; v < 256; ++v) {
            const Bgr out = Adjust(a, v, v, v);
            ASSERT_GE(out.g, previous) << v;
            previous = out.g;
        }
    }
    AdjustParams bright;
    bright.exposure = 3;
    const Bgr white = Adjust(Adjuster(bright), 255, 250, 240);
    EXPECT_EQ(white.b + white.g + white.r, 3 * 255);

    // Bad values are reported as invalid and tables built from them stay in range.
    AdjustParams bad;
    EXPECT_TRUE(bad.valid());
    bad.contrast = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(bad.valid());
    bad.contrast = 0;
    bad.exposure = 3.5;
    EXPECT_FALSE(bad.valid());
    const Adjuster clamped(bad);
    EXPECT_EQ(Adjust(clamped, 255, 255, 255).g, 255);
}

TEST(Adjust, FastPathAgreesWithThePixelRoute)
{
    const PixelBuffer photo = test::LoadSamplePhoto("astronaut.png", 640, 480);
    AdjustParams p;
    p.exposure = 0.4;
    p.contrast = 25;
    p.highlights = -40;
    p.shadows = 30;
    p.saturation = -15;
    p.vibrance = 35;
    p.warmth = 20;
    p.tint = -10;
    const Adjuster a(p);
    PixelBuffer fast;
    a.apply(photo, fast);
    for (size_t i = 0; i < photo.pixels.size(); i += 3 * 97) {
        uint8_t one[3];
        a.applyPixel(&photo.pixels[i], one);
        ASSERT_EQ(fast.pixels[i], one[0]);
        ASSERT_EQ(fast.pixels[i + 1], one[1]);
        ASSERT_EQ(fast.pixels[i + 2], one[2]);
    }
    EXPECT_NE(fast.pixels, photo.pixels);
    // In place gives the same bytes.
    PixelBuffer inPlace = photo;
    a.apply(inPlace, inPlace);
    EXPECT_EQ(inPlace.pixels, fast.pixels);
}

TEST(Adjust, FadeBlendEnds)
{
    const PixelBuffer before = test::LoadSamplePhoto("chelsea.png", 320, 240);
    const PixelBuffer after = test::RunCatalogueEffect(42, before);
    PixelBuffer out;
    FadeBlend(before, after, 0, out);
    EXPECT_EQ(out.pixels, before.pixels);
    FadeBlend(before, after, 100, out);
    EXPECT_EQ(out.pixels, after.pixels);
    FadeBlend(before, after, 50, out);
    for (size_t i = 0; i < out.pixels.size(); i += 101)
        ASSERT_NEAR(out.pixels[i], (before.pixels[i] + after.pixels[i]) / 2.0, 0.51);
    // Out-of-range percentages are clamped.
    FadeBlend(before, after, 250, out);
    EXPECT_EQ(out.pixels, after.pixels);
}

} // namespace
} // namespace ombrik
