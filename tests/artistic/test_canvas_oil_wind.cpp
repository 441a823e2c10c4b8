// Canvas, Oil Paint and Wind.
#include "artistic/canvas_filter.h"
#include "artistic/canvas_texture.h"
#include "artistic/oil_paint_filter.h"
#include "artistic/wind_filter.h"
#include "effects/effect_request.h"
#include "engine/pixel_buffer.h"
#include "engine/progress.h"
#include "tests/support/photo_fixture.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

using namespace ombrik;

namespace {

constexpr EffectId kCanvas = 40, kOilPaint = 47, kWind = 54;

PixelBuffer Filled(int w, int h, uint8_t b, uint8_t g, uint8_t r, int bpp = 3)
{
    PixelBuffer buf(w, h, bpp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = buf.at(x, y);
            p[0] = b, p[1] = g, p[2] = r;
            if (bpp == 4)
                p[3] = uint8_t(x * 7 + y);
        }
    return buf;
}

PixelBuffer Noise(int w, int h, int levels, unsigned seed, int bpp = 3)
{
    PixelBuffer buf(w, h, bpp);
    GRand* rng = g_rand_new_with_seed(seed);
    for (uint8_t& v : buf.pixels)
        v = uint8_t(g_rand_int_range(rng, 0, levels) * (255 / (levels - 1)));
    g_rand_free(rng);
    return buf;
}

} // namespace

// The table itself: range, statistics, and no seam where it wraps.
TEST(CanvasTexture, RangeStatisticsAndTiling)
{
    const int n = kCanvasTextureSize;
    double sum = 0.0, sumSq = 0.0;
    int lo = 0, hi = 0;
    for (int v : std::vector<int>(CanvasTexture(), CanvasTexture() + n * n)) {
        sum += v;
        sumSq += double(v) * v;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    const double mean = sum / (n * n);
    EXPECT_EQ(lo, -75);
    EXPECT_EQ(hi, 75);
    EXPECT_NEAR(mean, 0.0, 1.0);
    EXPECT_NEAR(std::sqrt(sumSq / (n * n) - mean * mean), 29.0, 1.5);

    // Differences across the wrap compared with those between neighbours inside.
    auto columnStep = [&](int a, int b) {
        double d = 0;
        for (int y = 0; y < n; ++y)
            d += std::abs(CanvasTextureAt(a, y) - CanvasTextureAt(b, y));
        return d / n;
    };
    auto rowStep = [&](int a, int b) {
        double d = 0;
        for (int x = 0; x < n; ++x)
            d += std::abs(CanvasTextureAt(x, a) - CanvasTextureAt(x, b));
        return d / n;
    };
    double inside = 0;
    for (int i = 0; i + 1 < n; ++i)
        inside = std::max({inside, columnStep(i, i + 1), rowStep(i, i + 1)});
    EXPECT_LE(columnStep(n - 1, 0), inside);
    EXPECT_LE(rowStep(n - 1, 0), inside);
}

TEST(Canvas, AddsTheTextureAndClipsAtBlackAndWhite)
{
    const int w = 300, h = 140;  // wider and taller than one tile
    for (const int level : {128, 0, 255}) {
        const PixelBuffer out = test::RunCatalogueEffect(kCanvas, Filled(w, h, uint8_t(level), uint8_t(level), uint8_t(level)));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int expected = std::clamp(level + int(CanvasTexture()[(y % 128) * 128 + x % 128]), 0, 255);
                const uint8_t* p = out.at(x, y);
                ASSERT_EQ(p[0], expected) << level << " at " << x << "," << y;
                ASSERT_EQ(p[1], expected);
                ASSERT_EQ(p[2], expected);
            }
    }
}

TEST(Canvas, FourBytePixelsKeepAlphaAndPosition)
{
    const PixelBuffer src = Filled(131, 3, 10, 128, 250, 4);
    const PixelBuffer out = test::RunCatalogueEffect(kCanvas, src);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 131; ++x) {
            const int t = CanvasTextureAt(x, y);
            const uint8_t* p = out.at(x, y);
            EXPECT_EQ(p[0], std::clamp(10 + t, 0, 255));
            EXPECT_EQ(p[1], 128 + t);
            EXPECT_EQ(p[2], std::clamp(250 + t, 0, 255));
            EXPECT_EQ(p[3], src.at(x, y)[3]);
        }
}

// The plain rule computed over the disc at one pixel: every level weighted by
// (count / largest)^8, the levels' mean colours averaged by those weights.
TEST(OilPaint, FlatAreaKeepsItsColourAndBorderTakesTheFrequentColour)
{
    const PixelBuffer flat = Filled(9, 6, 200, 17, 90);
    EXPECT_EQ(test::RunCatalogueEffect(kOilPaint, flat).pixels, flat.pixels);

    // Left of column 20 colour A, from it on colour B.
    const uint8_t a[3] = {200, 50, 30}, b[3] = {20, 90, 220};
    PixelBuffer src(40, 15, 3);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 40; ++x)
            std::copy(x < 20 ? a : b, (x < 20 ? a : b) + 3, src.at(x, y));
    const PixelBuffer out = test::RunCatalogueEffect(kOilPaint, src);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 40; ++x) {
            int na = 0, nb = 0;
            for (int dy = -4; dy <= 4; ++dy)
                for (int dx = -4; dx <= 4; ++dx) {
                    const int xx = x + dx, yy = y + dy;
                    if (dx * dx + dy * dy > 16 || xx < 0 || yy < 0 || xx >= 40 || yy >= 15)
                        continue;
                    (xx < 20 ? na : nb) += 1;
                }
            const double wa = std::pow(double(na) / std::max(na, nb), 8.0);
            const double wb = std::pow(double(nb) / std::max(na, nb), 8.0);
            const uint8_t* p = out.at(x, y);
            for (int c = 0; c < 3; ++c) {
                const double expected = (wa * a[c] + wb * b[c]) / (wa + wb);
                ASSERT_NEAR(p[c], expected, 1.0) << x << "," << y << " channel " << c;
                // Never further from the more frequent colour than the plain mean.
                const uint8_t major = na >= nb ? a[c] : b[c];
                const double plain = (double(na) * a[c] + double(nb) * b[c]) / (na + nb);
                EXPECT_LE(std::abs(p[c] - major), std::abs(plain - major) + 1.0);
            }
        }
    // Away from the border the colours stay exactly.
    EXPECT_EQ(std::vector<uint8_t>(out.at(10, 7), out.at(10, 7) + 3), std::vector<uint8_t>(a, a + 3));
    EXPECT_EQ(std::vector<uint8_t>(out.at(30, 7), out.at(30, 7) + 3), std::vector<uint8_t>(b, b + 3));
}

// The sliding histogram against rebuilding the disc's histogram at every pixel
// and scanning all 256 levels, the same single-precision sums in level order.
TEST(OilPaint, MatchesPerPixelHistogramsExactly)
{
    auto reference = [](const PixelBuffer& src) {
        const int w = src.width, h = src.height, bpp = src.bytesPerPixel;
        PixelBuffer out(w, h, bpp);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int cnt[256] = {}, sum[3][256] = {};
                for (int yy = std::max(0, y - 4); yy < std::min(h, y + 5); ++yy)
                    for (int xx = std::max(0, x - 4); xx < std::min(w, x + 5); ++xx) {
                        if ((xx - x) * (xx - x) + (yy - y) * (yy - y) > 16)
                            continue;
                        const uint8_t* p = src.at(xx, yy);
                        const int i = int(0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2]);
                        ++cnt[i];
                        for (int c = 0; c < 3; ++c)
                            sum[c][i] += p[c];
                    }
                const int m = std::max(1, *std::max_element(cnt, cnt + 256));
                float acc[3] = {0, 0, 0}, total = 0;
                for (int i = 0; i < 256; ++i) {
                    const float r = float(cnt[i]) / float(m);
                    const float r2 = r * r, r4 = r2 * r2, wgt = r4 * r4;
                    if (cnt[i] > 0)
                        for (int c = 0; c < 3; ++c)
                            acc[c] += wgt * float(sum[c][i]) / float(cnt[i]);
                    total += wgt;
                }
                for (int c = 0; c < 3; ++c)
                    out.at(x, y)[c] = ClampByte(int(acc[c] / total));
                if (bpp == 4)
                    out.at(x, y)[3] = src.at(x, y)[3];
            }
        return out;
    };
    for (const PixelBuffer& src : {Noise(37, 23, 4, 1), Noise(12, 30, 3, 2, 4), Noise(5, 9, 256, 3),
                                   test::LoadSamplePhoto("chelsea.png", 90, 60)}) {
        ASSERT_FALSE(src.empty());
        EXPECT_EQ(test::RunCatalogueEffect(kOilPaint, src).pixels, reference(src).pixels) << src.width << "x" << src.height;
    }
}

TEST(OilPaint, WeightByRepeatedSquaringAndGeneralPower)
{
    EXPECT_EQ(COilPaintFilter::Weight(3, 3, 8.0f), 1.0f);
    const float r = 2.0f / 7.0f;
    EXPECT_EQ(COilPaintFilter::Weight(2, 7, 8.0f), ((r * r) * (r * r)) * ((r * r) * (r * r)));
    EXPECT_EQ(COilPaintFilter::Weight(2, 7, 3.5f), std::pow(r, 3.5f));
}

TEST(Wind, RowsWithoutDarkeningEdgesStayAsTheyAre)
{
    // A gentle ramp, a step up from dark to bright (wrong direction), and a
    // step down too small to count (mean difference exactly 10).
    PixelBuffer src(60, 3, 3);
    for (int x = 0; x < 60; ++x) {
        std::fill(src.at(x, 0), src.at(x, 0) + 3, uint8_t(250 - 3 * x));
        std::fill(src.at(x, 1), src.at(x, 1) + 3, uint8_t(x < 30 ? 10 : 240));
        std::fill(src.at(x, 2), src.at(x, 2) + 3, uint8_t(x < 30 ? 100 : 100 - 14));
        src.at(x, 2)[0] = uint8_t(x < 30 ? 100 : 100 - 12);
    }
    g_random_set_seed(7);
    EXPECT_EQ(test::RunCatalogueEffect(kWind, src).pixels, src.pixels);
}

// Row: three bright pixels, then dark. The first edge (x = 3) starts a streak
// whose stop is pixel 4 = W − 3, so exactly pixel 3 is blended.
TEST(Wind, ShortRowStreakMatchesHandComputation)
{
    // Dark 185: a mean step of 3 x 15 / 4 = 11, just over the threshold of 10.
    for (const int dark : {0, 185})
    for (const guint32 seed : {1u, 2u, 3u, 42u, 1234u}) {
        g_random_set_seed(seed);
        const int r = g_random_int_range(0, 3);
        const int u = int(g_random_double() * (r != 0 ? 10 : 40)) + 1;
        // One step of the streak from bright 200 toward dark.
        const double k = 2.0 / (u * (u + 1));
        const int bleed = std::clamp(int(k * (u * (dark - 200)) + 200), 0, 255);

        PixelBuffer src(7, 1, 3);
        for (int x = 0; x < 7; ++x)
            std::fill(src.at(x, 0), src.at(x, 0) + 3, uint8_t(x < 3 ? 200 : dark));
        g_random_set_seed(seed);
        const PixelBuffer out = test::RunCatalogueEffect(kWind, src);
        std::vector<uint8_t> expected = src.pixels;
        std::fill(expected.begin() + 9, expected.begin() + 12, uint8_t((dark + 2 * bleed) / 3));
        EXPECT_EQ(out.pixels, expected) << "seed " << seed << " u " << u;
    }
}

// Row: bright, one dark pixel at 3, bright again. A streak from pixel 3 that is
// long enough reaches pixel 4, which is no edge: there it goes on only when the
// third draw has bit 15 clear. Nothing else can change pixel 4.
TEST(Wind, StreakPastTheEdgeGoesOnByCoinToss)
{
    int onward = 0, stopped = 0;
    for (guint32 seed = 1; seed <= 60; ++seed) {
        g_random_set_seed(seed);
        const int r = g_random_int_range(0, 3);
        const int u = int(g_random_double() * (r != 0 ? 10 : 40)) + 1;
        const bool goesOn = (g_random_int() & 0x8000u) == 0;
        if (u < 2)
            continue;

        PixelBuffer src(12, 1, 3);
        for (int x = 0; x < 12; ++x)
            std::fill(src.at(x, 0), src.at(x, 0) + 3, uint8_t(x == 3 ? 0 : 200));
        g_random_set_seed(seed);
        const PixelBuffer out = test::RunCatalogueEffect(kWind, src);
        EXPECT_NE(out.at(3, 0)[0], 0) << "seed " << seed;
        EXPECT_EQ(out.at(4, 0)[0] != 200, goesOn) << "seed " << seed;
        (goesOn ? onward : stopped) += 1;
    }
    EXPECT_GT(onward, 0);
    EXPECT_GT(stopped, 0);
}

TEST(Wind, StreaksStayInsideTheRowAndRepeatWithTheSeed)
{
    const PixelBuffer photo = test::LoadSamplePhoto("astronaut.png", 256, 64);
    ASSERT_FALSE(photo.empty());
    for (const PixelBuffer& src : {photo, Noise(40, 30, 2, 9), Noise(41, 20, 3, 5, 4)}) {
        g_random_set_seed(99);
        const PixelBuffer out = test::RunCatalogueEffect(kWind, src);
        g_random_set_seed(99);
        EXPECT_EQ(test::RunCatalogueEffect(kWind, src).pixels, out.pixels);

        const int w = src.width, bpp = src.bytesPerPixel;
        long changed = 0;
        for (int y = 0; y < src.height; ++y)
            for (int x = 0; x < w; ++x) {
                const bool same = std::equal(src.at(x, y), src.at(x, y) + bpp, out.at(x, y));
                if (x < 3 || x >= w - 3) {
                    ASSERT_TRUE(same) << x << "," << y;
                }
                changed += !same;
                if (bpp == 4) {
                    ASSERT_EQ(out.at(x, y)[3], src.at(x, y)[3]);
                }
            }
        EXPECT_GT(changed, 0);
    }
}

TEST(CanvasOilWind, DegenerateSizes)
{
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {2, 2}, {1, 9}, {9, 1}, {6, 4}, {3, 7}, {2, 300}}) {
        for (const int bpp : {3, 4}) {
            const PixelBuffer src = Noise(w, h, 2, unsigned(w * 31 + h), bpp);
            const PixelBuffer canvas = test::RunCatalogueEffect(kCanvas, src);
            EXPECT_EQ(canvas.at(w - 1, h - 1)[1], std::clamp(src.at(w - 1, h - 1)[1] + CanvasTextureAt(w - 1, h - 1), 0, 255));
            // Rows of six pixels or fewer leave no room for a streak.
            const PixelBuffer wind = test::RunCatalogueEffect(kWind, src);
            if (w <= 6) {
                EXPECT_EQ(wind.pixels, src.pixels) << w << "x" << h;
            }
            const PixelBuffer oil = test::RunCatalogueEffect(kOilPaint, src);
            if (w * h == 1) {
                EXPECT_EQ(oil.pixels, src.pixels);
            }
        }
    }
}

TEST(CanvasOilWind, ProgressRhythms)
{
    std::vector<int> seen;
    ScopedProgressSink sink([&](int percent) { seen.push_back(percent); });
    const PixelBuffer src = Filled(8, 17, 1, 2, 3);
    test::RunCatalogueEffect(kCanvas, src);
    EXPECT_EQ(seen, (std::vector<int>{0, 29, 58, 88}));
    seen.clear();
    test::RunCatalogueEffect(kWind, src);
    EXPECT_EQ(seen, (std::vector<int>{0, 47, 94}));
    seen.clear();
    test::RunCatalogueEffect(kOilPaint, Filled(8, 45, 1, 2, 3));
    EXPECT_EQ(seen, (std::vector<int>{0, 44, 88}));
}
