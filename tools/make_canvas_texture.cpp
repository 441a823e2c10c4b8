// Generates the 128 × 128 woven-canvas relief used by the Canvas filter and
// writes it as a greyscale PGM, each value offset by 128
// (resources/textures/canvas.pgm, embedded into the program by the build).
//
//   make_canvas_texture <output.pgm>
//
// The relief is the shading of a plain-weave height field: warp threads run
// down, weft threads across, 8 pixels apart (16 of each, so the weave repeats
// exactly every 128 pixels), each passing alternately over and under the
// threads it crosses. Every thread gets its own thickness and a slubby,
// uneven surface; fine fibre noise is laid on top. Everything that varies is
// periodic in 128, so the texture tiles without a seam. The shading (light
// mostly from above) is normalised to mean 0 and standard deviation 29 and
// clipped to −75..75. The output is deterministic: same program, same table.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 128;
constexpr int kThreads = 24;                      // threads each way per tile: even, so over/under tiles too
constexpr double kPitch = double(kSize) / kThreads;  // 5.33 pixels from one thread to the next
constexpr int kSuper = 4;                    // supersampling of the height field
constexpr double kTargetDeviation = 29.0;
constexpr int kLimit = 75;
constexpr double kPi = 3.14159265358979323846;

// Small self-contained generator (SplitMix64) so the table does not depend on
// the standard library's distributions.
struct Random {
    uint64_t state;
    explicit Random(uint64_t seed) : state(seed) {}
    uint64_t next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [-1, 1).
    double signedUnit() { return double(next() >> 11) * (2.0 / 9007199254740992.0) - 1.0; }
};

// A smooth 1-D noise periodic in `period` samples: cosine interpolation of
// random values on an integer lattice of `cells` cells.
struct PeriodicNoise1D {
    std::vector<double> values;
    double cellLength;
    PeriodicNoise1D(Random& rng, int cells, double period) : values(size_t(cells)), cellLength(period / cells)
    {
        for (double& v : values)
            v = rng.signedUnit();
    }
    double at(double t) const
    {
        const int n = int(values.size());
        const double u = t / cellLength;
        const double f = std::floor(u);
        int i0 = int(f) % n;
        if (i0 < 0)
            i0 += n;
        const int i1 = (i0 + 1) % n;
        const double s = (1.0 - std::cos((u - f) * kPi)) * 0.5;
        return values[size_t(i0)] * (1.0 - s) + values[size_t(i1)] * s;
    }
};

// Smooth 2-D value noise periodic in kSize along both axes.
struct PeriodicNoise2D {
    int cells;
    std::vector<double> values;
    PeriodicNoise2D(Random& rng, int cellCount) : cells(cellCount), values(size_t(cellCount * cellCount))
    {
        for (double& v : values)
            v = rng.signedUnit();
    }
    double at(double x, double y) const
    {
        const double cell = double(kSize) / cells;
        const double u = x / cell, v = y / cell;
        const double fu = std::floor(u), fv = std::floor(v);
        auto wrap = [&](int i) { return ((i % cells) + cells) % cells; };
        const int x0 = wrap(int(fu)), y0 = wrap(int(fv));
        const int x1 = wrap(x0 + 1), y1 = wrap(y0 + 1);
        const double su = (3.0 - 2.0 * (u - fu)) * (u - fu) * (u - fu);
        const double sv = (3.0 - 2.0 * (v - fv)) * (v - fv) * (v - fv);
        auto val = [&](int i, int j) { return values[size_t(j * cells + i)]; };
        const double top = val(x0, y0) * (1.0 - su) + val(x1, y0) * su;
        const double bottom = val(x0, y1) * (1.0 - su) + val(x1, y1) * su;
        return top * (1.0 - sv) + bottom * sv;
    }
};

struct Thread {
    double offset;     // centre shift across the thread, in pixels
    double halfWidth;  // half the thread's width, in pixels
    double lift;       // how far the thread stands out overall
};

struct Weave {
    std::array<Thread, kThreads> warp{}, weft{};
    std::vector<PeriodicNoise1D> warpSlub, weftSlub;
    PeriodicNoise2D fibre;
    PeriodicNoise2D grain;

    explicit Weave(Random& rng) : fibre(rng, 64), grain(rng, 16)
    {
        auto makeThread = [&](Thread& t) {
            t.offset = 0.18 * rng.signedUnit();
            t.halfWidth = kPitch * (0.43 + 0.05 * rng.signedUnit());
            t.lift = 1.0 + 0.12 * rng.signedUnit();
        };
        for (Thread& t : warp)
            makeThread(t);
        for (Thread& t : weft)
            makeThread(t);
        for (int i = 0; i < kThreads; ++i) {
            warpSlub.emplace_back(rng, 16, double(kSize));
            weftSlub.emplace_back(rng, 16, double(kSize));
        }
    }

    // Height of one thread's surface at distance `across` from its centre line
    // and at phase `along` of its over/under wave (+1 fully over, −1 under).
    static double threadSurface(const Thread& t, double across, double wave, double slub)
    {
        const double d = across / (t.halfWidth * (1.0 + 0.12 * slub));
        if (std::fabs(d) >= 1.0)
            return -10.0;
        const double profile = std::sqrt(1.0 - d * d);
        return t.lift * (0.8 * wave + 0.9 * profile) + 0.15 * slub;
    }

    double height(double x, double y) const
    {
        // Nearest warp thread (vertical, centred at (i + 0.5) × pitch).
        const int i = int(std::floor(x / kPitch));
        const int j = int(std::floor(y / kPitch));
        double best = -1.2;  // the ground seen through the gaps
        for (int di = -1; di <= 1; ++di) {
            const int ti = i + di;
            const Thread& t = warp[size_t(((ti % kThreads) + kThreads) % kThreads)];
            const double across = x - ((ti + 0.5) * kPitch + t.offset);
            const double wave = std::cos(kPi * (y / kPitch - 0.5 - ti));
            const double slub = warpSlub[size_t(((ti % kThreads) + kThreads) % kThreads)].at(y);
            best = std::max(best, threadSurface(t, across, wave, slub));
        }
        for (int dj = -1; dj <= 1; ++dj) {
            const int tj = j + dj;
            const Thread& t = weft[size_t(((tj % kThreads) + kThreads) % kThreads)];
            const double across = y - ((tj + 0.5) * kPitch + t.offset);
            const double wave = -std::cos(kPi * (x / kPitch - 0.5 - tj));
            const double slub = weftSlub[size_t(((tj % kThreads) + kThreads) % kThreads)].at(x);
            best = std::max(best, threadSurface(t, across, wave, slub));
        }
        return best + 0.12 * fibre.at(x, y) + 0.2 * grain.at(x, y);
    }
};

// Shading of the height field, light mostly from above, plus a little of the
// height itself so the gaps between threads read as darker.
std::vector<double> Relief(const Weave& weave)
{
    constexpr int n = kSize * kSuper;
    std::vector<double> h(size_t(n) * n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            h[size_t(y) * n + x] = weave.height((x + 0.5) / kSuper, (y + 0.5) / kSuper);
    auto at = [&](int x, int y) { return h[size_t((y + n) % n) * n + size_t((x + n) % n)]; };

    std::vector<double> relief(size_t(kSize) * kSize, 0.0);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double dx = at(x + 1, y) - at(x - 1, y);
            const double dy = at(x, y + 1) - at(x, y - 1);
            const double shade = -(0.5 * dx + dy) * kSuper * 0.5 + 0.35 * at(x, y);
            relief[size_t(y / kSuper) * kSize + size_t(x / kSuper)] += shade;
        }
    return relief;
}

// Scales and centres the relief so the clipped, rounded table has mean 0 and
// standard deviation kTargetDeviation.
std::vector<int8_t> Quantise(const std::vector<double>& relief)
{
    double mean = 0.0;
    for (double v : relief)
        mean += v;
    mean /= double(relief.size());
    double var = 0.0;
    for (double v : relief)
        var += (v - mean) * (v - mean);
    const double deviation = std::sqrt(var / double(relief.size()));

    std::vector<int8_t> table(relief.size());
    double scale = kTargetDeviation / deviation, shift = -mean;
    for (int round = 0; round < 20; ++round) {
        double sum = 0.0, sumSq = 0.0;
        for (size_t k = 0; k < relief.size(); ++k) {
            const long v = std::lround((relief[k] + shift) * scale);
            table[k] = int8_t(std::clamp(v, long(-kLimit), long(kLimit)));
            sum += table[k];
            sumSq += double(table[k]) * table[k];
        }
        const double m = sum / double(table.size());
        const double sd = std::sqrt(sumSq / double(table.size()) - m * m);
        scale *= kTargetDeviation / sd;
        shift -= m / scale;
    }
    return table;
}

bool WritePreview(const std::vector<int8_t>& table, const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    out << "P5\n" << kSize << " " << kSize << "\n255\n";
    for (int8_t v : table)
        out.put(char(uint8_t(128 + v)));
    return bool(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.pgm>\n", argv[0]);
        return 2;
    }
    Random rng(0x0C4A7A5ull);
    const Weave weave(rng);
    const std::vector<int8_t> table = Quantise(Relief(weave));

    double sum = 0.0, sumSq = 0.0;
    int lo = 127, hi = -128;
    for (int8_t v : table) {
        sum += v;
        sumSq += double(v) * v;
        lo = std::min(lo, int(v));
        hi = std::max(hi, int(v));
    }
    const double mean = sum / double(table.size());
    std::printf("range %d..%d, mean %.3f, standard deviation %.3f\n", lo, hi, mean,
                std::sqrt(sumSq / double(table.size()) - mean * mean));

    if (!WritePreview(table, argv[1])) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
