#include "engine/data_folder.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <unistd.h>

#include <vector>

namespace ombrik {

std::string ExecutableFolder()
{
    std::vector<char> buf(4096);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0)
            return std::string("./");
        if (size_t(n) < buf.size()) {
            std::string path(buf.data(), size_t(n));
            const auto slash = path.rfind('/');
            return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
        }
        buf.resize(buf.size() * 2);
    }
}

static bool UsableFolder(const std::string& folder)
{
    if (g_mkdir_with_parents(folder.c_str(), 0755) != 0)
        return false;
    return access(folder.c_str(), W_OK | X_OK) == 0;
}

static std::string WithSlash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

std::string DataFolderPath()
{
    if (const char* overridden = g_getenv("OMBRIK_DATA_DIR"); overridden && *overridden) {
        const std::string folder = WithSlash(overridden);
        if (UsableFolder(folder))
            return folder;
    }
    // The folder beside the executable only when it is already there (a build
    // tree or a portable copy); an installed program never writes next to its
    // executable, even when it could (run as root).
    const std::string beside = ExecutableFolder() + "Data/";
    if (g_file_test(beside.c_str(), G_FILE_TEST_IS_DIR) && UsableFolder(beside))
        return beside;
    const std::string perUser = WithSlash(std::string(g_get_user_data_dir()) + "/ombrik/Data");
    if (UsableFolder(perUser))
        return perUser;
    return std::string();
}

} // namespace ombrik
