// Every effect's output on two small pictures (a crop of a photo and a drawn
// pattern of edges and gradients), compared by digest with the references in
// tests/data/pinned_outputs.txt: every catalogue effect at fixed seeds, the
// lights and flares at fixed placements and colours, every stamp, every warp
// mode, every adjustment and the geometry steps. A changed constant anywhere
// in that arithmetic changes a digest, and the failure names the output.
// OMBRIK_PIN_OUTPUTS=record rewrites the references and lists what changed;
// OMBRIK_PIN_SHEETS=<folder> writes every output into PNG contact sheets to
// look at (scripts/pin-outputs.sh does both).
#include "artistic/brush_painter.h"
#include "effects/effect_request.h"
#include "engine/adjust.h"
#include "engine/tone_analysis.h"
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
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace ombrik;

namespace {

using Outputs = std::vector<std::pair<std::string, PixelBuffer>>;

template <class... T>
std::string Cat(const T&... parts)
{
    std::ostringstream s;
    (s << ... << parts);
    return s.str();
}

// FNV-1a over the size and the bytes.
std::string Digest(const PixelBuffer& b)
{
    uint64_t h = 14695981039346656037ull;
    const int32_t dims[3] = {b.width, b.height, b.bytesPerPixel};
    for (const auto& [p, n] : {std::pair{reinterpret_cast<const uint8_t*>(dims), sizeof dims}, {b.data(), b.byteCount()}})
        for (size_t i = 0; i < n; ++i)
            h = (h ^ p[i]) * 1099511628211ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

// Ramps, a step, a saturated red disc (for the red-eye filter), stripes and a
// near-black corner in 64 × 48; with 4 bytes, alpha ramps too.
PixelBuffer Pattern(int bpp)
{
    PixelBuffer b(64, 48, bpp);
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            uint8_t* p = b.at(x, y);
            p[0] = uint8_t(x * 4), p[1] = uint8_t(y * 5), p[2] = uint8_t(x < 32 ? 40 : 220);
            if (y >= 30 && x >= 40 && x < 56 && (x / 2) % 2 == 0)
                p[0] = p[1] = p[2] = 250;
            if ((x - 16) * (x - 16) + (y - 16) * (y - 16) < 64)
                p[0] = 30, p[1] = 20, p[2] = 230;
            if (x < 10 && y > 36)
                p[0] = p[1] = p[2] = uint8_t(x + y - 36);
            if (bpp == 4)
                p[3] = uint8_t(x * 3 + y * 2);
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

void PinEffects(const PixelBuffer& src, Outputs& out)
{
    for (const EffectInfo& e : EffectCatalogue()) {
        // Placed and warped ids are pinned apart; the scattered stamps take
        // their count from the clock, so only their drawing is pinned.
        if (e.mode == ApplyMode::LightPlacement || e.mode == ApplyMode::WarpBrush
            || (e.engine == EffectEngine::Stamp && e.parameter != 3))
            continue;
        Seed(1000u + uint32_t(e.id));
        PixelBuffer dst(src.width, src.height, src.bytesPerPixel);
        EffectRequest rq;
        rq.set(e.id, src.width, src.height, src.bytesPerPixel);
        rq.colour = DefaultLightingColour(e.id);
        rq.RunEffect(src.data(), dst.data());
        out.emplace_back(Cat("effect ", e.id, " ", e.name ? e.name : "unnamed"), std::move(dst));
    }
}

void PinLights(const PixelBuffer& src, Outputs& out)
{
    const auto run = [&](const std::string& name, auto&& renderer, auto&& render) {
        renderer.reset();
        renderer.setSize(src.width, src.height, 3);
        PixelBuffer dst(src.width, src.height, 3);
        EXPECT_TRUE(render(dst)) << name;
        out.emplace_back(name, std::move(dst));
    };
    struct Placement {
        int kind, ax, ay, mx, my;  // kind: 0 spotlight, 1 point light, 2 lens flare, 3 radial, 4 magic flare
        uint32_t colour;
    };
    const Placement placements[] = {
        {0, 20, 15, 44, 34, 0xFFFFFF}, {0, 50, 36, 50, 36, ColourRef(255, 150, 60)},
        {1, 30, 20, 8, 42, 0xFFFFFF},  {1, 5, 40, 60, 6, ColourRef(80, 160, 255)},
        {2, 40, 18, 20, 0, DefaultLightingColour(122)}, {2, 8, 40, 45, 0, 0xFFFFFF},
        {3, 30, 25, 12, 0, 0xFFFFFF},  {4, 30, 25, 12, 0, 0xFFFFFF},
        {3, 50, 10, 25, 0, DefaultLightingColour(124)}, {4, 50, 10, 25, 0, DefaultLightingColour(124)},
        // A click without a drag: the smallest flares, reaching far beyond their size.
        {2, 60, 3, 1, 0, DefaultLightingColour(122)}, {3, 2, 45, 1, 0, 0xFFFFFF}, {4, 61, 44, 1, 0, 0xFFFFFF},
    };
    const char* kinds[] = {"spotlight", "point light", "lens flare", "radial flare", "magic flare"};
    for (const Placement& p : placements) {
        const std::string name = Cat(kinds[p.kind], " ", p.ax, ",", p.ay, p.kind < 2 ? " to " : p.kind == 2 ? " size " : " radius ", p.mx,
                                     p.kind < 2 ? Cat(",", p.my) : "");
        if (p.kind < 2) {
            LightingRenderer r;
            run(name, r, [&](PixelBuffer& dst) {
                r.applyPreset(p.kind == 0 ? LightingPreset::Spotlight : LightingPreset::PointLight);
                r.setLightColour(ColourRed(p.colour), ColourGreen(p.colour), ColourBlue(p.colour));
                if (p.kind == 0)
                    r.setSpotDirection(p.ax, p.ay, p.mx, p.my), r.setSpotViewpoint(p.ax, p.ay);
                else
                    r.setLightPosition(p.ax, p.ay, p.mx, p.my), r.setNearViewpoint(p.ax, p.ay);
                return r.render(src, dst);
            });
        } else if (p.kind == 2) {
            LensFlareRenderer r;
            run(name, r, [&](PixelBuffer& dst) {
                r.setCentre(p.ax, p.ay), r.setFlareSize(p.mx), r.setColour(p.colour);
                return r.render(src, dst);
            });
        } else {
            NovaRenderer r;
            run(name, r, [&](PixelBuffer& dst) {
                r.setColour(p.colour), r.setCentre(p.ax, p.ay), r.setRadius(p.mx);
                r.selectStyle(p.kind == 3 ? NovaStyle::RadialFlare : NovaStyle::MagicFlare);
                return r.renderWithSeed(src, dst, 77u + uint32_t(p.mx));
            });
        }
    }
    // Every stamp, recoloured by its effect's colour, at three placements.
    const EffectId stampIds[] = {125, 128, 127, 126};
    for (int variant = 0; variant < 4; ++variant) {
        const StampImage stamp = RecolourStamp(LoadStampImage(variant), DefaultLightingColour(stampIds[variant]));
        PixelBuffer dst = src;
        DrawStamp(dst.data(), dst.width, dst.height, 3, stamp, 0.3f, 0.0f, 20, 30);
        DrawStamp(dst.data(), dst.width, dst.height, 3, stamp, 0.45f, 37.0f, 44, 12);
        DrawStamp(dst.data(), dst.width, dst.height, 3, stamp, 0.7f, 200.0f, 60, 3);
        out.emplace_back(Cat("stamp ", variant), std::move(dst));
    }
}

void PinWarps(const PixelBuffer& src, Outputs& out)
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
        {"reduce after move", WarpMode::Remove, 12, 60, 1, {30, 25, 30, 25, 45, 30}},
    };
    PixelBuffer dst(src.width, src.height, 3);
    WarpDeformer warp;
    for (const Stroke& s : strokes) {
        if (s.mode != WarpMode::Remove)  // reduce works on the move before it
            warp.start(src.width, src.height, 3, src.data(), dst.data());
        warp.setRadius(s.radius);
        warp.setAmount(s.amount);
        warp.setMode(s.mode);
        for (int r = 0; r < s.repeats; ++r)
            for (size_t i = 2; i < s.points.size(); i += 2)
                warp.apply(s.points[i], s.points[i + 1], s.points[i - 2], s.points[i - 1]);
        out.emplace_back(Cat("warp ", s.name), dst);
    }
}

void PinAdjustmentsAndGeometry(const PixelBuffer& src, Outputs& out)
{
    const std::pair<const char*, double AdjustParams::*> fields[] = {
        {"exposure", &AdjustParams::exposure}, {"contrast", &AdjustParams::contrast},
        {"highlights", &AdjustParams::highlights}, {"shadows", &AdjustParams::shadows},
        {"saturation", &AdjustParams::saturation}, {"vibrance", &AdjustParams::vibrance},
        {"warmth", &AdjustParams::warmth}, {"tint", &AdjustParams::tint}};
    const double values[][2] = {{1.2, -0.7}, {55, -40}, {60, -80}, {70, -50}, {60, -70}, {80, -45}, {45, -60}, {50, -35}};
    AdjustParams all;
    for (size_t f = 0; f < std::size(fields); ++f)
        for (double v : values[f]) {
            AdjustParams p;
            p.*(fields[f].second) = v;
            all.*(fields[f].second) += v * 0.75;
            PixelBuffer dst(src.width, src.height, 3);
            ApplyAdjustments(p, src, dst);
            out.emplace_back(Cat("adjust ", fields[f].first, " ", v), std::move(dst));
        }
    PixelBuffer adjusted(src.width, src.height, 3), faded(src.width, src.height, 3);
    ApplyAdjustments(all, src, adjusted);
    FadeBlend(src, adjusted, 35, faded);
    out.emplace_back("adjust all", std::move(adjusted));
    out.emplace_back("fade 35", std::move(faded));
    // More colour on a brighter or darker picture pushes channels past white or black.
    const std::pair<const char*, AdjustParams> clipping[] = {{"brighter with vibrance", {1.2, 0, 0, 0, 0, 80}},
                                                             {"brighter with saturation", {1.2, 0, 0, 0, 60}},
                                                             {"darker with contrast and saturation", {-0.7, 55, 0, 0, 60}}};
    for (const auto& [name, p] : clipping) {
        PixelBuffer dst(src.width, src.height, 3);
        ApplyAdjustments(p, src, dst);
        out.emplace_back(Cat("adjust ", name), std::move(dst));
    }
    // Levels and curves, on their own and with the sliders; Auto's settings.
    AdjustParams levels;
    levels.tone.levels[size_t(ToneChannel::Rgb)] = {12, 1.3, 235};
    levels.tone.levels[size_t(ToneChannel::Blue)] = {0, 0.8, 250};
    AdjustParams curves;
    curves.tone.curves[size_t(ToneChannel::Rgb)] = Curve{{{0, 0}, {64, 52}, {192, 210}, {255, 255}}};
    curves.tone.curves[size_t(ToneChannel::Red)] = PresetCurve(CurvePreset::LiftShadows);
    AdjustParams together = all;
    together.tone = levels.tone;
    together.tone.curves = curves.tone.curves;
    const std::pair<const char*, AdjustParams> tone[] = {
        {"levels", levels}, {"curves", curves}, {"all with levels and curves", together}, {"auto", AutoAdjust(src)}};
    for (const auto& [name, p] : tone) {
        PixelBuffer dst(src.width, src.height, 3);
        ApplyAdjustments(p, src, dst);
        out.emplace_back(Cat("adjust ", name), std::move(dst));
    }

    out.emplace_back("straighten 6.5", StraightenPixels(src, 6.5));
    out.emplace_back("straighten -20", StraightenPixels(src, -20.0));
    out.emplace_back("resize 37x29", ResizeLanczos3(src, 37, 29));
    out.emplace_back("resize 101x75", ResizeLanczos3(src, 101, 75));
    out.emplace_back("rotate 30 bilinear", RotatePixels(src, 30.0, 70, 60, Interpolation::Bilinear, 0));
    out.emplace_back("rotate -12.5 bicubic", RotatePixels(src, -12.5, 64, 48, Interpolation::Bicubic, 255));
    out.emplace_back("turn 1", RotateQuarterTurns(src, 1));
    out.emplace_back("turn 2", RotateQuarterTurns(src, 2));
    out.emplace_back("flip", FlipPixels(src, true));
    out.emplace_back("flip vertically", FlipPixels(src, false));
    out.emplace_back("crop", CropPixels(src, 5, 7, 30, 20));
}

// Contact sheets of 40 outputs each, every output doubled, in list order;
// index.txt names the cells.
void WriteSheets(const Outputs& outputs, const std::string& folder)
{
    constexpr int kColumns = 8, kPerSheet = 40, kCellW = 208, kCellH = 156;
    std::ofstream index(folder + "/index.txt");
    for (size_t first = 0; first < outputs.size(); first += kPerSheet) {
        const size_t count = std::min<size_t>(kPerSheet, outputs.size() - first);
        PixelBuffer sheet(kColumns * kCellW, int((count + kColumns - 1) / kColumns) * kCellH, 3);
        std::fill(sheet.pixels.begin(), sheet.pixels.end(), uint8_t(96));
        for (size_t i = 0; i < count; ++i) {
            const auto& [name, b] = outputs[first + i];
            for (int y = 0; y < std::min(b.height * 2, kCellH - 4); ++y)
                for (int x = 0; x < std::min(b.width * 2, kCellW - 4); ++x)
                    std::memcpy(sheet.at(int(i % kColumns) * kCellW + x, int(i / kColumns) * kCellH + y), b.at(x / 2, y / 2), 3);
            index << "sheet " << first / kPerSheet << " cell " << i << ": " << name << "\n";
        }
        test::SavePixelBuffer(sheet, Cat(folder, "/sheet-", first / kPerSheet, ".png"));
    }
}

} // namespace

TEST(PinnedOutputs, EveryEffectMatchesItsRecordedDigest)
{
    const PixelBuffer photo = CropPixels(test::LoadSamplePhoto("chelsea.png"), 286, 104, 64, 48);
    ASSERT_EQ(photo.width, 64);
    Outputs outputs;
    // Only the catalogue's effects take 4-byte pixels and a single row or
    // column, which they handle as their loop bounds say.
    const std::pair<const char*, PixelBuffer> fixtures[] = {
        {"photo", photo}, {"pattern", Pattern(3)}, {"pattern rgba", Pattern(4)},
        {"row", CropPixels(photo, 0, 20, 64, 1)}, {"column", CropPixels(Pattern(3), 16, 0, 1, 48)}};
    for (const auto& [fixture, src] : fixtures) {
        Outputs own;
        for (auto pin : {PinEffects, PinLights, PinWarps, PinAdjustmentsAndGeometry})
            if (pin == PinEffects || (src.bytesPerPixel == 3 && src.width > 1 && src.height > 1))
                pin(src, own);
        for (auto& [name, pixels] : own)
            outputs.emplace_back(Cat(fixture, "/", name), std::move(pixels));
    }
    Seed(uint32_t(std::time(nullptr)));
    SetPainterSeed(std::nullopt);
    if (const char* folder = std::getenv("OMBRIK_PIN_SHEETS"))
        WriteSheets(outputs, folder);

    std::map<std::string, std::string> refs;
    std::ifstream in(OMBRIK_PINNED_REFERENCES);
    for (std::string line; std::getline(in, line);)
        if (const size_t space = line.rfind(' '); !line.empty() && line[0] != '#' && space != std::string::npos)
            refs[line.substr(0, space)] = line.substr(space + 1);

    if (const char* mode = std::getenv("OMBRIK_PIN_OUTPUTS"); mode && std::string(mode) == "record") {
        std::ofstream file(OMBRIK_PINNED_REFERENCES);
        file << "# Digests of the pinned effect outputs (tests/pinned); rewritten by scripts/pin-outputs.sh.\n";
        for (const auto& [name, pixels] : outputs) {
            const std::string digest = Digest(pixels);
            file << name << " " << digest << "\n";
            if (refs.count(name) == 0 || refs[name] != digest)
                std::printf("%s %s\n", refs.count(name) ? "changed:" : "new:    ", name.c_str());
            refs.erase(name);
        }
        for (const auto& entry : refs)
            std::printf("dropped: %s\n", entry.first.c_str());
        return;
    }

    ASSERT_FALSE(refs.empty()) << "no references at " << OMBRIK_PINNED_REFERENCES
                               << "; record them with scripts/pin-outputs.sh";
    for (const auto& [name, pixels] : outputs) {
        const auto it = refs.find(name);
        if (it == refs.end()) {
            ADD_FAILURE() << "no recorded reference for '" << name << "'";
            continue;
        }
        if (it->second != Digest(pixels))
            ADD_FAILURE() << "output changed: '" << name << "'";
        refs.erase(it);
    }
    for (const auto& entry : refs)
        ADD_FAILURE() << "reference for an output no longer made: '" << entry.first << "'";
}
