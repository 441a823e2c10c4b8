// Crop, turns, flips, straighten and resize on the 1600 × 1200 photo.
#include "bench/bench_photo.h"
#include "engine/geometry.h"

using namespace ombrik;

static void GeometryRotate90(benchmark::State& state)
{
    const PixelBuffer& photo = bench::BenchPhoto();
    for (auto _ : state)
        benchmark::DoNotOptimize(RotateQuarterTurns(photo, 1));
}
BENCHMARK(GeometryRotate90)->Unit(benchmark::kMillisecond);

static void GeometryFlipHorizontal(benchmark::State& state)
{
    const PixelBuffer& photo = bench::BenchPhoto();
    for (auto _ : state)
        benchmark::DoNotOptimize(FlipPixels(photo, true));
}
BENCHMARK(GeometryFlipHorizontal)->Unit(benchmark::kMillisecond);

static void GeometryFlipVertical(benchmark::State& state)
{
    const PixelBuffer& photo = bench::BenchPhoto();
    for (auto _ : state)
        benchmark::DoNotOptimize(FlipPixels(photo, false));
}
BENCHMARK(GeometryFlipVertical)->Unit(benchmark::kMillisecond);

// One frame of the level mode's live preview at full size (the canvas turns a
// copy at its size on screen, never more than the photo).
static void GeometryStraightenPreviewFrame(benchmark::State& state)
{
    const PixelBuffer& photo = bench::BenchPhoto();
    double angle = 3.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RotatePixels(photo, angle, photo.width, photo.height, Interpolation::Bilinear, 60));
        angle += 0.1;
    }
}
BENCHMARK(GeometryStraightenPreviewFrame)->Unit(benchmark::kMillisecond);

static void GeometryStraightenApplied(benchmark::State& state)
{
    const PixelBuffer& photo = bench::BenchPhoto();
    for (auto _ : state)
        benchmark::DoNotOptimize(StraightenPixels(photo, 3.7));
}
BENCHMARK(GeometryStraightenApplied)->Unit(benchmark::kMillisecond);

static void GeometryResizeTo800x600(benchmark::State& state)
{
    const PixelBuffer& photo = bench::BenchPhoto();
    for (auto _ : state)
        benchmark::DoNotOptimize(ResizeLanczos3(photo, 800, 600));
}
BENCHMARK(GeometryResizeTo800x600)->Unit(benchmark::kMillisecond);

static void GeometryCrop(benchmark::State& state)
{
    const PixelBuffer& photo = bench::BenchPhoto();
    for (auto _ : state)
        benchmark::DoNotOptimize(CropPixels(photo, 100, 100, 1200, 800));
}
BENCHMARK(GeometryCrop)->Unit(benchmark::kMillisecond);
