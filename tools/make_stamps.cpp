// Draws the four sparkle stamp images: a soft sparkle (Fairy Dust, 124 px), a
// mist puff (Mist / Cloud, 140 px), a star glint (Sparkle, 120 px) and a
// glowing dot (Firefly, 80 px). The stamps are recoloured by lightness when
// they are applied, so they are drawn in grey: a lightness near 128 becomes
// the full effect colour and lighter values fade towards white, which gives
// every stamp a white-hot core with a coloured rim. The outermost two pixels
// stay transparent so that scaling never smears an edge.
//
// Writes <name>.png (RGBA, for the record and the Qt side) and <name>.pam
// (the same pixels uncompressed, compiled into the light library) for each
// stamp into the folder given as the first argument.
//
//   ombrik_make_stamps resources/stamps
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Texel {
    double lightness;  // 0..1, 0.5 = pure effect colour
    double alpha;      // 0..1
};

double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

double SmoothStep(double e0, double e1, double x)
{
    const double t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// Deterministic value noise for the mist: a hashed lattice, smoothly blended.
double Hash(int x, int y, int seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return double(h & 0xFFFFFF) / double(0xFFFFFF);
}

double ValueNoise(double x, double y, int seed)
{
    const int ix = int(std::floor(x)), iy = int(std::floor(y));
    const double fx = x - ix, fy = y - iy;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double a = Hash(ix, iy, seed), b = Hash(ix + 1, iy, seed);
    const double c = Hash(ix, iy + 1, seed), d = Hash(ix + 1, iy + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

double Fbm(double x, double y, int seed)
{
    double sum = 0, amplitude = 0.5, total = 0;
    for (int octave = 0; octave < 5; ++octave) {
        sum += amplitude * ValueNoise(x, y, seed + octave * 17);
        total += amplitude;
        x *= 2.03;
        y *= 2.03;
        amplitude *= 0.5;
    }
    return sum / total;
}

// A thin ray along the direction (ux, uy) from the centre, `length` long, whose
// width shrinks towards its tip.
double Ray(double x, double y, double ux, double uy, double length, double width)
{
    const double along = std::abs(x * ux + y * uy);
    const double across = std::abs(-x * uy + y * ux);
    if (along >= length)
        return 0;
    const double t = along / length;
    const double w = width * (1 - 0.85 * t);
    return std::pow(1 - t, 1.6) * std::exp(-(across * across) / (w * w));
}

double Gauss(double r, double sigma) { return std::exp(-(r * r) / (sigma * sigma)); }

Texel SoftSparkle(double x, double y, double n)
{
    const double r = std::hypot(x, y);
    const double d = 1 / std::sqrt(2.0);
    double rays = Ray(x, y, 1, 0, 0.47 * n, 0.030 * n) + Ray(x, y, 0, 1, 0.47 * n, 0.030 * n);
    rays += 0.6 * (Ray(x, y, d, d, 0.26 * n, 0.022 * n) + Ray(x, y, d, -d, 0.26 * n, 0.022 * n));
    const double glow = 0.75 * Gauss(r, 0.13 * n) + 0.25 * Gauss(r, 0.30 * n);
    // A few specks of dust around the sparkle.
    static const double kSpecks[][3] = {{0.28, -0.22, 0.020}, {-0.30, 0.18, 0.016}, {0.18, 0.33, 0.014},
                                        {-0.22, -0.31, 0.018}, {0.36, 0.10, 0.012}, {-0.12, 0.40, 0.011}};
    double specks = 0;
    for (const auto& s : kSpecks)
        specks += Gauss(std::hypot(x - s[0] * n, y - s[1] * n), s[2] * n);
    const double alpha = Clamp01(glow + rays + specks);
    const double heat = Clamp01(Gauss(r, 0.07 * n) + 0.55 * rays + 0.6 * specks);
    return {0.5 + 0.5 * heat, alpha};
}

Texel StarGlint(double x, double y, double n)
{
    const double r = std::hypot(x, y);
    const double d = 1 / std::sqrt(2.0);
    double rays = Ray(x, y, 1, 0, 0.48 * n, 0.018 * n) + Ray(x, y, 0, 1, 0.48 * n, 0.018 * n);
    rays += 0.75 * (Ray(x, y, d, d, 0.30 * n, 0.014 * n) + Ray(x, y, d, -d, 0.30 * n, 0.014 * n));
    const double core = Gauss(r, 0.045 * n);
    const double halo = 0.35 * Gauss(r, 0.12 * n);
    const double ring = 0.18 * Gauss(r - 0.17 * n, 0.018 * n);
    const double alpha = Clamp01(core + halo + ring + rays);
    const double heat = Clamp01(core + 0.8 * rays * rays + 0.2 * ring);
    return {0.5 + 0.5 * heat, alpha};
}

Texel GlowingDot(double x, double y, double n)
{
    const double r = std::hypot(x, y);
    const double body = Gauss(r, 0.13 * n);
    const double halo = 0.55 * Gauss(r, 0.26 * n);
    const double alpha = Clamp01(body * 1.1 + halo);
    const double heat = Clamp01(Gauss(r, 0.08 * n) * 1.05);
    return {0.52 + 0.48 * heat, alpha};
}

Texel MistPuff(double x, double y, double n)
{
    // Overlapping soft lobes give the puff its outline; slow noise thins it
    // into a veil rather than a solid ball.
    static const double kLobes[][4] = {{0.00, 0.00, 0.20, 1.0}, {-0.15, 0.05, 0.15, 0.7}, {0.16, 0.02, 0.16, 0.7},
                                       {0.02, -0.13, 0.14, 0.6}, {-0.05, 0.14, 0.14, 0.6}, {0.13, 0.15, 0.11, 0.5},
                                       {-0.17, -0.11, 0.11, 0.5}};
    double body = 0;
    for (const auto& l : kLobes)
        body += l[3] * Gauss(std::hypot(x - l[0] * n, y - l[1] * n), l[2] * n);
    const double noise = Fbm(x / n * 5 + 11.3, y / n * 5 + 3.7, 7);
    const double r = std::hypot(x, y) / n;
    const double fade = 1 - SmoothStep(0.30, 0.47, r);
    const double density = body * (0.75 + 1.1 * (noise - 0.5));
    const double alpha = SmoothStep(0.02, 1.1, density) * 0.8 * fade;
    return {Clamp01(0.84 + 0.3 * (noise - 0.5)), alpha};
}

struct Stamp {
    const char* name;
    int size;
    std::function<Texel(double, double, double)> draw;
};

bool WritePam(const std::string& path, int size, const std::vector<uint8_t>& rgba)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::fprintf(f, "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n", size, size);
    const bool ok = std::fwrite(rgba.data(), 1, rgba.size(), f) == rgba.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : ".";
    const Stamp stamps[] = {
        {"stamp_fairy_dust", 124, SoftSparkle},
        {"stamp_mist", 140, MistPuff},
        {"stamp_sparkle", 120, StarGlint},
        {"stamp_firefly", 80, GlowingDot},
    };
    for (const Stamp& stamp : stamps) {
        const int n = stamp.size;
        std::vector<uint8_t> rgba(size_t(n) * n * 4, 0);
        const double c = (n - 1) * 0.5;
        for (int y = 2; y < n - 2; ++y) {
            for (int x = 2; x < n - 2; ++x) {
                // Four samples per pixel smooth the thin rays.
                double lightness = 0, alpha = 0;
                for (int s = 0; s < 4; ++s) {
                    const Texel t = stamp.draw(x - c + (s & 1) * 0.5 - 0.25, y - c + (s >> 1) * 0.5 - 0.25, n);
                    lightness += t.lightness * t.alpha;
                    alpha += t.alpha;
                }
                const double l = alpha > 0 ? lightness / alpha : 0;
                const int grey = int(std::lround(Clamp01(l) * 255));
                const int a = int(std::lround(Clamp01(alpha / 4) * 255));
                if (a == 0)
                    continue;
                uint8_t* p = &rgba[(size_t(y) * n + x) * 4];
                p[0] = p[1] = p[2] = uint8_t(grey);
                p[3] = uint8_t(a);
            }
        }
        const std::string base = folder + "/" + stamp.name;
        QImage image(rgba.data(), n, n, n * 4, QImage::Format_RGBA8888);
        if (!image.save(QString::fromStdString(base + ".png"), "PNG") || !WritePam(base + ".pam", n, rgba)) {
            std::fprintf(stderr, "ombrik_make_stamps: cannot write %s\n", base.c_str());
            return 1;
        }
    }
    return 0;
}
