// Camera metadata from open to save, and the new formats' round trips. Test files are made here with the libraries and the encoders'
// command-line tools.
#include "tests/files/metadata_test_util.h"

#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace ombrik {
namespace {

using namespace test;

TEST(ModernFormats, RoundTripsThroughEachNewFormat)
{
    TempFolder folder;
    const PixelBuffer source = SourcePhoto();
    struct Case {
        const char* name;
        bool lossless;
        double maxMean;
    };
    const Case cases[] = {{"a.webp", false, 3.0}, {"b.webp", true, 0.0}, {"c.avif", false, 4.0},
                          {"d.jxl", false, 3.0},  {"e.jxl", true, 0.0}};
    for (const Case& c : cases) {
        ImageEncoder encoder(folder.path(c.name));
        ASSERT_TRUE(encoder.found()) << c.name;
        EXPECT_EQ(encoder.parameter(), ImageEncoder::Parameter::Quality);
        EXPECT_EQ(encoder.supportsLossless(), std::string(c.name).find("avif") == std::string::npos);
        encoder.setLossless(c.lossless);
        ASSERT_EQ(encoder.saveToFile(source, folder.path(c.name)), SaveStatus::Ok) << c.name;
        const LoadedPhoto loaded = LoadPhoto(folder.path(c.name));
        ASSERT_TRUE(loaded.ok) << c.name << ": " << loaded.error;
        EXPECT_EQ(loaded.photo.width, source.width) << c.name;
        EXPECT_EQ(loaded.photo.height, source.height) << c.name;
        const double mean = MeanDifference(loaded.photo, source);
        EXPECT_LE(mean, c.maxMean) << c.name;
        // A picture that is not the source would be far off.
        EXPECT_GT(MeanDifference(loaded.photo, test::RampPicture(source.width, source.height)), 20.0) << c.name;
    }

    // Lower quality gives a smaller file.
    QByteArray high, low;
    ImageEncoder webp("x.webp");
    webp.saveToStream(source, high);
    webp.setQuality(20);
    webp.saveToStream(source, low);
    EXPECT_LT(low.size(), high.size());

    // HEIC made by the reference encoder; a 1003 × 751 picture over a small
    // threshold is downsized by the usual rule and cut to multiples of 4.
    const PixelBuffer big = SourcePhoto(1003, 751);
    ASSERT_TRUE(test::SaveWithQt(big, folder.path("big.png")));
    ASSERT_TRUE(RunTool("heif-enc", {"-q", "90", "-o", QString::fromStdString(folder.path("big.heic")),
                                     QString::fromStdString(folder.path("big.png"))}));
    const LoadedPhoto heic = LoadPhoto(folder.path("big.heic"));
    ASSERT_TRUE(heic.ok) << heic.error;
    EXPECT_EQ(heic.decoder, PhotoDecoder::Heif);
    EXPECT_EQ(heic.photo.width, 1000);
    EXPECT_EQ(heic.photo.height, 748);
    PixelBuffer cut(1000, 748, 3);
    for (int y = 0; y < 748; ++y)
        std::memcpy(cut.at(0, y), big.at(0, y), cut.stride());
    EXPECT_LE(MeanDifference(heic.photo, cut), 4.0);
    const LoadedPhoto reduced = LoadPhoto(folder.path("big.heic"), 640, 480);
    ASSERT_TRUE(reduced.ok);
    uint32_t w = 0, h = 0;
    DownsizedSize(1003, 751, 640, 480, w, h);
    EXPECT_EQ(w, 640u);
    EXPECT_EQ(reduced.photo.width, int(w & ~3u));
    EXPECT_EQ(reduced.photo.height, int(h & ~3u));

    // A HEIC named .jpg still opens, by its content.
    std::filesystem::copy_file(folder.path("big.heic"), folder.path("renamed.jpg"));
    EXPECT_TRUE(LoadPhoto(folder.path("renamed.jpg")).ok);
}

TEST(ModernFormats, DamagedFilesFailCleanly)
{
    TempFolder folder;
    const PixelBuffer source = SourcePhoto(64, 48);
    for (const char* name : {"x.webp", "x.avif", "x.jxl"}) {
        QByteArray bytes;
        ASSERT_EQ(ImageEncoder(name).saveToStream(source, bytes), SaveStatus::Ok) << name;
        // Cut short at several places, and with a flipped byte run.
        for (double keep : {0.1, 0.5, 0.9}) {
            const std::string path = folder.path(std::string("cut-") + std::to_string(int(keep * 10)) + name);
            test::WriteFile(path, bytes.left(qsizetype(bytes.size() * keep)).toStdString());
            const LoadedPhoto loaded = LoadPhoto(path);
            if (!loaded.ok)
                EXPECT_FALSE(loaded.error.empty()) << path;
            else
                EXPECT_EQ(loaded.photo.width, 64) << path;
        }
    }
    // A HEIF whose header declares an absurd size is refused before decoding.
    QByteArray avif;
    ASSERT_EQ(ImageEncoder("x.avif").saveToStream(source, avif), SaveStatus::Ok);
    const qsizetype ispe = avif.indexOf("ispe");
    ASSERT_GT(ispe, 0);
    // ispe: 4 bytes version/flags, then 32-bit width and height.
    for (int i = 0; i < 8; ++i)
        avif[ispe + 8 + i] = char(0x7f);
    test::WriteFile(folder.path("huge.avif"), avif.toStdString());
    const LoadedPhoto huge = LoadPhoto(folder.path("huge.avif"));
    EXPECT_FALSE(huge.ok);
    EXPECT_FALSE(huge.error.empty());
}

TEST(PhotoMetadata, CameraDetailsSurviveAnEffectAndASaveToEachFormat)
{
    TempFolder folder;
    // Stored sideways (orientation 6): 320 × 240 stored, 240 × 320 upright.
    const PixelBuffer stored = SourcePhoto();
    WriteJpeg(stored, folder.path("camera.jpg"), nullptr, CameraBlocks());
    const LoadedPhoto loaded = LoadPhoto(folder.path("camera.jpg"));
    ASSERT_TRUE(loaded.ok) << loaded.error;
    ASSERT_EQ(loaded.photo.width, 240);
    ASSERT_EQ(loaded.photo.height, 320);
    EXPECT_EQ(loaded.metadata.dateTaken, "2021:05:06 07:08:09");
    EXPECT_EQ(loaded.metadata.camera, "Kestrel K7");
    EXPECT_FALSE(loaded.metadata.hadProfile);

    const PixelBuffer edited = test::RunCatalogueEffect(WholeImageEffect(), loaded.photo);

    for (const char* name : {"out.jpg", "out.png", "out.tif", "out.webp", "out.avif", "out.jxl"}) {
        SCOPED_TRACE(name);
        const std::string path = folder.path(name);
        ImageEncoder encoder(path);
        encoder.setMetadata(loaded.metadata, false);
        ASSERT_EQ(encoder.saveToFile(edited, path), SaveStatus::Ok);
        EXPECT_TRUE(encoder.notes().empty());
        const ReadBack back = ReadWithExiv2(path);
        EXPECT_EQ(Get(back.exif, "Exif.Image.Make"), "Kestrel");
        EXPECT_EQ(Get(back.exif, "Exif.Image.Model"), "Kestrel K7");
        EXPECT_EQ(Get(back.exif, "Exif.Photo.DateTimeOriginal"), "2021:05:06 07:08:09");
        EXPECT_EQ(Get(back.exif, "Exif.Photo.LensModel"), "50mm F1.8");
        EXPECT_EQ(Get(back.exif, "Exif.Image.Copyright"), "A. Photographer");
        EXPECT_EQ(Get(back.exif, "Exif.GPSInfo.GPSLatitude"), "48/1 51/1 2400/100");
        EXPECT_EQ(Get(back.exif, "Exif.GPSInfo.GPSLongitudeRef"), "E");
        EXPECT_EQ(Get(back.exif, "Exif.Image.Orientation"), "1");
        EXPECT_EQ(Get(back.exif, "Exif.Photo.PixelXDimension"), "240");
        EXPECT_EQ(Get(back.exif, "Exif.Photo.PixelYDimension"), "320");
        EXPECT_EQ(Get(back.exif, "Exif.Image.Software"), kSoftwareName);
        EXPECT_NE(Get(back.exif, "Exif.Image.DateTime"), "2021:05:06 07:08:09");
        EXPECT_EQ(Exiv2::ExifThumbC(back.exif).copy().size_, 0) << "the stale thumbnail is gone";
        const auto subject = back.xmp.findKey(Exiv2::XmpKey("Xmp.dc.subject"));
        ASSERT_NE(subject, back.xmp.end());
        EXPECT_EQ(subject->toString(), "harbour, boats");
        EXPECT_EQ(back.xmp.findKey(Exiv2::XmpKey("Xmp.tiff.Orientation"))->toString(), "1");
        EXPECT_EQ(back.xmp.findKey(Exiv2::XmpKey("Xmp.xmp.CreatorTool"))->toString(), kSoftwareName);
        if (std::string(name) != "out.webp" && std::string(name) != "out.avif" && std::string(name) != "out.jxl") {
            const auto city = back.iptc.findKey(Exiv2::IptcKey("Iptc.Application2.City"));
            ASSERT_NE(city, back.iptc.end());
            EXPECT_EQ(city->toString(), "Paris");
        }
        // Opened again: upright as saved, and no sRGB tag without a profile.
        const LoadedPhoto again = LoadPhoto(path);
        ASSERT_TRUE(again.ok) << again.error;
        EXPECT_EQ(again.photo.width, 240);
        EXPECT_EQ(again.photo.height, 320);
        EXPECT_EQ(again.metadata.dateTaken, "2021:05:06 07:08:09");
        EXPECT_TRUE(back.icc.empty());

        // Stripped: no EXIF, XMP or IPTC at all.
        const std::string bare = folder.path(std::string("bare-") + name);
        ImageEncoder stripping(bare);
        stripping.setMetadata(loaded.metadata, true);
        ASSERT_EQ(stripping.saveToFile(edited, bare), SaveStatus::Ok);
        const ReadBack none = ReadWithExiv2(bare);
        if (std::string(name) == "out.tif") {
            // A TIFF's own structure is EXIF-shaped: no camera field is left.
            for (const Exiv2::Exifdatum& datum : none.exif)
                EXPECT_EQ(datum.groupName(), "Image") << datum.key();
            EXPECT_EQ(Get(none.exif, "Exif.Image.Make"), "<none>");
            EXPECT_EQ(Get(none.exif, "Exif.Image.Copyright"), "<none>");
        } else {
            EXPECT_TRUE(none.exif.empty());
        }
        EXPECT_TRUE(none.xmp.empty());
        EXPECT_TRUE(none.iptc.empty());
    }
}

TEST(PhotoMetadata, DamagedBlocksAreDroppedNotTheSave)
{
    TempFolder folder;
    const PixelBuffer picture = SourcePhoto(64, 48);
    SaveMetadata blocks = CameraBlocks();
    // EXIF whose first directory points far outside the block, then one that
    // points at itself with a huge count.
    std::vector<uint8_t> outside = blocks.exif;
    outside[4] = 0xF0;
    outside[5] = 0xFF;
    outside[6] = 0xFF;
    outside[7] = 0x7F;
    std::vector<uint8_t> looping = {'I', 'I', 42, 0, 8, 0, 0, 0, 0xFF, 0xFF, 0x0F, 0x01, 4, 0, 0xFF, 0xFF, 0xFF, 0x0F,
                                    8, 0, 0, 0, 8, 0, 0, 0};
    for (const auto& exif : {outside, looping}) {
        PhotoMetadata metadata;
        AddMetadataBlocks(metadata, exif.data(), exif.size(), "<not xmp");
        EXPECT_FALSE(metadata.notes.empty());
        EXPECT_TRUE(metadata.xmp.empty());
        // Whatever survived is written without failing the save.
        metadata.exif = exif;  // as if it had been kept
        ImageEncoder encoder(folder.path("d.jpg"));
        encoder.setMetadata(metadata, false);
        ASSERT_EQ(encoder.saveToFile(picture, folder.path("d.jpg")), SaveStatus::Ok);
        EXPECT_TRUE(LoadPhoto(folder.path("d.jpg")).ok);
    }
    // A JPEG whose APP1 block is garbage opens with its picture.
    QByteArray jpeg;
    ImageEncoder("x.jpg").saveToStream(picture, jpeg);
    QByteArray app1("\xFF\xE1\x00\x20" "Exif\0\0" "MM\0\x2A\x7F\xFF\xFF\xF0" "garbage garbage!!", 4 + 30);
    jpeg.insert(2, app1);
    test::WriteFile(folder.path("bad-exif.jpg"), jpeg.toStdString());
    const LoadedPhoto loaded = LoadPhoto(folder.path("bad-exif.jpg"));
    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_EQ(loaded.photo.width, 64);
}

TEST(PhotoMetadata, CommandLineKeepsOrStripsTheDetails)
{
    TempFolder folder;
    const std::vector<uint8_t> adobe = AdobeRgbProfile();
    WriteJpeg(SourcePhoto(), folder.path("in.jpg"), &adobe, CameraBlocks());
    const QString input = QString::fromStdString(folder.path("in.jpg"));
    for (const char* name : {"kept.jpg", "kept.webp"}) {
        ASSERT_TRUE(RunTool(OMBRIK_CLI_PATH, {input, QString::fromStdString(folder.path(name)), "--effect", "Sharp",
                                              "--quality", "80"}))
            << name;
        const ReadBack back = ReadWithExiv2(folder.path(name));
        EXPECT_EQ(Get(back.exif, "Exif.GPSInfo.GPSLatitude"), "48/1 51/1 2400/100") << name;
        EXPECT_EQ(Get(back.exif, "Exif.Image.Orientation"), "1") << name;
        EXPECT_EQ(Get(back.exif, "Exif.Photo.PixelXDimension"), "240") << name;
        EXPECT_TRUE(IsSrgbProfile(back.icc)) << name;
    }
    for (const char* name : {"bare.jpg", "bare.png", "bare.jxl"}) {
        ASSERT_TRUE(RunTool(OMBRIK_CLI_PATH, {input, QString::fromStdString(folder.path(name)), "--strip-metadata",
                                              "--lossless"}))
            << name;
        const ReadBack back = ReadWithExiv2(folder.path(name));
        EXPECT_EQ(Get(back.exif, "Exif.GPSInfo.GPSLatitude"), "<none>") << name;
        EXPECT_EQ(Get(back.exif, "Exif.Image.Make"), "<none>") << name;
        EXPECT_TRUE(back.xmp.empty()) << name;
        EXPECT_TRUE(back.iptc.empty()) << name;
        const LoadedPhoto loaded = LoadPhoto(folder.path(name));
        ASSERT_TRUE(loaded.ok) << name;
        EXPECT_TRUE(loaded.metadata.dateTaken.empty()) << name;
        EXPECT_EQ(loaded.photo.width, 240) << name;
    }
}

// The boxes of a JPEG XL container in file order: type and the bytes after
// the box header (a bare codestream has none).
std::vector<std::pair<std::string, std::string>> JxlBoxes(const std::string& file)
{
    std::vector<std::pair<std::string, std::string>> boxes;
    size_t at = 0;
    while (file.size() >= 12 && at + 8 <= file.size()) {
        const auto* p = reinterpret_cast<const uint8_t*>(file.data() + at);
        const size_t size = (size_t(p[0]) << 24) | (size_t(p[1]) << 16) | (size_t(p[2]) << 8) | p[3];
        if (size < 8 || at + size > file.size())
            break;
        boxes.emplace_back(file.substr(at + 4, 4), file.substr(at + 8, size - 8));
        at += size;
    }
    return boxes;
}

// A lossless JPEG XL with its Exif and XMP boxes after the codestream, as
// libjxl's encoder writes boxes added after the frame; `compress` stores them as
// Brotli-compressed "brob" boxes.
std::string JxlWithBoxesAfterThePicture(const PixelBuffer& picture, const SaveMetadata& blocks, bool compress)
{
    JxlEncoder* encoder = JxlEncoderCreate(nullptr);
    JxlEncoderUseBoxes(encoder);
    JxlBasicInfo info;
    JxlEncoderInitBasicInfo(&info);
    info.xsize = uint32_t(picture.width);
    info.ysize = uint32_t(picture.height);
    info.bits_per_sample = 8;
    info.num_color_channels = 3;
    info.uses_original_profile = JXL_TRUE;
    JxlEncoderSetBasicInfo(encoder, &info);
    JxlColorEncoding colour;
    JxlColorEncodingSetToSRGB(&colour, JXL_FALSE);
    JxlEncoderSetColorEncoding(encoder, &colour);
    JxlEncoderFrameSettings* settings = JxlEncoderFrameSettingsCreate(encoder, nullptr);
    JxlEncoderSetFrameLossless(settings, JXL_TRUE);
    JxlEncoderFrameSettingsSetOption(settings, JXL_ENC_FRAME_SETTING_EFFORT, 3);
    std::vector<uint8_t> rgb(picture.pixels.size());
    for (size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = picture.pixels[i + 2];
        rgb[i + 1] = picture.pixels[i + 1];
        rgb[i + 2] = picture.pixels[i];
    }
    const JxlPixelFormat format{3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    EXPECT_EQ(JxlEncoderAddImageFrame(settings, &format, rgb.data(), rgb.size()), JXL_ENC_SUCCESS);
    std::vector<uint8_t> exif(4, 0);  // the offset of the TIFF header
    exif.insert(exif.end(), blocks.exif.begin(), blocks.exif.end());
    EXPECT_EQ(JxlEncoderAddBox(encoder, "Exif", exif.data(), exif.size(), compress), JXL_ENC_SUCCESS);
    EXPECT_EQ(JxlEncoderAddBox(encoder, "xml ", reinterpret_cast<const uint8_t*>(blocks.xmp.data()), blocks.xmp.size(),
                               compress),
              JXL_ENC_SUCCESS);
    JxlEncoderCloseInput(encoder);
    std::string out(1 << 20, '\0');
    auto* next = reinterpret_cast<uint8_t*>(out.data());
    size_t available = out.size();
    EXPECT_EQ(JxlEncoderProcessOutput(encoder, &next, &available), JXL_ENC_SUCCESS);
    out.resize(out.size() - available);
    JxlEncoderDestroy(encoder);
    return out;
}

TEST(PhotoMetadata, JpegXlMetadataIsReadWhereverItsBoxesAre)
{
    TempFolder folder;
    const PixelBuffer picture = SourcePhoto(64, 48);
    const SaveMetadata blocks = CameraBlocks();
    for (const bool compress : {false, true}) {
        SCOPED_TRACE(compress ? "brob" : "plain");
        const std::string file = JxlWithBoxesAfterThePicture(picture, blocks, compress);
        const auto boxes = JxlBoxes(file);
        ASSERT_GE(boxes.size(), 5u);
        EXPECT_EQ(boxes[2].first, "jxlc");
        EXPECT_EQ(boxes[3].first, compress ? "brob" : "Exif");
        const std::string path = folder.path(compress ? "brob.jxl" : "plain.jxl");
        test::WriteFile(path, file);
        const LoadedPhoto loaded = LoadPhoto(path);
        ASSERT_TRUE(loaded.ok) << loaded.error;
        EXPECT_TRUE(loaded.metadata.notes.empty());
        EXPECT_EQ(loaded.metadata.camera, "Kestrel K7");
        EXPECT_EQ(loaded.metadata.dateTaken, "2021:05:06 07:08:09");
        EXPECT_NE(loaded.metadata.xmp.find("harbour"), std::string::npos);
        // The codestream says upright; its EXIF orientation 6 is not applied.
        EXPECT_EQ(MeanDifference(loaded.photo, picture), 0.0);

        // Carried on to a save.
        ImageEncoder encoder(folder.path("out.jpg"));
        encoder.setMetadata(loaded.metadata, false);
        ASSERT_EQ(encoder.saveToFile(loaded.photo, folder.path("out.jpg")), SaveStatus::Ok);
        EXPECT_EQ(Get(ReadWithExiv2(folder.path("out.jpg")).exif, "Exif.GPSInfo.GPSLatitude"), "48/1 51/1 2400/100");
    }

    // Cut inside the trailing boxes, or a box that claims more than the file
    // holds: the picture opens, and a note says metadata was lost.
    const std::string file = JxlWithBoxesAfterThePicture(picture, blocks, false);
    const auto boxes = JxlBoxes(file);
    const size_t exifAt = file.find("Exif") - 4;
    std::string lying = file;
    lying[exifAt] = '\x7f';
    for (const auto& [name, bytes] : {std::pair{"cut.jxl", file.substr(0, exifAt + 8 + boxes[3].second.size() / 2)},
                                      std::pair{"lying.jxl", lying}}) {
        SCOPED_TRACE(name);
        test::WriteFile(folder.path(name), bytes);
        const LoadedPhoto loaded = LoadPhoto(folder.path(name));
        ASSERT_TRUE(loaded.ok) << loaded.error;
        EXPECT_EQ(MeanDifference(loaded.photo, picture), 0.0);
        EXPECT_TRUE(loaded.metadata.exif.empty());
        EXPECT_FALSE(loaded.metadata.notes.empty());
    }
}

// A JPEG XL and a HEIF orient by their own header and boxes; EXIF's
// orientation in them is not applied on top.
TEST(ModernFormats, OwnOrientationIsFollowedAndExifOrientationNotAppliedAgain)
{
    TempFolder folder;
    const PixelBuffer stored = SourcePhoto();  // 320 × 240, orientation 6 in CameraBlocks
    const SaveMetadata blocks = CameraBlocks();
    WriteJpeg(stored, folder.path("camera.jpg"), nullptr, blocks);
    const LoadedPhoto jpeg = LoadPhoto(folder.path("camera.jpg"));
    ASSERT_TRUE(jpeg.ok);
    ASSERT_EQ(jpeg.photo.width, 240);

    // The reference encoder moves the JPEG's orientation into the codestream
    // and keeps the EXIF (compressed) beside it.
    ASSERT_TRUE(RunTool("cjxl", {QString::fromStdString(folder.path("camera.jpg")),
                                 QString::fromStdString(folder.path("camera.jxl"))}));
    const LoadedPhoto jxl = LoadPhoto(folder.path("camera.jxl"));
    ASSERT_TRUE(jxl.ok) << jxl.error;
    EXPECT_EQ(jxl.photo.width, 240);
    EXPECT_EQ(jxl.photo.height, 320);
    EXPECT_LE(MeanDifference(jxl.photo, jpeg.photo), 2.0);
    EXPECT_EQ(jxl.metadata.camera, "Kestrel K7");

    // Orientation 6 in EXIF only: JPEG XL's header and HEIF's boxes say upright.
    for (const char* name : {"exif-only.jxl", "exif-only.avif"}) {
        EncodeExtras extras;
        extras.metadata = &blocks;
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(std::string(name).ends_with("jxl") ? EncodeJxl(stored, extras, bytes)
                                                        : EncodeAvif(stored, extras, bytes));
        test::WriteFile(folder.path(name), Text(bytes));
        const LoadedPhoto loaded = LoadPhoto(folder.path(name));
        ASSERT_TRUE(loaded.ok) << name << ": " << loaded.error;
        EXPECT_EQ(loaded.photo.width, 320) << name;
        EXPECT_EQ(loaded.metadata.camera, "Kestrel K7") << name;
    }
}

struct PngChunk {
    std::string type;
    std::string data;
};

std::vector<PngChunk> PngChunks(const std::string& file)
{
    std::vector<PngChunk> chunks;
    size_t at = 8;
    while (at + 12 <= file.size()) {
        const auto* p = reinterpret_cast<const uint8_t*>(file.data() + at);
        const size_t length = (size_t(p[0]) << 24) | (size_t(p[1]) << 16) | (size_t(p[2]) << 8) | p[3];
        if (at + 12 + length > file.size())
            break;
        chunks.push_back({file.substr(at + 4, 4), file.substr(at + 8, length)});
        // Each chunk's CRC covers its type and data.
        const uint32_t crc = uint32_t(crc32(0, p + 4, uInt(length + 4)));
        const auto* c = p + 8 + length;
        EXPECT_EQ((uint32_t(c[0]) << 24) | (uint32_t(c[1]) << 16) | (uint32_t(c[2]) << 8) | c[3], crc)
            << chunks.back().type;
        at += 12 + length;
    }
    return chunks;
}

std::string PngFile(const std::vector<PngChunk>& chunks)
{
    std::string out("\x89PNG\r\n\x1a\n", 8);
    for (const PngChunk& chunk : chunks) {
        const uint32_t length = uint32_t(chunk.data.size());
        const std::string body = chunk.type + chunk.data;
        const uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size())));
        for (const uint32_t v : {length, crc}) {
            const char be[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
            out.append(be, 4);
            if (v == length)
                out += body;
        }
    }
    return out;
}

bool IsExifText(const PngChunk& chunk)
{
    return (chunk.type == "zTXt" || chunk.type == "tEXt" || chunk.type == "iTXt")
        && chunk.data.rfind(std::string("Raw profile type exif\0", 22), 0) == 0;
}

TEST(PhotoMetadata, PngExifIsWrittenAsAnExifChunkAndReadInEitherForm)
{
    TempFolder folder;
    const PixelBuffer picture = SourcePhoto(64, 48);
    PhotoMetadata metadata;
    AddMetadataBlocks(metadata, CameraBlocks().exif.data(), CameraBlocks().exif.size(), CameraBlocks().xmp);
    ImageEncoder encoder(folder.path("out.png"));
    encoder.setMetadata(metadata, false);
    ASSERT_EQ(encoder.saveToFile(picture, folder.path("out.png")), SaveStatus::Ok);

    // One eXIf chunk, before the picture data: a TIFF-structured EXIF block,
    // corrected as every save corrects it. The text form is kept beside it.
    const std::vector<PngChunk> chunks = PngChunks(test::ReadFile(folder.path("out.png")));
    int exifChunks = 0;
    bool pictureSeen = false;
    bool textForm = false;
    for (const PngChunk& chunk : chunks) {
        pictureSeen = pictureSeen || chunk.type == "IDAT";
        textForm = textForm || IsExifText(chunk);
        if (chunk.type != "eXIf")
            continue;
        ++exifChunks;
        EXPECT_FALSE(pictureSeen);
        ASSERT_GE(chunk.data.size(), 8u);
        EXPECT_TRUE(chunk.data.starts_with(std::string("II*\0", 4)) || chunk.data.starts_with(std::string("MM\0*", 4)));
        Exiv2::ExifData exif;
        Exiv2::ExifParser::decode(exif, reinterpret_cast<const Exiv2::byte*>(chunk.data.data()),
                                  uint32_t(chunk.data.size()));
        EXPECT_EQ(Get(exif, "Exif.Image.Make"), "Kestrel");
        EXPECT_EQ(Get(exif, "Exif.Image.Orientation"), "1");
        EXPECT_EQ(Get(exif, "Exif.Photo.PixelXDimension"), "64");
    }
    EXPECT_EQ(exifChunks, 1);
    EXPECT_TRUE(textForm);
    const LoadedPhoto saved = LoadPhoto(folder.path("out.png"));
    ASSERT_TRUE(saved.ok);
    EXPECT_FALSE(saved.damaged);
    EXPECT_EQ(saved.metadata.camera, "Kestrel K7");

    // Only the eXIf chunk, before or after the picture data; only the text
    // form. Each is read, by Exiv2 and on open, orientation included.
    Exiv2::ExifData turned;
    Exiv2::ExifParser::decode(turned, metadata.exif.data(), uint32_t(metadata.exif.size()));
    turned["Exif.Image.Orientation"] = uint16_t(6);
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::bigEndian, turned);
    std::vector<PngChunk> withoutText;
    for (const PngChunk& chunk : chunks)
        if (!IsExifText(chunk) && chunk.type != "eXIf")
            withoutText.push_back(chunk);
    const PngChunk exifChunk{"eXIf", std::string(blob.begin(), blob.end())};
    std::vector<PngChunk> before = withoutText;
    before.insert(before.begin() + 1, exifChunk);
    std::vector<PngChunk> after = withoutText;
    after.insert(after.end() - 1, exifChunk);
    test::WriteFile(folder.path("before.png"), PngFile(before));
    test::WriteFile(folder.path("after.png"), PngFile(after));
    std::vector<PngChunk> textOnly;
    for (const PngChunk& chunk : chunks)
        if (chunk.type != "eXIf")
            textOnly.push_back(chunk);
    test::WriteFile(folder.path("text.png"), PngFile(textOnly));
    for (const char* name : {"before.png", "after.png", "text.png"}) {
        SCOPED_TRACE(name);
        const bool sideways = std::string(name) != "text.png";
        EXPECT_EQ(Get(ReadWithExiv2(folder.path(name)).exif, "Exif.Image.Orientation"), sideways ? "6" : "1");
        const LoadedPhoto loaded = LoadPhoto(folder.path(name));
        ASSERT_TRUE(loaded.ok) << loaded.error;
        EXPECT_FALSE(loaded.damaged);
        EXPECT_EQ(loaded.metadata.camera, "Kestrel K7");
        EXPECT_EQ(loaded.photo.width, sideways ? 48 : 64);
    }
}

// What a plain Save needs to write the photo back as it came: the quality
// of a JPEG (from its tables) and whether the file was lossless.
TEST(PhotoMetadata, OpenedFilesReportTheirQualityAndLosslessness)
{
    TempFolder folder;
    const PixelBuffer picture = SourcePhoto();
    for (const int quality : {50, 75, 90, 95}) {
        const std::string path = folder.path("q" + std::to_string(quality) + ".jpg");
        ImageEncoder encoder(path);
        encoder.setQuality(quality);
        ASSERT_EQ(encoder.saveToFile(picture, path), SaveStatus::Ok);
        for (const int threshold : {0, 100}) {  // Qt's reader and the codec library
            const LoadedPhoto loaded = LoadPhoto(path, threshold, threshold);
            ASSERT_TRUE(loaded.ok);
            ASSERT_TRUE(loaded.metadata.sourceQuality.has_value()) << path;
            EXPECT_NEAR(*loaded.metadata.sourceQuality, quality, 2) << path;
            EXPECT_FALSE(loaded.metadata.sourceLossless);
        }
    }
    // Lower and higher than any standard table, the estimate stays in 1..100.
    for (const char* tableByte : {"\x01", "\xff"}) {
        QByteArray jpeg;
        ImageEncoder("x.jpg").saveToStream(picture, jpeg);
        const qsizetype dqt = jpeg.indexOf("\xff\xdb");
        ASSERT_GT(dqt, 0);
        for (int i = 0; i < 64; ++i)
            jpeg[dqt + 5 + i] = tableByte[0];
        test::WriteFile(folder.path("odd.jpg"), jpeg.toStdString());
        const LoadedPhoto odd = LoadPhoto(folder.path("odd.jpg"));
        ASSERT_TRUE(odd.ok);
        ASSERT_TRUE(odd.metadata.sourceQuality.has_value());
        EXPECT_EQ(*odd.metadata.sourceQuality, tableByte[0] == 1 ? 100 : 1);
    }

    struct Case {
        const char* name;
        bool lossless;
    };
    for (const Case& c : {Case{"a.webp", false}, Case{"b.webp", true}, Case{"c.jxl", false}, Case{"d.jxl", true},
                          Case{"e.png", true}, Case{"f.tif", true}, Case{"g.bmp", true}, Case{"h.avif", false}}) {
        SCOPED_TRACE(c.name);
        ImageEncoder encoder(folder.path(c.name));
        encoder.setLossless(c.lossless);
        PhotoMetadata profiled;  // with metadata and the sRGB tag, as a Save writes
        profiled.hadProfile = true;
        AddMetadataBlocks(profiled, CameraBlocks().exif.data(), CameraBlocks().exif.size(), CameraBlocks().xmp);
        encoder.setMetadata(profiled, false);
        ASSERT_EQ(encoder.saveToFile(picture, folder.path(c.name)), SaveStatus::Ok);
        const LoadedPhoto loaded = LoadPhoto(folder.path(c.name));
        ASSERT_TRUE(loaded.ok) << loaded.error;
        EXPECT_EQ(loaded.metadata.sourceLossless, c.lossless);
        EXPECT_FALSE(loaded.metadata.sourceQuality.has_value());
        // Written back lossless, a lossless photo stays the same pixels.
        if (c.lossless) {
            EXPECT_EQ(MeanDifference(loaded.photo, picture), 0.0);
        }
    }
    // A JPEG repacked losslessly into JPEG XL is still a JPEG's picture.
    ASSERT_TRUE(RunTool("cjxl", {QString::fromStdString(folder.path("q90.jpg")),
                                 QString::fromStdString(folder.path("repacked.jxl"))}));
    const LoadedPhoto repacked = LoadPhoto(folder.path("repacked.jxl"));
    ASSERT_TRUE(repacked.ok);
    EXPECT_FALSE(repacked.metadata.sourceLossless);
}

} // namespace
} // namespace ombrik
