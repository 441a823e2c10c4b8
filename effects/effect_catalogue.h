// The fixed catalogue of effects: one table of ids, display names, categories,
// apply modes, engines, fixed parameters and default colours.
#pragma once

#include <cstdint>
#include <span>

namespace ombrik {

using EffectId = int32_t;

// Every id by name; the catalogue below is the one table that describes them.
namespace fx {
inline constexpr EffectId Lighten = 0, Darken = 1, SmoothSkin = 2, RedEye = 3, Gamma = 4, Contrast = 5, Blur = 6,
                          Sharp = 7, BlackAndWhite = 8, Pixelize = 9;
inline constexpr EffectId Canvas = 40, Weave = 41, Emboss = 42, SoftGlow = 43, DotArt = 44, Cubism = 45,
                          Splash = 46, OilPaint = 47, Mosaic = 48, Straws = 49, Glass = 50, LineArt = 51,
                          EdgePaint = 52, Posterize = 53, Wind = 54, MotionBlur = 55, RadialBlur = 56,
                          PainterPreset3 = 57;
inline constexpr EffectId WarpMove = 80, WarpGrow = 81, WarpShrink = 82, SwirlClockwise = 83,
                          SwirlCounterClockwise = 84, ReduceWarp = 85;
inline constexpr EffectId Spotlight = 120, PointLight = 121, LensFlare = 122, RadialFlare = 123, MagicFlare = 124,
                          FairyDust = 125, Mist = 126, Sparkle = 127, Firefly = 128;
inline constexpr EffectId RestoreBrush = 200;
} // namespace fx

inline constexpr EffectId kRestoreBrushId = fx::RestoreBrush;
inline constexpr EffectId kReduceWarpId = fx::ReduceWarp;

enum class EffectCategory : int32_t { Retouch = 0, Filters = 1, Warp = 2, Lighting = 3, None = -1 };

// What a mouse stroke on the canvas does for the chosen effect.
enum class ApplyMode : int32_t {
    PatchBrush = 0,
    ResultBrush = 1,
    LightPlacement = 2,
    WarpBrush = 3,
    StampBrush = 4,
    WholeImage = 5,
};

// Which engine runs an id.
enum class EffectEngine {
    Filter,          // CEffectFilter
    CanvasTexture,   // canvas-texture filter
    SoftGlow,        // soft-glow filter
    EdgePaint,       // edge-paint filter
    OilPaint,        // oil-paint filter
    Mosaic,          // mosaic filter
    Wind,            // wind filter
    BrushPainter,    // brush-stroke painter; parameter = preset
    Warp,            // warp brush on the canvas, never through RunEffect
    Lighting,        // lighting renderer, placed on the canvas
    LensFlare,       // lens flare, placed on the canvas
    Nova,            // supernova flare, placed on the canvas
    Stamp,           // sparkle stamp; parameter = variant
    Copy,            // restore brush: plain copy
};

// The CEffectFilter operation of a Filter-engine id.
enum class FilterOperation {
    None,
    ScaleChannels,
    SmoothSkin,
    RemoveRedEye,
    ApplyGamma,
    AdjustContrast,
    BoxBlur,
    Sharpen,
    GreyFromGreen,
    Pixelize,
    Emboss,
    Splash,
    GlassTiles,
    Posterize,
    MotionBlur,
    RadialBlur,
};

// Colours are kept with red in the lowest byte: 0x00BBGGRR.
constexpr uint32_t ColourRef(int red, int green, int blue)
{
    return uint32_t(red) | (uint32_t(green) << 8) | (uint32_t(blue) << 16);
}
constexpr int ColourRed(uint32_t c) { return int(c & 0xFF); }
constexpr int ColourGreen(uint32_t c) { return int((c >> 8) & 0xFF); }
constexpr int ColourBlue(uint32_t c) { return int((c >> 16) & 0xFF); }

struct EffectInfo {
    EffectId id;
    const char* name;           // display name; nullptr for ids without a tile name
    EffectCategory category;    // None for ids that have no tile (57, 85, 200)
    ApplyMode mode;
    EffectEngine engine;
    FilterOperation operation;  // for EffectEngine::Filter
    int parameter;              // percent, preset, variant or direction; 0 when unused
};

// The whole catalogue, in id order.
std::span<const EffectInfo> EffectCatalogue();

// The entry for an id, or nullptr for an id the catalogue does not know.
const EffectInfo* FindEffect(EffectId id);

// The 42 display names in table order: Retouch from entry 0, Filters from 10,
// Warp from 27 ("Reduce Warp" included), Lighting from 33.
std::span<const char* const> EffectDisplayNames();

// Tiles of a category: count and the id of tile i (i + 40 × category).
int TileCount(EffectCategory category);
EffectId TileEffectId(EffectCategory category, int tile);
// The category whose strip shows an id, or None (57, 85, 200, unknown ids).
EffectCategory CategoryOfEffect(EffectId id);

// The colour the main window gives the canvas when a Lighting effect is chosen;
// white for every id from 120 on that has no colour of its own.
uint32_t DefaultLightingColour(EffectId id);

} // namespace ombrik
