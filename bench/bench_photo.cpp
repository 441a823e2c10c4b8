#include "bench/bench_photo.h"

#include "tests/support/photo_fixture.h"

#include <cstring>

namespace ombrik::bench {

const PixelBuffer& BenchPhoto()
{
    static const PixelBuffer photo = test::LoadSamplePhoto("coffee.png", kBenchWidth, kBenchHeight);
    return photo;
}

void RunEffectOnBenchPhoto(benchmark::State& state, EffectId id, bool zeroDestination)
{
    const PixelBuffer& src = BenchPhoto();
    PixelBuffer dst(src.width, src.height, 3);
    EffectRequest request;
    request.initialise();
    request.set(id, src.width, src.height, 3);
    for (auto _ : state) {
        if (zeroDestination) {
            state.PauseTiming();
            std::memset(dst.data(), 0, dst.byteCount());
            state.ResumeTiming();
        }
        request.RunEffect(src.data(), dst.data());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
}

} // namespace ombrik::bench
