// Laying a painting's strokes on every core, byte for byte as one thread
// would. The random draws that place strokes are made first, in order, by the
// caller; then the canvas is cut into bands of rows and each thread takes
// bands and lays in each the strokes that touch it, in their order and
// clipped to the band, so every canvas pixel sees the same strokes in the
// same order. Stroke colours and best-match searches read only the photo and
// are shared out too. Where the processor has AVX2 the compositing, colour
// sums and searches use vector code that does the same operations in the
// same order, so the bytes do not change.
#pragma once

#include "artistic/brush_painter.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace ombrik {

// Truncation toward zero. NaN and huge values cannot be converted; they never
// occur with sane parameters, so they are mapped somewhere harmless.
inline int Truncate(double v)
{
    if (!(v > -2.0e9))
        return v != v ? 0 : INT_MIN / 2;
    if (v > 2.0e9)
        return INT_MAX / 2;
    return int(v);
}

// Truncate and clamp to 0..255 (NaN gives 0), without branches.
inline uint8_t ToByte(double v)
{
    return uint8_t(int(std::min(255.0, std::max(0.0, v))));
}

// How far the photo under a stroke (base: the box's top-left pixel) strays
// from the brush's own weighted mean colour, weighted by its coverage. The
// brush must have coverage and be bound to the photo's width.
double BrushMismatch(const PainterBrush& brush, const uint8_t* base);

// Takes one brush's mismatch into the list of equally best brushes so far;
// true when it is close enough to end the search.
bool ConsiderBrush(int brush, double mismatch, double threshold, double& best, int& count, int* candidates);

// For tests, routes to compare with: the vector code runs where the
// processor has AVX2 unless turned off; without bands, searches run stroke by
// stroke, and strokes are laid one by one over the whole canvas with
// LayStroke and colours from a running sum in double precision, on the
// calling thread.
void SetPainterVectorCode(bool allowed);
void SetPainterBands(bool allowed);

// A stroke whose draws are made: its brush box's top-left on the canvas and
// its brush; the colour (three bytes) once StrokeBands::Colour has run.
struct PlannedStroke {
    int32_t left, top, brush;
    uint32_t colour;
};

// The brushes first, first + step, … below end that a best-match search
// looks at, and which of the painting's search sequences they are: the size
// index when angles are searched, the angle index when sizes are, else 0.
struct BrushSearch {
    int32_t first, step, end, sequence;
};

class StrokeBands {
public:
    // set is bound to the canvas width; photo (read) and canvas (painted) are
    // the same size. threads: how many may run at once, the caller's among them.
    StrokeBands(const PainterParams& params, const BrushSet& set, const PaintImage& photo, PaintImage& canvas,
                int threads);
    ~StrokeBands();

    // BestMatchCandidates for one stroke.
    int Candidates(const PlannedStroke& stroke, const BrushSearch& search, int* out) const;
    // The same for many strokes on every core: found gets, stroke by stroke,
    // the number of brushes and then the brushes.
    void Candidates(const std::vector<PlannedStroke>& strokes, const std::vector<BrushSearch>& searches,
                    std::vector<int>& found);
    // Works out every stroke's colour; noise is empty or has one entry per stroke.
    void Colour(std::vector<PlannedStroke>& strokes, const std::vector<std::array<double, 3>>& noise);
    // Lays the strokes (and the copies a tileable painting lays across the
    // edges) once Colour has run; noise, the same as Colour's, is only read
    // without bands. alongside, when given, first runs on this thread while
    // the others already lay; progress(share of bands done) is called from
    // this thread. Every step stops early once a cancel is asked.
    void Lay(const std::vector<PlannedStroke>& strokes, const std::vector<std::array<double, 3>>& noise,
             const std::function<void()>& alongside, const std::function<void(double)>& progress);

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace ombrik
