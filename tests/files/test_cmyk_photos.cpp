// CMYK JPEGs and TIFFs with a CMYK profile open through that profile, turned
// upright and downsized like every other photo. The files and the profile are
// made here with libjpeg, libtiff and Little CMS.
#include "files/colour_profile.h"
#include "files/photo_loader.h"
#include "tests/files/files_test_support.h"
#include "tests/support/photo_fixture.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop
#include <lcms2.h>

#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include <jpeglib.h>
#include <tiffio.h>

namespace ombrik {
namespace {

using test::MeanDifference;
using test::TempFolder;

// The press this profile describes has heavy dot gain: each ink covers
// more than its value says, so a plain value v (what the plain ink formula of
// Qt's readers gives) prints as v^kDotGain. White and black stay.
constexpr double kDotGain = 1.8;

struct Sampler {
    cmsHTRANSFORM toLab;
};

cmsInt32Number SampleInks(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo)
{
    const double c = in[0] / 65535.0, m = in[1] / 65535.0, y = in[2] / 65535.0, k = in[3] / 65535.0;
    const double plain[3] = {(1 - c) * (1 - k), (1 - m) * (1 - k), (1 - y) * (1 - k)};
    double printed[3];
    for (int i = 0; i < 3; ++i)
        printed[i] = std::pow(plain[i], kDotGain);
    cmsCIELab lab;
    cmsDoTransform(static_cast<Sampler*>(cargo)->toLab, printed, &lab, 1);
    cmsFloat2LabEncodedV2(out, &lab);
    return TRUE;
}

// A CMYK output profile with one table from inks to Lab.
std::vector<uint8_t> PaperProfile()
{
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHPROFILE lab = cmsCreateLab2Profile(nullptr);
    Sampler sampler{cmsCreateTransform(srgb, TYPE_RGB_DBL, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0)};

    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    cmsSetProfileVersion(profile, 2.1);
    cmsSetDeviceClass(profile, cmsSigOutputClass);
    cmsSetColorSpace(profile, cmsSigCmykData);
    cmsSetPCS(profile, cmsSigLabData);
    cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());
    cmsPipeline* table = cmsPipelineAlloc(nullptr, 4, 3);
    cmsStage* grid = cmsStageAllocCLut16bit(nullptr, 17, 4, 3, nullptr);
    cmsStageSampleCLut16bit(grid, SampleInks, &sampler, 0);
    // Curves, the grid, curves: a v2 table (v4 perceptual tables assume a
    // reference black this plain model does not have).
    cmsPipelineInsertStage(table, cmsAT_END, cmsStageAllocToneCurves(nullptr, 4, nullptr));
    cmsPipelineInsertStage(table, cmsAT_END, grid);
    cmsPipelineInsertStage(table, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, nullptr));
    cmsWriteTag(profile, cmsSigAToB0Tag, table);
    cmsPipelineFree(table);

    std::vector<uint8_t> out;
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    out.resize(size);
    cmsSaveProfileToMem(profile, out.data(), &size);
    cmsCloseProfile(profile);
    cmsDeleteTransform(sampler.toLab);
    cmsCloseProfile(srgb);
    cmsCloseProfile(lab);
    return out;
}

// The inks the plain formula turns back into `picture` (0 = no ink).
std::vector<uint8_t> Inks(const PixelBuffer& picture)
{
    std::vector<uint8_t> inks(size_t(picture.width) * picture.height * 4);
    for (size_t i = 0; i < size_t(picture.width) * picture.height; ++i) {
        const uint8_t* p = picture.data() + i * 3;
        const double rgb[3] = {p[2] / 255.0, p[1] / 255.0, p[0] / 255.0};
        const double k = 1 - std::max({rgb[0], rgb[1], rgb[2]});
        for (int c = 0; c < 3; ++c)
            inks[i * 4 + c] = k >= 1 ? 0 : uint8_t(std::lround(255 * (1 - rgb[c] - k) / (1 - k)));
        inks[i * 4 + 3] = uint8_t(std::lround(255 * k));
    }
    return inks;
}

// What the profile shows for `picture`'s inks.
PixelBuffer Printed(const PixelBuffer& picture)
{
    PixelBuffer out(picture.width, picture.height, 3);
    for (size_t i = 0; i < picture.pixels.size(); ++i)
        out.pixels[i] = uint8_t(std::lround(255 * std::pow(picture.pixels[i] / 255.0, kDotGain)));
    return out;
}

// A picture turned as EXIF orientation 6 stores it: a quarter turn to the left.
PixelBuffer StoredForOrientation6(const PixelBuffer& upright)
{
    PixelBuffer stored(upright.height, upright.width, 3);
    for (int y = 0; y < stored.height; ++y)
        for (int x = 0; x < stored.width; ++x)
            std::memcpy(stored.at(x, y), upright.at(stored.height - 1 - y, x), 3);
    return stored;
}

// A CMYK JPEG the way Photoshop writes one: the Adobe marker and inverted
// bytes, the profile in APP2, EXIF in APP1.
void WriteCmykJpeg(const std::string& path, const std::vector<uint8_t>& inks, int width, int height,
                   const std::vector<uint8_t>& icc, int orientation)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    if (orientation != 1) {
        Exiv2::ExifData exif;
        exif["Exif.Image.Orientation"] = uint16_t(orientation);
        Exiv2::Blob blob;
        Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
        std::vector<uint8_t> app1 = {'E', 'x', 'i', 'f', 0, 0};
        app1.insert(app1.end(), blob.begin(), blob.end());
        jpeg_write_marker(&info, JPEG_APP0 + 1, app1.data(), unsigned(app1.size()));
    }
    jpeg_write_icc_profile(&info, icc.data(), unsigned(icc.size()));
    std::vector<uint8_t> row(size_t(width) * 4);
    while (info.next_scanline < info.image_height) {
        const uint8_t* from = inks.data() + size_t(info.next_scanline) * row.size();
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = uint8_t(255 - from[i]);
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
}

void WriteCmykTiff(const std::string& path, const std::vector<uint8_t>& inks, int width, int height,
                   const std::vector<uint8_t>& icc)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tiff, nullptr);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, uint16_t(8));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, uint16_t(4));
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_SEPARATED));
    TIFFSetField(tiff, TIFFTAG_INKSET, uint16_t(INKSET_CMYK));
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, uint16_t(COMPRESSION_LZW));
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, uint32_t(16));
    TIFFSetField(tiff, TIFFTAG_ICCPROFILE, uint32_t(icc.size()), icc.data());
    for (int y = 0; y < height; ++y)
        ASSERT_GE(TIFFWriteScanline(tiff, const_cast<uint8_t*>(inks.data()) + size_t(y) * width * 4, uint32_t(y), 0), 0);
    TIFFClose(tiff);
}

TEST(CmykPhotos, OpenThroughTheirProfileUprightAndDownsized)
{
    TempFolder folder;
    const PixelBuffer source = test::LoadSamplePhoto("coffee.png", 320, 240);
    const PixelBuffer expected = Printed(source);
    // The dot gain is large enough that the plain formula would be far off.
    ASSERT_GT(MeanDifference(source, expected), 15.0);
    const std::vector<uint8_t> icc = PaperProfile();
    ASSERT_EQ(ProfileColourSpace(icc), ProfileSpace::Cmyk);

    const std::string tiffPath = folder.path("print.tif");
    WriteCmykTiff(tiffPath, Inks(source), source.width, source.height, icc);
    const PixelBuffer stored = StoredForOrientation6(source);
    const std::string jpegPath = folder.path("print.jpg");
    WriteCmykJpeg(jpegPath, Inks(stored), stored.width, stored.height, icc, 6);

    for (const std::string& path : {tiffPath, jpegPath}) {
        SCOPED_TRACE(path);
        const LoadedPhoto loaded = LoadPhoto(path);
        ASSERT_TRUE(loaded.ok) << loaded.error;
        EXPECT_TRUE(loaded.metadata.hadProfile);
        EXPECT_TRUE(loaded.metadata.notes.empty()) << loaded.metadata.notes.front();
        ASSERT_EQ(loaded.photo.width, 320);
        ASSERT_EQ(loaded.photo.height, 240);
        // TIFF is lossless; JPEG adds its loss to the table's.
        EXPECT_LE(MeanDifference(loaded.photo, expected), path == tiffPath ? 1.5 : 3.0);

        // Downsized on open: the same picture, smaller.
        const LoadedPhoto small = LoadPhoto(path, 160, 120);
        ASSERT_TRUE(small.ok) << small.error;
        ASSERT_EQ(small.photo.width, 160);
        ASSERT_EQ(small.photo.height, 120);
        const QImage reference = QImage(expected.data(), 320, 240, int(expected.stride()), QImage::Format_BGR888)
                                     .scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                     .convertToFormat(QImage::Format_BGR888);
        PixelBuffer smallExpected(160, 120, 3);
        for (int y = 0; y < 120; ++y)
            std::memcpy(smallExpected.at(0, y), reference.constScanLine(y), smallExpected.stride());
        EXPECT_LE(MeanDifference(small.photo, smallExpected), 3.5);
    }

    // Cut short in its picture data (after the large profile), the JPEG
    // still opens, marked damaged, at its full size.
    const std::string bytes = test::ReadFile(jpegPath);
    const std::string cutPath = folder.path("cut.jpg");
    test::WriteFile(cutPath, bytes.substr(0, bytes.size() - 8000));
    const LoadedPhoto cut = LoadPhoto(cutPath);
    ASSERT_TRUE(cut.ok) << cut.error;
    EXPECT_TRUE(cut.damaged);
    EXPECT_EQ(cut.photo.width, 320);
    EXPECT_EQ(cut.photo.height, 240);

    // A CMYK profile that is damaged leaves the plain conversion, with a note.
    std::vector<uint8_t> broken = icc;
    for (size_t i = 200; i < broken.size(); ++i)
        broken[i] = uint8_t(i * 13);
    const std::string brokenPath = folder.path("broken.tif");
    WriteCmykTiff(brokenPath, Inks(source), source.width, source.height, broken);
    const LoadedPhoto plain = LoadPhoto(brokenPath);
    ASSERT_TRUE(plain.ok) << plain.error;
    EXPECT_FALSE(plain.metadata.notes.empty());
    EXPECT_LE(MeanDifference(plain.photo, source), 1.5);
}

} // namespace
} // namespace ombrik
