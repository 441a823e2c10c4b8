#include "artistic/painter_presets.h"

#include <array>

namespace ombrik {

namespace {

const char* const kBrushNames[kPainterPresetCount] = {"001.pnm", "002.pnm", "003.pnm",
                                                      "004.pnm", "005.pnm", "006.pnm"};

PainterParams MakePreset(int n)
{
    // Per-preset values, columns 0..5.
    static const int32_t orientCount[] = {30, 1, 15, 7, 8, 30};
    static const double orientFirst[] = {0, 48, 44.599998, 11.489998, 22.299999, 42};
    static const double orientSpan[] = {360, 0, 180.220001, 45.59998, 360, 360};
    static const int32_t orientType[] = {Random, ByValue, BestMatch, Random, Random, ByValue};
    static const double brushRelief[] = {0, 12, 12, 12.39, 15.04, 0};
    static const double strokeDensity[] = {18, 20, 20, 21.7, 12.5, 32.5};
    static const double brushGamma[] = {0.5, 1, 1, 1, 1.8, 1};
    static const int32_t backgroundType[] = {1, 0, 0, 0, 0, 0};
    static const double edgeDarkness[] = {0, 0.3, 0.1, 0.15, 0.1, 0.35};
    static const double paperScale[] = {30, 30, 30, 100.57, 30, 30};
    static const int32_t placementType[] = {0, 0, 1, 0, 1, 0};
    static const int32_t orientVectorCount[] = {1, 1, 1, 1, 1, 2};
    static const double brushAspect[] = {0, 0, 0, 0, -0.04, -0.4};
    static const double orientStrengthExponent[] = {0, 1, 1, 1, 1, 1.4};
    static const int32_t tileable[] = {0, 0, 0, 0, 0, 1};
    static const double shadowDarkness[] = {20, 20, 20, 20, 0, 20};
    static const double size[] = {20.15, 5, 14, 44, 14, 30};
    static const double matchThreshold[] = {0, 0.1, 0.1, 0, 0, 0.1};
    static const int32_t sizeVectorCount[] = {1, 1, 0, 1, 1, 1};
    static const int32_t shadowDepth[] = {10, 0, 10, 0, 0, 0};
    static const int32_t shadowBlur[] = {4, 0, 4, 0, 0, 0};

    PainterParams p;
    p.orientCount = orientCount[n];
    p.orientFirst = orientFirst[n];
    p.orientSpan = orientSpan[n];
    p.orientType = orientType[n];
    p.brushRelief = brushRelief[n];
    p.strokeDensity = strokeDensity[n];
    p.brushGamma = brushGamma[n];
    p.backgroundType = backgroundType[n];
    p.edgeDarkness = edgeDarkness[n];
    p.paperRelief = 0;
    p.paperScale = paperScale[n];
    p.paperInvert = 0;
    p.paperFile.clear();
    p.backgroundColour = RgbColor{0, 0, 0, 1};
    p.paintEdges = 1;
    p.placementType = placementType[n];
    if (n == 5) {
        p.orientVectors[0] = OrientVector{0.5, 0.5, 90, 1, 0, 1, 0};
        p.orientVectors[1] = OrientVector{0.5, 0.5, 270, -1, 0, 1, 0};
    } else {
        p.orientVectors[0] = OrientVector{0.5, 0.5, 0, 0, 1, 1, 0};
    }
    p.orientVectorCount = orientVectorCount[n];
    p.placeTowardCentre = 0;
    p.brushAspect = brushAspect[n];
    p.orientAngleOffset = 0;
    p.orientStrengthExponent = orientStrengthExponent[n];
    p.tileable = tileable[n];
    p.paperOverlay = 0;
    p.orientNearestOnly = 0;
    p.colourBrushes = 0;
    p.dropShadow = 0;
    p.shadowDarkness = shadowDarkness[n];
    p.sizeCount = 1;
    p.sizeFirst = size[n];
    p.sizeLast = size[n];
    p.sizeType = ByValue;
    p.matchThreshold = matchThreshold[n];
    p.sizeVectors[0] = SizeVector{0.5, 0.5, 0, 0};
    p.sizeVectorCount = sizeVectorCount[n];
    p.sizeStrengthExponent = 0;
    p.sizeNearestOnly = 0;
    p.shadowDepth = shadowDepth[n];
    p.shadowBlur = shadowBlur[n];
    p.colourType = 0;
    p.colourNoise = 0;
    return p;
}

std::array<PainterParams, kPainterPresetCount>& PresetTable()
{
    static std::array<PainterParams, kPainterPresetCount> table = [] {
        std::array<PainterParams, kPainterPresetCount> t;
        for (int n = 0; n < kPainterPresetCount; ++n)
            t[size_t(n)] = MakePreset(n);
        return t;
    }();
    return table;
}

} // namespace

PainterParams& PainterPreset(int n)
{
    if (n < 0 || n >= kPainterPresetCount)
        n = 0;
    return PresetTable()[size_t(n)];
}

void SetPresetBrushFolder(const std::string& folder)
{
    for (int n = 0; n < kPainterPresetCount; ++n)
        PresetTable()[size_t(n)].brushFile = folder + kBrushNames[n];
}

const char* PresetBrushFileName(int n)
{
    return (n >= 0 && n < kPainterPresetCount) ? kBrushNames[n] : kBrushNames[0];
}

} // namespace ombrik
