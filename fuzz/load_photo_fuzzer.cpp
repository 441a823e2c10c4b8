// libFuzzer target for the photo loader: the first byte picks the file name's
// extension (and so which decoders are asked), the second the load threshold,
// the rest is the file. Every input must load or fail cleanly.
#include "fuzz/fuzz_input.h"
#include "files/photo_loader.h"

#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string folder = "/tmp/ombrik-fuzz-" + std::to_string(getpid());
    ombrik::fuzz::RunLoaderInput(data, size, folder);
    return 0;
}
