// The undo history: steps, snapshots, the redo tail, the budget and restoring.
#include "canvas/canvas_document.h"
#include "tests/canvas/canvas_test_util.h"
#include "tests/support/photo_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace ombrik;
using test::Flat;
using test::Opened;

namespace {

CanvasObject Text(const char* s)
{
    CanvasObject o;
    o.text = s;
    o.textWidth = 40;
    o.textHeight = 12;
    return o;
}

double MeanAbsDiff(const PixelBuffer& a, const PixelBuffer& b)
{
    EXPECT_EQ(a.byteCount(), b.byteCount());
    double sum = 0;
    for (size_t i = 0; i < a.byteCount(); ++i)
        sum += std::abs(int(a.pixels[i]) - int(b.pixels[i]));
    return sum / double(a.byteCount());
}

} // namespace

TEST(History, ObjectOnlyStepsReferToTheOpenedPhoto)
{
    CanvasDocument doc = Opened(Flat(16, 8, 90));
    int notices = 0;
    doc.historyChanged = [&] { ++notices; };
    EXPECT_FALSE(doc.canUndo());
    for (const char* s : {"a", "b", "c"}) {
        doc.addObject(Text(s), ObjectKind::Text);
        doc.recordStep(false);
    }
    ASSERT_EQ(doc.history().size(), 3u);
    for (const HistoryStep& step : doc.history())
        EXPECT_EQ(step.snapshotIndex, -1);
    EXPECT_EQ(doc.history()[1].objects.size(), 2u);
    EXPECT_EQ(doc.snapshotCount(), 0u);
    EXPECT_TRUE(doc.modified());
    EXPECT_EQ(notices, 3);

    doc.undo();
    EXPECT_EQ(doc.objects().size(), 2u);
    doc.undo();
    doc.undo();
    EXPECT_TRUE(doc.objects().empty());
    EXPECT_EQ(doc.historyPos(), -1);
    EXPECT_FALSE(doc.canUndo());
    EXPECT_TRUE(doc.canRedo());
    doc.undo();  // nothing at all
    EXPECT_EQ(doc.historyPos(), -1);

    doc.redo();
    doc.redo();
    doc.redo();
    EXPECT_EQ(doc.objects().size(), 3u);
    EXPECT_EQ(doc.objects()[2].text, "c");
    doc.redo();  // at the end: nothing
    EXPECT_EQ(doc.historyPos(), 2);
}

TEST(History, UndoRightAfterOpeningDoesNothing)
{
    CanvasDocument doc = Opened(Flat(8, 8, 10));
    doc.undo();
    doc.redo();
    EXPECT_FALSE(doc.modified());
    EXPECT_EQ(doc.historyPos(), -1);
}

TEST(History, NewStepAfterUndoDropsTheRedoTailAndItsSnapshot)
{
    CanvasDocument doc = Opened(test::LoadSamplePhoto("chelsea.png", 64, 48));
    doc.selectEffect(53);  // Posterize, applied and recorded with the photo
    ASSERT_EQ(doc.snapshotCount(), 1u);
    EXPECT_EQ(doc.history()[0].snapshotIndex, 0);
    doc.undo();
    EXPECT_EQ(doc.photo().pixels, doc.openedPhoto().pixels);
    doc.addObject(Text("x"), ObjectKind::Text);
    doc.recordStep(false);
    EXPECT_EQ(doc.snapshotCount(), 0u);
    ASSERT_EQ(doc.history().size(), 1u);
    EXPECT_EQ(doc.history()[0].snapshotIndex, -1);
    EXPECT_FALSE(doc.canRedo());
}

TEST(History, PhotoStepsRoundTripThroughJpeg)
{
    const PixelBuffer photo = test::LoadSamplePhoto("coffee.png", 160, 120);
    CanvasDocument doc = Opened(photo);
    doc.selectEffect(42);  // Emboss
    const PixelBuffer embossed = doc.photo();
    doc.addObject(Text("t"), ObjectKind::Text);
    doc.recordStep(false);
    doc.selectEffect(53);  // Posterize
    ASSERT_EQ(doc.history().size(), 3u);
    EXPECT_EQ(doc.history()[1].snapshotIndex, 0);
    EXPECT_EQ(doc.history()[2].snapshotIndex, 1);

    doc.undo();  // back to the object step: photo from snapshot 0
    EXPECT_EQ(doc.currentSnapshot(), 0);
    EXPECT_EQ(doc.objects().size(), 1u);
    EXPECT_LT(MeanAbsDiff(doc.photo(), embossed), 3.0);  // lossy but close
    EXPECT_EQ(doc.strokeBase().pixels, doc.photo().pixels);
    doc.undo();
    doc.undo();
    EXPECT_EQ(doc.photo().pixels, photo.pixels);  // the opened photo exactly
    EXPECT_EQ(doc.currentSnapshot(), -1);
    doc.redo();
    EXPECT_LT(MeanAbsDiff(doc.photo(), embossed), 3.0);
}

TEST(History, UndoOfTheFirstStepRemovesTheFrame)
{
    CanvasDocument doc = Opened(Flat(8, 8, 10));
    std::vector<int> restored;
    doc.frameRestored = [&](int i) { restored.push_back(i); };
    doc.setFrameIndex(3);
    doc.recordStep(false);
    doc.setFrameIndex(5);
    doc.recordStep(false);
    doc.undo();
    EXPECT_EQ(doc.frameIndex(), 3);
    doc.undo();
    EXPECT_EQ(doc.frameIndex(), -1);
    doc.redo();
    EXPECT_EQ(doc.frameIndex(), 3);
    EXPECT_EQ(restored, (std::vector<int>{3, -1, 3}));
}

TEST(History, BudgetDropsTheOldestPhotoSteps)
{
    // Noise compresses badly: each snapshot of a 1000 × 1000 noise photo is
    // well over a megabyte, so a few dozen steps pass the budget.
    PixelBuffer noise(1000, 1000, 3);
    std::srand(3);
    for (auto& v : noise.pixels)
        v = uint8_t(std::rand());
    CanvasDocument doc = Opened(noise);
    int steps = 0;
    uint64_t previousBytes = 0;
    bool dropped = false;
    while (steps < 60 && !dropped) {
        doc.selectEffect(steps % 2 ? 0 : 1);  // a retouch id: nothing happens on selection
        doc.recordStep(true);
        ++steps;
        dropped = int(doc.history().size()) < steps;
        EXPECT_LE(doc.snapshotBytes(), CanvasDocument::kSnapshotBudget);
        if (!dropped)
            previousBytes = doc.snapshotBytes();
    }
    ASSERT_TRUE(dropped) << "snapshots of " << previousBytes << " bytes never reached the budget";
    EXPECT_EQ(int(doc.history().size()), steps - 1);
    EXPECT_EQ(doc.historyPos(), steps - 2);
    EXPECT_EQ(doc.history()[0].snapshotIndex, 0);
    EXPECT_EQ(doc.currentSnapshot(), int(doc.snapshotCount()) - 1);
    // Undo all the way: the new first step, then the opened photo.
    while (doc.historyPos() > 0)
        doc.undo();
    EXPECT_EQ(doc.currentSnapshot(), 0);
    doc.undo();
    EXPECT_EQ(doc.photo().pixels, noise.pixels);
}

TEST(History, ACorruptSnapshotLeavesPhotoAndPositionAlone)
{
    CanvasDocument doc = Opened(test::LoadSamplePhoto("chelsea.png", 64, 48));
    doc.selectEffect(53);
    doc.selectEffect(42);
    const PixelBuffer current = doc.photo();
    ASSERT_EQ(doc.snapshots().size(), 2u);
    // Cut the first snapshot short, as damaged memory would leave it.
    auto& damaged = const_cast<PhotoSnapshot&>(doc.snapshots()[0]);
    damaged.bytes.resize(20);
    doc.undo();
    EXPECT_EQ(doc.historyPos(), 1);
    EXPECT_EQ(doc.photo().pixels, current.pixels);
    EXPECT_EQ(doc.currentSnapshot(), 1);
    // The history still works past the damaged step.
    doc.addObject(Text("after"), ObjectKind::Text);
    doc.recordStep(false);
    EXPECT_EQ(doc.history().size(), 3u);
    EXPECT_FALSE(DecodeSnapshot(PhotoSnapshot{{1, 2, 3}}).has_value());
    EXPECT_FALSE(DecodeSnapshot(PhotoSnapshot{}).has_value());
}

TEST(History, ReopeningClearsEverything)
{
    CanvasDocument doc = Opened(Flat(8, 8, 10));
    doc.addObject(Text("x"), ObjectKind::Text);
    doc.setFrameIndex(2);
    doc.recordStep(true);
    doc.afterOpen(Flat(12, 4, 200), "/tmp/other.png");
    EXPECT_EQ(doc.history().size(), 0u);
    EXPECT_EQ(doc.snapshotCount(), 0u);
    EXPECT_TRUE(doc.objects().empty());
    EXPECT_EQ(doc.frameIndex(), -1);
    EXPECT_FALSE(doc.modified());
    EXPECT_EQ(doc.width(), 12);
    EXPECT_EQ(doc.coverageMask().size(), 48u);
}

TEST(History, ModifiedFollowsThePositionAgainstTheSavedState)
{
    CanvasDocument doc = Opened(Flat(8, 8, 10));
    EXPECT_FALSE(doc.modified());
    doc.addObject(Text("a"), ObjectKind::Text);
    doc.recordStep(false);
    EXPECT_TRUE(doc.modified());
    doc.undo();
    EXPECT_FALSE(doc.modified()) << "back at the photo as opened";
    doc.redo();
    EXPECT_TRUE(doc.modified());

    // Saved at step 0 under a new name: that state is now the clean one.
    doc.markSaved("/tmp/saved.jpg");
    EXPECT_EQ(doc.photoPath(), "/tmp/saved.jpg");
    EXPECT_FALSE(doc.modified());
    doc.recordStep(true);
    EXPECT_TRUE(doc.modified());
    doc.undo();
    EXPECT_FALSE(doc.modified());
    doc.undo();
    EXPECT_TRUE(doc.modified()) << "the opened photo is not what was saved";
    doc.redo();
    EXPECT_FALSE(doc.modified());

    // Typing into a text object is no step, but a change; moving in the
    // history leaves it behind.
    doc.setModified();
    EXPECT_TRUE(doc.modified());
    doc.redo();
    doc.undo();
    EXPECT_FALSE(doc.modified());

    // A new step after an undo drops the saved state for good.
    doc.undo();
    doc.recordStep(false);
    doc.undo();
    EXPECT_TRUE(doc.modified());
    doc.redo();
    EXPECT_TRUE(doc.modified());

    // Opening clears it all.
    doc.afterOpen(Flat(8, 8, 30), "/tmp/next.png");
    EXPECT_FALSE(doc.modified());
}
