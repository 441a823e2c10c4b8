// The painter's per-stroke kernels, shared by the stroke bands: what they
// need to know of a brush laid span by span and of a best-match search.
#pragma once

#include "artistic/stroke_bands.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define OMBRIK_PAINTER_AVX2 1
#else
#define OMBRIK_PAINTER_AVX2 0
#endif

#include <cstdint>
#include <vector>

namespace ombrik::stroke_kernels {

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

SpanBrush MakeSpanBrush(const PainterBrush& brush, int boxHeight);
// [y]: the first pixel of the shadow's row y or below (its pixels are in row
// order); image height + 1 entries.
std::vector<uint32_t> ShadowRows(const PainterShadow& shadow);
// LayStroke limited to canvas rows y0 <= y < y1.
void LayStrokeRows(PaintImage& canvas, const PainterParams& params, const SpanBrush& brush, int boxHeight,
                   const PainterShadow* shadow, const uint32_t* shadowRows, int x, int y, const int colour[3], int y0,
                   int y1);
// Adds truncate(value × coverage / 255) of each channel of n pixels to sum.
void AddCoveredSums(const uint8_t* q, const uint8_t* w, int n, int sum[3]);

// The brushes one best-match search looks at. Most searches end at the
// first brush (on smooth parts of a photo any brush matches), so that one is
// tried on its own, for four strokes at once; the others are tried four
// brushes at a time. A group holds every box pixel that any of its brushes
// covers, in row order, with its offset in the photo and the four coverages
// (0 where a brush leaves the pixel out and in slots past the last brush).
// A zero term leaves a sum of non-negative terms as it was, so each slot's
// sums are those its brush alone gives.
struct MatchGroup {
    int brush[4];      // -1 for an unused slot
    double weight[4];  // 0 for an unused slot
    std::vector<int64_t> offsets;
    std::vector<double> e;  // four per offset
};

struct MatchSequence {
    int head = -1;                // the first brush
    std::vector<MatchGroup> rest; // the others
};

MatchSequence MakeMatchSequence(const BrushSet& set, int first, int step, int end, int canvasWidth);

#if OMBRIK_PAINTER_AVX2
// Whether the vector code runs: the processor has AVX2 and tests allow it.
bool HasAvx2();
// BrushMismatch of one brush under four strokes, one lane per stroke.
// values has room for 3 × 4 doubles per brush pixel.
void BrushMismatchFour(const PainterBrush& brush, const uint8_t* const base[4], double* values, double out[4]);
// The search after its first brush, continuing from best and count.
int RestCandidates(const MatchSequence& match, const uint8_t* base, double threshold, double best, int count,
                   int* candidates);
#endif

// The colour a stroke with top-left (left, top) paints: the coverage-weighted
// mean of the photo under it, its centre pixel or black, plus its noise.
void StrokeColour(const PainterParams& params, const PainterBrush& brush, const SpanBrush& spans, int maxW, int maxH,
                  const PaintImage& work, int left, int top, const double noise[3], int colour[3]);
// The same as the one-by-one route works it out, for the tests to compare
// with: a running sum in double precision truncated after every pixel.
void PlainStrokeColour(const PainterParams& params, const PainterBrush& brush, int maxW, int maxH,
                       const PaintImage& work, int left, int top, const double noise[3], int colour[3]);

} // namespace ombrik::stroke_kernels
