#include "fuzz/fuzz_input.h"

#include "files/colour_profile.h"
#include "files/image_encoder.h"
#include "files/modern_codecs.h"
#include "files/photo_loader.h"
#include "files/raw_photo.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace ombrik::fuzz {

namespace {
constexpr const char* kExtensions[] = {"jpg", "png", "bmp", "gif", "tif", "pcx", "pnm", "ppm",
                                       "tga", "ras", "wbmp", "ico", "wmf", "emf", "webp", "xyz"};
// First bytes from 240 name camera RAW files, which LibRaw is asked to read
// whatever they hold (RAW content reaches it under any name).
constexpr const char* kRawExtensions[] = {"dng", "nef", "cr2", "cr3", "arw", "raf", "orf", "rw2",
                                          "pef", "srw", "x3f", "iiq", "3fr", "nrw", "sr2", "dng"};
}

bool RunLoaderInput(const uint8_t* data, size_t size, const std::string& folder)
{
    if (size < 2)
        return false;
    std::filesystem::create_directories(folder);
    const char* extension = data[0] >= 240 ? kRawExtensions[(data[0] - 240) % std::size(kRawExtensions)]
                                           : kExtensions[data[0] % std::size(kExtensions)];
    const std::string path = folder + "/input." + extension;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 2), std::streamsize(size - 2));
    }
    // Small thresholds send most inputs through the codec library and its resampling.
    const int width = (data[1] & 1) ? 64 : kDefaultThresholdWidth;
    const int height = (data[1] & 1) ? 48 : kDefaultThresholdHeight;
    const LoadedPhoto loaded = LoadPhoto(path, width, height);
    if (loaded.ok && (loaded.photo.width % 4 != 0 || loaded.photo.height % 4 != 0 ||
                      loaded.photo.byteCount() != size_t(loaded.photo.width) * loaded.photo.height * 3))
        __builtin_trap();  // a loaded photo must keep the loader's promises
    // A RAW's first picture is what the window shows at once: it keeps them too.
    if (data[0] >= 240) {
        const LoadedPhoto first = LoadRawPreview(path, width, height);
        if (first.ok && (first.photo.width % 4 != 0 || first.photo.height % 4 != 0))
            __builtin_trap();
    }
    std::filesystem::remove(path);
    return loaded.ok;
}

namespace {

void Check(bool ok, const DecodedPicture& decoded)
{
    if (ok && (decoded.image.isNull() || decoded.image.format() != QImage::Format_RGB888
               || int64_t(decoded.image.width()) * decoded.image.height() > 4'000'000))
        __builtin_trap();
}

} // namespace

bool RunModernInput(const uint8_t* data, size_t size, const std::string& folder)
{
    if (size < 2)
        return false;
    const uint8_t* body = data + 1;
    const size_t length = size - 1;
    // Small limits keep each run short; a file over them must be refused.
    constexpr int64_t kSide = 4000;
    constexpr int64_t kPixels = 4'000'000;
    switch (data[0] % 6) {
    case 0: {
        DecodedPicture decoded;
        const bool ok = DecodeHeif(body, length, kSide, kPixels, decoded);
        Check(ok, decoded);
        return ok;
    }
    case 1: {
        DecodedPicture decoded;
        const bool ok = DecodeJxl(body, length, kSide, kPixels, decoded);
        Check(ok, decoded);
        return ok;
    }
    case 2: {
        // Metadata of a file of a type Exiv2 reads, then its profile applied.
        static constexpr const char* kTypes[] = {"jpg", "png", "tif", "webp"};
        if (length < 1)
            return false;
        std::filesystem::create_directories(folder);
        const std::string path = folder + "/meta." + kTypes[body[0] % 4];
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(body + 1), std::streamsize(length - 1));
        }
        const PhotoMetadata metadata = ReadPhotoMetadata(path);
        std::filesystem::remove(path);
        PixelBuffer photo(8, 8, 3);
        std::string note;
        ConvertToSrgb(photo, metadata.icc, note);
        const SaveMetadata blocks = CorrectedMetadata(metadata, 8, 8);
        return metadata.hasMetadata() || !blocks.exif.empty();
    }
    case 3:
    case 4: {
        // An EXIF block (and the same bytes as XMP) through correction and
        // into a saved JPEG or PNG.
        PhotoMetadata metadata;
        AddMetadataBlocks(metadata, body, length, std::string(reinterpret_cast<const char*>(body), length));
        metadata.exif.assign(body, body + length);  // also the raw bytes, as if kept
        metadata.hadProfile = true;
        ImageEncoder encoder(data[0] % 6 == 3 ? "x.jpg" : "x.png");
        encoder.setMetadata(metadata, false);
        QByteArray out;
        if (encoder.saveToStream(PixelBuffer(8, 8, 3), out) != SaveStatus::Ok || out.isEmpty())
            __builtin_trap();  // metadata must never fail a save
        return encoder.notes().empty();
    }
    default: {
        const std::vector<uint8_t> icc(body, body + length);
        PixelBuffer photo(16, 4, 3);
        for (size_t i = 0; i < photo.pixels.size(); ++i)
            photo.pixels[i] = uint8_t(i * 37);
        std::string note;
        const bool ok = ConvertToSrgb(photo, icc, note);
        PixelBuffer converted;
        std::vector<uint8_t> cmyk(16 * 4 * 4, 100);
        ConvertCmykToSrgb(cmyk.data(), 16, 4, icc, converted, note);
        if (!converted.empty() && converted.pixels.size() != 16 * 4 * 3)
            __builtin_trap();
        return ok;
    }
    }
}

} // namespace ombrik::fuzz
