#include "artistic/stroke_bands.h"

#include "engine/pixel_buffer.h"
#include "engine/progress.h"
#include "engine/row_bands.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

namespace ombrik {

namespace {
// The route that tests compare with (SetPainterBands).
std::atomic<bool> g_bands{true};
} // namespace

double BrushMismatch(const PainterBrush& brush, const uint8_t* base)
{
    double s0 = 0, s1 = 0, s2 = 0;
    for (const auto& p : brush.pixels) {
        const uint8_t* c = base + p.offset * 3;
        s0 += p.e * c[0];
        s1 += p.e * c[1];
        s2 += p.e * c[2];
    }
    const double m0 = s0 * 255 / brush.weight;
    const double m1 = s1 * 255 / brush.weight;
    const double m2 = s2 * 255 / brush.weight;
    double d = 0;
    for (const auto& p : brush.pixels) {
        const uint8_t* c = base + p.offset * 3;
        d += p.e * std::abs(int(c[0] - m0));
        d += p.e * std::abs(int(c[1] - m1));
        d += p.e * std::abs(int(c[2] - m2));
    }
    return d / brush.weight;
}

bool ConsiderBrush(int brush, double mismatch, double threshold, double& best, int& count, int* candidates)
{
    const bool wasEmpty = count == 0;
    if (wasEmpty || mismatch < best)
        count = 0;
    if (wasEmpty || mismatch <= best) {
        best = mismatch;
        candidates[count++] = brush;
    }
    return mismatch < threshold;
}

namespace {

// A brush as the stroke loop lays it, row by row: every row with something to
// paint holds one span from its first to its last such pixel, and each pixel
// of a span what compositing needs (pixels in a gap have no coverage and no
// relief). A stroke clipped to a band of canvas rows lays just those rows.
struct SpanBrush {
    struct Span {
        int32_t y, x0, x1;
        uint32_t at;  // index of (x0, y) in the per-pixel arrays
    };
    std::vector<Span> spans;         // in row order
    std::vector<uint32_t> firstSpan; // [y]: first span of row y or below; box height + 1 entries
    std::vector<uint8_t> w;          // coverage
    std::vector<uint8_t> raised;     // 1 where the relief lifts the pixel
    std::vector<double> e, oneMinusE, keepUnderneath, lift, keep;
};

SpanBrush MakeSpanBrush(const PainterBrush& brush, int boxHeight)
{
    SpanBrush s;
    std::vector<int> x0(size_t(boxHeight), INT_MAX), x1(size_t(boxHeight), INT_MIN);
    auto widen = [&](int x, int y) {
        x0[size_t(y)] = std::min(x0[size_t(y)], x);
        x1[size_t(y)] = std::max(x1[size_t(y)], x + 1);
    };
    for (const auto& p : brush.pixels)
        widen(p.x, p.y);
    for (const auto& p : brush.relief)
        widen(p.x, p.y);
    s.firstSpan.resize(size_t(boxHeight) + 1);
    uint32_t at = 0;
    for (int y = 0; y < boxHeight; ++y) {
        s.firstSpan[size_t(y)] = uint32_t(s.spans.size());
        if (x0[size_t(y)] < x1[size_t(y)]) {
            s.spans.push_back({y, x0[size_t(y)], x1[size_t(y)], at});
            at += uint32_t(x1[size_t(y)] - x0[size_t(y)]);
        }
    }
    s.firstSpan[size_t(boxHeight)] = uint32_t(s.spans.size());
    // Three entries past the last span let four pixels be loaded at once.
    const size_t size = at + 3;
    s.w.assign(size, 0);
    s.raised.assign(size, 0);
    s.e.assign(size, 0.0);
    s.oneMinusE.assign(size, 1.0);
    s.keepUnderneath.assign(size, 1.0);
    s.lift.assign(size, 0.0);
    s.keep.assign(size, 255.0);
    auto index = [&](int x, int y) {
        const SpanBrush::Span& span = s.spans[s.firstSpan[size_t(y)]];
        return span.at + uint32_t(x - span.x0);
    };
    for (const auto& p : brush.pixels) {
        const uint32_t j = index(p.x, p.y);
        s.w[j] = p.w;
        s.e[j] = p.e;
        s.oneMinusE[j] = p.oneMinusE;
        s.keepUnderneath[j] = p.keepUnderneath;
    }
    for (const auto& p : brush.relief) {
        const uint32_t j = index(p.x, p.y);
        s.raised[j] = 1;
        s.lift[j] = p.q * 255;
        s.keep[j] = 255 - p.q;
    }
    return s;
}

// [y]: the first pixel of the shadow's row y or below (its pixels are in row
// order); image height + 1 entries.
std::vector<uint32_t> ShadowRows(const PainterShadow& shadow)
{
    std::vector<uint32_t> rows(size_t(shadow.image.height) + 1);
    size_t k = 0;
    for (int y = 0; y <= shadow.image.height; ++y) {
        while (k < shadow.pixels.size() && shadow.pixels[k].y < y)
            ++k;
        rows[size_t(y)] = uint32_t(k);
    }
    return rows;
}

// The pixels of one span, composited as LayStroke does: each pixel on its
// own, so doing all steps for one pixel before the next changes nothing.
void LaySpanScalar(uint8_t* c, const SpanBrush& b, uint32_t at, int n, double k, const double r[3],
                   bool colourBrushes)
{
    for (uint32_t j = at; j < at + uint32_t(n); ++j, c += 3) {
        if (b.w[j]) {
            if (colourBrushes)
                for (int ch = 0; ch < 3; ++ch)
                    c[ch] = ToByte(c[ch] * b.keepUnderneath[j]);
            const double v0 = ToByte(c[0] * k * b.oneMinusE[j]);
            const double v1 = ToByte(c[1] * k * b.oneMinusE[j]);
            const double v2 = ToByte(c[2] * k * b.oneMinusE[j]);
            c[0] = ToByte(v0 + b.e[j] * r[0]);
            c[1] = ToByte(v1 + b.e[j] * r[1]);
            c[2] = ToByte(v2 + b.e[j] * r[2]);
        }
        if (b.raised[j])
            for (int ch = 0; ch < 3; ++ch)
                c[ch] = ToByte((b.lift[j] + b.keep[j] * c[ch]) * 0.00392156862745098);
    }
}


// LayStroke limited to canvas rows y0 <= y < y1.
void LayStrokeRows(PaintImage& canvas, const PainterParams& params, const SpanBrush& brush, int boxHeight,
                   const PainterShadow* shadow, const uint32_t* shadowRows, int x, int y, const int colour[3], int y0,
                   int y1)
{
    if (shadow) {
        const int g = params.shadowDepth - 2 * params.shadowBlur;
        const int sx = x + g, sy = y + g;
        const int h = shadow->image.height;
        for (uint32_t k = shadowRows[std::clamp(y0 - sy, 0, h)]; k < shadowRows[std::clamp(y1 - sy, 0, h)]; ++k) {
            const auto& p = shadow->pixels[k];
            const int cx = sx + p.x, cy = sy + p.y;
            if (cx < 0 || cy < 0 || cx >= canvas.width || cy >= canvas.height)
                continue;
            uint8_t* c = canvas.at(cx, cy);
            c[0] = ToByte(c[0] * p.f);
            c[1] = ToByte(c[1] * p.f);
            c[2] = ToByte(c[2] * p.f);
        }
    }
    const double k = 1 - params.edgeDarkness;
    const double r[3] = {double(colour[0]), double(colour[1]), double(colour[2])};
    const uint32_t first = brush.firstSpan[size_t(std::clamp(y0 - y, 0, boxHeight))];
    const uint32_t last = brush.firstSpan[size_t(std::clamp(y1 - y, 0, boxHeight))];
    for (uint32_t s = first; s < last; ++s) {
        const SpanBrush::Span& span = brush.spans[s];
        LaySpanScalar(canvas.at(x + span.x0, y + span.y), brush, span.at, span.x1 - span.x0, k, r,
                      params.colourBrushes);
    }
}

// Adds truncate(value × coverage / 255) of each channel of n pixels to sum.
// Truncating after each pixel, as a running sum in double precision would,
// gives the same as integer division: the fraction of a quotient by 255 never
// comes within 1/255 of the next whole number.
void AddCoveredSums(const uint8_t* q, const uint8_t* w, int n, int sum[3])
{
    for (int i = 0; i < n; ++i, q += 3) {
        sum[0] += q[0] * w[i] / 255;
        sum[1] += q[1] * w[i] / 255;
        sum[2] += q[2] * w[i] / 255;
    }
}

// The colour a stroke with top-left (left, top) paints: the coverage-weighted
// mean of the photo under it, its centre pixel or black, plus its noise.
void StrokeColour(const PainterParams& params, const PainterBrush& brush, const SpanBrush& spans, int maxW, int maxH,
                  const PaintImage& work, int left, int top, const double noise[3], int colour[3])
{
    colour[0] = colour[1] = colour[2] = 0;
    if (params.colourType == 0) {
        if (brush.weight > 0) {
            int sum[3] = {0, 0, 0};
            for (const SpanBrush::Span& span : spans.spans)
                AddCoveredSums(work.at(left + span.x0, top + span.y), &spans.w[span.at], span.x1 - span.x0, sum);
            for (int k = 0; k < 3; ++k)
                colour[k] = Truncate(sum[k] * 255.0 / brush.weight);
        }
    } else if (params.colourType == 1) {
        const uint8_t* q = work.at(left + maxW / 2, top + maxH / 2);
        colour[0] = q[0];
        colour[1] = q[1];
        colour[2] = q[2];
    }
    if (params.colourNoise > 0)
        for (int k = 0; k < 3; ++k)
            colour[k] = ClampByte(Truncate(colour[k] + noise[k]));
}

// A buffer that keeps its memory from one use to the next and is not
// cleared: every entry is written before it is read.
template <typename T>
class Scratch {
public:
    T* get(size_t n)
    {
        if (n > m_size) {
            m_data.reset(new T[n]);
            m_size = n;
        }
        return m_data.get();
    }
    T& operator[](size_t k) { return m_data[k]; }

private:
    std::unique_ptr<T[]> m_data;
    size_t m_size = 0;
};

// Sorts the entries that items 0 <= i < count give into bands on every core,
// keeping the items' order within each band: each(i, put) calls
// put(band, entry) for every entry of item i. Band b's entries end up at
// start[b] … start[b + 1] of out.
template <typename Entry, typename Each>
void SortIntoBands(int count, int bandCount, int threads, const Each& each, std::vector<uint32_t>& start,
                   Scratch<Entry>& out)
{
    constexpr int kSliceItems = 16384;
    const int slices = std::clamp(count / kSliceItems, 1, 4 * threads);
    std::vector<uint32_t> cursor(size_t(slices) * size_t(bandCount), 0);
    auto items = [&](int slice) {
        return std::pair{int(int64_t(count) * slice / slices), int(int64_t(count) * (slice + 1) / slices)};
    };
    ForEachItem(slices, threads, [&](int slice) {
        uint32_t* n = &cursor[size_t(slice) * size_t(bandCount)];
        const auto [i0, i1] = items(slice);
        for (int i = i0; i < i1; ++i)
            each(i, [&](int band, const Entry&) { ++n[band]; });
    });
    start.assign(size_t(bandCount) + 1, 0);
    uint32_t total = 0;
    for (int b = 0; b < bandCount; ++b) {
        start[size_t(b)] = total;
        for (int slice = 0; slice < slices; ++slice) {
            uint32_t& n = cursor[size_t(slice) * size_t(bandCount) + size_t(b)];
            const uint32_t entries = n;
            n = total;
            total += entries;
        }
    }
    start[size_t(bandCount)] = total;
    Entry* entries = out.get(total);
    ForEachItem(slices, threads, [&](int slice) {
        uint32_t* at = &cursor[size_t(slice) * size_t(bandCount)];
        const auto [i0, i1] = items(slice);
        for (int i = i0; i < i1; ++i)
            each(i, [&](int band, const Entry& entry) { entries[at[band]++] = entry; });
    });
}

} // namespace

struct StrokeBands::Impl {
    const PainterParams& p;
    const BrushSet& set;
    const PaintImage& photo;
    PaintImage& canvas;
    int threads;
    int W, H, maxW, maxH;
    int Wi, Hi;  // the inner canvas that a tileable painting repeats
    std::vector<SpanBrush> spanBrushes;
    std::vector<std::vector<uint32_t>> shadowRows;
    int shadowOffset, shadowHeight;
    // Bands of about 256 KB of canvas, so that a band's canvas and photo rows
    // stay in a core's cache, and a few per thread.
    int bandRows, bandCount;

    // A stroke (or a tiled copy) laid within one band.
    struct Lay {
        int32_t x, y, brush;
        uint32_t colour;
    };
    std::vector<uint32_t> homeStart, bandStart;
    Scratch<PlannedStroke> homeStrokes;  // colour holds the stroke's index
    Scratch<Lay> bandLays;

    Impl(const PainterParams& params, const BrushSet& brushes, const PaintImage& work, PaintImage& target, int count)
        : p(params), set(brushes), photo(work), canvas(target), threads(std::max(count, 1)), W(target.width),
          H(target.height), maxW(brushes.maxW), maxH(brushes.maxH), Wi(W - 2 * maxW), Hi(H - 2 * maxH)
    {
        spanBrushes.reserve(set.brushes.size());
        for (const PainterBrush& brush : set.brushes)
            spanBrushes.push_back(MakeSpanBrush(brush, maxH));
        for (const PainterShadow& shadow : set.shadows)
            shadowRows.push_back(ShadowRows(shadow));
        shadowOffset = p.shadowDepth - 2 * p.shadowBlur;
        shadowHeight = set.shadows.empty() ? 0 : set.shadows[0].image.height;
        bandRows = std::clamp(int(262144 / (size_t(W) * 3)), 8, std::max(8, H / (4 * threads)));
        bandCount = (H + bandRows - 1) / bandRows;
    }

    // Calls fn(x, y) for a stroke with top-left (left, top) and then for each
    // copy that a tileable painting lays across the opposite edges.
    template <typename Fn>
    void ForEachCopy(int left, int top, const Fn& fn) const
    {
        fn(left, top);
        if (!(p.tileable && p.paintEdges))
            return;
        int h;
        if (left < maxW) {
            fn(left + Wi, top);
            h = -1;
        } else if (left > Wi) {
            fn(left - Wi, top);
            h = 1;
        } else {
            h = 0;
        }
        int v;
        if (top < maxH) {
            fn(left, top + Hi);
            v = 1;
        } else if (top > Hi) {
            fn(left, top - Hi);
            v = -1;
        } else {
            return;
        }
        if (h == -1)
            fn(left + Wi, top + v * Hi);
        else if (h == 1)
            fn(left - Wi, top + v * Hi);
    }

    // The first and last band that a stroke laid at row y (with its shadow) reaches.
    std::pair<int, int> Bands(int y) const
    {
        int top = y, bottom = y + maxH;
        if (p.dropShadow) {
            top = std::min(top, y + shadowOffset);
            bottom = std::max(bottom, y + shadowOffset + shadowHeight);
        }
        return {std::max(top, 0) / bandRows, (std::min(bottom, H) - 1) / bandRows};
    }

    // Asks for the rows y0 <= y < y1 of a brush box at column x of an image.
    void Prefetch(const PaintImage& image, int x, int y0, int y1, bool write) const
    {
        const size_t rowBytes = size_t(maxW) * 3;
        for (int y = y0; y < y1; ++y) {
            const uint8_t* row = image.at(x, y);
            for (size_t o = 0; o < rowBytes; o += 64)
                write ? __builtin_prefetch(row + o, 1) : __builtin_prefetch(row + o, 0);
            write ? __builtin_prefetch(row + rowBytes - 1, 1) : __builtin_prefetch(row + rowBytes - 1, 0);
        }
    }
};

StrokeBands::StrokeBands(const PainterParams& params, const BrushSet& set, const PaintImage& photo, PaintImage& canvas,
                         int threads)
    : m(std::make_unique<Impl>(params, set, photo, canvas, threads))
{
}

StrokeBands::~StrokeBands() = default;

int StrokeBands::Candidates(const PlannedStroke& s, const BrushSearch& r, int* out) const
{
    return BestMatchCandidates(m->set, m->photo, s.left, s.top, r.first, r.step, r.end, m->p.matchThreshold, out);
}

void StrokeBands::Candidates(const std::vector<PlannedStroke>& strokes, const std::vector<BrushSearch>& searches,
                             std::vector<int>& found) const
{
    const int count = int(strokes.size());
    const size_t brushCount = std::max(m->set.brushes.size(), size_t(1));
    constexpr int kGroup = 256;
    const int groups = (count + kGroup - 1) / kGroup;
    std::vector<std::vector<int>> lists(static_cast<size_t>(groups));
    ForEachItem(groups, m->threads, [&](int group) {
        if (CancelRequested())
            return;
        std::vector<int>& list = lists[size_t(group)];
        std::vector<int> brushes(brushCount);
        constexpr int kAhead = 8;
        const int end = std::min(count, (group + 1) * kGroup);
        for (int i = group * kGroup; i < end; ++i) {
            if (i + kAhead < end) {
                const PlannedStroke& next = strokes[size_t(i + kAhead)];
                m->Prefetch(m->photo, next.left, next.top, next.top + m->maxH, false);
            }
            const int n = Candidates(strokes[size_t(i)], searches[size_t(i)], brushes.data());
            list.push_back(n);
            list.insert(list.end(), brushes.begin(), brushes.begin() + n);
        }
    });
    found.clear();
    for (const std::vector<int>& list : lists)
        found.insert(found.end(), list.begin(), list.end());
}

void StrokeBands::Colour(std::vector<PlannedStroke>& strokes, const std::vector<std::array<double, 3>>& noise)
{
    // Band by band (the band of a stroke's top row), so that each thread
    // reads one part of the photo at a time.
    Impl& b = *m;
    SortIntoBands(
        int(strokes.size()), b.bandCount, b.threads,
        [&](int i, const auto& put) {
            const PlannedStroke& s = strokes[size_t(i)];
            put(s.top / b.bandRows, PlannedStroke{s.left, s.top, s.brush, uint32_t(i)});
        },
        b.homeStart, b.homeStrokes);
    const std::array<double, 3> none = {0, 0, 0};
    ForEachItem(b.bandCount, b.threads, [&](int band) {
        constexpr uint32_t kAhead = 8;
        const uint32_t first = b.homeStart[size_t(band)], last = b.homeStart[size_t(band) + 1];
        for (uint32_t k = first; k < last; ++k) {
            if (((k - first) & 63) == 0 && CancelRequested())
                return;
            if (k + kAhead < last) {
                const PlannedStroke& next = b.homeStrokes[k + kAhead];
                b.Prefetch(b.photo, next.left, next.top, next.top + b.maxH, false);
            }
            const PlannedStroke& s = b.homeStrokes[k];
            const size_t brush = size_t(s.brush), i = s.colour;
            int colour[3];
            StrokeColour(b.p, b.set.brushes[brush], b.spanBrushes[brush], b.maxW, b.maxH, b.photo, s.left, s.top,
                         noise.empty() ? none.data() : noise[i].data(), colour);
            strokes[i].colour = uint32_t(colour[0]) | uint32_t(colour[1]) << 8 | uint32_t(colour[2]) << 16;
        }
    });
}

void StrokeBands::Lay(const std::vector<PlannedStroke>& strokes, const std::function<void()>& alongside,
                      const std::function<void(double)>& progress)
{
    Impl& b = *m;
    if (!g_bands.load(std::memory_order_relaxed)) {
        if (alongside)
            alongside();
        for (const PlannedStroke& s : strokes) {
            const int colour[3] = {int(s.colour & 0xFF), int((s.colour >> 8) & 0xFF), int((s.colour >> 16) & 0xFF)};
            const size_t brush = size_t(s.brush);
            const PainterShadow* shadow = b.p.dropShadow ? &b.set.shadows[brush] : nullptr;
            b.ForEachCopy(s.left, s.top,
                          [&](int x, int y) { LayStroke(b.canvas, b.p, b.set.brushes[brush], shadow, x, y, colour); });
        }
        return;
    }
    SortIntoBands(
        int(strokes.size()), b.bandCount, b.threads,
        [&](int i, const auto& put) {
            const PlannedStroke& s = strokes[size_t(i)];
            b.ForEachCopy(s.left, s.top, [&](int x, int y) {
                const auto [b0, b1] = b.Bands(y);
                for (int band = b0; band <= b1; ++band)
                    put(band, Impl::Lay{x, y, s.brush, s.colour});
            });
        },
        b.bandStart, b.bandLays);
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<int> bandsDone{0};
    ForEachItem(
        b.bandCount, b.threads,
        [&](int band) {
            const int y0 = band * b.bandRows, y1 = std::min(b.H, y0 + b.bandRows);
            const uint32_t first = b.bandStart[size_t(band)], last = b.bandStart[size_t(band) + 1];
            constexpr uint32_t kAhead = 6;
            auto prefetch = [&](const Impl::Lay& lay) {
                b.Prefetch(b.canvas, lay.x, std::max(lay.y, y0), std::min(lay.y + b.maxH, y1), true);
            };
            for (uint32_t k = first; k < std::min(last, first + kAhead); ++k)
                prefetch(b.bandLays[k]);
            for (uint32_t k = first; k < last; ++k) {
                if (((k - first) & 63) == 0 && CancelRequested())
                    return;
                if (k + kAhead < last)
                    prefetch(b.bandLays[k + kAhead]);
                const Impl::Lay& lay = b.bandLays[k];
                const int colour[3] = {int(lay.colour & 0xFF), int((lay.colour >> 8) & 0xFF),
                                       int((lay.colour >> 16) & 0xFF)};
                const size_t brush = size_t(lay.brush);
                const PainterShadow* shadow = b.p.dropShadow ? &b.set.shadows[brush] : nullptr;
                LayStrokeRows(b.canvas, b.p, b.spanBrushes[brush], b.maxH, shadow,
                              shadow ? b.shadowRows[brush].data() : nullptr, lay.x, lay.y, colour, y0, y1);
            }
            const int done = bandsDone.fetch_add(1, std::memory_order_relaxed) + 1;
            if (progress && std::this_thread::get_id() == caller)
                progress(double(done) / b.bandCount);
        },
        alongside);
}

void SetPainterBands(bool allowed)
{
    g_bands.store(allowed, std::memory_order_relaxed);
}


} // namespace ombrik
