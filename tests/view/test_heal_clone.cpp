// The heal and clone brushes driven with real mouse and key events on the
// offscreen platform: one step per fill or stroke, Shift strokes adding up,
// Escape, a cancelled fill, and the clone's aligned source.
#include "engine/progress.h"
#include "view/photo_canvas.h"
#include "view/retouch_tool.h"
#include "tests/support/photo_fixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>

using namespace ombrik;

namespace {

void Mouse(QWidget& w, QEvent::Type type, QPoint p, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(p), QPointF(w.mapToGlobal(p)), button, held, modifiers);
    QApplication::sendEvent(&w, &event);
}

void Stroke(QWidget& w, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    Mouse(w, QEvent::MouseButtonPress, from, modifiers);
    Mouse(w, QEvent::MouseMove, (from + to) / 2, modifiers);
    Mouse(w, QEvent::MouseMove, to, modifiers);
    Mouse(w, QEvent::MouseButtonRelease, to, modifiers);
}

void Key(QWidget& w, QEvent::Type type, int key)
{
    QKeyEvent event(type, key, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

// A 200 × 150 photo in a 400 × 300 canvas at zoom 1.
struct Canvas {
    EditorSession session;
    CPhotoCanvas canvas{session};
    PixelBuffer original;
    Canvas()
    {
        canvas.resize(400, 300);
        original = test::LoadSamplePhoto("coffee.png", 200, 150);
        session.openPhoto(original, "/tmp/heal.png");
        session.setBrushSizePreset(2);  // a 12 px heal and clone brush
    }
    const CanvasDocument& doc() const { return session.document(); }
    QPoint screen(int x, int y) const { return canvas.photoRect().topLeft() + QPoint(x, y); }
    bool changedAt(int x, int y) const { return !std::equal(original.at(x, y), original.at(x, y) + 3, doc().photo().at(x, y)); }
    int changedPixels() const
    {
        int n = 0;
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x)
                n += changedAt(x, y);
        return n;
    }
};

TEST(HealBrush, EachFillIsOneFadeableStepAndShiftStrokesAddUp)
{
    Canvas c;
    ASSERT_EQ(c.session.retouchBrushSize(), 12);
    c.canvas.setRetouch(CPhotoCanvas::Retouch::Heal);
    ASSERT_TRUE(c.canvas.retouchActive());

    // A stroke: one step, the change only along it, and Fade can take it back.
    Stroke(c.canvas, c.screen(40, 40), c.screen(70, 40));
    EXPECT_EQ(c.doc().historyPos(), 0);
    EXPECT_TRUE(c.changedAt(55, 40));
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            if (std::abs(y - 40) > 7 || x < 33 || x > 77) {
                ASSERT_FALSE(c.changedAt(x, y)) << x << "," << y;
            }
        }
    EXPECT_TRUE(c.canvas.retouchTool()->area().empty());
    ASSERT_TRUE(c.doc().canFade());
    c.session.commitFade(0);
    EXPECT_EQ(c.changedPixels(), 0);
    c.session.undo();
    c.session.undo();
    ASSERT_EQ(c.doc().historyPos(), -1);

    // Click, then Shift+click twice: nothing happens while Shift is held, the
    // straight strokes between the points are filled once it is let go.
    Mouse(c.canvas, QEvent::MouseButtonPress, c.screen(100, 100), Qt::ShiftModifier);
    Mouse(c.canvas, QEvent::MouseButtonRelease, c.screen(100, 100), Qt::ShiftModifier);
    Mouse(c.canvas, QEvent::MouseButtonPress, c.screen(150, 100), Qt::ShiftModifier);
    Mouse(c.canvas, QEvent::MouseButtonRelease, c.screen(150, 100), Qt::ShiftModifier);
    Mouse(c.canvas, QEvent::MouseButtonPress, c.screen(150, 130), Qt::ShiftModifier);
    Mouse(c.canvas, QEvent::MouseButtonRelease, c.screen(150, 130), Qt::ShiftModifier);
    EXPECT_EQ(c.doc().historyPos(), -1);
    const std::vector<uint8_t>& area = c.canvas.retouchTool()->area();
    ASSERT_FALSE(area.empty());
    EXPECT_TRUE(area[100 * 200 + 125] && area[115 * 200 + 150]);
    EXPECT_FALSE(area[115 * 200 + 125]);
    Key(c.canvas, QEvent::KeyRelease, Qt::Key_Shift);
    EXPECT_EQ(c.doc().historyPos(), 0);
    EXPECT_TRUE(c.changedAt(125, 100) && c.changedAt(150, 115));

    // Escape drops an area still being built; a stroke off the photo marks nothing.
    Stroke(c.canvas, c.screen(20, 120), c.screen(40, 120), Qt::ShiftModifier);
    Key(c.canvas, QEvent::KeyPress, Qt::Key_Escape);
    Key(c.canvas, QEvent::KeyRelease, Qt::Key_Shift);
    Stroke(c.canvas, c.screen(-60, -60), c.screen(-40, -60));
    EXPECT_EQ(c.doc().historyPos(), 0);
}

TEST(HealBrush, ACancelledOrRefusedFillLeavesThePhotoAsItWas)
{
    Canvas c;
    QString runName;
    c.session.setLongRunner([&](const std::function<void()>& work, EffectId, const QString& name) {
        runName = name;
        RequestCancel();  // as Cancel in the progress box does, mid-run
        work();
        ClearCancel();
        return false;
    });
    c.canvas.setRetouch(CPhotoCanvas::Retouch::Heal);
    Stroke(c.canvas, c.screen(40, 40), c.screen(90, 60));
    EXPECT_FALSE(runName.isEmpty());
    EXPECT_EQ(c.doc().historyPos(), -1);
    EXPECT_EQ(c.changedPixels(), 0);

    c.session.setLongRunner(nullptr);
    std::vector<uint8_t> most(200 * 150, 0);
    std::fill_n(most.begin(), 200 * 110, 1);
    EXPECT_EQ(c.session.heal(most), HealOutcome::TooLarge);
    EXPECT_EQ(c.session.heal(std::vector<uint8_t>(200 * 150, 0)), HealOutcome::Nothing);
    EXPECT_EQ(c.session.heal(std::vector<uint8_t>(7, 1)), HealOutcome::BadInput);
    EXPECT_EQ(c.doc().historyPos(), -1);
    EXPECT_EQ(c.changedPixels(), 0);
}

TEST(CloneBrush, CopiesFromTheSourceWithTheOffsetKeptOneStepPerStroke)
{
    Canvas c;
    c.canvas.setRetouch(CPhotoCanvas::Retouch::Clone);
    QString notice;
    QObject::connect(&c.canvas, &CPhotoCanvas::noticeRequested, [&](const QString& text) { notice = text; });

    // No source yet: a notice and nothing painted.
    Stroke(c.canvas, c.screen(120, 60), c.screen(130, 60));
    EXPECT_FALSE(notice.isEmpty());
    EXPECT_EQ(c.doc().historyPos(), -1);

    Mouse(c.canvas, QEvent::MouseButtonPress, c.screen(50, 50), Qt::ControlModifier);
    Mouse(c.canvas, QEvent::MouseButtonRelease, c.screen(50, 50), Qt::ControlModifier);
    EXPECT_TRUE(c.canvas.retouchTool()->hasSource());
    EXPECT_EQ(c.doc().historyPos(), -1);

    auto same = [&](int x, int y, int sx, int sy) {
        return std::equal(c.original.at(sx, sy), c.original.at(sx, sy) + 3, c.doc().photo().at(x, y));
    };
    // The first stroke starts at the source's copy; the centre is copied whole.
    Stroke(c.canvas, c.screen(120, 60), c.screen(140, 60));
    EXPECT_EQ(c.doc().historyPos(), 0);
    EXPECT_TRUE(same(120, 60, 50, 50));
    EXPECT_TRUE(same(130, 60, 60, 50));
    // The rim is soft, a blend of the photo and the copy; beyond it nothing changed.
    EXPECT_TRUE(c.changedAt(120, 65));
    EXPECT_FALSE(same(120, 65, 50, 55));
    EXPECT_FALSE(c.changedAt(120, 68));
    // A second stroke elsewhere keeps the offset (-70, -10).
    Stroke(c.canvas, c.screen(120, 100), c.screen(121, 100));
    EXPECT_EQ(c.doc().historyPos(), 1);
    EXPECT_TRUE(same(120, 100, 50, 90));
    EXPECT_EQ(c.canvas.retouchTool()->offset(), QPoint(-70, -10));
    c.session.undo();
    c.session.undo();
    EXPECT_EQ(c.doc().historyPos(), -1);
}

} // namespace
