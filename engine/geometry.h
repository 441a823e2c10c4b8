// Geometry of a whole photo: crop, quarter turns, flips, free rotation
// (straighten) and resampling to a new size. Every result keeps 3 bytes per
// pixel; the operations that the editor applies to its photo keep both sides
// multiples of 4, the rule every photo of the canvas follows.
#pragma once

#include "engine/pixel_buffer.h"

#include <string>

namespace ombrik {

struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};

// The steepest straighten angle offered, in degrees either way.
inline constexpr double kMaxStraightenDegrees = 45.0;
// No side of a photo may be made larger than this by a resize.
inline constexpr int kMaxPhotoSide = 10000;

// The rectangle (x, y, w, h) copied out of src; empty when it is not wholly
// inside src or has no area.
PixelBuffer CropPixels(const PixelBuffer& src, int x, int y, int w, int h);

// Turns src clockwise by quarterTurns × 90 degrees (any integer; 4 turns are
// none). Exact: every pixel is moved, none is computed.
PixelBuffer RotateQuarterTurns(const PixelBuffer& src, int quarterTurns);

// Mirrors src left to right (horizontal) or top to bottom.
PixelBuffer FlipPixels(const PixelBuffer& src, bool horizontal);

enum class Interpolation { Bilinear, Bicubic };

// Turns src clockwise by `degrees` about its centre into an outWidth ×
// outHeight image centred on the same point. Output pixels whose centre falls
// outside src get `fill` in all three channels. Bicubic is Catmull-Rom.
PixelBuffer RotatePixels(const PixelBuffer& src, double degrees, int outWidth, int outHeight,
                         Interpolation interpolation, uint8_t fill = 0);

// The largest upright rectangle (any aspect) inside a width × height rectangle
// turned by `degrees`, centred on it; exact, not rounded.
void LargestInnerRectangle(double width, double height, double degrees, double& innerWidth, double& innerHeight);

// The size a straighten by `degrees` leaves: the largest inner rectangle,
// less a half-pixel margin so that every pixel centre samples the photo,
// rounded down to multiples of 4. {0, 0} when nothing of that size is left.
PixelSize StraightenedSize(int width, int height, double degrees);

// Turns src clockwise by `degrees` (bicubic) and cuts it to StraightenedSize:
// no pixel of the result lies outside the original photo. Empty for an angle
// outside ±kMaxStraightenDegrees or when nothing is left.
PixelBuffer StraightenPixels(const PixelBuffer& src, double degrees);

// Resamples src to width × height with a separable Lanczos-3 filter (widened
// when shrinking, so that it also smooths). Empty for sizes below 1.
PixelBuffer ResizeLanczos3(const PixelBuffer& src, int width, int height);

// The largest size with the aspect of width × height that fits in
// maxWidth × maxHeight (enlarging too), both sides rounded down to multiples
// of 4; {0, 0} when a side would be below 4.
PixelSize FitWithin(int width, int height, int maxWidth, int maxHeight);

// width × height scaled by percent, both sides rounded to the nearest
// multiple of 4; {0, 0} when a side would be below 4.
PixelSize ScaledByPercent(int width, int height, double percent);

// One change of the photo's geometry, as the history and the batch mode keep it.
struct GeometryOp {
    enum class Kind { Crop, Turn, Flip, Straighten, Resize };
    Kind kind = Kind::Turn;
    int x = 0, y = 0;           // Crop: top-left corner
    int width = 0, height = 0;  // Crop and Resize: the new size
    int quarterTurns = 0;       // Turn: clockwise
    bool horizontal = false;    // Flip: left to right
    double degrees = 0.0;       // Straighten: clockwise
};

// The photo with the operation applied (no checks beyond the operations' own:
// empty when it cannot be done).
PixelBuffer ApplyGeometryOp(const PixelBuffer& src, const GeometryOp& op);

// Why a photo of width × height cannot be resized to newWidth × newHeight,
// or empty when it can: sides must be multiples of 4 from 4 up to
// kMaxPhotoSide, and an enlargement may not pass maxArea pixels (the load
// threshold's area; 0 or less: no area limit).
std::string ResizeProblem(int width, int height, int newWidth, int newHeight, int64_t maxArea);

// Why the crop (x, y, w, h) of a width × height photo cannot be made, or
// empty when it can. w and h are rounded down to multiples of 4 first.
std::string CropProblem(int width, int height, int x, int y, int w, int h);

} // namespace ombrik
