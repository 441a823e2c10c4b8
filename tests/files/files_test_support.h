// Pictures made at run time for the files tests.
#pragma once

#include "engine/pixel_buffer.h"

#include <QImage>

#include <filesystem>
#include <string>

namespace ombrik::test {

// A fresh empty folder under the temporary folder, removed by the destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    std::string path(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& root() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// width × height, grey (128) with the top `stripe` rows red, the bottom
// `stripe` rows blue and the right column green.
PixelBuffer MarkedPicture(int width, int height, int stripe = 3);

// Smooth colour ramps, for pictures whose content does not matter.
PixelBuffer RampPicture(int width, int height);

// Saves with Qt's writer in the format of the extension (JPEG quality 95).
bool SaveWithQt(const PixelBuffer& picture, const std::string& path);

// Saves with the codec library in the given format ("PCX", "PPM", ...).
bool SaveWithCodec(const PixelBuffer& picture, const std::string& path, const char* magick);

// Mean absolute difference per channel of two same-sized 3-byte pictures
// (1e9 when their sizes differ).
double MeanDifference(const PixelBuffer& a, const PixelBuffer& b);

// Saves as HEIC through the reference encoder's command-line tool (heif-enc).
bool SaveHeic(const PixelBuffer& picture, const std::string& path);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

} // namespace ombrik::test
