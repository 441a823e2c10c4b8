#include "files/photo_metadata.h"
#include "files/reasons.h"

// Exiv2 0.27's headers still use std::auto_ptr.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/bmpimage.hpp>
#include <exiv2/exiv2.hpp>
#include <exiv2/gifimage.hpp>
#include <exiv2/jp2image.hpp>
#include <exiv2/webpimage.hpp>
#pragma GCC diagnostic pop

#include <zlib.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <string_view>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace ombrik {

namespace {

std::string Trimmed(std::string text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
        text.pop_back();
    size_t start = 0;
    while (start < text.size() && text[start] == ' ')
        ++start;
    return text.substr(start);
}

std::string ExifText(const Exiv2::ExifData& exif, const char* key)
{
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    return it == exif.end() ? std::string() : Trimmed(it->toString());
}

std::string XmpText(const Exiv2::XmpData& xmp, const char* key)
{
    const auto it = xmp.findKey(Exiv2::XmpKey(key));
    return it == xmp.end() ? std::string() : Trimmed(it->toString());
}

// The date taken and the camera, for the window's photo information.
void FillSummary(PhotoMetadata& metadata, const Exiv2::ExifData& exif, const Exiv2::XmpData& xmp)
{
    if (metadata.dateTaken.empty()) {
        metadata.dateTaken = ExifText(exif, "Exif.Photo.DateTimeOriginal");
        if (metadata.dateTaken.empty())
            metadata.dateTaken = XmpText(xmp, "Xmp.exif.DateTimeOriginal");
        if (metadata.dateTaken.empty())
            metadata.dateTaken = XmpText(xmp, "Xmp.photoshop.DateCreated");
    }
    if (metadata.camera.empty()) {
        const std::string make = ExifText(exif, "Exif.Image.Make");
        std::string model = ExifText(exif, "Exif.Image.Model");
        if (model.empty())
            model = XmpText(xmp, "Xmp.tiff.Model");
        if (!make.empty() && model.compare(0, make.size(), make) != 0)
            model = model.empty() ? make : make + " " + model;
        metadata.camera = model;
    }
}

std::vector<uint8_t> EncodeExif(const Exiv2::ExifData& exif)
{
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
    return std::vector<uint8_t>(blob.begin(), blob.end());
}

std::vector<uint8_t> EncodeIptc(const Exiv2::IptcData& iptc)
{
    const Exiv2::DataBuf buf = Exiv2::IptcParser::encode(iptc);
    if (buf.size_ <= 0)
        return {};
    return std::vector<uint8_t>(buf.pData_, buf.pData_ + buf.size_);
}

// Keeps the blocks of an image Exiv2 has read; a block it could not make
// sense of is dropped with a note.
void KeepBlocks(PhotoMetadata& metadata, Exiv2::Image& image)
{
    try {
        if (!image.exifData().empty()) {
            metadata.exif = EncodeExif(image.exifData());
            if (metadata.exif.size() > kMaxMetadataBlockBytes) {
                metadata.exif.clear();
                metadata.notes.push_back(QT_TRANSLATE_NOOP("Reasons", "the EXIF block is too large and was not kept"));
            }
        }
    } catch (const std::exception&) {
        metadata.exif.clear();
        metadata.notes.push_back(QT_TRANSLATE_NOOP("Reasons", "the EXIF block is damaged and was not kept"));
    }
    if (!image.xmpPacket().empty() && image.xmpPacket().size() <= kMaxMetadataBlockBytes)
        metadata.xmp = image.xmpPacket();
    try {
        if (!image.iptcData().empty())
            metadata.iptc = EncodeIptc(image.iptcData());
    } catch (const std::exception&) {
        metadata.iptc.clear();
        metadata.notes.push_back(QT_TRANSLATE_NOOP("Reasons", "the IPTC block is damaged and was not kept"));
    }
    if (image.iccProfileDefined()) {
        const Exiv2::DataBuf* icc = image.iccProfile();
        if (icc && icc->size_ > 0)
            metadata.icc.assign(icc->pData_, icc->pData_ + icc->size_);
    }
    if (metadata.icc.empty()) {
        // TIFF keeps its profile as an EXIF tag.
        const auto it = image.exifData().findKey(Exiv2::ExifKey("Exif.Image.InterColorProfile"));
        if (it != image.exifData().end() && it->size() > 0 && it->size() <= 16u << 20) {
            metadata.icc.resize(it->size());
            it->copy(metadata.icc.data(), Exiv2::invalidByteOrder);
        }
    }
    metadata.hadProfile = metadata.hadProfile || !metadata.icc.empty();
    FillSummary(metadata, image.exifData(), image.xmpData());
}

// Tags that describe how the source file stored its pixels or its other
// images; they are wrong for any saved picture.
constexpr const char* kStaleExifKeys[] = {
    "Exif.Image.NewSubfileType",  "Exif.Image.SubfileType",     "Exif.Image.ImageWidth",
    "Exif.Image.ImageLength",     "Exif.Image.BitsPerSample",   "Exif.Image.Compression",
    "Exif.Image.PhotometricInterpretation", "Exif.Image.StripOffsets", "Exif.Image.SamplesPerPixel",
    "Exif.Image.RowsPerStrip",    "Exif.Image.StripByteCounts", "Exif.Image.PlanarConfiguration",
    "Exif.Image.Predictor",       "Exif.Image.TileWidth",       "Exif.Image.TileLength",
    "Exif.Image.TileOffsets",     "Exif.Image.TileByteCounts",  "Exif.Image.SubIFDs",
    "Exif.Image.JPEGTables",      "Exif.Image.InterColorProfile", "Exif.Image.XMLPacket",
    "Exif.Image.IPTCNAA",         "Exif.Image.ImageResources",  "Exif.Image.ExtraSamples",
    "Exif.Image.SampleFormat",    "Exif.Image.YCbCrSubSampling", "Exif.Image.YCbCrPositioning",
    "Exif.Image.YCbCrCoefficients", "Exif.Image.XResolution", "Exif.Image.YResolution",
    "Exif.Image.ResolutionUnit",  "Exif.Image.JPEGInterchangeFormat", "Exif.Image.JPEGInterchangeFormatLength",
    "Exif.Photo.InteroperabilityTag",
};

std::string IsoDateNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    // ISO 8601 wants the zone as +hh:mm.
    char zone[8];
    std::strftime(zone, sizeof zone, "%z", &local);
    std::string out = text;
    if (std::strlen(zone) == 5)
        out += std::string(zone, 3) + ":" + std::string(zone + 3, 2);
    return out;
}

std::vector<uint8_t> CorrectExif(const std::vector<uint8_t>& bytes, int width, int height,
                                 std::vector<std::string>& notes)
{
    Exiv2::ExifData exif;
    try {
        Exiv2::ExifParser::decode(exif, bytes.data(), uint32_t(bytes.size()));
    } catch (const std::exception&) {
        notes.push_back(QT_TRANSLATE_NOOP("Reasons", "the EXIF block could not be read and was left out"));
        return {};
    }
    if (exif.empty())
        return {};
    try {
        Exiv2::ExifThumb(exif).erase();
        for (auto it = exif.begin(); it != exif.end();) {
            const std::string group = it->groupName();
            if (group.rfind("SubImage", 0) == 0 || group.rfind("SubThumb", 0) == 0 || group == "Thumbnail")
                it = exif.erase(it);
            else
                ++it;
        }
        for (const char* key : kStaleExifKeys) {
            const auto it = exif.findKey(Exiv2::ExifKey(key));
            if (it != exif.end())
                exif.erase(it);
        }
        exif["Exif.Image.Orientation"] = uint16_t(1);
        exif["Exif.Photo.PixelXDimension"] = uint32_t(width);
        exif["Exif.Photo.PixelYDimension"] = uint32_t(height);
        exif["Exif.Image.Software"] = std::string(kSoftwareName);
        exif["Exif.Image.DateTime"] = ExifDateNow();
        return EncodeExif(exif);
    } catch (const std::exception&) {
        notes.push_back(QT_TRANSLATE_NOOP("Reasons", "the EXIF block could not be written and was left out"));
        return {};
    }
}

std::string CorrectXmp(const std::string& packet, int width, int height, std::vector<std::string>& notes)
{
    Exiv2::XmpData xmp;
    try {
        if (Exiv2::XmpParser::decode(xmp, packet) != 0) {
            notes.push_back(QT_TRANSLATE_NOOP("Reasons", "the XMP block could not be read and was left out"));
            return {};
        }
        auto setIfPresent = [&xmp](const char* key, const std::string& value) {
            const auto it = xmp.findKey(Exiv2::XmpKey(key));
            if (it != xmp.end())
                it->setValue(value);
        };
        setIfPresent("Xmp.tiff.Orientation", "1");
        setIfPresent("Xmp.tiff.ImageWidth", std::to_string(width));
        setIfPresent("Xmp.tiff.ImageLength", std::to_string(height));
        setIfPresent("Xmp.exif.PixelXDimension", std::to_string(width));
        setIfPresent("Xmp.exif.PixelYDimension", std::to_string(height));
        for (const char* stale : {"Xmp.xmp.Thumbnails", "Xmp.photoshop.ICCProfile", "Xmp.tiff.BitsPerSample",
                                  "Xmp.tiff.Compression", "Xmp.tiff.PhotometricInterpretation"}) {
            for (auto it = xmp.begin(); it != xmp.end();) {
                if (it->key().rfind(stale, 0) == 0)
                    it = xmp.erase(it);
                else
                    ++it;
            }
        }
        const std::string now = IsoDateNow();
        xmp["Xmp.xmp.ModifyDate"] = now;
        xmp["Xmp.xmp.MetadataDate"] = now;
        xmp["Xmp.xmp.CreatorTool"] = kSoftwareName;
        std::string out;
        if (Exiv2::XmpParser::encode(out, xmp, Exiv2::XmpParser::useCompactFormat) != 0) {
            notes.push_back(QT_TRANSLATE_NOOP("Reasons", "the XMP block could not be written and was left out"));
            return {};
        }
        return out;
    } catch (const std::exception&) {
        notes.push_back(QT_TRANSLATE_NOOP("Reasons", "the XMP block could not be written and was left out"));
        return {};
    }
}

uint32_t BigEndian32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(value >> shift));
}

// PNG's own place for EXIF is the eXIf chunk, which photo libraries read;
// Exiv2 writes only the older text form ("Raw profile type exif"), which is
// kept beside it for older readers. The chunk goes right before the picture
// data, after the text form, so a reader that keeps the last EXIF it meets
// keeps the standard one. A file whose chunks cannot be walked is left as
// it is.
void AddPngExifChunk(std::vector<uint8_t>& file, const std::vector<uint8_t>& exif)
{
    static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (exif.empty() || exif.size() > kMaxMetadataBlockBytes || file.size() < 8
        || std::memcmp(file.data(), kSignature, 8) != 0)
        return;
    size_t at = 8;
    while (at + 12 <= file.size()) {
        const uint32_t length = BigEndian32(file.data() + at);
        if (length > file.size() - at - 12)
            return;
        const std::string_view type(reinterpret_cast<const char*>(file.data() + at + 4), 4);
        if (type == "eXIf") {  // only one is allowed
            file.erase(file.begin() + std::ptrdiff_t(at), file.begin() + std::ptrdiff_t(at + 12 + length));
            continue;
        }
        if (type == "IDAT")
            break;
        at += 12 + length;
    }
    if (at + 12 > file.size())
        return;
    std::vector<uint8_t> chunk;
    chunk.reserve(exif.size() + 12);
    PutBigEndian32(chunk, uint32_t(exif.size()));
    chunk.insert(chunk.end(), {'e', 'X', 'I', 'f'});
    chunk.insert(chunk.end(), exif.begin(), exif.end());
    PutBigEndian32(chunk, uint32_t(crc32(0, chunk.data() + 4, uInt(chunk.size() - 4))));
    file.insert(file.begin() + std::ptrdiff_t(at), chunk.begin(), chunk.end());
}

} // namespace

void InitialiseExiv2()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
    });
}

std::string ExifDateNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[24];
    std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &local);
    return text;
}

// The picture types whose metadata is read. A damaged picture can look like
// a video container to Exiv2 (a few bytes spelling "ftyp"), whose parsers
// can loop for minutes on hostile data; the editor opens no video anyway.
static bool IsStillPictureType(int type)
{
    namespace T = Exiv2::ImageType;
    for (int still : {T::jpeg, T::exv, T::tiff, T::png, T::webp, T::gif, T::bmp, T::jp2})
        if (type == still)
            return true;
    return false;
}

PhotoMetadata ReadPhotoMetadata(const std::string& path)
{
    InitialiseExiv2();
    PhotoMetadata metadata;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return metadata;
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path, false);
        if (!image.get() || !IsStillPictureType(image->imageType()))
            return metadata;
        image->readMetadata();
        KeepBlocks(metadata, *image);
    } catch (const std::exception&) {
        // A file type Exiv2 does not know has no metadata it could carry;
        // one it knows but cannot parse loses its metadata, not its picture.
        try {
            if (Exiv2::ImageFactory::getType(path) != Exiv2::ImageType::none)
                metadata.notes.push_back(QT_TRANSLATE_NOOP("Reasons", "the photo's metadata is damaged and was not kept"));
        } catch (const std::exception&) {
        }
        metadata.exif.clear();
        metadata.xmp.clear();
        metadata.iptc.clear();
    }
    return metadata;
}

void AddMetadataBlocks(PhotoMetadata& metadata, const uint8_t* exif, size_t exifSize, const std::string& xmp)
{
    InitialiseExiv2();
    Exiv2::ExifData exifData;
    if (exif && exifSize > 6 && std::memcmp(exif, "Exif\0\0", 6) == 0) {
        exif += 6;
        exifSize -= 6;
    }
    if (exif && exifSize > 0 && exifSize <= kMaxMetadataBlockBytes) {
        try {
            Exiv2::ExifParser::decode(exifData, exif, uint32_t(exifSize));
            if (!exifData.empty())
                metadata.exif = EncodeExif(exifData);
        } catch (const std::exception&) {
            exifData.clear();
            metadata.exif.clear();
            metadata.notes.push_back(QT_TRANSLATE_NOOP("Reasons", "the EXIF block is damaged and was not kept"));
        }
    }
    Exiv2::XmpData xmpData;
    if (!xmp.empty() && xmp.size() <= kMaxMetadataBlockBytes) {
        try {
            if (Exiv2::XmpParser::decode(xmpData, xmp) == 0)
                metadata.xmp = xmp;
            else
                metadata.notes.push_back(QT_TRANSLATE_NOOP("Reasons", "the XMP block is damaged and was not kept"));
        } catch (const std::exception&) {
            xmpData.clear();
            metadata.notes.push_back(QT_TRANSLATE_NOOP("Reasons", "the XMP block is damaged and was not kept"));
        }
    }
    FillSummary(metadata, exifData, xmpData);
}

std::optional<long> ExifNumber(const std::vector<uint8_t>& exif, const char* key)
{
    if (exif.empty())
        return std::nullopt;
    InitialiseExiv2();
    try {
        Exiv2::ExifData data;
        Exiv2::ExifParser::decode(data, exif.data(), uint32_t(exif.size()));
        const auto it = data.findKey(Exiv2::ExifKey(key));
        if (it == data.end() || it->count() == 0)
            return std::nullopt;
        return it->toLong();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

int ExifOrientation(const std::vector<uint8_t>& exif)
{
    const std::optional<long> orientation = ExifNumber(exif, "Exif.Image.Orientation");
    return orientation && *orientation >= 1 && *orientation <= 8 ? int(*orientation) : 1;
}

SaveMetadata CorrectedMetadata(const PhotoMetadata& metadata, int width, int height)
{
    InitialiseExiv2();
    SaveMetadata out;
    if (!metadata.exif.empty())
        out.exif = CorrectExif(metadata.exif, width, height, out.notes);
    if (!metadata.xmp.empty())
        out.xmp = CorrectXmp(metadata.xmp, width, height, out.notes);
    out.iptc = metadata.iptc;
    return out;
}

void EmbedMetadata(std::vector<uint8_t>& file, const SaveMetadata& blocks, std::vector<std::string>& notes)
{
    InitialiseExiv2();
    const bool any = !blocks.exif.empty() || !blocks.xmp.empty() || !blocks.iptc.empty();
    if (!any || file.empty())
        return;
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(file.data(), long(file.size()));
        if (!image.get())
            return;
        image->readMetadata();  // the encoder's own structure (TIFF tags)
        if (!blocks.exif.empty() && (image->checkMode(Exiv2::mdExif) & Exiv2::amWrite)) {
            Exiv2::ExifData exif;
            Exiv2::ExifParser::decode(exif, blocks.exif.data(), uint32_t(blocks.exif.size()));
            // A TIFF file's own image tags stay as the encoder wrote them.
            for (const Exiv2::Exifdatum& datum : exif)
                image->exifData()[datum.key()] = datum.value();
        }
        if (!blocks.xmp.empty() && (image->checkMode(Exiv2::mdXmp) & Exiv2::amWrite)) {
            image->setXmpPacket(blocks.xmp);
            image->writeXmpFromPacket(true);
        }
        if (!blocks.iptc.empty() && (image->checkMode(Exiv2::mdIptc) & Exiv2::amWrite)) {
            Exiv2::IptcData iptc;
            if (Exiv2::IptcParser::decode(iptc, blocks.iptc.data(), uint32_t(blocks.iptc.size())) == 0)
                image->setIptcData(iptc);
        }
        image->writeMetadata();
        Exiv2::BasicIo& io = image->io();
        io.seek(0, Exiv2::BasicIo::beg);
        const Exiv2::DataBuf written = io.read(long(io.size()));
        if (written.size_ <= 0) {
            notes.push_back(QT_TRANSLATE_NOOP("Reasons", "the metadata could not be written; the picture was saved without it"));
            return;
        }
        file.assign(written.pData_, written.pData_ + written.size_);
        if (image->imageType() == Exiv2::ImageType::png)
            AddPngExifChunk(file, blocks.exif);
    } catch (const std::exception& e) {
        notes.push_back(std::string("the metadata could not be written (") + e.what()
                        + "); the picture was saved without it");
    }
}

} // namespace ombrik
