// The heal fill: a 40 px spot and a 300 × 200 area on the 1600 × 1200 photo,
// and a 600 × 400 area on a 24-megapixel photo (medians of five runs).
#include "bench/bench_photo.h"
#include "heal/heal_fill.h"
#include "tests/support/photo_fixture.h"

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

} // namespace

BENCHMARK(HealSpot40)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(HealArea300x200)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(HealArea600x400On24MP)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5)
    ->ReportAggregatesOnly(true);
