// The brush-stroke painter's six presets on a 1600 × 1200 photo, through
// RunEffect as the canvas runs them (brush files come from the data folder).
#include "bench/bench_photo.h"

using ombrik::bench::RunEffectOnBenchPhoto;

#define OMBRIK_PAINTER_BENCH(name, id)                                                    \
    static void name(benchmark::State& state) { RunEffectOnBenchPhoto(state, id, true); } \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseRealTime()

OMBRIK_PAINTER_BENCH(PainterCubism, 45);
OMBRIK_PAINTER_BENCH(PainterDotArt, 44);
OMBRIK_PAINTER_BENCH(PainterLineArt, 51);
OMBRIK_PAINTER_BENCH(PainterPreset3, 57);
OMBRIK_PAINTER_BENCH(PainterWeave, 41);
OMBRIK_PAINTER_BENCH(PainterStraws, 49);
