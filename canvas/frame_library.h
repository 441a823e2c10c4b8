// The photo frame library: two files in the data folder. "pframes" holds the
// frame pictures (encoded vertical strips whose width is the border thickness
// at scale 1), "pframes_t" the 24-bit thumbnails of the frame panel; entry i of
// one belongs to entry i of the other. Both are read as untrusted input: an
// absurd count or size, or a file cut short, gives no frame or the complete
// entries read so far, and no allocation exceeds what the file really holds.
#pragma once

#include "engine/pixel_buffer.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace ombrik {

inline constexpr const char* kFramePicturesFile = "pframes";
inline constexpr const char* kFrameThumbnailsFile = "pframes_t";
// Decoded frame strips beyond these sides are refused (a frame is a strip a
// few hundred pixels wide at most).
inline constexpr int kMaxFrameSide = 8192;

// A byte source with a known remaining length.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to n bytes; returns how many arrived.
    virtual size_t read(void* dst, size_t n) = 0;
    // Skips n bytes; false when fewer than n remain.
    virtual bool skip(uint64_t n) = 0;
    virtual uint64_t remaining() const = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    size_t read(void* dst, size_t n) override;
    bool skip(uint64_t n) override;
    uint64_t remaining() const override { return m_size - m_pos; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

class FileSource : public ByteSource {
public:
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    bool isOpen() const { return m_file != nullptr; }
    size_t read(void* dst, size_t n) override;
    bool skip(uint64_t n) override;
    uint64_t remaining() const override { return m_size - m_pos; }

private:
    std::FILE* m_file = nullptr;
    uint64_t m_size = 0;
    uint64_t m_pos = 0;
};

// The encoded picture bytes of entry `index` of a "pframes" stream; nothing
// when the entry is missing or cut short.
std::optional<std::vector<uint8_t>> ReadFrameEntry(ByteSource& source, int index);

// Decodes frame picture bytes (any format Qt's image reader knows) into a
// 3-byte strip whose width is cut down to a multiple of 4; nothing when the
// bytes are no picture, the picture is narrower than 4 or larger than
// kMaxFrameSide.
std::optional<PixelBuffer> DecodeFramePicture(const std::vector<uint8_t>& bytes);

struct Thumbnails {
    std::vector<PixelBuffer> images;  // w × h × 3; an entry of 0 × 0 stays empty
    bool complete = false;            // false: the file ended early or held nonsense
};

// Reads a "pframes_t" stream: the entries that are complete, in order.
Thumbnails ReadThumbnails(ByteSource& source);

// The folder that holds the library: the data folder when it has "pframes_t",
// otherwise an installed or build-tree copy beside the program.
std::string FrameLibraryFolder();
// Overrides the folder (tests); an empty string restores the search.
void SetFrameLibraryFolder(const std::string& folder);

// Frame picture i from the library's "pframes"; nothing when it cannot be had.
std::optional<PixelBuffer> LoadFrame(int index);
// All thumbnails from the library's "pframes_t" (empty when it is missing).
Thumbnails LoadThumbnails();

// Writing, for the tool that makes the library and for tests.
void AppendFrameEntry(std::vector<uint8_t>& file, const std::vector<uint8_t>& encodedPicture);
void AppendThumbnailEntry(std::vector<uint8_t>& file, const PixelBuffer& thumbnail);
// Both start with a 4-byte count, which this sets.
void SetEntryCount(std::vector<uint8_t>& file, uint32_t count);

} // namespace ombrik
