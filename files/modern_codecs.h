// Decoders and encoders for today's photo formats that the codec library and
// Qt do not cover: HEIF/HEIC and AVIF through libheif, JPEG XL through libjxl,
// WebP output through libwebp. Decoders give the first (primary) image upright
// as 8-bit RGB with the file's colour description and metadata blocks;
// encoders take 3-byte blue, green, red rows and write sRGB.
#pragma once

#include "engine/pixel_buffer.h"
#include "files/photo_metadata.h"

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

namespace ombrik {

struct DecodedPicture {
    QImage image;            // Format_RGB888, upright
    PhotoMetadata metadata;  // icc (or a profile built from coded colour), exif, xmp, notes, sourceLossless
    std::string error;       // why decoding failed
};

// Decodes the primary image of a HEIF/HEIC/AVIF file in memory. Pictures
// larger than maxPixels (or a side over maxSide) are refused before decoding.
bool DecodeHeif(const uint8_t* data, size_t size, int64_t maxSide, int64_t maxPixels, DecodedPicture& out);

// Decodes the first frame of a JPEG XL file in memory, with the same limits.
bool DecodeJxl(const uint8_t* data, size_t size, int64_t maxSide, int64_t maxPixels, DecodedPicture& out);

// What an encoder writes beside the pixels.
struct EncodeExtras {
    int quality = 90;           // 0..100
    bool lossless = false;      // WebP and JPEG XL
    const SaveMetadata* metadata = nullptr;     // corrected blocks, or none
    const std::vector<uint8_t>* icc = nullptr;  // sRGB tag, or none
};

// Each returns false (out empty) when the library refuses the picture.
bool EncodeWebp(const PixelBuffer& picture, const EncodeExtras& extras, std::vector<uint8_t>& out);
bool EncodeAvif(const PixelBuffer& picture, const EncodeExtras& extras, std::vector<uint8_t>& out);
bool EncodeJxl(const PixelBuffer& picture, const EncodeExtras& extras, std::vector<uint8_t>& out);

} // namespace ombrik
