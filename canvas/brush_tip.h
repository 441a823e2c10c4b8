// The two brush-tip pictures (a soft round tip and a hard round tip) and their
// resampling to the brush size. A tip is size × size pixels of 4 bytes; the
// alpha byte (byte 3) weights each dab.
#pragma once

#include "engine/pixel_buffer.h"

namespace ombrik {

inline constexpr int kBrushTipSourceSize = 128;

// The source picture of shape 0 (soft) or 1 (hard), 128 × 128, 4 bytes per pixel.
const PixelBuffer& BrushTipPicture(int shape);

// The picture of the shape resampled bilinearly to size × size (size >= 1).
PixelBuffer MakeBrushTip(int shape, int size);

} // namespace ombrik
