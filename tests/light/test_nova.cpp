// Radial and Magic Flare: seeded renders against a plain reference, the
// centre pixel, spoke colours, byte order, fresh seeds, radius 0, progress.
#include "light/nova_renderer.h"

#include "engine/progress.h"
#include "tests/support/photo_fixture.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

using namespace ombrik;

namespace {

struct Settings {
    uint32_t colour;
    int cx, cy, radius;
    NovaStyle style;
};

NovaRenderer Configure(int w, int h, Settings s)
{
    NovaRenderer nova;
    nova.reset();
    nova.setSize(w, h, 3);
    nova.setColour(s.colour);
    nova.setCentre(s.cx, s.cy);
    nova.setRadius(s.radius);
    nova.selectStyle(s.style);
    return nova;
}

double Lim(double v, double lo, double hi) { return v > hi ? hi : (v >= lo ? v : lo); }

// The flare drawn from its description with the same seeded generator; also
// counts pixels whose left spoke is the last one (wrapping to spoke 0).
std::vector<uint8_t> Reference(const PixelBuffer& src, Settings s, uint32_t seed, int* wrapped = nullptr)
{
    const bool magic = s.style == NovaStyle::MagicFlare;
    const int n = magic ? 200 : 36;
    const double hueSpread = magic ? 100 : 0;
    RgbColor flare{((s.colour >> 16) & 0xff) / 255.0, ((s.colour >> 8) & 0xff) / 255.0, (s.colour & 0xff) / 255.0, 1};
    HsvColor hsv;
    kNovaColours.toHsv(&flare, &hsv);
    GRand* rand = g_rand_new_with_seed(seed);
    std::vector<double> bright(size_t(n), 0.0);
    std::vector<RgbColor> col(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        double sum = 0;
        for (int k = 0; k < 6; ++k)
            sum += g_rand_double(rand);
        bright[size_t(i)] = sum * (1.0 / 6);
        hsv.h += hueSpread * (1.0 / 360) * g_rand_double_range(rand, -0.5, 0.5);
        if (hsv.h < 0)
            hsv.h += 1;
        else if (hsv.h >= 1)
            hsv.h -= 1;
        kNovaColours.fromHsv(&hsv, &col[size_t(i)]);
    }
    g_rand_free(rand);
    const double r = s.radius < 1 ? 1 : s.radius;
    std::vector<uint8_t> out(src.pixels.size());
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x) {
            const double u = (x - s.cx) / r, v = (y - s.cy) / r;
            double t = (std::atan2(u, v) / (2 * M_PI) + 0.51) * n;
            int i = int(std::floor(t));
            t -= i;
            i %= n;
            const int j = (i + 1) % n;
            if (wrapped && i == n - 1)
                ++*wrapped;
            double w = bright[size_t(i)] * (1 - t) + bright[size_t(j)] * t;
            w = w * w;
            const double c = 0.9 / (std::sqrt(u * u + v * v) + 0.001);
            const double c1 = Lim(c, 0, 1);
            const double ci[3] = {col[size_t(i)].r, col[size_t(i)].g, col[size_t(i)].b};
            const double cj[3] = {col[size_t(j)].r, col[size_t(j)].g, col[size_t(j)].b};
            for (int k = 0; k < 3; ++k) {
                const double spoke = ci[k] * (1 - t) + cj[k] * t;
                const double base = c > 1 ? Lim(spoke * c, 0, 1) : src.at(x, y)[k] / 255.0 * (1 - c1) + c1 * spoke;
                out[(size_t(y) * src.width + x) * 3 + k] = uint8_t(int(Lim((base + Lim(c * w, 0, 1)) * 255, 0, 255)));
            }
        }
    return out;
}

PixelBuffer Pattern(int w, int h)
{
    PixelBuffer b(w, h, 3);
    for (size_t i = 0; i < b.pixels.size(); ++i)
        b.pixels[i] = uint8_t((i * 37) % 251);
    return b;
}

PixelBuffer Seeded(NovaRenderer& nova, const PixelBuffer& src, uint32_t seed)
{
    PixelBuffer dst(src.width, src.height, 3);
    EXPECT_TRUE(nova.renderWithSeed(src, dst, seed));
    return dst;
}

} // namespace

TEST(Nova, SeededRenderMatchesReference)
{
    struct Case {
        int w, h;
        Settings s;
    };
    for (Case c : {Case{64, 48, {0xffffff, 20, 30, 10, NovaStyle::RadialFlare}},
                   Case{64, 48, {2828031, 50, 10, 7, NovaStyle::MagicFlare}},
                   Case{40, 30, {0x3366cc, -30, 50, 25, NovaStyle::MagicFlare}}, // centre outside
                   Case{1, 1, {0xffffff, 0, 0, 3, NovaStyle::RadialFlare}},
                   Case{1, 7, {0x00ff00, 0, 3, 2, NovaStyle::MagicFlare}},
                   Case{7, 1, {0x00ff00, 3, 0, 2, NovaStyle::RadialFlare}}}) {
        const PixelBuffer src = Pattern(c.w, c.h);
        NovaRenderer nova = Configure(c.w, c.h, c.s);
        int wrapped = 0;
        EXPECT_EQ(Seeded(nova, src, 4242).pixels, Reference(src, c.s, 4242, &wrapped)) << c.w << "x" << c.h;
        if (c.s.style == NovaStyle::RadialFlare && c.w * c.h > 1000) {
            EXPECT_GT(wrapped, 0); // the last spoke is reached and blends with spoke 0
        }
    }
    // A photo large enough to be split over both cores.
    const PixelBuffer photo = test::LoadSamplePhoto("coffee.png");
    ASSERT_FALSE(photo.empty());
    const Settings magic{0xff0000, 300, 200, 60, NovaStyle::MagicFlare};
    NovaRenderer nova = Configure(photo.width, photo.height, magic);
    const PixelBuffer flared = Seeded(nova, photo, 7);
    EXPECT_EQ(flared.pixels, Reference(photo, magic, 7));
    if (const char* dir = std::getenv("OMBRIK_LOOK_DIR")) {
        test::SavePixelBuffer(flared, std::string(dir) + "/magicflare.png");
        NovaRenderer radial = Configure(photo.width, photo.height, {0xffffff, 300, 200, 60, NovaStyle::RadialFlare});
        test::SavePixelBuffer(Seeded(radial, photo, 7), std::string(dir) + "/radialflare.png");
    }
}

TEST(Nova, CentrePixelIsWhiteOrSaturated)
{
    const PixelBuffer src = Pattern(21, 21);
    for (uint32_t seed = 1; seed < 6; ++seed) {
        NovaRenderer white = Configure(21, 21, {0xffffff, 10, 10, 5, NovaStyle::RadialFlare});
        const PixelBuffer a = Seeded(white, src, seed);
        EXPECT_EQ(std::vector<uint8_t>(a.at(10, 10), a.at(10, 10) + 3), std::vector<uint8_t>(3, 255));
        NovaRenderer red = Configure(21, 21, {0x0000ff, 10, 10, 5, NovaStyle::MagicFlare});
        EXPECT_EQ(Seeded(red, src, seed).at(10, 10)[2], 255);
    }
}

TEST(Nova, SpokeColoursAndByteOrder)
{
    // Red in the lowest byte of the value lands in the third component.
    NovaRenderer red = Configure(4, 4, {0x0000ff, 1, 1, 3, NovaStyle::RadialFlare});
    EXPECT_EQ(red.flareColour().r, 0.0);
    EXPECT_EQ(red.flareColour().b, 1.0);
    EXPECT_EQ(red.spokeCount(), 36);
    const PixelBuffer src = Pattern(4, 4);
    // No hue spread: every spoke is the same colour, the flare colour through
    // an HSV round trip (exact up to rounding of the last bit).
    for (uint32_t colour : {0xffffffu, 2828031u, 0x3366ccu, 0x00ff00u, 0x102030u}) {
        NovaRenderer nova = Configure(4, 4, {colour, 1, 1, 3, NovaStyle::RadialFlare});
        Seeded(nova, src, 11);
        ASSERT_EQ(nova.spokeColours().size(), 36u);
        const RgbColor& first = nova.spokeColours().front();
        EXPECT_NEAR(first.r, nova.flareColour().r, 1e-12);
        EXPECT_NEAR(first.g, nova.flareColour().g, 1e-12);
        EXPECT_NEAR(first.b, nova.flareColour().b, 1e-12);
        for (const RgbColor& c : nova.spokeColours()) {
            EXPECT_EQ(c.r, first.r);
            EXPECT_EQ(c.g, first.g);
            EXPECT_EQ(c.b, first.b);
        }
    }
    // Magic Flare: hues walk in steps of at most 50 degrees.
    NovaRenderer magic = Configure(4, 4, {2828031, 1, 1, 3, NovaStyle::MagicFlare});
    Seeded(magic, src, 3);
    ASSERT_EQ(magic.spokeColours().size(), 200u);
    double previous = -1;
    int distinct = 0;
    for (const RgbColor& c : magic.spokeColours()) {
        HsvColor hsv;
        kNovaColours.toHsv(&c, &hsv);
        if (previous >= 0) {
            const double step = std::fabs(hsv.h - previous);
            EXPECT_LE(std::min(step, 1 - step), 50.0 / 360 + 1e-9);
            distinct += step > 1e-6;
        }
        previous = hsv.h;
    }
    EXPECT_GT(distinct, 150);
}

TEST(Nova, EveryRenderDrawsNewRays)
{
    const PixelBuffer src = Pattern(48, 48);
    NovaRenderer nova = Configure(48, 48, {0xffffff, 24, 24, 8, NovaStyle::RadialFlare});
    PixelBuffer a(48, 48, 3), b(48, 48, 3);
    ASSERT_TRUE(nova.render(src, a));
    ASSERT_TRUE(nova.render(src, b));
    EXPECT_NE(a.pixels, b.pixels);
}

TEST(Nova, RadiusZeroActsAsOne)
{
    const PixelBuffer src = Pattern(20, 20);
    NovaRenderer zero = Configure(20, 20, {0xffffff, 10, 10, 0, NovaStyle::RadialFlare});
    NovaRenderer one = Configure(20, 20, {0xffffff, 10, 10, 1, NovaStyle::RadialFlare});
    EXPECT_EQ(zero.radius(), 1);
    EXPECT_EQ(Seeded(zero, src, 5).pixels, Seeded(one, src, 5).pixels);
}

TEST(Nova, ProgressOnlyWhenDoneAndRefusesWrongBuffers)
{
    std::vector<int> seen;
    ScopedProgressSink sink([&](int p) { seen.push_back(p); });
    const PixelBuffer src = Pattern(30, 25);
    NovaRenderer nova = Configure(30, 25, {0xffffff, 10, 10, 5, NovaStyle::MagicFlare});
    Seeded(nova, src, 1);
    EXPECT_EQ(seen, std::vector<int>{100});
    PixelBuffer small(30, 24, 3);
    EXPECT_FALSE(nova.render(src, small));
    nova.reset();
    PixelBuffer right(30, 25, 3);
    EXPECT_FALSE(nova.render(src, right));
    EXPECT_EQ(seen, std::vector<int>{100});
}
