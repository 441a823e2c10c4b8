// Crop, turn, flip, straighten and resize steps of the command-line batch
// mode: parsing "--crop WxH+X+Y" and its companions into a step, and applying
// a step to a photo with a clear error when it cannot be done.
#pragma once

#include "engine/geometry.h"
#include "engine/pixel_buffer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ombrik {

struct BatchGeometryStep {
    GeometryOp::Kind kind = GeometryOp::Kind::Turn;
    int x = 0, y = 0, width = 0, height = 0;  // Crop; Resize: the box to fit in
    int quarterTurns = 0;                     // Turn, clockwise
    bool horizontal = false;                  // Flip
    double degrees = 0.0;                     // Straighten, clockwise
    double percent = 0.0;                     // Resize by percent when > 0
    std::string text;                         // the option as typed, for messages
};

// The options below, each taking one value:
//   --crop WxH+X+Y   --rotate 90|180|270   --flip horizontal|vertical
//   --straighten DEGREES (-45..45)   --resize WxH (fit within) | N%
bool IsGeometryOption(std::string_view option);

// Parses the value of a geometry option; false with `error` set when the text
// does not parse or is out of range.
bool ParseGeometryStep(std::string_view option, std::string_view value, BatchGeometryStep& step,
                       std::string& error);

// Applies a step; on failure `error` says why and the photo is unchanged.
// maxArea is the load threshold's area that an enlargement may not pass (0: none).
bool ApplyGeometryStep(const BatchGeometryStep& step, PixelBuffer& photo, int64_t maxArea, std::string& error);

// Steps listed among effects: each runs before the effect whose index it holds
// (the number of effects given before it on the command line).
using PlacedGeometrySteps = std::vector<std::pair<size_t, BatchGeometryStep>>;

} // namespace ombrik
