// The brush-stroke painter: repaints a photo as thousands of stamped brush
// strokes, each a grey brush image turned to one of a set of angles, scaled to
// one of a set of sizes, tinted with the photo's colour under it and laid onto
// a background with edge darkening, relief and an optional drop shadow.
#pragma once

#include "artistic/paint_image.h"
#include "artistic/painter_presets.h"

#include <glib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ombrik {

// One brush of the set, padded to the common maxW × maxH box. Channel 0 is the
// coverage, channel 1 the relief map, channel 2 the shadow coverage.
struct PainterBrush {
    PaintImage image;
    double weight = 0;  // sum of channel 0

    // Pixels with non-zero coverage in row order, with what compositing needs.
    struct Pixel {
        int32_t x, y;
        int64_t offset;       // y × canvas width + x, set by BindToCanvas
        uint8_t w;            // coverage
        double e;             // w / 255
        double oneMinusE;     // 1 - e
        double keepUnderneath; // 1 - channel 2 / 255, for colour brushes
    };
    std::vector<Pixel> pixels;
    // Pixels from (1, 1) on whose relief value q reaches 0.001.
    struct ReliefPixel {
        int32_t x, y;
        int64_t offset;
        double q;
    };
    std::vector<ReliefPixel> relief;
};

struct PainterShadow {
    PaintImage image;  // maxW + 4 × blur by maxH + 4 × blur
    struct Pixel {
        int32_t x, y;
        double f;  // darkening factor
    };
    std::vector<Pixel> pixels;
};

struct BrushSet {
    std::vector<PainterBrush> brushes;  // size index × orientCount + angle index
    std::vector<PainterShadow> shadows; // one per brush with dropShadow
    int maxW = 1;
    int maxH = 1;
};

// Turns the loaded brush image into the base brush: aspect, size, gamma and a
// black margin wide enough to turn through any angle.
PaintImage MakeBaseBrush(const PainterParams& params, PaintImage brush);

// The rotated and scaled brushes (with relief maps, weights, padding, pixel
// lists and shadows) for every size and angle.
BrushSet MakeBrushSet(const PainterParams& params, const PaintImage& baseBrush);

// Fills the canvas offsets of every brush pixel list for a canvas this wide.
void BindToCanvas(BrushSet& set, int canvasWidth);

// The brush of first, first + step, … below end that best fits the photo
// under a stroke with top-left (x, y), ties broken at random; 0 when no brush
// has any coverage. `examined`, when given, counts the brushes looked at.
int FindBestMatch(const BrushSet& set, const PaintImage& photo, int x, int y, int first, int step, int end,
                  double threshold, int* examined = nullptr);

// FindBestMatch without the tie-break: writes the equally best brushes (in
// increasing order) to candidates, which has room for one per brush of the
// set, and returns their number (0 when no brush has coverage). Draws nothing.
int BestMatchCandidates(const BrushSet& set, const PaintImage& photo, int x, int y, int first, int step, int end,
                        double threshold, int* candidates, int* examined = nullptr);

// Lays one stroke (and its shadow, when given) with top-left (x, y). The stroke
// box must lie inside the canvas; the shadow is clipped to it.
void LayStroke(PaintImage& canvas, const PainterParams& params, const PainterBrush& brush,
               const PainterShadow* shadow, int x, int y, const int colour[3]);

// The stroke map of a map type for the working image (channel 0 = 0..255), or
// an empty image for types that need no map. maxW and maxH size the inner area
// of the vector-field map.
PaintImage MakeStrokeMap(const PainterParams& params, int type, bool forAngle, const PaintImage& work, int maxW,
                         int maxH);

// The direction field (degrees) and the size field (0..1) at (u, w).
double DirectionField(const PainterParams& params, double u, double w);
double SizeField(const PainterParams& params, double u, double w);

// Fixes the seed of the generator every painting makes (for reproducible
// tests and tools); nullopt restores GLib's own seeding.
void SetPainterSeed(std::optional<guint32> seed);

class CBrushPainter {
public:
    void SetImageSize(int width, int height, int bytesPerPixel);
    // Points the six presets at the brush files in folder (ending with '/').
    void SetDataDirectory(const std::string& folder);
    // Copies preset n (0..5; anything else gives 0).
    void SelectPreset(int n);
    // Uses any parameter set instead of a preset; its brush file is also the
    // fallback file.
    void SelectParams(const PainterParams& params);
    // Threads a painting may use (the calling one among them); 0, the default,
    // means one per core. The picture is the same for any number.
    void SetThreadCount(int threads) { m_threads = threads; }
    // Paints src into dst, both width × height pixels of bytesPerPixel bytes
    // (3, or 4 with the alpha byte carried over from src).
    void Paint(const uint8_t* src, uint8_t* dst);

private:
    void Painting();

    PainterParams m_preset;
    PainterParams m_params;
    std::string m_fallbackFile;
    int m_width = 0;
    int m_height = 0;
    int m_bytesPerPixel = 3;
    int m_threads = 0;
    PaintImage m_work;
};

} // namespace ombrik
