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
    {fx::Lighten, "Lighten", C::Retouch, M::PatchBrush, E::Filter, F::ScaleChannels, CEffectFilter::kLightenPercent},
    {fx::Darken, "Darken", C::Retouch, M::PatchBrush, E::Filter, F::ScaleChannels, CEffectFilter::kDarkenPercent},
    {fx::SmoothSkin, "Smooth Skin", C::Retouch, M::ResultBrush, E::Filter, F::SmoothSkin, 0},
    {fx::RedEye, "R- Red Eye", C::Retouch, M::PatchBrush, E::Filter, F::RemoveRedEye, CEffectFilter::kRedEyeThreshold},
    {fx::Gamma, "Gamma", C::Retouch, M::PatchBrush, E::Filter, F::ApplyGamma, 0},
    {fx::Contrast, "Constrast", C::Retouch, M::PatchBrush, E::Filter, F::AdjustContrast, CEffectFilter::kContrastPercent},
    {fx::Blur, "Blur", C::Retouch, M::ResultBrush, E::Filter, F::BoxBlur, 0},
    {fx::Sharp, "Sharp", C::Retouch, M::ResultBrush, E::Filter, F::Sharpen, 0},
    {fx::BlackAndWhite, "B && W", C::Retouch, M::PatchBrush, E::Filter, F::GreyFromGreen, 0},
    {fx::Pixelize, "Pixelize", C::Retouch, M::ResultBrush, E::Filter, F::Pixelize, 0},

    {fx::Canvas, "Canvas", C::Filters, M::WholeImage, E::CanvasTexture, F::None, 0},
    {fx::Weave, "Weave", C::Filters, M::WholeImage, E::BrushPainter, F::None, 4},
    {fx::Emboss, "Emboss", C::Filters, M::WholeImage, E::Filter, F::Emboss, 0},
    {fx::SoftGlow, "Soft Glow", C::Filters, M::WholeImage, E::SoftGlow, F::None, 0},
    {fx::DotArt, "Dot Art", C::Filters, M::WholeImage, E::BrushPainter, F::None, 1},
    {fx::Cubism, "Cubism", C::Filters, M::WholeImage, E::BrushPainter, F::None, 0},
    {fx::Splash, "Splash", C::Filters, M::WholeImage, E::Filter, F::Splash, 0},
    {fx::OilPaint, "Oil Paint", C::Filters, M::WholeImage, E::OilPaint, F::None, 0},
    {fx::Mosaic, "Mosaic", C::Filters, M::WholeImage, E::Mosaic, F::None, 0},
    {fx::Straws, "Straws", C::Filters, M::WholeImage, E::BrushPainter, F::None, 5},
    {fx::Glass, "Glass", C::Filters, M::WholeImage, E::Filter, F::GlassTiles, 0},
    {fx::LineArt, "Line Art", C::Filters, M::WholeImage, E::BrushPainter, F::None, 2},
    {fx::EdgePaint, "Edge Paint", C::Filters, M::WholeImage, E::EdgePaint, F::None, 0},
    {fx::Posterize, "Posterize", C::Filters, M::WholeImage, E::Filter, F::Posterize, 0},
    {fx::Wind, "Wind", C::Filters, M::WholeImage, E::Wind, F::None, 0},
    {fx::MotionBlur, "Motion Blur", C::Filters, M::WholeImage, E::Filter, F::MotionBlur, 0},
    {fx::RadialBlur, "Radial Blur", C::Filters, M::WholeImage, E::Filter, F::RadialBlur, 0},
    {fx::PainterPreset3, nullptr, C::None, M::WholeImage, E::BrushPainter, F::None, 3},

    {fx::WarpMove, "Move", C::Warp, M::WarpBrush, E::Warp, F::None, 0},
    {fx::WarpGrow, "Grow", C::Warp, M::WarpBrush, E::Warp, F::None, 0},
    {fx::WarpShrink, "Shink", C::Warp, M::WarpBrush, E::Warp, F::None, 0},
    {fx::SwirlClockwise, "Swirl CW", C::Warp, M::WarpBrush, E::Warp, F::None, 0},
    {fx::SwirlCounterClockwise, "SWirl CCW", C::Warp, M::WarpBrush, E::Warp, F::None, 0},
    {fx::ReduceWarp, "Reduce Warp", C::None, M::WarpBrush, E::Warp, F::None, 0},

    {fx::Spotlight, "Spotlight", C::Lighting, M::LightPlacement, E::Lighting, F::None, 0},
    {fx::PointLight, "Point Light", C::Lighting, M::LightPlacement, E::Lighting, F::None, 0},
    {fx::LensFlare, "Lens Flare", C::Lighting, M::LightPlacement, E::LensFlare, F::None, 0},
    {fx::RadialFlare, "Radial Flare", C::Lighting, M::LightPlacement, E::Nova, F::None, 0},
    {fx::MagicFlare, "Magic Flare", C::Lighting, M::LightPlacement, E::Nova, F::None, 0},
    {fx::FairyDust, "Fairy Dust", C::Lighting, M::StampBrush, E::Stamp, F::None, 0},
    {fx::Mist, "Mist / Cloud", C::Lighting, M::StampBrush, E::Stamp, F::None, 3},
    {fx::Sparkle, "Sparkle", C::Lighting, M::StampBrush, E::Stamp, F::None, 2},
    {fx::Firefly, "Firefly", C::Lighting, M::StampBrush, E::Stamp, F::None, 1},

    {fx::RestoreBrush, nullptr, C::None, M::ResultBrush, E::Copy, F::None, 0},
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
    case fx::LensFlare: return ColourRef(255, 38, 43);
    case fx::MagicFlare: return ColourRef(0, 0, 255);
    case fx::FairyDust: return ColourRef(255, 192, 255);
    case fx::Sparkle: return ColourRef(255, 190, 0);
    case fx::Firefly: return ColourRef(0, 255, 0);
    default: return ColourRef(255, 255, 255);
    }
}

} // namespace ombrik
