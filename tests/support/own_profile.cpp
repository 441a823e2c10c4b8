#include "tests/support/own_profile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <random>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace ombrik::test {

namespace {

std::string g_profile;
pid_t g_owner = 0;

void RemoveProfile()
{
    // Children that exit through atexit (a forked test) must not remove it.
    if (!g_profile.empty() && getpid() == g_owner) {
        std::error_code ec;
        std::filesystem::remove_all(g_profile, ec);
    }
}

// Collects the files mapped into the process after every test, since plug-ins
// and translators may be unloaded again before exit.
class UsedFiles : public testing::EmptyTestEventListener {
public:
    explicit UsedFiles(std::string out) : m_out(std::move(out)) {}
    void OnTestEnd(const testing::TestInfo&) override { collect(); }
    void OnTestProgramEnd(const testing::UnitTest&) override
    {
        collect();
        std::ofstream out(m_out);
        for (const std::string& f : m_files)
            out << f << '\n';
    }

private:
    void collect()
    {
        std::ifstream maps("/proc/self/maps");
        std::string line;
        while (std::getline(maps, line))
            if (const size_t slash = line.find(" /"); slash != std::string::npos)
                m_files.insert(line.substr(slash + 1));
    }
    std::string m_out;
    std::set<std::string> m_files;
};

} // namespace

void RecordUsedFiles()
{
    const char* folder = std::getenv("OMBRIK_USED_FILES");
    if (!folder || !*folder)
        return;
    const std::string out = std::string(folder) + "/" + std::to_string(getpid());
    testing::UnitTest::GetInstance()->listeners().Append(new UsedFiles(out));
}

std::string UseOwnProfile()
{
    if (!g_profile.empty())
        return g_profile;
    // The system's temporary folder, not an inherited TMPDIR of an enclosing
    // test (which may already be a profile of its own).
    std::string pattern = "/tmp/ombrik-test-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("ombrik tests: cannot make a temporary profile");
        std::exit(1);
    }
    g_profile = pattern;
    g_owner = getpid();
    std::atexit(RemoveProfile);

    const std::string home = g_profile + "/home";
    const std::pair<const char*, std::string> folders[] = {
        {"HOME", home},
        {"XDG_CONFIG_HOME", home + "/.config"},
        {"XDG_DATA_HOME", home + "/.local/share"},
        {"XDG_STATE_HOME", home + "/.local/state"},
        {"XDG_CACHE_HOME", home + "/.cache"},
        {"XDG_RUNTIME_DIR", g_profile + "/run"},
        {"TMPDIR", g_profile + "/tmp"},
    };
    for (const auto& [name, path] : folders) {
        std::filesystem::create_directories(path);
        setenv(name, path.c_str(), 1);
    }
    chmod((g_profile + "/run").c_str(), 0700);

    std::random_device random;
    const std::string instance = "ombrik-test-" + std::to_string(getpid()) + "-" + std::to_string(random());
    setenv("OMBRIK_INSTANCE_NAME", instance.c_str(), 1);
    // The user's language, scale, data folder and test hooks of an outer run
    // must not reach the tests.
    setenv("LC_ALL", "C.UTF-8", 1);
    for (const char* name : {"LANGUAGE", "LANG", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "OMBRIK_DATA_DIR",
                             "OMBRIK_RECOVERY_ANSWER", "OMBRIK_JOURNAL_HALT_AT", "XDG_CONFIG_DIRS", "XDG_DATA_DIRS"})
        unsetenv(name);
    return g_profile;
}

} // namespace ombrik::test
