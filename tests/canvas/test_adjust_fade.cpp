// The document's live adjustment preview, its Apply step, and Fade of the
// last whole-photo filter or light placement.
#include "canvas/canvas_document.h"
#include "tests/canvas/canvas_test_util.h"
#include "tests/support/photo_fixture.h"

#include <gtest/gtest.h>

#include <random>

namespace ombrik {
namespace {

PixelBuffer Adjusted(const AdjustParams& p, const PixelBuffer& src)
{
    PixelBuffer out;
    ApplyAdjustments(p, src, out);
    return out;
}

TEST(AdjustPreview, FollowsTheSlidersFromTheBaseAndAppliesAsOneStep)
{
    const PixelBuffer photo = test::LoadSamplePhoto("coffee.png", 400, 300);
    CanvasDocument doc = test::Opened(photo);

    // A slider dragged back and forth: every frame comes from the photo, none
    // from the frame before.
    std::mt19937 random(5);
    std::uniform_int_distribution<int> amount(-100, 100);
    AdjustParams p;
    for (int move = 0; move < 40; ++move) {
        p.exposure = amount(random) / 50.0;
        p.contrast = amount(random);
        p.saturation = amount(random);
        p.vibrance = amount(random);
        p.warmth = amount(random);
        doc.setAdjustPreview(p);
    }
    p.highlights = -30;
    p.shadows = 45;
    p.tint = 12;
    doc.setAdjustPreview(p);
    EXPECT_TRUE(doc.adjustPreviewActive());
    EXPECT_EQ(doc.displayPhoto().pixels, Adjusted(p, photo).pixels);
    EXPECT_EQ(doc.photo().pixels, photo.pixels);
    EXPECT_EQ(doc.historyPos(), -1);
    EXPECT_FALSE(doc.modified());

    // Back to neutral shows the photo itself.
    doc.setAdjustPreview(AdjustParams());
    EXPECT_FALSE(doc.adjustPreviewActive());
    EXPECT_EQ(&doc.displayPhoto(), &doc.photo());
    EXPECT_FALSE(doc.applyAdjustment());
    EXPECT_EQ(doc.historyPos(), -1);

    doc.setAdjustPreview(p);
    ASSERT_TRUE(doc.applyAdjustment());
    EXPECT_EQ(doc.history().size(), 1u);
    EXPECT_EQ(doc.photo().pixels, Adjusted(p, photo).pixels);
    EXPECT_EQ(doc.strokeBase().pixels, doc.photo().pixels);
    EXPECT_FALSE(doc.adjustPreviewActive());
    EXPECT_TRUE(doc.modified());
    doc.undo();
    EXPECT_EQ(doc.photo().pixels, photo.pixels);

    // A preview that is on follows the photo when it changes (undo, redo).
    doc.setAdjustPreview(p);
    doc.redo();
    EXPECT_EQ(doc.displayPhoto().pixels, Adjusted(p, doc.photo()).pixels);
    doc.clearAdjustPreview();
    EXPECT_EQ(&doc.displayPhoto(), &doc.photo());
}

TEST(Fade, ReplacesTheLastFilterStepWithoutAddingOne)
{
    const PixelBuffer photo = test::LoadSamplePhoto("chelsea.png", 320, 240);
    CanvasDocument doc = test::Opened(photo);
    EXPECT_FALSE(doc.canFade());
    bool fadeWhenNotified = false;  // what the window sees when it updates its menu
    doc.historyChanged = [&] { fadeWhenNotified = doc.canFade(); };
    doc.selectEffect(42);  // Emboss, a whole-photo filter
    const PixelBuffer effect = doc.photo();
    ASSERT_NE(effect.pixels, photo.pixels);
    ASSERT_TRUE(doc.canFade());
    EXPECT_TRUE(fadeWhenNotified);
    EXPECT_EQ(doc.fadePercent(), 100);
    const size_t steps = doc.history().size(), snapshots = doc.snapshotCount();

    // The live blend shows without touching the photo.
    doc.setFadePreview(30);
    PixelBuffer expected;
    FadeBlend(photo, effect, 30, expected);
    EXPECT_EQ(doc.displayPhoto().pixels, expected.pixels);
    EXPECT_EQ(doc.photo().pixels, effect.pixels);
    doc.clearFadePreview();
    EXPECT_EQ(&doc.displayPhoto(), &doc.photo());

    ASSERT_TRUE(doc.commitFade(0));
    EXPECT_EQ(doc.photo().pixels, photo.pixels);
    EXPECT_EQ(doc.strokeBase().pixels, photo.pixels);
    EXPECT_EQ(doc.history().size(), steps);
    EXPECT_EQ(doc.snapshotCount(), snapshots);
    EXPECT_EQ(doc.fadePercent(), 0);
    // Fading again starts from the effect's full result.
    ASSERT_TRUE(doc.canFade());
    ASSERT_TRUE(doc.commitFade(100));
    EXPECT_EQ(doc.photo().pixels, effect.pixels);
    ASSERT_TRUE(doc.commitFade(50));
    EXPECT_EQ(doc.history().size(), steps);

    // The step's snapshot holds the faded photo: undo and redo come back to it.
    const PixelBuffer faded = doc.photo();
    doc.undo();
    EXPECT_EQ(doc.photo().pixels, photo.pixels);
    EXPECT_FALSE(doc.canFade());
    doc.redo();
    double error = 0;
    for (size_t i = 0; i < faded.pixels.size(); ++i)
        error += std::abs(int(doc.photo().pixels[i]) - int(faded.pixels[i]));
    EXPECT_LT(error / double(faded.pixels.size()), 3.0);  // the snapshot is a JPEG
    EXPECT_FALSE(doc.canFade());
    EXPECT_FALSE(doc.commitFade(0));
}

TEST(Fade, OnlyRightAfterAFilterOrALightPlacement)
{
    const PixelBuffer photo = test::LoadSamplePhoto("astronaut.png", 200, 160);
    CanvasDocument doc = test::Opened(photo);
    doc.selectEffect(120);  // spotlight, placed with the mouse
    ASSERT_TRUE(doc.placeLight(100, 80, 150, 120, 0));
    const PixelBuffer lit = doc.photo();
    ASSERT_TRUE(doc.canFade());
    ASSERT_TRUE(doc.commitFade(0));
    EXPECT_EQ(doc.photo().pixels, photo.pixels);
    ASSERT_TRUE(doc.commitFade(100));
    EXPECT_EQ(doc.photo().pixels, lit.pixels);

    // Any later step ends the chance to fade.
    doc.recordStep(false);
    EXPECT_FALSE(doc.canFade());
    doc.selectEffect(0);  // Lighten, a brush: choosing it records nothing
    doc.dab(10, 10);
    doc.endStroke();
    EXPECT_FALSE(doc.canFade());
    doc.setAdjustPreview(AdjustParams{.saturation = -100});
    ASSERT_TRUE(doc.applyAdjustment());
    EXPECT_FALSE(doc.canFade());
    doc.setFadePreview(0);
    EXPECT_EQ(&doc.displayPhoto(), &doc.photo());
}

} // namespace
} // namespace ombrik
