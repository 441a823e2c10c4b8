// Smooth interpolation into gaps: values known at some pixels of a grid are
// spread over the pixels where they are not, by averaging down a pyramid
// until every cell has a value (push) and blending back up with bilinear
// upsampling (pull). The heal fill starts its coarsest scale from it and
// spreads the seam correction with it.
#pragma once

#include <vector>

namespace ombrik::heal {

// `values` holds `channels` floats per pixel of a width × height grid, row by
// row; `weight` is 1 where a value is known and 0 where it is to be made
// (fractions count as partly known). Pixels of weight 0 are filled; the others
// keep their values. With no known pixel at all everything becomes 0.
void PushPullFill(std::vector<float>& values, const std::vector<float>& weight, int width, int height,
                  int channels);

} // namespace ombrik::heal
