// Every effect's output on two small pictures (a crop of a photo and a drawn
// pattern of edges and gradients), compared by digest with the references in
// tests/data/pinned_outputs.txt: every catalogue effect at fixed seeds, the
// lights and flares at fixed placements and colours, every stamp, every warp
// mode, every adjustment and the geometry steps. A changed constant anywhere
// in that arithmetic changes a digest, and the failure names the output.
//
// OMBRIK_PIN_OUTPUTS=record rewrites the references and lists what changed;
// OMBRIK_PIN_SHEETS=<folder> writes every output as PNG contact sheets for
// looking at (scripts/pin-outputs.sh does both).
#include "artistic/brush_painter.h"
#include "effects/effect_request.h"
#include "engine/adjust.h"
#include "engine/effect_filter.h"
#include "engine/geometry.h"
#include "light/lens_flare_renderer.h"
#include "light/lighting_renderer.h"
#include "light/nova_renderer.h"
#include "light/stamp_renderer.h"
#include "light/warp_deformer.h"
#include "tests/support/photo_fixture.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace ombrik;

namespace {

struct Output {
    std::string name;
    PixelBuffer pixels;
};

// FNV-1a over the size and the bytes.
std::string Digest(const PixelBuffer& b)
{
    uint64_t h = 14695981039346656037ull;
    const auto mix = [&h](const uint8_t* p, size_t n) {
        for (size_t i = 0; i < n; ++i)
            h = (h ^ p[i]) * 1099511628211ull;
    };
    const int32_t dims[3] = {b.width, b.height, b.bytesPerPixel};
    mix(reinterpret_cast<const uint8_t*>(dims), sizeof dims);
    mix(b.data(), b.byteCount());
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

// Edges, gradients, a saturated red disc (for the red-eye filter), a dark
// corner and fine stripes, in 64 × 48.
PixelBuffer Pattern()
{
    PixelBuffer b(64, 48, 3);
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            uint8_t* p = b.at(x, y);
            p[0] = uint8_t(x * 4);                   // blue ramp across
            p[1] = uint8_t(y * 5);                   // green ramp down
            p[2] = uint8_t(x < 32 ? 40 : 220);       // red step in the middle
            if (y >= 30 && x >= 40 && x < 56 && (x / 2) % 2 == 0)
                p[0] = p[1] = p[2] = 250;            // stripes
            if ((x - 16) * (x - 16) + (y - 16) * (y - 16) < 64) {
                p[0] = 30, p[1] = 20, p[2] = 230;    // red disc
            }
            if (x < 10 && y > 36)
                p[0] = p[1] = p[2] = uint8_t(x + y - 36);  // near-black corner
        }
    return b;
}

void Seed(uint32_t seed)
{
    SeedScatterRandom(seed);
    std::srand(seed);
    g_random_set_seed(seed);
    SetPainterSeed(seed);
}

class Pinner {
public:
    Pinner(std::string fixture, const PixelBuffer& src) : m_fixture(std::move(fixture)), m_src(src) {}
    std::vector<Output> outputs;

    void add(const std::string& name, PixelBuffer pixels) { outputs.push_back({m_fixture + "/" + name, std::move(pixels)}); }
    PixelBuffer blank() const { return PixelBuffer(m_src.width, m_src.height, 3); }

    void effects()
    {
        for (const EffectInfo& e : EffectCatalogue()) {
            // Placed and warped ids are pinned below; the scattered stamps take
            // their count from the clock, so their drawing is pinned below.
            if (e.mode == ApplyMode::LightPlacement || e.mode == ApplyMode::WarpBrush
                || (e.engine == EffectEngine::Stamp && e.parameter != 3))
                continue;
            Seed(1000u + uint32_t(e.id));
            PixelBuffer dst = blank();
            EffectRequest rq;
            rq.initialise();
            rq.set(e.id, m_src.width, m_src.height, 3);
            rq.colour = DefaultLightingColour(e.id);
            rq.RunEffect(m_src.data(), dst.data());
            add("effect " + std::to_string(e.id) + " " + (e.name ? e.name : "unnamed"), std::move(dst));
        }
    }

    void lights()
    {
        struct Light {
            LightingPreset preset;
            int ax, ay, mx, my;
            uint32_t colour;
        };
        const Light lights[] = {{LightingPreset::Spotlight, 20, 15, 44, 34, 0xFFFFFF},
                                {LightingPreset::Spotlight, 50, 36, 50, 36, ColourRef(255, 150, 60)},
                                {LightingPreset::PointLight, 30, 20, 8, 42, 0xFFFFFF},
                                {LightingPreset::PointLight, 5, 40, 60, 6, ColourRef(80, 160, 255)}};
        for (const Light& l : lights) {
            LightingRenderer r;
            r.reset();
            r.setSize(m_src.width, m_src.height, 3);
            r.applyPreset(l.preset);
            r.setLightColour(ColourRed(l.colour), ColourGreen(l.colour), ColourBlue(l.colour));
            if (l.preset == LightingPreset::Spotlight) {
                r.setSpotDirection(l.ax, l.ay, l.mx, l.my);
                r.setSpotViewpoint(l.ax, l.ay);
            } else {
                r.setLightPosition(l.ax, l.ay, l.mx, l.my);
                r.setNearViewpoint(l.ax, l.ay);
            }
            PixelBuffer dst = blank();
            EXPECT_TRUE(r.render(m_src, dst));
            add(std::string(l.preset == LightingPreset::Spotlight ? "spotlight " : "point light ")
                    + std::to_string(l.ax) + "," + std::to_string(l.ay) + " to " + std::to_string(l.mx) + ","
                    + std::to_string(l.my),
                std::move(dst));
        }
        struct Flare {
            int x, y, size;
            uint32_t colour;
        };
        for (const Flare& f : {Flare{40, 18, 20, DefaultLightingColour(122)}, Flare{8, 40, 45, 0xFFFFFF}}) {
            LensFlareRenderer r;
            r.reset();
            r.setSize(m_src.width, m_src.height, 3);
            r.setCentre(f.x, f.y);
            r.setFlareSize(f.size);
            r.setColour(f.colour);
            PixelBuffer dst = blank();
            EXPECT_TRUE(r.render(m_src, dst));
            add("lens flare " + std::to_string(f.x) + "," + std::to_string(f.y) + " size " + std::to_string(f.size),
                std::move(dst));
        }
        for (const Flare& f : {Flare{30, 25, 12, 0xFFFFFF}, Flare{50, 10, 25, DefaultLightingColour(124)}}) {
            for (NovaStyle style : {NovaStyle::RadialFlare, NovaStyle::MagicFlare}) {
                NovaRenderer r;
                r.reset();
                r.setSize(m_src.width, m_src.height, 3);
                r.setColour(f.colour);
                r.setCentre(f.x, f.y);
                r.setRadius(f.size);
                r.selectStyle(style);
                PixelBuffer dst = blank();
                EXPECT_TRUE(r.renderWithSeed(m_src, dst, 77u + uint32_t(f.size)));
                add(std::string(style == NovaStyle::RadialFlare ? "radial flare " : "magic flare ")
                        + std::to_string(f.x) + "," + std::to_string(f.y) + " radius " + std::to_string(f.size),
                    std::move(dst));
            }
        }
    }

    void stamps()
    {
        struct Placement {
            float scale, angle;
            int cx, cy;
        };
        const Placement placements[] = {{0.3f, 0.0f, 20, 30}, {0.45f, 37.0f, 44, 12}, {0.7f, 200.0f, 60, 3}};
        const uint32_t colours[] = {DefaultLightingColour(125), DefaultLightingColour(128),
                                    DefaultLightingColour(127), DefaultLightingColour(126)};
        for (int variant = 0; variant < 4; ++variant) {
            const StampImage stamp = RecolourStamp(LoadStampImage(variant), colours[variant]);
            PixelBuffer dst = m_src;
            for (const Placement& p : placements)
                DrawStamp(dst.data(), dst.width, dst.height, 3, stamp, p.scale, p.angle, p.cx, p.cy);
            add("stamp " + std::to_string(variant), std::move(dst));
        }
    }

    void warps()
    {
        struct Stroke {
            const char* name;
            WarpMode mode;
            int radius, amount, repeats;
            std::vector<int> points;  // x, y pairs; the first is where the stroke starts
        };
        const Stroke strokes[] = {
            {"grow", WarpMode::Grow, 16, 100, 8, {28, 22, 28, 22, 30, 24}},
            {"shrink", WarpMode::Shrink, 18, 90, 6, {34, 20, 34, 20, 36, 22}},
            {"swirl clockwise", WarpMode::SwirlClockwise, 16, 40, 1, {30, 26, 30, 26, 33, 24}},
            {"swirl counter-clockwise", WarpMode::SwirlCounterClockwise, 20, 90, 1, {20, 30, 20, 30}},
            {"move", WarpMode::Move, 12, 60, 1, {10, 20, 25, 22, 50, 30, 52, 31, 8, 44}},
        };
        for (const Stroke& s : strokes) {
            PixelBuffer dst = blank();
            WarpDeformer warp;
            warp.start(m_src.width, m_src.height, 3, m_src.data(), dst.data());
            warp.setRadius(s.radius);
            warp.setAmount(s.amount);
            warp.setMode(s.mode);
            for (int r = 0; r < s.repeats; ++r)
                for (size_t i = 2; i < s.points.size(); i += 2)
                    warp.apply(s.points[i], s.points[i + 1], s.points[i - 2], s.points[i - 1]);
            add(std::string("warp ") + s.name, dst);
            if (s.mode == WarpMode::Move) {
                warp.setMode(WarpMode::Remove);
                warp.apply(30, 25, 30, 25);
                warp.apply(45, 30, 30, 25);
                add("warp reduce after move", std::move(dst));
            }
        }
    }

    void adjustments()
    {
        struct Setting {
            const char* name;
            double AdjustParams::*field;
            double value;
        };
        const Setting settings[] = {
            {"exposure", &AdjustParams::exposure, 1.2},     {"exposure", &AdjustParams::exposure, -0.7},
            {"contrast", &AdjustParams::contrast, 55},      {"contrast", &AdjustParams::contrast, -40},
            {"highlights", &AdjustParams::highlights, 60},  {"highlights", &AdjustParams::highlights, -80},
            {"shadows", &AdjustParams::shadows, 70},        {"shadows", &AdjustParams::shadows, -50},
            {"saturation", &AdjustParams::saturation, 60},  {"saturation", &AdjustParams::saturation, -70},
            {"vibrance", &AdjustParams::vibrance, 80},      {"vibrance", &AdjustParams::vibrance, -45},
            {"warmth", &AdjustParams::warmth, 45},          {"warmth", &AdjustParams::warmth, -60},
            {"tint", &AdjustParams::tint, 50},              {"tint", &AdjustParams::tint, -35},
        };
        AdjustParams all;
        for (const Setting& s : settings) {
            AdjustParams p;
            p.*(s.field) = s.value;
            all.*(s.field) += s.value * 0.75;
            PixelBuffer dst = blank();
            ApplyAdjustments(p, m_src, dst);
            std::ostringstream name;
            name << "adjust " << s.name << " " << s.value;
            add(name.str(), std::move(dst));
        }
        PixelBuffer dst = blank();
        ApplyAdjustments(all, m_src, dst);
        PixelBuffer faded = blank();
        FadeBlend(m_src, dst, 35, faded);
        add("adjust all", std::move(dst));
        add("fade 35", std::move(faded));
    }

    void geometry()
    {
        add("straighten 6.5", StraightenPixels(m_src, 6.5));
        add("straighten -20", StraightenPixels(m_src, -20.0));
        add("resize 37x29", ResizeLanczos3(m_src, 37, 29));
        add("resize 101x75", ResizeLanczos3(m_src, 101, 75));
        add("rotate 30 bilinear", RotatePixels(m_src, 30.0, 70, 60, Interpolation::Bilinear, 0));
        add("rotate -12.5 bicubic", RotatePixels(m_src, -12.5, 64, 48, Interpolation::Bicubic, 255));
        add("turn 1", RotateQuarterTurns(m_src, 1));
        add("turn 2", RotateQuarterTurns(m_src, 2));
        add("flip", FlipPixels(m_src, true));
        add("flip vertically", FlipPixels(m_src, false));
        add("crop", CropPixels(m_src, 5, 7, 30, 20));
    }

private:
    std::string m_fixture;
    const PixelBuffer& m_src;
};

std::map<std::string, std::string> ReadReferences(const std::string& path, bool& found)
{
    std::map<std::string, std::string> refs;
    std::ifstream in(path);
    found = bool(in);
    for (std::string line; std::getline(in, line);) {
        const size_t space = line.rfind(' ');
        if (line.empty() || line[0] == '#' || space == std::string::npos)
            continue;
        refs[line.substr(0, space)] = line.substr(space + 1);
    }
    return refs;
}

// Contact sheets of up to 40 outputs each, every output doubled, in the
// order of the references.
void WriteSheets(const std::vector<Output>& outputs, const std::string& folder)
{
    constexpr int kColumns = 8, kPerSheet = 40, kCellW = 2 * 104, kCellH = 2 * 78;
    std::ofstream index(folder + "/index.txt");
    for (size_t first = 0; first < outputs.size(); first += kPerSheet) {
        const size_t count = std::min<size_t>(kPerSheet, outputs.size() - first);
        PixelBuffer sheet(kColumns * kCellW, int((count + kColumns - 1) / kColumns) * kCellH, 3);
        std::fill(sheet.pixels.begin(), sheet.pixels.end(), uint8_t(96));
        for (size_t i = 0; i < count; ++i) {
            const PixelBuffer& b = outputs[first + i].pixels;
            const int ox = int(i % kColumns) * kCellW, oy = int(i / kColumns) * kCellH;
            for (int y = 0; y < std::min(b.height * 2, kCellH - 4); ++y)
                for (int x = 0; x < std::min(b.width * 2, kCellW - 4); ++x)
                    std::memcpy(sheet.at(ox + x, oy + y), b.at(x / 2, y / 2), 3);
            index << "sheet " << first / kPerSheet << " cell " << i << ": " << outputs[first + i].name << "\n";
        }
        test::SavePixelBuffer(sheet, folder + "/sheet-" + std::to_string(first / kPerSheet) + ".png");
    }
}

} // namespace

TEST(PinnedOutputs, EveryEffectMatchesItsRecordedDigest)
{
    const PixelBuffer photo = CropPixels(test::LoadSamplePhoto("chelsea.png"), 286, 104, 64, 48);
    ASSERT_EQ(photo.width, 64);
    const PixelBuffer pattern = Pattern();
    std::vector<Output> outputs;
    for (auto& [fixture, src] : {std::pair{"photo", &photo}, std::pair{"pattern", &pattern}}) {
        Pinner pin(fixture, *src);
        pin.effects();
        pin.lights();
        pin.stamps();
        pin.warps();
        pin.adjustments();
        pin.geometry();
        for (Output& o : pin.outputs)
            outputs.push_back(std::move(o));
    }
    Seed(uint32_t(std::time(nullptr)));
    SetPainterSeed(std::nullopt);

    if (const char* folder = std::getenv("OMBRIK_PIN_SHEETS"))
        WriteSheets(outputs, folder);

    const std::string path = OMBRIK_PINNED_REFERENCES;
    bool found = false;
    const std::map<std::string, std::string> refs = ReadReferences(path, found);
    const char* mode = std::getenv("OMBRIK_PIN_OUTPUTS");
    if (mode && std::string(mode) == "record") {
        std::ofstream out(path);
        out << "# Digests of every pinned effect output (tests/pinned/test_pinned_outputs.cpp); rewritten by scripts/pin-outputs.sh.\n";
        for (const Output& o : outputs) {
            const std::string digest = Digest(o.pixels);
            out << o.name << " " << digest << "\n";
            const auto it = refs.find(o.name);
            if (it == refs.end())
                std::printf("new:     %s\n", o.name.c_str());
            else if (it->second != digest)
                std::printf("changed: %s\n", o.name.c_str());
        }
        for (const auto& [name, digest] : refs)
            if (std::none_of(outputs.begin(), outputs.end(), [&](const Output& o) { return o.name == name; }))
                std::printf("dropped: %s\n", name.c_str());
        return;
    }

    ASSERT_TRUE(found) << "no references at " << path << "; record them with scripts/pin-outputs.sh";
    std::vector<std::string> changed;
    for (const Output& o : outputs) {
        const auto it = refs.find(o.name);
        if (it == refs.end())
            ADD_FAILURE() << "no recorded reference for '" << o.name << "'";
        else if (it->second != Digest(o.pixels))
            changed.push_back(o.name);
    }
    EXPECT_EQ(refs.size(), outputs.size()) << "references recorded for outputs no longer made";
    for (const std::string& name : changed)
        ADD_FAILURE() << "output changed: '" << name << "'";
}
