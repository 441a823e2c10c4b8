// Spotlight and Point Light: drag geometry, shading against a plain per-pixel
// reference, saturation and highlight cases, edges, progress and bad input.
#include "light/lighting_renderer.h"

#include "engine/progress.h"
#include "tests/support/photo_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

using namespace ombrik;

namespace {

struct Drag {
    int ax, ay, mx, my;
};

LightingRenderer Configure(LightingPreset preset, int w, int h, Drag d, int r = 255, int g = 255, int b = 255)
{
    LightingRenderer lr;
    lr.reset();
    lr.setSize(w, h, 3);
    lr.applyPreset(preset);
    lr.setLightColour(r, g, b);
    if (preset == LightingPreset::Spotlight) {
        lr.setSpotDirection(d.ax, d.ay, d.mx, d.my);
        lr.setSpotViewpoint(d.ax, d.ay);
    } else {
        lr.setLightPosition(d.ax, d.ay, d.mx, d.my);
        lr.setNearViewpoint(d.ax, d.ay);
    }
    return lr;
}

PixelBuffer Render(const LightingRenderer& lr, const PixelBuffer& src)
{
    PixelBuffer dst(src.width, src.height, 3);
    EXPECT_TRUE(lr.render(src, dst));
    return dst;
}

// Straight from the shading model, one pixel at a time, with vector helpers
// of its own. The light geometry is taken from the renderer (checked apart).
struct V {
    double x, y, z;
};
V Sub(V a, V b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V Add(V a, V b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
double Dot(V a, V b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Len(V a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }
V Norm(V a)
{
    const double l = Len(a);
    return l == 0 ? V{0, 0, 0} : V{a.x / l, a.y / l, a.z / l};
}
double C01(double v) { return v > 1 ? 1 : (v >= 0 ? v : 0); }

std::vector<uint8_t> ReferenceShade(const LightingRenderer& lr, LightingPreset preset, const PixelBuffer& src)
{
    const bool spot = preset == LightingPreset::Spotlight;
    const double ambient = spot ? 0.9 : 0.2, diffuse = spot ? 0.1 : 0.8, specular = spot ? 0.6 : 0.5;
    const LightSource& light = lr.light(0);
    const V s = spot ? V{light.direction.x, light.direction.y, light.direction.z}
                     : V{light.position.x, light.position.y, light.position.z};
    const V e{lr.viewpoint().x, lr.viewpoint().y, lr.viewpoint().z};
    const double k[3] = {light.colour.r, light.colour.g, light.colour.b};
    const int w = src.width, h = src.height;
    std::vector<uint8_t> out(src.pixels.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double px, py, u, v;
            if (w >= h) {
                px = double(x) / w;
                py = (1 - double(h) / w) * 0.5 + double(y) / w;
                u = px * (w - 1);
                v = (py - (1 - double(h) / w) * 0.5) * (w - 1);
            } else {
                px = double(x) / h + (1 - double(w) / h) * 0.5;
                py = double(y) / h;
                u = (px - (1 - double(w) / h) * 0.5) * (h - 1);
                v = py * (h - 1);
            }
            const int ix = int(std::floor(u + 0.5)), iy = int(std::floor(v + 0.5));
            double c[3];
            auto byte = [&](int xx, int yy, int ch) { return src.at(xx, yy)[ch] / 255.0; };
            const double fx = u - std::floor(u), fy = v - std::floor(v);
            const double a = (1 - fy) * ((1 - fx) * 1.0 + fx * 1.0) + fy * ((1 - fx) * 1.0 + fx * 1.0);
            for (int ch = 0; ch < 3; ++ch) {
                if (ix + 1 < w && iy + 1 < h)
                    c[ch] = ((1 - fy) * ((1 - fx) * byte(ix, iy, ch) * 1.0 + fx * byte(ix + 1, iy, ch) * 1.0)
                             + fy * ((1 - fx) * byte(ix, iy + 1, ch) * 1.0 + fx * byte(ix + 1, iy + 1, ch) * 1.0))
                        / a;
                else
                    c[ch] = byte(ix, iy, ch);
            }
            const V p{px, py, 0}, n{0, 0, 1};
            V l = spot ? Norm(s) : Sub(s, p);
            const double d = Len(l);
            if (d != 0)
                l = V{l.x * (1 / d), l.y * (1 / d), l.z * (1 / d)};
            double nl = 2 * Dot(n, l);
            if (nl < 0)
                nl = 0;
            const V hv = Norm(Add(Norm(l), Norm(Sub(e, p))));
            double sh = Dot(n, hv);
            if (sh < 0.01)
                sh = 0.01;
            const double t = std::pow(sh, 27.0) * nl;
            for (int ch = 0; ch < 3; ++ch) {
                const double lit = C01(k[ch] * diffuse * c[ch] * nl + k[ch] * specular * t);
                out[(size_t(y) * w + x) * 3 + ch] = uint8_t(int(C01(c[ch] * ambient + lit) * 255));
            }
        }
    return out;
}

PixelBuffer Pattern(int w, int h)
{
    PixelBuffer b(w, h, 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                b.at(x, y)[c] = uint8_t((x * 53 + y * 97 + c * 71) % 256);
    return b;
}

PixelBuffer Flat(int w, int h, uint8_t value)
{
    PixelBuffer b(w, h, 3);
    std::fill(b.pixels.begin(), b.pixels.end(), value);
    return b;
}

} // namespace

TEST(LightingGeometry, CoincidentDragLightsStraightFromAboveOrOverTheCentre)
{
    for (Drag d : {Drag{400, 300, 400, 300}, Drag{1, 1, 1, 1}, Drag{1599, 7, 1599, 7}}) {
        LightingRenderer lr = Configure(LightingPreset::Spotlight, 1600, 1200, d);
        EXPECT_EQ(lr.light(0).direction.x, 0.0);
        EXPECT_EQ(lr.light(0).direction.y, 0.0);
        EXPECT_EQ(lr.light(0).direction.z, 0.8);
        EXPECT_EQ(lr.light(0).type, kLightDirectional);
    }
    for (Drag d : {Drag{400, 300, 400, 300}, Drag{0, 0, 0, 0}, Drag{-30, 2000, -30, 2000}}) {
        LightingRenderer lr = Configure(LightingPreset::PointLight, 1600, 1200, d);
        EXPECT_EQ(lr.light(0).position.x, 0.5);
        EXPECT_EQ(lr.light(0).position.y, 0.5);
        EXPECT_EQ(lr.light(0).position.z, 1.0);
        EXPECT_EQ(lr.light(0).type, kLightPoint);
    }
}

TEST(LightingGeometry, DragOffsetsAndViewpoint)
{
    // Offsets divided by the larger press coordinate.
    LightingRenderer spot = Configure(LightingPreset::Spotlight, 1600, 1200, {400, 300, 600, 450});
    EXPECT_NEAR(spot.light(0).direction.x, 200.0 / 400, 1e-7);
    EXPECT_NEAR(spot.light(0).direction.y, 150.0 / 400, 1e-7);
    LightingRenderer tall = Configure(LightingPreset::Spotlight, 1600, 1200, {100, 500, 50, 520});
    EXPECT_NEAR(tall.light(0).direction.x, -50.0 / 500, 1e-7);
    EXPECT_NEAR(tall.light(0).direction.y, 20.0 / 500, 1e-7);
    // The viewpoint sits over the pressed pixel in surface coordinates.
    EXPECT_NEAR(spot.viewpoint().x, 400.0 / 1600, 1e-12);
    EXPECT_NEAR(spot.viewpoint().y, 0.125 + 300.0 / 1600, 1e-12);
    EXPECT_EQ(spot.viewpoint().z, 0.075);
    LightingRenderer point = Configure(LightingPreset::PointLight, 600, 400, {300, 200, 500, 100});
    EXPECT_DOUBLE_EQ(point.light(0).position.x, 200 * 1.5 / 300 + 0.5);
    EXPECT_DOUBLE_EQ(point.light(0).position.y, -100 * 1.5 / 200 + 0.5);
    EXPECT_DOUBLE_EQ(point.viewpoint().x, 0.5);
    EXPECT_DOUBLE_EQ(point.viewpoint().y, 0.5);
    EXPECT_EQ(point.viewpoint().z, 0.5);
}

TEST(LightingGeometry, PressOnTheFirstColumnOrRowOrOutsideStaysFinite)
{
    struct Case {
        Drag d;
        double scale;
    };
    // Column 0 and row 0 divide by the other press coordinate; a press at or
    // above-left of the corner by the longer picture side.
    for (Case c : {Case{{0, 600, 100, 650}, 600}, Case{{800, 0, 700, 40}, 800}, Case{{0, 0, 160, 120}, 1600},
                   Case{{-50, -20, 100, 100}, 1600}, Case{{0, -5, 30, 40}, 1600}}) {
        LightingRenderer lr = Configure(LightingPreset::Spotlight, 1600, 1200, c.d);
        EXPECT_DOUBLE_EQ(lr.light(0).direction.x, (c.d.mx - c.d.ax) / c.scale);
        EXPECT_DOUBLE_EQ(lr.light(0).direction.y, (c.d.my - c.d.ay) / c.scale);
        EXPECT_EQ(lr.light(0).direction.z, 0.8);
    }
    // A press on column 0 renders like one on column 1, not as ambient only.
    const PixelBuffer photo = test::LoadSamplePhoto("chelsea.png");
    ASSERT_FALSE(photo.empty());
    const PixelBuffer edge = Render(Configure(LightingPreset::Spotlight, photo.width, photo.height, {0, 150, 200, 200}), photo);
    const PixelBuffer next = Render(Configure(LightingPreset::Spotlight, photo.width, photo.height, {1, 150, 200, 200}), photo);
    double diff = 0;
    for (size_t i = 0; i < edge.pixels.size(); ++i)
        diff += std::abs(int(edge.pixels[i]) - int(next.pixels[i]));
    EXPECT_LT(diff / double(edge.pixels.size()), 1.0);
}

TEST(LightingShading, MatchesPlainReference)
{
    for (LightingPreset preset : {LightingPreset::Spotlight, LightingPreset::PointLight}) {
        for (auto [w, h] : {std::pair{7, 5}, std::pair{5, 9}, std::pair{1, 1}, std::pair{2, 2}, std::pair{1, 6},
                            std::pair{6, 1}}) {
            const PixelBuffer src = Pattern(w, h);
            const LightingRenderer lr = Configure(preset, w, h, {w / 3 + 1, h / 3 + 1, w - 1, h - 1}, 250, 120, 30);
            EXPECT_EQ(Render(lr, src).pixels, ReferenceShade(lr, preset, src)) << w << "x" << h;
        }
    }
    // A photo large enough to be split over both cores.
    const PixelBuffer photo = test::LoadSamplePhoto("coffee.png");
    ASSERT_FALSE(photo.empty());
    for (LightingPreset preset : {LightingPreset::Spotlight, LightingPreset::PointLight}) {
        const LightingRenderer lr = Configure(preset, photo.width, photo.height, {200, 133, 300, 200}, 255, 230, 180);
        const PixelBuffer lit = Render(lr, photo);
        EXPECT_EQ(lit.pixels, ReferenceShade(lr, preset, photo));
        if (const char* dir = std::getenv("OMBRIK_LOOK_DIR"))
            test::SavePixelBuffer(lit, std::string(dir) + (preset == LightingPreset::Spotlight ? "/spotlight.png"
                                                                                                : "/pointlight.png"));
    }
}

TEST(LightingShading, WhiteLightOnWhiteSaturates)
{
    // With the light above or near above the picture the diffuse factor
    // 2 N·L exceeds 1 and every channel clamps at 255.
    const PixelBuffer white = Flat(16, 12, 255);
    for (LightingPreset preset : {LightingPreset::Spotlight, LightingPreset::PointLight})
        for (Drag d : {Drag{8, 6, 8, 6}, Drag{5, 4, 7, 5}}) {
            const PixelBuffer lit = Render(Configure(preset, 16, 12, d), white);
            for (uint8_t b : lit.pixels)
                ASSERT_EQ(b, 255);
        }
}

TEST(LightingShading, BlackPictureKeepsOnlyTheLightColouredHighlight)
{
    const PixelBuffer black = Flat(64, 48, 0);
    for (LightingPreset preset : {LightingPreset::Spotlight, LightingPreset::PointLight}) {
        // A pure red light: only byte 2 of each pixel may light up.
        const PixelBuffer lit = Render(Configure(preset, 64, 48, {20, 16, 40, 30}, 255, 0, 0), black);
        int litPixels = 0;
        for (size_t i = 0; i < lit.pixels.size(); i += 3) {
            ASSERT_EQ(lit.pixels[i], 0);
            ASSERT_EQ(lit.pixels[i + 1], 0);
            litPixels += lit.pixels[i + 2] > 0;
        }
        EXPECT_GT(litPixels, 0);
        EXPECT_LT(litPixels, 64 * 48);
    }
}

TEST(LightingShading, LastRowAndColumnReadWithoutBlending)
{
    // On a wide picture the bottom row reads only itself (no row below to
    // blend with); on a tall one the last column does.
    for (bool wide : {true, false}) {
        const int w = wide ? 40 : 4, h = wide ? 4 : 40;
        PixelBuffer a = Pattern(w, h), b = a;
        for (int i = 0; i < 36; ++i) {
            uint8_t* p = wide ? b.at(i, h - 2) : b.at(w - 2, i);
            p[0] ^= 0xff;
        }
        const LightingRenderer lr = Configure(LightingPreset::PointLight, w, h, {2, 2, 3, 3});
        const PixelBuffer la = Render(lr, a), lb = Render(lr, b);
        for (int i = 0; i < 36; ++i) {
            const int x = wide ? i : w - 1, y = wide ? h - 1 : i;
            EXPECT_EQ(la.at(x, y)[0], lb.at(x, y)[0]) << x << "," << y;
        }
        EXPECT_NE(la.pixels, lb.pixels); // the row or column before does read them
    }
}

TEST(LightingRender, ProgressAtTheStartOfEveryRow)
{
    for (auto [w, h] : {std::pair{7, 5}, std::pair{600, 400}}) {
        std::vector<int> seen;
        ScopedProgressSink sink([&](int p) { seen.push_back(p); });
        Render(Configure(LightingPreset::Spotlight, w, h, {w / 3, h / 3, w / 2, h / 2}), Flat(w, h, 90));
        std::vector<int> expected;
        for (int y = 0; y < h; ++y)
            expected.push_back(int((double(y) * w + 1) / (double(w) * h) * 100));
        EXPECT_EQ(seen, expected);
    }
}

TEST(LightingRender, RefusesBuffersOfTheWrongSize)
{
    const PixelBuffer src = Pattern(8, 6);
    PixelBuffer dst(8, 5, 3);
    LightingRenderer lr = Configure(LightingPreset::Spotlight, 8, 6, {3, 2, 4, 4});
    EXPECT_FALSE(lr.render(src, dst));
    EXPECT_EQ(dst.pixels, std::vector<uint8_t>(8 * 5 * 3, 0));
    lr.reset();
    PixelBuffer right(8, 6, 3);
    EXPECT_FALSE(lr.render(src, right));
    // The same buffer as source and destination still reads the original.
    LightingRenderer again = Configure(LightingPreset::Spotlight, 8, 6, {3, 2, 4, 4});
    PixelBuffer inPlace = src;
    EXPECT_TRUE(again.render(inPlace, inPlace));
    EXPECT_EQ(inPlace.pixels, Render(again, src).pixels);
}
