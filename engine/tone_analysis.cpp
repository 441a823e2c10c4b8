#include "engine/tone_analysis.h"

#include "engine/row_bands.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

namespace ombrik {

Histogram ComputeHistogram(const PixelBuffer& photo)
{
    Histogram h;
    if (photo.bytesPerPixel != 3 || photo.empty())
        return h;
    std::mutex merge;
    ForEachRowBand(photo.width, photo.height, false, [&](int y0, int y1) {
        // Each band counts into its own tables; two of them per channel, for
        // alternate pixels, so that runs of one level do not wait on one counter.
        std::array<std::array<uint32_t, 256>, 8> local{};
        uint32_t dark = 0, light = 0;
        const uint8_t* p = photo.at(0, y0);
        const size_t count = size_t(photo.width) * size_t(y1 - y0);
        for (size_t i = 0; i < count; ++i, p += 3) {
            const int b = p[0], g = p[1], r = p[2];
            const size_t half = (i & 1) * 4;
            ++local[half + Histogram::Luma][size_t((r * 54 + g * 183 + b * 19 + 128) >> 8)];
            ++local[half + Histogram::Red][size_t(r)];
            ++local[half + Histogram::Green][size_t(g)];
            ++local[half + Histogram::Blue][size_t(b)];
            dark += (b == 0) | (g == 0) | (r == 0);
            light += (b == 255) | (g == 255) | (r == 255);
        }
        const std::lock_guard<std::mutex> lock(merge);
        for (size_t c = 0; c < 4; ++c)
            for (size_t v = 0; v < 256; ++v)
                h.bins[c][v] += local[c][v] + local[c + 4][v];
        h.shadowsClipped += dark;
        h.highlightsClipped += light;
    });
    h.pixels = uint64_t(photo.width) * uint64_t(photo.height);
    return h;
}

std::array<double, 3> ColourBeforeLevels(const PixelBuffer& photo, int x, int y, const AdjustParams& params)
{
    std::array<double, 3> rgb{};
    if (photo.bytesPerPixel != 3 || x < 0 || y < 0 || x >= photo.width || y >= photo.height)
        return rgb;
    AdjustParams sliders = params;
    sliders.tone = ToneMaps();
    const Adjuster adjuster(sliders);
    int count = 0;
    for (int v = std::max(0, y - 1); v <= std::min(photo.height - 1, y + 1); ++v)
        for (int u = std::max(0, x - 1); u <= std::min(photo.width - 1, x + 1); ++u, ++count) {
            const uint8_t* p = photo.at(u, v);
            for (int c = 0; c < 3; ++c)
                rgb[size_t(2 - c)] += adjuster.channelLevel(c, p[c]) / 16.0;
        }
    for (double& v : rgb)
        v /= count;
    return rgb;
}

namespace {

// Brightness values are counted on a square-root scale, which resolves the
// dark end finely enough for percentiles without thousands of linear bins.
constexpr int kBins = 4096;
constexpr double kTop = kBins - 1;
// Colour in stops (log2 of a channel ratio), 1/16 stop per bin over -4..4.
constexpr int kHueBins = 128;
constexpr double kHuePerStop = 16;

int BrightBin(double linear)
{
    return int(std::sqrt(std::clamp(linear, 0.0, 1.0)) * kTop + 0.5);
}

double BinLinear(int bin)
{
    const double s = bin / kTop;
    return s * s;
}

// The level below which `share` of the counted values lie.
int Percentile(const std::vector<uint32_t>& bins, double share)
{
    uint64_t total = 0;
    for (uint32_t n : bins)
        total += n;
    const double wanted = share * double(total);
    uint64_t seen = 0;
    for (size_t i = 0; i < bins.size(); ++i) {
        seen += bins[i];
        if (double(seen) >= wanted && seen > 0)
            return int(i);
    }
    return int(bins.size()) - 1;
}

// The photo's samples: a grid of every `step`-th pixel in both directions,
// split in one band of rows per core; fn(band, b, g, r) for each.
template <class Fn>
void ForEachSample(const PixelBuffer& photo, int step, int bands, Fn&& fn)
{
    const int rows = (photo.height + step - 1) / step;
    ForEachItem(bands, bands, [&](int band) {
        const int r0 = rows * band / bands, r1 = rows * (band + 1) / bands;
        for (int row = r0; row < r1; ++row) {
            const uint8_t* p = photo.at(0, row * step);
            for (int x = 0; x < photo.width; x += step, p += 3 * step)
                fn(band, p[0], p[1], p[2]);
        }
    });
}

// Adds up per-band tables.
std::vector<uint32_t> Sum(const std::vector<std::vector<uint32_t>>& parts)
{
    std::vector<uint32_t> total(parts.front().size(), 0);
    for (const auto& part : parts)
        for (size_t i = 0; i < total.size(); ++i)
            total[i] += part[i];
    return total;
}

struct Tables {
    std::array<float, 256> linear{};
    std::array<float, 256> stops{};  // log2 of linear
    Tables()
    {
        for (int v = 0; v < 256; ++v) {
            linear[size_t(v)] = float(SrgbToLinear(v / 255.0));
            stops[size_t(v)] = float(std::log2(std::max(1e-6, double(linear[size_t(v)]))));
        }
    }
};

const Tables& LevelTables()
{
    static const Tables tables;
    return tables;
}

// Bytes of a channel that are neither clipped nor lost in noise.
bool Usable(int v)
{
    return v >= 10 && v <= 248;
}

// The densest colour near (u, v): mean shift over a disc that narrows from
// `wide` to `narrow` stops, so it settles on the nearest large cluster.
std::pair<double, double> DensestColour(const std::vector<uint32_t>& table, double u, double v, double wide,
                                        double narrow)
{
    for (double radius = wide * kHuePerStop; ; radius = std::max(narrow * kHuePerStop, radius * 0.7)) {
        for (int iteration = 0; iteration < 6; ++iteration) {
            double su = 0, sv = 0, sw = 0;
            const int u0 = std::max(0, int(u - radius)), u1 = std::min(kHueBins - 1, int(u + radius) + 1);
            const int v0 = std::max(0, int(v - radius)), v1 = std::min(kHueBins - 1, int(v + radius) + 1);
            for (int i = u0; i <= u1; ++i)
                for (int j = v0; j <= v1; ++j) {
                    const double du = i + 0.5 - u, dv = j + 0.5 - v;
                    if (du * du + dv * dv > radius * radius)
                        continue;
                    const double w = table[size_t(i * kHueBins + j)];
                    su += w * (i + 0.5);
                    sv += w * (j + 0.5);
                    sw += w;
                }
            if (sw == 0)
                break;
            const double nu = su / sw, nv = sv / sw;
            const bool settled = std::abs(nu - u) < 0.01 && std::abs(nv - v) < 0.01;
            u = nu;
            v = nv;
            if (settled)
                break;
        }
        if (radius <= narrow * kHuePerStop)
            break;
    }
    return {u, v};
}

} // namespace

AdjustParams AutoAdjust(const PixelBuffer& photo, AutoAnalysis* analysisOut)
{
    AdjustParams params;
    AutoAnalysis a;
    if (photo.bytesPerPixel != 3 || photo.empty()) {
        if (analysisOut)
            *analysisOut = a;
        return params;
    }
    const Tables& t = LevelTables();
    // About half a million samples are plenty for percentiles.
    const double pixels = double(photo.width) * photo.height;
    const int step = std::max(1, int(std::ceil(std::sqrt(pixels / 500000.0))));
    const int bands = std::max(1, CoreCount());
    auto tables = [bands](size_t size) { return std::vector<std::vector<uint32_t>>(size_t(bands), std::vector<uint32_t>(size, 0)); };

    // 1. Luminance of every sample, and of the unclipped ones alone.
    auto lumaParts = tables(kBins), usableParts = tables(kBins);
    auto luminance = [&t](int b, int g, int r) {
        return 0.2126f * t.linear[size_t(r)] + 0.7152f * t.linear[size_t(g)] + 0.0722f * t.linear[size_t(b)];
    };
    ForEachSample(photo, step, bands, [&](int band, int b, int g, int r) {
        const int bin = BrightBin(luminance(b, g, r));
        ++lumaParts[size_t(band)][size_t(bin)];
        if (Usable(b) && Usable(g) && Usable(r))
            ++usableParts[size_t(band)][size_t(bin)];
    });
    const std::vector<uint32_t> luma = Sum(lumaParts), usable = Sum(usableParts);

    // 2. The colour of the brighter unclipped tones: whites and greys, where a
    // cast shows, are among them far more often than among the dark ones.
    const int brightFrom = Percentile(usable, 0.6);
    auto hueParts = tables(size_t(kHueBins) * kHueBins);
    ForEachSample(photo, step, bands, [&](int band, int b, int g, int r) {
        if (!Usable(b) || !Usable(g) || !Usable(r) || BrightBin(luminance(b, g, r)) < brightFrom)
            return;
        const double u = (t.stops[size_t(r)] - t.stops[size_t(g)] + 4) * kHuePerStop;
        const double v = (t.stops[size_t(b)] - t.stops[size_t(g)] + 4) * kHuePerStop;
        const int i = std::clamp(int(u), 0, kHueBins - 1), j = std::clamp(int(v), 0, kHueBins - 1);
        ++hueParts[size_t(band)][size_t(i * kHueBins + j)];
    });
    const std::vector<uint32_t> hues = Sum(hueParts);
    // The densest cluster near the middle of them, found the same way
    // whatever their cast (so a cast moves the result by just that cast).
    std::vector<uint32_t> alongU(kHueBins, 0), alongV(kHueBins, 0);
    for (int i = 0; i < kHueBins; ++i)
        for (int j = 0; j < kHueBins; ++j) {
            alongU[size_t(i)] += hues[size_t(i * kHueBins + j)];
            alongV[size_t(j)] += hues[size_t(i * kHueBins + j)];
        }
    const auto [cu, cv] =
        DensestColour(hues, Percentile(alongU, 0.5) + 0.5, Percentile(alongV, 0.5) + 0.5, 0.6, 0.25);
    a.castRed = cu / kHuePerStop - 4;
    a.castBlue = cv / kHuePerStop - 4;

    // 3. The white balance that makes that cluster grey (red × 2^-castRed,
    // blue × 2^-castBlue), in slider units. A cool cast is taken out; of a
    // warm one a little warmth is kept and the rest taken out up to a limit:
    // a photo that warm was mostly lit so (lamps, candles, a sunset), and the
    // light is its mood. The green-magenta part is trusted less the warmer
    // the photo, as warm light colours every cluster.
    const double fullWarmth = (a.castBlue - a.castRed) / 0.6 * 100;
    const double fullTint = -(a.castRed + a.castBlue) / 0.9 * 100;
    double warmth = fullWarmth, trust = 1;
    if (fullWarmth < 0) {
        constexpr double kKept = 15, kLimit = 35, kDoubt = 60;
        const double excess = std::max(0.0, -fullWarmth - kKept);
        warmth = -kLimit * std::tanh(excess / kLimit);
        trust = 1 / (1 + (excess / kDoubt) * (excess / kDoubt));
    }
    constexpr double kTintKept = 8;
    const double tint = std::copysign(std::max(0.0, std::abs(fullTint) - kTintKept), fullTint) * trust;
    params.warmth = std::round(std::clamp(warmth, -AdjustParams::kMaxAmount, AdjustParams::kMaxAmount));
    params.tint = std::round(std::clamp(tint, -AdjustParams::kMaxAmount, AdjustParams::kMaxAmount));
    if (std::abs(params.warmth) < 3)
        params.warmth = 0;
    if (std::abs(params.tint) < 3)
        params.tint = 0;
    const double w = params.warmth / 100, tn = params.tint / 100;
    const float gainR = float(std::exp2(0.3 * w + 0.15 * tn)), gainG = float(std::exp2(-0.3 * tn)),
                gainB = float(std::exp2(-0.3 * w + 0.15 * tn));
    const float norm = 0.2126f * gainR + 0.7152f * gainG + 0.0722f * gainB;
    const float kR = gainR / norm, kG = gainG / norm, kB = gainB / norm;
    auto highParts = tables(kBins), lowParts = tables(kBins);
    ForEachSample(photo, step, bands, [&](int band, int b, int g, int r) {
        const float lr = t.linear[size_t(r)] * kR, lg = t.linear[size_t(g)] * kG, lb = t.linear[size_t(b)] * kB;
        ++highParts[size_t(band)][size_t(BrightBin(std::max({lr, lg, lb})))];
        ++lowParts[size_t(band)][size_t(BrightBin(std::min({lr, lg, lb})))];
    });
    const std::vector<uint32_t> highs = Sum(highParts), lows = Sum(lowParts);

    // Exposure: up to where the brightest tones reach white, but not past
    // a middle-grey mean (a dark scene with its lights at white stays dark);
    // down only when the mean is far too bright.
    double logSum = 0;
    uint64_t total = 0;
    for (int i = 0; i < kBins; ++i) {
        logSum += double(luma[size_t(i)]) * std::log2(BinLinear(i) + 1.0 / 1024);
        total += luma[size_t(i)];
    }
    const double key = std::exp2(logSum / double(std::max<uint64_t>(1, total)));
    a.stopsToKey = std::log2(0.18 / key);
    a.stopsToWhite = std::log2(0.97 / std::max(1e-4, BinLinear(Percentile(highs, 0.995))));
    double exposure = 0;
    if (a.stopsToWhite > 0 && a.stopsToKey > 0)
        exposure = std::min(a.stopsToWhite, a.stopsToKey);
    else if (a.stopsToKey < -1)
        exposure = std::max(-1.0, a.stopsToKey + 1);
    exposure = std::clamp(exposure, -AdjustParams::kMaxExposure, AdjustParams::kMaxExposure);
    if (std::abs(exposure) < 0.15)
        exposure = 0;
    params.exposure = std::round(exposure * 20) / 20;

    // Contrast, shadows and highlights: the darkest and brightest tones as
    // close to black and white as the curves take them, the least change
    // that does it.
    const double gain = std::exp2(params.exposure);
    auto encoded = [gain](double linear) { return LinearToSrgb(std::min(1.0, linear * gain)); };
    a.low = encoded(BinLinear(Percentile(lows, 0.005)));
    a.high = encoded(BinLinear(Percentile(highs, 0.995)));
    a.median = encoded(BinLinear(Percentile(luma, 0.5)));
    // How far to spread: a range of tones over three quarters of the whole
    // is the photo's own look; below half it is dull and spread in full.
    const double spread = std::clamp((0.75 - (a.high - a.low)) / 0.25, 0.0, 1.0);
    if (spread > 0) {
        const double black = a.low * (1 - spread) + 0.02 * spread;
        const double white = a.high * (1 - spread) + 0.98 * spread;
        double best = 1e9;
        AdjustParams trial;
        for (int c = 0; c <= 100; c += 4)
            for (int s = 0; s >= -100; s -= 5)
                for (int h = 0; h <= 100; h += 5) {
                    trial.contrast = c;
                    trial.shadows = s;
                    trial.highlights = h;
                    const double lowMiss = std::max(0.0, ToneSliderCurve(a.low, trial) - black);
                    const double highMiss = std::max(0.0, white - ToneSliderCurve(a.high, trial));
                    const double midShift = ToneSliderCurve(a.median, trial) - a.median;
                    const double cost = lowMiss * lowMiss + highMiss * highMiss + 0.25 * midShift * midShift
                        + 0.002 * (c * c + s * s + h * h) / 10000.0;
                    if (cost < best) {
                        best = cost;
                        params.contrast = c;
                        params.shadows = s;
                        params.highlights = h;
                    }
                }
    }
    if (analysisOut)
        *analysisOut = a;
    return params;
}

} // namespace ombrik
