// The boundary between CodecImage and the codec library. GraphicsMagick and
// the many libraries it pulls in are loaded only when a picture first needs
// them (a separate module opened at run time), so a run that reads and writes
// only what Qt handles never pays for starting them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ombrik {

// One image of the codec library.
class CodecBackend {
public:
    virtual ~CodecBackend() = default;
    // Decodes `path` with the coder of `format`; fitWidth/fitHeight > 0 allow
    // a reduced JPEG decode as CodecImage::load describes.
    virtual bool load(const std::string& path, int32_t format, int fitWidth, int fitHeight, std::string& error) = 0;
    virtual bool fromPixels(const uint8_t* bgr, int width, int height, std::string& error) = 0;
    virtual bool isValid() const = 0;
    // The last load found missing or corrupt data and kept what it decoded.
    virtual bool damaged() const = 0;
    // The last load found the picture's orientation in the file (JPEG, TIFF)
    // and turned it upright.
    virtual bool oriented() const = 0;
    // Turns the picture upright from EXIF orientation 1..8.
    virtual bool orient(int orientation, std::string& error) = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // All rows top-down as width × 3 bytes blue, green, red.
    virtual bool readRows(std::vector<uint8_t>& out) const = 0;
    virtual bool resample(int newWidth, int newHeight, int mode, std::string& error) = 0;
    virtual bool encode(const char* magick, std::vector<uint8_t>& out) const = 0;
};

struct CodecModule {
    void (*initialise)();
    CodecBackend* (*create)();
    bool (*readSize)(const std::string& path, int32_t format, int& width, int& height);
};

} // namespace ombrik

// The module's one exported entry.
extern "C" const ombrik::CodecModule* OmbrikCodecModule();
