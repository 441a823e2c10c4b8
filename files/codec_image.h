// The image codec library behind one small class: decoding a picture file by
// the format its extension names, its size, its rows (counted from the bottom),
// resampling and release. GraphicsMagick does the work, loaded on first use.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ombrik {

class CodecBackend;

// Codec format numbers, chosen from a file's extension.
enum CodecFormat : int32_t {
    kCodecUnknown = 0,
    kCodecBmp = 1,
    kCodecGif = 2,
    kCodecJpeg = 3,
    kCodecPng = 4,
    kCodecIco = 5,
    kCodecTiff = 6,
    kCodecTga = 7,
    kCodecPcx = 8,
    kCodecWbmp = 9,
    kCodecWmf = 10,
    kCodecJp2 = 11,
    kCodecJpc = 12,
    kCodecPgx = 13,
    kCodecPnm = 14,
    kCodecRas = 15,
};

// The text after the last '.' of a path (without the dot); empty when the path
// has no '.'.
std::string PathExtension(const std::string& path);

// The codec format of an extension, compared in lower case; 0 when unknown.
int32_t CodecFormatFromExtension(const std::string& extension);

// Loads and starts the codec library once per process and bounds what a single
// decode may allocate, so a file declaring an absurd size is refused instead of
// decoded. False (with the reason in `error`, when given) when it cannot be loaded.
bool InitialiseCodecLibrary(std::string* error = nullptr);

// Largest width or height the codec library accepts, and largest pixel count.
inline constexpr int64_t kCodecMaxSide = 65500;
inline constexpr int64_t kCodecMaxPixels = 100'000'000;

class CodecImage {
public:
    CodecImage();
    ~CodecImage();
    CodecImage(const CodecImage&) = delete;
    CodecImage& operator=(const CodecImage&) = delete;

    // Decodes `path` as the codec format of its extension. An empty extension
    // fails at once; an unknown format or a file the library cannot decode fails
    // and leaves no image held.
    bool load(const std::string& path);

    // The same, but a JPEG may be decoded at 1/2, 1/4 or 1/8 of its size as
    // long as the upright result stays at least fitWidth × fitHeight.
    bool load(const std::string& path, int fitWidth, int fitHeight);

    // Reads only the header of `path` (codec format of its extension): the
    // upright size, after the EXIF orientation.
    static bool ReadSize(const std::string& path, int& width, int& height);

    // Wraps width × height pixels of 3 bytes (blue, green, red), row 0 at the top.
    bool fromPixels(const uint8_t* bgr, int width, int height);

    bool isValid() const;
    int width() const;
    int height() const;
    int32_t format() const { return m_format; }

    // Stored row `index` counted from the bottom (0 is the bottom row) as
    // width × 3 bytes blue, green, red; nullptr outside 0..height-1 or without
    // an image. Valid until the image changes.
    const uint8_t* storedRow(int index) const;

    // The last load turned the picture upright by the orientation its format
    // keeps (JPEG's EXIF, TIFF's tag); other formats are left as stored.
    bool oriented() const;

    // Turns the picture upright from EXIF orientation 1..8 (for formats
    // whose EXIF the library does not read).
    bool orient(int orientation);

    // Resamples to newWidth × newHeight. Mode 0 is a triangle filter, mode 1
    // the fast area average, mode 2 a Lanczos filter.
    bool resample(int newWidth, int newHeight, int mode);

    // Encodes the held image in the given codec library format name ("GIF", ...).
    bool encode(const char* magick, std::vector<uint8_t>& out) const;

    // Stops using the image and destroys it.
    void release();

    // The last error text of the library, for messages.
    const std::string& lastError() const { return m_error; }
    // The last load decoded only part of the file (truncated or corrupt data):
    // the picture is there, with the library's filler where data was missing.
    bool damaged() const { return m_damaged; }

private:
    void fillRows() const;

    std::unique_ptr<CodecBackend> m_image;
    int32_t m_format = kCodecUnknown;
    std::string m_error;
    bool m_damaged = false;
    mutable std::vector<uint8_t> m_rows;  // top-down BGR copy, made on first row access
    mutable bool m_rowsReady = false;
};

} // namespace ombrik
