// The program's data folder: "<folder of the executable>/Data/" when that
// folder exists and can be written (the build tree, a portable copy).
// Otherwise (an installed program) the per-user data folder
// "<XDG data home>/ombrik/Data/", created when missing. OMBRIK_DATA_DIR
// overrides both (tests, portable setups).
#pragma once

#include <string>

namespace ombrik {

// Returns the folder path with a trailing '/', creating the folder if needed.
// Returns an empty string only when no candidate folder could be created.
std::string DataFolderPath();

// The folder that holds the running executable, with a trailing '/'.
std::string ExecutableFolder();

} // namespace ombrik
