// The one way a photo is saved to a file, for the window's Save and Save As
// and both forms of the batch: encoded in the format of the path's extension
// (see picture_formats.h), with the opened file's metadata, written
// atomically (a failed save leaves any old file as it was).
#pragma once

#include "engine/pixel_buffer.h"
#include "files/image_encoder.h"
#include "files/photo_metadata.h"

#include <string>
#include <vector>

namespace ombrik {

struct SaveOptions {
    int quality = ImageEncoder::kDefaultQuality;  // lossy formats, 0..100
    bool lossless = false;                        // formats with a lossless choice (WebP, JPEG XL)
    bool stripMetadata = false;                   // no EXIF, XMP or IPTC (the sRGB tag stays)
};

struct SaveResult {
    SaveStatus status = SaveStatus::Ok;
    std::vector<std::string> notes;  // what was left out (damaged metadata blocks), for messages
    bool ok() const { return status == SaveStatus::Ok; }
};

// Saves `picture` (3 or 4 bytes per pixel) to `path`. `metadata` is the
// opened photo's, corrected to the saved picture; null writes none.
SaveResult SavePhoto(const PixelBuffer& picture, const std::string& path, const PhotoMetadata* metadata,
                     const SaveOptions& options);

} // namespace ombrik
