// CEffectFilter operations on a 1600 × 1200 photo, through RunEffect as the
// canvas runs them.
#include "bench/bench_photo.h"

using ombrik::bench::RunEffectOnBenchPhoto;

#define OMBRIK_EFFECT_BENCH(name, id)                                         \
    static void name(benchmark::State& state) { RunEffectOnBenchPhoto(state, id); } \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseRealTime()

OMBRIK_EFFECT_BENCH(Lighten, 0);
OMBRIK_EFFECT_BENCH(Darken, 1);
OMBRIK_EFFECT_BENCH(SmoothSkin, 2);
OMBRIK_EFFECT_BENCH(RedEye, 3);
OMBRIK_EFFECT_BENCH(Gamma, 4);
OMBRIK_EFFECT_BENCH(Contrast, 5);
OMBRIK_EFFECT_BENCH(Blur, 6);
OMBRIK_EFFECT_BENCH(Sharp, 7);
OMBRIK_EFFECT_BENCH(BlackAndWhite, 8);
OMBRIK_EFFECT_BENCH(Pixelize, 9);
OMBRIK_EFFECT_BENCH(Emboss, 42);
OMBRIK_EFFECT_BENCH(Splash, 46);
OMBRIK_EFFECT_BENCH(Glass, 50);
OMBRIK_EFFECT_BENCH(Posterize, 53);
OMBRIK_EFFECT_BENCH(MotionBlur, 55);
OMBRIK_EFFECT_BENCH(RadialBlur, 56);
