#include "files/codec_image.h"
#include "files/reasons.h"

#include "engine/data_folder.h"
#include "files/codec_backend.h"

#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <mutex>

// Defined only where the module's code is linked into the program.
extern "C" const ombrik::CodecModule* OmbrikCodecModule() __attribute__((weak));

namespace ombrik {

namespace {

struct ExtensionFormat {
    const char* extension;
    int32_t format;
};

// Tested in this order; the first exact match wins.
constexpr ExtensionFormat kExtensionFormats[] = {
    {"bmp", kCodecBmp},  {"jpg", kCodecJpeg}, {"jpeg", kCodecJpeg}, {"gif", kCodecGif},
    {"png", kCodecPng},  {"ico", kCodecIco},  {"tiff", kCodecTiff}, {"tif", kCodecTiff},
    {"tga", kCodecTga},  {"pcx", kCodecPcx},  {"wbmp", kCodecWbmp}, {"wmf", kCodecWmf},
    {"emf", kCodecWmf},  {"jp2", kCodecJp2},  {"j2k", kCodecJp2},   {"jpc", kCodecJpc},
    {"j2c", kCodecJpc},  {"pgx", kCodecPgx},  {"pnm", kCodecPnm},   {"pgm", kCodecPnm},
    {"ppm", kCodecPnm},  {"ras", kCodecRas},
};

constexpr const char* kModuleName = "libombrik_codec.so";

struct LoadedModule {
    const CodecModule* module = nullptr;
    std::string error;
};

// The module beside the program, where the install puts it, or in the build tree.
const LoadedModule& Module()
{
    static const LoadedModule loaded = [] {
        LoadedModule result;
        // A program that has the module's code linked in (the fuzzers) uses it as it is.
        if (&OmbrikCodecModule != nullptr) {
            result.module = OmbrikCodecModule();
            result.module->initialise();
            return result;
        }
        const std::string exe = ExecutableFolder();
        for (const std::string& path :
             {exe + kModuleName, exe + "../" OMBRIK_CODEC_INSTALL_DIR + kModuleName, std::string(OMBRIK_CODEC_MODULE)}) {
            if (path.empty())
                continue;
            void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!handle) {
                result.error = dlerror();
                continue;
            }
            using Entry = const CodecModule* (*)();
            if (auto entry = reinterpret_cast<Entry>(dlsym(handle, "OmbrikCodecModule"))) {
                result.module = entry();
                result.module->initialise();
                result.error.clear();
                break;
            }
            result.error = QT_TRANSLATE_NOOP("Reasons", "the codec module has no entry");
        }
        if (!result.module)
            result.error = "the codec library could not be loaded: " + result.error;
        return result;
    }();
    return loaded;
}

} // namespace

std::string PathExtension(const std::string& path)
{
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        return {};
    return path.substr(dot + 1);
}

int32_t CodecFormatFromExtension(const std::string& extension)
{
    std::string lower = extension;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    for (const ExtensionFormat& entry : kExtensionFormats)
        if (lower == entry.extension)
            return entry.format;
    return kCodecUnknown;
}

bool InitialiseCodecLibrary(std::string* error)
{
    const LoadedModule& loaded = Module();
    if (error)
        *error = loaded.error;
    return loaded.module != nullptr;
}

CodecImage::CodecImage() = default;

CodecImage::~CodecImage() { release(); }

bool CodecImage::load(const std::string& path) { return load(path, 0, 0); }

bool CodecImage::load(const std::string& path, int fitWidth, int fitHeight)
{
    m_error.clear();
    m_damaged = false;
    const std::string extension = PathExtension(path);
    if (extension.empty()) {
        m_error = QT_TRANSLATE_NOOP("Reasons", "the file name has no extension");
        return false;
    }
    release();
    m_format = CodecFormatFromExtension(extension);
    if (m_format == kCodecUnknown) {
        m_error = QT_TRANSLATE_NOOP("Reasons", "the file type is not supported");
        return false;
    }
    if (!InitialiseCodecLibrary(&m_error))
        return false;
    std::unique_ptr<CodecBackend> image(Module().module->create());
    if (!image->load(path, m_format, fitWidth, fitHeight, m_error))
        return false;
    m_damaged = image->damaged();
    m_image = std::move(image);
    return true;
}

bool CodecImage::ReadSize(const std::string& path, int& width, int& height)
{
    const int32_t format = CodecFormatFromExtension(PathExtension(path));
    if (format == kCodecUnknown || !InitialiseCodecLibrary())
        return false;
    return Module().module->readSize(path, format, width, height);
}

bool CodecImage::fromPixels(const uint8_t* bgr, int width, int height)
{
    release();
    m_error.clear();
    if (!bgr || width <= 0 || height <= 0 || !InitialiseCodecLibrary(&m_error))
        return false;
    std::unique_ptr<CodecBackend> image(Module().module->create());
    if (!image->fromPixels(bgr, width, height, m_error))
        return false;
    m_image = std::move(image);
    return true;
}

bool CodecImage::isValid() const { return m_image && m_image->isValid(); }

int CodecImage::width() const { return m_image ? m_image->width() : 0; }

int CodecImage::height() const { return m_image ? m_image->height() : 0; }

void CodecImage::fillRows() const
{
    if (m_rowsReady || !m_image)
        return;
    m_rowsReady = m_image->readRows(m_rows);
}

const uint8_t* CodecImage::storedRow(int index) const
{
    if (!m_image || index < 0 || index >= height())
        return nullptr;
    fillRows();
    if (!m_rowsReady)
        return nullptr;
    const size_t topDown = size_t(height() - 1 - index);
    return m_rows.data() + topDown * size_t(width()) * 3;
}

bool CodecImage::oriented() const { return m_image && m_image->oriented(); }

bool CodecImage::orient(int orientation)
{
    if (!m_image)
        return false;
    m_rowsReady = false;
    m_rows.clear();
    return m_image->orient(orientation, m_error);
}

bool CodecImage::resample(int newWidth, int newHeight, int mode)
{
    if (!m_image || newWidth <= 0 || newHeight <= 0)
        return false;
    m_rowsReady = false;
    m_rows.clear();
    return m_image->resample(newWidth, newHeight, mode, m_error);
}

bool CodecImage::encode(const char* magick, std::vector<uint8_t>& out) const
{
    out.clear();
    return m_image && m_image->encode(magick, out);
}

void CodecImage::release()
{
    m_image.reset();
    m_rows.clear();
    m_rowsReady = false;
}

} // namespace ombrik
