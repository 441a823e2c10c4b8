// The command-line batch mode: open a photo, run whole-photo effects on it in
// order and save it by the output's extension, with a progress bar on the
// terminal and an exit code for every failure.
#pragma once

namespace ombrik {

enum BatchExit {
    kBatchOk = 0,
    kBatchUsage = 2,        // bad options, unknown effect, bad threshold or quality
    kBatchOpenFailed = 3,   // the input could not be opened
    kBatchSaveFailed = 4,   // no encoder for the output, or the save failed
    kBatchCancelled = 130,  // stopped by Ctrl+C; nothing was written
};

// True when the arguments ask for the batch mode rather than the editor window:
// any option, or two file names (input and output).
bool IsBatchInvocation(int argc, char** argv);

// Runs the batch mode; returns the process exit code.
int RunBatchMode(int argc, char** argv);

} // namespace ombrik
