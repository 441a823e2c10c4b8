// Looking at the photo: zoom about a point on one ladder, panning by drags and
// fine wheel deltas, drawing at the device pixel ratio, the before view, and
// cancelling a long effect without touching the document.
#include "view/photo_canvas.h"
#include "engine/progress.h"
#include "tests/support/photo_fixture.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWheelEvent>

#include <cmath>

using namespace ombrik;

namespace {

PixelBuffer Photo(int w, int h)
{
    return test::LoadSamplePhoto("coffee.png", w, h);
}

// The photo point under `at` stays there (to half a screen pixel), unless the
// view ran into an end of its scroll range on that axis.
void ExpectKeptUnder(const CPhotoCanvas& canvas, QPointF at, QPointF before, const std::string& where)
{
    const QPointF after = canvas.photoPosAt(at);
    const double tolerance = 0.5 / canvas.zoom() + 1e-4;
    const bool xAtEnd = canvas.scrollX() == 0 || canvas.scrollX() == canvas.rangeX();
    const bool yAtEnd = canvas.scrollY() == 0 || canvas.scrollY() == canvas.rangeY();
    if (!xAtEnd) {
        EXPECT_NEAR(after.x(), before.x(), tolerance) << where;
    }
    if (!yAtEnd) {
        EXPECT_NEAR(after.y(), before.y(), tolerance) << where;
    }
}

} // namespace

TEST(CanvasViewing, ZoomAboutAPointKeepsThatPhotoPixelUnderIt)
{
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(400, 300);
    session.openPhoto(Photo(800, 600), "/tmp/a.png");
    int checked = 0;
    for (float start : {1.0f, 1.5f, 3.0f}) {
        for (QPoint scroll : {QPoint(0, 0), QPoint(140, 90), QPoint(300, 210)}) {
            for (QPointF anchor : {QPointF(37, 41), QPointF(200.5, 150), QPointF(371, 262)}) {
                canvas.setZoom(start);
                canvas.onScroll(false, ScrollThumbPosition, scroll.x());
                canvas.onScroll(true, ScrollThumbPosition, scroll.y());
                const QPointF under = canvas.photoPosAt(anchor);
                const std::string where = "zoom " + std::to_string(start) + " scroll " + std::to_string(scroll.x())
                    + " anchor " + std::to_string(anchor.x());
                canvas.zoomAbout(CPhotoCanvas::nextZoomStep(start, true), anchor);
                EXPECT_GT(canvas.zoom(), start);
                ExpectKeptUnder(canvas, anchor, under, where + " in");
                checked += canvas.scrollX() > 0 && canvas.scrollX() < canvas.rangeX();
                // And back out: the same size, the same point under the anchor.
                canvas.zoomAbout(CPhotoCanvas::nextZoomStep(canvas.zoom(), false), anchor);
                EXPECT_FLOAT_EQ(canvas.zoom(), start) << where;
                ExpectKeptUnder(canvas, anchor, under, where + " out");
            }
        }
    }
    EXPECT_GT(checked, 12);  // most cases were not at a scroll end

    // The keys zoom about the centre of the view.
    canvas.setZoom(2.0f);
    canvas.onScroll(false, ScrollThumbPosition, 500);
    canvas.onScroll(true, ScrollThumbPosition, 400);
    const QPointF centre((400 - 17) / 2.0, (300 - 17) / 2.0);
    const QPointF middle = canvas.photoPosAt(centre);
    canvas.zoomIn();
    EXPECT_FLOAT_EQ(canvas.zoom(), 3.0f);
    ExpectKeptUnder(canvas, centre, middle, "zoomIn");
    EXPECT_GT(canvas.scrollX(), 0);
    canvas.actualSize();
    EXPECT_FLOAT_EQ(canvas.zoom(), 1.0f);
    ExpectKeptUnder(canvas, centre, middle, "actualSize");
}

TEST(CanvasViewing, ZoomLadderRoundTrips)
{
    const auto& ladder = CPhotoCanvas::zoomLadder();
    ASSERT_GE(ladder.size(), 10u);
    EXPECT_FLOAT_EQ(ladder.front(), CPhotoCanvas::kMinZoom);
    EXPECT_FLOAT_EQ(ladder.back(), CPhotoCanvas::kMaxZoom);
    for (size_t i = 0; i < ladder.size(); ++i) {
        if (i + 1 < ladder.size()) {
            EXPECT_FLOAT_EQ(CPhotoCanvas::nextZoomStep(ladder[i], true), ladder[i + 1]);
            EXPECT_FLOAT_EQ(CPhotoCanvas::nextZoomStep(CPhotoCanvas::nextZoomStep(ladder[i], true), false), ladder[i]);
        }
        if (i > 0) {
            EXPECT_FLOAT_EQ(CPhotoCanvas::nextZoomStep(CPhotoCanvas::nextZoomStep(ladder[i], false), true), ladder[i]);
        }
    }
    // Off the ladder (a fit zoom) the next steps are the neighbours.
    EXPECT_FLOAT_EQ(CPhotoCanvas::nextZoomStep(0.437f, true), 0.5f);
    EXPECT_FLOAT_EQ(CPhotoCanvas::nextZoomStep(0.437f, false), 1.0f / 3);
    // The ends stay at the limits.
    EXPECT_FLOAT_EQ(CPhotoCanvas::nextZoomStep(CPhotoCanvas::kMaxZoom, true), CPhotoCanvas::kMaxZoom);
    EXPECT_FLOAT_EQ(CPhotoCanvas::nextZoomStep(CPhotoCanvas::kMinZoom, false), CPhotoCanvas::kMinZoom);

    // Ctrl + wheel steps the same ladder, one step per notch, however the notch is cut.
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(400, 300);
    session.openPhoto(Photo(800, 600), "/tmp/a.png");
    canvas.setZoom(1.0f);
    auto ctrlWheel = [&](int angle) {
        QWheelEvent e(QPointF(120, 90), canvas.mapToGlobal(QPointF(120, 90)), QPoint(), QPoint(0, angle),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&canvas, &e);
    };
    ctrlWheel(60);
    EXPECT_FLOAT_EQ(canvas.zoom(), 1.0f);
    ctrlWheel(60);
    EXPECT_FLOAT_EQ(canvas.zoom(), 1.5f);
    ctrlWheel(-240);
    EXPECT_FLOAT_EQ(canvas.zoom(), 2.0f / 3);
}

TEST(CanvasViewing, DragsPanByTheDragDistanceWithoutPainting)
{
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(400, 300);
    session.openPhoto(Photo(800, 600), "/tmp/a.png");
    canvas.setZoom(1.0f);
    session.chooseEffect(1);  // Darken: a left drag would paint
    const PixelBuffer photo = session.document().photo();
    canvas.onScroll(false, ScrollThumbPosition, 100);
    canvas.onScroll(true, ScrollThumbPosition, 100);

    // Middle drag: the photo follows the mouse.
    canvas.pressAt(QPoint(200, 150), Qt::MiddleButton);
    EXPECT_TRUE(canvas.panning());
    canvas.moveTo(QPoint(170, 110));
    EXPECT_EQ(QPoint(canvas.scrollX(), canvas.scrollY()), QPoint(130, 140));
    canvas.moveTo(QPoint(250, 170));
    canvas.releaseAt(QPoint(250, 170), Qt::MiddleButton);
    EXPECT_FALSE(canvas.panning());
    EXPECT_EQ(QPoint(canvas.scrollX(), canvas.scrollY()), QPoint(50, 80));
    // What the moves left in the back buffer is what a full redraw draws.
    const QImage shifted = canvas.backBuffer().copy();
    canvas.refresh();
    EXPECT_EQ(canvas.backBuffer(), shifted);

    // Space + left drag pans too; past the ends the view stops at them.
    canvas.setSpacePan(true);
    canvas.pressAt(QPoint(100, 100));
    canvas.moveTo(QPoint(140, 90));
    EXPECT_EQ(QPoint(canvas.scrollX(), canvas.scrollY()), QPoint(10, 90));
    canvas.moveTo(QPoint(400, 0));
    canvas.releaseAt(QPoint(400, 0));
    EXPECT_EQ(QPoint(canvas.scrollX(), canvas.scrollY()), QPoint(0, 180));
    canvas.setSpacePan(false);
    EXPECT_EQ(session.document().photo().pixels, photo.pixels);
    EXPECT_TRUE(session.document().history().empty());

    // Without Space the same left drag paints.
    canvas.pressAt(QPoint(100, 100));
    canvas.moveTo(QPoint(140, 90));
    canvas.releaseAt(QPoint(140, 90));
    EXPECT_NE(session.document().photo().pixels, photo.pixels);
    EXPECT_EQ(session.document().history().size(), 1u);
}

TEST(CanvasViewing, WheelAndTouchpadDeltasScrollSmoothly)
{
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(400, 300);
    session.openPhoto(Photo(800, 600), "/tmp/a.png");
    canvas.setZoom(1.0f);
    auto wheel = [&](QPoint pixels, QPoint angle, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWheelEvent e(QPointF(100, 100), canvas.mapToGlobal(QPointF(100, 100)), pixels, angle, Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&canvas, &e);
    };
    canvas.onScroll(true, ScrollThumbPosition, 200);
    wheel(QPoint(0, 7), QPoint(0, 14));  // touchpad: pixels win
    EXPECT_EQ(canvas.scrollY(), 193);
    wheel(QPoint(-3, -5), QPoint());
    EXPECT_EQ(QPoint(canvas.scrollX(), canvas.scrollY()), QPoint(3, 198));
    // A fine wheel: quarter notches move 15 pixels each, a notch 60.
    wheel(QPoint(), QPoint(0, -30));
    wheel(QPoint(), QPoint(0, -30));
    EXPECT_EQ(canvas.scrollY(), 228);
    wheel(QPoint(), QPoint(0, 120));
    EXPECT_EQ(canvas.scrollY(), 168);
    // Fractions add up instead of being dropped.
    for (int i = 0; i < 4; ++i)
        wheel(QPoint(), QPoint(0, -1));
    EXPECT_EQ(canvas.scrollY(), 170);
    // Shift turns the wheel sideways.
    wheel(QPoint(), QPoint(0, -120), Qt::ShiftModifier);
    EXPECT_EQ(canvas.scrollX(), 63);
}

TEST(CanvasViewing, DrawsAtDevicePixelsOnScaledScreens)
{
    // One-pixel checks: only a device-resolution draw keeps them apart at zoom 1/2.
    PixelBuffer checks(200, 160, 3);
    for (int y = 0; y < checks.height; ++y)
        for (int x = 0; x < checks.width; ++x) {
            uint8_t* p = checks.at(x, y);
            p[0] = p[1] = p[2] = (x + y) % 2 ? 255 : 0;
        }
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(300, 240);
    session.openPhoto(checks, "/tmp/checks.png");
    canvas.setZoom(0.5f);
    auto extremes = [&] {
        const QImage& b = canvas.backBuffer();
        const qreal r = b.devicePixelRatio();
        const QRect photo = canvas.photoRect();
        int count = 0, total = 0;
        for (int y = int(photo.top() * r) + 2; y < int(photo.bottom() * r) - 2; y += 3)
            for (int x = int(photo.left() * r) + 2; x < int(photo.right() * r) - 2; x += 3) {
                const int v = qGray(b.pixel(x, y));
                count += v < 8 || v > 247;
                ++total;
            }
        return double(count) / std::max(1, total);
    };
    canvas.setRenderRatio(1.0);
    EXPECT_EQ(canvas.backBuffer().size(), QSize(300, 240));
    EXPECT_LT(extremes(), 0.05);  // logical pixels: the checks blend to grey
    canvas.setRenderRatio(2.0);
    EXPECT_EQ(canvas.backBuffer().size(), QSize(600, 480));
    EXPECT_EQ(canvas.photoRect(), QRect(100, 80, 100, 80));  // the layout stays logical
    EXPECT_GT(extremes(), 0.95);  // device pixels: every check is there
    // The widget shows the device pixels (not a blown-up logical image).
    QImage shot(QSize(600, 480), QImage::Format_RGB32);
    shot.setDevicePixelRatio(2.0);
    canvas.render(&shot);
    EXPECT_NE(qGray(shot.pixel(240, 200)), qGray(shot.pixel(241, 200)));
}

TEST(CanvasViewing, BeforeShowsThePhotoAsOpened)
{
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(300, 200);
    session.openPhoto(Photo(200, 120), "/tmp/a.png");
    const QImage opened = canvas.renderToImage();
    session.chooseEffect(53);  // Posterize changes the whole photo
    const QImage edited = canvas.renderToImage();
    ASSERT_NE(opened, edited);
    canvas.setShowBefore(true);
    const QImage before = canvas.renderToImage();
    const QRect photo = canvas.photoRect();
    // The photo area is the opened photo, apart from the "Before" label.
    const QRect below(photo.left(), photo.top() + 50, photo.width(), photo.height() - 50);
    EXPECT_EQ(before.copy(below), opened.copy(below));
    EXPECT_NE(before.copy(QRect(12, 12, 30, 16)), opened.copy(QRect(12, 12, 30, 16)));
    canvas.setShowBefore(false);
    EXPECT_EQ(canvas.renderToImage(), edited);
    EXPECT_EQ(session.document().history().size(), 1u);

    // After a crop the photo as opened is shown whole, fitted: 200 × 120 in
    // 300 × 200 becomes 300 × 180, centred.
    ASSERT_TRUE(session.crop(20, 20, 100, 60));
    canvas.setShowBefore(true);
    const QImage fitted = canvas.renderToImage();
    canvas.setShowBefore(false);
    QImage expected(300, 180, QImage::Format_RGB32);
    QPainter painter(&expected);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const PixelBuffer asOpened = Photo(200, 120);
    painter.drawImage(QRectF(0, 0, 300, 180), QImage(asOpened.data(), 200, 120, 600, QImage::Format_BGR888));
    painter.end();
    // Compared below the label, away from the edges.
    const QRect inner(10, 60, 280, 100);
    EXPECT_EQ(fitted.copy(inner.translated(0, 10)), expected.copy(inner));
}

TEST(CanvasViewing, CancelledEffectLeavesTheDocumentAsItWas)
{
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(300, 200);
    session.openPhoto(Photo(400, 300), "/tmp/a.png");
    const CanvasDocument& doc = session.document();
    session.chooseEffect(53);  // one step in the history
    session.chooseEffect(6);   // Blur: a result brush with its result
    const PixelBuffer photo = doc.photo(), base = doc.strokeBase(), result = doc.effectResult();
    const size_t steps = doc.history().size();
    const int pos = doc.historyPos();

    // Runs the work as the window does, cancelling once it has got going.
    int runs = 0;
    int lastSeen = -1;
    session.setLongRunner([&](const std::function<void()>& work, EffectId, const QString&) {
        ++runs;
        ClearCancel();
        ScopedProgressSink sink([&](int percent) {
            lastSeen = percent;
            if (percent >= 10)
                RequestCancel();
        });
        work();
        const bool cancelled = CancelRequested();
        ClearCancel();
        return !cancelled;
    });
    for (EffectId id : {47, 41, 2}) {  // Oil Paint, a painter look, Smooth Skin
        lastSeen = -1;
        EXPECT_FALSE(session.chooseEffect(id)) << id;
        EXPECT_LT(lastSeen, 60) << id;  // it stopped early
        EXPECT_EQ(doc.photo().pixels, photo.pixels) << id;
        EXPECT_EQ(doc.strokeBase().pixels, base.pixels) << id;
        EXPECT_EQ(doc.effectResult().pixels, result.pixels) << id;
        EXPECT_EQ(doc.history().size(), steps) << id;
        EXPECT_EQ(doc.historyPos(), pos) << id;
        EXPECT_EQ(doc.effectId(), 6) << id;
        EXPECT_EQ(doc.applyMode(), ApplyMode::ResultBrush) << id;
    }
    EXPECT_EQ(runs, 3);

    // Not cancelled: the same bytes as a run without the hook.
    session.setLongRunner([](const std::function<void()>& work, EffectId, const QString&) {
        work();
        return true;
    });
    EXPECT_TRUE(session.chooseEffect(47));
    EXPECT_EQ(doc.photo().pixels, test::RunCatalogueEffect(47, photo).pixels);
    EXPECT_EQ(doc.history().size(), steps + 1);
}
