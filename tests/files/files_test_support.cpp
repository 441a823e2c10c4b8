#include "tests/files/files_test_support.h"

#include "files/codec_image.h"
#include "files/image_encoder.h"

#include <QImageWriter>
#include <QProcess>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

// libdav1d (the AV1 decoder under libheif) keeps a small block when a damaged
// AVIF stops it mid-frame, and libheif an error text for some damaged headers;
// the fuzz corpus replays such files. Fontconfig keeps a cache for the life of
// the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\nleak:libdav1d\nleak:libheif\n"; }

namespace ombrik::test {

double MeanDifference(const PixelBuffer& a, const PixelBuffer& b)
{
    if (a.width != b.width || a.height != b.height)
        return 1e9;
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        sum += std::abs(int(a.pixels[i]) - int(b.pixels[i]));
    return sum / double(a.pixels.size());
}

TempFolder::TempFolder()
{
    static std::atomic<int> counter{0};
    m_path = std::filesystem::temp_directory_path() /
             ("ombrik-files-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

PixelBuffer MarkedPicture(int width, int height, int stripe)
{
    PixelBuffer picture(width, height, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = picture.at(x, y);
            p[0] = p[1] = p[2] = 128;
            if (y < stripe) {
                p[0] = 0; p[1] = 0; p[2] = 255;
            } else if (y >= height - stripe) {
                p[0] = 255; p[1] = 0; p[2] = 0;
            }
            if (x == width - 1) {
                p[0] = 0; p[1] = 255; p[2] = 0;
            }
        }
    return picture;
}

PixelBuffer RampPicture(int width, int height)
{
    PixelBuffer picture(width, height, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = picture.at(x, y);
            p[0] = uint8_t(x * 255 / width);
            p[1] = uint8_t(y * 255 / height);
            p[2] = uint8_t((x + y) * 127 / (width + height));
        }
    return picture;
}

bool SaveWithQt(const PixelBuffer& picture, const std::string& path)
{
    QImageWriter writer(QString::fromStdString(path));
    writer.setQuality(95);
    return writer.write(PixelBufferImage(picture));
}

bool SaveWithCodec(const PixelBuffer& picture, const std::string& path, const char* magick)
{
    CodecImage image;
    std::vector<uint8_t> bytes;
    if (!image.fromPixels(picture.data(), picture.width, picture.height) || !image.encode(magick, bytes))
        return false;
    WriteFile(path, std::string(bytes.begin(), bytes.end()));
    return true;
}

bool SaveHeic(const PixelBuffer& picture, const std::string& path)
{
    const std::string png = path + ".png";
    if (!SaveWithQt(picture, png))
        return false;
    QProcess process;
    process.start(QStringLiteral("heif-enc"),
                  {QStringLiteral("-q"), QStringLiteral("90"), QStringLiteral("-o"), QString::fromStdString(path),
                   QString::fromStdString(png)});
    const bool ok = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
    std::filesystem::remove(png);
    return ok;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

} // namespace ombrik::test
