// The one save path: the format by extension, the options, the metadata and
// a failed save that leaves the old file alone.
#include "files/photo_loader.h"
#include "files/photo_saver.h"
#include "tests/files/files_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ombrik {
namespace {

using test::TempFolder;

// A JPEG carrying an EXIF block (orientation 1, the camera's make) to save on.
PhotoMetadata CameraMetadata(const TempFolder& folder)
{
    EXPECT_TRUE(test::SaveWithQt(test::RampPicture(16, 16), folder.path("camera.jpg")));
    const std::string jpeg = test::ReadFile(folder.path("camera.jpg"));
    const char exif[] = {
        '\xFF', '\xE1', 0, 52, 'E', 'x', 'i', 'f', 0, 0,    // APP1, length, "Exif"
        'I', 'I', 42, 0, 8, 0, 0, 0,                        // little-endian TIFF, IFD at 8
        2, 0,                                               // two entries
        0x0F, 0x01, 2, 0, 6, 0, 0, 0, 38, 0, 0, 0,          // Make, ASCII, 6 bytes at 38
        0x12, 0x01, 3, 0, 1, 0, 0, 0, 1, 0, 0, 0,           // Orientation = 1
        0, 0, 0, 0,                                         // no next IFD
        'O', 'm', 'b', 'r', 'k', 0,                         // the make
    };
    test::WriteFile(folder.path("camera.jpg"), jpeg.substr(0, 2) + std::string(exif, sizeof exif) + jpeg.substr(2));
    const LoadedPhoto loaded = LoadPhoto(folder.path("camera.jpg"));
    EXPECT_TRUE(loaded.ok) << loaded.error;
    EXPECT_FALSE(loaded.metadata.exif.empty());
    return loaded.metadata;
}

TEST(SavePhoto, EncodesByExtensionWithTheOptionsAndTheMetadata)
{
    TempFolder folder;
    const PixelBuffer picture = test::RampPicture(64, 48);

    // Quality for lossy formats; lossless only where the format has the choice.
    const std::string q95 = folder.path("q95.jpg"), q20 = folder.path("q20.jpg");
    ASSERT_TRUE(SavePhoto(picture, q95, nullptr, {95, false, false}).ok());
    ASSERT_TRUE(SavePhoto(picture, q20, nullptr, {20, true, false}).ok());
    EXPECT_LT(std::filesystem::file_size(q20), std::filesystem::file_size(q95));
    for (const char* name : {"exact.webp", "exact.jxl", "exact.ppm", "exact.png"}) {
        ASSERT_TRUE(SavePhoto(picture, folder.path(name), nullptr, {20, true, false}).ok()) << name;
        const LoadedPhoto back = LoadPhoto(folder.path(name));
        ASSERT_TRUE(back.ok) << name << ": " << back.error;
        EXPECT_EQ(back.photo.pixels, picture.pixels) << name;
    }
    ASSERT_TRUE(SavePhoto(picture, folder.path("lossy.webp"), nullptr, {90, false, false}).ok());
    EXPECT_NE(LoadPhoto(folder.path("lossy.webp")).photo.pixels, picture.pixels);

    // The opened photo's metadata goes into formats that hold it, unless
    // stripped; a format that holds none is saved without a note.
    const PhotoMetadata camera = CameraMetadata(folder);
    ASSERT_TRUE(SavePhoto(picture, folder.path("kept.png"), &camera, {}).ok());
    EXPECT_EQ(ReadPhotoMetadata(folder.path("kept.png")).camera, "Ombrk");
    ASSERT_TRUE(SavePhoto(picture, folder.path("stripped.png"), &camera, {90, false, true}).ok());
    EXPECT_TRUE(ReadPhotoMetadata(folder.path("stripped.png")).exif.empty());
    ASSERT_TRUE(SavePhoto(picture, folder.path("none.png"), nullptr, {}).ok());
    EXPECT_TRUE(ReadPhotoMetadata(folder.path("none.png")).exif.empty());
    for (const char* name : {"plain.ppm", "plain.bmp", "plain.gif"}) {
        const SaveResult saved = SavePhoto(picture, folder.path(name), &camera, {});
        EXPECT_TRUE(saved.ok()) << name;
        EXPECT_TRUE(saved.notes.empty()) << name << ": " << saved.notes.front();
    }

    // No format, a format only read, a folder that is not there: nothing
    // written, and an old file stays as it was.
    test::WriteFile(folder.path("old.heic"), "the old picture");
    EXPECT_EQ(SavePhoto(picture, folder.path("old.heic"), &camera, {}).status, SaveStatus::NoEncoder);
    EXPECT_EQ(test::ReadFile(folder.path("old.heic")), "the old picture");
    EXPECT_EQ(SavePhoto(picture, folder.path("x.xyz"), nullptr, {}).status, SaveStatus::NoEncoder);
    EXPECT_EQ(SavePhoto(picture, folder.path("no/such/folder/x.png"), nullptr, {}).status, SaveStatus::WriteFailed);
    PixelBuffer broken(8, 8, 3);
    broken.pixels.resize(10);
    test::WriteFile(folder.path("old.png"), "the old picture");
    EXPECT_EQ(SavePhoto(broken, folder.path("old.png"), nullptr, {}).status, SaveStatus::EncodeFailed);
    EXPECT_EQ(test::ReadFile(folder.path("old.png")), "the old picture");
    EXPECT_FALSE(std::filesystem::exists(folder.path("x.xyz")));
}

} // namespace
} // namespace ombrik
