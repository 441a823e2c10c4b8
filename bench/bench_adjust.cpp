// The Adjust panel's live preview and the Fade box's live blend on a
// 1600 × 1200 photo: one frame each, as a dragged slider asks for them.
#include "bench/bench_photo.h"

#include "canvas/canvas_document.h"
#include "engine/adjust.h"

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
