#include "tests/heal/heal_cases.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ombrik::test {

namespace {

struct Lcg {
    uint32_t s;
    explicit Lcg(uint32_t seed) : s(seed) {}
    int next(int n)
    {
        s = s * 1664525u + 1013904223u;
        return int((s >> 8) % uint32_t(n));
    }
};

void Put(PixelBuffer& b, int x, int y, int r, int g, int bl)
{
    uint8_t* p = b.at(x, y);
    p[0] = ClampByte(bl);
    p[1] = ClampByte(g);
    p[2] = ClampByte(r);
}

double Luma(const uint8_t* p)
{
    return 0.299 * p[2] + 0.587 * p[1] + 0.114 * p[0];
}

} // namespace

PixelBuffer Bricks(int w, int h)
{
    PixelBuffer b(w, h);
    Lcg rng(7);
    const int bw = 32, bh = 12, mortar = 2;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int row = y / bh;
            const int xs = x + (row % 2) * (bw / 2);
            const bool joint = y % bh < mortar || xs % bw < mortar;
            const int brick = (xs / bw) * 7 + row * 13;
            const int shade = (brick * 37) % 30 - 15;
            const int n = rng.next(25) - 12;
            if (joint)
                Put(b, x, y, 190 + n / 2, 185 + n / 2, 175 + n / 2);
            else
                Put(b, x, y, 150 + shade + n, 70 + shade / 2 + n, 50 + n);
        }
    return b;
}

PixelBuffer GrassNoise(int w, int h)
{
    // Blades: noise smoothed along a slight slant, so it streaks upward.
    std::vector<int> noise(size_t(w) * h);
    Lcg rng(11);
    for (int& v : noise)
        v = rng.next(120);
    PixelBuffer b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int sum = 0;
            for (int k = -4; k <= 4; ++k) {
                const int yy = std::clamp(y + k, 0, h - 1), xx = std::clamp(x + k / 3, 0, w - 1);
                sum += noise[size_t(yy) * w + xx];
            }
            const int v = sum / 9 - 60;
            Put(b, x, y, 60 + v / 2, 130 + v, 45 + v / 3);
        }
    return b;
}

PixelBuffer SkyGradient(int w, int h)
{
    PixelBuffer b(w, h);
    Lcg rng(5);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double t = double(y) / (h - 1), s = double(x) / (w - 1);
            const int n = rng.next(5) - 2;
            Put(b, x, y, int(70 + 120 * t + 10 * s) + n, int(120 + 95 * t) + n, int(200 + 40 * t) + n);
        }
    return b;
}

PixelBuffer SlantedEdge(int w, int h)
{
    PixelBuffer b(w, h);
    Lcg rng(3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double side = (x - w / 2.0) * 0.8 + (y - h / 2.0) * 0.6;
            const int n = rng.next(31) - 15;
            if (side < 0)
                Put(b, x, y, 60 + n, 70 + n, 90 + n);
            else
                Put(b, x, y, 200 + n, 180 + n, 140 + n);
        }
    return b;
}

std::vector<uint8_t> EllipseMask(int w, int h, int cx, int cy, int rx, int ry)
{
    std::vector<uint8_t> m(size_t(w) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double dx = double(x - cx) / rx, dy = double(y - cy) / ry;
            if (dx * dx + dy * dy <= 1.0)
                m[size_t(y) * w + x] = 1;
        }
    return m;
}

std::vector<uint8_t> StrokeMask(int w, int h, const std::vector<int>& path, double halfWidth)
{
    std::vector<uint8_t> m(size_t(w) * h, 0);
    for (size_t i = 0; i + 3 < path.size(); i += 2) {
        const double ax = path[i], ay = path[i + 1], bx = path[i + 2], by = path[i + 3];
        const double length2 = std::max(1e-9, (bx - ax) * (bx - ax) + (by - ay) * (by - ay));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double t = std::clamp(((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / length2, 0.0, 1.0);
                const double dx = x - (ax + t * (bx - ax)), dy = y - (ay + t * (by - ay));
                if (dx * dx + dy * dy <= halfWidth * halfWidth)
                    m[size_t(y) * w + x] = 1;
            }
    }
    return m;
}

PixelBuffer Paste(const PixelBuffer& truth, const PixelBuffer& object, const std::vector<uint8_t>& mask)
{
    PixelBuffer out = truth;
    for (int y = 0; y < truth.height; ++y)
        for (int x = 0; x < truth.width; ++x)
            if (mask[size_t(y) * truth.width + x])
                std::copy_n(object.at(x % object.width, y % object.height), 3, out.at(x, y));
    return out;
}

FillScore ScoreFill(const PixelBuffer& filled, const PixelBuffer& truth, const std::vector<uint8_t>& mask)
{
    const int w = truth.width, h = truth.height;
    auto in = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && mask[size_t(y) * w + x]; };
    FillScore score;

    // Colour: 8 × 8 blocks mostly inside the area, compared by their means.
    // Thin areas (a wire) fill few blocks: then blocks a quarter inside count.
    double colour = 0;
    int blocks = 0;
    for (int minimum : {48, 16}) {
    if (blocks > 0)
        break;
    for (int by = 0; by + 8 <= h; by += 8)
        for (int bx = 0; bx + 8 <= w; bx += 8) {
            int count = 0;
            double a[3] = {0, 0, 0}, t[3] = {0, 0, 0};
            for (int y = by; y < by + 8; ++y)
                for (int x = bx; x < bx + 8; ++x)
                    if (in(x, y)) {
                        ++count;
                        for (int k = 0; k < 3; ++k) {
                            a[k] += filled.at(x, y)[k];
                            t[k] += truth.at(x, y)[k];
                        }
                    }
            if (count < minimum)
                continue;
            for (int k = 0; k < 3; ++k)
                colour += std::abs(a[k] - t[k]) / count / 3.0;
            ++blocks;
        }
    }
    score.colour = blocks ? colour / blocks : 0.0;

    // Texture: how far pixels stand out from their 3 × 3 neighbourhood.
    auto contrast = [&](const PixelBuffer& b) {
        double sum = 0;
        int n = 0;
        for (int y = 1; y + 1 < h; ++y)
            for (int x = 1; x + 1 < w; ++x) {
                if (!in(x, y) || !in(x - 1, y) || !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1))
                    continue;
                double mean = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        mean += Luma(b.at(x + dx, y + dy));
                sum += std::abs(Luma(b.at(x, y)) - mean / 9.0);
                ++n;
            }
        return n ? sum / n : 0.0;
    };
    const double truthContrast = contrast(truth);
    score.texture = truthContrast > 0 ? contrast(filled) / truthContrast : 1.0;

    // Seam: neighbours on either side of the border against neighbours just
    // outside it (within 4 pixels), both in the filled picture.
    std::vector<uint8_t> near(size_t(w) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (in(x, y))
                continue;
            for (int dy = -4; dy <= 4 && !near[size_t(y) * w + x]; ++dy)
                for (int dx = -4; dx <= 4; ++dx)
                    if (in(x + dx, y + dy)) {
                        near[size_t(y) * w + x] = 1;
                        break;
                    }
        }
    double across = 0, beside = 0;
    int nAcross = 0, nBeside = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int d = 0; d < 2; ++d) {
                const int x2 = x + (d == 0), y2 = y + (d == 1);
                if (x2 >= w || y2 >= h)
                    continue;
                const double diff = std::abs(Luma(filled.at(x, y)) - Luma(filled.at(x2, y2)));
                if (in(x, y) != in(x2, y2)) {
                    across += diff;
                    ++nAcross;
                } else if (!in(x, y) && near[size_t(y) * w + x] && near[size_t(y2) * w + x2]) {
                    beside += diff;
                    ++nBeside;
                }
            }
    score.seam = nAcross && nBeside && beside > 0 ? (across / nAcross) / (beside / nBeside) : 0.0;
    return score;
}

PixelBuffer DiffusionFill(const PixelBuffer& damaged, const std::vector<uint8_t>& mask)
{
    const int w = damaged.width, h = damaged.height;
    std::vector<double> v(size_t(w) * h * 3);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = damaged.pixels[i];
    std::vector<int> holes;
    for (int i = 0; i < w * h; ++i)
        if (mask[size_t(i)])
            holes.push_back(i);
    // Relaxed until nothing moves by more than a hundredth of a level.
    for (int it = 0; it < 2000; ++it) {
        double moved = 0;
        for (int i : holes) {
            const int x = i % w, y = i / w;
            for (int k = 0; k < 3; ++k) {
                double sum = 0;
                int n = 0;
                for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                    if (x + dx >= 0 && y + dy >= 0 && x + dx < w && y + dy < h) {
                        sum += v[(size_t(y + dy) * w + x + dx) * 3 + k];
                        ++n;
                    }
                double& value = v[size_t(i) * 3 + k];
                moved = std::max(moved, std::abs(sum / n - value));
                value = sum / n;
            }
        }
        if (moved < 0.01)
            break;
    }
    PixelBuffer out = damaged;
    for (size_t i = 0; i < v.size(); ++i)
        out.pixels[i] = ClampByte(int(v[i] + 0.5));
    return out;
}

} // namespace ombrik::test
