// The brush-stroke painter's parameter record and its six fixed presets.
#pragma once

#include "engine/colour.h"

#include <cstdint>
#include <string>

namespace ombrik {

// How a stroke's angle index or size index is chosen.
enum PainterMapType : int32_t {
    ByValue = 0,
    ByRadius = 1,
    Random = 2,
    ByAngle = 3,
    ByNoise = 4,
    ByHue = 5,
    BestMatch = 6,
    ByVectors = 7,
};

struct OrientVector {
    double x = 0, y = 0;  // position as a fraction of the image width and height
    double angle = 0;     // degrees; kept with the vector, not read by the painter
    double dx = 0, dy = 0;
    double strength = 0;
    int32_t kind = 0;     // 0..3
};

struct SizeVector {
    double x = 0, y = 0;
    double size = 0;      // percent
    double strength = 0;
};

inline constexpr int kPainterVectorSlots = 50;

struct PainterParams {
    int32_t orientCount = 1;
    double orientFirst = 0;
    double orientSpan = 0;
    int32_t orientType = 0;
    double brushRelief = 0;
    double strokeDensity = 0;
    double brushGamma = 1;
    int32_t backgroundType = 0;
    double edgeDarkness = 0;
    double paperRelief = 0;
    double paperScale = 0;
    int32_t paperInvert = 0;
    std::string brushFile;  // full path; any length
    std::string paperFile;
    RgbColor backgroundColour;
    int32_t paintEdges = 0;
    int32_t placementType = 0;
    OrientVector orientVectors[kPainterVectorSlots] = {};
    int32_t orientVectorCount = 0;
    int32_t placeTowardCentre = 0;
    double brushAspect = 0;
    double orientAngleOffset = 0;
    double orientStrengthExponent = 0;
    int32_t tileable = 0;
    int32_t paperOverlay = 0;
    int32_t orientNearestOnly = 0;
    int32_t colourBrushes = 0;
    int32_t dropShadow = 0;
    double shadowDarkness = 0;
    int32_t sizeCount = 1;
    double sizeFirst = 0;
    double sizeLast = 0;
    int32_t sizeType = 0;
    double matchThreshold = 0;
    SizeVector sizeVectors[kPainterVectorSlots] = {};
    int32_t sizeVectorCount = 0;
    double sizeStrengthExponent = 0;
    int32_t sizeNearestOnly = 0;
    int32_t shadowDepth = 0;
    int32_t shadowBlur = 0;
    int32_t colourType = 0;
    double colourNoise = 0;
};

inline constexpr int kPainterPresetCount = 6;

// The preset table (process-wide). Only brushFile changes, through
// SetPresetBrushFolder.
PainterParams& PainterPreset(int n);

// Preset n's brushFile := folder + "001.pnm" … "006.pnm". The folder must end
// with the path separator.
void SetPresetBrushFolder(const std::string& folder);

// The brush file name of preset n: "001.pnm" … "006.pnm".
const char* PresetBrushFileName(int n);

} // namespace ombrik
