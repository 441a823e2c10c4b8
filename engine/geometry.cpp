#include "engine/geometry.h"

#include "engine/row_bands.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace ombrik {

namespace {

constexpr int kTile = 64;

inline uint8_t ClampRounded(int value, int shift)
{
    const int v = (value + (1 << (shift - 1))) >> shift;
    return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// --- Interpolation weights ----------------------------------------------------

// Sub-pixel positions are quantised to 1/256 of a pixel; weights are in units
// of 1/1024 and each set sums to exactly 1024.
constexpr int kFractionBits = 8;
constexpr int kFractions = 1 << kFractionBits;
constexpr int kWeightBits = 10;

double CatmullRom(double t)
{
    t = std::abs(t);
    if (t < 1.0)
        return (1.5 * t - 2.5) * t * t + 1.0;
    if (t < 2.0)
        return ((-0.5 * t + 2.5) * t - 4.0) * t + 2.0;
    return 0.0;
}

using CubicWeights = std::array<std::array<int, 4>, kFractions + 1>;

const CubicWeights& CubicTable()
{
    static const CubicWeights table = [] {
        CubicWeights t{};
        for (int q = 0; q <= kFractions; ++q) {
            const double f = double(q) / kFractions;
            const double w[4] = {CatmullRom(f + 1.0), CatmullRom(f), CatmullRom(1.0 - f), CatmullRom(2.0 - f)};
            int sum = 0, largest = 0;
            for (int k = 0; k < 4; ++k) {
                t[size_t(q)][size_t(k)] = int(std::lround(w[k] * (1 << kWeightBits)));
                sum += t[size_t(q)][size_t(k)];
                if (std::abs(t[size_t(q)][size_t(k)]) > std::abs(t[size_t(q)][size_t(largest)]))
                    largest = k;
            }
            t[size_t(q)][size_t(largest)] += (1 << kWeightBits) - sum;
        }
        return t;
    }();
    return table;
}

// --- Lanczos taps --------------------------------------------------------------

constexpr int kTapBits = 14;

double Sinc(double x)
{
    if (x == 0.0)
        return 1.0;
    x *= std::numbers::pi;
    return std::sin(x) / x;
}

double Lanczos3(double x)
{
    return (x > -3.0 && x < 3.0) ? Sinc(x) * Sinc(x / 3.0) : 0.0;
}

struct Taps {
    std::vector<int> first;      // first source index of each output index
    std::vector<int> count;      // taps of each output index
    std::vector<int32_t> weights;  // `stride` per output index
    int stride = 0;
};

// The filter taps for resampling inSize samples to outSize: the kernel is
// widened by the reduction factor when shrinking.
Taps MakeTaps(int inSize, int outSize)
{
    Taps taps;
    const double scale = double(inSize) / outSize;
    const double widen = std::max(scale, 1.0);
    const double support = 3.0 * widen;
    taps.stride = int(std::ceil(support)) * 2 + 1;
    taps.first.resize(size_t(outSize));
    taps.count.resize(size_t(outSize));
    taps.weights.assign(size_t(outSize) * size_t(taps.stride), 0);
    std::vector<double> w(size_t(taps.stride));
    for (int x = 0; x < outSize; ++x) {
        const double centre = (x + 0.5) * scale;
        const int lo = std::max(int(std::floor(centre - support + 0.5)), 0);
        const int hi = std::min(int(std::floor(centre + support + 0.5)), inSize);
        const int n = std::min(hi - lo, taps.stride);
        double total = 0.0;
        for (int k = 0; k < n; ++k) {
            w[size_t(k)] = Lanczos3((lo + k + 0.5 - centre) / widen);
            total += w[size_t(k)];
        }
        int32_t* out = taps.weights.data() + size_t(x) * size_t(taps.stride);
        int sum = 0, largest = 0;
        for (int k = 0; k < n; ++k) {
            out[k] = int32_t(std::lround(w[size_t(k)] / total * (1 << kTapBits)));
            sum += out[k];
            if (std::abs(out[k]) > std::abs(out[largest]))
                largest = k;
        }
        if (n > 0)
            out[largest] += (1 << kTapBits) - sum;
        taps.first[size_t(x)] = lo;
        taps.count[size_t(x)] = n;
    }
    return taps;
}

} // namespace

// --- Crop, turns and flips -----------------------------------------------------

PixelBuffer CropPixels(const PixelBuffer& src, int x, int y, int w, int h)
{
    if (src.empty() || w <= 0 || h <= 0 || x < 0 || y < 0 || int64_t(x) + w > src.width
        || int64_t(y) + h > src.height)
        return {};
    const int bpp = src.bytesPerPixel;
    PixelBuffer out(w, h, bpp);
    for (int row = 0; row < h; ++row)
        std::memcpy(out.at(0, row), src.at(x, y + row), size_t(w) * size_t(bpp));
    return out;
}

PixelBuffer RotateQuarterTurns(const PixelBuffer& src, int quarterTurns)
{
    const int turns = ((quarterTurns % 4) + 4) % 4;
    if (src.empty() || turns == 0)
        return src;
    const int w = src.width, h = src.height, bpp = src.bytesPerPixel;
    if (turns == 2) {
        PixelBuffer out(w, h, bpp);
        for (int y = 0; y < h; ++y) {
            const uint8_t* s = src.at(w - 1, h - 1 - y);
            uint8_t* d = out.at(0, y);
            for (int x = 0; x < w; ++x, s -= bpp, d += bpp)
                std::memcpy(d, s, size_t(bpp));
        }
        return out;
    }
    // Output (x', y') of a clockwise turn reads source (y', h - 1 - x'); of an
    // anticlockwise turn source (w - 1 - y', x'). Tiles keep both in cache.
    PixelBuffer out(h, w, bpp);
    const bool clockwise = turns == 1;
    const ptrdiff_t srcRow = ptrdiff_t(src.stride());
    for (int ty = 0; ty < w; ty += kTile) {
        const int ty1 = std::min(w, ty + kTile);
        for (int tx = 0; tx < h; tx += kTile) {
            const int tx1 = std::min(h, tx + kTile);
            for (int yo = ty; yo < ty1; ++yo) {
                uint8_t* d = out.at(tx, yo);
                const uint8_t* s = clockwise ? src.at(yo, h - 1 - tx) : src.at(w - 1 - yo, tx);
                const ptrdiff_t step = clockwise ? -srcRow : srcRow;
                if (bpp == 3) {
                    for (int xo = tx; xo < tx1; ++xo, d += 3, s += step) {
                        d[0] = s[0];
                        d[1] = s[1];
                        d[2] = s[2];
                    }
                } else {
                    for (int xo = tx; xo < tx1; ++xo, d += bpp, s += step)
                        PixelCopy(d, s, bpp);
                }
            }
        }
    }
    return out;
}

PixelBuffer FlipPixels(const PixelBuffer& src, bool horizontal)
{
    if (src.empty())
        return src;
    const int w = src.width, h = src.height, bpp = src.bytesPerPixel;
    PixelBuffer out(w, h, bpp);
    for (int y = 0; y < h; ++y) {
        if (!horizontal) {
            std::memcpy(out.at(0, y), src.at(0, h - 1 - y), src.stride());
            continue;
        }
        const uint8_t* s = src.at(w - 1, y);
        uint8_t* d = out.at(0, y);
        if (bpp == 3) {
            for (int x = 0; x < w; ++x, s -= 3, d += 3) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
            continue;
        }
        for (int x = 0; x < w; ++x, s -= bpp, d += bpp)
            PixelCopy(d, s, bpp);
    }
    return out;
}

// --- Free rotation ---------------------------------------------------------------

PixelBuffer RotatePixels(const PixelBuffer& src, double degrees, int outWidth, int outHeight,
                         Interpolation interpolation, uint8_t fill)
{
    if (src.empty() || src.bytesPerPixel != 3 || outWidth <= 0 || outHeight <= 0)
        return {};
    PixelBuffer out(outWidth, outHeight, 3);
    const int w = src.width, h = src.height;
    const double radians = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(radians), s = std::sin(radians);
    const double cx = w / 2.0, cy = h / 2.0, ocx = outWidth / 2.0, ocy = outHeight / 2.0;
    const CubicWeights& cubic = CubicTable();

    // Source coordinates (less half a pixel) step along each output row in
    // 16.16 fixed point.
    constexpr double kOne = 65536.0;
    const int64_t stepU = std::llround(c * kOne), stepV = std::llround(-s * kOne);
    const int64_t lowest = -32768 - 2, highestU = int64_t(w) * 65536 - 32768 + 2,
                  highestV = int64_t(h) * 65536 - 32768 + 2;
    const size_t stride = src.stride();
    ForEachRowBand(outWidth, outHeight, false, [&](int y0, int y1) {
        for (int j = y0; j < y1; ++j) {
            uint8_t* d = out.at(0, j);
            const double X0 = 0.5 - ocx, Y = j + 0.5 - ocy;
            // The source point whose turn lands on the row's first pixel centre.
            int64_t U = std::llround((cx + c * X0 + s * Y - 0.5) * kOne);
            int64_t V = std::llround((cy - s * X0 + c * Y - 0.5) * kOne);
            for (int i = 0; i < outWidth; ++i, d += 3, U += stepU, V += stepV) {
                if (U < lowest || V < lowest || U > highestU || V > highestV) {
                    d[0] = d[1] = d[2] = fill;
                    continue;
                }
                int iu = int(U >> 16), iv = int(V >> 16);
                int fu = int(((U & 0xFFFF) + 128) >> 8), fv = int(((V & 0xFFFF) + 128) >> 8);
                if (fu == kFractions) {
                    ++iu;
                    fu = 0;
                }
                if (fv == kFractions) {
                    ++iv;
                    fv = 0;
                }
                if (interpolation == Interpolation::Bilinear) {
                    const uint8_t *p00, *p10, *p01, *p11;
                    if (iu >= 0 && iv >= 0 && iu + 1 < w && iv + 1 < h) {
                        p00 = src.data() + size_t(iv) * stride + size_t(iu) * 3;
                        p10 = p00 + 3;
                        p01 = p00 + stride;
                        p11 = p01 + 3;
                    } else {
                        const int u0 = std::clamp(iu, 0, w - 1), u1 = std::clamp(iu + 1, 0, w - 1);
                        const int v0 = std::clamp(iv, 0, h - 1), v1 = std::clamp(iv + 1, 0, h - 1);
                        p00 = src.at(u0, v0);
                        p10 = src.at(u1, v0);
                        p01 = src.at(u0, v1);
                        p11 = src.at(u1, v1);
                    }
                    for (int k = 0; k < 3; ++k) {
                        const int top = p00[k] * (kFractions - fu) + p10[k] * fu;
                        const int bottom = p01[k] * (kFractions - fu) + p11[k] * fu;
                        d[k] = uint8_t((top * (kFractions - fv) + bottom * fv + (1 << (2 * kFractionBits - 1)))
                                       >> (2 * kFractionBits));
                    }
                    continue;
                }
                const std::array<int, 4>& wx = cubic[size_t(fu)];
                const std::array<int, 4>& wy = cubic[size_t(fv)];
                int col[4];
                for (int k = 0; k < 4; ++k)
                    col[k] = std::clamp(iu - 1 + k, 0, w - 1) * 3;
                int acc[3] = {0, 0, 0};
                for (int r = 0; r < 4; ++r) {
                    const uint8_t* row = src.data() + size_t(std::clamp(iv - 1 + r, 0, h - 1)) * stride;
                    for (int k = 0; k < 3; ++k) {
                        const int across = row[col[0] + k] * wx[0] + row[col[1] + k] * wx[1]
                            + row[col[2] + k] * wx[2] + row[col[3] + k] * wx[3];
                        acc[k] += across * wy[size_t(r)];
                    }
                }
                for (int k = 0; k < 3; ++k)
                    d[k] = ClampRounded(acc[k], 2 * kWeightBits);
            }
        }
    });
    return out;
}

void LargestInnerRectangle(double width, double height, double degrees, double& innerWidth, double& innerHeight)
{
    innerWidth = innerHeight = 0.0;
    if (width <= 0.0 || height <= 0.0)
        return;
    const double radians = degrees * std::numbers::pi / 180.0;
    const double sa = std::abs(std::sin(radians)), ca = std::abs(std::cos(radians));
    const bool wide = width >= height;
    const double longSide = wide ? width : height, shortSide = wide ? height : width;
    if (sa < 1e-12) {
        innerWidth = width;
        innerHeight = height;
        return;
    }
    if (shortSide <= 2.0 * sa * ca * longSide || std::abs(sa - ca) < 1e-10) {
        // Two corners of the inner rectangle touch the long sides only.
        const double half = 0.5 * shortSide;
        innerWidth = wide ? half / sa : half / ca;
        innerHeight = wide ? half / ca : half / sa;
        return;
    }
    // All four corners touch the turned sides.
    const double cos2 = ca * ca - sa * sa;
    innerWidth = (width * ca - height * sa) / cos2;
    innerHeight = (height * ca - width * sa) / cos2;
}

PixelSize StraightenedSize(int width, int height, double degrees)
{
    double iw, ih;
    LargestInnerRectangle(width, height, degrees, iw, ih);
    // Half a pixel off each side, except at 0 where the photo is its own rectangle.
    const double margin = std::abs(degrees) < 1e-12 ? 0.0 : 1.0;
    const int w = std::max(0, int(std::floor(iw - margin))) / 4 * 4;
    const int h = std::max(0, int(std::floor(ih - margin))) / 4 * 4;
    if (w < 4 || h < 4)
        return {};
    return {w, h};
}

PixelBuffer StraightenPixels(const PixelBuffer& src, double degrees)
{
    if (!(std::abs(degrees) <= kMaxStraightenDegrees))
        return {};
    const PixelSize size = StraightenedSize(src.width, src.height, degrees);
    if (size.width == 0)
        return {};
    return RotatePixels(src, degrees, size.width, size.height, Interpolation::Bicubic);
}

// --- Resampling ------------------------------------------------------------------

PixelBuffer ResizeLanczos3(const PixelBuffer& src, int width, int height)
{
    if (src.empty() || src.bytesPerPixel != 3 || width < 1 || height < 1)
        return {};
    const int sw = src.width, sh = src.height;
    const Taps across = MakeTaps(sw, width);
    const Taps down = MakeTaps(sh, height);

    // Rows first into an 8-bit intermediate, then columns.
    PixelBuffer mid(width, sh, 3);
    ForEachRowBand(width, sh, false, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint8_t* row = src.at(0, y);
            uint8_t* d = mid.at(0, y);
            for (int x = 0; x < width; ++x, d += 3) {
                const int32_t* wt = across.weights.data() + size_t(x) * size_t(across.stride);
                const uint8_t* s = row + size_t(across.first[size_t(x)]) * 3;
                int a0 = 0, a1 = 0, a2 = 0;
                for (int k = 0, n = across.count[size_t(x)]; k < n; ++k, s += 3) {
                    a0 += s[0] * wt[k];
                    a1 += s[1] * wt[k];
                    a2 += s[2] * wt[k];
                }
                d[0] = ClampRounded(a0, kTapBits);
                d[1] = ClampRounded(a1, kTapBits);
                d[2] = ClampRounded(a2, kTapBits);
            }
        }
    });

    PixelBuffer out(width, height, 3);
    const size_t rowBytes = out.stride();
    ForEachRowBand(width, height, false, [&](int y0, int y1) {
        std::vector<int32_t> acc(rowBytes);
        for (int y = y0; y < y1; ++y) {
            std::fill(acc.begin(), acc.end(), 0);
            const int32_t* wt = down.weights.data() + size_t(y) * size_t(down.stride);
            for (int k = 0, n = down.count[size_t(y)]; k < n; ++k) {
                const uint8_t* s = mid.at(0, down.first[size_t(y)] + k);
                const int32_t weight = wt[k];
                for (size_t b = 0; b < rowBytes; ++b)
                    acc[b] += s[b] * weight;
            }
            uint8_t* d = out.at(0, y);
            for (size_t b = 0; b < rowBytes; ++b)
                d[b] = ClampRounded(acc[b], kTapBits);
        }
    });
    return out;
}

PixelSize FitWithin(int width, int height, int maxWidth, int maxHeight)
{
    if (width <= 0 || height <= 0 || maxWidth <= 0 || maxHeight <= 0)
        return {};
    // The side that limits decides; the other follows the aspect.
    int w, h;
    if (int64_t(maxWidth) * height <= int64_t(maxHeight) * width) {
        w = maxWidth;
        h = int(int64_t(height) * maxWidth / width);
    } else {
        h = maxHeight;
        w = int(int64_t(width) * maxHeight / height);
    }
    w = w / 4 * 4;
    h = h / 4 * 4;
    if (w < 4 || h < 4)
        return {};
    return {w, h};
}

PixelSize ScaledByPercent(int width, int height, double percent)
{
    if (!(percent > 0.0) || width <= 0 || height <= 0)
        return {};
    const double w = std::round(width * percent / 100.0 / 4.0) * 4.0;
    const double h = std::round(height * percent / 100.0 / 4.0) * 4.0;
    if (w < 4.0 || h < 4.0)
        return {};
    // Absurd percentages stay representable; ResizeProblem refuses them.
    return {int(std::min(w, 1e6)), int(std::min(h, 1e6))};
}

PixelBuffer ApplyGeometryOp(const PixelBuffer& src, const GeometryOp& op)
{
    switch (op.kind) {
    case GeometryOp::Kind::Crop: return CropPixels(src, op.x, op.y, op.width, op.height);
    case GeometryOp::Kind::Turn: return RotateQuarterTurns(src, op.quarterTurns);
    case GeometryOp::Kind::Flip: return FlipPixels(src, op.horizontal);
    case GeometryOp::Kind::Straighten: return StraightenPixels(src, op.degrees);
    case GeometryOp::Kind::Resize: return ResizeLanczos3(src, op.width, op.height);
    }
    return {};
}

std::string ResizeProblem(int width, int height, int newWidth, int newHeight, int64_t maxArea)
{
    if (newWidth < 4 || newHeight < 4)
        return "the new size " + std::to_string(newWidth) + " x " + std::to_string(newHeight)
            + " is smaller than 4 x 4 pixels";
    if (newWidth % 4 != 0 || newHeight % 4 != 0)
        return "the sides of a photo must be multiples of 4 pixels";
    if (newWidth > kMaxPhotoSide || newHeight > kMaxPhotoSide)
        return "the new size " + std::to_string(newWidth) + " x " + std::to_string(newHeight)
            + " has a side over " + std::to_string(kMaxPhotoSide) + " pixels";
    const int64_t area = int64_t(newWidth) * newHeight;
    if (maxArea > 0 && area > int64_t(width) * height && area > maxArea)
        return "the new size " + std::to_string(newWidth) + " x " + std::to_string(newHeight)
            + " is more than the load threshold allows (" + std::to_string(maxArea) + " pixels)";
    return {};
}

std::string CropProblem(int width, int height, int x, int y, int w, int h)
{
    if (w <= 0 || h <= 0)
        return "the crop has no area";
    if (w < 4 || h < 4)
        return "the crop is smaller than 4 x 4 pixels";
    if (x < 0 || y < 0 || int64_t(x) + w > width || int64_t(y) + h > height)
        return "the crop " + std::to_string(w) + "x" + std::to_string(h) + "+" + std::to_string(x) + "+"
            + std::to_string(y) + " is not inside the photo (" + std::to_string(width) + " x "
            + std::to_string(height) + ")";
    return {};
}

} // namespace ombrik
