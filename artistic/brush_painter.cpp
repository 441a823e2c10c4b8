#include "artistic/brush_painter.h"

#include "artistic/brush_resources.h"
#include "artistic/stroke_bands.h"
#include "engine/colour.h"
#include "engine/pixel_buffer.h"
#include "engine/progress.h"
#include "engine/row_bands.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <utility>

namespace ombrik {

namespace {

bool g_painting = false;  // set while a painting runs; a second one copies its source
std::optional<guint32> g_seed;

// g_rand_int_range for a range that may be empty on a tiny canvas: an empty
// range gives begin without a draw (GLib would log a critical and do the same).
int RandRange(GRand* r, int begin, int end)
{
    return end > begin ? g_rand_int_range(r, begin, end) : begin;
}

// A map must cover the working image exactly; one that came out of another
// size (a vector field on a canvas smaller than two brush boxes) is stretched
// to it by repeating its edges.
void FitMap(PaintImage& map, int w, int h)
{
    if (map.width == w && map.height == h)
        return;
    PaintImage fitted(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            std::memcpy(fitted.at(x, y), map.at(std::min(x, map.width - 1), std::min(y, map.height - 1)), 3);
    map = std::move(fitted);
}

double Distance(double u, double w, double x, double y)
{
    return std::sqrt((u - x) * (u - x) + (w - y) * (w - y));
}

} // namespace

void SetPainterSeed(std::optional<guint32> seed)
{
    g_seed = seed;
}

PaintImage MakeBaseBrush(const PainterParams& params, PaintImage brush)
{
    ResizeImage(brush, brush.width, Truncate(brush.height * std::pow(10.0, params.brushAspect)));
    const int m = std::max(brush.width, brush.height);
    const double f = params.sizeLast / m;
    if (params.brushGamma != 1.0)
        ApplyGammaTable(brush, 1.0 / params.brushGamma, true, true, true);
    ResizeImage(brush, Truncate(brush.width * f), Truncate(brush.height * f));
    const int d = Truncate(std::sqrt(double(brush.width) * brush.width + double(brush.height) * brush.height) + 1.0);
    PadImage(brush, d - brush.width, d - brush.width, d - brush.height, d - brush.height, 0, 0, 0);
    return brush;
}

BrushSet MakeBrushSet(const PainterParams& params, const PaintImage& baseBrush)
{
    BrushSet set;
    const int sizeCount = std::max(params.sizeCount, 1);
    const int orientCount = std::max(params.orientCount, 1);
    set.brushes.resize(size_t(sizeCount) * size_t(orientCount));
    for (int i = 0; i < sizeCount; ++i) {
        const double t = sizeCount > 1 ? double(i) / (sizeCount - 1) : 1.0;
        for (int j = 0; j < orientCount; ++j) {
            PaintImage b = baseBrush;
            RotateImage(b, params.orientFirst + j * params.orientSpan / orientCount);
            ScaleImage(b, (t * params.sizeFirst + (1 - t) * params.sizeLast) / params.sizeLast);
            AutoCropImage(b, 1);
            set.brushes[size_t(i) * size_t(orientCount) + size_t(j)].image = std::move(b);
        }
    }
    set.maxW = 1;
    set.maxH = 1;
    for (PainterBrush& brush : set.brushes) {
        if (!params.colourBrushes)
            ComputeReliefMap(brush.image);
        double weight = 0;
        for (size_t k = 0; k < brush.image.pixels.size(); k += 3)
            weight += brush.image.pixels[k];
        brush.weight = weight;
        set.maxW = std::max(set.maxW, brush.image.width);
        set.maxH = std::max(set.maxH, brush.image.height);
    }
    const double relief = params.brushRelief * 0.01;
    for (PainterBrush& brush : set.brushes) {
        const int w = brush.image.width, h = brush.image.height;
        const int left = (set.maxW - w) / 2, top = (set.maxH - h) / 2;
        PadImage(brush.image, left, set.maxW - w - left, top, set.maxH - h - top, 0, 0, 0);
        for (int y = 0; y < set.maxH; ++y)
            for (int x = 0; x < set.maxW; ++x) {
                const uint8_t* p = brush.image.at(x, y);
                if (p[0] != 0) {
                    const double e = p[0] / 255.0;
                    brush.pixels.push_back({x, y, 0, p[0], e, 1 - e, 1 - p[2] / 255.0});
                }
            }
        if (relief > 0.001)
            for (int y = 1; y < set.maxH; ++y)
                for (int x = 1; x < set.maxW; ++x) {
                    double q = params.brushRelief * 0.01 * brush.image.at(x, y)[1];
                    if (q >= 0.001)
                        brush.relief.push_back({x, y, 0, std::min(q, 255.0)});
                }
    }
    if (params.dropShadow) {
        const int blur = std::max(params.shadowBlur, 0);
        set.shadows.resize(set.brushes.size());
        for (size_t k = 0; k < set.brushes.size(); ++k) {
            PainterShadow& shadow = set.shadows[k];
            shadow.image = set.brushes[k].image;
            ApplyGammaTable(shadow.image, 0, true, true, false);
            PadImage(shadow.image, 2 * blur, 2 * blur, 2 * blur, 2 * blur, 0, 0, 0);
            for (int pass = 0; pass < blur; ++pass)
                BoxBlurImage(shadow.image, 2, 2);
            for (int y = 0; y < shadow.image.height; ++y)
                for (int x = 0; x < shadow.image.width; ++x) {
                    const int a = shadow.image.at(x, y)[2];
                    if (a != 0)
                        shadow.pixels.push_back({x, y, 1 - a * params.shadowDarkness * 0.000039215686274509805});
                }
        }
    }
    return set;
}

void BindToCanvas(BrushSet& set, int canvasWidth)
{
    for (PainterBrush& brush : set.brushes) {
        for (auto& p : brush.pixels)
            p.offset = int64_t(p.y) * canvasWidth + p.x;
        for (auto& p : brush.relief)
            p.offset = int64_t(p.y) * canvasWidth + p.x;
    }
}

int BestMatchCandidates(const BrushSet& set, const PaintImage& photo, int x, int y, int first, int step, int end,
                        double threshold, int* candidates, int* examined)
{
    const uint8_t* base = photo.at(x, y);
    double best = 0;
    int count = 0;
    if (examined)
        *examined = 0;
    step = std::max(step, 1);
    end = std::min(end, int(set.brushes.size()));
    for (int k = std::max(first, 0); k < end; k += step) {
        const PainterBrush& brush = set.brushes[size_t(k)];
        if (examined)
            ++*examined;
        // A brush without coverage leaves no mark and has no mean to compare.
        if (brush.weight <= 0)
            continue;
        if (ConsiderBrush(k, BrushMismatch(brush, base), threshold, best, count, candidates))
            break;
    }
    return count;
}

int FindBestMatch(const BrushSet& set, const PaintImage& photo, int x, int y, int first, int step, int end,
                  double threshold, int* examined)
{
    std::vector<int> candidates(std::max(set.brushes.size(), size_t(1)));
    const int count = BestMatchCandidates(set, photo, x, y, first, step, end, threshold, candidates.data(), examined);
    if (count == 0)
        return 0;
    return candidates[size_t(g_rand_int_range(PainterRandom(), 0, count))];
}

void LayStroke(PaintImage& canvas, const PainterParams& params, const PainterBrush& brush,
               const PainterShadow* shadow, int x, int y, const int colour[3])
{
    if (shadow) {
        const int g = params.shadowDepth - 2 * params.shadowBlur;
        const int sx = x + g, sy = y + g;
        for (const auto& p : shadow->pixels) {
            const int cx = sx + p.x, cy = sy + p.y;
            if (cx < 0 || cy < 0 || cx >= canvas.width || cy >= canvas.height)
                continue;
            uint8_t* c = canvas.at(cx, cy);
            c[0] = ToByte(c[0] * p.f);
            c[1] = ToByte(c[1] * p.f);
            c[2] = ToByte(c[2] * p.f);
        }
    }
    uint8_t* base = canvas.at(x, y);
    const double k = 1 - params.edgeDarkness;
    const double r0 = colour[0], r1 = colour[1], r2 = colour[2];
    if (params.colourBrushes) {
        for (const auto& p : brush.pixels) {
            uint8_t* c = base + p.offset * 3;
            c[0] = ToByte(c[0] * p.keepUnderneath);
            c[1] = ToByte(c[1] * p.keepUnderneath);
            c[2] = ToByte(c[2] * p.keepUnderneath);
        }
    }
    for (const auto& p : brush.pixels) {
        uint8_t* c = base + p.offset * 3;
        const double v0 = ToByte(c[0] * k * p.oneMinusE);
        const double v1 = ToByte(c[1] * k * p.oneMinusE);
        const double v2 = ToByte(c[2] * k * p.oneMinusE);
        c[0] = ToByte(v0 + p.e * r0);
        c[1] = ToByte(v1 + p.e * r1);
        c[2] = ToByte(v2 + p.e * r2);
    }
    for (const auto& p : brush.relief) {
        uint8_t* c = base + p.offset * 3;
        const double lift = p.q * 255;
        const double keep = 255 - p.q;
        c[0] = ToByte((lift + keep * c[0]) * 0.00392156862745098);
        c[1] = ToByte((lift + keep * c[1]) * 0.00392156862745098);
        c[2] = ToByte((lift + keep * c[2]) * 0.00392156862745098);
    }
}

// The range of field vectors that act at (u, w): all of them, or only the
// nearest one (the first of equally near ones) when nearestOnly is set.
template <typename Vector>
std::pair<int, int> VectorsInUse(const Vector* vectors, int count, bool nearestOnly, double u, double w)
{
    if (!nearestOnly || count <= 0)
        return {0, count};
    int nearest = 0;
    double bestDistance = Distance(u, w, vectors[0].x, vectors[0].y);
    for (int k = 1; k < count; ++k) {
        const double d = Distance(u, w, vectors[k].x, vectors[k].y);
        if (d < bestDistance) {
            bestDistance = d;
            nearest = k;
        }
    }
    return {nearest, nearest + 1};
}

double DirectionField(const PainterParams& params, double u, double w)
{
    const int count = std::clamp(params.orientVectorCount, 0, kPainterVectorSlots);
    const auto [first, last] = VectorsInUse(params.orientVectors, count, params.orientNearestOnly, u, w);
    double sumA = 0, sumB = 0, sumWeight = 0;
    for (int k = first; k < last; ++k) {
        const OrientVector& v = params.orientVectors[k];
        double a = 0, b = 0;
        if (v.kind == 0) {
            a = v.dx;
            b = v.dy;
        } else if (v.kind >= 1 && v.kind <= 3) {
            const double phi = std::atan2(v.dy, v.dx);
            const double psi = std::atan2(w - v.y, u - v.x);
            double alpha = v.kind == 1 ? phi - psi : (v.kind == 2 ? psi + phi : phi - 2 * psi);
            alpha += 1.5707963267948966;
            a = std::sin(alpha);
            b = std::cos(alpha);
        }
        const double weight =
            v.strength / std::max(std::pow(Distance(u, w, v.x, v.y), params.orientStrengthExponent), 0.0001);
        sumA += a * weight;
        sumB += b * weight;
        sumWeight += weight;
    }
    // Without any weight there is no direction to average; the field then
    // points along the offset alone.
    const double qa = sumWeight != 0 ? sumA / sumWeight : 0.0;
    const double qb = sumWeight != 0 ? sumB / sumWeight : 0.0;
    return 90 - (std::atan2(qb, qa) * 57.29577951308232 + params.orientAngleOffset);
}

double SizeField(const PainterParams& params, double u, double w)
{
    if (u < 0 || u > 1)
        g_message("HUH? x = %f\n", u);
    const int count = std::clamp(params.sizeVectorCount, 0, kPainterVectorSlots);
    const auto [first, last] = VectorsInUse(params.sizeVectors, count, params.sizeNearestOnly, u, w);
    double s = 0, t = 0;
    for (int k = first; k < last; ++k) {
        const SizeVector& v = params.sizeVectors[k];
        const double d = std::max(std::pow(Distance(u, w, v.x, v.y), params.sizeStrengthExponent), 0.0001);
        s += v.strength / d * v.size;
        t += 1 / d;
    }
    const double size = t != 0 ? s / t * 0.01 : 0.0;  // no vectors: size 0
    return std::isnan(size) ? 0.0 : std::clamp(size, 0.0, 1.0);
}

PaintImage MakeStrokeMap(const PainterParams& params, int type, bool forAngle, const PaintImage& work, int maxW,
                         int maxH)
{
    const int w = work.width, h = work.height;
    const int cx = w / 2, cy = h / 2;
    PaintImage map;
    switch (type) {
    case ByValue:
        map = PaintImage(w, h);
        for (size_t k = 0; k < work.pixels.size(); k += 3)
            map.pixels[k] = uint8_t((work.pixels[k] + work.pixels[k + 1] + work.pixels[k + 2]) / 3);
        break;
    case ByRadius: {
        map = PaintImage(w, h);
        const int radius = Truncate(std::sqrt(double(cx) * cx + double(cy) * cy));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double dx = cx - x, dy = cy - y;
                // Tiny images can put corners beyond 255; they are held at 255.
                map.at(x, y)[0] = radius > 0 ? ToByte(std::sqrt(dx * dx + dy * dy) * 255 / radius) : 0;
            }
        break;
    }
    case ByAngle:
        map = PaintImage(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                map.at(x, y)[0] = ToByte((std::atan2(double(cy - y), double(cx - x)) + 3.141592653589793) *
                                         40.58451048843331);
        break;
    case ByNoise:
        map = PaintImage(w / 6 + 5, h / 6 + 5);
        PlasmaImage(map, 15);
        BoxBlurImage(map, 2, 2);
        BoxBlurImage(map, 2, 2);
        ResizeImage(map, w, h);
        BoxBlurImage(map, 2, 2);
        break;
    case ByHue:
        map = PaintImage(w, h);
        for (size_t k = 0; k < work.pixels.size(); k += 3)
            map.pixels[k] = uint8_t(HueValue(&work.pixels[k]));
        break;
    case ByVectors: {
        const int wi = std::max(w - 2 * maxW, 1);
        const int hi = std::max(h - 2 * maxH, 1);
        map = PaintImage(wi, hi);
        for (int y = 0; y < hi; ++y) {
            // The fields are costly per pixel; a cancelled run stops here.
            if (CancelRequested())
                return PaintImage();
            for (int x = 0; x < wi; ++x) {
                const double u = double(x) / wi;
                const double v = double(y) / hi;
                int value;
                if (forAngle) {
                    double n = 90 - DirectionField(params, u, v);
                    if (std::isnan(n))
                        n = 0;
                    n = std::fmod(n, 360.0);
                    if (n < 0)
                        n += 360;
                    value = Truncate(n * 0.7083333333333334);
                } else {
                    value = Truncate((1 - SizeField(params, u, v)) * 255);
                }
                map.at(x, y)[0] = ClampByte(value);
            }
        }
        EdgePadImage(map, maxW, maxW, maxH, maxH);
        FitMap(map, w, h);
        break;
    }
    default:
        break;  // Random and BestMatch read no map
    }
    return map;
}

void CBrushPainter::SetImageSize(int width, int height, int bytesPerPixel)
{
    m_width = width;
    m_height = height;
    m_bytesPerPixel = bytesPerPixel;
}

void CBrushPainter::SetDataDirectory(const std::string& folder)
{
    if (!folder.empty() && folder.back() != '/') {
        SetPresetBrushFolder(folder + '/');
        return;
    }
    SetPresetBrushFolder(folder);
}

void CBrushPainter::SelectPreset(int n)
{
    m_preset = PainterPreset(n);
    m_fallbackFile = m_preset.brushFile;
}

void CBrushPainter::SelectParams(const PainterParams& params)
{
    m_preset = params;
    m_fallbackFile = params.brushFile;
}

void CBrushPainter::Paint(const uint8_t* src, uint8_t* dst)
{
    if (!src || !dst || m_width < 1 || m_height < 1)
        return;
    SetPainterRandom(g_seed ? g_rand_new_with_seed(*g_seed) : g_rand_new());
    const int bpp = m_bytesPerPixel == 4 ? 4 : 3;
    if (m_work.empty()) {
        m_work = PaintImage(m_width, m_height);
        ForEachRowBand(m_width, m_height, false, [&](int y0, int y1) {
            for (size_t k = size_t(y0) * size_t(m_width); k < size_t(y1) * size_t(m_width); ++k)
                std::memcpy(&m_work.pixels[k * 3], src + k * bpp, 3);
        });
        if (CancelRequested())
            return;
    }
    Painting();
    if (CancelRequested())
        return;  // the caller drops the destination of a cancelled run
    const int w = std::min(m_width, m_work.width);
    ForEachRowBand(w, std::min(m_height, m_work.height), false, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < w; ++x) {
                const size_t k = size_t(y) * size_t(m_width) + size_t(x);
                std::memcpy(dst + k * bpp, m_work.at(x, y), 3);
                if (bpp == 4)
                    dst[k * 4 + 3] = src[k * 4 + 3];
            }
    });
}

void CBrushPainter::Painting()
{
    if (g_painting)
        return;
    g_painting = true;

    m_params = m_preset;
    PainterParams& p = m_params;
    p.orientCount = std::max(p.orientCount, 1);
    p.sizeCount = std::max(p.sizeCount, 1);
    p.shadowBlur = std::max(p.shadowBlur, 0);
    GRand* random = PainterRandom();
    const int brushCount = p.sizeCount * p.orientCount;
    double density = p.strokeDensity;
    if (p.placementType == 1)
        density = p.strokeDensity * 0.3333333333333333;

    PaintImage loaded;
    BrushCacheGet(p.brushFile.c_str(), loaded, m_fallbackFile.c_str());
    const PaintImage baseBrush = MakeBaseBrush(p, std::move(loaded));
    BrushSet set = MakeBrushSet(p, baseBrush);
    const int maxW = set.maxW, maxH = set.maxH;

    if (CancelRequested()) {
        g_painting = false;
        return;
    }
    if (p.paintEdges)
        EdgePadImage(m_work, maxW, maxW, maxH, maxH);
    const int W = m_work.width, H = m_work.height;

    PaintImage canvas;
    PaintImage paper;
    auto loadPaper = [&] {
        ppm_load(p.paperFile.c_str(), paper, m_fallbackFile.c_str());
        ResizeImage(paper, Truncate(paper.width * p.paperScale * 0.01), Truncate(paper.height * p.paperScale * 0.01));
        if (p.paperInvert)
            ApplyGammaTable(paper, -1, true, true, true);
    };
    if (p.backgroundType == 0) {
        canvas = PaintImage(W, H);
        uint8_t c0 = 0, c1 = 0, c2 = 0;
        kMagicBrushColours.toBytes(&p.backgroundColour, &c0, &c1, &c2);
        FillImage(canvas, c0, c1, c2);
    } else if (p.backgroundType == 1) {
        canvas = m_work;
    } else {
        loadPaper();
        canvas = PaintImage(W, H);
        for (int y = 0; y < H && !CancelRequested(); ++y)
            for (int x = 0; x < W; ++x)
                std::memcpy(canvas.at(x, y), paper.at(x % paper.width, y % paper.height), 3);
    }
    if (CancelRequested()) {
        g_painting = false;
        return;
    }
    BindToCanvas(set, W);

    // Strokes read only channel 0 of a map, one byte at a random place: keep
    // just that channel so the lookups touch a third of the memory.
    // With a single angle or size every map value gives index 0, so a map
    // is only built when building it draws random numbers (the noise map).
    auto mapValues = [&](int type, bool forAngle) {
        const int count = forAngle ? p.orientCount : p.sizeCount;
        if (count == 1 && type != ByNoise)
            return PixelBlock();
        PaintImage map = MakeStrokeMap(p, type, forAngle, m_work, maxW, maxH);
        PixelBlock values;
        if (!map.empty()) {
            values.resize(map.pixels.size() / 3);
            for (size_t k = 0; k < values.size(); ++k)
                values[k] = map.pixels[k * 3];
        }
        return values;
    };
    const PixelBlock angleMap = mapValues(p.orientType, true);
    const PixelBlock sizeMap = mapValues(p.sizeType, false);
    if (CancelRequested()) {
        g_painting = false;
        return;
    }

    long long strokes;
    if (p.placementType == 1)
        strokes = (long long)Truncate(H * density / maxH) * Truncate(W * density / maxW);
    else
        strokes = Truncate(density * double((long long)H * W / ((long long)maxH * maxW)));
    const int N = int(std::clamp(strokes, 1LL, (long long)INT_MAX / 4));
    const int progressStep = std::max(N / 30, 10);

    struct GridPoint {
        int32_t x, y;
    };
    std::vector<GridPoint> grid;
    if (p.placementType == 1) {
        const int K = std::max(Truncate(W * density / maxW + 0.5), 1);
        grid.resize(size_t(N));
        for (int k = 0; k < N; ++k)
            grid[size_t(k)] = {Truncate((k % K) * maxW / density + maxW / 2),
                               Truncate((k / K) * maxH / density + maxH / 2)};
        // The shuffle swaps with random places all over a list far larger
        // than the caches: the draws (the same, in the same order) are made
        // a batch ahead so that the places can be fetched meanwhile.
        constexpr int kBatch = 32;
        int drawn[kBatch];
        for (int k0 = 0; k0 < N; k0 += kBatch) {
            if ((k0 & 0xFFFF) == 0 && CancelRequested())
                break;  // the strokes that follow see the cancel at once
            const int n = std::min(kBatch, N - k0);
            for (int j = 0; j < n; ++j) {
                drawn[j] = g_rand_int_range(random, 0, N);
                __builtin_prefetch(&grid[size_t(drawn[j])], 1);
            }
            for (int j = 0; j < n; ++j)
                std::swap(grid[size_t(k0 + j)], grid[size_t(drawn[j])]);
        }
    }

    // The stroke's index from its map; `drawn` is the draw already made for a
    // Random map.
    auto mapIndex = [&](int type, int count, const PixelBlock& map, int X, int Y, const char* message,
                        int drawn) {
        switch (type) {
        case Random: return drawn;
        case BestMatch: return 0;
        case ByValue: case ByRadius: case ByAngle: case ByNoise: case ByHue: case ByVectors:
            return count == 1 ? 0 : map[size_t(Y) * size_t(W) + size_t(X)] * count / 256;
        default:
            g_printerr("%s", message);
            return 0;
        }
    };

    // A stroke's random draws up to its brush choice: position (or grid entry),
    // pull toward the centre, then, for a stroke that is laid, a random angle
    // and size index. False for a stroke that is skipped.
    struct Draws {
        int X = 0, Y = 0;
        bool laid = false;
        int a = 0, s = 0;
    };
    auto drawPosition = [&](int c, Draws& d) {
        if (p.placementType == 1) {
            d.X = grid[size_t(c - 1)].x;
            d.Y = grid[size_t(c - 1)].y;
        } else {
            d.X = RandRange(random, maxW / 2, W - maxW / 2);
            d.Y = RandRange(random, maxH / 2, H - maxH / 2);
        }
        if (p.placeTowardCentre) {
            const double r = g_rand_double_range(random, 0, 0.75);
            d.X = Truncate(r * (W / 2) + (1 - r) * d.X);
            d.Y = Truncate(r * (H / 2) + (1 - r) * d.Y);
        }
        d.laid = !(d.X < maxW / 2 || d.Y < maxH / 2 || d.X + maxW / 2 >= W || d.Y + maxH / 2 >= H);
        if (d.laid) {
            if (p.orientType == Random)
                d.a = g_rand_int_range(random, 0, p.orientCount);
            if (p.sizeType == Random)
                d.s = g_rand_int_range(random, 0, p.sizeCount);
        }
    };

    // Strokes go in chunks. A chunk's random draws are made on this thread,
    // in the order of a stroke-by-stroke run; then StrokeBands works out the
    // chunk's colours and lays it on every core, while this thread makes the
    // next chunk's draws.
    //
    // A best-match search draws its tie-break between the draws of one stroke
    // and the next. When no stroke position depends on a draw (grid placement
    // without a pull toward the centre or a random index), a chunk's searches
    // run on every core and only the tie-breaks are drawn in order; otherwise
    // each search runs where its stroke is drawn.
    const bool bestMatch = p.orientType == BestMatch || p.sizeType == BestMatch;
    const bool searchAhead = bestMatch && p.placementType == 1 && !p.placeTowardCentre && p.orientType != Random &&
                             p.sizeType != Random;
    StrokeBands bands(p, set, m_work, canvas, m_threads > 0 ? m_threads : CoreCount());

    struct Chunk {
        int first = 0, end = 0;  // its strokes c: first >= c > end
        std::vector<PlannedStroke> strokes;
        std::vector<BrushSearch> searches;
        std::vector<std::array<double, 3>> noise;
        std::vector<int> reports;  // the strokes at which progress is due
    };
    auto drawNoise = [&](Chunk& chunk) {
        std::array<double, 3> n;
        for (double& v : n)
            v = g_rand_double_range(random, -p.colourNoise / 2, p.colourNoise / 2);
        chunk.noise.push_back(n);
    };
    std::vector<int> candidates(static_cast<size_t>(brushCount));
    // Draws up to `size` strokes from c on; false once a cancel is asked.
    auto plan = [&](Chunk& chunk, int& c, int size) {
        chunk.first = c;
        chunk.end = std::max(c - size, 0);
        chunk.strokes.clear();
        chunk.searches.clear();
        chunk.noise.clear();
        chunk.reports.clear();
        for (; c > chunk.end; --c) {
            // The cancel check costs one relaxed load; strokes are short.
            if (((N - c) & 63) == 0 && CancelRequested())
                return false;
            if (c % progressStep == 0)
                chunk.reports.push_back(c);
            Draws d;
            drawPosition(c, d);
            if (!d.laid)
                continue;
            const int a = mapIndex(p.orientType, p.orientCount, angleMap, d.X, d.Y,
                                   "Internal error; Unknown orientationtype\n", d.a);
            const int s =
                mapIndex(p.sizeType, p.sizeCount, sizeMap, d.X, d.Y, "Internal error; Unknown size_type\n", d.s);
            PlannedStroke stroke{d.X - maxW / 2, d.Y - maxH / 2, s * p.orientCount + a, 0};
            if (bestMatch) {
                BrushSearch search{0, 1, brushCount, 0};
                if (p.orientType == BestMatch && p.sizeType != BestMatch)
                    search = {s * p.orientCount, 1, s * p.orientCount + p.orientCount, s};
                else if (p.orientType != BestMatch)
                    search = {a, p.orientCount, brushCount, a};
                if (searchAhead) {
                    chunk.searches.push_back(search);
                } else {
                    const int n = bands.Candidates(stroke, search, candidates.data());
                    stroke.brush = n ? candidates[size_t(g_rand_int_range(random, 0, n))] : 0;
                }
            }
            if (!searchAhead) {
                stroke.brush = std::clamp(stroke.brush, 0, brushCount - 1);
                if (p.colourNoise > 0)
                    drawNoise(chunk);
            }
            chunk.strokes.push_back(stroke);
        }
        return true;
    };

    // Chunks grow from 16 K strokes to a million: a small first chunk sets
    // every core going soon, and the more strokes a band gets at once, the
    // more of them find its pixels still in the cache.
    Chunk chunks[2];
    int c = N;
    int chunkSize = 1 << 14;
    bool cancelled = !plan(chunks[0], c, chunkSize);
    std::vector<int> found;
    for (int k = 0; !cancelled; ++k) {
        Chunk& chunk = chunks[k & 1];
        if (searchAhead) {
            bands.Candidates(chunk.strokes, chunk.searches, found);
            if (CancelRequested())
                break;
            const int* list = found.data();
            for (PlannedStroke& s : chunk.strokes) {
                const int n = *list++;
                s.brush = std::clamp(n ? list[g_rand_int_range(random, 0, n)] : 0, 0, brushCount - 1);
                list += n;
                if (p.colourNoise > 0)
                    drawNoise(chunk);
            }
        }
        bands.Colour(chunk.strokes, chunk.noise);
        if (CancelRequested())
            break;

        // The progress due within the chunk is sent from this thread as the
        // share of bands laid passes the share of the chunk's strokes before
        // each report.
        size_t reported = 0;
        auto reportUpTo = [&](double share) {
            for (; reported < chunk.reports.size() && !CancelRequested(); ++reported) {
                const int at = chunk.reports[reported];
                if (double(chunk.first - at) / double(chunk.first - chunk.end) > share)
                    break;
                ReportProgress(int((1 - double(at) / N) * 100));
            }
        };
        reportUpTo(0);
        const bool more = c >= 1;
        chunkSize = std::min(chunkSize * 4, 1 << 20);
        bands.Lay(
            chunk.strokes, chunk.noise,
            [&] {
                if (more && !plan(chunks[(k + 1) & 1], c, chunkSize))
                    cancelled = true;
            },
            reportUpTo);
        if (cancelled || CancelRequested())
            break;
        reportUpTo(1);
        if (!more)
            break;
    }
    if (cancelled || CancelRequested()) {
        g_painting = false;
        return;
    }
    set = BrushSet();
    grid.clear();

    if (p.paintEdges)
        CropImage(canvas, maxW, maxH, W - maxW, H - maxH);
    m_work = std::move(canvas);

    const double s = p.paperRelief * 0.01;
    if (s > 0.001 && !CancelRequested()) {
        if (paper.empty())
            loadPaper();
        const int pw = paper.width, ph = paper.height;
        for (int y = 0; y < m_work.height; ++y)
            for (int x = 0; x < m_work.width; ++x) {
                const int px = x % pw, py = y % ph;
                const int here = paper.at(px, py)[0];
                const double e = p.paperOverlay ? s * (here - 128)
                                                : (here - paper.at((px + 1) % pw, (py + 1) % ph)[0]) * s * -0.5;
                const double k = e * 0.0078125;
                uint8_t* c = m_work.at(x, y);
                if (e > 0) {
                    const double t = std::clamp(k, 0.0, 1.0);
                    for (int ch = 0; ch < 3; ++ch)
                        c[ch] = ToByte(t * 255 + c[ch] * (1 - t));
                } else {
                    const double t = std::clamp(k + 1, 0.0, 1.0);
                    for (int ch = 0; ch < 3; ++ch)
                        c[ch] = ToByte(c[ch] * t);
                }
            }
    }
    g_painting = false;
}

} // namespace ombrik
