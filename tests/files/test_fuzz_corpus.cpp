#include "fuzz/fuzz_input.h"
#include "tests/files/files_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace ombrik {
namespace {

// Every input the loader fuzzer keeps loads or fails cleanly; the seeds made
// from whole pictures load.
TEST(FuzzCorpus, ReplaysWithoutCrashing)
{
    test::TempFolder folder;
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(OMBRIK_FUZZ_CORPUS)) {
        const std::string bytes = test::ReadFile(entry.path().string());
        const auto start = std::chrono::steady_clock::now();
        const bool loaded = fuzz::RunLoaderInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                                 folder.root().string());
        const std::string name = entry.path().filename().string();
        // Hostile input is refused quickly (one once kept the metadata reader
        // looping in a video parser for minutes).
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 10.0) << name;
        for (const char* whole : {"jpg-0", "png-0", "bmp-0", "gif-0", "tif-0", "pcx-1", "ppm-1", "ras-1", "tga-0"})
            if (name == whole) {
                EXPECT_TRUE(loaded) << name;
            }
        ++inputs;
    }
    EXPECT_GT(inputs, 30);
}

// The new formats', metadata and profile fuzzer's inputs (its crashers among
// them) are decoded, written or refused cleanly; its seeds made from whole
// files are accepted.
TEST(FuzzCorpus, ModernFormatsReplayWithoutCrashing)
{
    test::TempFolder folder;
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(OMBRIK_FUZZ_CORPUS_MODERN)) {
        const std::string bytes = test::ReadFile(entry.path().string());
        const bool accepted = fuzz::RunModernInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                                   folder.root().string());
        const std::string name = entry.path().filename().string();
        if (name.rfind("seed-", 0) == 0) {
            EXPECT_TRUE(accepted) << name;
        }
        ++inputs;
    }
    EXPECT_GT(inputs, 5);
}

} // namespace
} // namespace ombrik
