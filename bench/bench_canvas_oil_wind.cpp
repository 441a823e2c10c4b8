// Canvas, Oil Paint and Wind on a 1600 × 1200 photo, through RunEffect.
#include "bench/bench_photo.h"

#include <glib.h>

using ombrik::bench::RunEffectOnBenchPhoto;

static void Canvas(benchmark::State& state) { RunEffectOnBenchPhoto(state, 40); }
BENCHMARK(Canvas)->Unit(benchmark::kMillisecond)->UseRealTime();

static void OilPaint(benchmark::State& state) { RunEffectOnBenchPhoto(state, 47); }
BENCHMARK(OilPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

static void Wind(benchmark::State& state)
{
    g_random_set_seed(54);
    RunEffectOnBenchPhoto(state, 54);
}
BENCHMARK(Wind)->Unit(benchmark::kMillisecond)->UseRealTime();
