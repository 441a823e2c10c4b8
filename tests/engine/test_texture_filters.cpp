// The texture and blur operations of the Filters panel.
#include "engine/effect_filter.h"
#include "engine/pixel_buffer.h"
#include "engine/progress.h"
#include "tests/support/photo_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

using namespace ombrik;

namespace {

CEffectFilter FilterFor(const PixelBuffer& b)
{
    CEffectFilter f;
    f.setDimensions(b.width, b.height, b.bytesPerPixel);
    return f;
}

PixelBuffer Noise(int w, int h, unsigned seed, int bpp = 3)
{
    PixelBuffer b(w, h, bpp);
    std::srand(seed);
    for (auto& v : b.pixels)
        v = uint8_t(std::rand() & 0xFF);
    return b;
}

} // namespace

TEST(Emboss, FlatImageIsGrey128AndEdgesFollowTheRule)
{
    PixelBuffer flat(9, 4, 3);
    std::fill(flat.pixels.begin(), flat.pixels.end(), 77);
    PixelBuffer dst(9, 4, 3);
    FilterFor(flat).Emboss(flat.data(), dst.data());
    EXPECT_TRUE(std::all_of(dst.pixels.begin(), dst.pixels.end(), [](uint8_t v) { return v == 128; }));

    const PixelBuffer src = test::LoadSamplePhoto("coffee.png", 50, 31);
    PixelBuffer out(src.width, src.height, 3);
    FilterFor(src).Emboss(src.data(), out.data());
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x) {
            int expected = 128;
            if (x < src.width - 1) {
                const uint8_t* a = src.at(x, y);
                const uint8_t* b = src.at(x + 1, y);
                const int s = (a[0] + a[1] + a[2]) - (b[0] + b[1] + b[2]);
                expected = std::clamp((s / 3) * 8 + 128, 0, 255);
            }
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(out.at(x, y)[c], expected) << x << "," << y;
        }
}

TEST(Posterize, FourLevels)
{
    PixelBuffer src(256, 1, 3);
    for (int i = 0; i < 256; ++i)
        src.at(i, 0)[0] = src.at(i, 0)[1] = src.at(i, 0)[2] = uint8_t(i);
    PixelBuffer dst(256, 1, 3);
    FilterFor(src).Posterize(src.data(), dst.data());
    const std::vector<std::pair<int, int>> expected = {{0, 0},     {42, 0},    {43, 85},   {127, 85},
                                                       {128, 170}, {212, 170}, {213, 255}, {255, 255}};
    for (auto [in, out] : expected)
        EXPECT_EQ(dst.at(in, 0)[1], out) << in;
}

TEST(MotionBlur, AveragesToTheRightWithTheRowEndRepeated)
{
    for (int w : {1600, 80, 21, 3}) {
        const int n = std::max(2, std::min(w / 20, w - 2));
        PixelBuffer src = Noise(w, 2, 7);
        PixelBuffer dst(w, 2, 3);
        FilterFor(src).MotionBlur(src.data(), dst.data(), 0);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c) {
                    int expected = src.at(x, y)[c];
                    if (x < w - 2) {
                        int sum = 0;
                        for (int i = x; i < x + n; ++i)
                            sum += src.at(std::min(i, w - 1), y)[c];
                        expected = sum / n;
                    }
                    ASSERT_EQ(dst.at(x, y)[c], expected) << "w " << w << " x " << x;
                }
    }
    EXPECT_EQ(std::max(2, std::min(1600 / 20, 1598)), 80);
}

TEST(RadialBlur, MatchesTheRotationalAverageOverThreeDegrees)
{
    // 142 x 108: r = truncate(hypot(71, 54)) = 89 and n = truncate(sqrt(89) x pi / 15 + 2) = 3
    // samples over pi / 60, every k = r / d-th of them at distance d.
    const int w = 142, h = 108, cx = 71, cy = 54, r = 89, n = 3;
    const float step = float(3.14159265 / 60 / (n - 1)), half = float((n - 1) * double(step) * 0.5);
    const PixelBuffer src = Noise(w, h, 3);
    PixelBuffer dst(w, h, 3);
    FilterFor(src).RadialBlur(src.data(), dst.data());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int dx = x - cx, dy = y - cy, d = int(std::sqrt(double(dx * dx + dy * dy)));
            const int k = std::clamp(d == 0 ? 1 : r / d, 1, n - 1);
            int count = 0, sum[3] = {0, 0, 0};
            for (int i = 0; i < n; i += k) {
                const float c = float(std::cos(double(float(i) * step - half)));
                const float s = float(std::sin(double(float(i) * step - half)));
                const int sx = int(float(dx) * c + float(cx) - float(dy) * s);
                const int sy = int(float(dy) * c + float(dx) * s + float(cy));
                if (sx < 0 || sx >= w || sy < 0 || sy >= h)
                    continue;
                ++count;
                for (int ch = 0; ch < 3; ++ch)
                    sum[ch] += src.at(sx, sy)[ch];
            }
            for (int ch = 0; ch < 3; ++ch)
                ASSERT_EQ(dst.at(x, y)[ch], count ? sum[ch] / count : src.at(x, y)[ch]) << x << "," << y;
        }
}

TEST(GlassTiles, ThumbnailTileGeometry)
{
    // 92 × 60: tiles of 92 / 20 = 4 by 60 / 20 = 3; column walk 0,2,(next tile centre 4) 2,4,6,...
    PixelBuffer src(92, 60, 3);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 92; ++x) {
            src.at(x, y)[0] = uint8_t(x);
            src.at(x, y)[1] = uint8_t(y);
        }
    PixelBuffer dst(92, 60, 3);
    FilterFor(src).GlassTiles(src.data(), dst.data());
    // Independent walk of the tile centres.
    auto sourceOf = [](int pos, int tile, int limit) {
        const int half = tile / 2;
        int centre = 0, offset = 0;
        for (int i = 0; i < pos; ++i) {
            if (++offset == half) {
                centre += tile;
                offset = -(half + tile % 2);
            }
        }
        return std::clamp(centre + 2 * offset, 0, limit - 1);
    };
    EXPECT_EQ(sourceOf(0, 4, 80), 0);
    EXPECT_EQ(sourceOf(1, 4, 80), 2);
    EXPECT_EQ(sourceOf(2, 4, 80), 0);  // next tile centred on 4: 4 - 4
    EXPECT_EQ(sourceOf(3, 4, 80), 2);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 92; ++x) {
            ASSERT_EQ(dst.at(x, y)[0], sourceOf(x, 4, 92)) << x;
            ASSERT_EQ(dst.at(x, y)[1], sourceOf(y, 3, 60)) << y;
        }
}

TEST(GlassTiles, NarrowImagesStretchTheFirstTile)
{
    PixelBuffer src(30, 5, 3);
    for (int x = 0; x < 30; ++x)
        src.at(x, 0)[0] = uint8_t(x);
    PixelBuffer dst(30, 5, 3);
    FilterFor(src).GlassTiles(src.data(), dst.data());
    for (int x = 0; x < 30; ++x) {
        const int sx = 2 * x;  // never a second tile; beyond the width the copy stays
        EXPECT_EQ(dst.at(x, 0)[0], sx < 30 ? sx : x);
    }
}

TEST(Splash, MatchesTheCLibrarySequenceAndScattersDownRight)
{
    // The scatter generator gives what rand() gives after srand(seed).
    for (unsigned seed : {1u, 42u, 1765000000u, 0u, 4000000000u}) {
        SeedScatterRandom(seed);
        std::srand(seed);
        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ(NextScatterRandom(), std::rand()) << "seed " << seed << " draw " << i;
    }

    PixelBuffer src(150, 40, 3);  // a scatter range of 150 / 30 = 5 pixels
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 150; ++x) {
            src.at(x, y)[0] = uint8_t(x);
            src.at(x, y)[1] = uint8_t(y);
        }
    PixelBuffer dst(150, 40, 3);
    SeedScatterRandom(5);
    FilterFor(src).Splash(src.data(), dst.data());
    std::srand(5);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 150; ++x) {
            const int dx = std::rand() % 5;
            const int dy = std::rand() % 5;
            ASSERT_EQ(dst.at(x, y)[0], std::min(149, x + dx));
            ASSERT_EQ(dst.at(x, y)[1], std::min(39, y + dy));
        }
}

TEST(Splash, NarrowPhotoIsLeftUnchanged)
{
    const PixelBuffer src = Noise(29, 10, 11);
    PixelBuffer dst(29, 10, 3);
    FilterFor(src).Splash(src.data(), dst.data());
    EXPECT_EQ(dst.pixels, src.pixels);
}

TEST(TextureFilters, ReportProgressEvery20Rows)
{
    const PixelBuffer src = Noise(40, 50, 2);
    PixelBuffer dst(40, 50, 3);
    const CEffectFilter f = FilterFor(src);
    using Op = void (*)(const CEffectFilter&, const PixelBuffer&, PixelBuffer&);
    const Op ops[] = {
        [](const CEffectFilter& f, const PixelBuffer& s, PixelBuffer& d) { f.Emboss(s.data(), d.data()); },
        [](const CEffectFilter& f, const PixelBuffer& s, PixelBuffer& d) { f.Splash(s.data(), d.data()); },
        [](const CEffectFilter& f, const PixelBuffer& s, PixelBuffer& d) { f.GlassTiles(s.data(), d.data()); },
        [](const CEffectFilter& f, const PixelBuffer& s, PixelBuffer& d) { f.Posterize(s.data(), d.data()); },
        [](const CEffectFilter& f, const PixelBuffer& s, PixelBuffer& d) { f.MotionBlur(s.data(), d.data(), 0); },
        [](const CEffectFilter& f, const PixelBuffer& s, PixelBuffer& d) { f.RadialBlur(s.data(), d.data()); },
    };
    for (Op op : ops) {
        std::vector<int> seen;
        ScopedProgressSink sink([&](int p) { seen.push_back(p); });
        op(f, src, dst);
        EXPECT_EQ(seen, (std::vector<int>{0, 40, 80}));
    }
}

TEST(TextureFilters, LargeImagesReportTheSameProgressOnTwoCores)
{
    // Big enough to be split between threads; the values must still come in row order.
    const PixelBuffer src = Noise(700, 450, 4);
    PixelBuffer dst(700, 450, 3);
    std::vector<int> seen;
    ScopedProgressSink sink([&](int p) { seen.push_back(p); });
    FilterFor(src).RadialBlur(src.data(), dst.data());
    std::vector<int> expected;
    for (int y = 0; y < 450; y += 20)
        expected.push_back(int(double(y) / 450 * 100));
    EXPECT_EQ(seen, expected);
}
