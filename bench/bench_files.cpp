// Opening and saving photos: a 1600 × 1200 JPEG read as it stands, a 4000 × 3000
// JPEG downsized on open, and a 1600 × 1200 JPEG written at quality 90.
#include "bench/bench_photo.h"

#include "files/image_encoder.h"
#include "files/photo_loader.h"

#include <QImage>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace ombrik;

std::string BenchFile(const std::string& name)
{
    return (std::filesystem::temp_directory_path() / ("ombrik-bench-" + std::to_string(getpid()) + "-" + name)).string();
}

// The bench photo as a JPEG file, optionally scaled first; removed at exit.
const std::string& JpegFile(int width, int height)
{
    struct File {
        std::string path;
        ~File() { std::filesystem::remove(path); }
    };
    static File small{BenchFile("1600.jpg")};
    static File large{BenchFile("4000.jpg")};
    File& file = width == bench::kBenchWidth ? small : large;
    if (!std::filesystem::exists(file.path)) {
        QImage image = PixelBufferImage(bench::BenchPhoto());
        if (width != image.width())
            image = image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        image.save(QString::fromStdString(file.path), "JPEG", 90);
    }
    return file.path;
}

void LoadJpeg(benchmark::State& state, int width, int height)
{
    const std::string& path = JpegFile(width, height);
    for (auto _ : state) {
        LoadedPhoto loaded = LoadPhoto(path);
        if (!loaded.ok)
            state.SkipWithError(loaded.error.c_str());
        benchmark::DoNotOptimize(loaded.photo.data());
    }
}

void OpenJpeg1600x1200(benchmark::State& state) { LoadJpeg(state, 1600, 1200); }
void OpenJpeg4000x3000Downsized(benchmark::State& state) { LoadJpeg(state, 4000, 3000); }

void SaveJpeg1600x1200ToMemory(benchmark::State& state)
{
    const ImageEncoder encoder("photo.jpg");
    QByteArray bytes;
    for (auto _ : state) {
        encoder.saveToStream(bench::BenchPhoto(), bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
}

void SaveJpeg1600x1200ToFile(benchmark::State& state)
{
    const std::string path = BenchFile("save.jpg");
    const ImageEncoder encoder(path);
    for (auto _ : state)
        if (encoder.saveToFile(bench::BenchPhoto(), path) != SaveStatus::Ok)
            state.SkipWithError("save failed");
    std::filesystem::remove(path);
}

} // namespace

BENCHMARK(OpenJpeg1600x1200)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(OpenJpeg4000x3000Downsized)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SaveJpeg1600x1200ToMemory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SaveJpeg1600x1200ToFile)->Unit(benchmark::kMillisecond)->UseRealTime();
