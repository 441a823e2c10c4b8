#include "fuzz/fuzz_input.h"

#include "files/photo_loader.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace ombrik::fuzz {

namespace {
constexpr const char* kExtensions[] = {"jpg", "png", "bmp", "gif", "tif", "pcx", "pnm", "ppm",
                                       "tga", "ras", "wbmp", "ico", "wmf", "emf", "webp", "xyz"};
}

bool RunLoaderInput(const uint8_t* data, size_t size, const std::string& folder)
{
    if (size < 2)
        return false;
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/input." + kExtensions[data[0] % std::size(kExtensions)];
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 2), std::streamsize(size - 2));
    }
    // Small thresholds send most inputs through the codec library and its resampling.
    const int width = (data[1] & 1) ? 64 : kDefaultThresholdWidth;
    const int height = (data[1] & 1) ? 48 : kDefaultThresholdHeight;
    const LoadedPhoto loaded = LoadPhoto(path, width, height);
    if (loaded.ok && (loaded.photo.width % 4 != 0 || loaded.photo.height % 4 != 0 ||
                      loaded.photo.byteCount() != size_t(loaded.photo.width) * loaded.photo.height * 3))
        __builtin_trap();  // a loaded photo must keep the loader's promises
    std::filesystem::remove(path);
    return loaded.ok;
}

} // namespace ombrik::fuzz
