// Generates the six painter brush images "001.pnm" … "006.pnm" (binary PNM,
// grey, largest value 255) into the folder given as the first argument
// (default: resources/brushes). The pictures are deterministic: the noise comes
// from a fixed hash, not from a library generator.
//
//   001  P5 200 × 200  vertical ramp, white at the top to black at the bottom
//   002  P5 185 × 185  hard white disc 175 across on black
//   003  P6 238 × 47   rough mottled horizontal stroke on a near-black border
//   004  P5 120 × 120  soft six-armed snowflake with side branches
//   005  P6 200 × 50   soft horizontal bar, ~241 inside, ~86 at the ends
//   006  P6 200 × 59   flat white bar with rounded, slightly ragged ends on 10
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Integer hash of a lattice point to 0..1.
double Hash(int x, int y, int seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0xFFFFFF);
}

double Smooth(double t)
{
    return t * t * (3 - 2 * t);
}

// Smooth value noise 0..1 with lattice spacing `scale`.
double ValueNoise(double x, double y, double scale, int seed)
{
    const double fx = x / scale, fy = y / scale;
    const int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    const double tx = Smooth(fx - ix), ty = Smooth(fy - iy);
    const double a = Hash(ix, iy, seed), b = Hash(ix + 1, iy, seed);
    const double c = Hash(ix, iy + 1, seed), d = Hash(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
}

double Clamp01(double v)
{
    return std::clamp(v, 0.0, 1.0);
}

uint8_t Byte(double v)
{
    return uint8_t(std::clamp(int(v + 0.5), 0, 255));
}

struct Grey {
    int width, height;
    std::vector<uint8_t> values;
    Grey(int w, int h) : width(w), height(h), values(size_t(w) * size_t(h), 0) {}
    uint8_t& at(int x, int y) { return values[size_t(y) * size_t(width) + size_t(x)]; }
};

bool Write(const std::string& path, const Grey& image, bool colour, const char* comment)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::fprintf(f, "%s\n", colour ? "P6" : "P5");
    if (comment)
        std::fprintf(f, "# %s\n", comment);
    std::fprintf(f, "%d %d\n255\n", image.width, image.height);
    for (uint8_t v : image.values) {
        if (colour) {
            const uint8_t rgb[3] = {v, v, v};
            std::fwrite(rgb, 1, 3, f);
        } else {
            std::fputc(v, f);
        }
    }
    return std::fclose(f) == 0;
}

Grey Ramp()
{
    Grey g(200, 200);
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x)
            g.at(x, y) = Byte(255.0 * (1.0 - y / 199.0));
    return g;
}

Grey Disc()
{
    Grey g(185, 185);
    const double c = 92.0, r = 87.5;
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x)
            g.at(x, y) = (x - c) * (x - c) + (y - c) * (y - c) <= r * r ? 255 : 0;
    return g;
}

Grey RoughStroke()
{
    Grey g(238, 47);
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            // Ragged top and bottom edges and ends, all from slow noise.
            const double top = 6.0 + 5.0 * ValueNoise(x, 0, 9, 31) + 1.5 * Hash(x, 1, 32);
            const double bottom = 40.0 - 5.0 * ValueNoise(x, 0, 9, 33) - 1.5 * Hash(x, 2, 34);
            const double leftEnd = 5.0 + 8.0 * ValueNoise(0, y, 6, 35);
            const double rightEnd = 232.0 - 8.0 * ValueNoise(0, y, 6, 36);
            const double inside = std::min({y - top, bottom - y, x - leftEnd, rightEnd - x});
            const double cover = Clamp01(inside / 1.5);
            // Mottled body: coarse blotches, bristle streaks along the stroke, grain.
            const double blotch = ValueNoise(x, y, 7, 37);
            const double streak = ValueNoise(x * 0.25, y, 2.2, 38);
            const double grain = Hash(x, y, 39);
            const double body = 180.0 + 60.0 * Clamp01(0.45 * blotch + 0.4 * streak + 0.15 * grain);
            const double border = 4.0 + 6.0 * Hash(x, y, 40);
            g.at(x, y) = Byte(border + (body - border) * cover);
        }
    return g;
}

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by)
{
    const double vx = bx - ax, vy = by - ay;
    const double t = Clamp01(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy));
    const double dx = px - (ax + t * vx), dy = py - (ay + t * vy);
    return std::sqrt(dx * dx + dy * dy);
}

Grey Snowflake()
{
    Grey g(120, 120);
    const double c = 59.5;
    const double pi = 3.141592653589793;
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            double cover = Clamp01((9.0 - std::hypot(x - c, y - c)) / 1.8 + 0.5);  // centre
            for (int arm = 0; arm < 6; ++arm) {
                const double a = pi / 2 + arm * pi / 3;
                const double ux = std::cos(a), uy = -std::sin(a);
                // Main arm: a capsule, so its tip is round.
                const double tipX = c + 50 * ux, tipY = c + 50 * uy;
                cover = std::max(cover, Clamp01((4.0 - SegmentDistance(x, y, c, c, tipX, tipY)) / 1.8 + 0.5));
                // Two pairs of side branches leaning outward at 60 degrees.
                const double along[2] = {22, 36};
                const double length[2] = {15, 10};
                for (int k = 0; k < 2; ++k) {
                    const double bx = c + along[k] * ux, by = c + along[k] * uy;
                    for (int side = -1; side <= 1; side += 2) {
                        const double b = a + side * pi / 3;
                        const double ex = bx + length[k] * std::cos(b), ey = by - length[k] * std::sin(b);
                        cover = std::max(cover, Clamp01((2.6 - SegmentDistance(x, y, bx, by, ex, ey)) / 1.8 + 0.5));
                    }
                }
            }
            g.at(x, y) = Byte(255.0 * cover);
        }
    return g;
}

Grey SoftBar()
{
    Grey g(200, 50);
    const double endLevel = 86.0 / 241.0;
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            const double tx = std::abs(x - 99.5) / 99.5;
            const double ty = std::abs(y - 24.5) / 24.5;
            const double fx = 1.0 - (1.0 - endLevel) * Smooth(Clamp01((tx - 0.55) / 0.45));
            const double fy = 1.0 - (1.0 - endLevel) * Smooth(Clamp01((ty - 0.35) / 0.65));
            g.at(x, y) = Byte(241.0 * fx * fy);
        }
    return g;
}

Grey RoundBar()
{
    Grey g(200, 59);
    const double cy = 29.0, r = 19.0;
    const double leftC = 11.0 + r, rightC = 188.0 - r;
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            double inside;
            if (x < leftC || x > rightC) {
                const double ex = x < leftC ? leftC : rightC;
                const double angle = std::atan2(y - cy, x - ex);
                const double ragged = r - 2.0 * ValueNoise(angle * 8.0 + (x < leftC ? 0 : 50), 0, 1.0, 41);
                inside = ragged - std::hypot(x - ex, y - cy);
            } else {
                inside = r - std::abs(y - cy);
            }
            g.at(x, y) = Byte(10.0 + 245.0 * Clamp01(inside + 0.5));
        }
    return g;
}

} // namespace

int main(int argc, char** argv)
{
    std::string folder = argc > 1 ? argv[1] : "resources/brushes";
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    bool ok = true;
    ok = Write(folder + "001.pnm", Ramp(), false, "vertical ramp brush") && ok;
    ok = Write(folder + "002.pnm", Disc(), false, "disc brush") && ok;
    ok = Write(folder + "003.pnm", RoughStroke(), true, nullptr) && ok;
    ok = Write(folder + "004.pnm", Snowflake(), false, nullptr) && ok;
    ok = Write(folder + "005.pnm", SoftBar(), true, nullptr) && ok;
    ok = Write(folder + "006.pnm", RoundBar(), true, nullptr) && ok;
    if (!ok) {
        std::fprintf(stderr, "make_brushes: could not write the brush files into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
