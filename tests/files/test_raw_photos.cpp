// Camera RAW files: DNGs made here with a colour chart of known patches come
// back as those colours (up to one exposure factor), upright, with their
// camera metadata; the preview-first path and the refusals.
#include "files/photo_loader.h"
#include "files/photo_saver.h"
#include "files/picture_formats.h"
#include "files/raw_photo.h"
#include "tests/files/files_test_support.h"
#include "tests/support/dng_writer.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace ombrik {
namespace {

using test::TempFolder;

struct Rgb {
    double r, g, b;
};

// Mean colour of the middle half of a w × h block at (x, y) of a BGR photo.
Rgb Mean(const PixelBuffer& photo, int x, int y, int w, int h)
{
    Rgb sum{0, 0, 0};
    int n = 0;
    for (int v = y + h / 4; v < y + h - h / 4; ++v)
        for (int u = x + w / 4; u < x + w - w / 4; ++u) {
            const uint8_t* p = photo.at(u, v);
            sum.b += p[0];
            sum.g += p[1];
            sum.r += p[2];
            ++n;
        }
    return {sum.r / n, sum.g / n, sum.b / n};
}

// The developed chart against the patches' own colours: the exposure factor
// comes from the grey patch; returns the largest error in levels of any
// patch but the blown one.
double ChartError(const PixelBuffer& photo, std::string& report)
{
    const int pw = photo.width / test::kChartColumns;
    const int ph = photo.height / test::kChartRows;
    const auto patch = [&](int index) {
        return Mean(photo, (index % test::kChartColumns) * pw, (index / test::kChartColumns) * ph, pw, ph);
    };
    const Rgb grey = patch(test::kGreyPatch);
    const double factor = test::SrgbToLinear(grey.g / 255) / test::SrgbToLinear(128 / 255.0);
    double worst = 0;
    for (int i = 0; i < int(test::ChartPatches().size()); ++i) {
        if (i == test::kBlownPatch)
            continue;
        const test::ChartPatch& p = test::ChartPatches()[size_t(i)];
        const test::LinearRgb linear = test::LinearFromSrgb8(p.r, p.g, p.b);
        const Rgb expected{255 * test::LinearToSrgb(linear.r * factor), 255 * test::LinearToSrgb(linear.g * factor),
                           255 * test::LinearToSrgb(linear.b * factor)};
        const Rgb got = patch(i);
        const double error = std::max({std::abs(got.r - expected.r), std::abs(got.g - expected.g),
                                       std::abs(got.b - expected.b)});
        worst = std::max(worst, error);
        char line[160];
        std::snprintf(line, sizeof line, "%s: got %.1f %.1f %.1f, expected %.1f %.1f %.1f\n", p.name, got.r, got.g,
                      got.b, expected.r, expected.g, expected.b);
        report += line;
    }
    char line[64];
    std::snprintf(line, sizeof line, "exposure factor %.3f\n", factor);
    report += line;
    return worst;
}

// Sets every SHORT entry `tag` holding `from` (one value, little-endian TIFF)
// to `to`; returns how many were set.
int PatchShortTag(std::string& bytes, uint16_t tag, uint16_t from, uint16_t to)
{
    int patched = 0;
    const auto u16 = [&](size_t at) { return uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8); };
    for (size_t i = 8; i + 12 <= bytes.size(); ++i)
        if (u16(i) == tag && u16(i + 2) == 3 && u16(i + 4) == 1 && u16(i + 6) == 0 && u16(i + 8) == from) {
            bytes[i + 8] = char(to & 0xff);
            bytes[i + 9] = char(to >> 8);
            ++patched;
        }
    return patched;
}

test::DngRecipe Chart(const std::string& pattern = "RGGB")
{
    test::DngRecipe recipe;
    recipe.pattern = pattern;
    recipe.scene = test::ChartScene(recipe.width, recipe.height);
    return recipe;
}

TEST(RawPhotos, ChartPatchesComeBackAsTheirColoursInEveryFilterPattern)
{
    TempFolder folder;
    for (const char* pattern : {"RGGB", "BGGR", "GRBG"}) {
        const std::string path = folder.path(std::string("chart-") + pattern + ".dng");
        ASSERT_TRUE(test::WriteDng(path, Chart(pattern)));
        const LoadedPhoto loaded = LoadPhoto(path);
        ASSERT_TRUE(loaded.ok) << pattern << ": " << loaded.error;
        EXPECT_EQ(loaded.decoder, PhotoDecoder::LibRaw);
        ASSERT_EQ(loaded.photo.width, 128);
        ASSERT_EQ(loaded.photo.height, 96);
        EXPECT_TRUE(loaded.differsFromFile) << "a RAW is never written back";
        std::string report;
        const double worst = ChartError(loaded.photo, report);
        std::printf("%s: largest patch error %.2f levels\n%s", pattern, worst, report.c_str());
        EXPECT_LE(worst, 3.0) << pattern << "\n" << report;
        // The exposure is as shot: 0.6 of the white level for white.
        const Rgb grey = Mean(loaded.photo, 32, 32, 32, 32);
        EXPECT_NEAR(test::SrgbToLinear(grey.g / 255) / test::SrgbToLinear(128 / 255.0), 0.6, 0.03);
        // Blown highlights clip to white, not magenta.
        const Rgb blown = Mean(loaded.photo, 96, 64, 32, 32);
        EXPECT_GE(blown.g, 253) << pattern;
        EXPECT_NEAR(blown.r, blown.g, 2) << pattern;
        EXPECT_NEAR(blown.b, blown.g, 2) << pattern;
    }
    // Nothing blown and nothing near white: still the exposure as shot, no
    // brightening to fill the range.
    test::DngRecipe dim = Chart();
    const auto chart = dim.scene;
    dim.scene = [chart](int x, int y) {
        const test::LinearRgb c = chart(x, y);
        return c.g > 1 ? test::LinearRgb{0.05, 0.05, 0.05} : test::LinearRgb{c.r * 0.5, c.g * 0.5, c.b * 0.5};
    };
    const std::string path = folder.path("dim.dng");
    ASSERT_TRUE(test::WriteDng(path, dim));
    const LoadedPhoto loaded = LoadPhoto(path);
    ASSERT_TRUE(loaded.ok) << loaded.error;
    const Rgb grey = Mean(loaded.photo, 32, 32, 32, 32);
    EXPECT_NEAR(test::SrgbToLinear(grey.g / 255) / test::SrgbToLinear(128 / 255.0), 0.3, 0.02);
}

TEST(RawPhotos, OpenUprightByTheFilesOrientation)
{
    TempFolder folder;
    // The stored picture's top-left patch (dark skin) ends where the
    // orientation puts the top-left corner.
    const struct {
        int orientation;
        bool right;
        bool bottom;
    } cases[] = {{1, false, false}, {3, true, true}, {6, true, false}, {8, false, true}};
    for (const auto& c : cases) {
        test::DngRecipe recipe = Chart();
        recipe.orientation = c.orientation;
        recipe.previewWidth = 480;
        const std::string path = folder.path("turned-" + std::to_string(c.orientation) + ".dng");
        ASSERT_TRUE(test::WriteDng(path, recipe));
        // The developed photo, and the preview that stands in for it first.
        for (const LoadedPhoto& loaded : {LoadPhoto(path), LoadRawPreview(path)}) {
            ASSERT_TRUE(loaded.ok) << loaded.error;
            const bool sideways = c.orientation >= 5;
            ASSERT_EQ(loaded.photo.width, sideways ? 96 : 128) << c.orientation;
            ASSERT_EQ(loaded.photo.height, sideways ? 128 : 96) << c.orientation;
            EXPECT_EQ(loaded.fileWidth, loaded.photo.width);
            const int x = c.right ? loaded.photo.width - 16 : 0;
            const int y = c.bottom ? loaded.photo.height - 16 : 0;
            const Rgb corner = Mean(loaded.photo, x, y, 16, 16);
            // Dark skin: red over green over blue, nothing like its neighbours.
            EXPECT_GT(corner.r, corner.g + 15) << c.orientation;
            EXPECT_GT(corner.g, corner.b) << c.orientation;
            EXPECT_LT(corner.r, 140) << c.orientation;
        }
    }
}

TEST(RawPhotos, ThePreviewComesFirstSizedAsTheDevelopedPhoto)
{
    TempFolder folder;
    test::DngRecipe recipe;
    recipe.width = 640;
    recipe.height = 480;
    recipe.previewWidth = 512;
    recipe.orientation = 6;
    recipe.scene = test::ChartScene(recipe.width, recipe.height);
    const std::string path = folder.path("preview.dng");
    ASSERT_TRUE(test::WriteDng(path, recipe));

    const LoadedPhoto first = LoadRawPreview(path);
    ASSERT_TRUE(first.ok) << first.error;
    EXPECT_TRUE(first.preview);
    const LoadedPhoto developed = DevelopRaw(path);
    ASSERT_TRUE(developed.ok) << developed.error;
    EXPECT_FALSE(developed.preview);
    EXPECT_EQ(first.photo.width, developed.photo.width);
    EXPECT_EQ(first.photo.height, developed.photo.height);
    EXPECT_EQ(first.photo.width, 480);  // upright
    // The preview is the scene as the camera rendered it (its own exposure).
    const Rgb grey = Mean(first.photo, 160, 160, 160, 160);
    EXPECT_NEAR(grey.g, 128, 12);
    EXPECT_EQ(first.metadata.camera, developed.metadata.camera);

    // Without an embedded preview a half-size decode stands in.
    recipe.previewWidth = 0;
    ASSERT_TRUE(test::WriteDng(path, recipe));
    const LoadedPhoto half = LoadRawPreview(path);
    ASSERT_TRUE(half.ok) << half.error;
    EXPECT_TRUE(half.preview);
    EXPECT_EQ(half.photo.width, 480);
    EXPECT_EQ(half.photo.height, 640);

    // With a threshold of at most half the sensor, the half-size decode is
    // the developed photo itself: nothing is left to develop.
    const LoadedPhoto small = LoadRawPreview(path, 320, 240);
    ASSERT_TRUE(small.ok) << small.error;
    EXPECT_FALSE(small.preview);
    EXPECT_TRUE(small.downsized);
    EXPECT_EQ(small.photo.width, 240);
    EXPECT_EQ(small.photo.height, 320);
    EXPECT_EQ(small.fileWidth, 480);
    const LoadedPhoto smallDeveloped = DevelopRaw(path, 320, 240);
    ASSERT_TRUE(smallDeveloped.ok);
    EXPECT_LT(test::MeanDifference(small.photo, smallDeveloped.photo), 0.01);
}

TEST(RawPhotos, ADevelopStopsWhenCancelled)
{
    TempFolder folder;
    const std::string path = folder.path("chart.dng");
    ASSERT_TRUE(test::WriteDng(path, Chart()));
    const std::atomic<bool> cancel{true};
    const LoadedPhoto loaded = DevelopRaw(path, 1600, 1200, &cancel);
    EXPECT_FALSE(loaded.ok);
    EXPECT_TRUE(loaded.cancelled);
}

TEST(RawPhotos, CameraMetadataIsKeptAndSavedWithAJpeg)
{
    TempFolder folder;
    const std::string path = folder.path("chart.dng");
    ASSERT_TRUE(test::WriteDng(path, Chart()));
    const LoadedPhoto loaded = LoadPhoto(path);
    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_EQ(loaded.metadata.camera, "Ombrik Test Cameras Chart One");
    EXPECT_EQ(loaded.metadata.dateTaken, "2024:05:17 10:11:12");
    EXPECT_TRUE(loaded.metadata.icc.empty());

    const std::string jpeg = folder.path("chart.jpg");
    ASSERT_TRUE(SavePhoto(loaded.photo, jpeg, &loaded.metadata, SaveOptions{}).ok());
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(jpeg);
    image->readMetadata();
    const Exiv2::ExifData& exif = image->exifData();
    const auto text = [&](const char* key) {
        const auto it = exif.findKey(Exiv2::ExifKey(key));
        return it == exif.end() ? std::string("(none)") : it->toString();
    };
    EXPECT_EQ(text("Exif.Image.Make"), "Ombrik Test Cameras");
    EXPECT_EQ(text("Exif.Image.Model"), "Chart One");
    EXPECT_EQ(text("Exif.Photo.DateTimeOriginal"), "2024:05:17 10:11:12");
    EXPECT_NEAR(exif.findKey(Exiv2::ExifKey("Exif.Photo.ExposureTime"))->toFloat(0), 1.0 / 250, 1e-6);
    EXPECT_NEAR(exif.findKey(Exiv2::ExifKey("Exif.Photo.FNumber"))->toFloat(0), 5.6, 1e-4);
    EXPECT_EQ(text("Exif.Photo.ISOSpeedRatings"), "200");
    EXPECT_EQ(text("Exif.Photo.LensModel"), "Test Lens 35mm F2");
    EXPECT_EQ(text("Exif.GPSInfo.GPSLatitudeRef"), "N");
    EXPECT_EQ(text("Exif.GPSInfo.GPSLongitudeRef"), "E");
    EXPECT_EQ(exif.findKey(Exiv2::ExifKey("Exif.GPSInfo.GPSLatitude"))->toFloat(0), 48.0f);
    // The RAW file's own structure and colour data stay behind.
    EXPECT_EQ(text("Exif.Image.DNGVersion"), "(none)");
    EXPECT_EQ(text("Exif.Image.ColorMatrix1"), "(none)");
    EXPECT_EQ(text("Exif.Image.Orientation"), "1");
    EXPECT_EQ(text("Exif.Photo.PixelXDimension"), "128");
}

TEST(RawPhotos, RecognisedByContentAndTheFormatTable)
{
    TempFolder folder;
    const std::string dng = folder.path("chart.dng");
    ASSERT_TRUE(test::WriteDng(dng, Chart()));
    // Under a picture name that says otherwise, and under none.
    for (const char* name : {"renamed.jpg", "renamed.tif", "renamed"}) {
        const std::string path = folder.path(name);
        std::filesystem::copy_file(dng, path);
        EXPECT_TRUE(IsRawPhoto(path)) << name;
        const LoadedPhoto loaded = LoadPhoto(path);
        ASSERT_TRUE(loaded.ok) << name << ": " << loaded.error;
        EXPECT_EQ(loaded.decoder, PhotoDecoder::LibRaw) << name;
        EXPECT_EQ(loaded.photo.width, 128) << name;
    }
    // A plain TIFF with a camera maker is not a RAW; a JPEG named .nef opens
    // as the JPEG it is.
    const PixelBuffer picture = test::RampPicture(40, 32);
    const std::string tiff = folder.path("plain.tif");
    ASSERT_TRUE(test::SaveWithQt(picture, tiff));
    EXPECT_FALSE(IsRawPhoto(tiff));
    const std::string jpeg = folder.path("plain.jpg");
    ASSERT_TRUE(test::SaveWithQt(picture, jpeg));
    const std::string nef = folder.path("really-a-jpeg.nef");
    std::filesystem::copy_file(jpeg, nef);
    const LoadedPhoto fromNef = LoadPhoto(nef);
    ASSERT_TRUE(fromNef.ok) << fromNef.error;
    EXPECT_EQ(fromNef.photo.width, 40);

    // The table: read, never written; every extension opens.
    const PictureFormat* raw = PictureFormatForExtension("CR3");
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->id, PictureFormatId::CameraRaw);
    EXPECT_TRUE(raw->canRead);
    EXPECT_FALSE(raw->canWrite);
    for (const char* ext : {"dng", "cr2", "nef", "nrw", "arw", "sr2", "raf", "orf", "rw2", "pef", "srw", "3fr", "iiq", "x3f"})
        EXPECT_EQ(PictureFormatForExtension(ext), raw) << ext;
    EXPECT_TRUE(OpenDialogFilters().join(' ').contains("*.cr2"));
    EXPECT_FALSE(SaveDialogFilters().join(' ').contains("*.dng"));
}

TEST(RawPhotos, DamagedAndHostileFilesAreRefusedCleanly)
{
    TempFolder folder;
    // Not a RAW at all, under a RAW name.
    const std::string junk = folder.path("junk.nef");
    test::WriteFile(junk, std::string(4000, 'x'));
    LoadedPhoto loaded = LoadPhoto(junk);
    EXPECT_FALSE(loaded.ok);
    EXPECT_NE(loaded.error.find("not a camera RAW file"), std::string::npos) << loaded.error;

    // Cut short at every tenth of its length: a photo (maybe marked damaged,
    // maybe the preview) or a clear error, never a crash.
    test::DngRecipe recipe = Chart();
    recipe.previewWidth = 0;
    const std::string dng = folder.path("whole.dng");
    ASSERT_TRUE(test::WriteDng(dng, recipe));
    const std::string bytes = test::ReadFile(dng);
    for (int tenth = 1; tenth < 10; ++tenth) {
        const std::string cut = folder.path("cut.dng");
        test::WriteFile(cut, bytes.substr(0, bytes.size() * size_t(tenth) / 10));
        loaded = LoadPhoto(cut);
        if (loaded.ok) {
            EXPECT_EQ(loaded.photo.width % 4, 0);
        } else {
            EXPECT_FALSE(loaded.error.empty()) << tenth;
        }
    }

    // A header claiming a huge sensor in a small file is refused before any
    // memory is taken for it.
    recipe.width = 64;
    recipe.height = 48;
    recipe.scene = test::ChartScene(64, 48);
    const std::string small = folder.path("small.dng");
    ASSERT_TRUE(test::WriteDng(small, recipe));
    std::string hostile = test::ReadFile(small);
    // The RAW directory's width and length set to 60000.
    ASSERT_EQ(PatchShortTag(hostile, 256, 64, 60000) + PatchShortTag(hostile, 257, 48, 60000), 2);
    const std::string huge = folder.path("huge.dng");
    test::WriteFile(huge, hostile);
    loaded = LoadPhoto(huge);
    EXPECT_FALSE(loaded.ok);
    EXPECT_NE(loaded.error.find("size does not fit"), std::string::npos) << loaded.error;
}

// RAW data LibRaw cannot develop, in a file with the camera's preview: the
// preview opens, upright, with a note; without a preview, a clear error.
TEST(RawPhotos, UndevelopableRawDataOpensTheEmbeddedPreviewWithANote)
{
    TempFolder folder;
    test::DngRecipe recipe;
    recipe.width = 640;
    recipe.height = 480;
    recipe.previewWidth = 512;
    recipe.orientation = 8;
    recipe.scene = test::ChartScene(recipe.width, recipe.height);
    const std::string whole = folder.path("whole.dng");
    ASSERT_TRUE(test::WriteDng(whole, recipe));
    const std::string bytes = test::ReadFile(whole);
    // The RAW directory's photometric said to be linear RAW (three samples a
    // pixel, more than the file holds: LibRaw fails to read it), or its
    // compression (1, none) said to be JPEG XL, which LibRaw does not open.
    for (const auto [tag, from, compression] : {std::array<uint16_t, 3>{262, 32803, 34892}, {259, 1, 52546}}) {
        std::string patched = bytes;
        ASSERT_EQ(PatchShortTag(patched, tag, from, compression), 1);
        const std::string path = folder.path("unreadable-" + std::to_string(compression) + ".dng");
        test::WriteFile(path, patched);
        const LoadedPhoto developed = LoadPhoto(path);
        // LibRaw's own preview comes first while it still opens the file;
        // when it does not, Exiv2's is all there is, and nothing is left to
        // develop.
        const LoadedPhoto first = LoadRawPreview(path);
        EXPECT_EQ(first.preview, compression == 34892);
        for (const LoadedPhoto* loaded : {&developed, &first}) {
            if (loaded->preview)
                continue;
            ASSERT_TRUE(loaded->ok) << compression << ": " << loaded->error;
            // Upright; sized as the developed photo from LibRaw's preview,
            // at its own size from Exiv2's.
            EXPECT_EQ(loaded->photo.width, compression == 34892 ? 480 : 384) << compression;
            EXPECT_EQ(loaded->photo.height * 3, loaded->photo.width * 4) << compression;
            ASSERT_FALSE(loaded->metadata.notes.empty()) << compression;
            EXPECT_NE(loaded->metadata.notes.front().find("embedded preview"), std::string::npos)
                << loaded->metadata.notes.front();
            // The preview's picture, not black: the grey patch is grey.
            const int side = loaded->photo.width / 3;
            const Rgb grey = Mean(loaded->photo, side, 2 * side, side, side);
            EXPECT_NEAR(grey.g, 128, 14) << compression;
            EXPECT_EQ(loaded->metadata.camera, "Ombrik Test Cameras Chart One");
            EXPECT_TRUE(loaded->differsFromFile);
        }
    }

    recipe.previewWidth = 0;
    ASSERT_TRUE(test::WriteDng(whole, recipe));
    std::string patched = test::ReadFile(whole);
    ASSERT_GE(PatchShortTag(patched, 259, 1, 52546), 1);
    const std::string path = folder.path("unreadable.dng");
    test::WriteFile(path, patched);
    const LoadedPhoto loaded = LoadPhoto(path);
    EXPECT_FALSE(loaded.ok);
    EXPECT_NE(loaded.error.find("not a camera RAW file that can be read"), std::string::npos) << loaded.error;
}

} // namespace
} // namespace ombrik
