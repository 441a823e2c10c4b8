// The Adjust panel's live preview and the Fade box's live blend on a
// 1600 × 1200 photo: one frame each, as a dragged slider asks for them; a
// frame of a dragged curve point with its histogram, and Auto's analysis.
#include "bench/bench_photo.h"

#include "canvas/canvas_document.h"
#include "engine/adjust.h"
#include "engine/tone_analysis.h"

namespace {

using namespace ombrik;

// Every slider away from 0; the settings change every frame, so the tables
// are built again each time as during a drag.
static void AdjustPreviewFrame(benchmark::State& state)
{
    CanvasDocument doc;
    doc.afterOpen(bench::BenchPhoto(), "/bench/photo.png");
    AdjustParams p;
    p.contrast = 20;
    p.highlights = -30;
    p.shadows = 25;
    p.saturation = 10;
    p.vibrance = 30;
    p.warmth = 15;
    p.tint = -5;
    int frame = 0;
    for (auto _ : state) {
        p.exposure = 0.01 * (++frame % 200) - 1.0;
        doc.setAdjustPreview(p);
        benchmark::DoNotOptimize(doc.displayPhoto().data());
    }
}
BENCHMARK(AdjustPreviewFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// A curve point dragged with levels and the sliders set: the tables, the
// preview and the histogram the panel shows, as one frame.
static void CurveDragFrame(benchmark::State& state)
{
    CanvasDocument doc;
    doc.afterOpen(bench::BenchPhoto(), "/bench/photo.png");
    AdjustParams p;
    p.contrast = 10;
    p.vibrance = 20;
    p.tone.levels[size_t(ToneChannel::Rgb)] = {8, 1.1, 245};
    p.tone.curves[size_t(ToneChannel::Blue)] = PresetCurve(CurvePreset::SoftS);
    int frame = 0;
    for (auto _ : state) {
        p.tone.curves[size_t(ToneChannel::Rgb)] = Curve{{{0, 0}, {96, 70 + ++frame % 40}, {255, 255}}};
        doc.setAdjustPreview(p);
        const Histogram h = ComputeHistogram(doc.displayPhoto());
        benchmark::DoNotOptimize(h.pixels);
    }
}
BENCHMARK(CurveDragFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

static void HistogramOnly(benchmark::State& state)
{
    for (auto _ : state) {
        const Histogram h = ComputeHistogram(bench::BenchPhoto());
        benchmark::DoNotOptimize(h.pixels);
    }
}
BENCHMARK(HistogramOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

static void AutoAnalysis(benchmark::State& state)
{
    for (auto _ : state) {
        const AdjustParams p = AutoAdjust(bench::BenchPhoto());
        benchmark::DoNotOptimize(p.exposure);
    }
}
BENCHMARK(AutoAnalysis)->Unit(benchmark::kMillisecond)->UseRealTime();

static void FadePreviewFrame(benchmark::State& state)
{
    const PixelBuffer& before = bench::BenchPhoto();
    PixelBuffer after = before;
    ApplyAdjustments(AdjustParams{.exposure = 1, .saturation = -100}, before, after);
    PixelBuffer out(before.width, before.height, 3);
    int frame = 0;
    for (auto _ : state) {
        FadeBlend(before, after, ++frame % 101, out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(FadePreviewFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
