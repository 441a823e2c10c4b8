// libFuzzer target for the photo frame library readers: the input is read as a
// "pframes" file (entries 0 to 3, each decoded) and as a "pframes_t" file. Any
// crash, sanitizer report or result of the wrong shape is a finding.
//
//   cmake --build build-fuzz --target fuzz_frame_library
//   ./build-fuzz/fuzz/fuzz_frame_library -max_total_time=600 -rss_limit_mb=1024
#include "canvas/frame_library.h"

#include <QGuiApplication>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Qt's image plugins need an application object.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace ombrik;
    for (int index = 0; index < 4; ++index) {
        MemorySource source(data, size);
        const auto bytes = ReadFrameEntry(source, index);
        if (!bytes)
            continue;
        if (bytes->empty() || bytes->size() > size)
            std::abort();
        if (const auto strip = DecodeFramePicture(*bytes)) {
            if (strip->width <= 0 || strip->width % 4 != 0 || strip->height <= 0 || strip->width > kMaxFrameSide
                || strip->pixels.size() != size_t(strip->width) * size_t(strip->height) * 3)
                std::abort();
        }
    }
    MemorySource source(data, size);
    const Thumbnails thumbs = ReadThumbnails(source);
    size_t total = 0;
    for (const PixelBuffer& t : thumbs.images) {
        if (t.pixels.size() != size_t(t.width) * size_t(t.height) * 3)
            std::abort();
        total += t.pixels.size();
    }
    if (total > size)
        std::abort();
    return 0;
}
