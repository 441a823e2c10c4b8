// Frames on the canvas: set, deleted, undone; scrolling and fit zoom with a
// border; the saved picture's mitred sides; every zoom.
#include "tests/canvas/canvas_test_util.h"
#include "tests/canvas/frame_test_util.h"
#include "view/photo_canvas.h"

#include <gtest/gtest.h>

using namespace ombrik;
using namespace ombrik::test;

TEST(CanvasFrame, SetDeleteUndoRedo)
{
    Library lib({TwoToneStrip(100, 40), TwoToneStrip(60, 40)});
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(600, 500);
    EXPECT_FALSE(session.setFrame(0));  // no photo yet
    session.openPhoto(Flat(400, 300, 90), "/tmp/frame.png");
    const CanvasDocument& doc = session.document();

    ASSERT_TRUE(session.setFrame(0));
    EXPECT_EQ(doc.frameIndex(), 0);
    EXPECT_EQ(doc.frameBorder(), 22);
    EXPECT_EQ(doc.history().size(), 1u);
    EXPECT_EQ(doc.history()[0].frameIndex, 0);
    EXPECT_TRUE(doc.modified());

    // The same frame again, and a frame that cannot be loaded, change nothing.
    EXPECT_FALSE(session.setFrame(0));
    EXPECT_FALSE(session.setFrame(7));
    EXPECT_EQ(doc.history().size(), 1u);
    EXPECT_EQ(doc.frameIndex(), 0);
    EXPECT_EQ(doc.frameBorder(), 22);

    ASSERT_TRUE(session.setFrame(1));
    EXPECT_EQ(doc.frameBorder(), 14);  // 2 × 60 × 0.234375 = 28.1 → 28
    session.deleteFrame();
    EXPECT_EQ(doc.frameIndex(), -1);
    EXPECT_EQ(doc.frameBorder(), 0);
    EXPECT_FALSE(session.frame().hasImage());
    EXPECT_EQ(doc.history().size(), 3u);
    session.deleteFrame();
    EXPECT_EQ(doc.history().size(), 3u);

    session.undo();
    EXPECT_EQ(doc.frameIndex(), 1);
    EXPECT_TRUE(session.frame().hasImage());
    EXPECT_EQ(doc.frameBorder(), 14);
    session.undo();
    EXPECT_EQ(doc.frameIndex(), 0);
    // The scale stays as last computed: 100 × 28 / 120 = 23.3.
    EXPECT_EQ(doc.frameBorder(), 23);
    session.undo();  // the first step: back to the opened state, no frame
    EXPECT_EQ(doc.frameIndex(), -1);
    EXPECT_EQ(doc.frameBorder(), 0);
    session.redo();
    EXPECT_EQ(doc.frameIndex(), 0);
    EXPECT_TRUE(session.frame().hasImage());

    // Opening another photo drops the frame.
    session.openPhoto(Flat(200, 100, 10), "/tmp/other.png");
    EXPECT_EQ(doc.frameIndex(), -1);
    EXPECT_FALSE(session.frame().hasImage());
}

TEST(CanvasFrame, ScrollRangesAndFitZoomIncludeTheBorder)
{
    Library lib({TwoToneStrip(100, 40)});
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(300, 200);
    session.openPhoto(Flat(400, 300, 90), "/tmp/frame.png");
    session.setFrame(0);
    canvas.setZoom(1.0f);
    canvas.refresh();
    const int B = session.document().frameBorder();
    ASSERT_EQ(B, 22);
    EXPECT_EQ(canvas.rangeX(), 400 + 2 * B - 300 + 17);
    EXPECT_EQ(canvas.rangeY(), 300 + 2 * B - 200 + 17);
    EXPECT_EQ(canvas.photoRect().topLeft(), QPoint(B, B));

    // Client 300 × 200 is wider in aspect than 4:3, so the height decides.
    canvas.resize(400, 200);
    EXPECT_FLOAT_EQ(canvas.fitZoom(), 200.0f / (300 + 2 * B));
    canvas.resize(200, 400);
    EXPECT_FLOAT_EQ(canvas.fitZoom(), 200.0f / (400 + 2 * B));
    canvas.zoomToFit();
    EXPECT_FALSE(canvas.horizontalBarShown());
    EXPECT_FALSE(canvas.verticalBarShown());
}

TEST(CanvasFrame, ExportDrawsFourMitredSidesWithTheOuterEdgeOutside)
{
    Library lib({TwoToneStrip(100, 40)});
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(300, 200);
    session.openPhoto(Flat(400, 300, 90), "/tmp/frame.png");
    session.setFrame(0);
    const PixelBuffer out = session.composite();
    const int B = 22;
    ASSERT_EQ(out.width, 400 + 2 * B);
    ASSERT_EQ(out.height, 300 + 2 * B);
    auto red = [&](int x, int y) {
        const uint8_t* p = out.at(x, y);
        return p[2] > 150 && p[0] < 100;
    };
    auto blue = [&](int x, int y) {
        const uint8_t* p = out.at(x, y);
        return p[0] > 150 && p[2] < 100;
    };
    // Along each side and through each corner, the distance from the outer
    // edge of the side a pixel belongs to decides its colour; on the mitre
    // that is the smaller of the two distances.
    int checked = 0;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const int dx = std::min(x, out.width - 1 - x), dy = std::min(y, out.height - 1 - y);
            const int d = std::min(dx, dy);
            if (d >= B) {
                EXPECT_EQ(out.at(x, y)[0], 90);
                continue;
            }
            if (std::abs(dx - dy) <= 1 || std::abs(d - B / 2) <= 1)
                continue;  // the diagonal itself and the colour boundary
            const bool outer = d < B / 2;
            ASSERT_TRUE(outer ? red(x, y) : blue(x, y)) << x << "," << y;
            ++checked;
        }
    EXPECT_GT(checked, 1000);
    EXPECT_TRUE(session.document().frameIndex() == 0);
}

TEST(CanvasFrame, EveryZoomKeepsTheFrameRoundThePhoto)
{
    Library lib({TwoToneStrip(100, 40)});
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(700, 600);
    session.openPhoto(Flat(400, 300, 90), "/tmp/frame.png");
    session.setFrame(0);
    for (float zoom : {0.1f, 0.37f, 1.0f, 1.25f}) {
        canvas.setZoom(zoom);
        const QImage shot = canvas.renderToImage();
        const QRect r = canvas.photoRect();
        const int b = int(22 * zoom);
        // Just outside each side's outer edge is the background, just inside
        // it the outer colour of the strip.
        if (b >= 4) {
            EXPECT_EQ(shot.pixel(r.center().x(), r.top() - b + 1), kOuter) << zoom;
            EXPECT_EQ(shot.pixel(r.left() - b + 1, r.center().y()), kOuter) << zoom;
            EXPECT_EQ(shot.pixel(r.right() + b - 1, r.center().y()), kOuter) << zoom;
            EXPECT_EQ(shot.pixel(r.center().x(), r.bottom() + b - 1), kOuter) << zoom;
        }
        EXPECT_NE(shot.pixel(r.center().x(), r.top() - b - 2), kOuter) << zoom;
    }
}
