// Auto on the sample photos and on spoiled versions of them: a colour cast
// added in linear light, an underexposure, a squeezed (dull) range. Each case
// measures what Auto's settings do to the photo, not the settings alone.
#include "engine/tone_analysis.h"

#include "tests/support/photo_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ombrik {
namespace {

// Every channel scaled in linear light (a cast or an exposure change).
PixelBuffer ScaleLinear(const PixelBuffer& src, double red, double green, double blue)
{
    PixelBuffer out = src;
    const double gains[3] = {blue, green, red};
    for (size_t i = 0; i < out.pixels.size(); ++i) {
        const double linear = SrgbToLinear(src.pixels[i] / 255.0) * gains[i % 3];
        out.pixels[i] = uint8_t(std::lround(255 * LinearToSrgb(std::min(1.0, linear))));
    }
    return out;
}

// The levels squeezed into 70 .. 185: a flat, hazy photo.
PixelBuffer Squeeze(const PixelBuffer& src)
{
    PixelBuffer out = src;
    for (uint8_t& v : out.pixels)
        v = uint8_t(std::lround(70 + v * 0.45));
    return out;
}

double MeanDifference(const PixelBuffer& a, const PixelBuffer& b)
{
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        sum += std::abs(int(a.pixels[i]) - int(b.pixels[i]));
    return sum / double(a.pixels.size());
}

PixelBuffer Adjusted(const AdjustParams& p, const PixelBuffer& src)
{
    PixelBuffer out;
    ApplyAdjustments(p, src, out);
    return out;
}

PixelBuffer AutoAdjusted(const PixelBuffer& src, AdjustParams* chosen = nullptr)
{
    const AdjustParams p = AutoAdjust(src);
    if (chosen)
        *chosen = p;
    return Adjusted(p, src);
}

// The colour of the photo's near-greys, in stops (see AutoAnalysis).
double CastSize(const PixelBuffer& photo)
{
    AutoAnalysis a;
    AutoAdjust(photo, &a);
    return std::hypot(a.castRed, a.castBlue);
}

// The astronaut portrait with its slight warmth taken out: a neutral photo.
PixelBuffer NeutralPhoto()
{
    const PixelBuffer photo = test::LoadSamplePhoto("astronaut.png", 256, 256);
    AutoAnalysis a;
    AutoAdjust(photo, &a);
    AdjustParams balance;
    balance.warmth = (a.castBlue - a.castRed) / 0.6 * 100;
    balance.tint = -(a.castRed + a.castBlue) / 0.9 * 100;
    return Adjusted(balance, photo);
}

// The luma levels between which the middle 98 % of the pixels lie.
std::pair<int, int> LumaRange(const PixelBuffer& photo)
{
    const Histogram h = ComputeHistogram(photo);
    const auto& bins = h.bins[Histogram::Luma];
    uint64_t seen = 0;
    int low = -1, high = 255;
    for (int v = 0; v < 256; ++v) {
        seen += bins[size_t(v)];
        if (low < 0 && seen >= h.pixels / 100)
            low = v;
        if (seen >= h.pixels - h.pixels / 100) {
            high = v;
            break;
        }
    }
    return {low, high};
}

TEST(Auto, GoodPhotosChangeLittle)
{
    const PixelBuffer neutral = NeutralPhoto();
    EXPECT_TRUE(AutoAdjust(neutral).isIdentity());
    for (const char* name : {"astronaut.png", "chelsea.png", "coffee.png"}) {
        SCOPED_TRACE(name);
        const PixelBuffer photo = test::LoadSamplePhoto(name);
        AdjustParams p;
        const PixelBuffer out = AutoAdjusted(photo, &p);
        EXPECT_LE(std::abs(p.exposure), 0.25);
        EXPECT_LE(std::abs(p.contrast) + std::abs(p.highlights) + std::abs(p.shadows), 15);
        EXPECT_LE(std::abs(p.warmth), 40);
        EXPECT_LE(std::abs(p.tint), 10);
        EXPECT_EQ(p.saturation, 0);
        EXPECT_EQ(p.vibrance, 0);
        EXPECT_TRUE(p.tone.isIdentity());
        EXPECT_LT(MeanDifference(out, photo), 3.5);
    }
}

TEST(Auto, TakesOutColourCasts)
{
    const PixelBuffer neutral = NeutralPhoto();
    ASSERT_LT(CastSize(neutral), 0.02);
    struct Cast {
        const char* name;
        double red, green, blue;
        double leftAtMost;  // of the cast, after Auto
    };
    // A warm cast is only partly taken out: Auto keeps some warmth as the
    // light's mood (see AutoAdjust).
    const Cast casts[] = {{"cool", 0.85, 1, 1.15, 0.1},
                          {"green", 1, 1.15, 1, 0.25},
                          {"magenta", 1, 0.87, 1, 0.25},
                          {"warm", 1.15, 1, 0.85, 0.6}};
    for (const Cast& c : casts) {
        SCOPED_TRACE(c.name);
        const PixelBuffer cast = ScaleLinear(neutral, c.red, c.green, c.blue);
        const double before = CastSize(cast);
        EXPECT_GT(before, 0.19);
        AdjustParams p;
        const double after = CastSize(AutoAdjusted(cast, &p));
        EXPECT_LT(after, before * c.leftAtMost) << "warmth " << p.warmth << " tint " << p.tint;
        EXPECT_EQ(p.exposure, 0);
    }
}

TEST(Auto, BrightensUnderexposedPhotos)
{
    for (const char* name : {"astronaut.png", "coffee.png"}) {
        SCOPED_TRACE(name);
        const PixelBuffer photo = test::LoadSamplePhoto(name, 240, 200);
        // 1.74 stops under.
        const PixelBuffer dark = ScaleLinear(photo, 0.3, 0.3, 0.3);
        AdjustParams p;
        const PixelBuffer out = AutoAdjusted(dark, &p);
        EXPECT_NEAR(p.exposure, 1.74, 0.3);
        EXPECT_LT(MeanDifference(out, photo), MeanDifference(dark, photo) / 5);
    }
}

TEST(Auto, SpreadsADullPhotoWithoutClipping)
{
    for (const char* name : {"astronaut.png", "coffee.png"}) {
        SCOPED_TRACE(name);
        const PixelBuffer photo = test::LoadSamplePhoto(name, 240, 200);
        const PixelBuffer dull = Squeeze(photo);
        const auto [low, high] = LumaRange(dull);
        AdjustParams p;
        const PixelBuffer out = AutoAdjusted(dull, &p);
        const auto [outLow, outHigh] = LumaRange(out);
        EXPECT_GT(outHigh - outLow, 1.6 * (high - low)) << low << ".." << high << " → " << outLow << ".." << outHigh;
        const Histogram h = ComputeHistogram(out);
        EXPECT_LT(h.shadowsShare() + h.highlightsShare(), 0.005);
        EXPECT_LT(MeanDifference(out, photo), MeanDifference(dull, photo) / 2);
    }
}

TEST(Auto, BadInputGivesNoSettings)
{
    EXPECT_TRUE(AutoAdjust(PixelBuffer()).isIdentity());
    EXPECT_TRUE(AutoAdjust(PixelBuffer(3, 2, 4)).isIdentity());
    // One flat colour, black, white: nothing to measure a cast or a range on
    // sensibly, and nothing may come out of range.
    for (const uint8_t v : {uint8_t(0), uint8_t(128), uint8_t(255)}) {
        PixelBuffer flat(8, 8, 3);
        std::fill(flat.pixels.begin(), flat.pixels.end(), v);
        const AdjustParams p = AutoAdjust(flat);
        EXPECT_TRUE(p.valid()) << int(v);
    }
}

} // namespace
} // namespace ombrik
