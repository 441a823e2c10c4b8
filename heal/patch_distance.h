// The patch distances and the small generator the heal fill's steps share.
#pragma once

#include "heal/patch_match.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace ombrik::heal::detail {

constexpr int kR = kPatchRadius;
// How close to the level's edge a source patch's centre may lie.
constexpr int kEdge = 1;

// A small generator of its own per band or target, so that results never
// depend on which thread ran what.
struct Rng {
    uint64_t state;
    explicit Rng(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    uint64_t next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in -r..r.
    int around(int r) { return int(next() % uint64_t(2 * r + 1)) - r; }
};

inline uint64_t Mix(uint64_t a, uint64_t b)
{
    return Rng(a ^ (b * 0xD6E8FEB86659FD93ull)).next();
}

// The part of the patches round (tx, ty) and (sx, sy) that lies in the level
// for both: offsets y0..y1 and x0..x1.
struct Window {
    int x0, x1, y0, y1;
    int area() const { return (x1 - x0 + 1) * (y1 - y0 + 1); }
};

inline Window Overlap(int w, int h, int tx, int ty, int sx, int sy)
{
    return {std::max({-kR, -tx, -sx}), std::min({kR, w - 1 - tx, w - 1 - sx}), std::max({-kR, -ty, -sy}),
            std::min({kR, h - 1 - ty, h - 1 - sy})};
}

// Patches at the photo's edge are cut off; distances are scaled to a whole
// patch, so that they compare whatever part of the patch was seen.
constexpr int kWhole = (2 * kR + 1) * (2 * kR + 1);

// Squared difference of the patches at (tx, ty) and (sx, sy) over their
// common part, scaled to a whole patch; stops once it reaches `limit`.
inline int32_t Distance(const uint8_t* image, int w, int h, int tx, int ty, int sx, int sy, int32_t limit)
{
    const Window win = Overlap(w, h, tx, ty, sx, sy);
    const int count = win.area();
    const int64_t rawLimit = int64_t(limit) * count / kWhole + 1;
    const int n = (win.x1 - win.x0 + 1) * 3;
    int64_t sum = 0;
    for (int dy = win.y0; dy <= win.y1; ++dy) {
        const uint8_t* a = image + (ptrdiff_t(ty + dy) * w + tx + win.x0) * 3;
        const uint8_t* b = image + (ptrdiff_t(sy + dy) * w + sx + win.x0) * 3;
        int32_t row = 0;
        for (int k = 0; k < n; ++k) {
            const int d = int(a[k]) - int(b[k]);
            row += d * d;
        }
        sum += row;
        if (sum >= rawLimit)
            return limit;
    }
    return int32_t(std::min<int64_t>(sum * kWhole / count, std::numeric_limits<int32_t>::max() - 1));
}

// The same over the target patch's known or already filled pixels only.
inline int32_t MaskedDistance(const uint8_t* image, const uint8_t* filled, int w, int h, int tx, int ty, int sx,
                              int sy, int32_t limit)
{
    const Window win = Overlap(w, h, tx, ty, sx, sy);
    int count = 0;
    for (int dy = win.y0; dy <= win.y1; ++dy)
        for (int dx = win.x0; dx <= win.x1; ++dx)
            count += filled[ptrdiff_t(ty + dy) * w + tx + dx];
    if (count == 0)
        return std::numeric_limits<int32_t>::max() - 1;
    const int64_t rawLimit = int64_t(limit) * count / kWhole + 1;
    int64_t sum = 0;
    for (int dy = win.y0; dy <= win.y1; ++dy) {
        const ptrdiff_t trow = ptrdiff_t(ty + dy) * w + tx, srow = ptrdiff_t(sy + dy) * w + sx;
        for (int dx = win.x0; dx <= win.x1; ++dx) {
            if (!filled[trow + dx])
                continue;
            const uint8_t* a = image + (trow + dx) * 3;
            const uint8_t* b = image + (srow + dx) * 3;
            for (int k = 0; k < 3; ++k) {
                const int d = int(a[k]) - int(b[k]);
                sum += d * d;
            }
        }
        if (sum >= rawLimit)
            return limit;
    }
    return int32_t(std::min<int64_t>(sum * kWhole / count, std::numeric_limits<int32_t>::max() - 1));
}

// MaskedDistance with a penalty for a source whose contrast differs from the
// known part of the target. Plain squared differences prefer a flat patch of
// the mean colour to any patch of a busy texture, and a fill from flat
// patches reads as a smooth band across fur or grass. The source's contrast
// is taken over its whole patch, the part to be copied too, so a patch that
// matches on a flat wall but carries a spot where the copy goes loses.
inline int32_t TextureDistance(const uint8_t* image, const uint8_t* filled, int w, int h, int tx, int ty, int sx,
                               int sy, int32_t limit)
{
    const int32_t plain = MaskedDistance(image, filled, w, h, tx, ty, sx, sy, limit);
    if (plain >= limit)
        return limit;
    const Window win = Overlap(w, h, tx, ty, sx, sy);
    int known = 0;
    int64_t st = 0, st2 = 0, ss = 0, ss2 = 0;
    for (int dy = win.y0; dy <= win.y1; ++dy) {
        const ptrdiff_t trow = ptrdiff_t(ty + dy) * w + tx, srow = ptrdiff_t(sy + dy) * w + sx;
        for (int dx = win.x0; dx <= win.x1; ++dx) {
            const uint8_t* b = image + (srow + dx) * 3;
            ss += b[0] + b[1] + b[2];
            ss2 += b[0] * b[0] + b[1] * b[1] + b[2] * b[2];
            if (!filled[trow + dx])
                continue;
            ++known;
            const uint8_t* a = image + (trow + dx) * 3;
            st += a[0] + a[1] + a[2];
            st2 += a[0] * a[0] + a[1] * a[1] + a[2] * a[2];
        }
    }
    const double nt = 3.0 * known, ns = 3.0 * win.area();
    const double vt = std::max(0.0, double(st2) / nt - double(st) * double(st) / (nt * nt));
    const double vs = std::max(0.0, double(ss2) / ns - double(ss) * double(ss) / (ns * ns));
    const double gap = std::sqrt(vt) - std::sqrt(vs);
    // Scaled like the squared differences: three channels of a whole patch.
    const double penalty = 3.0 * kWhole * gap * gap;
    return int32_t(std::min<double>(double(plain) + penalty, std::numeric_limits<int32_t>::max() - 1));
}

} // namespace ombrik::heal::detail
