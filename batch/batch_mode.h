// The command-line batch mode: open a photo (or every photo of a list of
// pictures and folders), run whole-photo effects and decorations on it in
// order and save it by the output's extension, with a progress bar on the
// terminal and an exit code for every failure.
#pragma once

namespace ombrik {

enum BatchExit {
    kBatchOk = 0,
    kBatchUsage = 2,        // bad options, unknown or mouse-placed effect, bad threshold or quality
    kBatchOpenFailed = 3,   // the input could not be opened
    kBatchSaveFailed = 4,   // no encoder for the output, or the save failed; an output folder that cannot be written
    kBatchSomeFailed = 5,   // a run over many photos wrote some of them, not all
    kBatchCancelled = 130,  // stopped by Ctrl+C; nothing was written
};

// True when the arguments ask for the batch mode rather than the editor window:
// one of the batch options (--effect, --output, --list, ...). File names alone
// never do, so opening photos from a file manager cannot overwrite one.
bool IsBatchInvocation(int argc, char** argv);

// Runs the batch mode; returns the process exit code.
int RunBatchMode(int argc, char** argv);

} // namespace ombrik
