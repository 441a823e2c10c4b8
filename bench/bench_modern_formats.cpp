// Today's photo formats, metadata and colour profiles: opening a 12-megapixel
// HEIC with downsizing beside the reference tool's decode of the same file to
// PNG, the conversion of a 1600 × 1200 Display P3 photo to sRGB, and reading
// plus correcting and writing a camera's metadata for one save.
#include "bench/bench_photo.h"

#include "files/colour_profile.h"
#include "files/image_encoder.h"
#include "files/photo_loader.h"
#include "files/photo_metadata.h"

#include <QImage>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace ombrik;

std::string BenchFile(const std::string& name)
{
    return (std::filesystem::temp_directory_path() / ("ombrik-bench-" + std::to_string(getpid()) + "-" + name)).string();
}

struct File {
    std::string path;
    ~File() { std::filesystem::remove(path); }
};

// The bench photo scaled to 4000 × 3000 and encoded by the reference HEIC
// encoder (made once; the encoding takes a while).
const std::string& Heic12Mp()
{
    static File png{BenchFile("12mp.png")};
    static File heic{BenchFile("12mp.heic")};
    if (!std::filesystem::exists(heic.path)) {
        QImage image = PixelBufferImage(bench::BenchPhoto()).scaled(4000, 3000, Qt::IgnoreAspectRatio,
                                                                    Qt::SmoothTransformation);
        image.save(QString::fromStdString(png.path), "PNG", 100);
        const std::string command = "heif-enc -q 85 -o '" + heic.path + "' '" + png.path + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            heic.path.clear();
    }
    return heic.path;
}

void OpenHeic12MpDownsized(benchmark::State& state)
{
    const std::string& path = Heic12Mp();
    if (path.empty()) {
        state.SkipWithError("heif-enc is missing");
        return;
    }
    for (auto _ : state) {
        LoadedPhoto loaded = LoadPhoto(path);
        if (!loaded.ok)
            state.SkipWithError(loaded.error.c_str());
        benchmark::DoNotOptimize(loaded.photo.data());
    }
}

// The reference: the libheif command-line tool decoding the same file to PNG.
void HeifConvertToPng12Mp(benchmark::State& state)
{
    const std::string& path = Heic12Mp();
    if (path.empty()) {
        state.SkipWithError("heif-enc is missing");
        return;
    }
    const File out{BenchFile("heif-convert.png")};
    const std::string command = "heif-convert '" + path + "' '" + out.path + "' >/dev/null 2>&1";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("heif-convert failed");
}

void ConvertDisplayP3ToSrgb1600x1200(benchmark::State& state)
{
    const std::vector<uint8_t> p3 = ProfileFromCodedColour(12, 13);
    PixelBuffer photo = bench::BenchPhoto();
    std::string note;
    for (auto _ : state) {
        state.PauseTiming();
        photo = bench::BenchPhoto();
        state.ResumeTiming();
        if (!ConvertToSrgb(photo, p3, note))
            state.SkipWithError(note.c_str());
        benchmark::DoNotOptimize(photo.data());
    }
}

// A camera JPEG's metadata read from the file, corrected and written into the
// encoded picture of one save (the encoding itself is outside the timing).
void MetadataReadAndWritePerSave(benchmark::State& state)
{
    static File source{BenchFile("camera.jpg")};
    QByteArray encoded;
    ImageEncoder("x.jpg").saveToStream(bench::BenchPhoto(), encoded);
    const std::vector<uint8_t> plain(encoded.begin(), encoded.end());
    {
        // The fields a camera writes, a GPS position, a thumbnail, keywords.
        Exiv2::ExifData exif;
        exif["Exif.Image.Make"] = "Kestrel";
        exif["Exif.Image.Model"] = "Kestrel K7";
        exif["Exif.Image.Orientation"] = uint16_t(6);
        exif["Exif.Photo.DateTimeOriginal"] = "2021:05:06 07:08:09";
        exif["Exif.Photo.ExposureTime"] = Exiv2::URational(1, 250);
        exif["Exif.Photo.FNumber"] = Exiv2::URational(28, 10);
        exif["Exif.Photo.ISOSpeedRatings"] = uint16_t(200);
        exif["Exif.Photo.FocalLength"] = Exiv2::URational(50, 1);
        exif["Exif.Photo.LensModel"] = "50mm F1.8";
        exif["Exif.GPSInfo.GPSLatitudeRef"] = "N";
        exif["Exif.GPSInfo.GPSLatitude"] = "48/1 51/1 2400/100";
        exif["Exif.GPSInfo.GPSLongitudeRef"] = "E";
        exif["Exif.GPSInfo.GPSLongitude"] = "2/1 21/1 300/100";
        QByteArray thumb;
        ImageEncoder("t.jpg").saveToStream(PixelBuffer(160, 120, 3), thumb);
        Exiv2::ExifThumb(exif).setJpegThumbnail(reinterpret_cast<const Exiv2::byte*>(thumb.constData()),
                                                long(thumb.size()));
        Exiv2::Blob blob;
        Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
        Exiv2::XmpData xmp;
        xmp["Xmp.dc.subject"] = "harbour";
        xmp["Xmp.dc.subject"] = "boats";
        xmp["Xmp.dc.creator"] = "A. Photographer";
        SaveMetadata blocks;
        blocks.exif.assign(blob.begin(), blob.end());
        Exiv2::XmpParser::encode(blocks.xmp, xmp);
        std::vector<uint8_t> file = plain;
        std::vector<std::string> notes;
        EmbedMetadata(file, blocks, notes);
        FILE* f = std::fopen(source.path.c_str(), "wb");
        std::fwrite(file.data(), 1, file.size(), f);
        std::fclose(f);
    }
    for (auto _ : state) {
        const PhotoMetadata metadata = ReadPhotoMetadata(source.path);
        const SaveMetadata blocks = CorrectedMetadata(metadata, 1600, 1200);
        std::vector<uint8_t> file = plain;
        std::vector<std::string> notes;
        EmbedMetadata(file, blocks, notes);
        if (metadata.exif.empty() || !notes.empty())
            state.SkipWithError("the metadata did not go through");
        benchmark::DoNotOptimize(file.data());
    }
}

} // namespace

BENCHMARK(OpenHeic12MpDownsized)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(HeifConvertToPng12Mp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ConvertDisplayP3ToSrgb1600x1200)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MetadataReadAndWritePerSave)->Unit(benchmark::kMillisecond)->UseRealTime();
