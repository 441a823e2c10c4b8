// A photo state kept by the undo history: the photo compressed as a JPEG file
// (quality 90) in memory.
#pragma once

#include "engine/pixel_buffer.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace ombrik {

struct PhotoSnapshot {
    std::vector<uint8_t> bytes;
    // Unique within the process, so that a journal can name the snapshot's
    // file while its index in the history shifts.
    uint64_t serial = 0;
    size_t size() const { return bytes.size(); }
};

// A fresh serial for a new snapshot.
uint64_t NextSnapshotSerial();

// Encodes a 3-byte photo; an empty snapshot when encoding fails.
PhotoSnapshot EncodeSnapshot(const PixelBuffer& photo);

// Decodes a snapshot into a 3-byte photo whose width is cut down to a multiple
// of 4; nothing when the bytes are not a picture.
std::optional<PixelBuffer> DecodeSnapshot(const PhotoSnapshot& snapshot);

} // namespace ombrik
