// The brush and paper loaders, the brush cache and the built-in brush files.
#include "artistic/brush_resources.h"

#include "tests/artistic/painter_test_helpers.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <string>

using namespace ombrik;

namespace {

using test::PrintErrCapture;
using test::TempFolder;

std::string Gbr(uint32_t headerSize, uint32_t width, uint32_t height, uint32_t bytes, const std::string& pixels)
{
    std::string out;
    for (uint32_t word : {headerSize, 2u, width, height, bytes, 0x47494D50u, 25u})
        for (int shift = 24; shift >= 0; shift -= 8)
            out += char((word >> shift) & 0xFF);
    return out + pixels;
}

bool IsBlackFallback(const PaintImage& image)
{
    if (image.width != 10 || image.height != 10)
        return false;
    for (uint8_t v : image.pixels)
        if (v != 0)
            return false;
    return true;
}

} // namespace

TEST(BrushLoader, ReadsGreyAndColourPnm)
{
    TempFolder folder;
    const std::string grey = folder.write("g.pnm", "P5\n# a comment\n3 2\n255\nABCDEF");
    PaintImage image;
    ppm_load(grey.c_str(), image);
    ASSERT_EQ(image.width, 3);
    ASSERT_EQ(image.height, 2);
    EXPECT_EQ(image.at(2, 1)[0], 'F');
    EXPECT_EQ(image.at(2, 1)[1], 'F');
    EXPECT_EQ(image.at(2, 1)[2], 'F');
    EXPECT_EQ(image.at(1, 0)[0], 'B');

    const std::string colour = folder.write("c.pnm", "P6\r\n2 1\r\n255\r\nabcdef");
    ppm_load(colour.c_str(), image);
    ASSERT_EQ(image.width, 2);
    EXPECT_EQ(std::string(image.pixels.begin(), image.pixels.end()), "abcdef");
}

TEST(BrushLoader, RejectedHeadersGiveTheExactMessagesAndBlack)
{
    TempFolder folder;
    const std::string sixteen = folder.write("16.pnm", "P5\n2 2\n65535\n01234567");
    const std::string ascii = folder.write("a.pnm", "P2\n2 2\n255\n1 2 3 4\n");
    const std::string oneLine = folder.write("o.pnm", "P5 2 2 255\nabcd");
    const std::string missing = folder.path() + "none.pnm";
    PaintImage image;
    {
        PrintErrCapture capture;
        ppm_load(sixteen.c_str(), image);
        EXPECT_TRUE(IsBlackFallback(image));
        EXPECT_EQ(capture.text(), "ppm_load: File \"" + sixteen + "\" not valid PPM/PGM? (line=\"65535\")\a\n");
    }
    {
        PrintErrCapture capture;
        ppm_load(ascii.c_str(), image);
        EXPECT_TRUE(IsBlackFallback(image));
        EXPECT_EQ(capture.text(), "ppm_load: File \"" + ascii + "\" not PPM/PGM? (line=\"P2\")\a\n");
    }
    {
        PrintErrCapture capture;
        ppm_load(oneLine.c_str(), image);
        EXPECT_TRUE(IsBlackFallback(image));
        EXPECT_EQ(capture.text(), "ppm_load: File \"" + oneLine + "\" not PPM/PGM? (line=\"P5 2 2 255\")\a\n");
    }
    {
        PrintErrCapture capture;
        ppm_load(missing.c_str(), image);
        EXPECT_TRUE(IsBlackFallback(image));
        EXPECT_EQ(capture.text(), "ppm_load: Unable to open file \"" + missing + "\"!\n");
    }
    {
        PrintErrCapture capture;
        load_gimp_brush(missing.c_str(), image);
        EXPECT_TRUE(IsBlackFallback(image));
        EXPECT_EQ(capture.text(), "load_gimp_brush: Unable to open file \"" + missing + "\"!\n");
    }
}

TEST(BrushLoader, HostilePnmHeadersNeverAllocateOrOverread)
{
    TempFolder folder;
    const std::string longComment = "#" + std::string(450, 'x') + "\n";
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"negative", "P5\n-4 3\n255\nabcdefghijkl"},
        {"zero", "P5\n0 3\n255\n"},
        {"absurd", "P6\n2000000000 2000000000\n255\nabc"},
        {"overflow", "P6\n99999999999999999999 2\n255\nabc"},
        {"nospace", "P5\n12\n255\nabcdefghijkl"},
        {"short", "P6\n10 10\n255\nabc"},
        {"headeronly", "P5\n"},
        {"empty", ""},
        {"hugeline", "P5\n" + std::string(5000, '7') + " 2\n255\nab"},
    };
    for (const auto& c : cases) {
        const std::string path = folder.write(std::string(c.name) + ".pnm", c.bytes);
        PrintErrCapture capture;
        PaintImage image;
        ppm_load(path.c_str(), image);
        EXPECT_TRUE(IsBlackFallback(image)) << c.name;
        EXPECT_NE(capture.text().find("ppm_load: File \"" + path + "\""), std::string::npos) << c.name;
    }
    // An over-long comment is skipped whole, not read as the size line.
    const std::string commented = folder.write("comment.pnm", "P5\n" + longComment + "2 1\n255\nzz");
    PaintImage image;
    ppm_load(commented.c_str(), image);
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(image.at(1, 0)[0], 'z');
}

TEST(BrushLoader, GbrBrushes)
{
    TempFolder folder;
    // Word 4 claims 4 bytes per pixel; one byte per pixel is read anyway. The
    // pixels start at the header-size offset (here 30: two padding bytes).
    const std::string path = folder.write("b.gbr", Gbr(30, 3, 2, 4, "--ABCDEF"));
    PaintImage image;
    ppm_load(path.c_str(), image);  // handed on by extension
    ASSERT_EQ(image.width, 3);
    ASSERT_EQ(image.height, 2);
    EXPECT_EQ(image.at(0, 0)[0], 'A');
    EXPECT_EQ(image.at(2, 1)[2], 'F');

    // Written in capitals the extension is not the brush format: read as PNM.
    const std::string capitals = folder.write("b.GBR", "P5\n1 1\n255\nQ");
    ppm_load(capitals.c_str(), image);
    ASSERT_EQ(image.width, 1);
    EXPECT_EQ(image.at(0, 0)[0], 'Q');

    const struct {
        const char* name;
        std::string bytes;
        const char* message;
    } hostile[] = {
        {"short-header", "abc", "is not a valid brush"},
        {"zero", Gbr(28, 0, 5, 1, "abcde"), "is not a valid brush"},
        {"absurd", Gbr(28, 0xFFFFFFF0u, 0xFFFFFFF0u, 1, "abcde"), "is not a valid brush"},
        {"offset-beyond", Gbr(0x7FFFFFF0u, 2, 2, 1, "abcd"), "is not a valid brush"},
        {"cut-short", Gbr(28, 40, 40, 1, "abcd"), "ends before its pixels do"},
    };
    for (const auto& c : hostile) {
        const std::string file = folder.write(std::string(c.name) + ".gbr", c.bytes);
        PrintErrCapture capture;
        load_gimp_brush(file.c_str(), image);
        EXPECT_TRUE(IsBlackFallback(image)) << c.name;
        EXPECT_EQ(capture.text(), "load_gimp_brush: File \"" + file + "\" " + c.message + "!\n") << c.name;
    }
}

TEST(BrushLoader, FallbackFileIsOpenedWhenThePathFails)
{
    TempFolder folder;
    const std::string fallback = folder.write("fallback.pnm", "P5\n1 1\n255\nW");
    PaintImage image;
    ppm_load("", image, fallback.c_str());  // an empty paper path reads the brush
    ASSERT_EQ(image.width, 1);
    EXPECT_EQ(image.at(0, 0)[0], 'W');
}

TEST(BrushCache, LoadsAPathOnceAndEmptiesOnNull)
{
    TempFolder folder;
    const std::string path = folder.write("cached.pnm", "P5\n1 1\n255\nA");
    PaintImage image;
    BrushCacheGet(path.c_str(), image);
    EXPECT_EQ(image.at(0, 0)[0], 'A');
    folder.write("cached.pnm", "P5\n1 1\n255\nB");
    BrushCacheGet(path.c_str(), image);
    EXPECT_EQ(image.at(0, 0)[0], 'A');  // served from the cache
    PaintImage untouched(2, 2);
    BrushCacheGet(nullptr, untouched);
    EXPECT_EQ(untouched.width, 2);
    BrushCacheGet(path.c_str(), image);
    EXPECT_EQ(image.at(0, 0)[0], 'B');  // reloaded after emptying
}

TEST(BrushFiles, WrittenFilesMatchTheirTable)
{
    TempFolder folder;
    ASSERT_TRUE(WriteBrushFiles(folder.path()));
    const struct {
        int width, height;
        const char* magic;
    } table[6] = {{200, 200, "P5"}, {185, 185, "P5"}, {238, 47, "P6"},
                  {120, 120, "P5"}, {200, 50, "P6"},  {200, 59, "P6"}};
    for (int n = 1; n <= 6; ++n) {
        char name[16];
        g_snprintf(name, sizeof name, "%03d.pnm", n);
        const std::string path = folder.path() + name;
        gchar* bytes = nullptr;
        ASSERT_TRUE(g_file_get_contents(path.c_str(), &bytes, nullptr, nullptr)) << name;
        EXPECT_EQ(std::string(bytes, 2), table[n - 1].magic) << name;
        g_free(bytes);
        PrintErrCapture capture;
        PaintImage image;
        ppm_load(path.c_str(), image);
        EXPECT_EQ(capture.text(), "") << name;
        EXPECT_EQ(image.width, table[n - 1].width) << name;
        EXPECT_EQ(image.height, table[n - 1].height) << name;
        for (size_t k = 0; k < image.pixels.size(); k += 3)
            ASSERT_TRUE(image.pixels[k] == image.pixels[k + 1] && image.pixels[k] == image.pixels[k + 2]) << name;
        if (n == 1) {  // the ramp: white on top, black at the bottom
            EXPECT_EQ(image.at(100, 0)[0], 255);
            EXPECT_EQ(image.at(100, 199)[0], 0);
            EXPECT_NEAR(image.at(0, 100)[0], 127, 1);
        }
        if (n == 2) {  // the hard disc: only 0 and 255, 175 across
            for (size_t k = 0; k < image.pixels.size(); k += 3)
                ASSERT_TRUE(image.pixels[k] == 0 || image.pixels[k] == 255);
            int across = 0;
            for (int x = 0; x < image.width; ++x)
                across += image.at(x, 92)[0] == 255;
            EXPECT_EQ(across, 175);
        }
        if (n == 5) {
            EXPECT_NEAR(image.at(100, 25)[0], 241, 2);
            EXPECT_NEAR(image.at(0, 25)[0], 86, 4);
        }
        if (n == 6) {
            EXPECT_EQ(image.at(100, 29)[0], 255);
            EXPECT_EQ(image.at(0, 0)[0], 10);
        }
    }
    // Files already there are kept by the start-up check used before painting.
    folder.write("003.pnm", "P5\n1 1\n255\nX");
    g_remove((folder.path() + "004.pnm").c_str());
    ASSERT_TRUE(EnsureBrushFiles(folder.path()));
    PaintImage kept, rewritten;
    ppm_load((folder.path() + "003.pnm").c_str(), kept);
    ppm_load((folder.path() + "004.pnm").c_str(), rewritten);
    EXPECT_EQ(kept.width, 1);
    EXPECT_EQ(rewritten.width, 120);
}
