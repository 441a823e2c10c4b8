#include "files/codec_image.h"
#include "files/image_encoder.h"
#include "files/photo_loader.h"
#include "tests/files/files_test_support.h"

#include <Magick++.h>
#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace ombrik {
namespace {

using test::TempFolder;

TEST(ImageEncoder, ChoiceByExtensionInAnyCase)
{
    struct Case {
        const char* path;
        const char* mime;
        ImageEncoder::Parameter parameter;
    };
    const Case cases[] = {
        {"/x/B.JPG", "image/jpeg", ImageEncoder::Parameter::Quality},
        {"a.jpeg", "image/jpeg", ImageEncoder::Parameter::Quality},
        {"a.png", "image/png", ImageEncoder::Parameter::None},
        {"a.Bmp", "image/bmp", ImageEncoder::Parameter::None},
        {"a.gif", "image/gif", ImageEncoder::Parameter::None},
        {"a.tif", "image/tiff", ImageEncoder::Parameter::Compression},
        {"a.TIFF", "image/tiff", ImageEncoder::Parameter::Compression},
    };
    for (const Case& c : cases) {
        const ImageEncoder encoder(c.path);
        ASSERT_TRUE(encoder.found()) << c.path;
        EXPECT_EQ(encoder.mimeType(), c.mime) << c.path;
        EXPECT_EQ(encoder.parameter(), c.parameter) << c.path;
        EXPECT_EQ(encoder.quality(), 90);
        EXPECT_EQ(encoder.compression(), 2);
    }
    EXPECT_EQ(ImageEncoder("/x/B.JPG").pattern(), "*.jpg");
    // No extension, a partial one or an unknown one: no encoder.
    for (const char* path : {"photo", "photo.jp", "photo.xyz", "photo.", "photo.pcx"})
        EXPECT_FALSE(ImageEncoder(path).found()) << path;
}

// Reads back through the codec library, independent of Qt's writers.
Magick::Image ReadBack(const QByteArray& bytes)
{
    Magick::Image image;
    image.read(Magick::Blob(bytes.constData(), size_t(bytes.size())));
    return image;
}

TEST(ImageEncoder, WritesEachFormatWithItsSettings)
{
    InitialiseCodecLibrary();
    // Few colours, so GIF's palette holds the picture exactly.
    PixelBuffer picture(12, 8, 3);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) {
            picture.at(x, y)[0] = uint8_t(x * 20);
            picture.at(x, y)[1] = uint8_t(y * 30);
            picture.at(x, y)[2] = uint8_t((x + y) % 3 * 100);
        }

    for (const char* name : {"p.png", "p.bmp", "p.tif", "p.gif"}) {
        QByteArray bytes;
        ASSERT_EQ(ImageEncoder(name).saveToStream(picture, bytes), SaveStatus::Ok) << name;
        Magick::Image image = ReadBack(bytes);
        ASSERT_EQ(image.columns(), 12u);
        ASSERT_EQ(image.rows(), 8u);
        std::vector<uint8_t> bgr(12 * 8 * 3);
        image.write(0, 0, 12, 8, "BGR", Magick::CharPixel, bgr.data());
        EXPECT_TRUE(std::equal(bgr.begin(), bgr.end(), picture.pixels.begin())) << name;
        if (std::string(name) == "p.tif") {
            EXPECT_EQ(image.constImage()->compression, MagickLib::LZWCompression);
        }
    }

    const PixelBuffer photo = test::RampPicture(64, 48);
    QByteArray jpeg;
    ImageEncoder encoder("p.jpeg");
    ASSERT_EQ(encoder.saveToStream(photo, jpeg), SaveStatus::Ok);
    ASSERT_GE(jpeg.size(), 2);
    EXPECT_EQ(uint8_t(jpeg[0]), 0xFF);
    EXPECT_EQ(uint8_t(jpeg[1]), 0xD8);
    EXPECT_EQ(ReadBack(jpeg).attribute("JPEG-Quality"), "90");
    encoder.setQuality(40);
    QByteArray low;
    ASSERT_EQ(encoder.saveToStream(photo, low), SaveStatus::Ok);
    EXPECT_EQ(ReadBack(low).attribute("JPEG-Quality"), "40");
    EXPECT_LT(low.size(), jpeg.size());

    QByteArray none;
    EXPECT_EQ(ImageEncoder("p.xyz").saveToStream(photo, none), SaveStatus::NoEncoder);
    EXPECT_TRUE(none.isEmpty());
}

TEST(ImageEncoder, BmpBytesAreQtsOwn)
{
    // Odd widths need row padding; one pixel and a tall strip are the edges.
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{5, 3}, std::pair{7, 2}, std::pair{2, 9}, std::pair{12, 8}}) {
        const PixelBuffer picture = test::RampPicture(w, h);
        const QImage view = PixelBufferImage(picture);
        for (const QImage& image : {view, view.convertToFormat(QImage::Format_RGB32)}) {
            QByteArray qt;
            QBuffer buffer(&qt);
            buffer.open(QIODevice::WriteOnly);
            ASSERT_TRUE(QImageWriter(&buffer, "bmp").write(image));
            QByteArray ours;
            ASSERT_EQ(ImageEncoder("p.bmp").saveToStream(image, ours), SaveStatus::Ok);
            EXPECT_EQ(ours.toHex(), qt.toHex()) << w << " x " << h << " format " << int(image.format());
        }
    }
}

TEST(ImageEncoder, SavedFilesOpenAgain)
{
    TempFolder folder;
    const PixelBuffer picture = test::RampPicture(40, 32);
    for (const char* name : {"r.png", "r.bmp", "r.tiff", "r.jpg"}) {
        ASSERT_EQ(ImageEncoder(name).saveToFile(picture, folder.path(name)), SaveStatus::Ok) << name;
        const LoadedPhoto loaded = LoadPhoto(folder.path(name));
        ASSERT_TRUE(loaded.ok) << name << ": " << loaded.error;
        ASSERT_EQ(loaded.photo.width, 40);
        ASSERT_EQ(loaded.photo.height, 32);
        const int tolerance = std::string(name) == "r.jpg" ? 12 : 0;
        for (size_t i = 0; i < picture.byteCount(); ++i)
            ASSERT_NEAR(loaded.photo.pixels[i], picture.pixels[i], tolerance) << name << " byte " << i;
    }
    // A 4-byte buffer saves too (its alpha is kept where the format has one).
    PixelBuffer withAlpha(8, 8, 4);
    std::fill(withAlpha.pixels.begin(), withAlpha.pixels.end(), uint8_t(200));
    EXPECT_EQ(ImageEncoder("a.png").saveToFile(withAlpha, folder.path("a.png")), SaveStatus::Ok);
    // A buffer whose block does not match its size is refused.
    PixelBuffer broken(8, 8, 3);
    broken.pixels.resize(10);
    EXPECT_EQ(ImageEncoder("b.png").saveToFile(broken, folder.path("b.png")), SaveStatus::EncodeFailed);
    EXPECT_FALSE(std::filesystem::exists(folder.path("b.png")));
}

// Only the target and nothing else (no temporary file left behind).
void ExpectOnlyFile(const TempFolder& folder, const std::string& name, const std::string& content)
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.root())) {
        ++count;
        EXPECT_EQ(entry.path().filename().string(), name);
    }
    EXPECT_EQ(count, 1);
    EXPECT_EQ(test::ReadFile(folder.path(name)), content);
}

TEST(ImageEncoder, FailedSaveKeepsTheOldFile)
{
    TempFolder folder;
    const std::string target = folder.path("keep.png");
    const std::string old = "the old picture";
    test::WriteFile(target, old);

    // The encoder refuses: JPEG cannot hold 70000 columns.
    EXPECT_EQ(ImageEncoder("keep.jpg").saveToFile(PixelBuffer(70000, 1, 3), folder.path("keep.png")),
              SaveStatus::EncodeFailed);
    ExpectOnlyFile(folder, "keep.png", old);

    // The disk refuses part-way: a file size limit below the picture's size.
    const PixelBuffer big = test::RampPicture(400, 300);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const SaveStatus status = ImageEncoder(target).saveToFile(big, target);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(status, SaveStatus::WriteFailed);
    ExpectOnlyFile(folder, "keep.png", old);

    // With room, the same save replaces it.
    EXPECT_EQ(ImageEncoder(target).saveToFile(big, target), SaveStatus::Ok);
    EXPECT_NE(test::ReadFile(target), old);
    EXPECT_EQ(QImage(QString::fromStdString(target)).size(), QSize(400, 300));

    // A folder that does not exist: nothing written, a failure reported.
    EXPECT_EQ(ImageEncoder("x.png").saveToFile(big, folder.path("no/such/x.png")), SaveStatus::WriteFailed);
}

} // namespace
} // namespace ombrik
