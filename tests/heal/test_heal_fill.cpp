// The heal fill's contract: what it leaves alone, what it refuses, spots at
// the photo's edge and many spots at once, the same result on any number of
// threads, and a cancel that leaves the output untouched.
#include "engine/progress.h"
#include "heal/heal_fill.h"
#include "tests/heal/heal_cases.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace ombrik::test {
namespace {

// Pixels outside the mask equal the photo's; inside, each differs from the
// pasted object's colour (a flat magenta nowhere in the texture).
void ExpectFilledOnlyInside(const PixelBuffer& out, const PixelBuffer& damaged, const std::vector<uint8_t>& mask)
{
    ASSERT_EQ(out.width, damaged.width);
    ASSERT_EQ(out.height, damaged.height);
    int outsideChanged = 0, insideMagenta = 0;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const uint8_t* o = out.at(x, y);
            const uint8_t* d = damaged.at(x, y);
            if (!mask[size_t(y) * out.width + x])
                outsideChanged += !std::equal(o, o + 3, d);
            else
                insideMagenta += o[0] > 200 && o[1] < 60 && o[2] > 200;
        }
    EXPECT_EQ(outsideChanged, 0);
    EXPECT_EQ(insideMagenta, 0);
}

PixelBuffer Magenta()
{
    PixelBuffer m(8, 8);
    for (size_t i = 0; i < m.pixels.size(); i += 3)
        m.pixels[i] = 255, m.pixels[i + 1] = 0, m.pixels[i + 2] = 255;
    return m;
}

TEST(HealFill, EmptyTooLargeAndMismatchedMasksChangeNothing)
{
    const PixelBuffer photo = Bricks(64, 48);
    PixelBuffer out(4, 4);
    const PixelBuffer before = out;
    EXPECT_EQ(HealFill(photo, std::vector<uint8_t>(64 * 48, 0), out), HealOutcome::Nothing);
    // Just over two thirds of the photo.
    std::vector<uint8_t> large(64 * 48, 0);
    std::fill_n(large.begin(), 64 * 48 * 2 / 3 + 1, 1);
    EXPECT_EQ(HealFill(photo, large, out), HealOutcome::TooLarge);
    EXPECT_EQ(HealFill(photo, std::vector<uint8_t>(10, 1), out), HealOutcome::BadInput);
    EXPECT_EQ(HealFill(PixelBuffer(), {}, out), HealOutcome::BadInput);
    EXPECT_EQ(out.pixels, before.pixels);
    EXPECT_TRUE(HealAreaTooLarge(2 * 48 * 64 / 3 + 1, 48 * 64));
    EXPECT_FALSE(HealAreaTooLarge(2 * 48 * 64 / 3, 48 * 64));
}

TEST(HealFill, SpotsAtEdgesCornersAndManyAtOnceAreAllFilled)
{
    const int w = 160, h = 120;
    const PixelBuffer truth = GrassNoise(w, h);
    std::vector<uint8_t> mask(size_t(w) * h, 0);
    auto add = [&](const std::vector<uint8_t>& m) {
        for (size_t i = 0; i < m.size(); ++i)
            mask[i] |= m[i];
    };
    add(EllipseMask(w, h, 0, 0, 9, 7));         // a corner
    add(EllipseMask(w, h, w - 1, 60, 6, 14));   // the right edge
    add(EllipseMask(w, h, 80, h - 1, 20, 5));   // the bottom edge
    add(EllipseMask(w, h, 60, 40, 3, 3));       // small spots apart from the rest
    add(EllipseMask(w, h, 100, 45, 2, 2));
    for (int x = 20; x < 140; ++x)              // a thin line, as a wire would be
        mask[size_t(85 + x / 20) * w + x] = 1;
    const PixelBuffer damaged = Paste(truth, Magenta(), mask);
    PixelBuffer out;
    ASSERT_EQ(HealFill(damaged, mask, out), HealOutcome::Filled);
    ExpectFilledOnlyInside(out, damaged, mask);
    EXPECT_LT(ScoreFill(out, truth, mask).colour, 12.0);

    // Four bytes a pixel: alpha untouched, colour filled the same way.
    PixelBuffer four(w, h, 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::copy_n(damaged.at(x, y), 3, four.at(x, y));
            four.at(x, y)[3] = 77;
        }
    PixelBuffer fourOut;
    ASSERT_EQ(HealFill(four, mask, fourOut), HealOutcome::Filled);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            ASSERT_EQ(fourOut.at(x, y)[3], 77);
            ASSERT_TRUE(std::equal(out.at(x, y), out.at(x, y) + 3, fourOut.at(x, y)));
        }
}

TEST(HealFill, SameResultOnAnyNumberOfThreadsAndCancelLeavesOutputAlone)
{
    const int w = 180, h = 140;
    // A round area (searched coarse to fine) and a wire (grown from its border).
    for (const std::vector<uint8_t>& mask :
         {EllipseMask(w, h, 90, 70, 40, 30), StrokeMask(w, h, {0, 40, 90, 60, 179, 50}, 4.0)}) {
        const PixelBuffer damaged = Paste(Bricks(w, h), Magenta(), mask);
        PixelBuffer one, two, three;
        ASSERT_EQ(HealFill(damaged, mask, one, {.seed = 5, .threads = 1}), HealOutcome::Filled);
        ASSERT_EQ(HealFill(damaged, mask, two, {.seed = 5, .threads = 2}), HealOutcome::Filled);
        ASSERT_EQ(HealFill(damaged, mask, three, {.seed = 5, .threads = 3}), HealOutcome::Filled);
        ExpectFilledOnlyInside(one, damaged, mask);
        EXPECT_EQ(one.pixels, two.pixels);
        EXPECT_EQ(one.pixels, three.pixels);
        // In place, as the document does it.
        PixelBuffer inPlace = damaged;
        ASSERT_EQ(HealFill(inPlace, mask, inPlace, {.seed = 5, .threads = 2}), HealOutcome::Filled);
        EXPECT_EQ(inPlace.pixels, one.pixels);

        // A cancel once it has begun: progress was reported, the work stopped
        // soon after, and the output is as it was.
        PixelBuffer out(2, 2);
        int reports = 0, highest = 0;
        {
            ScopedProgressSink sink([&](int percent) {
                ++reports;
                highest = std::max(highest, percent);
                if (percent > 0)
                    RequestCancel();
            });
            EXPECT_EQ(HealFill(damaged, mask, out), HealOutcome::Cancelled);
        }
        ClearCancel();
        EXPECT_GT(reports, 1);
        EXPECT_LT(highest, 50);
        EXPECT_EQ(out.width, 2);
        EXPECT_EQ(out.pixels, std::vector<uint8_t>(12, 0));
    }
}

TEST(HealFill, HostileMasksFinishWithAClearOutcome)
{
    const int w = 120, h = 90;
    const PixelBuffer photo = SkyGradient(w, h);
    PixelBuffer out;
    // A fine checkerboard (half the photo): no whole patch is left to copy,
    // so it is filled smoothly.
    std::vector<uint8_t> checker(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            checker[size_t(y) * w + x] = uint8_t((x + y) % 2);
    ASSERT_EQ(HealFill(photo, checker, out), HealOutcome::Filled);
    EXPECT_LT(ScoreFill(out, photo, checker).colour, 3.0);
    // Many scattered single pixels (more spots than are told apart).
    std::vector<uint8_t> dust(size_t(w) * h, 0);
    for (size_t i = 0; i < dust.size(); i += 7)
        dust[i] = 255;
    ASSERT_EQ(HealFill(photo, dust, out), HealOutcome::Filled);
    // Everything marked.
    EXPECT_EQ(HealFill(photo, std::vector<uint8_t>(size_t(w) * h, 1), out), HealOutcome::TooLarge);
}

} // namespace
} // namespace ombrik::test
