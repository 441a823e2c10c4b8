#include "files/codec_image.h"
#include "files/image_encoder.h"
#include "files/photo_loader.h"
#include "tests/files/files_test_support.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop
#include <gtest/gtest.h>

#include <cstring>

#include <sys/resource.h>

namespace ombrik {
namespace {

using test::TempFolder;

TEST(ExtensionTable, EveryExtensionAndCase)
{
    const std::pair<const char*, int> table[] = {
        {"bmp", 1},  {"jpg", 3},  {"jpeg", 3}, {"gif", 2},  {"png", 4},  {"ico", 5},  {"tiff", 6}, {"tif", 6},
        {"tga", 7},  {"ras", 15}, {"pcx", 8},  {"wbmp", 9}, {"wmf", 10}, {"emf", 10}, {"jp2", 11}, {"j2k", 11},
        {"jpc", 12}, {"j2c", 12}, {"pgx", 13}, {"pnm", 14}, {"pgm", 14}, {"ppm", 14},
    };
    for (const auto& [ext, format] : table)
        EXPECT_EQ(CodecFormatFromExtension(ext), format) << ext;
    EXPECT_EQ(CodecFormatFromExtension("JPG"), 3);
    EXPECT_EQ(CodecFormatFromExtension("TiFf"), 6);
    for (const char* unknown : {"", "jpe", "webp", "jpgx", "pn", "pbm"})
        EXPECT_EQ(CodecFormatFromExtension(unknown), 0) << unknown;

    EXPECT_EQ(PathExtension("/a/b/photo.tar.JPG"), "JPG");
    EXPECT_EQ(PathExtension("/a/b/photo"), "");
    EXPECT_EQ(PathExtension("photo."), "");
}

TEST(CodecImage, LoadFailsCleanly)
{
    TempFolder folder;
    CodecImage image;
    EXPECT_FALSE(image.load(folder.path("noextension")));
    EXPECT_FALSE(image.load(folder.path("missing.png")));
    test::WriteFile(folder.path("x.webp"), "RIFF");
    EXPECT_FALSE(image.load(folder.path("x.webp")));
    EXPECT_FALSE(image.isValid());
    EXPECT_EQ(image.width(), 0);
    EXPECT_EQ(image.storedRow(0), nullptr);
}

TEST(CodecImage, RowsCountFromTheBottomAndResample)
{
    TempFolder folder;
    PixelBuffer picture(5, 3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            picture.at(x, y)[0] = uint8_t(10 * x);
            picture.at(x, y)[1] = uint8_t(50 * y);
            picture.at(x, y)[2] = 7;
        }
    ASSERT_TRUE(test::SaveWithCodec(picture, folder.path("p.ppm"), "PPM"));
    CodecImage image;
    ASSERT_TRUE(image.load(folder.path("p.ppm")));
    EXPECT_EQ(image.format(), kCodecPnm);
    ASSERT_EQ(image.width(), 5);
    ASSERT_EQ(image.height(), 3);
    for (int index = 0; index < 3; ++index) {
        const uint8_t* row = image.storedRow(index);
        ASSERT_NE(row, nullptr);
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(row[x * 3 + 0], 10 * x);
            EXPECT_EQ(row[x * 3 + 1], 50 * (2 - index));  // stored row 0 is the bottom row
            EXPECT_EQ(row[x * 3 + 2], 7);
        }
    }
    EXPECT_EQ(image.storedRow(3), nullptr);
    EXPECT_EQ(image.storedRow(-1), nullptr);

    ASSERT_TRUE(image.resample(10, 6, 1));
    EXPECT_EQ(image.width(), 10);
    EXPECT_EQ(image.height(), 6);
    EXPECT_EQ(image.storedRow(0)[1], 100);  // bottom row still from the bottom
    image.release();
    EXPECT_FALSE(image.isValid());
}

TEST(DownsizedSize, ThresholdCases)
{
    struct Case {
        uint32_t w, h, nw, nh;
    };
    const Case cases[] = {
        {1603, 1201, 1600, 1198},  // wider than 4:3 -> width 1600
        {4000, 2000, 1600, 800},
        {3000, 2400, 1500, 1200},  // 1.25 <= 1.333 -> height 1200
        {2400, 3000, 1280, 1600},  // portrait -> height A
        {2000, 2000, 1600, 1600},  // square -> height A
    };
    for (const Case& c : cases) {
        uint32_t nw = 0;
        uint32_t nh = 0;
        DownsizedSize(c.w, c.h, 1600, 1200, nw, nh);
        EXPECT_EQ(nw, c.nw) << c.w << "x" << c.h;
        EXPECT_EQ(nh, c.nh) << c.w << "x" << c.h;
    }
}

struct SizeCase {
    int width;
    int height;
    const char* extension;
    int expectWidth;
    int expectHeight;
    PhotoDecoder decoder;
};

TEST(LoadPhoto, DownsizingAndCut)
{
    const SizeCase cases[] = {
        {1603, 1201, "jpg", 1600, 1196, PhotoDecoder::CodecLibrary},
        {1600, 1200, "jpg", 1600, 1200, PhotoDecoder::QtImageIO},
        {4000, 2000, "jpg", 1600, 800, PhotoDecoder::CodecLibrary},
        {3000, 2400, "png", 1500, 1200, PhotoDecoder::CodecLibrary},
        {2400, 3000, "jpg", 1280, 1600, PhotoDecoder::CodecLibrary},
        {2000, 2000, "jpg", 1600, 1600, PhotoDecoder::CodecLibrary},
    };
    TempFolder folder;
    for (const SizeCase& c : cases) {
        const std::string path = folder.path("p." + std::string(c.extension));
        ASSERT_TRUE(test::SaveWithQt(test::RampPicture(c.width, c.height), path));
        const LoadedPhoto loaded = LoadPhoto(path, 1600, 1200);
        ASSERT_TRUE(loaded.ok) << loaded.error;
        EXPECT_EQ(loaded.photo.width, c.expectWidth) << c.width << "x" << c.height;
        EXPECT_EQ(loaded.photo.height, c.expectHeight) << c.width << "x" << c.height;
        EXPECT_EQ(loaded.photo.bytesPerPixel, 3);
        EXPECT_EQ(loaded.photo.byteCount(), size_t(c.expectWidth) * c.expectHeight * 3);
        EXPECT_EQ(loaded.decoder, c.decoder) << c.width << "x" << c.height;
        if (c.decoder == PhotoDecoder::CodecLibrary) {
            EXPECT_EQ(loaded.codecFormat, CodecFormatFromExtension(c.extension));
        }
    }
    // The threshold's two values may come in either order.
    const std::string path = folder.path("p.jpg");
    ASSERT_TRUE(test::SaveWithQt(test::RampPicture(4000, 2000), path));
    EXPECT_EQ(LoadPhoto(path, 1200, 1600).photo.width, 1600);
    // Downsizing off: the photo keeps its size (less the cut).
    const LoadedPhoto full = LoadPhoto(path, 0, 0);
    EXPECT_EQ(full.decoder, PhotoDecoder::QtImageIO);
    EXPECT_EQ(full.photo.width, 4000);
    EXPECT_EQ(full.photo.height, 2000);
}

// Both paths drop the right column; Qt's drops the bottom rows, the codec's the top rows.
TEST(LoadPhoto, CutDropsDifferentRowsOnEachPath)
{
    TempFolder folder;
    const PixelBuffer marked = test::MarkedPicture(1001, 751);

    const std::string jpeg = folder.path("m.jpg");
    ASSERT_TRUE(test::SaveWithQt(marked, jpeg));
    const LoadedPhoto viaQt = LoadPhoto(jpeg, 1600, 1200);
    ASSERT_TRUE(viaQt.ok) << viaQt.error;
    EXPECT_EQ(viaQt.decoder, PhotoDecoder::QtImageIO);
    ASSERT_EQ(viaQt.photo.width, 1000);
    ASSERT_EQ(viaQt.photo.height, 748);
    const uint8_t* top = viaQt.photo.at(500, 0);
    EXPECT_GT(top[2], 200);  // red stripe kept
    EXPECT_LT(top[0], 60);
    const uint8_t* bottom = viaQt.photo.at(500, 747);
    EXPECT_LT(bottom[0], 200);  // blue stripe gone
    const uint8_t* right = viaQt.photo.at(999, 400);  // green column gone
    EXPECT_GT(right[2], 80);
    EXPECT_LT(right[1], 200);

    const std::string pcx = folder.path("m.pcx");
    ASSERT_TRUE(test::SaveWithCodec(marked, pcx, "PCX"));
    const LoadedPhoto viaCodec = LoadPhoto(pcx, 1600, 1200);
    ASSERT_TRUE(viaCodec.ok) << viaCodec.error;
    EXPECT_EQ(viaCodec.decoder, PhotoDecoder::CodecLibrary);
    EXPECT_EQ(viaCodec.codecFormat, kCodecPcx);
    ASSERT_EQ(viaCodec.photo.width, 1000);
    ASSERT_EQ(viaCodec.photo.height, 748);
    // Lossless: photo row u is picture row u + 3, exactly.
    for (int u : {0, 1, 400, 744, 745, 746, 747})
        for (int x : {0, 500, 999})
            for (int k = 0; k < 3; ++k)
                ASSERT_EQ(viaCodec.photo.at(x, u)[k], marked.at(x, u + 3)[k]) << x << "," << u;
}

TEST(LoadPhoto, MetafilesAlwaysGoThroughTheCodecLibrary)
{
    TempFolder folder;
    const PixelBuffer picture = test::RampPicture(16, 16);
    ASSERT_TRUE(test::SaveWithQt(picture, folder.path("a.png")));
    const std::string bytes = test::ReadFile(folder.path("a.png"));
    // Qt would read these PNG bytes; under a metafile name only the codec's
    // metafile reader is asked, which refuses them.
    for (const char* name : {"a.wmf", "a.EMF"}) {
        test::WriteFile(folder.path(name), bytes);
        const LoadedPhoto loaded = LoadPhoto(folder.path(name));
        EXPECT_FALSE(loaded.ok) << name;
        EXPECT_FALSE(loaded.error.empty());
    }
    EXPECT_TRUE(LoadPhoto(folder.path("a.png")).ok);
}

// A JPEG whose EXIF orientation 6 says "rotate 90 degrees clockwise to view".
std::string RotatedJpeg(const PixelBuffer& stored, const std::string& scratch)
{
    EXPECT_TRUE(test::SaveWithQt(stored, scratch));
    const std::string jpeg = test::ReadFile(scratch);
    const char exif[] = {
        '\xFF', '\xE1', 0, 34, 'E', 'x', 'i', 'f', 0, 0,        // APP1, length, "Exif"
        'I', 'I', 42, 0, 8, 0, 0, 0,                          // little-endian TIFF, IFD at 8
        1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0,       // one entry: Orientation = 6
        0, 0, 0, 0,                                           // no next IFD
    };
    return jpeg.substr(0, 2) + std::string(exif, sizeof exif) + jpeg.substr(2);
}

TEST(LoadPhoto, ExifOrientationOpensUpright)
{
    TempFolder folder;
    // Stored 400 × 200, left half red, right half blue: upright it is 200 × 400,
    // red on top.
    PixelBuffer stored(400, 200, 3);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x) {
            stored.at(x, y)[0] = x < 200 ? 0 : 255;
            stored.at(x, y)[2] = x < 200 ? 255 : 0;
        }
    test::WriteFile(folder.path("o.jpg"), RotatedJpeg(stored, folder.path("plain.jpg")));

    const LoadedPhoto viaQt = LoadPhoto(folder.path("o.jpg"));
    ASSERT_TRUE(viaQt.ok) << viaQt.error;
    EXPECT_EQ(viaQt.decoder, PhotoDecoder::QtImageIO);
    ASSERT_EQ(viaQt.photo.width, 200);
    ASSERT_EQ(viaQt.photo.height, 400);
    EXPECT_GT(viaQt.photo.at(100, 50)[2], 200);
    EXPECT_GT(viaQt.photo.at(100, 350)[0], 200);

    // Over a 100 × 100 threshold the codec library reads it, upright as well:
    // portrait, so 50 × 100, cut to 48 × 100.
    const LoadedPhoto viaCodec = LoadPhoto(folder.path("o.jpg"), 100, 100);
    ASSERT_TRUE(viaCodec.ok) << viaCodec.error;
    EXPECT_EQ(viaCodec.decoder, PhotoDecoder::CodecLibrary);
    ASSERT_EQ(viaCodec.photo.width, 48);
    ASSERT_EQ(viaCodec.photo.height, 100);
    EXPECT_GT(viaCodec.photo.at(24, 10)[2], 200);
    EXPECT_GT(viaCodec.photo.at(24, 90)[0], 200);
}

// Writes an EXIF orientation into a picture file the way a photo manager
// does, through Exiv2 (which picks where the format keeps EXIF).
void SetExifOrientation(const std::string& path, int orientation)
{
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path);
    image->readMetadata();
    image->exifData()["Exif.Image.Orientation"] = uint16_t(orientation);
    image->exifData()["Exif.Image.Make"] = "Kestrel";
    image->writeMetadata();
}

// The stored pixel that EXIF orientation `o` shows at (x, y) of the upright
// picture; w × h is the stored size.
std::pair<int, int> StoredPixel(int o, int x, int y, int w, int h)
{
    switch (o) {
    case 2: return {w - 1 - x, y};
    case 3: return {w - 1 - x, h - 1 - y};
    case 4: return {x, h - 1 - y};
    case 5: return {y, x};
    case 6: return {y, h - 1 - x};
    case 7: return {w - 1 - y, h - 1 - x};
    case 8: return {w - 1 - y, x};
    default: return {x, y};
    }
}

// Every pixel of `photo` is the stored pixel that orientation `o` puts there.
void ExpectUpright(const PixelBuffer& photo, const PixelBuffer& stored, int o, const std::string& what)
{
    const bool sideways = o >= 5;
    ASSERT_EQ(photo.width, sideways ? stored.height : stored.width) << what;
    ASSERT_EQ(photo.height, sideways ? stored.width : stored.height) << what;
    for (int y = 0; y < photo.height; ++y)
        for (int x = 0; x < photo.width; ++x) {
            const auto [sx, sy] = StoredPixel(o, x, y, stored.width, stored.height);
            ASSERT_EQ(std::memcmp(photo.at(x, y), stored.at(sx, sy), 3), 0) << what << " at " << x << "," << y;
        }
}

// PNG and WebP keep EXIF too (PNG as text or eXIf chunk, WebP as a chunk):
// their photos open upright by it, as JPEG's do, and TIFF's own orientation
// is applied once.
TEST(LoadPhoto, ExifOrientationTurnsPngWebpAndTiffUpright)
{
    TempFolder folder;
    PixelBuffer stored(40, 24, 3);  // every pixel tells where it was stored
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x) {
            stored.at(x, y)[0] = uint8_t(x * 6);
            stored.at(x, y)[1] = uint8_t(y * 10);
            stored.at(x, y)[2] = uint8_t(90 + x + y);
        }
    for (const char* ext : {"png", "webp", "tif"}) {
        for (int o = 1; o <= 8; ++o) {
            const std::string path = folder.path("o" + std::to_string(o) + "." + ext);
            ImageEncoder encoder(path);
            encoder.setLossless(true);
            ASSERT_EQ(encoder.saveToFile(stored, path), SaveStatus::Ok);
            SetExifOrientation(path, o);
            const LoadedPhoto loaded = LoadPhoto(path);
            ASSERT_TRUE(loaded.ok) << path << ": " << loaded.error;
            ExpectUpright(loaded.photo, stored, o, path);
        }
    }

    // Saved again, the photo keeps looking upright: orientation 1, turned pixels.
    const LoadedPhoto turned = LoadPhoto(folder.path("o6.webp"));
    ASSERT_TRUE(turned.ok);
    for (const char* name : {"saved.png", "saved.webp"}) {
        ImageEncoder encoder(folder.path(name));
        encoder.setLossless(true);
        encoder.setMetadata(turned.metadata, false);
        ASSERT_EQ(encoder.saveToFile(turned.photo, folder.path(name)), SaveStatus::Ok);
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(folder.path(name));
        image->readMetadata();
        EXPECT_EQ(image->exifData()["Exif.Image.Orientation"].toLong(), 1) << name;
        EXPECT_EQ(image->exifData()["Exif.Image.Make"].toString(), "Kestrel") << name;
        ExpectUpright(LoadPhoto(folder.path(name)).photo, stored, 6, name);
    }
}

// Over the threshold a PNG goes to the codec library and a WebP to Qt's
// reader with downsizing: both open upright and downsized as upright photos.
TEST(LoadPhoto, ExifOrientationAppliesBeforeDownsizing)
{
    TempFolder folder;
    // 400 × 200 stored in four coloured quarters.
    const uint8_t colours[4][3] = {{0, 0, 255}, {255, 0, 0}, {0, 255, 0}, {255, 255, 255}};
    auto quarter = [](int x, int y, int w, int h) { return (y < h / 2 ? 0 : 2) + (x < w / 2 ? 0 : 1); };
    PixelBuffer stored(400, 200, 3);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x)
            std::memcpy(stored.at(x, y), colours[quarter(x, y, 400, 200)], 3);
    for (const auto& [ext, decoder] : {std::pair{"png", PhotoDecoder::CodecLibrary},
                                       std::pair{"webp", PhotoDecoder::QtImageIO}}) {
        for (int o : {3, 6, 7}) {
            const std::string path = folder.path("q" + std::to_string(o) + "." + ext);
            ImageEncoder encoder(path);
            encoder.setLossless(true);
            ASSERT_EQ(encoder.saveToFile(stored, path), SaveStatus::Ok);
            SetExifOrientation(path, o);
            const LoadedPhoto loaded = LoadPhoto(path, 100, 100);
            ASSERT_TRUE(loaded.ok) << path << ": " << loaded.error;
            EXPECT_EQ(loaded.decoder, decoder) << path;
            // Upright 200 × 400 is portrait: 50 × 100, cut to 48 × 100;
            // upright 400 × 200 is wider than 1:1: 100 × 50, cut to 100 × 48.
            const bool sideways = o >= 5;
            ASSERT_EQ(loaded.photo.width, sideways ? 48 : 100) << path;
            ASSERT_EQ(loaded.photo.height, sideways ? 100 : 48) << path;
            const int uprightW = sideways ? 200 : 400;
            const int uprightH = sideways ? 400 : 200;
            for (const auto& [fx, fy] : {std::pair{0.25, 0.25}, std::pair{0.75, 0.25}, std::pair{0.25, 0.75},
                                         std::pair{0.75, 0.75}}) {
                const auto [sx, sy] = StoredPixel(o, int(fx * uprightW), int(fy * uprightH), 400, 200);
                const uint8_t* expected = colours[quarter(sx, sy, 400, 200)];
                const uint8_t* got = loaded.photo.at(int(fx * loaded.photo.width), int(fy * loaded.photo.height));
                for (int k = 0; k < 3; ++k)
                    EXPECT_NEAR(got[k], expected[k], 8) << path << " at " << fx << "," << fy;
            }
        }
    }
}

TEST(LoadPhoto, PlainBmpRowsInBothStoredOrders)
{
    TempFolder folder;
    for (const auto& [w, h] : {std::pair{13, 9}, std::pair{8, 8}, std::pair{401, 203}}) {
        const PixelBuffer picture = test::RampPicture(w, h);
        ASSERT_TRUE(test::SaveWithQt(picture, folder.path("up.bmp")));
        // The same picture stored top-down: a negative height, rows reversed.
        const std::string bottomUp = test::ReadFile(folder.path("up.bmp"));
        std::string topDown = bottomUp;
        const int32_t negative = -h;
        std::memcpy(topDown.data() + 22, &negative, 4);
        const size_t row = (size_t(w) * 3 + 3) & ~size_t(3);
        const size_t offset = 54;
        ASSERT_EQ(bottomUp.size(), offset + row * size_t(h));
        for (int y = 0; y < h; ++y)
            topDown.replace(offset + size_t(y) * row, row, bottomUp, offset + size_t(h - 1 - y) * row, row);
        test::WriteFile(folder.path("down.bmp"), topDown);
        // Cut short: another reader's business, never read past the end.
        test::WriteFile(folder.path("short.bmp"), bottomUp.substr(0, bottomUp.size() - row - 5));

        for (const char* name : {"up.bmp", "down.bmp"}) {
            const LoadedPhoto loaded = LoadPhoto(folder.path(name));
            ASSERT_TRUE(loaded.ok) << name << " " << loaded.error;
            ASSERT_EQ(loaded.photo.width, w & ~3);
            ASSERT_EQ(loaded.photo.height, h & ~3);
            for (int y = 0; y < loaded.photo.height; ++y)
                ASSERT_EQ(std::memcmp(loaded.photo.at(0, y), picture.at(0, y), loaded.photo.stride()), 0)
                    << name << " row " << y;
        }
        const LoadedPhoto cut = LoadPhoto(folder.path("short.bmp"));
        if (cut.ok) {
            EXPECT_EQ(cut.photo.width, w & ~3);
        }
    }
}

TEST(LoadPhoto, TooSmallOrUnreadableFilesFailWithAMessage)
{
    TempFolder folder;
    ASSERT_TRUE(test::SaveWithQt(test::RampPicture(3, 9), folder.path("thin.png")));
    ASSERT_TRUE(test::SaveWithCodec(test::RampPicture(9, 2), folder.path("flat.pcx"), "PCX"));
    test::WriteFile(folder.path("empty.jpg"), "");
    std::string noise(4096, '\0');
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 2654435761u) >> 13);
    test::WriteFile(folder.path("noise.png"), noise);
    test::WriteFile(folder.path("noise.pcx"), noise);
    for (const char* name : {"thin.png", "flat.pcx", "empty.jpg", "noise.png", "noise.pcx", "missing.jpg", "noext"}) {
        const LoadedPhoto loaded = LoadPhoto(folder.path(name));
        EXPECT_FALSE(loaded.ok) << name;
        EXPECT_TRUE(loaded.photo.empty()) << name;
        EXPECT_FALSE(loaded.error.empty()) << name;
    }
}

TEST(LoadPhoto, HostileFilesAreRefusedWithoutHugeAllocations)
{
    TempFolder folder;
    const PixelBuffer picture = test::RampPicture(640, 480);
    ASSERT_TRUE(test::SaveWithQt(picture, folder.path("whole.jpg")));
    ASSERT_TRUE(test::SaveWithQt(picture, folder.path("whole.png")));
    const std::string jpeg = test::ReadFile(folder.path("whole.jpg"));
    const std::string png = test::ReadFile(folder.path("whole.png"));
    test::WriteFile(folder.path("cut.jpg"), jpeg.substr(0, jpeg.size() / 2));
    test::WriteFile(folder.path("cut.png"), png.substr(0, png.size() / 2));
    test::WriteFile(folder.path("header.jpg"), jpeg.substr(0, 200));
    const std::string pnmHeader = "P6\n100000 100000\n255\n" + std::string(64, '\x7f');
    test::WriteFile(folder.path("huge.ppm"), pnmHeader);
    test::WriteFile(folder.path("huge.pnm"), pnmHeader);

    for (const char* name : {"cut.jpg", "cut.png", "header.jpg", "huge.ppm", "huge.pnm"})
        for (int threshold : {1600, 0}) {
            const LoadedPhoto loaded = LoadPhoto(folder.path(name), threshold, threshold ? 1200 : 0);
            if (loaded.ok) {
                // A truncated file may open with what could be decoded, never larger.
                EXPECT_LE(loaded.photo.width, 640) << name;
                EXPECT_LE(loaded.photo.height, 480) << name;
                EXPECT_EQ(loaded.photo.byteCount(), size_t(loaded.photo.width) * loaded.photo.height * 3);
            } else {
                EXPECT_FALSE(loaded.error.empty()) << name;
            }
        }
    EXPECT_FALSE(LoadPhoto(folder.path("huge.ppm")).ok);

    // A broken TIFF read by Qt after the codec library has decoded a TIFF: the
    // two share libtiff's error handler, which must not reach the codec's.
    ASSERT_TRUE(test::SaveWithCodec(test::RampPicture(8, 8), folder.path("good.tif"), "TIFF"));
    ASSERT_TRUE(LoadPhoto(folder.path("good.tif"), 0, 0).ok);
    CodecImage codecTiff;
    ASSERT_TRUE(codecTiff.load(folder.path("good.tif")));
    std::string brokenTiff("II*\0\xac\x01\0\0", 8);  // first directory past the end
    brokenTiff.resize(64, '\0');
    test::WriteFile(folder.path("broken.tif"), brokenTiff);
    EXPECT_FALSE(LoadPhoto(folder.path("broken.tif")).ok);
    EXPECT_FALSE(codecTiff.load(folder.path("broken.tif")));
    EXPECT_FALSE(LoadPhoto(folder.path("huge.pnm"), 0, 0).ok);

    // 100000 × 100000 × 3 bytes would be 30 GB; the process never came near.
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss, 1'500'000L);  // kilobytes
}

} // namespace
} // namespace ombrik

namespace ombrik {
namespace {

TEST(LoadPhoto, DamagedFilesOpenButSaySo)
{
    test::TempFolder folder;
    const PixelBuffer picture = test::RampPicture(96, 64);
    ASSERT_TRUE(test::SaveWithQt(picture, folder.path("whole.jpg")));
    ASSERT_TRUE(test::SaveWithQt(picture, folder.path("whole.png")));
    ASSERT_TRUE(test::SaveWithCodec(picture, folder.path("whole.pcx"), "PCX"));
    for (const char* name : {"whole.jpg", "whole.png", "whole.pcx"}) {
        const std::string bytes = test::ReadFile(folder.path(name));
        const std::string cut = std::string("cut") + (name + 5);
        test::WriteFile(folder.path(cut), bytes.substr(0, bytes.size() * 6 / 10));
        const LoadedPhoto intact = LoadPhoto(folder.path(name));
        ASSERT_TRUE(intact.ok) << name;
        EXPECT_FALSE(intact.damaged) << name;
        // Qt's reader, and the codec library (a JPEG over the threshold is
        // decoded and downsized by it).
        for (int threshold : {0, 48}) {
            const LoadedPhoto damaged = LoadPhoto(folder.path(cut), threshold, threshold);
            if (!damaged.ok)
                continue;  // a decoder may refuse the file outright: that is said too
            EXPECT_TRUE(damaged.damaged) << cut << " at threshold " << threshold;
        }
    }
    // A truncated JPEG is opened by both decoders.
    EXPECT_TRUE(LoadPhoto(folder.path("cut.jpg"), 0, 0).ok);
    EXPECT_TRUE(LoadPhoto(folder.path("cut.jpg"), 48, 48).ok);
}

} // namespace
} // namespace ombrik

namespace ombrik {
namespace {

// The size in the file, upright, and whether the photo differs from it, for
// every decoder path: Qt's reader, the plain BMP reader, the codec library,
// Qt resampling what the codec cannot read, HEIF, AVIF and JPEG XL.
TEST(LoadPhoto, ReportsTheFilesSizeAndWhetherThePhotoDiffers)
{
    test::TempFolder folder;
    const PixelBuffer odd = test::RampPicture(451, 301);
    const PixelBuffer even = test::RampPicture(452, 300);
    struct Case {
        std::string name;
        const PixelBuffer* picture;
    };
    std::vector<Case> cases;
    for (const char* ext : {"png", "jpg", "bmp", "webp", "avif", "jxl", "pcx", "heic"}) {
        for (const auto& [stem, picture] : {std::pair{"odd.", &odd}, std::pair{"even.", &even}}) {
            const std::string name = stem + std::string(ext);
            const std::string path = folder.path(name);
            const bool written = std::string(ext) == "heic" ? test::SaveHeic(*picture, path)
                : std::string(ext) == "pcx"                 ? test::SaveWithCodec(*picture, path, "PCX")
                                                            : ImageEncoder(path).saveToFile(*picture, path) == SaveStatus::Ok;
            ASSERT_TRUE(written) << name;
            cases.push_back({name, picture});
        }
    }
    for (const Case& c : cases) {
        const int w = c.picture->width;
        const int h = c.picture->height;
        // Under the threshold: cut to multiples of 4 at most.
        const LoadedPhoto whole = LoadPhoto(folder.path(c.name));
        ASSERT_TRUE(whole.ok) << c.name << ": " << whole.error;
        EXPECT_EQ(whole.fileWidth, w) << c.name;
        EXPECT_EQ(whole.fileHeight, h) << c.name;
        EXPECT_FALSE(whole.downsized) << c.name;
        EXPECT_EQ(whole.differsFromFile, w % 4 != 0 || h % 4 != 0) << c.name;
        EXPECT_EQ(whole.photo.width, w & ~3) << c.name;

        // Over a 300 × 200 threshold: reduced, and the file's size still known.
        const LoadedPhoto reduced = LoadPhoto(folder.path(c.name), 300, 200);
        ASSERT_TRUE(reduced.ok) << c.name << ": " << reduced.error;
        EXPECT_EQ(reduced.fileWidth, w) << c.name;
        EXPECT_EQ(reduced.fileHeight, h) << c.name;
        EXPECT_TRUE(reduced.downsized) << c.name;
        EXPECT_TRUE(reduced.differsFromFile) << c.name;
        uint32_t nw = 0, nh = 0;
        DownsizedSize(uint32_t(w), uint32_t(h), 300, 200, nw, nh);
        EXPECT_EQ(reduced.photo.width, int(nw & ~3u)) << c.name;
        EXPECT_EQ(reduced.photo.height, int(nh & ~3u)) << c.name;
    }

    // Turned by its orientation tag: the file's size is the upright one, on
    // Qt's path and on the codec library's.
    PixelBuffer stored = test::RampPicture(400, 200);
    test::WriteFile(folder.path("turned.jpg"), RotatedJpeg(stored, folder.path("plain.jpg")));
    for (int threshold : {0, 100}) {
        const LoadedPhoto turned = LoadPhoto(folder.path("turned.jpg"), threshold, threshold);
        ASSERT_TRUE(turned.ok) << turned.error;
        EXPECT_EQ(turned.fileWidth, 200) << threshold;
        EXPECT_EQ(turned.fileHeight, 400) << threshold;
        EXPECT_EQ(turned.downsized, threshold > 0);
        EXPECT_EQ(turned.differsFromFile, threshold > 0);
    }
    // Nothing opened, nothing reported.
    const LoadedPhoto missing = LoadPhoto(folder.path("missing.jxl"));
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.differsFromFile);
}

} // namespace
} // namespace ombrik
