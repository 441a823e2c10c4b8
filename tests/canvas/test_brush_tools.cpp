// Brush tools: effect selection, brush sizes, dabs and their coverage.
#include "canvas/brush_tip.h"
#include "canvas/canvas_document.h"
#include "tests/canvas/canvas_test_util.h"
#include "effects/effect_request.h"
#include "tests/support/photo_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ombrik;
using test::Flat;
using test::Opened;

namespace {

} // namespace

TEST(BrushSettings, SizePresets)
{
    CanvasDocument doc = Opened(Flat(100, 100, 0));
    doc.setBrushSizePreset(4);
    EXPECT_EQ(doc.brushSize(), 4);  // 200 / 128 = 1 → 0 → raised to 4
    doc.setBrushSizePreset(0);
    EXPECT_EQ(doc.brushSize(), 24);  // 200 / 8 = 25 → 24
    doc.setBrushSizePreset(9);
    EXPECT_EQ(doc.brushSize(), 120);
    EXPECT_EQ(doc.brushTip().width, 120);
    EXPECT_EQ(doc.brushTip().bytesPerPixel, 4);
    doc.setBrushShape(1);
    EXPECT_EQ(doc.brushShape(), 1);
    EXPECT_EQ(doc.brushTip().width, 120);
}

TEST(BrushSettings, TipsAreRoundAndOpaqueInTheMiddle)
{
    for (int shape : {0, 1})
        for (int size : {4, 31, 300}) {
            const PixelBuffer tip = MakeBrushTip(shape, size);
            EXPECT_EQ(tip.at(size / 2, size / 2)[3], 255);
            EXPECT_EQ(tip.at(0, 0)[3], 0) << shape << " " << size;
            // Symmetric left/right.
            EXPECT_EQ(tip.at(1, size / 2)[3], tip.at(size - 2, size / 2)[3]);
        }
    // At the source size, alpha by the distance r from the centre (1 at the
    // rim): soft, full to 0.45 then a half cosine to 0; hard, full to
    // 1 - 2 / 128 then a straight fall to 0.
    const PixelBuffer soft = MakeBrushTip(0, 128), hard = MakeBrushTip(1, 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const double r = std::hypot((x + 0.5 - 64) / 64, (y + 0.5 - 64) / 64), edge = 1 - 2.0 / 128;
            const double s = r <= 0.45 ? 1 : r >= 1 ? 0 : 0.5 + 0.5 * std::cos((r - 0.45) / 0.55 * M_PI);
            const double h = r <= edge ? 1 : r >= 1 ? 0 : (1 - r) / (1 - edge);
            ASSERT_EQ(soft.at(x, y)[3], std::lround(255 * s)) << x << "," << y;
            ASSERT_EQ(hard.at(x, y)[3], std::lround(255 * h)) << x << "," << y;
        }
}

TEST(EffectSelection, WholeImageFilterAppliesAndRecordsEachTime)
{
    const PixelBuffer photo = test::LoadSamplePhoto("chelsea.png", 80, 60);
    CanvasDocument doc = Opened(photo);
    doc.selectEffect(53);
    const PixelBuffer once = test::RunCatalogueEffect(53, photo);
    EXPECT_EQ(doc.photo().pixels, once.pixels);
    EXPECT_EQ(doc.strokeBase().pixels, once.pixels);
    doc.selectEffect(42);
    EXPECT_EQ(doc.photo().pixels, test::RunCatalogueEffect(42, once).pixels);
    doc.selectEffect(42);  // chosen again: applied again
    EXPECT_EQ(doc.history().size(), 3u);
    EXPECT_EQ(doc.applyMode(), ApplyMode::WholeImage);
}

TEST(EffectSelection, ResultBrushComputesTheResultAndRestoreUsesTheOpenedPhoto)
{
    const PixelBuffer photo = test::LoadSamplePhoto("chelsea.png", 80, 60);
    CanvasDocument doc = Opened(photo);
    doc.selectEffect(6);
    EXPECT_EQ(doc.applyMode(), ApplyMode::ResultBrush);
    EXPECT_EQ(doc.effectResult().pixels, test::RunCatalogueEffect(6, photo).pixels);
    EXPECT_EQ(doc.photo().pixels, photo.pixels);
    EXPECT_TRUE(doc.history().empty());

    doc.selectEffect(53);  // change the photo, then restore from the opened one
    doc.selectEffect(kRestoreBrushId);
    EXPECT_EQ(doc.effectResult().pixels, photo.pixels);
}

TEST(EffectSelection, NothingHappensWithoutAPhoto)
{
    CanvasDocument doc;
    doc.selectEffect(53);
    doc.dab(0, 0);
    doc.endStroke();
    EXPECT_TRUE(doc.history().empty());
    EXPECT_FALSE(doc.hasPhoto());
}

TEST(Dabs, ResultBrushCoverageCapsAtTheEffectResult)
{
    const PixelBuffer photo = test::LoadSamplePhoto("coffee.png", 64, 40);
    CanvasDocument doc = Opened(photo);
    doc.setBrushSize(24);
    doc.selectEffect(9);  // Pixelize
    const PixelBuffer& result = doc.effectResult();
    for (int i = 0; i < 6; ++i)
        doc.dab(20, 8);
    // Under the fully covered middle of the tip the photo is the result exactly.
    for (int y = 14; y < 26; ++y)
        for (int x = 26; x < 38; ++x) {
            ASSERT_EQ(doc.coverageMask()[size_t(y) * 64 + x], 255);
            ASSERT_TRUE(std::equal(result.at(x, y), result.at(x, y) + 3, doc.photo().at(x, y)));
        }
    // Outside the dab nothing changed.
    EXPECT_TRUE(std::equal(photo.at(2, 2), photo.at(2, 2) + 3, doc.photo().at(2, 2)));
    // A dab on a fresh stroke blends by the tip's alpha a / 255 over the
    // stroke's base, at the soft rim as in the middle.
    doc.endStroke();
    const PixelBuffer base = doc.photo();
    doc.dab(36, 8);
    int rim = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24 && 36 + x < 64; ++x) {
            const float a = doc.brushTip().at(x, y)[3] / 255.0f;
            rim += a > 0 && a < 1;
            for (int k = 0; k < 3; ++k)
                ASSERT_EQ(doc.photo().at(36 + x, 8 + y)[k],
                          uint8_t((1 - a) * base.at(36 + x, 8 + y)[k] + a * result.at(36 + x, 8 + y)[k]));
        }
    EXPECT_GT(rim, 40);
}

TEST(Dabs, PatchBrushBlendsTheEffectByStrength)
{
    CanvasDocument doc = Opened(Flat(40, 40, 100));
    doc.setBrushShape(1);
    doc.setBrushSize(20);
    doc.selectEffect(0);  // Lighten: 100 → 110
    doc.setStrength(0.5f);
    doc.dab(10, 10);
    // Where the tip is opaque: 0.5 × 100 + 0.5 × 110 = 105.
    EXPECT_EQ(doc.photo().at(20, 20)[1], 105);
    doc.setStrength(1.0f);
    doc.dab(10, 10);  // coverage already full: full strength now, from the stroke base
    EXPECT_EQ(doc.photo().at(20, 20)[1], 110);
    doc.endStroke();
    EXPECT_EQ(doc.history().size(), 1u);
    EXPECT_EQ(doc.strokeBase().pixels, doc.photo().pixels);
    EXPECT_EQ(doc.coverageMask()[20 * 40 + 20], 0);
}

TEST(Dabs, StayInsideThePhotoAtEveryPositionAndSize)
{
    // The sanitizers catch any access outside the buffers.
    CanvasDocument doc = Opened(test::LoadSamplePhoto("chelsea.png", 32, 24));
    for (EffectId id : {0, 2, 3, 9, 200, 53}) {
        doc.selectEffect(id);
        for (int size : {4, 5, 31, 33, 100}) {
            doc.setBrushSize(size);
            for (int left : {-200, -size, -size + 1, -1, 0, 5, 31, 32, 300})
                for (int top : {-150, -size + 2, 0, 23, 24, 99})
                    doc.dab(left, top);
        }
        doc.endStroke();
    }
    EXPECT_EQ(doc.photo().width, 32);
}

TEST(Dabs, WholeImageStrokeStillRecordsOneStep)
{
    CanvasDocument doc = Opened(Flat(16, 16, 50));
    doc.selectEffect(53);
    ASSERT_EQ(doc.history().size(), 1u);
    doc.dab(0, 0);
    doc.endStroke();
    EXPECT_EQ(doc.history().size(), 2u);
}
