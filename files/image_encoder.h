// Saving a picture by its file name's extension: the encoder of each format
// the format table writes, the JPEG quality and TIFF compression settings, and
// writes that never lose the old file (the new picture goes to a temporary
// file in the same folder, which replaces the target only after it was written
// completely). Saves of whole photos go through SavePhoto (photo_saver.h).
#pragma once

#include "engine/pixel_buffer.h"
#include "files/photo_metadata.h"
#include "files/pixel_image.h"

#include <QByteArray>
#include <QImage>

#include <memory>
#include <string>
#include <vector>

namespace ombrik {

struct PictureFormat;

enum class SaveStatus {
    Ok,
    NoEncoder,     // the extension names no encoder: nothing written
    EncodeFailed,  // the picture could not be encoded: nothing written
    WriteFailed,   // the file could not be written: any old file is unchanged
};

// A sentence for messages ("no picture format matches the extension", ...).
const char* SaveStatusText(SaveStatus status);

class ImageEncoder {
public:
    static constexpr int kDefaultQuality = 90;
    static constexpr int kLzwCompression = 2;

    enum class Parameter { None, Quality, Compression };

    // Chooses the encoder for the path's extension ("*.ext", lower case):
    // that of the format table's row, when the row is written.
    explicit ImageEncoder(const std::string& path);

    bool found() const { return m_format != nullptr; }
    const PictureFormat* format() const { return m_format; }
    const std::string& mimeType() const { return m_mimeType; }
    const std::string& pattern() const { return m_pattern; }

    void setQuality(int quality) { m_quality = quality; }
    int quality() const { return m_quality; }
    int compression() const { return m_compression; }

    // The one encoder parameter passed with this encoder's output.
    Parameter parameter() const;

    // A lossy format with a lossless choice (WebP, JPEG XL).
    bool supportsLossless() const;
    void setLossless(bool lossless) { m_lossless = lossless; }
    bool lossless() const { return m_lossless; }

    // The opened photo's metadata, written (corrected to the saved picture)
    // into every format whose row says it carries metadata (JPEG, PNG, TIFF,
    // WebP, AVIF, JPEG XL), with an sRGB colour profile when the photo had one. `strip` writes
    // no EXIF, XMP or IPTC at all. Without this call nothing is added (undo
    // snapshots).
    void setMetadata(const PhotoMetadata& metadata, bool strip);
    // What was left out during the last save (damaged blocks), for messages.
    const std::vector<std::string>& notes() const { return m_notes; }

    // Encodes into memory (undo snapshots keep pictures this way).
    SaveStatus saveToStream(const QImage& image, QByteArray& out) const;
    SaveStatus saveToStream(const PixelBuffer& picture, QByteArray& out) const;

    // Encodes, then replaces the file at `path` atomically.
    SaveStatus saveToFile(const QImage& image, const std::string& path) const;
    SaveStatus saveToFile(const PixelBuffer& picture, const std::string& path) const;

private:
    const PictureFormat* m_format = nullptr;
    std::string m_pattern;
    std::string m_mimeType;
    int m_quality = kDefaultQuality;
    int m_compression = kLzwCompression;
    bool m_lossless = false;
    std::shared_ptr<const PhotoMetadata> m_metadata;
    bool m_strip = false;
    mutable std::vector<std::string> m_notes;
};

// Writes `bytes` to `path` through a temporary file in the same folder renamed
// over the target; false leaves any existing file as it was.
bool WriteFileAtomically(const std::string& path, const QByteArray& bytes);

} // namespace ombrik
