// Crop, turns, flips, straighten and resize as history steps of the document:
// sizes and text objects through undo and redo, refusals that change nothing.
#include "canvas/canvas_document.h"
#include "canvas/frame_library.h"
#include "engine/geometry.h"
#include "tests/canvas/canvas_test_util.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ombrik;
using ombrik::test::Opened;

namespace {

PixelBuffer Gradient(int w, int h)
{
    PixelBuffer b(w, h, 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = b.at(x, y);
            p[0] = uint8_t(x * 255 / w);
            p[1] = uint8_t(y * 255 / h);
            p[2] = 90;
        }
    return b;
}

CanvasObject Text(int x, int y, int w = 40, int h = 20)
{
    CanvasObject o;
    o.text = "Hi";
    o.textWidth = w;
    o.textHeight = h;
    o.x = x;
    o.y = y;
    return o;
}

} // namespace

TEST(GeometrySteps, UndoAndRedoRestoreSizesAndTextPositions)
{
    CanvasDocument doc = Opened(Gradient(200, 120));
    int resized = 0;
    doc.photoResized = [&resized] { ++resized; };
    doc.addObject(Text(100, 50), ObjectKind::Text);
    doc.addObject(Text(4, 4, 8, 8), ObjectKind::Text);  // wholly inside the part cut away
    doc.recordStep(false);

    const PixelBuffer opened = doc.photo();
    ASSERT_TRUE(doc.crop(30, 20, 150, 82));  // 150 x 82 become 148 x 80
    EXPECT_EQ(doc.width(), 148);
    EXPECT_EQ(doc.height(), 80);
    EXPECT_EQ(doc.photo().pixels, CropPixels(opened, 30, 20, 148, 80).pixels);
    EXPECT_EQ(doc.strokeBase().pixels, doc.photo().pixels);
    EXPECT_EQ(doc.coverageMask().size(), size_t(148 * 80));
    ASSERT_EQ(doc.objects().size(), 1u);  // the small one was cut away
    EXPECT_EQ(doc.objects()[0].x, 70);
    EXPECT_EQ(doc.objects()[0].y, 30);
    EXPECT_EQ(resized, 1);
    const int afterCrop = doc.historyPos();

    // A clockwise turn: centre (90, 40) of 148 x 80 goes to (80 - 40, 90).
    ASSERT_TRUE(doc.rotate(1));
    EXPECT_EQ(doc.width(), 80);
    EXPECT_EQ(doc.height(), 148);
    EXPECT_EQ(doc.objects()[0].angle, 90.0f);
    EXPECT_EQ(doc.objects()[0].x, 40 - 20);
    EXPECT_EQ(doc.objects()[0].y, 90 - 10);

    ASSERT_TRUE(doc.resize(40, 76));
    EXPECT_EQ(doc.width(), 40);
    EXPECT_NEAR(doc.objects()[0].scale, std::sqrt(0.5 * 76.0 / 148.0), 1e-5);

    // Back through every step: each size and text position as it was.
    doc.undo();
    EXPECT_EQ(doc.width(), 80);
    EXPECT_EQ(doc.height(), 148);
    EXPECT_EQ(doc.objects()[0].scale, 1.0f);
    EXPECT_EQ(doc.geometry().size(), 2u);  // crop and turn
    doc.undo();
    EXPECT_EQ(doc.historyPos(), afterCrop);
    EXPECT_EQ(doc.width(), 148);
    EXPECT_EQ(doc.height(), 80);
    EXPECT_EQ(doc.objects()[0].x, 70);
    EXPECT_EQ(doc.objects()[0].angle, 0.0f);
    doc.undo();
    EXPECT_EQ(doc.width(), 200);
    EXPECT_EQ(doc.height(), 120);
    ASSERT_EQ(doc.objects().size(), 2u);
    EXPECT_EQ(doc.objects()[0].x, 100);
    EXPECT_EQ(doc.photo().width, 200);
    EXPECT_EQ(doc.strokeBase().width, 200);
    doc.redo();
    doc.redo();
    EXPECT_EQ(doc.width(), 80);
    EXPECT_EQ(doc.height(), 148);
    EXPECT_EQ(doc.objects()[0].angle, 90.0f);
    doc.undo();
    doc.undo();
    doc.undo();
    EXPECT_EQ(doc.width(), 200);  // the opened state
    EXPECT_TRUE(doc.geometry().empty());
}

TEST(GeometrySteps, FlipsTurnsAndStraightenCarryTextAndTheRestoreSource)
{
    CanvasDocument doc = Opened(Gradient(160, 100));
    doc.addObject(Text(10, 20), ObjectKind::Text);  // centre (30, 30)
    doc.objects()[0].angle = 10.0f;
    ASSERT_TRUE(doc.flip(true));
    EXPECT_EQ(doc.objects()[0].x, 160 - 30 - 20);
    EXPECT_EQ(doc.objects()[0].y, 20);
    EXPECT_EQ(doc.objects()[0].angle, -10.0f);
    ASSERT_TRUE(doc.flip(false));
    EXPECT_EQ(doc.objects()[0].y, 100 - 30 - 10);
    EXPECT_EQ(doc.objects()[0].angle, 10.0f);
    ASSERT_TRUE(doc.rotate(2));  // back where it began
    EXPECT_EQ(doc.photo().pixels, Gradient(160, 100).pixels);
    EXPECT_EQ(doc.objects()[0].x, 10);
    EXPECT_EQ(doc.objects()[0].y, 20);
    EXPECT_EQ(doc.objects()[0].angle, -170.0f);

    // The restore brush paints the opened photo brought through the same turns.
    ASSERT_TRUE(doc.rotate(-1));
    doc.selectEffect(kRestoreBrushId);
    EXPECT_EQ(doc.effectResult().pixels, RotateQuarterTurns(Gradient(160, 100), -1).pixels);

    // Straighten: the kept rectangle is centred, the text centre turns with it.
    CanvasDocument level = Opened(Gradient(160, 100));
    level.addObject(Text(60, 40), ObjectKind::Text);  // centre (80, 50): the photo's centre
    ASSERT_TRUE(level.straighten(5.0));
    const PixelSize size = StraightenedSize(160, 100, 5.0);
    EXPECT_EQ(level.width(), size.width);
    EXPECT_EQ(level.height(), size.height);
    EXPECT_EQ(level.objects()[0].x, size.width / 2 - 20);
    EXPECT_EQ(level.objects()[0].y, size.height / 2 - 10);
    EXPECT_EQ(level.objects()[0].angle, 5.0f);
}

TEST(GeometrySteps, RefusalsLeaveThePhotoAndHistoryAlone)
{
    CanvasDocument doc = Opened(Gradient(200, 120));
    doc.setThreshold(400, 300);
    const PixelBuffer before = doc.photo();
    std::string error;
    EXPECT_FALSE(doc.crop(100, 0, 120, 50, &error));
    EXPECT_NE(error.find("not inside"), std::string::npos) << error;
    EXPECT_FALSE(doc.crop(0, 0, 0, 50, &error));
    EXPECT_FALSE(doc.crop(0, 0, 3, 50, &error));
    EXPECT_FALSE(doc.straighten(45.5, &error));
    EXPECT_NE(error.find("45"), std::string::npos) << error;
    EXPECT_FALSE(doc.resize(0, 0, &error));
    EXPECT_FALSE(doc.resize(448, 268, &error));  // more than 400 x 300 pixels
    EXPECT_NE(error.find("threshold"), std::string::npos) << error;
    EXPECT_TRUE(doc.resize(400, 240, &error)) << error;  // up to it is fine
    doc.undo();
    EXPECT_EQ(doc.photo().pixels, before.pixels);
    EXPECT_EQ(doc.historyPos(), -1);
    EXPECT_EQ(doc.history().size(), 1u);  // only the resize made a step

    CanvasDocument empty;
    EXPECT_FALSE(empty.rotate(1));
    EXPECT_FALSE(empty.crop(0, 0, 4, 4, &error));
    EXPECT_EQ(empty.history().size(), 0u);
}
