// Sparkle stamps on a typical 300 × 300 brush patch and on a whole 1600 × 1200
// photo, and the warp brush on a 1600 × 1200 photo: single deformations,
// 200-pixel move strokes and the set-up when the canvas renews its base.
#include "bench/bench_photo.h"

#include "light/warp_deformer.h"

#include <cstring>

namespace {

using namespace ombrik;
using ombrik::bench::BenchPhoto;

// One stamp application with the effect's preset colour on a patch cut from
// the benchmark photo at (x0, y0); side 0 takes the whole photo.
void RunStamp(benchmark::State& state, int side)
{
    const EffectId id = EffectId(state.range(0));
    const PixelBuffer& photo = BenchPhoto();
    const int w = side > 0 ? side : photo.width;
    const int h = side > 0 ? side : photo.height;
    const int x0 = side > 0 ? 650 : 0, y0 = side > 0 ? 450 : 0;
    PixelBuffer src(w, h, 3), dst(w, h, 3);
    for (int y = 0; y < h; ++y)
        std::memcpy(src.at(0, y), photo.at(x0, y0 + y), size_t(w) * 3);
    EffectRequest request;
    request.initialise();
    request.colour = DefaultLightingColour(id);
    request.set(id, w, h, 3);
    for (auto _ : state) {
        request.RunEffect(src.data(), dst.data());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
}

void StampPatch300(benchmark::State& state) { RunStamp(state, 300); }
void StampWholePhoto(benchmark::State& state) { RunStamp(state, 0); }

// 125 Fairy Dust, 126 Mist / Cloud, 127 Sparkle, 128 Firefly.
BENCHMARK(StampPatch300)->DenseRange(125, 128)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(StampWholePhoto)->DenseRange(125, 128)->Unit(benchmark::kMillisecond)->UseRealTime();

struct WarpBench {
    PixelBuffer shown;
    WarpDeformer warp;
    WarpBench(int radius, WarpMode mode) : shown(BenchPhoto().width, BenchPhoto().height, 3)
    {
        const PixelBuffer& base = BenchPhoto();
        warp.start(base.width, base.height, 3, base.data(), shown.data());
        warp.setRadius(radius);
        warp.setAmount(30);
        warp.setMode(mode);
    }
};

// One deformation at radius 90 (the default brush) in the middle of the photo;
// argument = WarpMode.
void WarpDeformationR90(benchmark::State& state)
{
    WarpBench b(90, WarpMode(state.range(0)));
    for (auto _ : state) {
        b.warp.apply(800, 600, 800, 600);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(WarpDeformationR90)
    ->Arg(int(WarpMode::Grow))
    ->Arg(int(WarpMode::SwirlClockwise))
    ->Arg(int(WarpMode::Remove))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A 200-pixel move stroke segment, back and forth; argument = radius.
void WarpMoveStroke200(benchmark::State& state)
{
    WarpBench b(int(state.range(0)), WarpMode::Move);
    bool forth = true;
    for (auto _ : state) {
        if (forth)
            b.warp.apply(900, 600, 700, 600);
        else
            b.warp.apply(700, 600, 900, 600);
        forth = !forth;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(WarpMoveStroke200)->Arg(90)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

// Renewing the base: clearing the displacement field and copying the photo.
void WarpStart(benchmark::State& state)
{
    const PixelBuffer& base = BenchPhoto();
    PixelBuffer shown(base.width, base.height, 3);
    WarpDeformer warp;
    for (auto _ : state) {
        warp.start(base.width, base.height, 3, base.data(), shown.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(WarpStart)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
