// The heal fill: an area of a photo (a mask) is filled from the rest of the
// photo so that texture, edges and gradients run on through it. Each patch of
// the area copies the best matching patch of the photo round it, found coarse
// to fine; the copies are blended where they overlap and a smooth correction
// takes away any seam at the area's border. Separate spots are filled one by
// one from the photo round each; small spots need no coarse scales. Long thin
// strokes (over a wire, a scratch) are grown from their border a patch at a
// time instead, so the texture they cross is not blurred.
#pragma once

#include "engine/pixel_buffer.h"

#include <cstdint>
#include <vector>

namespace ombrik {

enum class HealOutcome {
    Filled,     // the area was filled
    Nothing,    // the mask marks no pixel: nothing to do
    TooLarge,   // the area leaves too little of the photo to copy from
    Cancelled,  // stopped by a cancel request
    BadInput,   // the mask's size does not match the photo, or not 3 or 4 bytes a pixel
};

// The largest share of the photo an area may take: beyond it too little is
// left to copy from.
inline constexpr double kHealMaxShare = 2.0 / 3.0;

struct HealOptions {
    uint64_t seed = 1;   // the same seed gives the same fill, whatever the thread count
    int threads = 0;     // 0: one per core
};

// Fills the pixels of `photo` where `mask` (one byte a pixel, row by row) is
// not 0, writing the whole photo with the area filled into `out` (which may
// be `photo` itself). Reports progress and stops early on a cancel request;
// `out` is only written when the result is Filled.
HealOutcome HealFill(const PixelBuffer& photo, const std::vector<uint8_t>& mask, PixelBuffer& out,
                     const HealOptions& options = {});

// Whether a mask of this many marked pixels of a photo of this many pixels is
// more than may be filled.
bool HealAreaTooLarge(uint64_t marked, uint64_t pixels);

} // namespace ombrik
