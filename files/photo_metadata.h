// Camera metadata carried from an opened photo to every save: the EXIF, XMP
// and IPTC blocks as found (kept as bytes beside the photo) and its colour
// profile. On save the blocks are corrected to the saved picture (upright
// orientation, its pixel size, no stale thumbnail, this program as the
// software, the save time as the modification date) and written into the
// encoded file. Exiv2 does the parsing and writing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ombrik {

// Metadata blocks larger than this are not kept (a camera's EXIF fits in
// 64 KiB; XMP with a history can be larger).
inline constexpr size_t kMaxMetadataBlockBytes = 4u << 20;

// Sets Exiv2 up once for the whole program: quiet, and its XMP parser
// initialised, which must happen once before any thread parses XMP. Every
// reader of metadata calls it first.
void InitialiseExiv2();

inline constexpr const char* kSoftwareName = "Ombrik Photo Editor 0.1";

struct PhotoMetadata {
    std::vector<uint8_t> exif;   // TIFF-structured EXIF block (byte-order mark first)
    std::string xmp;             // XMP packet
    std::vector<uint8_t> iptc;   // IPTC IIM records
    std::vector<uint8_t> icc;    // the embedded colour profile as found
    bool hadProfile = false;     // the file described its colours (ICC or coded colour)
    std::string dateTaken;       // "YYYY:MM:DD HH:MM:SS" when the camera recorded it
    std::string camera;          // maker and model
    std::vector<std::string> notes;  // what was dropped while reading, for messages
    // How the opened file stored its picture, so that a plain Save can write
    // it back the same way: the quality estimated from a JPEG's tables (none
    // for other formats), and whether it was stored without loss (PNG, TIFF
    // without JPEG compression, BMP, GIF and the like, a lossless WebP or
    // JPEG XL).
    std::optional<int> sourceQuality;
    bool sourceLossless = false;

    bool hasMetadata() const { return !exif.empty() || !xmp.empty() || !iptc.empty(); }
};

// Reads EXIF, XMP, IPTC and the ICC profile of a file of a type Exiv2 knows
// (JPEG, PNG, TIFF, WebP, ...). A block that cannot be parsed is left out with
// a note; a file Exiv2 does not know gives empty metadata.
PhotoMetadata ReadPhotoMetadata(const std::string& path);

// Adds blocks found by another decoder (HEIF, JPEG XL): an EXIF block starting
// with its TIFF header (a leading "Exif\0\0" is skipped) and an XMP packet.
// Damaged blocks are dropped with a note.
void AddMetadataBlocks(PhotoMetadata& metadata, const uint8_t* exif, size_t exifSize, const std::string& xmp);

// A number tag of an EXIF block as kept in PhotoMetadata::exif
// ("Exif.Image.Orientation"); none when the block lacks it or cannot be read.
std::optional<long> ExifNumber(const std::vector<uint8_t>& exif, const char* key);

// The EXIF orientation of a block, 1 to 8; 1 when it has none or a value
// outside that range.
int ExifOrientation(const std::vector<uint8_t>& exif);

// The blocks to write for a saved picture of width × height, corrected.
struct SaveMetadata {
    std::vector<uint8_t> exif;   // TIFF-structured, empty for none
    std::string xmp;
    std::vector<uint8_t> iptc;
    std::vector<std::string> notes;
};
SaveMetadata CorrectedMetadata(const PhotoMetadata& metadata, int width, int height);

// Writes `blocks` into an encoded JPEG, PNG, TIFF or WebP file in memory
// (the encoders write the colour profile themselves); a PNG gets its EXIF
// both as an eXIf chunk and in the older text form. A block the format
// cannot hold is left out; when Exiv2 cannot write the file at all, `file`
// stays as it was and a note says so (the picture is saved without metadata
// rather than not at all).
void EmbedMetadata(std::vector<uint8_t>& file, const SaveMetadata& blocks, std::vector<std::string>& notes);

// The date as EXIF writes it ("YYYY:MM:DD HH:MM:SS"), local time.
std::string ExifDateNow();

} // namespace ombrik
