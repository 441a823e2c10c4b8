// Loads the bundled sample photos as 3-byte pixel buffers for tests and
// benchmarks.
#pragma once

#include "effects/effect_catalogue.h"
#include "engine/pixel_buffer.h"

#include <string>

namespace ombrik::test {

// The photo at resources/photos/<name>, optionally scaled (ignoring aspect) to
// width × height. Fails the calling test through an empty buffer on error.
PixelBuffer LoadSamplePhoto(const std::string& name, int width = 0, int height = 0);

// Any picture file as a 3-byte buffer (empty when it cannot be read).
PixelBuffer LoadSamplePhotoFromPath(const std::string& path, int width = 0, int height = 0);

// Runs a catalogue effect from `src` into a fresh zero-filled buffer of the
// same size through RunEffect, with the request's default colour and strength.
PixelBuffer RunCatalogueEffect(EffectId id, const PixelBuffer& src);

// Writes a buffer as a PNG, for looking at effect results by eye.
bool SavePixelBuffer(const PixelBuffer& buffer, const std::string& path);

} // namespace ombrik::test
