// The one way a photo is written to a file: encoded by its extension, with
// the photo's metadata, replacing the file atomically.
#pragma once

#include "engine/pixel_buffer.h"
#include "files/image_encoder.h"
#include "files/photo_metadata.h"

#include <string>
#include <vector>

namespace ombrik {

struct SaveOptions {
    int quality = ImageEncoder::kDefaultQuality;
    bool lossless = false;
    bool stripMetadata = false;
};

struct SaveResult {
    SaveStatus status = SaveStatus::Ok;
    std::vector<std::string> notes;  // what was left out (damaged metadata blocks)
    bool ok() const { return status == SaveStatus::Ok; }
};

SaveResult SavePhoto(const PixelBuffer& picture, const std::string& path, const PhotoMetadata* metadata,
                     const SaveOptions& options);

} // namespace ombrik
