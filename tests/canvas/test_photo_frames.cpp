// The photo frame library readers and the frame's scale for a photo.
#include "canvas/frame_library.h"
#include "canvas/photo_frame.h"
#include "tests/canvas/canvas_test_util.h"
#include "tests/canvas/frame_test_util.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <string>
#include <vector>

using namespace ombrik;
using namespace ombrik::test;

namespace {

std::vector<uint8_t> U32(std::initializer_list<uint32_t> values)
{
    std::vector<uint8_t> out;
    for (uint32_t v : values)
        for (int i = 0; i < 4; ++i)
            out.push_back(uint8_t(v >> (8 * i)));
    return out;
}

} // namespace

TEST(FrameLibrary, PicturesAreCutToAMultipleOf4AndEntriesAreFoundByIndex)
{
    QImage wide = TwoToneStrip(103, 20);
    wide.setPixel(99, 0, qRgb(1, 2, 3));
    Library lib({TwoToneStrip(8, 4), wide});
    const auto first = LoadFrame(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->width, 8);
    const auto strip = LoadFrame(1);
    ASSERT_TRUE(strip);
    EXPECT_EQ(strip->width, 100);
    EXPECT_EQ(strip->height, 20);
    EXPECT_EQ(strip->at(99, 0)[0], 3);  // blue, green, red
    EXPECT_EQ(strip->at(99, 0)[2], 1);
    EXPECT_FALSE(LoadFrame(2));
    EXPECT_FALSE(LoadFrame(-1));
}

TEST(FrameLibrary, BrokenPictureFilesGiveNoFrame)
{
    const std::vector<uint8_t> picture = Png(TwoToneStrip(8, 4));
    std::vector<uint8_t> file;
    AppendFrameEntry(file, picture);
    SetEntryCount(file, 1);
    {
        // Cut short inside the picture data.
        MemorySource src(file.data(), file.size() - 5);
        EXPECT_FALSE(ReadFrameEntry(src, 0));
    }
    {
        // A size of nearly 4 GiB is refused without allocating it.
        std::vector<uint8_t> absurd = U32({1, 0, 0, 0xFFFFFFF0u});
        absurd.insert(absurd.end(), 64, 0);
        MemorySource src(absurd.data(), absurd.size());
        EXPECT_FALSE(ReadFrameEntry(src, 0));
        MemorySource skipping(absurd.data(), absurd.size());
        EXPECT_FALSE(ReadFrameEntry(skipping, 1));
    }
    // Bytes that are no picture, and a picture narrower than 4.
    EXPECT_FALSE(DecodeFramePicture({1, 2, 3, 4, 5}));
    EXPECT_FALSE(DecodeFramePicture(Png(TwoToneStrip(3, 10))));
    // No file at all.
    QTemporaryDir empty;
    SetFrameLibraryFolder(empty.path().toStdString());
    EXPECT_FALSE(LoadFrame(0));
    EXPECT_TRUE(LoadThumbnails().images.empty());
    SetFrameLibraryFolder("");
}

TEST(FrameLibrary, ThumbnailsKeepTheCompleteEntriesBeforeACut)
{
    std::vector<uint8_t> file;
    PixelBuffer a = Flat(2, 3, 7), b = Flat(4, 1, 9);
    AppendThumbnailEntry(file, a);
    AppendThumbnailEntry(file, PixelBuffer());  // an empty entry keeps the indices
    AppendThumbnailEntry(file, b);
    AppendThumbnailEntry(file, Flat(5, 5, 1));
    SetEntryCount(file, 4);
    {
        MemorySource src(file.data(), file.size());
        const Thumbnails all = ReadThumbnails(src);
        EXPECT_TRUE(all.complete);
        ASSERT_EQ(all.images.size(), 4u);
        EXPECT_TRUE(all.images[1].empty());
        EXPECT_EQ(all.images[2].width, 4);
        EXPECT_EQ(all.images[2].pixels, b.pixels);
    }
    {
        MemorySource src(file.data(), file.size() - 1);
        const Thumbnails cut = ReadThumbnails(src);
        EXPECT_FALSE(cut.complete);
        ASSERT_EQ(cut.images.size(), 3u);
        EXPECT_EQ(cut.images[0].pixels, a.pixels);
    }
    // Counts and sizes that cannot be true stop reading without allocating.
    for (const std::vector<uint8_t>& bad :
         {U32({0xFFFFFFFFu}), U32({5, 0x7FFFFFFF, 0x7FFFFFFF}), U32({2, 0xFFFFFFFEu, 4}), U32({0x7FFFFFFF})}) {
        MemorySource src(bad.data(), bad.size());
        const Thumbnails t = ReadThumbnails(src);
        EXPECT_TRUE(t.images.empty());
    }
}

TEST(FrameLibrary, TheShippedLibraryHasAThumbnailForEveryFrame)
{
    SetFrameLibraryFolder(OMBRIK_SOURCE_DIR "/resources/frames");
    const Thumbnails thumbs = LoadThumbnails();
    EXPECT_TRUE(thumbs.complete);
    EXPECT_GE(thumbs.images.size(), 12u);
    for (size_t i = 0; i < thumbs.images.size(); ++i) {
        const auto strip = LoadFrame(int(i));
        ASSERT_TRUE(strip) << i;
        EXPECT_EQ(strip->width % 4, 0);
        EXPECT_GT(thumbs.images[i].width, 0);
    }
    EXPECT_FALSE(LoadFrame(int(thumbs.images.size())));
    SetFrameLibraryFolder("");
}

TEST(FrameScale, BothBordersComeToAMultipleOf4)
{
    // (400 + 300) × 0.00055803574 × 0.6 = 0.234375; 2 × 100 × that = 46.875 → 44.
    EXPECT_FLOAT_EQ(FrameScaleFor(400, 300, 100), 0.22f);
    for (int w : {4, 120, 640, 1600, 4000})
        for (int stripWidth : {4, 100, 120, 348}) {
            const float s = FrameScaleFor(w, 300, stripWidth);
            const long total = std::lround(2.0 * stripWidth * s);
            EXPECT_EQ(total % 4, 0) << w << " " << stripWidth;
        }
}

