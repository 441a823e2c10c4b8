// Raw CMYK pixels of a JPEG or TIFF file. Qt's readers and the codec library
// turn CMYK into RGB with a plain formula that ignores the file's colour
// profile; the loader reads the inks again here and converts them through the
// profile instead.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ombrik {

struct CmykPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // 4 bytes a pixel: C, M, Y, K, 0 = no ink
    std::string error;
};

// Reads an 8-bit CMYK (or YCCK) JPEG, or an 8-bit CMYK TIFF in strips, in
// its stored orientation. A JPEG may be decoded at 1/2, 1/4 or 1/8 scale as
// long as it stays at least `atLeastWidth` × `atLeastHeight` (0: full size).
// False with `error` set for anything else, or over `maxPixels`. With
// `sizeOnly` only the full size is read (no pixels).
bool ReadCmykPixels(const std::string& path, int64_t maxPixels, int atLeastWidth, int atLeastHeight,
                    CmykPicture& out, bool sizeOnly = false);

} // namespace ombrik
