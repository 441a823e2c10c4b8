// Every test process runs in a profile of its own: fresh settings, data,
// state, cache and runtime folders, a private temporary folder (where Qt puts
// local sockets and lock files) and a unique single-instance name. Programs a
// test starts inherit them. Nothing the user has changes a result, and
// nothing is left in the user's folders.
#pragma once

#include <string>

namespace ombrik::test {

// Points HOME, the XDG folders, TMPDIR and OMBRIK_INSTANCE_NAME at a new
// temporary folder (removed at exit) and fixes the locale. Call first in main,
// before any Qt object exists. Returns the folder.
std::string UseOwnProfile();

// When OMBRIK_USED_FILES names a folder, the files this process had mapped
// (libraries, plug-ins, fonts, translations) at the end of each test are
// listed in a file there at exit, for the check that every package the tests
// use is installed by the set-up script. Call after UseOwnProfile, before
// RUN_ALL_TESTS.
void RecordUsedFiles();

} // namespace ombrik::test
