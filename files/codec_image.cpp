#include "files/codec_image.h"

#include <Magick++.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <mutex>

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

// The codec library's coder for each format number. EMF shares WMF's number;
// the metafile coder refuses what it cannot read.
const char* CoderName(int32_t format)
{
    switch (format) {
    case kCodecBmp: return "BMP";
    case kCodecGif: return "GIF";
    case kCodecJpeg: return "JPEG";
    case kCodecPng: return "PNG";
    case kCodecIco: return "ICO";
    case kCodecTiff: return "TIFF";
    case kCodecTga: return "TGA";
    case kCodecPcx: return "PCX";
    case kCodecWbmp: return "WBMP";
    case kCodecWmf: return "WMF";
    case kCodecJp2: return "JP2";
    case kCodecJpc: return "JPC";
    case kCodecPgx: return "PGX";
    case kCodecPnm: return "PNM";
    case kCodecRas: return "SUN";
    default: return nullptr;
    }
}

// Largest picture file read into memory for decoding.
constexpr std::streamoff kMaxFileBytes = std::streamoff(1) << 30;

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        error = "cannot read the file";
        return false;
    }
    const std::streamoff size = in.tellg();
    if (size <= 0) {
        error = "the file is empty";
        return false;
    }
    if (size > kMaxFileBytes) {
        error = "the file is too large";
        return false;
    }
    bytes.resize(size_t(size));
    in.seekg(0);
    if (!in.read(bytes.data(), size)) {
        error = "cannot read the file";
        return false;
    }
    return true;
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

void InitialiseCodecLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        using namespace MagickLib;
        SetMagickResourceLimit(WidthResource, kCodecMaxSide);
        SetMagickResourceLimit(HeightResource, kCodecMaxSide);
        SetMagickResourceLimit(PixelsResource, kCodecMaxPixels);
        // Heap for pixel caches and working images; no spilling to disk.
        SetMagickResourceLimit(MemoryResource, magick_int64_t(2048) * 1024 * 1024);
        SetMagickResourceLimit(MapResource, magick_int64_t(2048) * 1024 * 1024);
        SetMagickResourceLimit(DiskResource, 0);
        SetMagickResourceLimit(ThreadsResource, 2);
    });
}

CodecImage::CodecImage() { InitialiseCodecLibrary(); }

CodecImage::~CodecImage() { release(); }

namespace {

// Orientations that swap width and height when the picture is turned upright.
bool SwapsSides(Magick::OrientationType orientation)
{
    return orientation == Magick::LeftTopOrientation || orientation == Magick::RightTopOrientation ||
           orientation == Magick::RightBottomOrientation || orientation == Magick::LeftBottomOrientation;
}

// A header read only (ping) leaves the orientation to the EXIF attribute.
bool HeaderSwapsSides(Magick::Image& header)
{
    if (header.orientation() != Magick::UndefinedOrientation)
        return SwapsSides(header.orientation());
    const std::string exif = header.attribute("EXIF:Orientation");
    return exif == "5" || exif == "6" || exif == "7" || exif == "8";
}

void PrepareRead(Magick::Image& image, const char* coder)
{
    image.quiet(true);  // a damaged tail is a warning: keep what decoded
    // The table's coder and no other, whatever the content looks like.
    image.magick(coder);
    image.fileName(std::string(coder) + ":");
}

} // namespace

bool CodecImage::load(const std::string& path) { return load(path, 0, 0); }

bool CodecImage::load(const std::string& path, int fitWidth, int fitHeight)
{
    m_error.clear();
    m_damaged = false;
    const std::string extension = PathExtension(path);
    if (extension.empty()) {
        m_error = "the file name has no extension";
        return false;
    }
    release();
    m_format = CodecFormatFromExtension(extension);
    const char* coder = CoderName(m_format);
    if (!coder) {
        m_error = "the file type is not supported";
        return false;
    }

    std::string bytes;
    if (!ReadWholeFile(path, bytes, m_error))
        return false;
    const Magick::Blob blob(bytes.data(), bytes.size());
    try {
        auto image = std::make_unique<Magick::Image>();
        PrepareRead(*image, coder);
        if (m_format == kCodecJpeg && fitWidth > 0 && fitHeight > 0) {
            Magick::Image header;
            PrepareRead(header, coder);
            header.ping(blob);
            // The hint is in stored orientation.
            if (HeaderSwapsSides(header))
                std::swap(fitWidth, fitHeight);
            image->size(Magick::Geometry(unsigned(fitWidth), unsigned(fitHeight)));
        }
        // Decoders report missing or corrupt data as a warning and keep what
        // they decoded: with warnings not quiet, it arrives here once the image
        // is in place.
        image->quiet(false);
        try {
            image->read(blob);
        } catch (const Magick::WarningCorruptImage& warning) {
            m_damaged = std::string(warning.what()).find("extraneous bytes") == std::string::npos;
        } catch (const Magick::Warning&) {
        }
        if (!image->isValid() || image->columns() == 0 || image->rows() == 0) {
            m_error = "the picture could not be decoded";
            return false;
        }
        image->autoOrient();
        m_image = std::move(image);
    } catch (const Magick::Exception& e) {
        m_error = e.what();
        return false;
    }
    return true;
}

bool CodecImage::ReadSize(const std::string& path, int& width, int& height)
{
    InitialiseCodecLibrary();
    const char* coder = CoderName(CodecFormatFromExtension(PathExtension(path)));
    std::string bytes;
    std::string error;
    if (!coder || !ReadWholeFile(path, bytes, error))
        return false;
    try {
        Magick::Image header;
        PrepareRead(header, coder);
        header.ping(Magick::Blob(bytes.data(), bytes.size()));
        width = int(header.columns());
        height = int(header.rows());
        if (HeaderSwapsSides(header))
            std::swap(width, height);
    } catch (const Magick::Exception&) {
        return false;
    }
    return width > 0 && height > 0;
}

bool CodecImage::fromPixels(const uint8_t* bgr, int width, int height)
{
    release();
    m_error.clear();
    if (!bgr || width <= 0 || height <= 0)
        return false;
    try {
        auto image = std::make_unique<Magick::Image>();
        image->read(unsigned(width), unsigned(height), "BGR", Magick::CharPixel, bgr);
        m_image = std::move(image);
    } catch (const Magick::Exception& e) {
        m_error = e.what();
        return false;
    }
    return true;
}

bool CodecImage::isValid() const { return m_image && m_image->isValid(); }

int CodecImage::width() const { return m_image ? int(m_image->columns()) : 0; }

int CodecImage::height() const { return m_image ? int(m_image->rows()) : 0; }

void CodecImage::fillRows() const
{
    if (m_rowsReady || !m_image)
        return;
    const size_t w = m_image->columns();
    const size_t h = m_image->rows();
    m_rows.assign(w * h * 3, 0);
    try {
        m_image->write(0, 0, unsigned(w), unsigned(h), "BGR", Magick::CharPixel, m_rows.data());
        m_rowsReady = true;
    } catch (const Magick::Exception&) {
        m_rows.clear();
    }
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

bool CodecImage::resample(int newWidth, int newHeight, int mode)
{
    if (!m_image || newWidth <= 0 || newHeight <= 0)
        return false;
    try {
        Magick::Geometry size{unsigned(newWidth), unsigned(newHeight)};
        size.aspect(true);  // exactly this size
        switch (mode) {
        case 0: m_image->resize(size, Magick::TriangleFilter); break;
        case 2: m_image->resize(size, Magick::LanczosFilter); break;
        default: m_image->scale(size); break;
        }
    } catch (const Magick::Exception& e) {
        m_error = e.what();
        return false;
    }
    m_rowsReady = false;
    m_rows.clear();
    return int(m_image->columns()) == newWidth && int(m_image->rows()) == newHeight;
}

bool CodecImage::encode(const char* magick, std::vector<uint8_t>& out) const
{
    out.clear();
    if (!m_image)
        return false;
    try {
        Magick::Image copy(*m_image);
        copy.magick(magick);
        Magick::Blob blob;
        copy.write(&blob);
        const auto* data = static_cast<const uint8_t*>(blob.data());
        out.assign(data, data + blob.length());
    } catch (const Magick::Exception&) {
        out.clear();
        return false;
    }
    return !out.empty();
}

void CodecImage::release()
{
    m_image.reset();
    m_rows.clear();
    m_rowsReady = false;
}

} // namespace ombrik
