// How an opened file stored its picture: the quality of a JPEG, estimated
// from its quantisation tables, and whether the file was lossless. A plain
// Save uses them to write the photo back as it came.
#pragma once

#include "files/photo_metadata.h"

#include <optional>
#include <string>

namespace ombrik {

// The quality (1..100) whose standard scaled luminance table comes closest
// to the JPEG's own; exact for files written with the standard tables.
// None when the file's header cannot be read.
std::optional<int> EstimateJpegQuality(const std::string& path);

// True for a WebP file whose picture is stored without loss (VP8L).
bool IsLosslessWebp(const std::string& path);

// Fills metadata.sourceQuality and metadata.sourceLossless for a file the
// loader decoded as `format` (the decoder's lower-case name: "jpeg", "png",
// "webp", "tiff", ...). The metadata's EXIF must already be read (a TIFF
// with JPEG compression is lossy).
void NoteSourceEncoding(const std::string& path, const std::string& format, PhotoMetadata& metadata);

} // namespace ombrik
