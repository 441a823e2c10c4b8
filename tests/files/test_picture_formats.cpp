// The one table of picture formats against what the loader, the saver, the
// file dialogs and the desktop entry really do.
#include "files/photo_loader.h"
#include "files/photo_saver.h"
#include "files/picture_formats.h"
#include "tests/files/files_test_support.h"
#include "tests/support/dng_writer.h"

#include <QImageWriter>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace ombrik {
namespace {

using test::TempFolder;

void PutLe(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += char((value >> (8 * i)) & 0xFF);
}

// A Windows metafile with a placeable header: a 64 × 48 unit picture at 72
// units per inch, filled by one red rectangle.
std::string Metafile()
{
    std::string records;
    auto record = [&](uint16_t function, std::initializer_list<int> words) {
        PutLe(records, uint32_t(3 + words.size()), 4);
        PutLe(records, function, 2);
        for (int w : words)
            PutLe(records, uint32_t(uint16_t(w)), 2);
    };
    record(0x020B, {0, 0});          // window origin
    record(0x020C, {48, 64});        // window extent (y, x)
    record(0x02FC, {0, 0xFF, 0, 0});  // solid brush, red (colour as two words), no hatch
    record(0x012D, {0});             // select it
    record(0x041B, {48, 64, 0, 0});  // rectangle (bottom, right, top, left)
    record(0x0000, {});              // end
    std::string file;
    // Placeable header: key, handle, bounding box, units per inch, reserved, checksum.
    PutLe(file, 0x9AC6CDD7u, 4);
    for (int w : {0, 0, 0, 64, 48, 72})
        PutLe(file, uint32_t(w), 2);
    PutLe(file, 0, 4);
    uint16_t sum = 0;
    for (size_t i = 0; i < file.size(); i += 2)
        sum ^= uint16_t(uint8_t(file[i]) | uint8_t(file[i + 1]) << 8);
    PutLe(file, sum, 2);
    // Standard header: type, header words, version, file words, objects, largest record, unused.
    PutLe(file, 1, 2);
    PutLe(file, 9, 2);
    PutLe(file, 0x0300, 2);
    PutLe(file, uint32_t((18 + records.size()) / 2), 4);
    PutLe(file, 1, 2);
    PutLe(file, 7, 4);
    PutLe(file, 0, 2);
    return file + records;
}

// Writes `picture` at `path` in `format`, with our saver where the table says
// it writes the format and with another writer otherwise.
bool WriteAs(const PictureFormat& format, const PixelBuffer& picture, const std::string& path)
{
    if (format.canWrite)
        return SavePhoto(picture, path, nullptr, {}).ok();
    switch (format.id) {
    case PictureFormatId::Heif: return test::SaveHeic(picture, path);
    case PictureFormatId::Pgm:
    case PictureFormatId::Pbm:
    case PictureFormatId::Ico: return QImageWriter(QString::fromStdString(path), format.qtFormat).write(PixelBufferImage(picture));
    case PictureFormatId::Pcx: return test::SaveWithCodec(picture, path, "PCX");
    case PictureFormatId::Tga: return test::SaveWithCodec(picture, path, "TGA");
    case PictureFormatId::Wbmp: return test::SaveWithCodec(picture, path, "WBMP");
    case PictureFormatId::SunRaster: return test::SaveWithCodec(picture, path, "SUN");
    case PictureFormatId::Wmf: test::WriteFile(path, Metafile()); return true;
    case PictureFormatId::CameraRaw: {
        // A DNG through a camera that saw the picture, whatever the extension.
        test::DngRecipe recipe;
        recipe.width = picture.width;
        recipe.height = picture.height;
        recipe.previewWidth = 0;
        recipe.scene = [&picture](int x, int y) {
            const uint8_t* p = picture.at(x, y);
            return test::LinearFromSrgb8(p[2], p[1], p[0]);
        };
        return test::WriteDng(path, recipe);
    }
    default: return false;
    }
}

TEST(PictureFormats, TheOpenFilterListsExactlyWhatTheLoaderOpens)
{
    // Extensions are lower case, without a dot, and name one format each.
    std::set<std::string> seen;
    for (const PictureFormat& format : PictureFormats()) {
        ASSERT_FALSE(format.extensions.empty()) << format.name;
        ASSERT_FALSE(format.mimeTypes.empty()) << format.name;
        for (const std::string& extension : format.extensions) {
            EXPECT_TRUE(QRegularExpression("^[a-z0-9]+$").match(QString::fromStdString(extension)).hasMatch())
                << extension;
            EXPECT_TRUE(seen.insert(extension).second) << extension << " is in two rows";
            EXPECT_EQ(PictureFormatForExtension(extension), &format);
        }
    }
    EXPECT_EQ(PictureFormatForPath("/a.b/IMG.JPE")->id, PictureFormatId::Jpeg);
    EXPECT_EQ(PictureFormatForPath("/a.jpg/photo"), nullptr);

    // "(all picture files)" with every pattern, then one filter per format
    // the loader opens; every pattern "*.ext".
    const QStringList filters = OpenDialogFilters();
    QStringList perFormat;
    QStringList patterns;
    for (const PictureFormat& format : PictureFormats())
        if (format.canRead) {
            perFormat << FileDialogFilter(format);
            for (const std::string& extension : format.extensions)
                patterns << QString::fromStdString("*." + extension);
        }
    ASSERT_FALSE(filters.isEmpty());
    EXPECT_EQ(filters.mid(1), perFormat);
    EXPECT_EQ(filters.front(), "(all picture files) (" + patterns.join(' ') + ")");
    // Formats the loader opens that the filter once lacked or mistyped.
    for (const char* pattern : {"*.ico", "*.tga", "*.ras", "*.wbmp", "*.pgm", "*.ppm", "*.tiff", "*.heic", "*.avif",
                                "*.jxl", "*.webp", "*.pcx", "*.wmf"})
        EXPECT_TRUE(patterns.contains(pattern)) << pattern;
    EXPECT_FALSE(patterns.contains("*.emf"));  // the codec library has no EMF reader

    // Each listed format opens through the loader under each of its
    // extensions, and a format that is written is written by the saver.
    TempFolder folder;
    const PixelBuffer picture = test::RampPicture(40, 32);
    for (const PictureFormat& format : PictureFormats()) {
        for (const std::string& extension : format.extensions) {
            const std::string path = folder.path("p." + extension);
            EXPECT_EQ(ImageEncoder(path).found(), format.canWrite) << path;
            if (!format.canRead)
                continue;
            ASSERT_TRUE(WriteAs(format, picture, path)) << path;
            const LoadedPhoto loaded = LoadPhoto(path);
            EXPECT_TRUE(loaded.ok) << path << ": " << loaded.error;
            const int width = format.id == PictureFormatId::Wmf ? 64 : 40;
            EXPECT_EQ(loaded.photo.width, width) << path;
            // A developed RAW is never the file's own pixels.
            EXPECT_EQ(loaded.differsFromFile, format.id == PictureFormatId::CameraRaw) << path;
        }
    }
}

TEST(PictureFormats, TheDesktopEntryOffersTheTypesTheLoaderOpens)
{
    std::ifstream entry(OMBRIK_SOURCE_DIR "/resources/package/org.ombrik.PhotoEditor.desktop");
    ASSERT_TRUE(entry) << "no desktop entry";
    std::set<std::string> listed;
    for (std::string line; std::getline(entry, line);)
        if (line.starts_with("MimeType=")) {
            for (const QString& type : QString::fromStdString(line.substr(9)).split(';', Qt::SkipEmptyParts))
                EXPECT_TRUE(listed.insert(type.toStdString()).second) << "listed twice: " << type.toStdString();
        }
    std::set<std::string> opened;
    for (const PictureFormat& format : PictureFormats())
        if (format.canRead)
            opened.insert(format.mimeTypes.begin(), format.mimeTypes.end());
    EXPECT_EQ(listed, opened);
}

TEST(PictureFormats, TheSaveFiltersAreTheWrittenFormatsInOrder)
{
    QStringList expected;
    for (const PictureFormat& format : PictureFormats())
        if (format.canWrite)
            expected << FileDialogFilter(format);
    EXPECT_EQ(SaveDialogFilters(), expected);
    EXPECT_EQ(SaveDialogFilters().value(0), "JPEG (*.jpg *.jpeg *.jpe *.jfif)");
    std::vector<std::string> names;
    for (const PictureFormat* format : WritableFormats())
        names.emplace_back(format->name);
    EXPECT_EQ(names, std::vector<std::string>({"JPEG", "PNG", "TIFF", "WebP", "AVIF", "JPEG XL", "BMP", "GIF", "PPM"}));
}

} // namespace
} // namespace ombrik
