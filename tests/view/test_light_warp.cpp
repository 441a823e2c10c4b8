// Lights, flares, warp strokes and stamps placed on the canvas with real mouse
// events on the offscreen platform.
#include "view/photo_canvas.h"
#include "canvas/photo_snapshot.h"
#include "light/lens_flare_renderer.h"
#include "light/lighting_renderer.h"
#include "light/warp_deformer.h"
#include "effects/effect_request.h"
#include "tests/support/photo_fixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include <array>
#include <cstring>
#include <functional>
#include <vector>

using namespace ombrik;

namespace {

void Send(QWidget& w, QEvent::Type type, QPoint p)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(p), QPointF(w.mapToGlobal(p)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

void Drag(QWidget& w, const std::vector<QPoint>& path)
{
    Send(w, QEvent::MouseButtonPress, path.front());
    for (size_t i = 1; i < path.size(); ++i)
        Send(w, QEvent::MouseMove, path[i]);
    Send(w, QEvent::MouseButtonRelease, path.back());
}

// A 200 × 150 photo centred in a 400 × 300 canvas at zoom 1: photo pixel
// (x, y) is at screen (100 + x, 75 + y).
struct Canvas {
    EditorSession session;
    CPhotoCanvas canvas{session};
    PixelBuffer original;
    explicit Canvas(int w = 200, int h = 150)
    {
        canvas.resize(400, 300);
        original = test::LoadSamplePhoto("coffee.png", w, h);
        session.openPhoto(original, "/tmp/light.png");
    }
    const CanvasDocument& doc() { return session.document(); }
    QPoint screen(int x, int y) const { return canvas.photoRect().topLeft() + QPoint(x, y); }
};

PixelBuffer Spotlight(const PixelBuffer& src, int ax, int ay, int mx, int my)
{
    LightingRenderer r;
    r.reset();
    r.setSize(src.width, src.height, 3);
    r.applyPreset(LightingPreset::Spotlight);
    r.setLightColour(255, 255, 255);
    r.setSpotDirection(ax, ay, mx, my);
    r.setSpotViewpoint(ax, ay);
    PixelBuffer out(src.width, src.height, 3);
    r.render(src, out);
    return out;
}

// Undo keeps intermediate photos as compressed snapshots: what undo gives back
// for a photo.
PixelBuffer AsKept(const PixelBuffer& photo)
{
    return *DecodeSnapshot(EncodeSnapshot(photo));
}

} // namespace

TEST(LightPlacement, PressOutsideThePhotoStartsADragAndRendersFromThere)
{
    Canvas c;
    c.session.chooseEffect(120);
    ASSERT_EQ(c.canvas.photoRect(), QRect(100, 75, 200, 150));
    Send(c.canvas, QEvent::MouseButtonPress, QPoint(20, 30));  // photo (-80, -45)
    EXPECT_TRUE(c.canvas.lightDragActive());
    const QRgb under = c.canvas.grab().toImage().pixel(150, 30);
    Send(c.canvas, QEvent::MouseMove, QPoint(200, 30));
    // The band is drawn inverted over the back buffer: a point on the line shows
    // the inverse of what is beneath.
    const QRgb over = c.canvas.grab().toImage().pixel(150, 30);
    EXPECT_EQ(over & 0xFFFFFF, ~under & 0xFFFFFF);

    Send(c.canvas, QEvent::MouseButtonRelease, QPoint(150, 125));  // photo (50, 50)
    EXPECT_FALSE(c.canvas.lightDragActive());
    EXPECT_EQ(c.doc().historyPos(), 0);
    EXPECT_EQ(c.doc().photo().pixels, Spotlight(c.original, -80, -45, 50, 50).pixels);
    EXPECT_EQ(c.doc().strokeBase().pixels, c.doc().photo().pixels);
}

TEST(LightPlacement, AClickRendersWithReleaseAtPressAndTheSmallestFlare)
{
    Canvas c;
    c.session.chooseEffect(120);
    Drag(c.canvas, {c.screen(60, 40)});
    EXPECT_EQ(c.doc().photo().pixels, Spotlight(c.original, 60, 40, 60, 40).pixels);

    c.session.undo();
    ASSERT_EQ(c.doc().photo().pixels, c.original.pixels);
    c.session.setEffectColour(DefaultLightingColour(122));
    c.session.chooseEffect(122);
    Drag(c.canvas, {c.screen(70, 30)});
    EXPECT_EQ(c.canvas.flareRadius(), 0);
    LensFlareRenderer flare;
    flare.reset();
    flare.setSize(200, 150, 3);
    flare.setCentre(70, 30);
    flare.setFlareSize(1);
    flare.setColour(DefaultLightingColour(122));
    PixelBuffer expected(200, 150, 3);
    flare.render(c.original, expected);
    EXPECT_EQ(c.doc().photo().pixels, expected.pixels);
    EXPECT_NE(c.doc().photo().pixels, c.original.pixels);
}

TEST(LightPlacement, TwoSpotlightDragsLightTheLitPhotoAgainAndUndoExactly)
{
    Canvas c;
    c.session.chooseEffect(120);
    Drag(c.canvas, {c.screen(20, 20), c.screen(60, 60), c.screen(100, 80)});
    const PixelBuffer first = Spotlight(c.original, 20, 20, 100, 80);
    ASSERT_EQ(c.doc().photo().pixels, first.pixels);
    Drag(c.canvas, {c.screen(180, 120), c.screen(150, 100)});
    EXPECT_EQ(c.doc().photo().pixels, Spotlight(first, 180, 120, 150, 100).pixels);
    EXPECT_EQ(c.doc().historyPos(), 1);

    c.session.undo();
    EXPECT_EQ(c.doc().photo().pixels, AsKept(first).pixels);
    c.session.undo();
    EXPECT_EQ(c.doc().photo().pixels, c.original.pixels);
    EXPECT_EQ(c.doc().strokeBase().pixels, c.original.pixels);
    c.session.redo();
    EXPECT_EQ(c.doc().photo().pixels, AsKept(first).pixels);
    EXPECT_EQ(c.doc().strokeBase().pixels, c.doc().photo().pixels);
}

TEST(LightPlacement, DistanceIsAHundredForTheOnScreenDiagonalAndFlareRadiusFollowsZoom)
{
    Canvas c;
    c.session.chooseEffect(121);
    Send(c.canvas, QEvent::MouseButtonPress, c.screen(0, 0));
    // The photo's diagonal on screen is 250 pixels.
    EXPECT_EQ(c.canvas.lightDistance(c.screen(200, 150)), 100);
    EXPECT_EQ(c.canvas.lightDistance(c.screen(400, 0)), 160);
    EXPECT_EQ(c.canvas.lightDistance(c.screen(0, 0)), 0);
    Send(c.canvas, QEvent::MouseButtonRelease, c.screen(200, 150));
    EXPECT_EQ(c.doc().historyPos(), 0);

    // At zoom 4 (scrolled), a band of 80 screen pixels is a 20-pixel flare.
    c.session.chooseEffect(123);
    c.canvas.setZoom(4.0f);
    c.canvas.onScroll(false, ScrollThumbPosition, 30);
    c.canvas.onScroll(true, ScrollThumbPosition, 20);
    Drag(c.canvas, {QPoint(100, 100), QPoint(148, 164)});
    EXPECT_EQ(c.canvas.flareRadius(), 20);
    EXPECT_EQ(c.doc().historyPos(), 1);
    // A flare dragged from far outside with the pointer far away stays in bounds.
    Drag(c.canvas, {QPoint(1, 1), QPoint(-3000, 5000)});
    EXPECT_EQ(c.doc().historyPos(), 2);
}

TEST(WarpStrokes, SwitchingWarpEffectsAccumulatesAndUndoRestartsFromTheRestoredPhoto)
{
    Canvas c;
    c.session.setBrushSize(40);
    c.session.chooseEffect(80);
    Drag(c.canvas, {c.screen(60, 70), c.screen(80, 72), c.screen(100, 75)});
    c.session.chooseEffect(81);  // another warp effect: the base is kept
    EXPECT_TRUE(c.doc().warpStrokeUncommitted());
    EXPECT_EQ(c.doc().strokeBase().pixels, c.original.pixels);
    Drag(c.canvas, {c.screen(95, 75), c.screen(96, 76)});
    EXPECT_EQ(c.doc().historyPos(), 1);

    // One deformer fed the same applications from the opened photo.
    PixelBuffer expected = c.original;
    WarpDeformer warp;
    warp.start(200, 150, 3, c.original.data(), expected.data());
    warp.setRadius(40);
    warp.setAmount(30);
    warp.setMode(WarpMode::Move);
    warp.apply(80, 72, 60, 70);
    warp.apply(100, 75, 80, 72);
    warp.apply(100, 75, 100, 75);
    warp.setMode(WarpMode::Grow);
    warp.apply(96, 76, 95, 75);
    warp.apply(96, 76, 96, 76);
    ASSERT_NE(expected.pixels, c.original.pixels);
    EXPECT_EQ(c.doc().photo().pixels, expected.pixels);
    EXPECT_EQ(c.doc().warpDisplacement(96, 76), warp.displacement(96, 76));

    // Undo goes back exactly one stroke; the next stroke starts a new field on
    // the restored photo (never the buffers the undo replaced).
    c.session.undo();
    const PixelBuffer afterMove = c.doc().photo();
    Drag(c.canvas, {c.screen(40, 40), c.screen(41, 41)});
    PixelBuffer again = afterMove;
    WarpDeformer fresh;
    fresh.start(200, 150, 3, afterMove.data(), again.data());
    fresh.setRadius(40);
    fresh.setAmount(30);
    fresh.setMode(WarpMode::Grow);
    fresh.apply(41, 41, 40, 40);
    fresh.apply(41, 41, 41, 41);
    EXPECT_EQ(c.doc().photo().pixels, again.pixels);
    c.session.undo();
    c.session.undo();
    EXPECT_EQ(c.doc().photo().pixels, c.original.pixels);
}

TEST(WarpStrokes, AChosenRetouchEffectTakesTheWarpedPhotoAsItsBase)
{
    Canvas c;
    c.session.setBrushSize(50);
    c.session.chooseEffect(83);
    Drag(c.canvas, {c.screen(100, 75), c.screen(101, 75)});
    const PixelBuffer warped = c.doc().photo();
    ASSERT_NE(warped.pixels, c.original.pixels);
    c.session.chooseEffect(2);  // a result brush
    EXPECT_FALSE(c.doc().warpStrokeUncommitted());
    EXPECT_EQ(c.doc().strokeBase().pixels, warped.pixels);
    PixelBuffer result(200, 150, 3);
    EffectRequest rq;
    rq.initialise();
    rq.set(2, 200, 150, 3);
    rq.RunEffect(warped.data(), result.data());
    EXPECT_EQ(c.doc().effectResult().pixels, result.pixels);
}

TEST(WarpStrokes, AmountZeroAndDragsFarOutsideAtAnyZoom)
{
    Canvas c;
    c.session.setBrushSize(90);
    c.session.chooseEffect(84);
    c.session.setWarpAmount(0);
    Drag(c.canvas, {c.screen(100, 75), c.screen(120, 80)});
    EXPECT_EQ(c.doc().photo().pixels, c.original.pixels);
    EXPECT_EQ(c.doc().historyPos(), 0);

    c.session.setWarpAmount(100);
    for (float zoom : {0.1f, 3.0f}) {
        c.canvas.setZoom(zoom);
        c.canvas.onScroll(false, ScrollToEnd, 0);
        for (EffectId id : {80, 82, 85}) {
            c.session.chooseEffect(id);
            const QPoint in = c.canvas.photoRect().center() - QPoint(c.canvas.scrollX(), c.canvas.scrollY());
            const QPoint start = QRect(QPoint(0, 0), c.canvas.size()).contains(in) ? in : QPoint(5, 5);
            Drag(c.canvas, {start, QPoint(-4000, 300), QPoint(5000, -7000), QPoint(399, 299)});
        }
    }
    EXPECT_GT(c.doc().historyPos(), 0);
}

TEST(WarpStrokes, EveryRenewalOfTheBaseGivesTheNextStrokeAFreshField)
{
    // After a renewal the base is the photo shown, so a stroke at amount 0
    // must change no byte; a deformer that kept its displacements would move
    // the already warped pixels once more.
    struct Renewal {
        const char* name;
        std::function<void(Canvas&)> run;
    };
    const Renewal renewals[] = {
        {"merge down", [](Canvas& c) { c.session.mergeText(); }},
        {"undo", [](Canvas& c) { c.session.undo(); }},
        {"redo", [](Canvas& c) {
             c.session.undo();
             c.session.redo();
         }},
        {"another kind of effect", [](Canvas& c) {
             c.session.chooseEffect(0);
             c.session.chooseEffect(80);
         }},
        {"open", [](Canvas& c) { c.session.openPhoto(c.doc().photo(), "/tmp/again.png"); }},
    };
    for (const Renewal& renewal : renewals) {
        Canvas c;
        c.session.setBrushSize(40);
        c.session.chooseEffect(80);
        Drag(c.canvas, {c.screen(60, 70), c.screen(75, 72), c.screen(90, 75)});
        Drag(c.canvas, {c.screen(90, 75), c.screen(110, 76), c.screen(130, 78)});
        ASSERT_NE(c.doc().photo().pixels, c.original.pixels);
        renewal.run(c);
        const PixelBuffer renewed = c.doc().photo();
        c.session.setWarpAmount(0);
        Drag(c.canvas, {c.screen(100, 75), c.screen(101, 75)});
        EXPECT_EQ(c.doc().photo().pixels, renewed.pixels) << "after " << renewal.name;
        EXPECT_EQ(c.doc().warpDisplacement(110, 76), (std::array<double, 2>{0.0, 0.0})) << "after " << renewal.name;
    }
}

TEST(Stamps, ADragStampsOnlyUnderTheBrushAndUndoes)
{
    Canvas c(300, 200);
    c.canvas.resize(500, 400);
    c.canvas.refresh();
    c.session.setEffectColour(DefaultLightingColour(127));
    c.session.chooseEffect(127);
    c.session.setBrushSize(60);
    const std::vector<QPoint> path = {c.screen(60, 60), c.screen(100, 70), c.screen(140, 80)};
    Drag(c.canvas, path);
    EXPECT_EQ(c.doc().historyPos(), 0);

    // Dabs at every move and at the release: 60-pixel squares centred there.
    auto underBrush = [&](int x, int y) {
        for (size_t i = 1; i < path.size(); ++i) {
            const QPoint p = path[i] - c.canvas.photoRect().topLeft();
            if (x >= p.x() - 30 && x < p.x() + 30 && y >= p.y() - 30 && y < p.y() + 30)
                return true;
        }
        return false;
    };
    int changedInside = 0, changedOutside = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            const bool changed = std::memcmp(c.doc().photo().at(x, y), c.original.at(x, y), 3) != 0;
            (underBrush(x, y) ? changedInside : changedOutside) += changed;
        }
    EXPECT_GT(changedInside, 50);
    EXPECT_EQ(changedOutside, 0);
    c.session.undo();
    EXPECT_EQ(c.doc().photo().pixels, c.original.pixels);
}
