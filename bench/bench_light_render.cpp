// The placed lights and flares on a 1600 × 1200 photo, configured as the
// canvas does after a drag: lights pressed at a third of the picture with the
// view at the centre, flares at the centre with a radius of 1/8 of the diagonal.
// CPU time is that of the whole process, both row threads included.
#include "bench/bench_photo.h"

#include "light/lens_flare_renderer.h"
#include "light/lighting_renderer.h"
#include "light/nova_renderer.h"

#include <cmath>

using namespace ombrik;
using ombrik::bench::BenchPhoto;

namespace {

constexpr int kW = bench::kBenchWidth, kH = bench::kBenchHeight;
const int kFlareRadius = int(std::hypot(kW, kH) / 8); // 250

void Lighting(benchmark::State& state, LightingPreset preset)
{
    const PixelBuffer& src = BenchPhoto();
    PixelBuffer dst(src.width, src.height, 3);
    for (auto _ : state) {
        LightingRenderer r;
        r.reset();
        r.setSize(kW, kH, 3);
        r.applyPreset(preset);
        r.setLightColour(255, 255, 255);
        if (preset == LightingPreset::Spotlight) {
            r.setSpotDirection(kW / 3, kH / 3, kW / 2, kH / 2);
            r.setSpotViewpoint(kW / 3, kH / 3);
        } else {
            r.setLightPosition(kW / 3, kH / 3, kW / 2, kH / 2);
            r.setNearViewpoint(kW / 3, kH / 3);
        }
        r.render(src, dst);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
}

void Nova(benchmark::State& state, NovaStyle style, uint32_t colour)
{
    const PixelBuffer& src = BenchPhoto();
    PixelBuffer dst(src.width, src.height, 3);
    for (auto _ : state) {
        NovaRenderer r;
        r.reset();
        r.setSize(kW, kH, 3);
        r.setColour(colour);
        r.setCentre(kW / 2, kH / 2);
        r.setRadius(kFlareRadius);
        r.selectStyle(style);
        r.render(src, dst);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
}

void LightSpotlight(benchmark::State& state) { Lighting(state, LightingPreset::Spotlight); }
void LightPointLight(benchmark::State& state) { Lighting(state, LightingPreset::PointLight); }
void LightRadialFlare(benchmark::State& state) { Nova(state, NovaStyle::RadialFlare, 0xffffff); }
void LightMagicFlare(benchmark::State& state) { Nova(state, NovaStyle::MagicFlare, 0xff0000); }

void LightLensFlare(benchmark::State& state)
{
    const PixelBuffer& src = BenchPhoto();
    PixelBuffer dst(src.width, src.height, 3);
    for (auto _ : state) {
        LensFlareRenderer r;
        r.reset();
        r.setSize(kW, kH, 3);
        r.setCentre(kW / 2, kH / 2);
        r.setFlareSize(kFlareRadius);
        r.setColour(2828031);
        r.render(src, dst);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(LightSpotlight)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(LightPointLight)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(LightRadialFlare)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(LightMagicFlare)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(LightLensFlare)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
