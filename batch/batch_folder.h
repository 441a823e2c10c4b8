// The batch over many photos: inputs (pictures and folders) walked into a
// list of photos (in folders, the files whose extension names a format the
// loader opens), each written into one output folder under its own name, on
// several jobs at once, with one progress bar and a closing summary.
#pragma once

#include "batch/batch_steps.h"
#include "files/photo_saver.h"

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
    SaveOptions save;  // every photo is saved with the opened file's metadata
    uint32_t seed = 0;
};

// Runs the whole batch and returns the process exit code: 0 when every photo
// was written (damaged inputs among them, each with a warning and counted in
// the summary), 5 when any failed or was skipped, 2 or 4 for problems found
// before any work.
int RunFolderBatch(const FolderRun& run, const std::vector<BatchStep>& steps);

} // namespace ombrik
