// The recursive Gaussian against a sampled Gaussian, the integer HSL
// conversions on hand-worked colours, and Soft Glow and Edge Paint on uniform,
// black, edged and degenerate images.
#include "artistic/gaussian_blur.h"
#include "artistic/glow_edge_filter.h"
#include "effects/effect_request.h"
#include "engine/pixel_buffer.h"
#include "engine/progress.h"
#include "tests/support/photo_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

using namespace ombrik;

namespace {

PixelBuffer Uniform(int w, int h, uint8_t c0, uint8_t c1, uint8_t c2)
{
    PixelBuffer b(w, h, 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            b.at(x, y)[0] = c0;
            b.at(x, y)[1] = c1;
            b.at(x, y)[2] = c2;
        }
    return b;
}

constexpr EffectId kSoftGlow = 43;
constexpr EffectId kEdgePaint = 52;

} // namespace

TEST(RecursiveGaussian, ImpulseResponseFollowsTheGaussian)
{
    for (double radius : {2.0, 8.0, 11.0}) {
        const double sigma = GaussianSigmaForRadius(radius);
        EXPECT_NEAR(sigma, radius / std::sqrt(2.0 * std::log(255.0)), 1e-12);
        RecursiveGaussian gauss(sigma);
        std::vector<double> in(81, 0.0), out(81);
        in[40] = 1000.0;
        gauss.blurInterleaved(in.data(), out.data(), 81, 1);
        double area = 0;
        for (int t = 0; t < 81; ++t) {
            const double k = t - 40;
            const double expected = 1000.0 * std::exp(-k * k / (2 * sigma * sigma)) / (sigma * std::sqrt(2 * M_PI));
            EXPECT_NEAR(out[size_t(t)], expected, 0.1) << "radius " << radius << " at " << k;
            EXPECT_NEAR(out[size_t(t)], out[size_t(80 - t)], 1e-9);
            area += out[size_t(t)];
        }
        EXPECT_NEAR(area, 1000.0, 2.0);
    }
}

TEST(RecursiveGaussian, InterleavedLinesAreFilteredAsIfAlone)
{
    const int n = 37;
    std::vector<double> lines[3];
    for (int l = 0; l < 3; ++l)
        for (int t = 0; t < n; ++t)
            lines[l].push_back(double((t * (l + 3) * 37) % 256));
    std::vector<double> interleaved(size_t(n) * 3), together(interleaved.size());
    for (int t = 0; t < n; ++t)
        for (int l = 0; l < 3; ++l)
            interleaved[size_t(t) * 3 + size_t(l)] = lines[l][size_t(t)];
    RecursiveGaussian gauss(GaussianSigmaForRadius(8));
    gauss.blurInterleaved(interleaved.data(), together.data(), n, 3);
    for (int l = 0; l < 3; ++l) {
        std::vector<double> alone(static_cast<size_t>(n));
        gauss.blurInterleaved(lines[l].data(), alone.data(), n, 1);
        for (int t = 0; t < n; ++t)
            ASSERT_EQ(alone[size_t(t)], together[size_t(t) * 3 + size_t(l)]) << l << "," << t;
    }
}

TEST(RecursiveGaussian, ByteImagesKeepFlatValuesAndRowsMatchTransposedColumns)
{
    // Any line length, down to one sample, keeps a constant; the filter's gain
    // is a hair above 1, so truncation does not lose a level.
    for (double radius : {2.0, 8.0, 11.0})
        for (int len : {1, 2, 3, 4, 5, 40})
            for (int v = 0; v < 256; v += 15) {
                std::vector<uint8_t> image(size_t(len) * 3, uint8_t(v));
                BlurByteImageLines(image.data(), 3, len, GaussianSigmaForRadius(radius), false);
                BlurByteImageLines(image.data(), 3, len, GaussianSigmaForRadius(radius), true);
                for (uint8_t got : image)
                    ASSERT_EQ(got, v) << "radius " << radius << " length " << len;
            }

    // Blurring the rows of an image is blurring the columns of its transpose.
    const int w = 45, h = 23;
    std::vector<uint8_t> image(size_t(w * h)), transposed(image.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image[size_t(y * w + x)] = transposed[size_t(x * h + y)] = uint8_t((x * x * 7 + y * 31) % 256);
    BlurByteImageLines(image.data(), w, h, GaussianSigmaForRadius(8), true);
    BlurByteImageLines(transposed.data(), h, w, GaussianSigmaForRadius(8), false);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(image[size_t(y * w + x)], transposed[size_t(x * h + y)]) << x << "," << y;
}

TEST(IntegerHsl, GreySurvivesTheRoundTrip)
{
    for (int v = 0; v < 256; ++v) {
        const uint8_t grey[3] = {uint8_t(v), uint8_t(v), uint8_t(v)};
        const IntegerHsl hsl = RgbToIntegerHsl(grey);
        EXPECT_EQ(hsl.h, 0);
        EXPECT_EQ(hsl.s, 0);
        EXPECT_EQ(hsl.l, v);
        uint8_t back[3] = {};
        IntegerHslToRgb(hsl, back);
        EXPECT_EQ(back[0], v);
        EXPECT_EQ(back[1], v);
        EXPECT_EQ(back[2], v);
    }
}

TEST(IntegerHsl, HandWorkedColours)
{
    struct Case {
        uint8_t in[3];
        int h, s, l;
        uint8_t out[3];
    };
    // (100, 150, 200): l = 150, s = 100 × 255 / 211 = 120.85, h = (4 - 0.5) × 42.5 = 148.75;
    // back: m2 = 0.78362, m1 = 0.39285 give 100, 149, 200.
    // Pure primaries come back with 1 in place of 0: l rounds 127.5 up to 128.
    const Case cases[] = {
        {{100, 150, 200}, 149, 121, 150, {100, 149, 200}},
        {{255, 0, 0}, 0, 255, 128, {255, 1, 1}},
        {{0, 0, 255}, 170, 255, 128, {1, 1, 255}},
        {{0, 255, 0}, 85, 255, 128, {1, 255, 1}},
    };
    for (const Case& c : cases) {
        const IntegerHsl hsl = RgbToIntegerHsl(c.in);
        EXPECT_EQ(hsl.h, c.h);
        EXPECT_EQ(hsl.s, c.s);
        EXPECT_EQ(hsl.l, c.l);
        EXPECT_EQ(IntegerLightness(c.in), c.l);
        uint8_t back[3] = {};
        IntegerHslToRgb(hsl, back);
        EXPECT_EQ(back[0], c.out[0]);
        EXPECT_EQ(back[1], c.out[1]);
        EXPECT_EQ(back[2], c.out[2]);
    }
}

TEST(SoftGlow, UniformImageGetsOneScreenedGlow)
{
    for (int v : {0, 60, 128, 250}) {
        const PixelBuffer dst = test::RunCatalogueEffect(kSoftGlow, Uniform(31, 17, uint8_t(v), uint8_t(v), uint8_t(v)));
        // Glow of the lightness through the contrast curve, then a screen:
        // 255 - (255 - v)(255 - g) / 255, rounded.
        const double curve = 255.0 / (std::exp(-(v / 255.0 - 0.5) * 19.0) + 1.0) * 0.6;
        const int g = int(curve);
        const int expected = 255 - int(std::lround((255.0 - v) * (255.0 - g) / 255.0));
        for (uint8_t got : dst.pixels)
            ASSERT_EQ(got, expected) << "grey " << v;
    }
    const PixelBuffer colour = test::RunCatalogueEffect(kSoftGlow, Uniform(20, 20, 30, 90, 200));
    for (int i = 3; i < int(colour.pixels.size()); ++i)
        ASSERT_EQ(colour.pixels[size_t(i)], colour.pixels[size_t(i % 3)]);
}

TEST(SoftGlow, BrightensAndReportsProgressToTheEnd)
{
    const PixelBuffer src = test::LoadSamplePhoto("chelsea.png", 120, 80);
    ASSERT_FALSE(src.empty());
    std::vector<int> seen;
    PixelBuffer dst;
    {
        ScopedProgressSink sink([&](int p) { seen.push_back(p); });
        dst = test::RunCatalogueEffect(kSoftGlow, src);
    }
    // A screen never darkens.
    for (size_t i = 0; i < src.pixels.size(); ++i)
        ASSERT_GE(dst.pixels[i], src.pixels[i]);
    // Every 5th column and row, then 100.
    ASSERT_EQ(seen.size(), size_t(120 / 5 + 80 / 5 + 1));
    EXPECT_EQ(seen.back(), 100);
    // After row 75: (W·H + 76·W) / (3·W·H) = 65 %; the blur is about two
    // thirds of the work.
    EXPECT_EQ(seen[seen.size() - 2], 65);
    for (size_t i = 1; i < seen.size(); ++i)
        EXPECT_LE(seen[i - 1], seen[i]);
}

TEST(EdgePaint, BlackStaysBlackAndUniformKeepsItsLightness)
{
    const PixelBuffer black = test::RunCatalogueEffect(kEdgePaint, Uniform(33, 21, 0, 0, 0));
    for (uint8_t v : black.pixels)
        ASSERT_EQ(v, 0);
    for (int v : {1, 77, 200, 255}) {
        const PixelBuffer grey = test::RunCatalogueEffect(kEdgePaint, Uniform(33, 21, uint8_t(v), uint8_t(v), uint8_t(v)));
        for (uint8_t got : grey.pixels)
            ASSERT_EQ(got, v);
    }
    // A colour keeps its lightness, hue and saturation: only the HSL round
    // trip's rounding shows (see HandWorkedColours).
    const PixelBuffer colour = test::RunCatalogueEffect(kEdgePaint, Uniform(33, 21, 100, 150, 200));
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 33; ++x) {
            const uint8_t* p = colour.at(x, y);
            ASSERT_TRUE(p[0] == 100 && p[1] == 149 && p[2] == 200) << x << "," << y;
        }
}

TEST(EdgePaint, InksADarkLineAndLeavesFlatAreasAlone)
{
    PixelBuffer src = Uniform(60, 40, 200, 200, 200);
    for (int y = 0; y < 40; ++y)
        for (int x = 30; x < 32; ++x)
            std::memset(src.at(x, y), 40, 3);
    const PixelBuffer dst = test::RunCatalogueEffect(kEdgePaint, src);
    for (int y = 0; y < 40; ++y) {
        for (int x : {0, 5, 50, 59})
            EXPECT_EQ(dst.at(x, y)[0], 200) << x << "," << y;
        // The line, darker than its surroundings at the narrow scale, is
        // inked to (nearly) black; its neighbours take the narrow blur's
        // softened lightness.
        EXPECT_LT(dst.at(30, y)[0], 10);
        EXPECT_LT(dst.at(31, y)[0], 10);
        for (int x : {29, 32}) {
            EXPECT_GT(dst.at(x, y)[0], 100);
            EXPECT_LT(dst.at(x, y)[0], 200);
        }
    }
}

TEST(GlowAndEdgePaint, DegenerateSizesAndFourBytePixels)
{
    for (auto [w, h] : {std::pair{1, 1}, {2, 2}, {1, 40}, {40, 1}, {3, 7}}) {
        PixelBuffer src(w, h, 3);
        for (size_t i = 0; i < src.pixels.size(); ++i)
            src.pixels[i] = uint8_t(i * 53);
        for (EffectId id : {kSoftGlow, kEdgePaint}) {
            const PixelBuffer dst = test::RunCatalogueEffect(id, src);
            ASSERT_EQ(dst.pixels.size(), src.pixels.size());
        }
        const PixelBuffer flat = test::RunCatalogueEffect(kEdgePaint, Uniform(w, h, 90, 90, 90));
        for (uint8_t v : flat.pixels)
            ASSERT_EQ(v, 90) << w << "x" << h;
    }

    const PixelBuffer rgb = test::LoadSamplePhoto("coffee.png", 64, 48);
    ASSERT_FALSE(rgb.empty());
    PixelBuffer rgba(64, 48, 4);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            std::memcpy(rgba.at(x, y), rgb.at(x, y), 3);
            rgba.at(x, y)[3] = uint8_t(3 * x + y);
        }
    for (EffectId id : {kSoftGlow, kEdgePaint}) {
        const PixelBuffer out3 = test::RunCatalogueEffect(id, rgb);
        const PixelBuffer out4 = test::RunCatalogueEffect(id, rgba);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                ASSERT_EQ(0, std::memcmp(out3.at(x, y), out4.at(x, y), 3)) << id << " at " << x << "," << y;
                ASSERT_EQ(out4.at(x, y)[3], uint8_t(3 * x + y));
            }
    }
}

namespace {

// A plain sampled Gaussian (σ from the blur radius) with the line's end
// samples repeated beyond it, summed and truncated like the filter's bytes.
std::vector<uint8_t> PlainBlur(const std::vector<uint8_t>& image, int w, int h, double radius, bool rows)
{
    const double sigma = radius / std::sqrt(2.0 * std::log(255.0));
    const int reach = int(std::ceil(5 * sigma));
    std::vector<double> kernel;
    double sum = 0;
    for (int k = -reach; k <= reach; ++k)
        sum += kernel.emplace_back(std::exp(-k * k / (2 * sigma * sigma)));
    std::vector<uint8_t> out(image.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double v = 0;
            for (int k = -reach; k <= reach; ++k) {
                const int sx = rows ? std::clamp(x + k, 0, w - 1) : x, sy = rows ? y : std::clamp(y + k, 0, h - 1);
                v += kernel[size_t(k + reach)] / sum * image[size_t(sy * w + sx)];
            }
            out[size_t(y * w + x)] = uint8_t(std::clamp(v, 0.0, 255.0));
        }
    return out;
}

std::vector<uint8_t> PlainBlur2d(const std::vector<uint8_t>& image, int w, int h, double radius)
{
    return PlainBlur(PlainBlur(image, w, h, radius, false), w, h, radius, true);
}

// Both effects worked from their rules with the plain blur above. The
// recursive blur only approximates the Gaussian, so bytes may differ by a
// level; Edge Paint's darkening divides that difference by its ramp, so there
// only the mean difference and the worst one are bounded.
void ExpectNearPlainReference(EffectId id, const PixelBuffer& src, const std::vector<uint8_t>& expected, int worst,
                              double mean)
{
    const PixelBuffer got = test::RunCatalogueEffect(id, src);
    int most = 0;
    double sum = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
        const int d = std::abs(int(got.pixels[i]) - int(expected[i]));
        most = std::max(most, d);
        sum += d;
    }
    EXPECT_LE(most, worst) << "effect " << id;
    EXPECT_LE(sum / double(expected.size()), mean) << "effect " << id;
}

} // namespace

TEST(GlowAndEdgePaint, MatchAPlainGaussianReference)
{
    PixelBuffer src(48, 36, 3);
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 48; ++x) {
            uint8_t* p = src.at(x, y);
            p[0] = uint8_t(x * 5), p[1] = uint8_t(y * 7), p[2] = uint8_t((x / 12 + y / 9) % 2 ? 220 : 30);
        }
    const int w = src.width, h = src.height, n = w * h;
    std::vector<uint8_t> light(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        light[size_t(i)] = uint8_t(IntegerLightness(src.pixels.data() + 3 * i));

    // Soft Glow: the lightness through a logistic curve of slope 19 at
    // strength 0.6, blurred at radius 11, screened over every channel.
    std::vector<uint8_t> glow(light.size());
    for (int i = 0; i < n; ++i)
        glow[size_t(i)] = uint8_t(std::clamp(255.0 / (std::exp(-(light[size_t(i)] / 255.0 - 0.5) * 19.0) + 1) * 0.6, 0.0, 255.0));
    glow = PlainBlur2d(glow, w, h, 11);
    std::vector<uint8_t> expected(src.pixels.size());
    for (size_t i = 0; i < expected.size(); ++i)
        expected[i] = uint8_t(255 - int(std::lround((255.0 - src.pixels[i]) * (255.0 - glow[i / 3]) / 255.0)));
    ExpectNearPlainReference(kSoftGlow, src, expected, 1, 0.05);

    // Edge Paint: lightness of the channels blurred down the columns (radius 2
    // and 8), blurred along the rows; ratio under 1 darkens along a ramp
    // that turns the darkest fifth of the candidates black.
    std::vector<uint8_t> narrow(light.size()), wide(light.size());
    for (double radius : {2.0, 8.0}) {
        std::vector<uint8_t> channels[3];
        for (int c = 0; c < 3; ++c) {
            for (int i = 0; i < n; ++i)
                channels[c].push_back(src.pixels[size_t(3 * i + c)]);
            channels[c] = PlainBlur(channels[c], w, h, radius, false);
        }
        std::vector<uint8_t>& target = radius == 2.0 ? narrow : wide;
        for (int i = 0; i < n; ++i) {
            const uint8_t p[3] = {channels[0][size_t(i)], channels[1][size_t(i)], channels[2][size_t(i)]};
            target[size_t(i)] = uint8_t(IntegerLightness(p));
        }
        target = PlainBlur(target, w, h, radius, true);
    }
    std::vector<double> ratios;
    for (int i = 0; i < n; ++i)
        if (wide[size_t(i)] != 0 && narrow[size_t(i)] < wide[size_t(i)])
            ratios.push_back(double(narrow[size_t(i)]) / wide[size_t(i)]);
    std::sort(ratios.begin(), ratios.end());
    const double ramp = 1.0 - std::floor(ratios[size_t(double(ratios.size()) * 0.2)] * 100) * 0.01;
    for (int i = 0; i < n; ++i) {
        const double q = double(narrow[size_t(i)]) / wide[size_t(i)];
        const double f = q >= 1 ? 1 : (ramp - std::min(ramp, 1 - q)) / ramp;
        IntegerHsl hsl = RgbToIntegerHsl(src.pixels.data() + 3 * i);
        hsl.l = int(std::clamp(narrow[size_t(i)] * f, 0.0, 255.0));
        IntegerHslToRgb(hsl, expected.data() + 3 * i);
    }
    ExpectNearPlainReference(kEdgePaint, src, expected, 13, 1.2);
}
