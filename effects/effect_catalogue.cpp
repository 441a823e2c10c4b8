#include "effects/effect_catalogue.h"

#include "engine/effect_filter.h"

#include <algorithm>
#include <array>

namespace ombrik {

namespace {

using C = EffectCategory;
using M = ApplyMode;
using E = EffectEngine;
using F = FilterOperation;

constexpr EffectInfo kCatalogue[] = {
    {0, "Lighten", C::Retouch, M::PatchBrush, E::Filter, F::ScaleChannels, CEffectFilter::kLightenPercent},
    {1, "Darken", C::Retouch, M::PatchBrush, E::Filter, F::ScaleChannels, CEffectFilter::kDarkenPercent},
    {2, "Smooth Skin", C::Retouch, M::ResultBrush, E::Filter, F::SmoothSkin, 0},
    {3, "R- Red Eye", C::Retouch, M::PatchBrush, E::Filter, F::RemoveRedEye, CEffectFilter::kRedEyeThreshold},
    {4, "Gamma", C::Retouch, M::PatchBrush, E::Filter, F::ApplyGamma, 0},
    {5, "Constrast", C::Retouch, M::PatchBrush, E::Filter, F::AdjustContrast, CEffectFilter::kContrastPercent},
    {6, "Blur", C::Retouch, M::ResultBrush, E::Filter, F::BoxBlur, 0},
    {7, "Sharp", C::Retouch, M::ResultBrush, E::Filter, F::Sharpen, 0},
    {8, "B && W", C::Retouch, M::PatchBrush, E::Filter, F::GreyFromGreen, 0},
    {9, "Pixelize", C::Retouch, M::ResultBrush, E::Filter, F::Pixelize, 0},

    {40, "Canvas", C::Filters, M::WholeImage, E::CanvasTexture, F::None, 0},
    {41, "Weave", C::Filters, M::WholeImage, E::BrushPainter, F::None, 4},
    {42, "Emboss", C::Filters, M::WholeImage, E::Filter, F::Emboss, 0},
    {43, "Soft Glow", C::Filters, M::WholeImage, E::SoftGlow, F::None, 0},
    {44, "Dot Art", C::Filters, M::WholeImage, E::BrushPainter, F::None, 1},
    {45, "Cubism", C::Filters, M::WholeImage, E::BrushPainter, F::None, 0},
    {46, "Splash", C::Filters, M::WholeImage, E::Filter, F::Splash, 0},
    {47, "Oil Paint", C::Filters, M::WholeImage, E::OilPaint, F::None, 0},
    {48, "Mosaic", C::Filters, M::WholeImage, E::Mosaic, F::None, 0},
    {49, "Straws", C::Filters, M::WholeImage, E::BrushPainter, F::None, 5},
    {50, "Glass", C::Filters, M::WholeImage, E::Filter, F::GlassTiles, 0},
    {51, "Line Art", C::Filters, M::WholeImage, E::BrushPainter, F::None, 2},
    {52, "Edge Paint", C::Filters, M::WholeImage, E::EdgePaint, F::None, 0},
    {53, "Posterize", C::Filters, M::WholeImage, E::Filter, F::Posterize, 0},
    {54, "Wind", C::Filters, M::WholeImage, E::Wind, F::None, 0},
    {55, "Motion Blur", C::Filters, M::WholeImage, E::Filter, F::MotionBlur, 0},
    {56, "Radial Blur", C::Filters, M::WholeImage, E::Filter, F::RadialBlur, 0},
    {57, nullptr, C::None, M::WholeImage, E::BrushPainter, F::None, 3},

    {80, "Move", C::Warp, M::WarpBrush, E::Warp, F::None, 0},
    {81, "Grow", C::Warp, M::WarpBrush, E::Warp, F::None, 0},
    {82, "Shink", C::Warp, M::WarpBrush, E::Warp, F::None, 0},
    {83, "Swirl CW", C::Warp, M::WarpBrush, E::Warp, F::None, 0},
    {84, "SWirl CCW", C::Warp, M::WarpBrush, E::Warp, F::None, 0},
    {85, "Reduce Warp", C::None, M::WarpBrush, E::Warp, F::None, 0},

    {120, "Spotlight", C::Lighting, M::LightPlacement, E::Lighting, F::None, 0},
    {121, "Point Light", C::Lighting, M::LightPlacement, E::Lighting, F::None, 0},
    {122, "Lens Flare", C::Lighting, M::LightPlacement, E::LensFlare, F::None, 0},
    {123, "Radial Flare", C::Lighting, M::LightPlacement, E::Nova, F::None, 0},
    {124, "Magic Flare", C::Lighting, M::LightPlacement, E::Nova, F::None, 0},
    {125, "Fairy Dust", C::Lighting, M::StampBrush, E::Stamp, F::None, 0},
    {126, "Mist / Cloud", C::Lighting, M::StampBrush, E::Stamp, F::None, 3},
    {127, "Sparkle", C::Lighting, M::StampBrush, E::Stamp, F::None, 2},
    {128, "Firefly", C::Lighting, M::StampBrush, E::Stamp, F::None, 1},

    {kRestoreBrushId, nullptr, C::None, M::ResultBrush, E::Copy, F::None, 0},
};

constexpr const char* kDisplayNames[42] = {
    "Lighten", "Darken", "Smooth Skin", "R- Red Eye", "Gamma", "Constrast", "Blur", "Sharp", "B && W", "Pixelize",
    "Canvas", "Weave", "Emboss", "Soft Glow", "Dot Art", "Cubism", "Splash", "Oil Paint", "Mosaic", "Straws",
    "Glass", "Line Art", "Edge Paint", "Posterize", "Wind", "Motion Blur", "Radial Blur",
    "Move", "Grow", "Shink", "Swirl CW", "SWirl CCW", "Reduce Warp",
    "Spotlight", "Point Light", "Lens Flare", "Radial Flare", "Magic Flare", "Fairy Dust", "Mist / Cloud",
    "Sparkle", "Firefly",
};

constexpr std::array<int, 4> kTileCounts = {10, 17, 5, 9};

} // namespace

std::span<const EffectInfo> EffectCatalogue()
{
    return kCatalogue;
}

const EffectInfo* FindEffect(EffectId id)
{
    const auto it = std::lower_bound(std::begin(kCatalogue), std::end(kCatalogue), id,
                                     [](const EffectInfo& e, EffectId v) { return e.id < v; });
    return it != std::end(kCatalogue) && it->id == id ? &*it : nullptr;
}

std::span<const char* const> EffectDisplayNames()
{
    return kDisplayNames;
}

int TileCount(EffectCategory category)
{
    const int c = int(category);
    return c >= 0 && c < int(kTileCounts.size()) ? kTileCounts[c] : 0;
}

EffectId TileEffectId(EffectCategory category, int tile)
{
    return EffectId(tile + 40 * int(category));
}

EffectCategory CategoryOfEffect(EffectId id)
{
    const EffectInfo* info = FindEffect(id);
    return info ? info->category : EffectCategory::None;
}

uint32_t DefaultLightingColour(EffectId id)
{
    switch (id) {
    case 122: return ColourRef(255, 38, 43);
    case 124: return ColourRef(0, 0, 255);
    case 125: return ColourRef(255, 192, 255);
    case 127: return ColourRef(255, 190, 0);
    case 128: return ColourRef(0, 255, 0);
    default: return ColourRef(255, 255, 255);
    }
}

} // namespace ombrik
