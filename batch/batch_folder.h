// The batch over many photos: inputs (pictures and folders) walked into a
// list of photos, each written into one output folder under its own name, on
// several jobs at once, with one progress bar and a closing summary.
#pragma once

#include "batch/batch_steps.h"
#include "files/photo_metadata.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ombrik {

struct FolderSettings {
    std::string outputDir;            // empty: the single-file form
    std::vector<std::string> inputs;  // pictures and folders
    bool recursive = false;
    std::string format;               // output extension without the dot; empty keeps the input's
    std::string suffix;               // added to each output name before the extension
    bool overwrite = false;
    int jobs = 0;                     // 0: one per core
};

// Reads the folder option at argv[i] and its value: how many arguments it
// used, 0 when argv[i] is none of them, -1 (with `error`) for a bad value.
int ParseFolderArgument(int argc, char** argv, int i, FolderSettings& settings, std::string& error);

extern const char* const kFolderUsage;

// One photo of the batch.
struct BatchItem {
    std::string input;
    std::string output;
};

// Everything the folder run needs besides the steps.
struct FolderRun {
    FolderSettings settings;
    int thresholdWidth = 0;
    int thresholdHeight = 0;
    int quality = 90;
    bool lossless = false;       // WebP and JPEG XL
    bool stripMetadata = false;  // no camera, date or location details
    uint32_t seed = 0;
};

// True when a picture can be written with this extension (no dot).
bool CanSaveExtension(const std::string& extension);

// Saves through the editor's encoders or, for formats they do not cover
// (WebP, ...), through Qt's writer; the write is atomic either way. Returns ""
// or the reason. The opened file's metadata goes with the picture (corrected,
// or left out with `strip`) where the format holds it.
std::string SavePicture(const PixelBuffer& picture, const std::string& path, int quality, bool lossless = false,
                        const PhotoMetadata* metadata = nullptr, bool strip = false);

// Runs the whole batch and returns the process exit code: 0 when every photo
// was written, 5 when any failed or was skipped, 2 or 4 for problems found
// before any work.
int RunFolderBatch(const FolderRun& run, const std::vector<BatchStep>& steps);

} // namespace ombrik
