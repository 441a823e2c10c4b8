#include "artistic/stroke_bands.h"

#include "artistic/stroke_kernels.h"

#include "engine/pixel_buffer.h"
#include "engine/progress.h"
#include "engine/row_bands.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>


namespace ombrik {

using namespace stroke_kernels;

namespace {

// The route that tests compare with (SetPainterBands).
std::atomic<bool> g_bands{true};

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
// start[b] … start[b + 1] of out. Once a cancel is asked it stops early and
// leaves out unfinished.
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
        for (int i = i0; i < i1; ++i) {
            if ((i & 4095) == 0 && CancelRequested())
                return;
            each(i, [&](int band, const Entry&) { ++n[band]; });
        }
    });
    start.assign(size_t(bandCount) + 1, 0);
    if (CancelRequested())
        return;  // the counts may be short: every band stays empty
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
        for (int i = i0; i < i1; ++i) {
            if ((i & 4095) == 0 && CancelRequested())
                return;
            each(i, [&](int band, const Entry& entry) { entries[at[band]++] = entry; });
        }
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
    // The search sequences made ready for the vector search.
    std::vector<MatchSequence> matchSequences;

    // Buffers kept from one chunk to the next, each sorted into bands:
    // searches and colours by the band of a stroke's top row, lays by every
    // band they reach. start[b] … start[b + 1] is band b's part.
    struct Search {
        PlannedStroke stroke;
        BrushSearch search;
        uint32_t index;  // in the chunk
    };
    std::vector<uint32_t> searchStart;
    Scratch<Search> searches;
    Scratch<int> candidateCount, firstCandidate, spillAt;  // per stroke of the chunk
    std::vector<std::vector<int>> spill;                   // per band: candidates after the first
    std::vector<uint32_t> homeStart;
    Scratch<PlannedStroke> homeStrokes;  // colour holds the stroke's index
    // A stroke (or a tiled copy) laid within one band.
    struct Lay {
        int32_t x, y, brush;
        uint32_t colour;
    };
    std::vector<uint32_t> bandStart;
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
#if OMBRIK_PAINTER_AVX2
        const int brushCount = int(set.brushes.size());
        if ((p.orientType == BestMatch || p.sizeType == BestMatch) && HasAvx2()) {
            if (p.orientType == BestMatch && p.sizeType == BestMatch)
                matchSequences.push_back(MakeMatchSequence(set, 0, 1, brushCount, W));
            else if (p.orientType == BestMatch)
                for (int s = 0; s < p.sizeCount; ++s)
                    matchSequences.push_back(
                        MakeMatchSequence(set, s * p.orientCount, 1, s * p.orientCount + p.orientCount, W));
            else
                for (int a = 0; a < p.orientCount; ++a)
                    matchSequences.push_back(MakeMatchSequence(set, a, p.orientCount, brushCount, W));
        }
#endif
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

    // The searches of four strokes at once when they search the same brushes
    // and their first brush has coverage; false (and nothing done) otherwise.
    bool CandidatesFour(const PlannedStroke* s, const BrushSearch* r, std::vector<double>& values, int* out[4],
                        int count[4]) const
    {
#if OMBRIK_PAINTER_AVX2
        if (matchSequences.empty())
            return false;
        const MatchSequence& match = matchSequences[size_t(r[0].sequence)];
        if (match.head < 0 || set.brushes[size_t(match.head)].weight <= 0)
            return false;
        const PainterBrush& head = set.brushes[size_t(match.head)];
        const uint8_t* base[4];
        const uint8_t* end = photo.pixels.data() + photo.pixels.size();
        for (int l = 0; l < 4; ++l) {
            base[l] = photo.at(s[l].left, s[l].top);
            if (r[l].sequence != r[0].sequence || base[l] + head.pixels.back().offset * 3 + 4 > end)
                return false;
        }
        values.resize(head.pixels.size() * 12);
        double mismatch[4];
        BrushMismatchFour(head, base, values.data(), mismatch);
        for (int l = 0; l < 4; ++l) {
            double best = 0;
            count[l] = 0;
            if (!ConsiderBrush(match.head, mismatch[l], p.matchThreshold, best, count[l], out[l]))
                count[l] = RestCandidates(match, base[l], p.matchThreshold, best, count[l], out[l]);
        }
        return true;
#else
        (void)s, (void)r, (void)values, (void)out, (void)count;
        return false;
#endif
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
#if OMBRIK_PAINTER_AVX2
    if (!m->matchSequences.empty()) {
        const MatchSequence& match = m->matchSequences[size_t(r.sequence)];
        const uint8_t* base = m->photo.at(s.left, s.top);
        const double threshold = m->p.matchThreshold;
        double best = 0;
        int count = 0;
        if (match.head >= 0 && m->set.brushes[size_t(match.head)].weight > 0 &&
            ConsiderBrush(match.head, BrushMismatch(m->set.brushes[size_t(match.head)], base), threshold, best, count,
                          out))
            return count;
        return RestCandidates(match, base, threshold, best, count, out);
    }
#endif
    return BestMatchCandidates(m->set, m->photo, s.left, s.top, r.first, r.step, r.end, m->p.matchThreshold, out);
}

void StrokeBands::Candidates(const std::vector<PlannedStroke>& strokes, const std::vector<BrushSearch>& searches,
                             std::vector<int>& found)
{
    // Band by band (the band of a stroke's top row), so that each thread
    // reads one part of the photo at a time; the lists are then put back in
    // the strokes' order. A stroke's first brush is kept with it, the rest of
    // a longer list in its band's spill.
    Impl& b = *m;
    const int count = int(strokes.size());
    found.clear();
    if (!g_bands.load(std::memory_order_relaxed)) {
        std::vector<int> brushes(std::max(b.set.brushes.size(), size_t(1)));
        for (int i = 0; i < count && !CancelRequested(); ++i) {
            const int n = Candidates(strokes[size_t(i)], searches[size_t(i)], brushes.data());
            found.push_back(n);
            found.insert(found.end(), brushes.begin(), brushes.begin() + n);
        }
        return;
    }
    std::vector<uint32_t>& start = b.searchStart;
    Scratch<Impl::Search>& entries = b.searches;
    SortIntoBands(
        count, b.bandCount, b.threads,
        [&](int i, const auto& put) {
            put(strokes[size_t(i)].top / b.bandRows,
                Impl::Search{strokes[size_t(i)], searches[size_t(i)], uint32_t(i)});
        },
        start, entries);
    int* firstCandidate = b.firstCandidate.get(size_t(count));
    int* candidateCount = b.candidateCount.get(size_t(count));
    int* spillAt = b.spillAt.get(size_t(count));
    std::vector<std::vector<int>>& spill = b.spill;
    spill.resize(size_t(b.bandCount));
    for (std::vector<int>& list : spill)
        list.clear();
    const size_t brushes = std::max(b.set.brushes.size(), size_t(1));
    ForEachItem(b.bandCount, b.threads, [&](int band) {
        std::vector<int> found(4 * brushes);
        int* out[4] = {&found[0], &found[brushes], &found[2 * brushes], &found[3 * brushes]};
        std::vector<double> values;
        constexpr uint32_t kAhead = 8;
        const uint32_t first = start[size_t(band)], last = start[size_t(band) + 1];
        for (uint32_t k = first; k < last;) {
            if (((k - first) & 63) < 4 && CancelRequested())
                return;
            for (uint32_t a = k + kAhead; a < std::min(last, k + kAhead + 4); ++a)
                b.Prefetch(b.photo, entries[a].stroke.left, entries[a].stroke.top, entries[a].stroke.top + b.maxH,
                           false);
            PlannedStroke s[4];
            BrushSearch r[4];
            const uint32_t batch = std::min(4u, last - k);
            for (uint32_t l = 0; l < batch; ++l)
                s[l] = entries[k + l].stroke, r[l] = entries[k + l].search;
            int n[4];
            const uint32_t done = batch == 4 && b.CandidatesFour(s, r, values, out, n) ? 4 : 1;
            if (done == 1)
                n[0] = Candidates(s[0], r[0], out[0]);
            for (uint32_t l = 0; l < done; ++l) {
                const size_t i = entries[k + l].index;
                candidateCount[i] = n[l];
                firstCandidate[i] = n[l] ? out[l][0] : 0;
                if (n[l] > 1) {
                    spillAt[i] = int(spill[size_t(band)].size());
                    spill[size_t(band)].insert(spill[size_t(band)].end(), out[l] + 1, out[l] + n[l]);
                }
            }
            k += done;
        }
    });
    if (CancelRequested())
        return;
    for (size_t i = 0; i < size_t(count); ++i) {
        const int n = candidateCount[i];
        found.push_back(n);
        if (n == 0)
            continue;
        found.push_back(firstCandidate[i]);
        if (n > 1) {
            const std::vector<int>& rest = spill[size_t(strokes[i].top / b.bandRows)];
            found.insert(found.end(), rest.begin() + spillAt[i], rest.begin() + spillAt[i] + n - 1);
        }
    }
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

void StrokeBands::Lay(const std::vector<PlannedStroke>& strokes, const std::vector<std::array<double, 3>>& noise,
                      const std::function<void()>& alongside, const std::function<void(double)>& progress)
{
    Impl& b = *m;
    if (!g_bands.load(std::memory_order_relaxed)) {
        if (alongside)
            alongside();
        const std::array<double, 3> none = {0, 0, 0};
        for (size_t i = 0; i < strokes.size(); ++i) {
            const PlannedStroke& s = strokes[i];
            const size_t brush = size_t(s.brush);
            int colour[3];
            PlainStrokeColour(b.p, b.set.brushes[brush], b.maxW, b.maxH, b.photo, s.left, s.top,
                              noise.empty() ? none.data() : noise[i].data(), colour);
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
