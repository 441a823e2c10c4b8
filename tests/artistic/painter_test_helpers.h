// Helpers shared by the painter tests: capturing g_printerr and a temporary
// folder for brush files.
#pragma once

#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <string>

namespace ombrik::test {

// Collects everything written with g_printerr while it lives.
class PrintErrCapture {
public:
    PrintErrCapture() { m_previous = g_set_printerr_handler(&PrintErrCapture::Collect); s_text.clear(); }
    ~PrintErrCapture() { g_set_printerr_handler(m_previous); }
    const std::string& text() const { return s_text; }

private:
    static void Collect(const gchar* text) { s_text += text; }
    static inline std::string s_text;
    GPrintFunc m_previous;
};

class TempFolder {
public:
    TempFolder() : m_path(MakeFolder()) {}
    ~TempFolder()
    {
        GDir* dir = g_dir_open(m_path.c_str(), 0, nullptr);
        while (const char* name = dir ? g_dir_read_name(dir) : nullptr)
            g_remove((m_path + name).c_str());
        if (dir)
            g_dir_close(dir);
        g_rmdir(m_path.c_str());
    }
    // Writes bytes into a file of the folder and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const
    {
        const std::string path = m_path + name;
        EXPECT_TRUE(g_file_set_contents(path.c_str(), bytes.data(), gssize(bytes.size()), nullptr));
        return path;
    }
    const std::string& path() const { return m_path; }

private:
    static std::string MakeFolder()
    {
        char* made = g_dir_make_tmp("ombrik-brushes-XXXXXX", nullptr);
        std::string path = std::string(made) + "/";
        g_free(made);
        return path;
    }
    std::string m_path;
};

} // namespace ombrik::test
