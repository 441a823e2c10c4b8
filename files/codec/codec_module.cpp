// The codec library side of CodecImage, built as a module that is opened at
// run time: every call into GraphicsMagick lives here.
#include "files/codec_backend.h"
#include "files/reasons.h"
#include "files/codec_image.h"

#include <Magick++.h>

#include <fstream>
#include <memory>
#include <mutex>

namespace ombrik {

namespace {

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
        error = QT_TRANSLATE_NOOP("Reasons", "cannot read the file");
        return false;
    }
    const std::streamoff size = in.tellg();
    if (size <= 0) {
        error = QT_TRANSLATE_NOOP("Reasons", "the file is empty");
        return false;
    }
    if (size > kMaxFileBytes) {
        error = QT_TRANSLATE_NOOP("Reasons", "the file is too large");
        return false;
    }
    bytes.resize(size_t(size));
    in.seekg(0);
    if (!in.read(bytes.data(), size)) {
        error = QT_TRANSLATE_NOOP("Reasons", "cannot read the file");
        return false;
    }
    return true;
}

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


void Initialise()
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

class MagickBackend final : public CodecBackend {
public:
    bool load(const std::string& path, int32_t format, int fitWidth, int fitHeight, std::string& error) override
    {
        m_image.reset();
        const char* coder = CoderName(format);
        if (!coder) {
            error = QT_TRANSLATE_NOOP("Reasons", "the file type is not supported");
            return false;
        }
        std::string bytes;
        if (!ReadWholeFile(path, bytes, error))
            return false;
        const Magick::Blob blob(bytes.data(), bytes.size());
        try {
            auto image = std::make_unique<Magick::Image>();
            PrepareRead(*image, coder);
            if (format == kCodecJpeg && fitWidth > 0 && fitHeight > 0) {
                Magick::Image header;
                PrepareRead(header, coder);
                header.ping(blob);
                // The hint is in stored orientation.
                if (HeaderSwapsSides(header))
                    std::swap(fitWidth, fitHeight);
                image->size(Magick::Geometry(unsigned(fitWidth), unsigned(fitHeight)));
            }
            // Decoders report missing or corrupt data as a warning and keep what
            // they decoded: with warnings not quiet, it arrives here once the
            // image is in place.
            image->quiet(false);
            m_damaged = false;
            try {
                image->read(blob);
            } catch (const Magick::WarningCorruptImage& warning) {
                m_damaged = std::string(warning.what()).find("extraneous bytes") == std::string::npos;
            } catch (const Magick::Warning&) {
            }
            if (!image->isValid() || image->columns() == 0 || image->rows() == 0) {
                error = QT_TRANSLATE_NOOP("Reasons", "the picture could not be decoded");
                return false;
            }
            const Magick::OrientationType orientation = image->orientation();
            m_oriented = orientation != Magick::UndefinedOrientation && orientation != Magick::TopLeftOrientation;
            image->autoOrient();
            m_image = std::move(image);
        } catch (const Magick::Exception& e) {
            error = e.what();
            return false;
        }
        return true;
    }

    bool fromPixels(const uint8_t* bgr, int width, int height, std::string& error) override
    {
        m_image.reset();
        try {
            auto image = std::make_unique<Magick::Image>();
            image->read(unsigned(width), unsigned(height), "BGR", Magick::CharPixel, bgr);
            m_image = std::move(image);
        } catch (const Magick::Exception& e) {
            error = e.what();
            return false;
        }
        return true;
    }

    bool isValid() const override { return m_image && m_image->isValid(); }
    bool damaged() const override { return m_damaged; }
    bool oriented() const override { return m_oriented; }

    bool orient(int orientation, std::string& error) override
    {
        if (!m_image || orientation < 1 || orientation > 8)
            return false;
        try {
            // The library's orientation values are EXIF's.
            m_image->orientation(Magick::OrientationType(orientation));
            m_image->autoOrient();
        } catch (const Magick::Exception& e) {
            error = e.what();
            return false;
        }
        return true;
    }

    int width() const override { return m_image ? int(m_image->columns()) : 0; }
    int height() const override { return m_image ? int(m_image->rows()) : 0; }

    bool readRows(std::vector<uint8_t>& out) const override
    {
        if (!m_image)
            return false;
        const size_t w = m_image->columns();
        const size_t h = m_image->rows();
        out.assign(w * h * 3, 0);
        try {
            m_image->write(0, 0, unsigned(w), unsigned(h), "BGR", Magick::CharPixel, out.data());
        } catch (const Magick::Exception&) {
            out.clear();
            return false;
        }
        return true;
    }

    bool resample(int newWidth, int newHeight, int mode, std::string& error) override
    {
        if (!m_image)
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
            error = e.what();
            return false;
        }
        return int(m_image->columns()) == newWidth && int(m_image->rows()) == newHeight;
    }

    bool encode(const char* magick, std::vector<uint8_t>& out) const override
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

private:
    std::unique_ptr<Magick::Image> m_image;
    bool m_damaged = false;
    bool m_oriented = false;
};

CodecBackend* Create()
{
    Initialise();
    return new MagickBackend;
}

bool ReadSize(const std::string& path, int32_t format, int& width, int& height)
{
    Initialise();
    const char* coder = CoderName(format);
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

constexpr CodecModule kModule{&Initialise, &Create, &ReadSize};

} // namespace

} // namespace ombrik

extern "C" __attribute__((visibility("default"))) const ombrik::CodecModule* OmbrikCodecModule()
{
    return &ombrik::kModule;
}
