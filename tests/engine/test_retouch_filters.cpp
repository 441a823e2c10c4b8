// The tone and retouch operations: their mappings on single values, the red-eye
// pixels, the untouched borders of the 3 × 3 filters, Pixelize blocks and the
// adaptive median.
#include "engine/effect_filter.h"
#include "engine/pixel_buffer.h"
#include "engine/progress.h"
#include "tests/support/photo_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace ombrik;

namespace {

// A 256 × 1 image whose pixel i holds value i in every channel.
PixelBuffer Ramp()
{
    PixelBuffer b(256, 1, 3);
    for (int i = 0; i < 256; ++i)
        b.at(i, 0)[0] = b.at(i, 0)[1] = b.at(i, 0)[2] = uint8_t(i);
    return b;
}

PixelBuffer Uniform(int w, int h, uint8_t b, uint8_t g, uint8_t r, int bpp = 3)
{
    PixelBuffer out(w, h, bpp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = out.at(x, y);
            p[0] = b;
            p[1] = g;
            p[2] = r;
            if (bpp == 4)
                p[3] = 255;
        }
    return out;
}

CEffectFilter FilterFor(const PixelBuffer& b)
{
    CEffectFilter f;
    f.setDimensions(b.width, b.height, b.bytesPerPixel);
    return f;
}

// Runs a mapping over the ramp and returns what value v became.
template <typename Op>
std::vector<int> Mapped(Op op)
{
    const PixelBuffer src = Ramp();
    PixelBuffer dst(256, 1, 3);
    op(FilterFor(src), src, dst);
    std::vector<int> out(256);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(dst.at(i, 0)[0], dst.at(i, 0)[2]);
        out[i] = dst.at(i, 0)[1];
    }
    return out;
}

} // namespace

TEST(ToneMappings, LightenDarkenContrastGamma)
{
    const auto lighten = Mapped([](const CEffectFilter& f, const PixelBuffer& s, PixelBuffer& d) {
        f.ScaleChannels(s.data(), d.data(), CEffectFilter::kLightenPercent);
    });
    EXPECT_EQ(lighten[200], 220);
    EXPECT_EQ(lighten[240], 255);
    EXPECT_EQ(lighten[10], 11);
    EXPECT_EQ(lighten[9], 9);

    const auto darken = Mapped([](const CEffectFilter& f, const PixelBuffer& s, PixelBuffer& d) {
        f.ScaleChannels(s.data(), d.data(), CEffectFilter::kDarkenPercent);
    });
    EXPECT_EQ(darken[255], 229);
    EXPECT_EQ(darken[0], 0);

    const auto contrast = Mapped([](const CEffectFilter& f, const PixelBuffer& s, PixelBuffer& d) {
        f.AdjustContrast(s.data(), d.data(), CEffectFilter::kContrastPercent);
    });
    EXPECT_EQ(contrast[0], 0);
    EXPECT_EQ(contrast[100], 98);   // -30.8 truncates toward zero to -30
    EXPECT_EQ(contrast[128], 128);
    EXPECT_EQ(contrast[255], 255);
    EXPECT_EQ(contrast[1], 0);      // (1 - 128) × 1.1 = -139.7 → -139 + 128 = -11 → 0

    const auto gamma = Mapped([](const CEffectFilter& f, const PixelBuffer& s, PixelBuffer& d) {
        f.ApplyGamma(s.data(), d.data(), CEffectFilter::kGamma);
    });
    const std::vector<std::pair<int, int>> expected = {{0, 0}, {1, 1}, {10, 13}, {64, 72}, {128, 136},
                                                       {200, 204}, {254, 254}, {255, 254}};
    for (auto [in, out] : expected)
        EXPECT_EQ(gamma[in], out) << "gamma of " << in;
}

TEST(ToneMappings, FourthByteIsKeptByTables)
{
    PixelBuffer src = Uniform(3, 2, 200, 100, 50, 4);
    src.at(1, 1)[3] = 17;
    PixelBuffer dst(3, 2, 4);
    FilterFor(src).ScaleChannels(src.data(), dst.data(), 110);
    EXPECT_EQ(dst.at(1, 1)[3], 17);
    EXPECT_EQ(dst.at(1, 1)[0], 220);
    EXPECT_EQ(dst.at(1, 1)[2], 55);
}

TEST(Retouch, GreyFromGreenWritesEveryByte)
{
    PixelBuffer src = Uniform(2, 1, 10, 20, 30);
    PixelBuffer dst(2, 1, 3);
    FilterFor(src).GreyFromGreen(src.data(), dst.data());
    EXPECT_EQ(std::vector<uint8_t>(dst.pixels.begin(), dst.pixels.end()), std::vector<uint8_t>(6, 20));

    PixelBuffer src4 = Uniform(1, 1, 10, 20, 30, 4);
    PixelBuffer dst4(1, 1, 4);
    FilterFor(src4).GreyFromGreen(src4.data(), dst4.data());
    EXPECT_EQ(dst4.at(0, 0)[3], 20);
}

TEST(Retouch, RedEyePixels)
{
    // Red is an eye when truncate(R x 0.5133333) reaches both G and
    // truncate(B x 0.1933333); it becomes truncate((G + that) x 0.974026).
    const uint8_t pixels[][3] = {{50, 40, 200}, {200, 200, 200}, {0, 0, 255}, {0, 101, 195},
                                 {255, 40, 96}, {200, 100, 200}};
    const int red[] = {47, 200, 0, 195, 86, 134};
    PixelBuffer src(6, 1, 3), dst(6, 1, 3);
    std::copy(&pixels[0][0], &pixels[0][0] + 18, src.data());
    FilterFor(src).RemoveRedEye(src.data(), dst.data());
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(std::vector<int>(dst.at(x, 0), dst.at(x, 0) + 3),
                  (std::vector<int>{pixels[x][0], pixels[x][1], red[x]})) << x;
}

TEST(Retouch, BlurAndSharpKeepBordersAndMatchAReference)
{
    const PixelBuffer src = test::LoadSamplePhoto("chelsea.png", 61, 47);
    ASSERT_FALSE(src.empty());
    PixelBuffer blur(src.width, src.height, 3), sharp(src.width, src.height, 3);
    const CEffectFilter f = FilterFor(src);
    f.BoxBlur(src.data(), blur.data());
    f.Sharpen(src.data(), sharp.data());
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x)
            for (int c = 0; c < 3; ++c) {
                const int s = src.at(x, y)[c];
                if (x == 0 || y == 0 || x == src.width - 1 || y == src.height - 1) {
                    ASSERT_EQ(blur.at(x, y)[c], s);
                    ASSERT_EQ(sharp.at(x, y)[c], s);
                    continue;
                }
                int sum = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        sum += src.at(x + dx, y + dy)[c];
                ASSERT_EQ(blur.at(x, y)[c], (sum + 4) / 9) << x << "," << y;
                const int v = (20 * s - (sum - s)) / 12;
                ASSERT_EQ(sharp.at(x, y)[c], std::clamp(v, 0, 255)) << x << "," << y;
            }
}

TEST(Retouch, BlurAndSharpOnlyCopyTinyImages)
{
    for (auto [w, h] : {std::pair{1, 1}, {2, 2}, {1, 9}, {9, 2}}) {
        PixelBuffer src = Uniform(w, h, 1, 2, 3);
        src.at(0, 0)[0] = 250;
        PixelBuffer blur(w, h, 3), sharp(w, h, 3);
        FilterFor(src).BoxBlur(src.data(), blur.data());
        FilterFor(src).Sharpen(src.data(), sharp.data());
        EXPECT_EQ(blur.pixels, src.pixels);
        EXPECT_EQ(sharp.pixels, src.pixels);
    }
}

TEST(Retouch, PixelizeBlockSizes)
{
    // Block size is width / 80, at least 4: a vertical stripe per column shows
    // where each block starts.
    for (auto [w, d] : {std::pair{400, 5}, {80, 4}, {7, 4}, {1600, 20}}) {
        PixelBuffer src(w, 3, 3);
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < 3; ++y)
                src.at(x, y)[0] = uint8_t(x % 256);
        PixelBuffer dst(w, 3, 3);
        FilterFor(src).Pixelize(src.data(), dst.data());
        for (int x = 0; x < w; ++x) {
            const int bx = x / d * d;
            const int count = std::min(d, w - bx);
            int sum = 0;
            for (int i = bx; i < bx + count; ++i)
                sum += i % 256;
            ASSERT_EQ(dst.at(x, 0)[0], sum / count) << "width " << w << " x " << x;
            ASSERT_EQ(dst.at(x, 2)[0], sum / count);
        }
    }
}

TEST(Retouch, PixelizeWeighsByAlphaWithFourBytes)
{
    PixelBuffer src(4, 4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            uint8_t* p = src.at(x, y);
            p[0] = x < 2 ? 200 : 0;
            p[3] = x < 2 ? 255 : 0;
        }
    PixelBuffer dst(4, 4, 4);
    FilterFor(src).Pixelize(src.data(), dst.data());
    EXPECT_EQ(dst.at(3, 3)[0], 200);  // transparent pixels add nothing
    EXPECT_EQ(dst.at(3, 3)[3], 0);    // alpha is not averaged

    PixelBuffer clear(4, 4, 4);
    std::fill(clear.pixels.begin(), clear.pixels.end(), 0);
    clear.at(1, 1)[0] = 99;
    FilterFor(clear).Pixelize(clear.data(), dst.data());
    EXPECT_EQ(dst.at(1, 1)[0], 0);
}

TEST(SmoothSkin, UniformImageIsUnchanged)
{
    const PixelBuffer src = Uniform(23, 17, 90, 120, 160);
    PixelBuffer dst(23, 17, 3);
    FilterFor(src).SmoothSkin(src.data(), dst.data());
    EXPECT_EQ(dst.pixels, src.pixels);
}

TEST(SmoothSkin, KeepsPixelWhenFewerThanTwoMidtones)
{
    // All black but one mid-grey pixel: every window has at most one candidate.
    PixelBuffer src(9, 9, 3);
    src.at(4, 4)[0] = src.at(4, 4)[1] = src.at(4, 4)[2] = 100;
    PixelBuffer dst(9, 9, 3);
    FilterFor(src).SmoothSkin(src.data(), dst.data());
    EXPECT_EQ(dst.pixels, src.pixels);
}

TEST(SmoothSkin, MedianRemovesAnIsolatedSpeck)
{
    PixelBuffer src = Uniform(15, 15, 100, 100, 100);
    src.at(7, 7)[0] = src.at(7, 7)[1] = src.at(7, 7)[2] = 200;
    PixelBuffer dst(15, 15, 3);
    FilterFor(src).SmoothSkin(src.data(), dst.data());
    EXPECT_EQ(dst.at(7, 7)[1], 100);
}

// Straightforward rendition: the same windows and adaptation, with the median
// taken by sorting. Where the window's middle luminance is unique the chosen
// pixel is the one with that luminance, whatever the selection order.
TEST(SmoothSkin, AgreesWithASortedMedianOnAPhoto)
{
    const PixelBuffer src = test::LoadSamplePhoto("astronaut.png", 96, 96);
    ASSERT_FALSE(src.empty());
    PixelBuffer dst(src.width, src.height, 3);
    FilterFor(src).SmoothSkin(src.data(), dst.data());
    const int w = src.width, h = src.height;
    int radius = 3, checked = 0;
    for (int y = 0; y < h; ++y) {
        const int ymin = std::max(0, y - radius), ymax = std::min(h - 1, y + radius);
        for (int x = 0; x < w; ++x) {
            const int xmin = std::max(0, x - radius), xmax = std::min(w - 1, x + radius);
            int dark = 0, bright = 0;
            std::vector<std::pair<int, const uint8_t*>> mids;
            for (int yy = ymin; yy <= ymax; ++yy)
                for (int xx = xmin; xx <= xmax; ++xx) {
                    const uint8_t* p = src.at(xx, yy);
                    const int L = int(0.2126 * p[2] + 0.7152 * p[1] + 0.0722 * p[0]);
                    if (L <= 7)
                        ++dark;
                    else if (L >= 248)
                        ++bright;
                    else
                        mids.emplace_back(L, p);
                }
            if (mids.size() >= 2) {
                std::vector<int> ls;
                for (auto& m : mids)
                    ls.push_back(m.first);
                std::sort(ls.begin(), ls.end());
                const int median = ls[(ls.size() - 1) / 2];
                const int outL = PixelLuminance(dst.at(x, y), 3);
                ASSERT_EQ(outL, median) << x << "," << y;
                if (std::count(ls.begin(), ls.end(), median) == 1) {
                    for (auto& m : mids) {
                        if (m.first == median) {
                            ASSERT_TRUE(std::equal(m.second, m.second + 3, dst.at(x, y)));
                        }
                    }
                    ++checked;
                }
            } else {
                ASSERT_TRUE(std::equal(src.at(x, y), src.at(x, y) + 3, dst.at(x, y)));
            }
            if (dark < radius && bright < radius) {
                if (radius > 1)
                    --radius;
            } else if (radius < 3) {
                ++radius;
            }
        }
    }
    EXPECT_GT(checked, 1000);
}

TEST(SmoothSkin, ReportsProgressEvery32Rows)
{
    std::vector<int> seen;
    ScopedProgressSink sink([&](int p) { seen.push_back(p); });
    const PixelBuffer src = Uniform(8, 100, 50, 60, 70);
    PixelBuffer dst(8, 100, 3);
    FilterFor(src).SmoothSkin(src.data(), dst.data());
    EXPECT_EQ(seen, (std::vector<int>{1, 33, 65, 97, 100}));
}
