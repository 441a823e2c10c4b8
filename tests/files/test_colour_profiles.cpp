// Colour profiles from open to save: wide-gamut and matrix profiles against
// Little CMS, and a phone's Display P3 HEIC.
#include "tests/files/metadata_test_util.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cmath>

namespace ombrik {
namespace {

using namespace test;

TEST(ColourProfiles, WideGamutPhotosComeBackToTheSrgbPicture)
{
    TempFolder folder;
    const PixelBuffer source = SourcePhoto();
    struct Case {
        const char* name;
        std::vector<uint8_t> icc;
    };
    // What JPEG alone loses on this picture: the bound for the round trips.
    WriteJpeg(source, folder.path("plain.jpg"), nullptr);
    const double jpegLoss = MeanDifference(LoadPhoto(folder.path("plain.jpg")).photo, source);
    ASSERT_GT(jpegLoss, 0.5);
    const double bound = jpegLoss + 1.2;
    const Case cases[] = {{"adobe.jpg", AdobeRgbProfile()}, {"prophoto.jpg", ProPhotoProfile()}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(ProfileColourSpace(c.icc), ProfileSpace::Rgb);
        EXPECT_FALSE(IsSrgbProfile(c.icc));
        const PixelBuffer wide = ToProfile(source, c.icc);
        // Read as if sRGB, the numbers are visibly off.
        EXPECT_GT(MeanDifference(wide, source), 4.0);
        WriteJpeg(wide, folder.path(c.name), &c.icc);
        const LoadedPhoto loaded = LoadPhoto(folder.path(c.name));
        ASSERT_TRUE(loaded.ok) << loaded.error;
        EXPECT_TRUE(loaded.metadata.hadProfile);
        EXPECT_LE(MeanDifference(loaded.photo, source), bound);

        // Saved: an sRGB profile, and the same picture when opened again.
        const std::string saved = folder.path(std::string("saved-") + c.name);
        ImageEncoder encoder(saved);
        encoder.setMetadata(loaded.metadata, true);  // the profile is kept even without metadata
        ASSERT_EQ(encoder.saveToFile(loaded.photo, saved), SaveStatus::Ok);
        const ReadBack back = ReadWithExiv2(saved);
        EXPECT_TRUE(IsSrgbProfile(back.icc));
        const LoadedPhoto again = LoadPhoto(saved);
        EXPECT_LE(MeanDifference(again.photo, source), bound + jpegLoss * 0.5);
    }
    // Every saved format carries the tag.
    PhotoMetadata profiled;
    profiled.hadProfile = true;
    for (const char* name : {"t.png", "t.tif", "t.webp", "t.avif", "t.jxl"}) {
        ImageEncoder encoder(folder.path(name));
        encoder.setMetadata(profiled, false);
        ASSERT_EQ(encoder.saveToFile(source, folder.path(name)), SaveStatus::Ok) << name;
        const LoadedPhoto back = LoadPhoto(folder.path(name));
        // JPEG XL describes sRGB by its own colour encoding, not a profile.
        if (std::string(name) != "t.jxl") {
            EXPECT_TRUE(back.metadata.hadProfile) << name;
            EXPECT_TRUE(IsSrgbProfile(back.metadata.icc)) << name;
        }
    }

    // A greyscale profile with a linear curve brightens the dark greys.
    cmsToneCurve* linear = cmsBuildGamma(nullptr, 1.0);
    const std::vector<uint8_t> grey = SaveProfile(cmsCreateGrayProfile(cmsD50_xyY(), linear));
    cmsFreeToneCurve(linear);
    PixelBuffer dark(16, 16, 3);
    std::fill(dark.pixels.begin(), dark.pixels.end(), uint8_t(50));
    std::string note;
    ASSERT_TRUE(ConvertToSrgb(dark, grey, note)) << note;
    EXPECT_GT(dark.pixels[0], 110);
    EXPECT_EQ(dark.pixels[0], dark.pixels[2]);

    // A broken profile is ignored with a note; the photo still opens as it is.
    std::vector<uint8_t> broken = AdobeRgbProfile();
    for (size_t i = 128; i < broken.size(); ++i)
        broken[i] = uint8_t(i * 7);
    WriteJpeg(source, folder.path("broken.jpg"), &broken);
    const LoadedPhoto loaded = LoadPhoto(folder.path("broken.jpg"));
    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_FALSE(loaded.metadata.notes.empty());
    EXPECT_LE(MeanDifference(loaded.photo, source), jpegLoss + 0.01);
}

// Every matrix profile converts as Little CMS converts at full precision,
// within one level, out-of-gamut colours and tabulated curves included.
TEST(ColourProfiles, MatrixProfilesConvertAsLittleCmsDoes)
{
    cmsToneCurve* table = [] {
        std::vector<cmsUInt16Number> entries(1024);
        for (size_t i = 0; i < entries.size(); ++i)
            entries[i] = cmsUInt16Number(std::lround(65535.0 * std::pow(double(i) / 1023.0, 2.6)));
        return cmsBuildTabulatedToneCurve16(nullptr, cmsUInt32Number(entries.size()), entries.data());
    }();
    cmsToneCurve* tables[3] = {table, table, table};
    const cmsCIExyY d65{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE bt2020{{0.708, 0.292, 1.0}, {0.170, 0.797, 1.0}, {0.131, 0.046, 1.0}};
    const std::vector<uint8_t> tabulated = SaveProfile(cmsCreateRGBProfile(&d65, &bt2020, tables));
    cmsFreeToneCurve(table);

    // 64 levels of each channel: 262,144 colours, cut into rows of 512.
    PixelBuffer colours(512, 512, 3);
    for (size_t i = 0; i < size_t(512 * 512); ++i) {
        const int r = int(i >> 12), g = int(i >> 6) & 63, b = int(i) & 63;
        uint8_t* p = colours.data() + i * 3;
        p[0] = uint8_t(b * 255 / 63);
        p[1] = uint8_t(g * 255 / 63);
        p[2] = uint8_t(r * 255 / 63);
    }
    const struct {
        const char* name;
        std::vector<uint8_t> icc;
    } cases[] = {{"Adobe RGB", AdobeRgbProfile()},
                 {"ProPhoto", ProPhotoProfile()},
                 {"Display P3", ProfileFromCodedColour(12, 13)},
                 {"BT.2020 tabulated", tabulated}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer converted = colours;
        std::string note;
        ASSERT_TRUE(ConvertToSrgb(converted, c.icc, note)) << note;

        cmsHPROFILE from = cmsOpenProfileFromMem(c.icc.data(), cmsUInt32Number(c.icc.size()));
        cmsHPROFILE to = cmsCreate_sRGBProfile();
        cmsHTRANSFORM exact = cmsCreateTransform(from, TYPE_BGR_16, to, TYPE_BGR_16, INTENT_RELATIVE_COLORIMETRIC,
                                                 cmsFLAGS_NOOPTIMIZE | cmsFLAGS_NOCACHE
                                                     | cmsFLAGS_BLACKPOINTCOMPENSATION);
        ASSERT_NE(exact, nullptr);
        std::vector<cmsUInt16Number> wide(colours.pixels.size());
        for (size_t i = 0; i < wide.size(); ++i)
            wide[i] = cmsUInt16Number(colours.pixels[i] * 257);
        cmsDoTransform(exact, wide.data(), wide.data(), cmsUInt32Number(512 * 512));
        cmsDeleteTransform(exact);
        cmsCloseProfile(from);
        cmsCloseProfile(to);

        int worst = 0;
        size_t off = 0;
        for (size_t i = 0; i < wide.size(); ++i) {
            const int expected = int((wide[i] + 128) / 257);
            const int difference = std::abs(expected - int(converted.pixels[i]));
            worst = std::max(worst, difference);
            off += difference != 0;
        }
        EXPECT_LE(worst, 1);
        EXPECT_LT(double(off) / double(wide.size()), 0.02);
    }
}

TEST(ColourProfiles, PhoneHeicWithDisplayP3DatePlaceOpensAndSavesAsJpeg)
{
    TempFolder folder;
    const PixelBuffer source = SourcePhoto();
    // Display P3: P3 primaries, D65, the sRGB curve.
    const std::vector<uint8_t> p3 = ProfileFromCodedColour(12, 13);
    ASSERT_FALSE(p3.empty());
    const PixelBuffer wide = ToProfile(source, p3);
    SaveMetadata blocks = CameraBlocks();
    {  // A phone stores the picture upright in HEIF.
        Exiv2::ExifData exif;
        Exiv2::ExifParser::decode(exif, blocks.exif.data(), uint32_t(blocks.exif.size()));
        exif["Exif.Image.Orientation"] = uint16_t(1);
        Exiv2::Blob blob;
        Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
        blocks.exif.assign(blob.begin(), blob.end());
    }
    WriteJpeg(wide, folder.path("phone.jpg"), &p3, blocks);
    // The reference encoder takes the profile and EXIF over from the JPEG.
    ASSERT_TRUE(RunTool("heif-enc", {"-q", "95", "-o", QString::fromStdString(folder.path("phone.heic")),
                                     QString::fromStdString(folder.path("phone.jpg"))}));
    const LoadedPhoto loaded = LoadPhoto(folder.path("phone.heic"));
    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_TRUE(loaded.metadata.hadProfile);
    EXPECT_EQ(loaded.metadata.dateTaken, "2021:05:06 07:08:09");
    EXPECT_EQ(loaded.metadata.camera, "Kestrel K7");
    EXPECT_LE(MeanDifference(loaded.photo, source), 4.0);

    const PixelBuffer edited = test::RunCatalogueEffect(WholeImageEffect(), loaded.photo);
    const std::string out = folder.path("phone-edited.jpg");
    ImageEncoder encoder(out);
    encoder.setMetadata(loaded.metadata, false);
    ASSERT_EQ(encoder.saveToFile(edited, out), SaveStatus::Ok);
    const ReadBack back = ReadWithExiv2(out);
    EXPECT_EQ(Get(back.exif, "Exif.Photo.DateTimeOriginal"), "2021:05:06 07:08:09");
    EXPECT_EQ(Get(back.exif, "Exif.GPSInfo.GPSLatitude"), "48/1 51/1 2400/100");
    EXPECT_TRUE(IsSrgbProfile(back.icc));
}

} // namespace
} // namespace ombrik
