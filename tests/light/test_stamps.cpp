#include "effects/effect_request.h"
#include "engine/pixel_buffer.h"
#include "light/stamp_renderer.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

using namespace ombrik;

namespace {

// A w × h stamp whose every pixel is (blue, green, red, alpha).
StampImage UniformStamp(int w, int h, uint8_t blue, uint8_t green, uint8_t red, uint8_t alpha)
{
    StampImage s;
    s.width = w;
    s.height = h;
    s.pixels.resize(size_t(w) * h * 4);
    for (size_t i = 0; i < s.pixels.size(); i += 4) {
        s.pixels[i] = blue;
        s.pixels[i + 1] = green;
        s.pixels[i + 2] = red;
        s.pixels[i + 3] = alpha;
    }
    return s;
}

PixelBuffer Filled(int w, int h, uint8_t value)
{
    PixelBuffer b(w, h, 3);
    std::memset(b.data(), value, b.byteCount());
    return b;
}

// Number of values taken from GLib's global generator since it was seeded
// with `seed`, found by replaying the sequence.
int DrawsSinceSeed(guint32 seed)
{
    const double next = g_random_double();
    GRand* replay = g_rand_new_with_seed(seed);
    int draws = 0;
    while (g_rand_double(replay) != next && draws < 1000)
        ++draws;
    g_rand_free(replay);
    return draws;
}

} // namespace

TEST(StampColour, IntegerHlsOfTheLightingPresets)
{
    const HlsBytes pink = RgbToHls(255, 192, 255);  // Fairy Dust: hue wraps below 0
    EXPECT_EQ(pink.hue, 214);
    EXPECT_EQ(pink.lightness, 224);
    EXPECT_EQ(pink.saturation, 255);
    const HlsBytes amber = RgbToHls(255, 190, 0);  // Sparkle
    EXPECT_EQ(amber.hue, 31);
    EXPECT_EQ(amber.lightness, 128);
    EXPECT_EQ(amber.saturation, 255);
    const HlsBytes green = RgbToHls(0, 255, 0);  // Firefly
    EXPECT_EQ(green.hue, 85);
    EXPECT_EQ(green.lightness, 128);
    const HlsBytes grey = RgbToHls(100, 100, 100);
    EXPECT_EQ(grey.hue, 170);
    EXPECT_EQ(grey.lightness, 100);
    EXPECT_EQ(grey.saturation, 0);
    const HlsBytes dark = RgbToHls(40, 0, 20);  // lightness below 128 uses the other saturation rule
    EXPECT_EQ(dark.lightness, 20);
    EXPECT_EQ(dark.saturation, 255);

    uint8_t r, g, b;
    HlsToRgb({85, 128, 255}, &r, &g, &b);
    EXPECT_LE(r, 1);
    EXPECT_GE(g, 254);  // single-precision m2 lands just under 1
    EXPECT_LE(b, 1);
    HlsToRgb({0, 255, 255}, &r, &g, &b);  // full lightness is white whatever the hue
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 255);
    EXPECT_EQ(b, 255);
}

TEST(StampColour, WhiteGivesGreyStampsThatKeepLightnessAndAlpha)
{
    for (int variant = 0; variant < 4; ++variant) {
        const StampImage stamp = LoadStampImage(variant);
        const StampImage white = RecolourStamp(stamp, 0xFFFFFF);
        const StampImage green = RecolourStamp(stamp, 0x00FF00);
        ASSERT_EQ(white.pixels.size(), stamp.pixels.size());
        for (size_t i = 0; i < stamp.pixels.size(); i += 4) {
            const uint8_t* s = &stamp.pixels[i];
            const uint8_t* w = &white.pixels[i];
            ASSERT_EQ(w[0], w[1]);
            ASSERT_EQ(w[1], w[2]);
            ASSERT_NEAR(w[0], RgbToHls(s[2], s[1], s[0]).lightness, 1);
            ASSERT_EQ(w[3], s[3]);
            ASSERT_EQ(green.pixels[i + 3], s[3]);
            ASSERT_GE(green.pixels[i + 1], std::max(green.pixels[i], green.pixels[i + 2]));
        }
    }
}

TEST(StampImages, DecodeAtTheirSizesWithATransparentRim)
{
    const int sizes[4] = {124, 80, 120, 140};
    for (int variant = 0; variant < 4; ++variant) {
        const StampImage s = LoadStampImage(variant);
        ASSERT_EQ(s.width, sizes[variant]);
        ASSERT_EQ(s.height, sizes[variant]);
        int opaque = 0;
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) {
                const uint8_t alpha = s.pixels[(size_t(y) * s.width + x) * 4 + 3];
                if (x == 0 || y == 0 || x == s.width - 1 || y == s.height - 1) {
                    ASSERT_EQ(alpha, 0) << variant << " " << x << "," << y;
                }
                opaque += alpha > 200;
            }
        EXPECT_GT(opaque, 20) << variant;
    }
    EXPECT_TRUE(LoadStampImage(4).empty());
    EXPECT_TRUE(LoadStampImage(-1).empty());
}

TEST(StampDrawing, UprightCopyLandsMirroredAndMeasuredFromTheBottom)
{
    // 10 × 10 stamp, left half red, right half blue, scale 1, no turn, centred
    // at (10, 10) of a 20 × 20 patch: the drawn box is 8 × 8 (one pixel of the
    // stamp's rim is lost on each side) over columns and rows 6..13, with the
    // stamp's right half on the left.
    StampImage stamp = UniformStamp(10, 10, 0, 0, 200, 255);
    for (int y = 0; y < 10; ++y)
        for (int x = 5; x < 10; ++x) {
            uint8_t* p = &stamp.pixels[(size_t(y) * 10 + x) * 4];
            p[0] = 200;
            p[2] = 0;
        }
    PixelBuffer patch = Filled(20, 20, 50);
    DrawStamp(patch.data(), 20, 20, 3, stamp, 1.0f, 0.0f, 10, 10);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const uint8_t* p = patch.at(x, y);
            const bool inside = x >= 6 && x <= 13 && y >= 6 && y <= 13;
            if (!inside)
                ASSERT_TRUE(p[0] == 50 && p[1] == 50 && p[2] == 50) << x << "," << y;
            else if (x <= 9)
                ASSERT_TRUE(p[0] == 200 && p[1] == 0 && p[2] == 0) << x << "," << y;
            else
                ASSERT_TRUE(p[0] == 0 && p[1] == 0 && p[2] == 200) << x << "," << y;
        }

    // Centre (1, 1) is near the bottom-left corner: the box is clipped to
    // columns 0..4 and rows 15..19.
    const StampImage grey = UniformStamp(10, 10, 90, 90, 90, 255);
    PixelBuffer corner = Filled(20, 20, 50);
    DrawStamp(corner.data(), 20, 20, 3, grey, 1.0f, 0.0f, 1, 1);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(corner.at(x, y)[1], (x <= 4 && y >= 15) ? 90 : 50) << x << "," << y;

    // Entirely outside, or too small to have a pixel: nothing changes.
    const PixelBuffer untouched = Filled(20, 20, 50);
    PixelBuffer outside = Filled(20, 20, 50);
    for (const int c : {-9, -40, 30, 1000000})
        DrawStamp(outside.data(), 20, 20, 3, grey, 1.0f, 0.0f, c, 10);
    DrawStamp(outside.data(), 20, 20, 3, grey, 0.05f, 0.0f, 10, 10);
    DrawStamp(outside.data(), 20, 20, 3, grey, std::nanf(""), 0.0f, 10, 10);
    DrawStamp(outside.data(), 20, 20, 3, grey, 1e30f, 0.0f, 10, 10);
    EXPECT_EQ(outside.pixels, untouched.pixels);
}

TEST(StampDrawing, BilinearEnlargementAndAlphaBlend)
{
    // Red ramps 0, 20, ..., 180 across a 10-pixel stamp; doubled, the scaled
    // columns alternate between source columns and their rounded midpoints,
    // and land mirrored: patch column 6 + j gets 180 - 10 j.
    StampImage ramp = UniformStamp(10, 10, 0, 0, 0, 255);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ramp.pixels[(size_t(y) * 10 + x) * 4 + 2] = uint8_t(20 * x);
    PixelBuffer patch = Filled(30, 30, 0);
    DrawStamp(patch.data(), 30, 30, 3, ramp, 2.0f, 0.0f, 15, 15);
    for (int j = 0; j < 18; ++j)
        EXPECT_EQ(patch.at(6 + j, 15)[2], 180 - 10 * j) << j;

    // Half-transparent red over grey, and fully transparent over grey.
    PixelBuffer half = Filled(20, 20, 100);
    DrawStamp(half.data(), 20, 20, 3, UniformStamp(10, 10, 0, 0, 200, 128), 1.0f, 0.0f, 10, 10);
    const float a = 128.0f / 255.0f;
    EXPECT_EQ(half.at(10, 10)[2], int(200.0f * a + 100.0f * (1.0f - a)));
    EXPECT_EQ(half.at(10, 10)[0], int(100.0f * (1.0f - a)));
    PixelBuffer clear = Filled(20, 20, 100);
    DrawStamp(clear.data(), 20, 20, 3, UniformStamp(10, 10, 0, 0, 200, 0), 1.0f, 0.0f, 10, 10);
    EXPECT_EQ(clear.pixels, Filled(20, 20, 100).pixels);
}

TEST(StampRender, MistIsOneCentredStampWhileTheOthersDrawTwoValuesPerStamp)
{
    const int w = 201;
    const PixelBuffer black = Filled(w, w, 0);
    PixelBuffer out(w, w, 3);

    StampRenderer mist(w, w, 3);
    mist.setVariant(3);
    mist.setScale(1.0f);
    mist.setColour(0xFFFFFF);
    g_random_set_seed(1234);
    mist.render(black.data(), out.data());
    EXPECT_EQ(DrawsSinceSeed(1234), 1);
    // White mist is grey; its weight is centred in the patch; the stamp's
    // transparent corners leave the patch corners alone.
    double sum = 0, sx = 0, sy = 0;
    for (int y = 0; y < w; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = out.at(x, y);
            ASSERT_TRUE(p[0] == p[1] && p[1] == p[2]);
            sum += p[0];
            sx += double(p[0]) * x;
            sy += double(p[0]) * y;
        }
    ASSERT_GT(sum, 0);
    EXPECT_NEAR(sx / sum, w / 2, w * 0.08);
    EXPECT_NEAR(sy / sum, w / 2, w * 0.08);
    for (const auto& [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, w - 1}, {w - 1, w - 1}})
        EXPECT_EQ(out.at(x, y)[0], 0);

    for (const int variant : {0, 1, 2}) {
        StampRenderer r(w, w, 3);
        r.setVariant(variant);
        r.setScale(1.0f);
        r.setColour(0x00FF00);
        g_random_set_seed(99);
        r.render(black.data(), out.data());
        const int draws = DrawsSinceSeed(99);
        EXPECT_EQ(draws % 2, 0) << variant;
        EXPECT_GE(draws, 2) << variant;
        EXPECT_LE(draws, variant == 1 ? 8 : 12) << variant;
        // Replayed: stamp n at scale o r1 + o / 4 with o = w x share / stamp
        // width (share 0.2 for fireflies, 0.4 otherwise), its centre spread
        // by r1 and r2 over the patch less the stamp, turned by r2 x 360.
        const StampImage stamp = RecolourStamp(LoadStampImage(variant), 0x00FF00);
        PixelBuffer expected = black;
        GRand* replay = g_rand_new_with_seed(99);
        for (int n = 0; n < draws / 2; ++n) {
            const double r1 = g_rand_double(replay), r2 = g_rand_double(replay);
            const double o = w * (variant == 1 ? 0.2 : 0.4) / stamp.width;
            const float s = float(o * r1 + o * 0.25);
            const int d = w - int(float(stamp.width) * s);
            DrawStamp(expected.data(), w, w, 3, stamp, s, float(r2 * 360.0), int(w / 2 + d * r1 - d / 2),
                      int(w / 2 + d * r2 - d / 2));
        }
        g_rand_free(replay);
        EXPECT_EQ(out.pixels, expected.pixels) << variant;
    }
}

TEST(StampRender, VariantOutsideTheTableOnlyCopies)
{
    PixelBuffer src(40, 40, 3);
    for (size_t i = 0; i < src.byteCount(); ++i)
        src.pixels[i] = uint8_t(i * 7);
    for (const int variant : {-1, 4, 1000}) {
        PixelBuffer dst(40, 40, 3);
        StampRenderer r(40, 40, 3);
        r.setVariant(variant);
        r.render(src.data(), dst.data());
        EXPECT_EQ(dst.pixels, src.pixels) << variant;
    }
}

TEST(StampRender, DegeneratePatchesThroughRunEffect)
{
    for (const EffectId id : {125, 126, 127, 128}) {
        for (const auto& [w, h] : {std::pair{1, 1}, {2, 2}, {1, 50}, {50, 1}, {7, 3}, {3, 7}}) {
            PixelBuffer src = Filled(w, h, 77);
            PixelBuffer dst(w, h, 3);
            EffectRequest rq;
            rq.initialise();
            rq.set(id, w, h, 3);
            rq.RunEffect(src.data(), dst.data());
            if (w <= 2 && h <= 2) {  // every stamp is under a pixel wide
                EXPECT_EQ(dst.pixels, src.pixels) << id << " " << w << "x" << h;
            }
            // In place, as the canvas may pass the patch as both.
            rq.RunEffect(src.data(), src.data());
        }
    }
    // A real patch changes through RunEffect, with the request's colour.
    PixelBuffer src = Filled(120, 120, 0), dst(120, 120, 3);
    EffectRequest rq;
    rq.initialise();
    rq.colour = 0x0000FF;  // red
    rq.set(126, 120, 120, 3);
    rq.RunEffect(src.data(), dst.data());
    int reddish = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 120; ++x)
            reddish += dst.at(x, y)[2] > dst.at(x, y)[1] + 20;
    EXPECT_GT(reddish, 1000);
}
