// The benchmark photo: the coffee sample scaled to 1600 × 1200, the largest a
// photo gets with the default load threshold.
#pragma once

#include "effects/effect_request.h"
#include "engine/pixel_buffer.h"

#include <benchmark/benchmark.h>

namespace ombrik::bench {

inline constexpr int kBenchWidth = 1600;
inline constexpr int kBenchHeight = 1200;

const PixelBuffer& BenchPhoto();

// Runs one catalogue id over the benchmark photo. Engines that read the
// destination's earlier content get it zero-filled (outside the timing).
void RunEffectOnBenchPhoto(benchmark::State& state, EffectId id, bool zeroDestination = false);

} // namespace ombrik::bench
