// Brush and paper images for the brush-stroke painter: the PNM and .gbr
// loaders, the one-entry brush cache, and the six brush files the program
// writes into its data folder.
#pragma once

#include "artistic/paint_image.h"

#include <cstdio>
#include <string>

namespace ombrik {

// Largest side and pixel count the loaders accept; anything larger is treated
// as a corrupt header rather than allocated.
inline constexpr int kMaxBrushImageSide = 16384;
inline constexpr long long kMaxBrushImagePixels = 40LL * 1024 * 1024;

// Opens path for binary reading; when that fails, opens fallback instead (when
// given). Returns nullptr when neither opens.
FILE* OpenWithFallback(const char* path, const char* fallback);

// The display form of a path for messages, remembered for the life of the
// process.
const char* PathDisplayName(const char* path);

// Loads a binary PNM ("P5" grey or "P6" colour, largest value 255) or, for a
// path ending in ".gbr", a .gbr brush. Never fails toward the caller: on any
// error the message goes to the error stream and out becomes 10 × 10 black.
void ppm_load(const char* path, PaintImage& out, const char* fallback = nullptr);
void load_gimp_brush(const char* path, PaintImage& out, const char* fallback = nullptr);

// The one-entry brush cache: a null path empties the cache and leaves out
// alone; otherwise the image for path (loaded on a miss) is copied into out.
void BrushCacheGet(const char* path, PaintImage& out, const char* fallback = nullptr);

// Writes the six built-in brush images as "001.pnm" … "006.pnm" into folder
// (which ends with '/'), replacing what is there. Returns false when a file
// could not be written.
bool WriteBrushFiles(const std::string& folder);
// Writes only the brush files that are missing from folder.
bool EnsureBrushFiles(const std::string& folder);

// The built-in bytes of brush file n (1..6); size 0 for any other n.
const unsigned char* BuiltInBrushFile(int n, size_t* size);

} // namespace ombrik
