// Helpers of the metadata and colour tests: colour profiles made with Little
// CMS, photos converted into them, camera blocks, and reading files back
// through Exiv2 and the command-line tools.
#pragma once

#include "effects/effect_catalogue.h"
#include "files/colour_profile.h"
#include "files/image_encoder.h"
#include "files/modern_codecs.h"
#include "files/photo_loader.h"
#include "files/photo_metadata.h"
#include "tests/files/files_test_support.h"
#include "tests/support/photo_fixture.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop
#include <jxl/encode.h>
#include <lcms2.h>
#include <zlib.h>

#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace ombrik::test {

inline std::string Text(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

// The photo of the fixture cut to a size the loader keeps as it is.
inline PixelBuffer SourcePhoto(int width = 320, int height = 240) { return test::LoadSamplePhoto("coffee.png", width, height); }

inline std::vector<uint8_t> SaveProfile(cmsHPROFILE profile)
{
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    std::vector<uint8_t> out(size);
    cmsSaveProfileToMem(profile, out.data(), &size);
    cmsCloseProfile(profile);
    return out;
}

inline std::vector<uint8_t> GammaProfile(const cmsCIExyY& white, const cmsCIExyYTRIPLE& primaries, double gamma)
{
    cmsToneCurve* curve = cmsBuildGamma(nullptr, gamma);
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(curve);
    return SaveProfile(profile);
}

inline std::vector<uint8_t> AdobeRgbProfile()
{
    return GammaProfile({0.3127, 0.3290, 1.0}, {{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}}, 563.0 / 256.0);
}

inline std::vector<uint8_t> ProPhotoProfile()
{
    return GammaProfile({0.3457, 0.3585, 1.0}, {{0.7347, 0.2653, 1.0}, {0.1596, 0.8404, 1.0}, {0.0366, 0.0001, 1.0}},
                        1.8);
}

// The sRGB picture re-expressed in the colour space of `icc`.
inline PixelBuffer ToProfile(const PixelBuffer& srgb, const std::vector<uint8_t>& icc)
{
    cmsHPROFILE from = cmsCreate_sRGBProfile();
    cmsHPROFILE to = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
    cmsHTRANSFORM t = cmsCreateTransform(from, TYPE_BGR_8, to, TYPE_BGR_8, INTENT_RELATIVE_COLORIMETRIC,
                                         cmsFLAGS_BLACKPOINTCOMPENSATION);
    PixelBuffer out(srgb.width, srgb.height, 3);
    cmsDoTransform(t, srgb.data(), out.data(), cmsUInt32Number(srgb.width * srgb.height));
    cmsDeleteTransform(t);
    cmsCloseProfile(from);
    cmsCloseProfile(to);
    return out;
}

// Writes a JPEG of `picture` with the given profile and metadata blocks.
inline void WriteJpeg(const PixelBuffer& picture, const std::string& path, const std::vector<uint8_t>* icc,
               const SaveMetadata& blocks = {})
{
    QByteArray bytes;
    ASSERT_EQ(ImageEncoder("x.jpg").saveToStream(picture, bytes), SaveStatus::Ok);
    std::vector<uint8_t> file(bytes.begin(), bytes.end());
    if (icc) {
        // One APP2 "ICC_PROFILE" segment right after the start marker.
        std::vector<uint8_t> segment = {0xFF, 0xE2, 0, 0};
        const char tag[] = "ICC_PROFILE";
        segment.insert(segment.end(), tag, tag + sizeof tag);  // with its 0
        segment.push_back(1);
        segment.push_back(1);
        segment.insert(segment.end(), icc->begin(), icc->end());
        const size_t length = segment.size() - 2;
        segment[2] = uint8_t(length >> 8);
        segment[3] = uint8_t(length);
        file.insert(file.begin() + 2, segment.begin(), segment.end());
    }
    std::vector<std::string> notes;
    EmbedMetadata(file, blocks, notes);
    ASSERT_TRUE(notes.empty()) << notes.front();
    test::WriteFile(path, Text(file));
}

// A camera's blocks: maker, model, dates, exposure, GPS, orientation 6, a
// thumbnail, keywords in XMP and IPTC, a copyright.
inline SaveMetadata CameraBlocks()
{
    Exiv2::XmpParser::initialize();
    Exiv2::ExifData exif;
    exif["Exif.Image.Make"] = "Kestrel";
    exif["Exif.Image.Model"] = "Kestrel K7";
    exif["Exif.Image.Orientation"] = uint16_t(6);
    exif["Exif.Image.Software"] = "Kestrel firmware 1.2";
    exif["Exif.Image.Copyright"] = "A. Photographer";
    exif["Exif.Image.DateTime"] = "2021:05:06 07:08:09";
    exif["Exif.Photo.DateTimeOriginal"] = "2021:05:06 07:08:09";
    exif["Exif.Photo.ExposureTime"] = Exiv2::URational(1, 250);
    exif["Exif.Photo.FNumber"] = Exiv2::URational(28, 10);
    exif["Exif.Photo.LensModel"] = "50mm F1.8";
    exif["Exif.Photo.PixelXDimension"] = uint32_t(4000);
    exif["Exif.Photo.PixelYDimension"] = uint32_t(3000);
    exif["Exif.GPSInfo.GPSLatitudeRef"] = "N";
    exif["Exif.GPSInfo.GPSLatitude"] = "48/1 51/1 2400/100";
    exif["Exif.GPSInfo.GPSLongitudeRef"] = "E";
    exif["Exif.GPSInfo.GPSLongitude"] = "2/1 21/1 300/100";
    // An embedded thumbnail of the original picture.
    QByteArray thumb;
    ImageEncoder("t.jpg").saveToStream(test::RampPicture(16, 12), thumb);
    Exiv2::ExifThumb(exif).setJpegThumbnail(reinterpret_cast<const Exiv2::byte*>(thumb.constData()),
                                            long(thumb.size()));
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);

    Exiv2::XmpData xmp;
    xmp["Xmp.dc.subject"] = "harbour";
    xmp["Xmp.dc.subject"] = "boats";
    xmp["Xmp.tiff.Orientation"] = "6";
    xmp["Xmp.dc.creator"] = "A. Photographer";
    std::string packet;
    Exiv2::XmpParser::encode(packet, xmp);

    Exiv2::IptcData iptc;
    iptc["Iptc.Application2.Keywords"] = "harbour";
    iptc["Iptc.Application2.City"] = "Paris";
    const Exiv2::DataBuf iptcBytes = Exiv2::IptcParser::encode(iptc);

    SaveMetadata blocks;
    blocks.exif.assign(blob.begin(), blob.end());
    blocks.xmp = packet;
    blocks.iptc.assign(iptcBytes.pData_, iptcBytes.pData_ + iptcBytes.size_);
    return blocks;
}

struct ReadBack {
    Exiv2::ExifData exif;
    Exiv2::XmpData xmp;
    Exiv2::IptcData iptc;
    std::vector<uint8_t> icc;
};

inline ReadBack ReadWithExiv2(const std::string& path)
{
    ReadBack out;
    Exiv2::enableBMFF(true);  // AVIF and JPEG XL in their box containers
    Exiv2::Image::AutoPtr image;
    try {
        image = Exiv2::ImageFactory::open(path);
    } catch (const Exiv2::AnyError&) {
        // A bare JPEG XL codestream has nowhere to keep metadata.
        EXPECT_EQ(path.substr(path.size() - 4), ".jxl");
        return out;
    }
    image->readMetadata();
    out.exif = image->exifData();
    out.xmp = image->xmpData();
    out.iptc = image->iptcData();
    if (image->iccProfileDefined())
        out.icc.assign(image->iccProfile()->pData_, image->iccProfile()->pData_ + image->iccProfile()->size_);
    return out;
}

inline std::string Get(const Exiv2::ExifData& exif, const char* key)
{
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    return it == exif.end() ? std::string("<none>") : it->toString();
}

// A filter that changes the whole photo.
inline EffectId WholeImageEffect()
{
    for (const EffectInfo& info : EffectCatalogue())
        if (info.mode == ApplyMode::WholeImage && info.name)
            return info.id;
    return 0;
}

inline bool RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace ombrik::test
