#include "artistic/mosaic_filter.h"

#include "artistic/vector_clones.h"
#include "engine/progress.h"
#include "engine/row_bands.h"

#include <glib.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ombrik {

namespace {

// Gaussian of standard deviation 1 and its derivative, scaled by 255 and
// truncated, for k = -3..3. The sums that normalise them: 635 for the
// smoothing kernel, twice the positive half (462) for the derivative.
constexpr int kSmooth[7] = {2, 34, 154, 255, 154, 34, 2};
constexpr int kDerivative[7] = {-8, -69, -154, 0, 154, 69, 8};
constexpr int kSmoothSum = 635;
constexpr int kDerivativeSum = 462;
constexpr int kBorderStrength = 7;

inline int DivideBySmoothSum(int a) { return mosaic::DivideTruncated(a, kSmoothSum); }
inline int DivideByDerivativeSum(int a) { return mosaic::DivideTruncated(a, kDerivativeSum); }

inline uint8_t ClampToByte(int v)
{
    return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
}

struct LightVector {
    double x, y;
};

const LightVector& MosaicLight()
{
    static const LightVector light = [] {
        const double alpha = CMosaicFilter::kLightDirection * 3.14159265 * 0.005555555555555556;
        return LightVector{-std::cos(alpha), std::sin(alpha)};
    }();
    return light;
}

double ShrinkFactor()
{
    if (CMosaicFilter::kTileSize * 0.5 < CMosaicFilter::kTileSpacing)
        return 0.5;
    return 1.0 - CMosaicFilter::kTileSpacing / CMosaicFilter::kTileSize;
}

// The grid of hexagon corners: (columns + 2) × (rows + 2) cells addressed from
// column -1 and row -1, four points per cell.
class HexGrid {
public:
    HexGrid(int columns, int rows) : m_columns(columns), m_rows(rows),
        m_points(size_t(columns + 2) * size_t(rows + 2) * 4) {}

    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    mosaic::Point& at(int i, int j, int k)
    {
        return m_points[(size_t(j + 1) * size_t(m_columns + 2) + size_t(i + 1)) * 4 + size_t(k)];
    }

private:
    int m_columns, m_rows;
    std::vector<mosaic::Point> m_points;
};

HexGrid MakeGrid(int width, int height)
{
    const double s = CMosaicFilter::kTileSize;
    const double f = s / 2.0;
    const double r = 2.0 * f / std::sqrt(3.0);
    const double o = f / std::sqrt(3.0);
    const double period = 6.0 * f / std::sqrt(3.0);
    const int rows = int((height + s - 1.0) / s);
    const int columns = int((width + 2.0 * period - 1.0) / period);
    HexGrid grid(columns, rows);
    for (int j = -1; j <= rows; ++j)
        for (int i = -1; i <= columns; ++i) {
            const double x = o + period * i;
            const double y = s * j;
            grid.at(i, j, 0) = {x, y};
            grid.at(i, j, 1) = {x + r, y};
            grid.at(i, j, 2) = {x + r + o, y + f};
            grid.at(i, j, 3) = {x - o, y + f};
        }
    return grid;
}

// Moves every corner to the strongest gradient pixel of a window round it, or
// by a random amount when nothing in the window beats its top-left pixel.
void JitterCorners(HexGrid& grid, const std::vector<uint8_t>& strength, int width, int height)
{
    const double t = (1.0 - CMosaicFilter::kTileNeatness) * double(int(CMosaicFilter::kTileSize));
    const int u = int(t);
    const double half = t * 0.5;
    const double w = double(int(half));
    for (int j = -1; j <= grid.rows(); ++j)
        for (int i = -1; i <= grid.columns(); ++i)
            for (int k = 0; k < 4; ++k) {
                mosaic::Point& p = grid.at(i, j, k);
                const double a = g_random_double() * t;
                const double b = g_random_double() * t;
                int bestX = int(p.x + double(int(a - half)));
                int bestY = int(p.y + double(int(b - half)));

                int x1 = int(p.x - w), y1 = int(p.y - w);
                int x2 = x1 + u, y2 = y1 + u;
                x1 = std::clamp(x1, 0, width - 1);
                x2 = std::clamp(x2, 0, width - 1);
                y1 = std::clamp(y1, 0, height - 1);
                y2 = std::clamp(y2, 0, height - 1);
                int best = strength[size_t(y1) * size_t(width) + size_t(x1)];
                for (int y = y1; y <= y2; ++y) {
                    const uint8_t* row = strength.data() + size_t(y) * size_t(width);
                    for (int x = x1; x <= x2; ++x)
                        if (row[x] > best) {
                            best = row[x];
                            bestX = x;
                            bestY = y;
                        }
                }
                p = {double(bestX), double(bestY)};
            }
}

// Brightness shift of one tile: a random size when the tile is varied, then
// always a random sign.
double TileOffset(bool vary)
{
    const double v = vary ? g_random_double() * CMosaicFilter::kColourVariation : 0.0;
    return g_random_int_range(0, 2) == 1 ? v * 127.0 : v * -127.0;
}

// Gradient strength of rows yBegin..yEnd-1 from a packed three-byte image.
// Each output row needs only its own column-filtered rows, so the separable
// filters run row by row: columns first (7 source rows), then along the row
// with the ends replicated. The loops run over all channel values of a row at
// once; every bound and base pointer they use is a local, as byte stores may
// alias anything.
OMBRIK_VECTOR_CLONES
void GradientRows(const uint8_t* image, int w, int h, const uint8_t* rootOf, uint8_t* strength, int yBegin, int yEnd)
{
    const size_t n = size_t(w) * 3;
    std::vector<int> smoothStore(n), derivStore(n);
    std::vector<uint8_t> smoothRow(n + 18), derivRow(n + 18), dxStore(n), dyStore(n);
    int* const smoothAcc = smoothStore.data();
    int* const derivAcc = derivStore.data();
    uint8_t* const sr = smoothRow.data() + 9;
    uint8_t* const dr = derivRow.data() + 9;
    uint8_t* const dx = dxStore.data();
    uint8_t* const dy = dyStore.data();
    for (int y = yBegin; y < yEnd; ++y) {
        // Column pass: smoothing (for the x derivative) and derivative
        // (for the y derivative) down the columns.
        std::fill(smoothAcc, smoothAcc + n, 0);
        std::fill(derivAcc, derivAcc + n, 0);
        for (int k = -3; k <= 3; ++k) {
            const uint8_t* row = image + size_t(std::clamp(y + k, 0, h - 1)) * n;
            const int gs = kSmooth[k + 3], gd = kDerivative[k + 3];
            for (size_t i = 0; i < n; ++i) {
                smoothAcc[i] += gs * row[i];
                derivAcc[i] += gd * row[i];
            }
        }
        for (size_t i = 0; i < n; ++i) {
            sr[i] = ClampToByte(DivideBySmoothSum(smoothAcc[i]));
            dr[i] = ClampToByte(DivideByDerivativeSum(derivAcc[i]) + 128);
        }
        for (int e = 1; e <= 3; ++e)
            for (int c = 0; c < 3; ++c) {
                sr[-3 * e + c] = sr[c];
                dr[-3 * e + c] = dr[c];
                sr[n - 3 + 3 * e + c] = sr[n - 3 + c];
                dr[n - 3 + 3 * e + c] = dr[n - 3 + c];
            }

        // Row pass: derivative of the smoothed row, smoothing of the
        // derivative row.
        for (size_t i = 0; i < n; ++i) {
            const uint8_t* s = sr + i;
            const uint8_t* d = dr + i;
            int hs = 0, vs = 0;
            for (int k = -3; k <= 3; ++k) {
                hs += kDerivative[k + 3] * s[3 * k];
                vs += kSmooth[k + 3] * d[3 * k];
            }
            dx[i] = ClampToByte(DivideByDerivativeSum(hs) + 128);
            dy[i] = ClampToByte(DivideBySmoothSum(vs));
        }

        // Each derivative image keeps its largest channel.
        if (y == 0 || y == h - 1)
            continue;
        uint8_t* out = strength + size_t(y) * size_t(w);
        const int lastX = w - 1;
        for (int x = 1; x < lastX; ++x) {
            const size_t i = size_t(x) * 3;
            const int hMax = std::max({dx[i], dx[i + 1], dx[i + 2]}) - 128;
            const int vMax = std::max({dy[i], dy[i + 1], dy[i + 2]}) - 128;
            out[x] = rootOf[hMax * hMax + vMax * vMax];
        }
    }
}

} // namespace

namespace mosaic {

std::vector<uint8_t> GradientStrength(const uint8_t* src, int width, int height, int bytesPerPixel)
{
    const int w = width, h = height;
    std::vector<uint8_t> strength(size_t(w) * size_t(h), kBorderStrength);
    if (w <= 0 || h <= 0)
        return strength;

    // Work on packed three-byte rows.
    std::vector<uint8_t> packed;
    const uint8_t* rgb = src;
    if (bytesPerPixel != 3) {
        packed.resize(size_t(w) * size_t(h) * 3);
        for (size_t i = 0; i < size_t(w) * size_t(h); ++i)
            std::memcpy(&packed[i * 3], src + i * size_t(bytesPerPixel), 3);
        rgb = packed.data();
    }

    // truncate(sqrt(n)) for every n the two derivatives can give.
    static const std::vector<uint8_t> roots = [] {
        std::vector<uint8_t> table(2 * 128 * 128 + 1);
        for (size_t n = 0; n < table.size(); ++n)
            table[n] = uint8_t(std::sqrt(double(n)));
        return table;
    }();

    ForEachRowBand(w, h, false, [&](int yBegin, int yEnd) {
        GradientRows(rgb, w, h, roots.data(), strength.data(), yBegin, yEnd);
    });

    // Progress as the two derivative images' columns and rows are counted.
    const int steps = 2 * (w + h);
    const int stepSize = std::max(1, steps / 256);
    for (int count = 0; count < steps; ++count)
        if (count % stepSize == 0)
            ReportProgress(std::min(100, int(double(count + 1) / double(steps) * 100.0)));
    return strength;
}

Tile PrepareTile(const Point* points, int count, double offset)
{
    Tile tile;
    tile.count = std::clamp(count, 0, 6);
    tile.offset = offset;
    if (tile.count == 0)
        return tile;
    const int n = tile.count;

    // Shrink toward the centre to open the grout line.
    double cx = 0, cy = 0;
    for (int i = 0; i < n; ++i) {
        cx += points[i].x;
        cy += points[i].y;
    }
    cx /= n;
    cy /= n;
    const double k = ShrinkFactor();
    for (int i = 0; i < n; ++i)
        tile.points[i] = {cx + k * (points[i].x - cx), cy + k * (points[i].y - cy)};

    // Edges from each point's predecessor, with their inward normals.
    const LightVector& light = MosaicLight();
    for (int i = 0; i < n; ++i) {
        const Point& from = tile.points[i == 0 ? n - 1 : i - 1];
        const Point& to = tile.points[i];
        Tile::Edge& e = tile.edges[i];
        e.startX = double(int(from.x));
        e.startY = double(int(from.y));
        const int dx = int(to.x) - int(from.x);
        const int dy = int(to.y) - int(from.y);
        const double len = std::sqrt(double(dx * dx + dy * dy));
        if (len != 0.0) {
            e.normalX = double(-dy) / len;
            e.normalY = double(dx) / len;
        }
        e.light = light.y * e.normalY + light.x * e.normalX;
    }

    double minX = tile.points[0].x, maxX = minX, minY = tile.points[0].y, maxY = minY;
    for (int i = 1; i < n; ++i) {
        minX = std::min(minX, tile.points[i].x);
        maxX = std::max(maxX, tile.points[i].x);
        minY = std::min(minY, tile.points[i].y);
        maxY = std::max(maxY, tile.points[i].y);
    }
    tile.x0 = int(minX);
    tile.y0 = int(minY);
    tile.x1 = int(maxX);
    tile.y1 = int(maxY);
    return tile;
}

void DrawTile(const Tile& tile, const uint8_t* src, uint8_t* dst, int width, int height, int bytesPerPixel,
              int rowBegin, int rowEnd)
{
    constexpr int q = CMosaicFilter::kSupersampling;
    const int boxW = tile.x1 - tile.x0, boxH = tile.y1 - tile.y0;
    if (tile.count < 3 || boxW <= 0 || boxH <= 0)
        return;
    // Pixel rows of the box that are wanted and inside the image.
    const int firstRow = std::max({tile.y0, rowBegin, 0});
    const int endRow = std::min({tile.y1, rowEnd, height});
    if (firstRow >= endRow)
        return;

    // Scan conversion: leftmost and rightmost sample column per sample row.
    thread_local std::vector<int> left, right;
    const int sampleRows = q * boxH;
    const int sampleCols = q * boxW;
    const int baseX = q * tile.x0, baseY = q * tile.y0;
    left.assign(size_t(sampleRows), q * tile.x1);
    right.assign(size_t(sampleRows), baseX);
    for (int i = 0; i < tile.count; ++i) {
        const Point& from = tile.points[i == 0 ? tile.count - 1 : i - 1];
        const Point& to = tile.points[i];
        int xa = int(from.x) * q, ya = int(from.y) * q;
        int xb = int(to.x) * q, yb = int(to.y) * q;
        if (ya > yb) {
            std::swap(xa, xb);
            std::swap(ya, yb);
        }
        if (ya == yb)
            continue;  // a horizontal edge bounds no sample row
        const double slope = double(xb - xa) / double(yb - ya);
        double x = xa + slope * 0.5;
        for (int y = ya; y < yb; ++y) {
            const size_t r = size_t(y - baseY);
            const int xi = std::clamp(int(x), baseX, baseX + sampleCols);
            left[r] = std::min(left[r], xi);
            right[r] = std::max(right[r], xi);
            x += slope;
        }
    }

    const size_t bpp = size_t(bytesPerPixel);
    thread_local std::vector<double> shade;
    for (int y = firstRow; y < endRow; ++y) {
        // The pixel row's q sample rows and the pixel columns they reach.
        const int* rowLeft = left.data() + size_t((y - tile.y0) * q);
        const int* rowRight = right.data() + size_t((y - tile.y0) * q);
        int reachLeft = rowLeft[0], reachRight = rowRight[0];
        for (int r = 1; r < q; ++r) {
            reachLeft = std::min(reachLeft, rowLeft[r]);
            reachRight = std::max(reachRight, rowRight[r]);
        }
        if (reachLeft >= reachRight)
            continue;
        const int xBegin = std::max(tile.x0 + (reachLeft - baseX) / q, 0);
        const int xEnd = std::min(tile.x0 + (reachRight - baseX + q - 1) / q, width);
        if (xBegin >= xEnd)
            continue;

        // Shading: each edge lights (or shades) a band along it that fades
        // out over kTileHeight pixels; summed edge by edge in edge order.
        const int n = xEnd - xBegin;
        shade.assign(size_t(n), 0.0);
        double* const sum = shade.data();
        const double sy = double(y) + 2.0 / 3.0;
        for (int i = 0; i < tile.count; ++i) {
            const double startX = tile.edges[i].startX, normalX = tile.edges[i].normalX;
            const double along = (sy - tile.edges[i].startY) * tile.edges[i].normalY;
            const double light = tile.edges[i].light;
            const double firstX = double(xBegin);
            int k = 0;
#if defined(__SSE2__)
            // Two pixels at a time, the same operations in the same order.
            const __m128d vStart = _mm_set1_pd(startX), vNormal = _mm_set1_pd(normalX);
            const __m128d vAlong = _mm_set1_pd(along), vLight = _mm_set1_pd(light);
            const __m128d one = _mm_set1_pd(1.0), zero = _mm_setzero_pd();
            const __m128d inverseHeight = _mm_set1_pd(1.0 / CMosaicFilter::kTileHeight);  // a power of two: exact
            const __m128d signBit = _mm_set1_pd(-0.0);
            for (; k + 2 <= n; k += 2) {
                const __m128d px = _mm_add_pd(_mm_set1_pd(firstX), _mm_set_pd(double(k + 1), double(k)));
                const __m128d dist = _mm_andnot_pd(signBit,
                    _mm_add_pd(_mm_mul_pd(_mm_sub_pd(px, vStart), vNormal), vAlong));
                const __m128d fade = _mm_max_pd(_mm_sub_pd(one, _mm_mul_pd(dist, inverseHeight)), zero);
                const __m128d near = _mm_cmplt_pd(dist, one);
                const __m128d weight = _mm_or_pd(_mm_and_pd(near, one), _mm_andnot_pd(near, fade));
                _mm_storeu_pd(sum + k, _mm_add_pd(_mm_loadu_pd(sum + k), _mm_mul_pd(weight, vLight)));
            }
#endif
            for (; k < n; ++k) {
                const double dist = std::fabs((firstX + double(k) - startX) * normalX + along);
                const double fade = std::max(0.0, 1.0 - dist / CMosaicFilter::kTileHeight);
                const double weight = dist < 1.0 ? 1.0 : fade;
                sum[k] += weight * light;
            }
        }

        for (int x = xBegin; x < xEnd; ++x) {
            // Covered samples of the pixel's q × q, each worth 255.
            const int c0 = baseX + q * (x - tile.x0);
            int covered = 0;
            for (int r = 0; r < q; ++r)
                covered += std::max(0, std::min(rowRight[r], c0 + q) - std::max(rowLeft[r], c0));
            const int alpha = covered * 255 / (q * q);
            if (alpha <= 0)
                continue;

            const double e = shade[size_t(x - xBegin)] * 0.25;
            const size_t at = (size_t(y) * size_t(width) + size_t(x)) * bpp;
            const uint8_t* s = src + at;
            uint8_t* d = dst + at;
            for (int c = 0; c < 3; ++c) {
                int v = s[c];
                const int toward = e >= 0.0 ? 255 - v : v;  // toward white or black
                v += int(toward * e);
                const int u = ClampToByte(int(v + tile.offset));
                d[c] = uint8_t((alpha * u) >> 8);
            }
        }
    }
}

} // namespace mosaic

void CMosaicFilter::setDimensions(int width, int height, int bytesPerPixel)
{
    m_width = width;
    m_height = height;
    m_bytesPerPixel = bytesPerPixel;
}

void CMosaicFilter::Mosaic(const uint8_t* src, uint8_t* dst) const
{
    const int w = m_width, h = m_height, bpp = m_bytesPerPixel;
    if (!src || !dst || w <= 0 || h <= 0 || (bpp != 3 && bpp != 4))
        return;

    const std::vector<uint8_t> strength = mosaic::GradientStrength(src, w, h, bpp);
    HexGrid grid = MakeGrid(w, h);
    JitterCorners(grid, strength, w, h);

    const int columns = grid.columns(), rows = grid.rows();
    const int cells = (columns + 1) * (rows + 1);
    const int varied = int(cells * kColourVariation);

    // The tiles in drawing order, with their random brightness shifts drawn in
    // that order. Drawing itself takes no random numbers.
    std::vector<mosaic::Tile> tiles;
    tiles.reserve(size_t(cells) * 2);
    for (int j = -1; j < rows; ++j)
        for (int i = -1; i < columns; ++i) {
            const bool vary = g_random_int_range(0, cells) < varied;
            const mosaic::Point first[6] = {grid.at(i, j, 0), grid.at(i, j, 1), grid.at(i, j, 2),
                                            grid.at(i, j + 1, 1), grid.at(i, j + 1, 0), grid.at(i, j, 3)};
            tiles.push_back(mosaic::PrepareTile(first, 6, TileOffset(vary)));
            const mosaic::Point second[6] = {grid.at(i, j, 2), grid.at(i + 1, j, 3), grid.at(i + 1, j + 1, 0),
                                             grid.at(i + 1, j + 1, 3), grid.at(i, j + 1, 2), grid.at(i, j + 1, 1)};
            tiles.push_back(mosaic::PrepareTile(second, 6, TileOffset(vary)));
        }

    // Grout everywhere, then the tiles in order. Bands of rows are independent:
    // each band draws every tile that reaches it, in the same order, so where
    // tiles overlap the later one still wins.
    ForEachRowBand(w, h, false, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const size_t rowStart = size_t(y) * size_t(w) * size_t(bpp);
            for (int x = 0; x < w; ++x) {
                uint8_t* d = dst + rowStart + size_t(x) * size_t(bpp);
                d[0] = d[1] = d[2] = 0;
                if (bpp == 4)
                    d[3] = src[rowStart + size_t(x) * size_t(bpp) + 3];
            }
        }
        for (const mosaic::Tile& tile : tiles)
            if (tile.y0 < y1 && tile.y1 > y0)
                mosaic::DrawTile(tile, src, dst, w, h, bpp, y0, y1);
    });
}

} // namespace ombrik
