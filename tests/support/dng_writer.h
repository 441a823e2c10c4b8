// Camera RAW files made for the tests and benchmarks: DNGs written with
// libtiff from a scene of linear sRGB colours, through a made-up camera whose
// colour response, white balance, black and white levels and colour-filter
// pattern are known, so the develop's result can be predicted.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ombrik::test {

struct LinearRgb {
    double r = 0, g = 0, b = 0;
};

// sRGB's curve both ways, on 0..1.
double SrgbToLinear(double encoded);
double LinearToSrgb(double linear);
LinearRgb LinearFromSrgb8(int r, int g, int b);

struct DngRecipe {
    int width = 128;   // the sensor, stored (not turned)
    int height = 96;
    std::string pattern = "RGGB";  // the 2 x 2 colour-filter pattern: RGGB, BGGR, GRBG or GBRG
    int black = 512;
    int white = 15000;
    // The camera's values for a white object under the light (AsShotNeutral).
    std::array<double, 3> neutral = {0.45, 1.0, 0.62};
    // Camera RGB from linear sRGB (rows add up to 1, so white stays white).
    std::array<double, 9> cameraFromSrgb = {0.80, 0.15, 0.05, 0.10, 0.80, 0.10, 0.05, 0.20, 0.75};
    // A scene value of 1 reaches this fraction of the white level in the
    // camera's strongest channel.
    double exposure = 0.6;
    int orientation = 1;  // EXIF/TIFF orientation
    // The embedded JPEG preview's width (its height keeps the shape); 0 for none.
    int previewWidth = 64;
    // Linear sRGB of the scene at sensor pixel (x, y), stored orientation.
    std::function<LinearRgb(int x, int y)> scene;
    // EXIF written into the file's EXIF and GPS directories.
    std::string make = "Ombrik Test Cameras";
    std::string model = "Chart One";
    std::string dateTaken = "2024:05:17 10:11:12";
    double exposureTime = 1.0 / 250;
    double fNumber = 5.6;
    int iso = 200;
    std::string lens = "Test Lens 35mm F2";
    bool gps = true;  // 48° 51' 24" N, 2° 21' 3" E
};

// Writes the DNG; false when libtiff failed.
bool WriteDng(const std::string& path, const DngRecipe& recipe);

// The colour chart: 4 × 3 patches of known sRGB colours, row by row; patch
// 5 is the mid grey the exposure factor is taken from, patch 11 is blown out
// (every channel over the white level).
struct ChartPatch {
    int r, g, b;
    const char* name;
};
const std::vector<ChartPatch>& ChartPatches();
inline constexpr int kChartColumns = 4;
inline constexpr int kChartRows = 3;
inline constexpr int kGreyPatch = 5;
inline constexpr int kBlownPatch = 11;
// The chart filling a sensor of width × height (patches side by side).
std::function<LinearRgb(int, int)> ChartScene(int width, int height);

} // namespace ombrik::test
