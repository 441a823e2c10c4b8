// Camera RAW files (DNG, CR2, CR3, NEF, ARW, RAF, ORF, RW2, PEF, ...) through
// LibRaw. Two steps: the first picture (the camera's embedded preview, or a
// half-size decode when it has none), quick enough to show at once, and the
// develop: camera white balance, the camera's matrix to sRGB, highlights
// clipped to white, AHD demosaic, sRGB's own curve and no automatic
// brightening, turned upright by the file's orientation. A RAW is never
// written.
#pragma once

#include "files/photo_loader.h"

#include <atomic>
#include <string>

namespace ombrik {

// Whether the file holds a camera RAW picture. Its content decides: the
// signatures of RAF, X3F, CR3, ORF, RW2, IIQ and CR2, or a TIFF-based file
// whose first directories carry a DNG version or a colour-filter picture, or
// a camera maker when the file is not named as a TIFF. A file with a RAW
// extension counts too (`byContent`, when given, tells which): one that
// LibRaw cannot read is then left to the other decoders.
bool IsRawPhoto(const std::string& path, bool* byContent = nullptr);

// The first picture of a RAW file, upright and sized as the developed photo
// will be (so it can stand in for it): the embedded preview, or a half-size
// decode when there is no usable preview. `preview` is set when it is only a
// stand-in; a half-size decode that is already the developed photo (the
// threshold is at most half the sensor) is not. The metadata is complete.
LoadedPhoto LoadRawPreview(const std::string& path, int thresholdWidth = kDefaultThresholdWidth,
                           int thresholdHeight = kDefaultThresholdHeight);

// Develops the RAW data to an 8-bit sRGB photo for the load threshold: LibRaw's
// half-size decode when the threshold is at most half the sensor size, the full
// AHD develop otherwise. `cancel`, when set, is polled between LibRaw's stages:
// the result is then not ok with `cancelled` set. When the RAW data cannot be
// developed but the embedded preview can be read, the preview is the result,
// with a note saying so.
LoadedPhoto DevelopRaw(const std::string& path, int thresholdWidth = kDefaultThresholdWidth,
                       int thresholdHeight = kDefaultThresholdHeight, const std::atomic<bool>* cancel = nullptr);

} // namespace ombrik
