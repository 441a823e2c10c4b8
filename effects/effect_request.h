// One effect run: the request's colour, strength, id and buffer descriptor, and
// RunEffect, the single entry that runs it from a source to a destination.
#pragma once

#include "effects/effect_catalogue.h"
#include "light/warp_deformer.h"

#include <cstdint>
#include <optional>

namespace ombrik {

struct EffectRequest {
    uint32_t colour = 0xFFFFFF;  // 0x00BBGGRR, for colour-taking effects
    float strength = 1.0f;       // for colour-taking effects
    EffectId effect = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerPixel = 3;

    void initialise()
    {
        colour = 0xFFFFFF;
        strength = 1.0f;
    }
    void set(EffectId id, int32_t w, int32_t h, int32_t bpp)
    {
        effect = id;
        width = w;
        height = h;
        bytesPerPixel = bpp;
    }
    void clear() { effect = 0; }

    // Runs `effect` from src into dst, both width × height × bytesPerPixel bytes
    // and distinct. Engines whose output depends on the destination's earlier
    // content expect it zero-filled. Ids that are placed or warped on the canvas
    // (80 to 85, 120 to 124) and unknown ids do nothing here; so does a request
    // whose descriptor is not a real 3- or 4-byte image.
    void RunEffect(const uint8_t* src, uint8_t* dst) const;
};

// The warp engine's mode for a warp effect (80 to 85), or nothing for any other id.
std::optional<WarpMode> WarpModeForEffect(EffectId id);

} // namespace ombrik
