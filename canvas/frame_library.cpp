#include "canvas/frame_library.h"
#include "files/pixel_image.h"

#include "engine/data_folder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace ombrik {

namespace {

bool ReadU32(ByteSource& source, uint32_t& value)
{
    uint8_t b[4];
    if (source.read(b, 4) != 4)
        return false;
    value = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return true;
}

bool ReadI32(ByteSource& source, int32_t& value)
{
    uint32_t u;
    if (!ReadU32(source, u))
        return false;
    value = int32_t(u);
    return true;
}

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

bool FileExists(const std::string& path)
{
    return access(path.c_str(), R_OK) == 0;
}

std::string& OverriddenFolder()
{
    static std::string folder;
    return folder;
}

} // namespace

size_t MemorySource::read(void* dst, size_t n)
{
    const size_t k = std::min(n, m_size - m_pos);
    if (k > 0)
        std::memcpy(dst, m_data + m_pos, k);
    m_pos += k;
    return k;
}

bool MemorySource::skip(uint64_t n)
{
    if (n > remaining()) {
        m_pos = m_size;
        return false;
    }
    m_pos += size_t(n);
    return true;
}

FileSource::FileSource(const std::string& path)
{
    m_file = std::fopen(path.c_str(), "rb");
    if (!m_file)
        return;
    struct stat st {};
    if (fstat(fileno(m_file), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fclose(m_file);
        m_file = nullptr;
        return;
    }
    m_size = uint64_t(st.st_size);
}

FileSource::~FileSource()
{
    if (m_file)
        std::fclose(m_file);
}

size_t FileSource::read(void* dst, size_t n)
{
    if (!m_file)
        return 0;
    const size_t k = std::fread(dst, 1, n, m_file);
    m_pos += k;
    return k;
}

bool FileSource::skip(uint64_t n)
{
    if (!m_file || n > remaining())
        return false;
    if (fseeko(m_file, off_t(n), SEEK_CUR) != 0)
        return false;
    m_pos += n;
    return true;
}

std::optional<std::vector<uint8_t>> ReadFrameEntry(ByteSource& source, int index)
{
    if (index < 0)
        return std::nullopt;
    uint32_t count, ignored, size;
    if (!ReadU32(source, count))
        return std::nullopt;
    // The count is not trusted (nor needed): the entries are walked instead,
    // and a size pointing past the end stops the walk.
    for (int i = 0; i < index; ++i)
        if (!source.skip(8) || !ReadU32(source, size) || !source.skip(size))
            return std::nullopt;
    if (!ReadU32(source, ignored) || !ReadU32(source, ignored) || !ReadU32(source, size))
        return std::nullopt;
    if (size == 0 || size > source.remaining())
        return std::nullopt;
    std::vector<uint8_t> bytes(size);
    if (source.read(bytes.data(), size) != size)
        return std::nullopt;
    return bytes;
}

std::optional<PixelBuffer> DecodeFramePicture(const std::vector<uint8_t>& bytes)
{
    if (bytes.empty() || bytes.size() > size_t(std::numeric_limits<int>::max()))
        return std::nullopt;
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // The header's size is checked before anything is decoded.
    const QSize declared = reader.size();
    if (declared.isValid() && (declared.width() > kMaxFrameSide || declared.height() > kMaxFrameSide))
        return std::nullopt;
    reader.setAllocationLimit(256);
    QImage image = reader.read();
    if (image.isNull() || image.width() > kMaxFrameSide || image.height() > kMaxFrameSide)
        return std::nullopt;
    const int width = image.width() & ~3;
    if (width <= 0 || image.height() <= 0)
        return std::nullopt;
    return PixelBufferFromImage(width == image.width() ? image : image.copy(0, 0, width, image.height()));
}

Thumbnails ReadThumbnails(ByteSource& source)
{
    Thumbnails result;
    int32_t count;
    if (!ReadI32(source, count) || count < 0)
        return result;
    for (int32_t i = 0; i < count; ++i) {
        int32_t w, h;
        if (!ReadI32(source, w) || !ReadI32(source, h) || w < 0 || h < 0)
            return result;
        const uint64_t bytes = uint64_t(w) * uint64_t(h) * 3;
        // Nothing is allocated for pixels the file does not hold.
        if (bytes > source.remaining() || (w > 0 && h > 0 && (w > kMaxFrameSide || h > kMaxFrameSide)))
            return result;
        if (w == 0 || h == 0) {
            result.images.emplace_back();  // keeps the indices of later entries
            continue;
        }
        PixelBuffer image(w, h, 3);
        if (source.read(image.data(), image.byteCount()) != image.byteCount())
            return result;
        result.images.push_back(std::move(image));
    }
    result.complete = true;
    return result;
}

void SetFrameLibraryFolder(const std::string& folder)
{
    OverriddenFolder() = folder.empty() || folder.back() == '/' ? folder : folder + '/';
}

std::string FrameLibraryFolder()
{
    if (!OverriddenFolder().empty())
        return OverriddenFolder();
    const std::string exe = ExecutableFolder();
    for (const std::string& folder : {DataFolderPath(), exe + "Data/", exe + "../share/ombrik/frames/"})
        if (!folder.empty() && FileExists(folder + kFrameThumbnailsFile))
            return folder;
    return DataFolderPath();
}

std::optional<PixelBuffer> LoadFrame(int index)
{
    FileSource file(FrameLibraryFolder() + kFramePicturesFile);
    if (!file.isOpen())
        return std::nullopt;
    const auto bytes = ReadFrameEntry(file, index);
    if (!bytes)
        return std::nullopt;
    return DecodeFramePicture(*bytes);
}

Thumbnails LoadThumbnails()
{
    FileSource file(FrameLibraryFolder() + kFrameThumbnailsFile);
    if (!file.isOpen())
        return {};
    return ReadThumbnails(file);
}

void SetEntryCount(std::vector<uint8_t>& file, uint32_t count)
{
    if (file.size() < 4)
        file.resize(4, 0);
    for (int i = 0; i < 4; ++i)
        file[size_t(i)] = uint8_t(count >> (8 * i));
}

void AppendFrameEntry(std::vector<uint8_t>& file, const std::vector<uint8_t>& encodedPicture)
{
    if (file.size() < 4)
        file.resize(4, 0);
    PutU32(file, 0);
    PutU32(file, 0);
    PutU32(file, uint32_t(encodedPicture.size()));
    file.insert(file.end(), encodedPicture.begin(), encodedPicture.end());
}

void AppendThumbnailEntry(std::vector<uint8_t>& file, const PixelBuffer& thumbnail)
{
    if (file.size() < 4)
        file.resize(4, 0);
    PutU32(file, uint32_t(thumbnail.width));
    PutU32(file, uint32_t(thumbnail.height));
    file.insert(file.end(), thumbnail.pixels.begin(), thumbnail.pixels.end());
}

} // namespace ombrik
