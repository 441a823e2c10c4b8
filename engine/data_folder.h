// The program's data folder: "<folder of the executable>/Data/", created when
// missing. Where it cannot be created or written (an installed program in a
// read-only prefix), the per-user data folder "<XDG data home>/ombrik/Data/" is
// used instead. OMBRIK_DATA_DIR overrides both (tests, portable setups).
#pragma once

#include <string>

namespace ombrik {

// Returns the folder path with a trailing '/', creating the folder if needed.
// Returns an empty string only when no candidate folder could be created.
std::string DataFolderPath();

// The folder that holds the running executable, with a trailing '/'.
std::string ExecutableFolder();

} // namespace ombrik
