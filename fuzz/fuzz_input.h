// One fuzz input for the photo loader, shared by the fuzzer and the corpus
// replay in the tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ombrik::fuzz {

// Writes the input's file under `folder` and loads it; returns whether it loaded.
bool RunLoaderInput(const uint8_t* data, size_t size, const std::string& folder);

// One input for the new formats, the metadata and the colour profile paths:
// the first byte picks the path (HEIF, JPEG XL, metadata of a file, EXIF/XMP
// blocks through correction and writing, an ICC profile), the rest is the data.
// Returns whether the path accepted the data.
bool RunModernInput(const uint8_t* data, size_t size, const std::string& folder);

} // namespace ombrik::fuzz
