// The painter's per-stroke work: compositing a stroke's rows, the colour
// sums under a brush and the best-match searches, each in plain code and, where
// the processor has AVX2, in vector code doing the same operations in the
// same order.
#include "artistic/stroke_kernels.h"

#include "engine/pixel_buffer.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace ombrik {

namespace {
// The route that tests compare with (SetPainterVectorCode).
std::atomic<bool> g_vectorCode{true};
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

namespace stroke_kernels {

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

#if OMBRIK_PAINTER_AVX2
#define OMBRIK_AVX2 __attribute__((target("avx2")))

OMBRIK_AVX2 inline __m256d ToByteAvx2(__m256d v)
{
    const __m256d clamped = _mm256_min_pd(_mm256_max_pd(v, _mm256_setzero_pd()), _mm256_set1_pd(255.0));
    return _mm256_cvtepi32_pd(_mm256_cvttpd_epi32(clamped));
}

// Spreads per pixel values of four pixels to their byte lanes in three
// vectors: pixels 0 0 0 1 | 1 1 2 2 | 2 3 3 3.
OMBRIK_AVX2 inline void SpreadToBytes(__m256d f, __m256d out[3])
{
    out[0] = _mm256_permute4x64_pd(f, 0x40);
    out[1] = _mm256_permute4x64_pd(f, 0xA5);
    out[2] = _mm256_permute4x64_pd(f, 0xFE);
}

// Lane masks from four per pixel flags (one byte each): all ones where set.
OMBRIK_AVX2 inline void FlagsToBytes(uint32_t flags, __m256d out[3])
{
    const __m256i set =
        _mm256_cmpgt_epi64(_mm256_cvtepu8_epi64(_mm_cvtsi32_si128(int(flags))), _mm256_setzero_si256());
    SpreadToBytes(_mm256_castsi256_pd(set), out);
}

// Up to twelve bytes (three per pixel) into a vector and back, without a
// round trip through memory that would stall the load.
OMBRIK_AVX2 inline __m128i LoadPixels(const uint8_t* c, int count)
{
    uint16_t two;
    uint32_t four;
    switch (count) {
    case 4:
        std::memcpy(&four, c + 8, 4);
        return _mm_insert_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(c)), int(four), 2);
    case 3:
        return _mm_insert_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(c)), c[8], 8);
    case 2:
        std::memcpy(&four, c, 4);
        std::memcpy(&two, c + 4, 2);
        return _mm_insert_epi16(_mm_cvtsi32_si128(int(four)), two, 2);
    default:
        std::memcpy(&two, c, 2);
        return _mm_cvtsi32_si128(int(two | uint32_t(c[2]) << 16));
    }
}

OMBRIK_AVX2 inline void StorePixels(uint8_t* c, __m128i v, int count)
{
    const uint32_t low = uint32_t(_mm_cvtsi128_si32(v));
    switch (count) {
    case 4: {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(c), v);
        const uint32_t high = uint32_t(_mm_extract_epi32(v, 2));
        std::memcpy(c + 8, &high, 4);
        break;
    }
    case 3:
        _mm_storel_epi64(reinterpret_cast<__m128i*>(c), v);
        c[8] = uint8_t(_mm_extract_epi8(v, 8));
        break;
    case 2: {
        std::memcpy(c, &low, 4);
        const uint16_t two = uint16_t(_mm_extract_epi16(v, 2));
        std::memcpy(c + 4, &two, 2);
        break;
    }
    default:
        std::memcpy(c, &low, 2);
        c[2] = uint8_t(low >> 16);
        break;
    }
}

// LaySpanScalar four pixels (twelve bytes) at a time for every span of a
// stroke from first to last, in double precision with the same operations in
// the same order, so the bytes are the same. Lanes hold bytes; a pixel's
// factors are spread over its three lanes.
OMBRIK_AVX2 void LaySpansAvx2(PaintImage& canvas, const SpanBrush& b, uint32_t first, uint32_t last, int x, int y,
                              double k, const double r[3])
{
    const __m256d vk = _mm256_set1_pd(k), scale = _mm256_set1_pd(0.00392156862745098);
    // The channel of each byte lane.
    const __m256d rr[3] = {_mm256_setr_pd(r[0], r[1], r[2], r[0]), _mm256_setr_pd(r[1], r[2], r[0], r[1]),
                           _mm256_setr_pd(r[2], r[0], r[1], r[2])};
    for (uint32_t s = first; s < last; ++s) {
        const SpanBrush::Span& span = b.spans[s];
        uint8_t* c = canvas.at(x + span.x0, y + span.y);
        const int n = span.x1 - span.x0;
        for (int i = 0; i < n; i += 4, c += 12) {
            // At the end of a span the flags past it are masked off and no
            // byte past it is read or written (it may be another band's).
            const int count = std::min(4, n - i);
            const uint32_t inSpan = count == 4 ? ~0u : (1u << (8 * count)) - 1;
            const uint32_t j = span.at + uint32_t(i);
            uint32_t covered4, raised4;
            std::memcpy(&covered4, &b.w[j], 4);
            std::memcpy(&raised4, &b.raised[j], 4);
            covered4 &= inSpan;
            raised4 &= inSpan;
            if ((covered4 | raised4) == 0)
                continue;
            const __m128i packed = LoadPixels(c, count);
            __m256d v[3] = {_mm256_cvtepi32_pd(_mm_cvtepu8_epi32(packed)),
                            _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_srli_si128(packed, 4))),
                            _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_srli_si128(packed, 8)))};
            if (covered4) {
                __m256d ome[3], e[3], covered[3];
                SpreadToBytes(_mm256_loadu_pd(&b.oneMinusE[j]), ome);
                SpreadToBytes(_mm256_loadu_pd(&b.e[j]), e);
                FlagsToBytes(covered4, covered);
                for (int q = 0; q < 3; ++q) {
                    const __m256d under = ToByteAvx2(_mm256_mul_pd(_mm256_mul_pd(v[q], vk), ome[q]));
                    const __m256d laid = ToByteAvx2(_mm256_add_pd(under, _mm256_mul_pd(e[q], rr[q])));
                    v[q] = _mm256_blendv_pd(v[q], laid, covered[q]);
                }
            }
            if (raised4) {
                __m256d lift[3], keep[3], raised[3];
                SpreadToBytes(_mm256_loadu_pd(&b.lift[j]), lift);
                SpreadToBytes(_mm256_loadu_pd(&b.keep[j]), keep);
                FlagsToBytes(raised4, raised);
                for (int q = 0; q < 3; ++q) {
                    const __m256d lifted =
                        ToByteAvx2(_mm256_mul_pd(_mm256_add_pd(lift[q], _mm256_mul_pd(keep[q], v[q])), scale));
                    v[q] = _mm256_blendv_pd(v[q], lifted, raised[q]);
                }
            }
            const __m128i i2 = _mm256_cvttpd_epi32(v[2]);
            const __m128i words = _mm_packs_epi32(_mm256_cvttpd_epi32(v[0]), _mm256_cvttpd_epi32(v[1]));
            StorePixels(c, _mm_packus_epi16(words, _mm_packs_epi32(i2, i2)), count);
        }
    }
}

bool HasAvx2()
{
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has && g_vectorCode.load(std::memory_order_relaxed);
}
#endif

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
#if OMBRIK_PAINTER_AVX2
    if (!params.colourBrushes && HasAvx2()) {
        LaySpansAvx2(canvas, brush, first, last, x, y, k, r);
        return;
    }
#endif
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
void AddCoveredSumsScalar(const uint8_t* q, const uint8_t* w, int n, int sum[3])
{
    for (int i = 0; i < n; ++i, q += 3) {
        sum[0] += q[0] * w[i] / 255;
        sum[1] += q[1] * w[i] / 255;
        sum[2] += q[2] * w[i] / 255;
    }
}

#if OMBRIK_PAINTER_AVX2
// Eight pixels (24 bytes) at a time; lanes hold bytes. x / 255 is
// (x × 32897) >> 23 for every x up to 255 × 255.
OMBRIK_AVX2 void AddCoveredSumsAvx2(const uint8_t* q, const uint8_t* w, int n, int sum[3])
{
    const __m256i spread[3] = {_mm256_setr_epi32(0, 0, 0, 1, 1, 1, 2, 2), _mm256_setr_epi32(2, 3, 3, 3, 4, 4, 4, 5),
                               _mm256_setr_epi32(5, 5, 6, 6, 6, 7, 7, 7)};
    const __m256i magic = _mm256_set1_epi32(32897);
    __m256i acc[3] = {_mm256_setzero_si256(), _mm256_setzero_si256(), _mm256_setzero_si256()};
    int i = 0;
    for (; i + 8 <= n; i += 8, q += 24) {
        const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
        const __m128i hi = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(q + 16));
        const __m256i bytes[3] = {_mm256_cvtepu8_epi32(lo), _mm256_cvtepu8_epi32(_mm_srli_si128(lo, 8)),
                                  _mm256_cvtepu8_epi32(hi)};
        const __m256i cover = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(w + i)));
        for (int k = 0; k < 3; ++k) {
            const __m256i product = _mm256_mullo_epi32(bytes[k], _mm256_permutevar8x32_epi32(cover, spread[k]));
            acc[k] = _mm256_add_epi32(acc[k], _mm256_srli_epi32(_mm256_mullo_epi32(product, magic), 23));
        }
    }
    alignas(32) int lanes[3][8];
    for (int k = 0; k < 3; ++k)
        _mm256_store_si256(reinterpret_cast<__m256i*>(lanes[k]), acc[k]);
    for (int k = 0; k < 3; ++k)
        for (int l = 0; l < 8; ++l)
            sum[(8 * k + l) % 3] += lanes[k][l];
    AddCoveredSumsScalar(q, w + i, n - i, sum);
}
#endif

void AddCoveredSums(const uint8_t* q, const uint8_t* w, int n, int sum[3])
{
#if OMBRIK_PAINTER_AVX2
    if (n >= 8 && HasAvx2()) {
        AddCoveredSumsAvx2(q, w, n, sum);
        return;
    }
#endif
    AddCoveredSumsScalar(q, w, n, sum);
}

MatchSequence MakeMatchSequence(const BrushSet& set, int first, int step, int end, int canvasWidth)
{
    std::vector<int> sequence;
    for (int k = std::max(first, 0); k < std::min(end, int(set.brushes.size())); k += std::max(step, 1))
        sequence.push_back(k);
    MatchSequence match;
    if (sequence.empty())
        return match;
    match.head = sequence[0];
    const size_t box = size_t(set.maxW) * size_t(set.maxH);
    for (size_t g = 1; g < sequence.size(); g += 4) {
        MatchGroup group;
        std::vector<double> grid(box * 4, 0.0);
        std::vector<uint8_t> used(box, 0);
        for (size_t l = 0; l < 4; ++l) {
            group.brush[l] = g + l < sequence.size() ? sequence[g + l] : -1;
            group.weight[l] = 0;
            if (group.brush[l] < 0)
                continue;
            const PainterBrush& brush = set.brushes[size_t(group.brush[l])];
            group.weight[l] = brush.weight;
            for (const auto& p : brush.pixels) {
                const size_t at = size_t(p.y) * size_t(set.maxW) + size_t(p.x);
                grid[at * 4 + l] = p.e;
                used[at] = 1;
            }
        }
        for (size_t at = 0; at < box; ++at)
            if (used[at]) {
                group.offsets.push_back(int64_t(at / size_t(set.maxW)) * canvasWidth + int64_t(at % size_t(set.maxW)));
                group.e.insert(group.e.end(), &grid[at * 4], &grid[at * 4] + 4);
            }
        match.rest.push_back(std::move(group));
    }
    return match;
}

#if OMBRIK_PAINTER_AVX2
// e × |truncate(value - mean)| in each lane (truncating the magnitude is the
// same as truncating and then taking the magnitude).
OMBRIK_AVX2 inline __m256d MismatchTerm(__m256d e, __m256d value, __m256d mean)
{
    const __m256d away = _mm256_andnot_pd(_mm256_set1_pd(-0.0), _mm256_sub_pd(value, mean));
    return _mm256_mul_pd(e, _mm256_round_pd(away, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC));
}

// The running sums of a group, one lane per brush.
struct GroupSums {
    __m256d s0, s1, s2, d;
    __m256d m0, m1, m2;
};

OMBRIK_AVX2 inline void AddWeighted(GroupSums& g, const MatchGroup& group, size_t i, const uint8_t* base)
{
    const uint8_t* c = base + group.offsets[i] * 3;
    const __m256d e = _mm256_loadu_pd(&group.e[i * 4]);
    g.s0 = _mm256_add_pd(g.s0, _mm256_mul_pd(e, _mm256_set1_pd(c[0])));
    g.s1 = _mm256_add_pd(g.s1, _mm256_mul_pd(e, _mm256_set1_pd(c[1])));
    g.s2 = _mm256_add_pd(g.s2, _mm256_mul_pd(e, _mm256_set1_pd(c[2])));
}

OMBRIK_AVX2 inline void TakeMeans(GroupSums& g, __m256d weight)
{
    const __m256d full = _mm256_set1_pd(255.0);
    g.m0 = _mm256_div_pd(_mm256_mul_pd(g.s0, full), weight);
    g.m1 = _mm256_div_pd(_mm256_mul_pd(g.s1, full), weight);
    g.m2 = _mm256_div_pd(_mm256_mul_pd(g.s2, full), weight);
    g.d = _mm256_setzero_pd();
}

OMBRIK_AVX2 inline void AddMismatch(GroupSums& g, const MatchGroup& group, size_t i, const uint8_t* base)
{
    const uint8_t* c = base + group.offsets[i] * 3;
    const __m256d e = _mm256_loadu_pd(&group.e[i * 4]);
    g.d = _mm256_add_pd(g.d, MismatchTerm(e, _mm256_set1_pd(c[0]), g.m0));
    g.d = _mm256_add_pd(g.d, MismatchTerm(e, _mm256_set1_pd(c[1]), g.m1));
    g.d = _mm256_add_pd(g.d, MismatchTerm(e, _mm256_set1_pd(c[2]), g.m2));
}

// The mismatch of the brushes of two groups at base (b may be null), each
// lane computed with the operations, in the order, of BrushMismatch. The two
// groups' sums are independent, so the processor overlaps them.
OMBRIK_AVX2 void GroupMismatchAvx2(const MatchGroup& a, const MatchGroup* b, const uint8_t* base, double outA[4],
                                   double outB[4])
{
    GroupSums ga{}, gb{};
    ga.s0 = ga.s1 = ga.s2 = gb.s0 = gb.s1 = gb.s2 = _mm256_setzero_pd();
    const size_t na = a.offsets.size(), nb = b ? b->offsets.size() : 0, both = std::min(na, nb);
    for (size_t i = 0; i < both; ++i) {
        AddWeighted(ga, a, i, base);
        AddWeighted(gb, *b, i, base);
    }
    for (size_t i = both; i < na; ++i)
        AddWeighted(ga, a, i, base);
    for (size_t i = both; i < nb; ++i)
        AddWeighted(gb, *b, i, base);
    TakeMeans(ga, _mm256_loadu_pd(a.weight));
    if (b)
        TakeMeans(gb, _mm256_loadu_pd(b->weight));
    for (size_t i = 0; i < both; ++i) {
        AddMismatch(ga, a, i, base);
        AddMismatch(gb, *b, i, base);
    }
    for (size_t i = both; i < na; ++i)
        AddMismatch(ga, a, i, base);
    for (size_t i = both; i < nb; ++i)
        AddMismatch(gb, *b, i, base);
    _mm256_storeu_pd(outA, _mm256_div_pd(ga.d, _mm256_loadu_pd(a.weight)));
    if (b)
        _mm256_storeu_pd(outB, _mm256_div_pd(gb.d, _mm256_loadu_pd(b->weight)));
}

// The three channels of one pixel under each of four strokes, as lanes. Each
// pixel is read as four bytes; the caller makes sure the fourth is in the photo.
OMBRIK_AVX2 inline void FourPixels(const uint8_t* const base[4], int64_t at, __m256d out[3])
{
    uint32_t v[4];
    for (int l = 0; l < 4; ++l)
        std::memcpy(&v[l], base[l] + at, 4);
    const __m128i words = _mm_setr_epi32(int(v[0]), int(v[1]), int(v[2]), int(v[3]));
    const __m128i low = _mm_set1_epi32(0xFF);
    out[0] = _mm256_cvtepi32_pd(_mm_and_si128(words, low));
    out[1] = _mm256_cvtepi32_pd(_mm_and_si128(_mm_srli_epi32(words, 8), low));
    out[2] = _mm256_cvtepi32_pd(_mm_and_si128(_mm_srli_epi32(words, 16), low));
}

// BrushMismatch of one brush under four strokes, one lane per stroke.
// values has room for 3 × 4 doubles per brush pixel.
OMBRIK_AVX2 void BrushMismatchFour(const PainterBrush& brush, const uint8_t* const base[4], double* values,
                                   double out[4])
{
    GroupSums g{};
    g.s0 = g.s1 = g.s2 = _mm256_setzero_pd();
    double* v = values;
    for (const auto& p : brush.pixels) {
        __m256d c[3];
        FourPixels(base, p.offset * 3, c);
        const __m256d e = _mm256_set1_pd(p.e);
        g.s0 = _mm256_add_pd(g.s0, _mm256_mul_pd(e, c[0]));
        g.s1 = _mm256_add_pd(g.s1, _mm256_mul_pd(e, c[1]));
        g.s2 = _mm256_add_pd(g.s2, _mm256_mul_pd(e, c[2]));
        for (int k = 0; k < 3; ++k, v += 4)
            _mm256_storeu_pd(v, c[k]);
    }
    const __m256d weight = _mm256_set1_pd(brush.weight);
    TakeMeans(g, weight);
    v = values;
    for (const auto& p : brush.pixels) {
        const __m256d e = _mm256_set1_pd(p.e);
        g.d = _mm256_add_pd(g.d, MismatchTerm(e, _mm256_loadu_pd(v), g.m0));
        g.d = _mm256_add_pd(g.d, MismatchTerm(e, _mm256_loadu_pd(v + 4), g.m1));
        g.d = _mm256_add_pd(g.d, MismatchTerm(e, _mm256_loadu_pd(v + 8), g.m2));
        v += 12;
    }
    _mm256_storeu_pd(out, _mm256_div_pd(g.d, weight));
}

// The search after its first brush, continuing from best and count.
int RestCandidates(const MatchSequence& match, const uint8_t* base, double threshold, double best, int count,
                   int* candidates)
{
    const std::vector<MatchGroup>& groups = match.rest;
    for (size_t k = 0; k < groups.size(); k += 2) {
        double mismatch[2][4];
        GroupMismatchAvx2(groups[k], k + 1 < groups.size() ? &groups[k + 1] : nullptr, base, mismatch[0],
                          mismatch[1]);
        for (size_t h = 0; h < 2 && k + h < groups.size(); ++h) {
            const MatchGroup& g = groups[k + h];
            for (int l = 0; l < 4 && g.brush[l] >= 0; ++l)
                if (g.weight[l] > 0 && ConsiderBrush(g.brush[l], mismatch[h][l], threshold, best, count, candidates))
                    return count;
        }
    }
    return count;
}
#endif

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


// StrokeColour as the one-by-one route works it out, for the tests to compare
// with: over the brush's pixel list, a running sum in double precision
// truncated after every pixel.
void PlainStrokeColour(const PainterParams& params, const PainterBrush& brush, int maxW, int maxH,
                       const PaintImage& work, int left, int top, const double noise[3], int colour[3])
{
    colour[0] = colour[1] = colour[2] = 0;
    if (params.colourType == 0) {
        if (brush.weight > 0) {
            int sum[3] = {0, 0, 0};
            const uint8_t* under = work.at(left, top);
            for (const auto& px : brush.pixels) {
                const uint8_t* q = under + px.offset * 3;
                sum[0] = int(sum[0] + q[0] * px.w / 255.0);
                sum[1] = int(sum[1] + q[1] * px.w / 255.0);
                sum[2] = int(sum[2] + q[2] * px.w / 255.0);
            }
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

} // namespace stroke_kernels

void SetPainterVectorCode(bool allowed)
{
#if OMBRIK_PAINTER_AVX2
    g_vectorCode.store(allowed, std::memory_order_relaxed);
#else
    (void)allowed;
#endif
}

} // namespace ombrik
