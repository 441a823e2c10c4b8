// Lens Flare: the layout of burst and reflections, exact bytes against a plain
// every-pixel-every-shape reference, brightening only, size 0, progress.
#include "light/lens_flare_renderer.h"

#include "engine/progress.h"
#include "tests/support/photo_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <tuple>
#include <string>
#include <vector>

using namespace ombrik;

namespace {

LensFlareRenderer Configure(int w, int h, int xs, int ys, int size, uint32_t colour = 2828031)
{
    LensFlareRenderer lf;
    lf.reset();
    lf.setSize(w, h, 3);
    lf.setCentre(xs, ys);
    lf.setFlareSize(size);
    lf.setColour(colour);
    return lf;
}

PixelBuffer Render(const LensFlareRenderer& lf, const PixelBuffer& src)
{
    PixelBuffer dst(src.width, src.height, 3);
    EXPECT_TRUE(lf.render(src, dst));
    return dst;
}

void Brighten(uint8_t* px, float p, const std::array<double, 3>& c)
{
    if (p <= 0)
        return;
    for (int k = 0; k < 3; ++k)
        px[k] = uint8_t(int((255 - px[k]) * p * c[size_t(k)] + px[k]));
}

// Every shape tested at every pixel, as described, using the renderer's layout.
std::vector<uint8_t> Reference(const LensFlareRenderer& lf, const PixelBuffer& src)
{
    const LensFlareLayout l = lf.layout();
    std::vector<uint8_t> out = src.pixels;
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x) {
            uint8_t* px = out.data() + (size_t(y) * src.width + x) * 3;
            const float d = float(std::hypot(x - l.xs, y - l.ys));
            float p = (l.coreRadius - d) / l.coreRadius;
            if (p > 0)
                Brighten(px, p * p, l.coreColour);
            p = (l.glowRadius - d) / l.glowRadius;
            if (p > 0)
                Brighten(px, p * p, l.glowColour);
            p = (l.innerRadius - d) / l.innerRadius;
            if (p > 0)
                Brighten(px, p * p, l.innerColour);
            p = (l.outerRadius - d) / l.outerRadius;
            if (p > 0)
                Brighten(px, p, l.outerColour);
            p = float(std::fabs((d - l.haloRadius) / (l.haloRadius * 0.07)));
            if (p < 1)
                Brighten(px, 1 - p, l.haloColour);
            for (const FlareReflection& r : l.reflections) {
                const float e = float(std::hypot(r.xp - x, r.yp - y));
                if (r.kind == 1) {
                    p = (r.size - e) / r.size;
                    if (p > 0)
                        Brighten(px, p * p, r.colour);
                } else if (r.kind == 2) {
                    p = float((r.size - e) / (r.size * 0.15));
                    if (p > 0)
                        Brighten(px, p > 1 ? 1 : p, r.colour);
                } else if (r.kind == 3) {
                    p = float((r.size - e) / (r.size * 0.12));
                    if (p > 0)
                        Brighten(px, p > 1 ? float(1 - p * 0.12) : p, r.colour);
                } else {
                    p = float(std::fabs((e - r.size) / (r.size * 0.04)));
                    if (p < 1)
                        Brighten(px, 1 - p, r.colour);
                }
            }
        }
    return out;
}

PixelBuffer Pattern(int w, int h)
{
    PixelBuffer b(w, h, 3);
    for (size_t i = 0; i < b.pixels.size(); ++i)
        b.pixels[i] = uint8_t((i * 29) % 241);
    return b;
}

} // namespace

TEST(LensFlareLayout, BurstRadiiColoursAndReflections)
{
    // The glow radius is the dragged size exactly, whatever the width.
    for (int w : {1, 7, 600, 1600, 4999})
        for (int size = 1; size < 3000; size += 7)
            ASSERT_EQ(Configure(w, 100, 0, 0, size).layout().glowRadius, float(size)) << w << " " << size;
    const LensFlareLayout l = Configure(1600, 1200, 300, 200, 100).layout();
    EXPECT_FLOAT_EQ(l.coreRadius, 48.0f);
    EXPECT_FLOAT_EQ(l.outerRadius, 430.0f);
    EXPECT_FLOAT_EQ(l.haloRadius, 108.0f);
    // 2828031 = red 255, green 38, blue 43, kept blue first.
    EXPECT_EQ(l.innerColour, (std::array<double, 3>{43 / 255.0, 38 / 255.0, 1.0}));
    EXPECT_EQ(l.haloColour, (std::array<double, 3>{0.4 * 43 / 255, 0.4 * 38 / 255, 0.4 * 255 / 255}));
    // The fixed tints, in byte order: core, glow, outer, then the 19 reflections.
    const int tints[22][3] = {{239, 239, 239}, {245, 245, 245}, {64, 59, 69}, {0, 14, 113}, {90, 181, 142},
                              {56, 140, 106}, {9, 29, 19}, {24, 14, 0}, {24, 14, 0}, {42, 19, 0}, {0, 9, 17},
                              {0, 4, 10}, {5, 5, 14}, {9, 4, 0}, {9, 4, 0}, {34, 19, 0}, {14, 26, 0},
                              {10, 25, 13}, {9, 0, 17}, {9, 16, 5}, {17, 4, 0}, {17, 4, 0}};
    for (int i = 0; i < 22; ++i)
        EXPECT_EQ(i == 0 ? l.coreColour : i == 1 ? l.glowColour : i == 2 ? l.outerColour : l.reflections[size_t(i - 3)].colour,
                  (std::array<double, 3>{tints[i][0] / 255.0, tints[i][1] / 255.0, tints[i][2] / 255.0})) << i;
    // Reflection 13 is the centre mirrored through the middle; the others lie
    // on the line through both.
    EXPECT_EQ(l.reflections[13].xp, 1300);
    EXPECT_EQ(l.reflections[13].yp, 1000);
    EXPECT_EQ(l.reflections[0].xp, int(800 + 0.6699 * 500));
    EXPECT_EQ(l.reflections[10].xp, int(800 - 1.496 * 500));
    EXPECT_EQ(l.reflections[10].yp, int(600 - 1.496 * 400));
    EXPECT_EQ(l.reflections[11].xp, l.reflections[10].xp);
    EXPECT_FLOAT_EQ(l.reflections[11].size, 800.0f);
    EXPECT_EQ(l.reflections[18].kind, 4);
    // Centred: every reflection collapses onto the middle.
    for (const FlareReflection& r : Configure(1600, 1200, 800, 600, 100).layout().reflections) {
        EXPECT_EQ(r.xp, 800);
        EXPECT_EQ(r.yp, 600);
    }
    // Size 0 (a click) is a size of 1.
    EXPECT_EQ(Configure(100, 100, 5, 5, 0).flareSize(), 1);
    EXPECT_EQ(Configure(100, 100, 5, 5, -3).layout().glowRadius, 1.0f);
}

TEST(LensFlareRender, MatchesPlainReference)
{
    struct Case {
        int w, h, xs, ys, size;
    };
    for (Case c : {Case{64, 48, 10, 12, 6}, Case{64, 48, 32, 24, 9}, Case{40, 30, -40, 300, 20}, Case{1, 1, 0, 0, 1},
                   Case{2, 2, 1, 1, 0}, Case{1, 9, 0, 4, 3}, Case{9, 1, 4, 0, 3}}) {
        const PixelBuffer src = Pattern(c.w, c.h);
        const LensFlareRenderer lf = Configure(c.w, c.h, c.xs, c.ys, c.size);
        EXPECT_EQ(Render(lf, src).pixels, Reference(lf, src)) << c.w << "x" << c.h;
    }
    // A photo large enough to be split over both cores, with the reflections
    // partly off the picture.
    const PixelBuffer photo = test::LoadSamplePhoto("coffee.png");
    ASSERT_FALSE(photo.empty());
    const LensFlareRenderer lf = Configure(photo.width, photo.height, 150, 100, 90);
    const PixelBuffer flared = Render(lf, photo);
    EXPECT_EQ(flared.pixels, Reference(lf, photo));
    if (const char* dir = std::getenv("OMBRIK_LOOK_DIR"))
        test::SavePixelBuffer(flared, std::string(dir) + "/lensflare.png");
}

TEST(LensFlareRender, OnlyBrightens)
{
    const PixelBuffer photo = test::LoadSamplePhoto("chelsea.png");
    ASSERT_FALSE(photo.empty());
    PixelBuffer grey(photo.width, photo.height, 3);
    std::fill(grey.pixels.begin(), grey.pixels.end(), uint8_t(128));
    for (const PixelBuffer* src : {&photo, static_cast<const PixelBuffer*>(&grey)})
        for (auto [xs, ys, size] : {std::tuple{40, 250, 30}, std::tuple{225, 150, 60}, std::tuple{-100, -50, 200}}) {
            const PixelBuffer out = Render(Configure(src->width, src->height, xs, ys, size, 0x00ffff), *src);
            size_t brighter = 0;
            for (size_t i = 0; i < out.pixels.size(); ++i) {
                ASSERT_GE(out.pixels[i], src->pixels[i]) << i;
                brighter += out.pixels[i] > src->pixels[i];
            }
            EXPECT_GT(brighter, 0u);
        }
}

TEST(LensFlareRender, ProgressEveryFifthRowNeverAtTheEnd)
{
    for (auto [w, h] : {std::pair{9, 23}, std::pair{600, 400}}) {
        std::vector<int> seen;
        ScopedProgressSink sink([&](int p) { seen.push_back(p); });
        Render(Configure(w, h, w / 2, h / 2, 5), Pattern(w, h));
        std::vector<int> expected;
        for (int y = 0; y < h; y += 5)
            expected.push_back(int(double(y) / h * 100));
        EXPECT_EQ(seen, expected);
        EXPECT_NE(seen.back(), 100);
    }
}

TEST(LensFlareRender, RefusesBuffersOfTheWrongSize)
{
    const PixelBuffer src = Pattern(10, 8);
    PixelBuffer dst(10, 9, 3);
    LensFlareRenderer lf = Configure(10, 8, 5, 4, 3);
    EXPECT_FALSE(lf.render(src, dst));
    lf.reset();
    PixelBuffer right(10, 8, 3);
    EXPECT_FALSE(lf.render(src, right));
    EXPECT_EQ(right.pixels, std::vector<uint8_t>(240, 0));
}
