// The heal fill: a 40 px spot, a 300 × 200 area and a sagging wire 15 px
// thick right across the 1600 × 1200 photo; a 600 × 400 area and a wire 31 px
// thick across a 24-megapixel photo (medians of five runs).
#include "bench/bench_photo.h"
#include "heal/heal_fill.h"
#include "tests/support/photo_fixture.h"

#include <algorithm>
#include <vector>

namespace {

using ombrik::PixelBuffer;

std::vector<uint8_t> Ellipse(int w, int h, int cx, int cy, int rx, int ry)
{
    std::vector<uint8_t> m(size_t(w) * h, 0);
    for (int y = cy - ry; y <= cy + ry; ++y)
        for (int x = cx - rx; x <= cx + rx; ++x) {
            const double dx = double(x - cx) / rx, dy = double(y - cy) / ry;
            if (x >= 0 && y >= 0 && x < w && y < h && dx * dx + dy * dy <= 1.0)
                m[size_t(y) * w + x] = 1;
        }
    return m;
}

// A wire hanging across the whole width, `half` pixels either side of its line.
std::vector<uint8_t> Wire(int w, int h, int top, int sag, int half)
{
    std::vector<uint8_t> m(size_t(w) * h, 0);
    for (int x = 0; x < w; ++x) {
        const double u = 2.0 * x / (w - 1) - 1.0;
        const int centre = top + int(sag * (1.0 - u * u));
        for (int y = std::max(0, centre - half); y <= std::min(h - 1, centre + half); ++y)
            m[size_t(y) * w + x] = 1;
    }
    return m;
}

void RunHeal(benchmark::State& state, const PixelBuffer& photo, const std::vector<uint8_t>& mask)
{
    PixelBuffer out;
    for (auto _ : state) {
        const ombrik::HealOutcome outcome = ombrik::HealFill(photo, mask, out);
        benchmark::DoNotOptimize(out.pixels.data());
        if (outcome != ombrik::HealOutcome::Filled)
            state.SkipWithError("not filled");
    }
}

void HealSpot40(benchmark::State& state)
{
    const PixelBuffer& photo = ombrik::bench::BenchPhoto();
    RunHeal(state, photo, Ellipse(photo.width, photo.height, 1300, 260, 20, 20));
}

void HealArea300x200(benchmark::State& state)
{
    const PixelBuffer& photo = ombrik::bench::BenchPhoto();
    RunHeal(state, photo, Ellipse(photo.width, photo.height, 1250, 700, 150, 100));
}

void HealArea600x400On24MP(benchmark::State& state)
{
    static const PixelBuffer photo = ombrik::test::LoadSamplePhoto("coffee.png", 6000, 4000);
    RunHeal(state, photo, Ellipse(photo.width, photo.height, 4700, 2300, 300, 200));
}

void HealWire(benchmark::State& state)
{
    const PixelBuffer& photo = ombrik::bench::BenchPhoto();
    RunHeal(state, photo, Wire(photo.width, photo.height, 150, 120, 7));
}

void HealWireOn24MP(benchmark::State& state)
{
    static const PixelBuffer photo = ombrik::test::LoadSamplePhoto("coffee.png", 6000, 4000);
    RunHeal(state, photo, Wire(photo.width, photo.height, 500, 400, 15));
}

} // namespace

BENCHMARK(HealSpot40)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(HealArea300x200)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(HealArea600x400On24MP)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(HealWire)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(HealWireOn24MP)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5)
    ->ReportAggregatesOnly(true);
