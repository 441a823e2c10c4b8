// libFuzzer target for the HEIF and JPEG XL decoders, the metadata reading,
// correcting and writing, and the colour profile conversion: the first byte
// picks the path, the rest is the data. Every input must be decoded, written
// or refused cleanly.
//
//   cmake --build build-fuzz --target fuzz_modern_formats
//   ./build-fuzz/fuzz/fuzz_modern_formats fuzz/corpus-modern -max_total_time=600 -rss_limit_mb=2048
#include "fuzz/fuzz_input.h"

#include <QGuiApplication>

#include <string>
#include <unistd.h>

// libdav1d (the AV1 decoder under libheif) keeps a small block when a damaged
// AVIF stops it mid-frame, and libheif an error text for some damaged headers: the library's leak, not one to stop fuzzing for.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdav1d\nleak:libheif\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string folder = "/tmp/ombrik-fuzz-modern-" + std::to_string(getpid());
    ombrik::fuzz::RunModernInput(data, size, folder);
    return 0;
}
