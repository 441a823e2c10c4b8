// Camera RAW: a 24-megapixel DNG (the bench photo through a made-up camera,
// 16-bit, with a 1620-pixel JPEG preview as cameras embed) opened as the
// window opens it: the first picture (the preview, upright and sized), the
// develop to the default threshold (LibRaw's half-size path) and the full-size
// develop.
#include "bench/bench_photo.h"

#include "files/pixel_image.h"
#include "files/raw_photo.h"
#include "tests/support/dng_writer.h"

#include <QImage>

#include <array>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace ombrik;

struct TempFile {
    std::string path;
    ~TempFile() { std::filesystem::remove(path); }
};

const std::string& Dng24Mp()
{
    static TempFile file{(std::filesystem::temp_directory_path()
                          / ("ombrik-bench-" + std::to_string(getpid()) + "-24mp.dng"))
                             .string()};
    static bool made = false;
    if (!made) {
        made = true;
        static const QImage scene = PixelBufferImage(bench::BenchPhoto())
                                        .scaled(6000, 4000, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                        .convertToFormat(QImage::Format_RGB888);
        static std::array<double, 256> linear{};
        for (int i = 0; i < 256; ++i)
            linear[size_t(i)] = test::SrgbToLinear(i / 255.0);
        test::DngRecipe recipe;
        recipe.width = 6000;
        recipe.height = 4000;
        recipe.previewWidth = 1620;
        recipe.scene = [](int x, int y) {
            const uchar* p = scene.constScanLine(y) + x * 3;
            return test::LinearRgb{linear[p[0]], linear[p[1]], linear[p[2]]};
        };
        if (!test::WriteDng(file.path, recipe))
            file.path.clear();
    }
    return file.path;
}

void RawFirstPicture24Mp(benchmark::State& state)
{
    const std::string& path = Dng24Mp();
    for (auto _ : state) {
        const LoadedPhoto first = LoadRawPreview(path);
        if (!first.ok || !first.preview)
            state.SkipWithError("no preview");
        benchmark::DoNotOptimize(first.photo.data());
    }
}

void RawDevelop24Mp(benchmark::State& state)
{
    const std::string& path = Dng24Mp();
    const int side = int(state.range(0));
    for (auto _ : state) {
        const LoadedPhoto developed = DevelopRaw(path, side ? kDefaultThresholdWidth : 0,
                                                 side ? kDefaultThresholdHeight : 0);
        if (!developed.ok)
            state.SkipWithError("not developed");
        benchmark::DoNotOptimize(developed.photo.data());
    }
}

} // namespace

BENCHMARK(RawFirstPicture24Mp)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)->UseRealTime();
// 1: to the default threshold (half-size); 0: full size.
BENCHMARK(RawDevelop24Mp)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)
    ->ReportAggregatesOnly(true)->UseRealTime();
