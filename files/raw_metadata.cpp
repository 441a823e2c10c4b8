#include "files/raw_metadata.h"

// Exiv2 0.27's headers still use std::auto_ptr.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

#include <libraw.h>

#include <cmath>
#include <cstring>
#include <ctime>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace ombrik {

namespace {

// IFD0 tags of a RAW file that describe the photo rather than the file.
constexpr const char* kImageTagsKept[] = {"Make", "Model", "Artist", "Copyright", "ImageDescription", "DateTime",
                                          "Orientation"};

bool Kept(const Exiv2::Exifdatum& datum)
{
    const std::string group = datum.groupName();
    if (group == "Photo")
        return datum.tagName() != "MakerNote";
    if (group == "GPSInfo")
        return true;
    if (group == "Image")
        for (const char* name : kImageTagsKept)
            if (datum.tagName() == name)
                return true;
    return false;
}

std::vector<uint8_t> Encode(const Exiv2::ExifData& exif)
{
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
    if (blob.size() > kMaxMetadataBlockBytes)
        return {};
    return std::vector<uint8_t>(blob.begin(), blob.end());
}

std::string Text(const Exiv2::ExifData& exif, const char* key)
{
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end())
        return {};
    std::string text = it->toString();
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
        text.pop_back();
    return text;
}

Exiv2::URational Rational(double value, int32_t denominator)
{
    return {uint32_t(std::lround(std::max(0.0, value) * denominator)), uint32_t(denominator)};
}

void AddRationals(Exiv2::ExifData& exif, const char* key, std::initializer_list<Exiv2::URational> values)
{
    Exiv2::URationalValue value;
    value.value_.assign(values.begin(), values.end());
    exif.add(Exiv2::ExifKey(key), &value);
}

// The camera's tags from LibRaw's reading, for formats Exiv2 does not know.
Exiv2::ExifData ExifFromLibRaw(const LibRaw& raw)
{
    const libraw_data_t& d = raw.imgdata;
    Exiv2::ExifData exif;
    if (d.idata.make[0])
        exif["Exif.Image.Make"] = std::string(d.idata.make);
    if (d.idata.model[0])
        exif["Exif.Image.Model"] = std::string(d.idata.model);
    if (d.other.timestamp > 0) {
        std::tm local{};
        char text[32] = {};
        const std::time_t when = d.other.timestamp;
        if (localtime_r(&when, &local) && std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &local))
            exif["Exif.Photo.DateTimeOriginal"] = std::string(text);
    }
    if (d.other.shutter > 0 && std::isfinite(d.other.shutter)) {
        const double s = d.other.shutter;
        exif["Exif.Photo.ExposureTime"] = s < 1 ? Exiv2::URational(1, uint32_t(std::lround(std::min(1.0 / s, 1e6))))
                                                : Rational(std::min(s, 1e5), 10);
    }
    if (d.other.aperture > 0 && d.other.aperture < 1000)
        exif["Exif.Photo.FNumber"] = Rational(d.other.aperture, 10);
    if (d.other.iso_speed > 0 && d.other.iso_speed < 65535)
        exif["Exif.Photo.ISOSpeedRatings"] = uint16_t(std::lround(d.other.iso_speed));
    if (d.other.focal_len > 0 && d.other.focal_len < 100000)
        exif["Exif.Photo.FocalLength"] = Rational(d.other.focal_len, 10);
    if (d.lens.Lens[0])
        exif["Exif.Photo.LensModel"] = std::string(d.lens.Lens, strnlen(d.lens.Lens, sizeof d.lens.Lens));
    const libraw_gps_info_t& gps = d.other.parsed_gps;
    if (gps.gpsparsed && (gps.latref == 'N' || gps.latref == 'S') && (gps.longref == 'E' || gps.longref == 'W')) {
        exif["Exif.GPSInfo.GPSLatitudeRef"] = std::string(1, gps.latref);
        AddRationals(exif, "Exif.GPSInfo.GPSLatitude",
                     {Rational(gps.latitude[0], 1), Rational(gps.latitude[1], 1), Rational(gps.latitude[2], 100)});
        exif["Exif.GPSInfo.GPSLongitudeRef"] = std::string(1, gps.longref);
        AddRationals(exif, "Exif.GPSInfo.GPSLongitude",
                     {Rational(gps.longitude[0], 1), Rational(gps.longitude[1], 1), Rational(gps.longitude[2], 100)});
    }
    return exif;
}

// Whether Exiv2 reads the file as one of its still-picture kinds a camera RAW
// can be (TIFF-based ones, CR2, CRW, MRW, ORF, RAF, RW2, or a JPEG). Its
// video parsers, which take a CR3 for a QuickTime film, can loop for ever on
// a damaged file; those files get LibRaw's reading.
bool ExivReadsAsPicture(const std::string& path)
{
    namespace type = Exiv2::ImageType;
    try {
        const int kind = Exiv2::ImageFactory::getType(path);
        return kind == type::tiff || kind == type::cr2 || kind == type::crw || kind == type::mrw
            || kind == type::orf || kind == type::raf || kind == type::rw2 || kind == type::jpeg;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

PhotoMetadata ReadRawMetadata(const std::string& path, const LibRaw& raw)
{
    InitialiseExiv2();
    PhotoMetadata metadata;
    Exiv2::ExifData exif;
    try {
        Exiv2::Image::AutoPtr image =
            ExivReadsAsPicture(path) ? Exiv2::ImageFactory::open(path, false) : Exiv2::Image::AutoPtr();
        if (image.get()) {
            image->readMetadata();
            for (const Exiv2::Exifdatum& datum : image->exifData())
                if (Kept(datum))
                    exif.add(datum);
            if (image->xmpPacket().size() <= kMaxMetadataBlockBytes)
                metadata.xmp = image->xmpPacket();
            if (!image->iptcData().empty()) {
                const Exiv2::DataBuf iptc = Exiv2::IptcParser::encode(image->iptcData());
                if (iptc.size_ > 0)
                    metadata.iptc.assign(iptc.pData_, iptc.pData_ + iptc.size_);
            }
        }
    } catch (const std::exception&) {
        // A RAW format Exiv2 does not know, or cannot parse: LibRaw's reading below.
        exif.clear();
        metadata.xmp.clear();
        metadata.iptc.clear();
    }
    try {
        if (exif.findKey(Exiv2::ExifKey("Exif.Image.Make")) == exif.end()
            && exif.findKey(Exiv2::ExifKey("Exif.Photo.DateTimeOriginal")) == exif.end())
            exif = ExifFromLibRaw(raw);
        metadata.exif = Encode(exif);
    } catch (const std::exception&) {
        metadata.exif.clear();
        metadata.notes.push_back("the camera's EXIF data could not be read and was not kept");
    }
    metadata.dateTaken = Text(exif, "Exif.Photo.DateTimeOriginal");
    const std::string make = Text(exif, "Exif.Image.Make");
    std::string model = Text(exif, "Exif.Image.Model");
    if (!make.empty() && model.compare(0, make.size(), make) != 0)
        model = model.empty() ? make : make + " " + model;
    metadata.camera = model;
    // The develop gives sRGB: a saved file says so.
    metadata.hadProfile = true;
    return metadata;
}

std::string ReadEmbeddedPreview(const std::string& path, size_t maxBytes, int& orientation)
{
    orientation = 1;
    if (!ExivReadsAsPicture(path))
        return {};
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path, false);
        if (!image.get())
            return {};
        image->readMetadata();
        const auto it = image->exifData().findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
        if (it != image->exifData().end() && it->count() > 0) {
            const long value = it->toLong(0);
            orientation = value >= 1 && value <= 8 ? int(value) : 1;
        }
        Exiv2::PreviewManager previews(*image);
        const Exiv2::PreviewPropertiesList list = previews.getPreviewProperties();  // smallest first
        for (auto p = list.rbegin(); p != list.rend(); ++p) {
            if (p->size_ == 0 || p->size_ > maxBytes)
                continue;
            const Exiv2::PreviewImage preview = previews.getPreviewImage(*p);
            if (preview.size() > 0)
                return std::string(reinterpret_cast<const char*>(preview.pData()), preview.size());
        }
    } catch (const std::exception&) {
        // No preview Exiv2 can reach.
    }
    return {};
}

} // namespace ombrik
