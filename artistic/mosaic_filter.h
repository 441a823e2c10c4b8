// Mosaic: the photo becomes hexagonal tiles set in black grout. The tile
// corners are pulled toward strong edges of the photo so tile borders follow
// contours; each tile shows the photo's own pixels, shaded like a slightly
// domed tile lit from one side, and about one tile in five is made a little
// lighter or darker at random (GLib's default generator).
#pragma once

#include <cstdint>
#include <vector>

namespace ombrik {

class CMosaicFilter {
public:
    static constexpr double kTileSize = 20.0;
    static constexpr double kTileHeight = 16.0;      // distance over which edge shading fades
    static constexpr double kTileSpacing = 0.5;      // grout width control
    static constexpr double kTileNeatness = 0.55;
    static constexpr double kLightDirection = 135.0; // degrees
    static constexpr double kColourVariation = 0.2;
    static constexpr int kSupersampling = 3;

    void setDimensions(int width, int height, int bytesPerPixel);

    // Writes every destination pixel; channels 0..2 are the colour, a fourth
    // byte (alpha) is copied from the source.
    void Mosaic(const uint8_t* src, uint8_t* dst) const;

private:
    int m_width = 0;
    int m_height = 0;
    int m_bytesPerPixel = 3;
};

namespace mosaic {

// a / divisor truncated toward zero, for |a| below 2^20 and positive divisors,
// in single precision so that it vectorises: a bias of a quarter away from
// zero keeps exact multiples exact and every other quotient at least
// 0.25 / divisor away from the next whole number, far more than the rounding
// error.
inline int DivideTruncated(int a, int divisor)
{
    const float biased = float(a) + (a < 0 ? -0.25f : 0.25f);
    return int(biased * (1.0f / float(divisor)));
}

// Gradient strength of the photo (one byte per pixel): the length of the
// smoothed derivative in x and y, 7 on the outermost rows and columns.
// Reports progress as it goes.
std::vector<uint8_t> GradientStrength(const uint8_t* src, int width, int height, int bytesPerPixel);

struct Point {
    double x = 0;
    double y = 0;
};

// One tile ready to draw: the polygon shrunk toward its centre, its edges for
// the shading and its bounding box.
struct Tile {
    struct Edge {
        double startX = 0, startY = 0;  // whole numbers
        double normalX = 0, normalY = 0;
        double light = 0;               // light factor of the edge
    };
    int count = 0;
    Point points[6];
    Edge edges[6];
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // bounding box
    double offset = 0;                   // brightness shift of a varied tile
};

// Prepares a hexagon (or any polygon of up to 6 points) with the given
// brightness offset, lit from the mosaic's light direction.
Tile PrepareTile(const Point* points, int count, double offset);

// Draws the tile from src into dst (both width × height, bytesPerPixel),
// antialiased at 3 × 3 samples per pixel, touching only pixel rows in
// [rowBegin, rowEnd). Covered pixels are overwritten.
void DrawTile(const Tile& tile, const uint8_t* src, uint8_t* dst, int width, int height, int bytesPerPixel,
              int rowBegin, int rowEnd);

} // namespace mosaic

} // namespace ombrik
