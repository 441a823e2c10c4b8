#include "artistic/brush_resources.h"

#include <glib.h>

#include <cstdlib>
#include <cstring>
#include <cerrno>
#include <memory>
#include <vector>

namespace ombrik::embedded {
extern const unsigned char embedded_001_pnm[];
extern const std::size_t embedded_001_pnm_size;
extern const unsigned char embedded_002_pnm[];
extern const std::size_t embedded_002_pnm_size;
extern const unsigned char embedded_003_pnm[];
extern const std::size_t embedded_003_pnm_size;
extern const unsigned char embedded_004_pnm[];
extern const std::size_t embedded_004_pnm_size;
extern const unsigned char embedded_005_pnm[];
extern const std::size_t embedded_005_pnm_size;
extern const unsigned char embedded_006_pnm[];
extern const std::size_t embedded_006_pnm_size;
} // namespace ombrik::embedded

namespace ombrik {

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

void MakeBlack(PaintImage& out)
{
    out = PaintImage(10, 10);
}

bool EndsWithGbr(const char* path)
{
    const size_t n = std::strlen(path);
    return n >= 4 && std::strcmp(path + n - 4, ".gbr") == 0;
}

// Bytes left between the current position and the end of the file, or -1 when
// the file cannot tell (a pipe).
long long BytesLeft(FILE* f)
{
    const long here = std::ftell(f);
    if (here < 0 || std::fseek(f, 0, SEEK_END) != 0)
        return -1;
    const long end = std::ftell(f);
    std::fseek(f, here, SEEK_SET);
    return end < here ? -1 : (long long)(end - here);
}

long long FileSize(FILE* f)
{
    if (std::fseek(f, 0, SEEK_END) != 0)
        return -1;
    const long end = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    return end;
}

bool SaneSize(long long w, long long h)
{
    return w >= 1 && h >= 1 && w <= kMaxBrushImageSide && h <= kMaxBrushImageSide &&
           w * h <= kMaxBrushImagePixels;
}

// The next header line that is not a comment, at most 199 characters (the rest
// of a longer line is skipped), trailing white space removed. At end of file
// line keeps what it held.
void ReadHeaderLine(FILE* f, std::string& line)
{
    char buf[200];
    for (;;) {
        if (!std::fgets(buf, sizeof buf, f))
            return;
        const size_t n = std::strlen(buf);
        if (n == sizeof buf - 1 && buf[n - 1] != '\n') {
            int c;
            while ((c = std::fgetc(f)) != EOF && c != '\n') {
            }
        }
        if (buf[0] == '#')
            continue;
        g_strchomp(buf);
        line = buf;
        return;
    }
}

// Parses "<width> <height>": the integer at the start and the one after the
// first space. False for a line without a space or a number out of range.
bool ParseSizeLine(const std::string& line, long long& w, long long& h)
{
    const char* text = line.c_str();
    const char* space = std::strchr(text, ' ');
    if (!space)
        return false;
    errno = 0;
    w = std::strtoll(text, nullptr, 10);
    h = std::strtoll(space + 1, nullptr, 10);
    return errno == 0;
}

} // namespace

FILE* OpenWithFallback(const char* path, const char* fallback)
{
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f && fallback)
        f = std::fopen(fallback, "rb");
    return f;
}

const char* PathDisplayName(const char* path)
{
    static GHashTable* table = g_hash_table_new(g_str_hash, g_str_equal);
    if (!path)
        path = "";
    auto* name = static_cast<const char*>(g_hash_table_lookup(table, path));
    if (!name) {
        char* display = g_filename_display_name(path);
        g_hash_table_insert(table, g_strdup(path), display);
        name = display;
    }
    return name;
}

void ppm_load(const char* path, PaintImage& out, const char* fallback)
{
    if (!path)
        path = "";
    if (EndsWithGbr(path)) {
        load_gimp_brush(path, out, fallback);
        return;
    }
    File f(OpenWithFallback(path, fallback));
    if (!f) {
        g_printerr("ppm_load: Unable to open file \"%s\"!\n", PathDisplayName(path));
        MakeBlack(out);
        return;
    }
    std::string line;
    ReadHeaderLine(f.get(), line);
    const bool colour = line == "P6";
    if (!colour && line != "P5") {
        f.reset();
        g_printerr("ppm_load: File \"%s\" not PPM/PGM? (line=\"%s\")%c\n", PathDisplayName(path), line.c_str(), 7);
        MakeBlack(out);
        return;
    }
    ReadHeaderLine(f.get(), line);
    const std::string sizeLine = line;
    long long w = 0, h = 0;
    const bool sizeParsed = ParseSizeLine(sizeLine, w, h);
    ReadHeaderLine(f.get(), line);
    if (line != "255") {
        g_printerr("ppm_load: File \"%s\" not valid PPM/PGM? (line=\"%s\")%c\n", PathDisplayName(path), line.c_str(), 7);
        MakeBlack(out);
        return;
    }
    if (!sizeParsed || !SaneSize(w, h)) {
        g_printerr("ppm_load: File \"%s\" not valid PPM/PGM? (line=\"%s\")%c\n", PathDisplayName(path), sizeLine.c_str(),
                   7);
        MakeBlack(out);
        return;
    }
    const size_t bytesPerPixel = colour ? 3 : 1;
    const size_t needed = size_t(w) * size_t(h) * bytesPerPixel;
    const long long left = BytesLeft(f.get());
    std::vector<uint8_t> data;
    if (left < 0 || (unsigned long long)left >= needed) {
        data.resize(needed);
        if (std::fread(data.data(), 1, needed, f.get()) != needed)
            data.clear();
    }
    if (data.size() != needed) {
        g_printerr("ppm_load: File \"%s\" ends before its pixels do!\n", PathDisplayName(path));
        MakeBlack(out);
        return;
    }
    PaintImage image{int(w), int(h)};
    if (colour) {
        std::memcpy(image.pixels.data(), data.data(), needed);
    } else {
        for (size_t k = 0; k < needed; ++k)
            image.pixels[k * 3] = image.pixels[k * 3 + 1] = image.pixels[k * 3 + 2] = data[k];
    }
    out = std::move(image);
}

void load_gimp_brush(const char* path, PaintImage& out, const char* fallback)
{
    if (!path)
        path = "";
    File f(OpenWithFallback(path, fallback));
    if (!f) {
        g_printerr("load_gimp_brush: Unable to open file \"%s\"!\n", PathDisplayName(path));
        MakeBlack(out);
        return;
    }
    const long long fileSize = FileSize(f.get());
    unsigned char raw[28];
    uint32_t word[7];
    const bool haveHeader = std::fread(raw, 1, sizeof raw, f.get()) == sizeof raw;
    for (int k = 0; k < 7; ++k)
        word[k] = haveHeader ? (uint32_t(raw[k * 4]) << 24) | (uint32_t(raw[k * 4 + 1]) << 16) |
                                   (uint32_t(raw[k * 4 + 2]) << 8) | uint32_t(raw[k * 4 + 3])
                             : 0;
    const long long offset = word[0];
    const long long w = word[2];
    const long long h = word[3];
    if (!haveHeader || !SaneSize(w, h) || (fileSize >= 0 && offset > fileSize) ||
        std::fseek(f.get(), long(offset), SEEK_SET) != 0) {
        g_printerr("load_gimp_brush: File \"%s\" is not a valid brush!\n", PathDisplayName(path));
        MakeBlack(out);
        return;
    }
    if (fileSize >= 0 && fileSize - offset < w * h) {
        g_printerr("load_gimp_brush: File \"%s\" ends before its pixels do!\n", PathDisplayName(path));
        MakeBlack(out);
        return;
    }
    PaintImage image{int(w), int(h)};
    std::vector<uint8_t> row(static_cast<size_t>(w));
    for (int y = 0; y < image.height; ++y) {
        if (std::fread(row.data(), 1, row.size(), f.get()) != row.size()) {
            g_printerr("load_gimp_brush: File \"%s\" ends before its pixels do!\n", PathDisplayName(path));
            MakeBlack(out);
            return;
        }
        uint8_t* p = image.at(0, y);
        for (size_t x = 0; x < row.size(); ++x, p += 3)
            p[0] = p[1] = p[2] = row[x];
    }
    out = std::move(image);
}

void BrushCacheGet(const char* path, PaintImage& out, const char* fallback)
{
    static bool filled = false;
    static std::string cachedPath;
    static PaintImage cachedImage;
    if (!path) {
        filled = false;
        cachedPath.clear();
        cachedImage.clear();
        return;
    }
    if (!filled || cachedPath != path) {
        cachedPath = path;
        cachedImage.clear();
        ppm_load(path, cachedImage, fallback);
        filled = true;
    }
    out = cachedImage;
}

const unsigned char* BuiltInBrushFile(int n, size_t* size)
{
    using namespace embedded;
    struct Entry {
        const unsigned char* bytes;
        const std::size_t* size;
    };
    static const Entry files[6] = {
        {embedded_001_pnm, &embedded_001_pnm_size}, {embedded_002_pnm, &embedded_002_pnm_size},
        {embedded_003_pnm, &embedded_003_pnm_size}, {embedded_004_pnm, &embedded_004_pnm_size},
        {embedded_005_pnm, &embedded_005_pnm_size}, {embedded_006_pnm, &embedded_006_pnm_size},
    };
    if (n < 1 || n > 6) {
        if (size)
            *size = 0;
        return nullptr;
    }
    if (size)
        *size = *files[n - 1].size;
    return files[n - 1].bytes;
}

static bool WriteBrushFile(const std::string& folder, int n, bool onlyWhenMissing)
{
    char* path = g_strdup_printf("%s%03d.pnm", folder.c_str(), n);
    bool ok = true;
    if (!onlyWhenMissing || !g_file_test(path, G_FILE_TEST_EXISTS)) {
        size_t size = 0;
        const unsigned char* bytes = BuiltInBrushFile(n, &size);
        // Written to a temporary file and renamed, so a reader never sees half a brush.
        ok = g_file_set_contents(path, reinterpret_cast<const char*>(bytes), gssize(size), nullptr);
    }
    g_free(path);
    return ok;
}

bool WriteBrushFiles(const std::string& folder)
{
    bool ok = true;
    for (int n = 1; n <= 6; ++n)
        ok = WriteBrushFile(folder, n, false) && ok;
    return ok;
}

bool EnsureBrushFiles(const std::string& folder)
{
    bool ok = true;
    for (int n = 1; n <= 6; ++n)
        ok = WriteBrushFile(folder, n, true) && ok;
    return ok;
}

} // namespace ombrik
