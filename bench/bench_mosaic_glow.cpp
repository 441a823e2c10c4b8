// Mosaic, Soft Glow and Edge Paint on a 1600 × 1200 photo, through RunEffect as
// the canvas runs them.
#include "bench/bench_photo.h"

#include <glib.h>

using ombrik::bench::RunEffectOnBenchPhoto;

static void Mosaic(benchmark::State& state)
{
    g_random_set_seed(48);
    RunEffectOnBenchPhoto(state, 48);
}
BENCHMARK(Mosaic)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

static void SoftGlow(benchmark::State& state) { RunEffectOnBenchPhoto(state, 43); }
BENCHMARK(SoftGlow)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

static void EdgePaint(benchmark::State& state) { RunEffectOnBenchPhoto(state, 52); }
BENCHMARK(EdgePaint)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
