// libFuzzer target for the painter's brush and paper loaders: the input is
// written to a file and read both as a PNM and as a .gbr brush. Any crash,
// sanitizer report or result other than a proper image is a finding.
//
//   cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DOMBRIK_BUILD_TESTS=OFF -DOMBRIK_BUILD_BENCH=OFF
//   cmake --build build-fuzz --target fuzz_brush_loaders
//   ./build-fuzz/fuzz/fuzz_brush_loaders -max_total_time=600 -max_len=4096
#include "artistic/brush_resources.h"

#include <glib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string g_base;

void Check(const ombrik::PaintImage& image)
{
    if (image.width < 1 || image.height < 1 ||
        image.pixels.size() != size_t(image.width) * size_t(image.height) * 3)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_set_printerr_handler([](const gchar*) {});
    g_base = std::string(g_get_tmp_dir()) + "/ombrik-fuzz-" + std::to_string(getpid());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (const char* extension : {".pnm", ".gbr"}) {
        const std::string path = g_base + extension;
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f)
            return 0;
        std::fwrite(data, 1, size, f);
        std::fclose(f);
        ombrik::PaintImage image;
        ombrik::ppm_load(path.c_str(), image);
        Check(image);
        std::remove(path.c_str());
    }
    return 0;
}
