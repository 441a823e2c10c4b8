// Pictures whose truth is known, for judging a heal fill: synthetic textures
// and real photos with something from another photo pasted over a known
// area, and the measures a fill is judged by.
#pragma once

#include "engine/pixel_buffer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ombrik::test {

struct HealCase {
    std::string name;
    PixelBuffer truth;           // the picture before anything was pasted
    PixelBuffer damaged;         // with the pasted object
    std::vector<uint8_t> mask;   // 1 over the pasted area
};

PixelBuffer Bricks(int w, int h);
PixelBuffer GrassNoise(int w, int h);
PixelBuffer SkyGradient(int w, int h);
// Two textured halves parted by a straight slanted edge.
PixelBuffer SlantedEdge(int w, int h);

// An ellipse of 1s centred at (cx, cy) with half-axes rx, ry.
std::vector<uint8_t> EllipseMask(int w, int h, int cx, int cy, int rx, int ry);
// Strokes of the given half width along a path of points (x0, y0, x1, y1, ...),
// the way a wire or a scratch crosses a photo.
std::vector<uint8_t> StrokeMask(int w, int h, const std::vector<int>& path, double halfWidth);
// `truth` with `object`'s pixels pasted where `mask` is set.
PixelBuffer Paste(const PixelBuffer& truth, const PixelBuffer& object, const std::vector<uint8_t>& mask);

struct FillScore {
    double colour = 0;    // mean difference of 8 × 8 block means from the truth, in levels
    double texture = 0;   // local contrast of the fill over that of the truth
    double seam = 0;      // contrast across the border over the contrast beside it
};
FillScore ScoreFill(const PixelBuffer& filled, const PixelBuffer& truth, const std::vector<uint8_t>& mask);

// The baseline: hole pixels relaxed towards the mean of their neighbours.
PixelBuffer DiffusionFill(const PixelBuffer& damaged, const std::vector<uint8_t>& mask);

} // namespace ombrik::test
