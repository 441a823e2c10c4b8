// Levels, curves, their eyedroppers and the histogram: values worked out by
// hand, the shape guarantees of the curve (through its points, monotone, no
// overshoot), channel independence and the order of the stages.
#include "engine/adjust.h"
#include "engine/tone_analysis.h"
#include "engine/tone_curves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace ombrik {
namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Rgb& c)
{
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

Rgb Adjust(const AdjustParams& p, Rgb in)
{
    const uint8_t bgr[3] = {uint8_t(in.b), uint8_t(in.g), uint8_t(in.r)};
    uint8_t out[3];
    Adjuster(p).applyPixel(bgr, out);
    return {out[2], out[1], out[0]};
}

AdjustParams WithLevels(ToneChannel c, Levels l)
{
    AdjustParams p;
    p.tone.levels[size_t(c)] = l;
    return p;
}

AdjustParams WithCurve(ToneChannel c, std::vector<CurvePoint> points)
{
    AdjustParams p;
    p.tone.curves[size_t(c)] = Curve{std::move(points)};
    return p;
}

TEST(Levels, EndPointsGammaAndChannels)
{
    // Black 20, white 220: 20 → 0, 220 → 255, 120 → 127.5, 100 → 80 / 200 × 255 = 102.
    const Levels stretch{20, 1, 220};
    EXPECT_DOUBLE_EQ(stretch.map(20), 0);
    EXPECT_DOUBLE_EQ(stretch.map(10), 0);
    EXPECT_DOUBLE_EQ(stretch.map(220), 255);
    EXPECT_DOUBLE_EQ(stretch.map(250), 255);
    EXPECT_DOUBLE_EQ(stretch.map(120), 127.5);
    EXPECT_EQ(Adjust(WithLevels(ToneChannel::Rgb, stretch), {100, 100, 100}), (Rgb{102, 102, 102}));
    // Gamma 2 raises a quarter to a half: 63.75 → 127.5; gamma 0.5 the reverse.
    EXPECT_DOUBLE_EQ((Levels{0, 2, 255}).map(63.75), 127.5);
    EXPECT_DOUBLE_EQ((Levels{0, 0.5, 255}).map(127.5), 63.75);
    // 51 / 255 = 0.2; 0.2^(1/2) × 255 = 114.04.
    EXPECT_EQ(Adjust(WithLevels(ToneChannel::Rgb, {0, 2, 255}), {51, 51, 51}), (Rgb{114, 114, 114}));

    // A channel's levels touch that channel only.
    const AdjustParams red = WithLevels(ToneChannel::Red, {0, 1, 200});
    EXPECT_EQ(Adjust(red, {150, 150, 150}), (Rgb{191, 150, 150}));  // 150 / 200 × 255 = 191.25
    const AdjustParams blue = WithLevels(ToneChannel::Blue, {50, 1, 255});
    EXPECT_EQ(Adjust(blue, {40, 40, 40}), (Rgb{40, 40, 0}));

    // The channel's levels come first, then the RGB ones: red 100 → 127.5 →
    // 255 × 0.5^(1/2) = 180.3; the other way round it would be 204.
    AdjustParams both = red;
    both.tone.levels[size_t(ToneChannel::Rgb)] = {0, 2, 255};
    EXPECT_EQ(Adjust(both, {100, 100, 100}).r, 180);

    EXPECT_TRUE(Levels().isIdentity());
    EXPECT_TRUE(Levels().valid());
    for (const Levels& bad : {Levels{-1, 1, 255}, Levels{0, 1, 256}, Levels{100, 1, 100.5}, Levels{0, 0.05, 255},
                              Levels{0, 11, 255}, Levels{0, NAN, 255}, Levels{200, 1, 100}})
        EXPECT_FALSE(bad.valid()) << bad.black << " " << bad.gamma << " " << bad.white;
    // Invalid levels do nothing rather than something undefined.
    AdjustParams invalid = WithLevels(ToneChannel::Rgb, {200, 1, 100});
    EXPECT_FALSE(invalid.valid());
    EXPECT_EQ(Adjust(invalid, {10, 128, 250}), (Rgb{10, 128, 250}));
}

TEST(Curves, ThroughThePointsMonotoneWithoutOvershoot)
{
    // A straight line through its points and flat beyond the last one.
    const CurveSpline half(Curve{{{0, 0}, {100, 50}, {200, 100}}});
    EXPECT_DOUBLE_EQ(half(150), 75);
    EXPECT_DOUBLE_EQ(half(250), 100);
    // Rising then flat: tangents 1, 0, 0; at x = 50 the Hermite sum is
    // 0.125 × 100 × 1 + 0.5 × 100 = 62.5.
    const CurveSpline knee(Curve{{{0, 0}, {100, 100}, {200, 100}}});
    EXPECT_NEAR(knee(50), 62.5, 1e-9);
    EXPECT_DOUBLE_EQ(knee(150), 100);
    // Flat before the first point.
    EXPECT_DOUBLE_EQ(CurveSpline(Curve{{{30, 40}, {255, 255}}})(10), 40);

    const std::vector<Curve> curves = {
        Curve{{{0, 0}, {64, 52}, {192, 210}, {255, 255}}},
        Curve{{{0, 0}, {100, 10}, {110, 240}, {255, 255}}},  // a steep step between gentle pieces
        Curve{{{0, 0}, {128, 255}, {255, 0}}},               // up, then down
        Curve{{{0, 255}, {90, 200}, {91, 30}, {255, 0}}},    // falling
        PresetCurve(CurvePreset::StrongS),
    };
    for (const Curve& curve : curves) {
        ASSERT_TRUE(curve.valid());
        const CurveSpline s(curve);
        for (const CurvePoint& p : curve.points)
            EXPECT_NEAR(s(p.x), p.y, 1e-9);
        for (size_t k = 0; k + 1 < curve.points.size(); ++k) {
            const CurvePoint a = curve.points[k], b = curve.points[k + 1];
            const double dir = b.y > a.y ? 1 : b.y < a.y ? -1 : 0;
            double last = a.y;
            for (double x = a.x; x <= b.x; x += 0.125) {
                const double y = s(x);
                ASSERT_GE(y, std::min(a.y, b.y) - 1e-9) << "x " << x;
                ASSERT_LE(y, std::max(a.y, b.y) + 1e-9) << "x " << x;
                ASSERT_GE((y - last) * dir, -1e-9) << "not monotone at x " << x;
                last = y;
            }
        }
    }

    // Identity forms, presets and limits.
    EXPECT_TRUE(Curve().isIdentity());
    EXPECT_TRUE(Curve::linear().isIdentity());
    EXPECT_TRUE((Curve{{{0, 0}, {77, 77}, {255, 255}}}).isIdentity());
    EXPECT_FALSE((Curve{{{10, 10}, {255, 255}}}).isIdentity());
    EXPECT_TRUE(PresetCurve(CurvePreset::Linear).isIdentity());
    for (int i = 1; i < kCurvePresets; ++i)
        EXPECT_FALSE(PresetCurve(CurvePreset(i)).isIdentity());
    const CurveSpline lift(PresetCurve(CurvePreset::LiftShadows)), soft(PresetCurve(CurvePreset::SoftS));
    EXPECT_GT(lift(40), 50);
    EXPECT_LT(soft(50), 50);
    EXPECT_GT(soft(205), 205);
    for (const Curve& bad : {Curve{{{0, 0}}}, Curve{{{0, 0}, {0, 9}}}, Curve{{{10, 0}, {5, 9}}},
                             Curve{{{0, 0}, {256, 255}}}, Curve{{{0, -1}, {255, 255}}},
                             Curve{std::vector<CurvePoint>(17, CurvePoint{})}})
        EXPECT_FALSE(bad.valid());
}

TEST(Curves, ChannelsAreIndependentAndRgbComesLast)
{
    // 0,0 255,128: 100 → 50.2.
    const AdjustParams green = WithCurve(ToneChannel::Green, {{0, 0}, {255, 128}});
    EXPECT_EQ(Adjust(green, {100, 100, 100}), (Rgb{100, 50, 100}));
    for (int v = 0; v < 256; v += 15) {
        const Rgb out = Adjust(green, {v, 255 - v, v / 2});
        EXPECT_EQ(out.r, v);
        EXPECT_EQ(out.b, v / 2);
    }
    // The green curve, then the RGB curve (flat from 128 on): green 200 → 100.4
    // → 100; the other way round it would be 64.
    AdjustParams both = green;
    both.tone.curves[size_t(ToneChannel::Rgb)] = Curve{{{0, 0}, {128, 128}}};
    EXPECT_EQ(Adjust(both, {200, 200, 20}), (Rgb{128, 100, 20}));
    // Levels come before curves: black 100 takes 150 to 82.3, then halved (the
    // other way round it would be 0).
    AdjustParams order = WithLevels(ToneChannel::Green, {100, 1, 255});
    order.tone.curves[size_t(ToneChannel::Green)] = Curve{{{0, 0}, {255, 128}}};
    EXPECT_EQ(Adjust(order, {0, 150, 0}).g, 41);
}

TEST(Levels, EyedroppersMakeThePickedColourBlackWhiteOrGrey)
{
    std::array<Levels, kToneChannels> levels{};
    ASSERT_TRUE(PickLevels(levels, LevelsPick::Black, {30, 40, 50}));
    EXPECT_EQ(levels[1].black, 30);
    EXPECT_EQ(levels[2].black, 40);
    EXPECT_EQ(levels[3].black, 50);
    ASSERT_TRUE(PickLevels(levels, LevelsPick::White, {200, 230, 240}));
    EXPECT_TRUE(levels[0].isIdentity());
    AdjustParams p;
    p.tone.levels = levels;
    EXPECT_EQ(Adjust(p, {30, 40, 50}), (Rgb{0, 0, 0}));
    EXPECT_EQ(Adjust(p, {200, 230, 240}), (Rgb{255, 255, 255}));
    // A grey pick: the three channels meet at the level they average now.
    const Rgb sample{120, 140, 170};
    ASSERT_TRUE(PickLevels(levels, LevelsPick::Grey, {double(sample.r), double(sample.g), double(sample.b)}));
    p.tone.levels = levels;
    const Rgb grey = Adjust(p, sample);
    EXPECT_NEAR(grey.g, grey.r, 1);
    EXPECT_NEAR(grey.b, grey.r, 1);
    const double before = (Levels{30, 1, 200}.map(120) + Levels{40, 1, 230}.map(140) + Levels{50, 1, 240}.map(170)) / 3;
    EXPECT_NEAR(grey.g, before, 1);
    // An RGB gamma on top keeps the grey grey.
    p.tone.levels[0] = {0, 1.7, 255};
    const Rgb still = Adjust(p, sample);
    EXPECT_NEAR(still.b, still.r, 1);
    EXPECT_GT(still.r, grey.r + 10);

    // The colour an eyedropper takes: the 3 × 3 mean, after the sliders.
    PixelBuffer photo(4, 3, 3);
    for (int i = 0; i < 12; ++i) {
        uint8_t* px = photo.at(i % 4, i / 4);
        px[0] = uint8_t(10 * i);  // blue
        px[1] = 100;
        px[2] = uint8_t(i % 4 == 3 ? 250 : 40);  // red
    }
    AdjustParams brighter;
    brighter.exposure = 1;
    brighter.tone = p.tone;  // levels do not change what the eyedropper sees
    const std::array<double, 3> corner = ColourBeforeLevels(photo, 0, 0, AdjustParams());
    EXPECT_DOUBLE_EQ(corner[0], 40);
    EXPECT_DOUBLE_EQ(corner[2], (0 + 10 + 40 + 50) / 4.0);
    const std::array<double, 3> middle = ColourBeforeLevels(photo, 2, 1, brighter);
    const Adjuster up(AdjustParams{.exposure = 1});
    EXPECT_NEAR(middle[1], up.channelLevel(1, 100) / 16.0, 1e-9);
    EXPECT_NEAR(middle[0], (6 * up.channelLevel(2, 40) + 3 * up.channelLevel(2, 250)) / 16.0 / 9, 1e-9);
    EXPECT_EQ(ColourBeforeLevels(photo, 4, 0, brighter), (std::array<double, 3>{}));

    // Colours that cannot serve leave the levels as they were.
    const auto kept = levels;
    EXPECT_FALSE(PickLevels(levels, LevelsPick::Grey, {0, 0, 0}));
    EXPECT_FALSE(PickLevels(levels, LevelsPick::Grey, {255, 128, 128}));
    EXPECT_FALSE(PickLevels(levels, LevelsPick::White, {20, 100, 100}));  // at or below red's black
    EXPECT_FALSE(PickLevels(levels, LevelsPick::Black, {100, 250, 100}));  // above green's white
    EXPECT_FALSE(PickLevels(levels, LevelsPick::Black, {NAN, 1, 1}));
    EXPECT_EQ(levels, kept);
}

TEST(Histogram, CountsLevelsLumaAndClipping)
{
    PixelBuffer photo(4, 1, 3);
    const uint8_t bgr[] = {0, 0, 0, 255, 255, 255, 30, 20, 10, 7, 0, 255};
    std::copy(std::begin(bgr), std::end(bgr), photo.data());
    const Histogram h = ComputeHistogram(photo);
    EXPECT_EQ(h.pixels, 4u);
    EXPECT_EQ(h.shadowsClipped, 2u);     // black, and the green 0 of the last pixel
    EXPECT_EQ(h.highlightsClipped, 2u);  // white, and the last pixel's red
    EXPECT_DOUBLE_EQ(h.shadowsShare(), 0.5);
    EXPECT_EQ(h.bins[Histogram::Red][10], 1u);
    EXPECT_EQ(h.bins[Histogram::Red][255], 2u);
    EXPECT_EQ(h.bins[Histogram::Blue][7], 1u);
    EXPECT_EQ(h.bins[Histogram::Green][0], 2u);
    // Luma (54 r + 183 g + 19 b) / 256, rounded: (540 + 3660 + 570) / 256 = 18.6.
    EXPECT_EQ(h.bins[Histogram::Luma][19], 1u);
    EXPECT_EQ(h.bins[Histogram::Luma][0], 1u);
    EXPECT_EQ(h.bins[Histogram::Luma][255], 1u);
    EXPECT_EQ(h.bins[Histogram::Luma][(54 * 255 + 19 * 7 + 128) >> 8], 1u);

    // A photo large enough for both cores gives the counts of a plain loop.
    PixelBuffer big(160, 123, 3);
    std::mt19937 random(5);
    for (uint8_t& v : big.pixels)
        v = uint8_t(std::min(255, int(random() % 300)));
    Histogram plain;
    for (size_t i = 0; i < big.pixels.size(); i += 3) {
        const int b = big.pixels[i], g = big.pixels[i + 1], r = big.pixels[i + 2];
        ++plain.bins[0][size_t((54 * r + 183 * g + 19 * b + 128) >> 8)];
        ++plain.bins[1][size_t(r)];
        ++plain.bins[2][size_t(g)];
        ++plain.bins[3][size_t(b)];
        plain.shadowsClipped += !b || !g || !r;
        plain.highlightsClipped += b == 255 || g == 255 || r == 255;
    }
    plain.pixels = 160 * 123;
    EXPECT_EQ(ComputeHistogram(big), plain);
}

} // namespace
} // namespace ombrik
