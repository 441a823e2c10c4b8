#include "files/image_encoder.h"
#include "files/reasons.h"

#include "files/codec_image.h"
#include "files/colour_profile.h"
#include "files/modern_codecs.h"
#include "files/picture_formats.h"
#include "files/tiff_handlers.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageWriter>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ombrik {

namespace {

// Qt's TIFF writer calls LZW compression 1.
constexpr int kQtTiffLzw = 1;

SaveStatus EncodeGif(const QImage& image, QByteArray& out)
{
    const PixelBuffer packed = PixelBufferFromImage(image);
    if (packed.empty())
        return SaveStatus::EncodeFailed;
    CodecImage codec;
    std::vector<uint8_t> bytes;
    if (!codec.fromPixels(packed.data(), packed.width, packed.height) || !codec.encode("GIF", bytes))
        return SaveStatus::EncodeFailed;
    out = QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    return SaveStatus::Ok;
}

void PutLe(QByteArray& out, qsizetype at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[at + i] = char((value >> (8 * i)) & 0xFF);
}

// 24-bit uncompressed BMP, byte for byte what Qt's BMP writer makes. Written
// here because Qt's writer loads every image plugin there is before it looks
// at its built-in formats, which costs a short run more than the encoding.
SaveStatus EncodeBmp(const QImage& image, QByteArray& out)
{
    const QImage bgr = image.format() == QImage::Format_BGR888 ? image : image.convertToFormat(QImage::Format_BGR888);
    if (bgr.isNull())
        return SaveStatus::EncodeFailed;
    const int w = bgr.width();
    const int h = bgr.height();
    const qsizetype row = (qsizetype(w) * 3 + 3) & ~qsizetype(3);
    const qsizetype pixels = row * h;
    constexpr int kHeader = 14 + 40;
    if (pixels > qsizetype(0x7FFFFFFF) - kHeader)
        return SaveStatus::EncodeFailed;
    out = QByteArray(kHeader + pixels, '\0');
    out[0] = 'B';
    out[1] = 'M';
    PutLe(out, 2, uint32_t(kHeader + pixels), 4);
    PutLe(out, 10, kHeader, 4);
    PutLe(out, 14, 40, 4);
    PutLe(out, 18, uint32_t(w), 4);
    PutLe(out, 22, uint32_t(h), 4);  // positive: rows stored bottom-up
    PutLe(out, 26, 1, 2);
    PutLe(out, 28, 24, 2);
    PutLe(out, 34, uint32_t(pixels), 4);
    PutLe(out, 38, uint32_t(bgr.dotsPerMeterX()), 4);
    PutLe(out, 42, uint32_t(bgr.dotsPerMeterY()), 4);
    char* data = out.data() + kHeader;
    for (int y = 0; y < h; ++y)
        std::memcpy(data + (h - 1 - y) * row, bgr.constScanLine(y), size_t(w) * 3);
    return SaveStatus::Ok;
}

} // namespace

const char* SaveStatusText(SaveStatus status)
{
    switch (status) {
    case SaveStatus::Ok: return QT_TRANSLATE_NOOP("Reasons", "saved");
    case SaveStatus::NoEncoder: return QT_TRANSLATE_NOOP("Reasons", "no picture format matches the file name's extension");
    case SaveStatus::EncodeFailed: return QT_TRANSLATE_NOOP("Reasons", "the picture could not be encoded");
    case SaveStatus::WriteFailed: return QT_TRANSLATE_NOOP("Reasons", "the file could not be written");
    }
    return QT_TRANSLATE_NOOP("Reasons", "unknown error");
}

ImageEncoder::ImageEncoder(const std::string& path)
{
    const PictureFormat* format = PictureFormatForPath(path);
    m_pattern.assign(1, '*');
    if (const size_t dot = path.rfind('.'); dot != std::string::npos)
        for (const char c : path.substr(dot))
            m_pattern += char(std::tolower(static_cast<unsigned char>(c)));
    if (format && format->canWrite) {
        m_format = format;
        m_mimeType = format->mimeTypes.front();
    }
}

ImageEncoder::Parameter ImageEncoder::parameter() const
{
    if (!m_format)
        return Parameter::None;
    if (m_format->lossy)
        return Parameter::Quality;
    if (m_format->id == PictureFormatId::Tiff)
        return Parameter::Compression;
    return Parameter::None;
}

bool ImageEncoder::supportsLossless() const { return m_format && m_format->losslessChoice(); }

void ImageEncoder::setMetadata(const PhotoMetadata& metadata, bool strip)
{
    m_metadata = std::make_shared<const PhotoMetadata>(metadata);
    m_strip = strip;
}

SaveStatus ImageEncoder::saveToStream(const QImage& image, QByteArray& out) const
{
    out.clear();
    m_notes.clear();
    if (!found())
        return SaveStatus::NoEncoder;
    if (image.isNull())
        return SaveStatus::EncodeFailed;
    const PictureFormatId id = m_format->id;
    if (id == PictureFormatId::Gif)
        return EncodeGif(image, out);
    if (id == PictureFormatId::Bmp
        && (image.format() == QImage::Format_BGR888 || image.format() == QImage::Format_RGB888
            || image.format() == QImage::Format_RGB32))
        return EncodeBmp(image, out);

    // What goes beside the pixels: the corrected blocks and the sRGB tag.
    const bool carries = m_metadata && m_format->metadata;
    SaveMetadata blocks;
    const std::vector<uint8_t>* icc = nullptr;
    if (carries) {
        if (!m_strip) {
            blocks = CorrectedMetadata(*m_metadata, image.width(), image.height());
            m_notes = blocks.notes;
        }
        if (m_metadata->hadProfile)
            icc = &SrgbProfile();
    }

    if (id == PictureFormatId::Webp || id == PictureFormatId::Avif || id == PictureFormatId::JpegXl) {
        // The libraries take 3-byte rows.
        const PixelBuffer picture = PixelBufferFromImage(image);
        if (picture.empty())
            return SaveStatus::EncodeFailed;
        EncodeExtras extras;
        extras.quality = m_quality;
        extras.lossless = m_lossless;
        extras.metadata = carries && !m_strip ? &blocks : nullptr;
        extras.icc = icc;
        std::vector<uint8_t> bytes;
        bool ok = false;
        if (id == PictureFormatId::Webp) {
            ok = EncodeWebp(picture, extras, bytes);
            if (ok)
                EmbedMetadata(bytes, blocks, m_notes);
        } else if (id == PictureFormatId::Avif) {
            ok = EncodeAvif(picture, extras, bytes);
        } else {
            ok = EncodeJxl(picture, extras, bytes);
        }
        if (!ok)
            return SaveStatus::EncodeFailed;
        out = QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
        return SaveStatus::Ok;
    }

    // Everything else is written by Qt's writer of the row. Its JPEG, PNG and
    // TIFF writers embed the image's colour profile.
    QImage tagged = image;
    if (icc)
        tagged.setColorSpace(QColorSpace::fromIccProfile(
            QByteArray(reinterpret_cast<const char*>(icc->data()), qsizetype(icc->size()))));

    const ScopedQuietTiffHandlers quietTiff;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, m_format->qtFormat);
    switch (parameter()) {
    case Parameter::Quality: writer.setQuality(std::clamp(m_quality, 0, 100)); break;
    case Parameter::Compression: writer.setCompression(m_compression == kLzwCompression ? kQtTiffLzw : 0); break;
    case Parameter::None: break;
    }
    if (!writer.write(tagged)) {
        out.clear();
        return SaveStatus::EncodeFailed;
    }
    buffer.close();
    if (carries) {
        std::vector<uint8_t> bytes(out.begin(), out.end());
        EmbedMetadata(bytes, blocks, m_notes);
        out = QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    }
    return SaveStatus::Ok;
}

SaveStatus ImageEncoder::saveToStream(const PixelBuffer& picture, QByteArray& out) const
{
    return saveToStream(PixelBufferImage(picture), out);
}

SaveStatus ImageEncoder::saveToFile(const QImage& image, const std::string& path) const
{
    QByteArray bytes;
    const SaveStatus status = saveToStream(image, bytes);
    if (status != SaveStatus::Ok)
        return status;
    return WriteFileAtomically(path, bytes) ? SaveStatus::Ok : SaveStatus::WriteFailed;
}

SaveStatus ImageEncoder::saveToFile(const PixelBuffer& picture, const std::string& path) const
{
    return saveToFile(PixelBufferImage(picture), path);
}

bool WriteFileAtomically(const std::string& path, const QByteArray& bytes)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path target(path);
    // Saving through a link replaces the file it points to, not the link.
    if (fs::is_symlink(target, error)) {
        const fs::path resolved = fs::weakly_canonical(target, error);
        if (!error)
            target = resolved;
    }
    if (target.filename().empty())
        return false;

    // The temporary file sits beside the target so the rename stays on one
    // file system and is atomic.
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string hidden(1, '.');
    hidden.append(target.filename().string()).append(".XXXXXX");
    std::string temporary = (folder / hidden).string();
    const int fd = mkstemp(temporary.data());
    if (fd < 0)
        return false;

    // The new file gets the old one's permissions, or the usual ones.
    struct stat old {};
    mode_t mode;
    const bool replacing = stat(target.c_str(), &old) == 0;
    if (replacing) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }

    bool ok = fchmod(fd, mode) == 0;
    const char* data = bytes.constData();
    size_t left = size_t(bytes.size());
    while (ok && left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            ok = false;
            break;
        }
        data += written;
        left -= size_t(written);
    }
    // Before an existing file is replaced the new bytes must be on the disk,
    // or a crash could leave neither picture. A new name has no old picture
    // to lose, and the flush would cost a short run more than the encoding.
    ok = ok && (!replacing || fsync(fd) == 0);
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

} // namespace ombrik
