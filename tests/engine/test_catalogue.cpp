// The effect catalogue and RunEffect's dispatch.
#include "effects/effect_catalogue.h"
#include "engine/effect_filter.h"
#include "effects/effect_request.h"
#include "engine/pixel_buffer.h"
#include "tests/support/photo_fixture.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

using namespace ombrik;

TEST(Catalogue, TilesMapToIdsAndNames)
{
    const auto names = EffectDisplayNames();
    ASSERT_EQ(names.size(), 42u);
    const int firstName[4] = {0, 10, 27, 33};
    const int counts[4] = {10, 17, 5, 9};
    for (int c = 0; c < 4; ++c) {
        const auto category = EffectCategory(c);
        ASSERT_EQ(TileCount(category), counts[c]);
        for (int i = 0; i < counts[c]; ++i) {
            const EffectId id = TileEffectId(category, i);
            EXPECT_EQ(id, i + 40 * c);
            const EffectInfo* info = FindEffect(id);
            ASSERT_NE(info, nullptr) << id;
            EXPECT_EQ(info->category, category);
            EXPECT_EQ(std::string(info->name), names[firstName[c] + i]) << id;
            EXPECT_EQ(CategoryOfEffect(id), category);
        }
    }
    EXPECT_STREQ(FindEffect(8)->name, "B && W");
    EXPECT_STREQ(FindEffect(5)->name, "Constrast");
    EXPECT_STREQ(FindEffect(82)->name, "Shink");
    EXPECT_STREQ(FindEffect(126)->name, "Mist / Cloud");
    EXPECT_STREQ(names[32], "Reduce Warp");
}

TEST(Catalogue, IdsWithoutTiles)
{
    for (EffectId id : {57, 85, 200}) {
        ASSERT_NE(FindEffect(id), nullptr);
        EXPECT_EQ(CategoryOfEffect(id), EffectCategory::None);
    }
    for (EffectId id : {-1, 10, 39, 58, 86, 119, 129, 199, 201})
        EXPECT_EQ(FindEffect(id), nullptr) << id;
}

TEST(Catalogue, ApplyModesAndParameters)
{
    const std::set<int> patch = {0, 1, 3, 4, 5, 8}, result = {2, 6, 7, 9, 200};
    for (const EffectInfo& e : EffectCatalogue()) {
        ApplyMode expected;
        if (patch.count(e.id))
            expected = ApplyMode::PatchBrush;
        else if (result.count(e.id))
            expected = ApplyMode::ResultBrush;
        else if (e.id >= 40 && e.id <= 57)
            expected = ApplyMode::WholeImage;
        else if (e.id >= 80 && e.id <= 85)
            expected = ApplyMode::WarpBrush;
        else if (e.id >= 120 && e.id <= 124)
            expected = ApplyMode::LightPlacement;
        else
            expected = ApplyMode::StampBrush;
        EXPECT_EQ(e.mode, expected) << e.id;
    }
    const std::pair<int, int> presets[] = {{41, 4}, {44, 1}, {45, 0}, {49, 5}, {51, 2}, {57, 3}};
    for (auto [id, preset] : presets) {
        EXPECT_EQ(FindEffect(id)->engine, EffectEngine::BrushPainter);
        EXPECT_EQ(FindEffect(id)->parameter, preset);
    }
    const std::pair<int, int> variants[] = {{125, 0}, {126, 3}, {127, 2}, {128, 1}};
    for (auto [id, variant] : variants)
        EXPECT_EQ(FindEffect(id)->parameter, variant);
    EXPECT_EQ(FindEffect(0)->parameter, 110);
    EXPECT_EQ(FindEffect(1)->parameter, 90);
}

TEST(Catalogue, DefaultLightingColours)
{
    EXPECT_EQ(DefaultLightingColour(122), ColourRef(255, 38, 43));
    EXPECT_EQ(DefaultLightingColour(124), ColourRef(0, 0, 255));
    EXPECT_EQ(DefaultLightingColour(125), ColourRef(255, 192, 255));
    EXPECT_EQ(DefaultLightingColour(127), ColourRef(255, 190, 0));
    EXPECT_EQ(DefaultLightingColour(128), ColourRef(0, 255, 0));
    for (EffectId id : {120, 121, 123, 126})
        EXPECT_EQ(DefaultLightingColour(id), 0xFFFFFFu);
    EXPECT_EQ(ColourRed(ColourRef(1, 2, 3)), 1);
    EXPECT_EQ(ColourBlue(ColourRef(1, 2, 3)), 3);
}

TEST(RunEffect, RequestLifecycle)
{
    // Mist takes the request's colour and strength: after initialise a used
    // request draws what a fresh one draws (white, full size); clear leaves
    // effect 0, Lighten by 110 %.
    const PixelBuffer src = test::LoadSamplePhoto("coffee.png", 40, 40);
    auto run = [&](const EffectRequest& rq) {
        PixelBuffer out(40, 40, 3);
        g_random_set_seed(3);
        rq.RunEffect(src.data(), out.data());
        return out;
    };
    EffectRequest fresh, used;
    fresh.set(126, 40, 40, 3);
    used.colour = 0x0000FF;
    used.strength = 0.2f;
    used.set(126, 40, 40, 3);
    const PixelBuffer red = run(used);
    used.initialise();
    EXPECT_EQ(run(used).pixels, run(fresh).pixels);
    EXPECT_NE(red.pixels, run(fresh).pixels);
    used.clear();
    const PixelBuffer lighter = run(used);
    for (size_t i = 0; i < src.pixels.size(); ++i)
        ASSERT_EQ(lighter.pixels[i], std::min(255, src.pixels[i] * 110 / 100)) << i;
}

TEST(RunEffect, DispatchesToTheFilterOperations)
{
    const PixelBuffer src = test::LoadSamplePhoto("chelsea.png", 64, 48);
    ASSERT_FALSE(src.empty());
    CEffectFilter f;
    f.setDimensions(64, 48, 3);
    struct Case {
        EffectId id;
        void (*direct)(const CEffectFilter&, const uint8_t*, uint8_t*);
    };
    const Case cases[] = {
        {0, [](const CEffectFilter& f, const uint8_t* s, uint8_t* d) { f.ScaleChannels(s, d, 110); }},
        {1, [](const CEffectFilter& f, const uint8_t* s, uint8_t* d) { f.ScaleChannels(s, d, 90); }},
        {2, [](const CEffectFilter& f, const uint8_t* s, uint8_t* d) { f.SmoothSkin(s, d); }},
        {3, [](const CEffectFilter& f, const uint8_t* s, uint8_t* d) { f.RemoveRedEye(s, d); }},
        {4, [](const CEffectFilter& f, const uint8_t* s, uint8_t* d) { f.ApplyGamma(s, d, 1.1f); }},
        {5, [](const CEffectFilter& f, const uint8_t* s, uint8_t* d) { f.AdjustContrast(s, d, 110); }},
        {6, [](const CEffectFilter& f, const uint8_t* s, uint8_t* d) { f.BoxBlur(s, d); }},
        {7, [](const CEffectFilter& f, const uint8_t* s, uint8_t* d) { f.Sharpen(s, d); }},
        {8, [](const CEffectFilter& f, const uint8_t* s, uint8_t* d) { f.GreyFromGreen(s, d); }},
        {9, [](const CEffectFilter& f, const uint8_t* s, uint8_t* d) { f.Pixelize(s, d); }},
        {42, [](const CEffectFilter& f, const uint8_t* s, uint8_t* d) { f.Emboss(s, d); }},
        {50, [](const CEffectFilter& f, const uint8_t* s, uint8_t* d) { f.GlassTiles(s, d); }},
        {53, [](const CEffectFilter& f, const uint8_t* s, uint8_t* d) { f.Posterize(s, d); }},
        {55, [](const CEffectFilter& f, const uint8_t* s, uint8_t* d) { f.MotionBlur(s, d, 0); }},
        {56, [](const CEffectFilter& f, const uint8_t* s, uint8_t* d) { f.RadialBlur(s, d); }},
    };
    for (const Case& c : cases) {
        PixelBuffer viaCatalogue(64, 48, 3), direct(64, 48, 3);
        EffectRequest rq;
        rq.initialise();
        rq.set(c.id, 64, 48, 3);
        rq.RunEffect(src.data(), viaCatalogue.data());
        c.direct(f, src.data(), direct.data());
        EXPECT_EQ(viaCatalogue.pixels, direct.pixels) << c.id;
        EXPECT_NE(viaCatalogue.pixels, PixelBuffer(64, 48, 3).pixels) << c.id;
    }
}

TEST(RunEffect, RestoreBrushCopiesAndPlacedIdsDoNothing)
{
    const PixelBuffer src = test::LoadSamplePhoto("coffee.png", 20, 12);
    EffectRequest rq;
    rq.initialise();
    rq.set(kRestoreBrushId, 20, 12, 3);
    PixelBuffer dst(20, 12, 3);
    rq.RunEffect(src.data(), dst.data());
    EXPECT_EQ(dst.pixels, src.pixels);

    for (EffectId id : {80, 83, 85, 120, 121, 122, 123, 124, 999, -3}) {
        PixelBuffer untouched(20, 12, 3);
        rq.set(id, 20, 12, 3);
        rq.RunEffect(src.data(), untouched.data());
        EXPECT_EQ(untouched.pixels, PixelBuffer(20, 12, 3).pixels) << id;
    }
}

TEST(RunEffect, RefusesDescriptorsThatAreNotImages)
{
    const std::vector<uint8_t> src(64, 200);
    for (auto [w, h, bpp] : {std::tuple{0, 4, 3}, {4, -1, 3}, {4, 4, 2}, {4, 4, 5}, {2, 2, 0}}) {
        std::vector<uint8_t> dst(64, 0);
        EffectRequest rq;
        rq.initialise();
        rq.set(0, w, h, bpp);
        rq.RunEffect(src.data(), dst.data());
        EXPECT_EQ(dst, std::vector<uint8_t>(64, 0));
    }
}
