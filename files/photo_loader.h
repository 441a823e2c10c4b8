// Opening a picture file as the canvas photo: Qt's image reader first, the codec
// library for what Qt cannot read and for photos over the load threshold (which
// it downsizes), then a cut to multiples of 4 in both directions.
#pragma once

#include "engine/pixel_buffer.h"
#include "files/photo_metadata.h"

#include <cstdint>
#include <string>

namespace ombrik {

inline constexpr int kDefaultThresholdWidth = 1600;
inline constexpr int kDefaultThresholdHeight = 1200;

enum class PhotoDecoder { None, QtImageIO, CodecLibrary, Heif, JpegXl, LibRaw };

struct LoadedPhoto {
    bool ok = false;
    PixelBuffer photo;                       // 3 bytes per pixel, sizes multiples of 4
    PhotoDecoder decoder = PhotoDecoder::None;
    int32_t codecFormat = 0;                 // set when the codec library decoded it
    std::string error;                       // why it failed, for messages
    // Opened, but the decoder met truncated or corrupt data: part of the
    // picture may be missing (filled in by the decoder).
    bool damaged = false;
    PhotoMetadata metadata;                  // EXIF/XMP/IPTC and profile, for the save
    // The picture's size in the file, upright (after its orientation), and
    // how the photo differs from it. Set whenever the file was decoded.
    int fileWidth = 0;
    int fileHeight = 0;
    bool downsized = false;        // resampled to the load threshold
    bool differsFromFile = false;  // downsized, or cut to multiples of 4: saving it over the file loses pixels
    // A camera RAW file's embedded preview (or half-size decode) standing in
    // for the developed photo, which is still to come (raw_photo.h).
    bool preview = false;
    bool cancelled = false;  // a develop stopped on request
};

// Loads `path`. A := the larger, B := the smaller of the threshold values; a
// photo over A × B pixels is resampled. A threshold value of 0 or less turns
// downsizing off. HEIF/HEIC, AVIF and JPEG XL files (known by their content
// whatever their name) go to their own decoders; the format table's row of
// the extension names Qt's reader to try first and keeps metafiles from it.
// Camera RAW files (known by content or extension) are developed by LibRaw
// (raw_photo.h); one it cannot read goes on to the other decoders by content.
// The photo opens upright: by the EXIF orientation (JPEG, TIFF, PNG, WebP), or
// by the format's own orientation, which takes precedence over EXIF's (HEIF,
// JPEG XL). The file's metadata is read beside the pixels, with how the file
// stored its picture (metadata.sourceQuality, sourceLossless), and a photo
// with an embedded colour profile is converted to sRGB.
LoadedPhoto LoadPhoto(const std::string& path, int thresholdWidth = kDefaultThresholdWidth,
                      int thresholdHeight = kDefaultThresholdHeight);

// The size a photo of width × height is resampled to for the threshold A × B
// (A ≥ B): landscape photos keep B rows unless wider than A:B, portrait and
// square photos get A rows.
void DownsizedSize(uint32_t width, uint32_t height, uint32_t a, uint32_t b, uint32_t& newWidth,
                   uint32_t& newHeight);

} // namespace ombrik
