// The canvas view on the offscreen platform: zoom, layout, scrolling, preview,
// progress, export and mouse strokes.
#include "view/photo_canvas.h"
#include "tests/support/photo_fixture.h"

#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>

#include <vector>

using namespace ombrik;

namespace {

// Counts what the canvas and its session tell the window.
struct Recorder {
    int leavePreview = 0, contextMenu = 0, history = 0;
    explicit Recorder(CPhotoCanvas& canvas)
    {
        QObject::connect(&canvas, &CPhotoCanvas::leavePreviewRequested, [this] { ++leavePreview; });
        QObject::connect(&canvas, &CPhotoCanvas::contextMenuRequested, [this] { ++contextMenu; });
        QObject::connect(&canvas.session(), &EditorSession::historyChanged, [this] { ++history; });
    }
};

PixelBuffer Photo(int w, int h)
{
    return test::LoadSamplePhoto("coffee.png", w, h);
}

} // namespace

TEST(CanvasView, ZoomLimits)
{
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(400, 300);
    EXPECT_FLOAT_EQ(canvas.zoom(), 0.8f);
    session.openPhoto(Photo(200, 100), "/tmp/a.png");
    EXPECT_FLOAT_EQ(canvas.zoom(), 1.0f);
    canvas.setZoom(9.0f);
    canvas.zoomIn();
    EXPECT_FLOAT_EQ(canvas.zoom(), 10.0f);
    canvas.setZoom(0.12f);
    canvas.zoomOut();
    EXPECT_FLOAT_EQ(canvas.zoom(), 0.1f);
    canvas.actualSize();
    EXPECT_FLOAT_EQ(canvas.zoom(), 1.0f);
}

TEST(CanvasView, SmallPhotoIsCentredWithoutScrollBars)
{
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(400, 300);
    session.openPhoto(Photo(200, 100), "/tmp/a.png");
    canvas.refresh();
    EXPECT_FALSE(canvas.horizontalBarShown());
    EXPECT_FALSE(canvas.verticalBarShown());
    EXPECT_EQ(canvas.scrollX(), 0);
    EXPECT_EQ(canvas.photoRect(), QRect(100, 100, 200, 100));
}

TEST(CanvasView, LargePhotoScrollsWithTheScrollCodes)
{
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(400, 300);
    session.openPhoto(Photo(800, 600), "/tmp/a.png");
    // Larger than the view, it opens fitted; at 1:1 it scrolls.
    EXPECT_FLOAT_EQ(canvas.zoom(), canvas.fitZoom());
    EXPECT_FALSE(canvas.horizontalBarShown());
    canvas.setZoom(1.0f);
    EXPECT_EQ(canvas.rangeX(), 800 - 400 + 17);
    EXPECT_EQ(canvas.rangeY(), 600 - 300 + 17);
    EXPECT_TRUE(canvas.horizontalBarShown());
    canvas.onScroll(true, ScrollLineForward, 0);
    EXPECT_EQ(canvas.scrollY(), 1);
    canvas.onScroll(true, ScrollPageForward, 0);
    EXPECT_EQ(canvas.scrollY(), 101);
    canvas.onScroll(true, ScrollPageBack, 0);
    canvas.onScroll(true, ScrollLineBack, 0);
    canvas.onScroll(true, ScrollLineBack, 0);
    EXPECT_EQ(canvas.scrollY(), 0);
    canvas.onScroll(false, ScrollToEnd, 0);
    EXPECT_EQ(canvas.scrollX(), canvas.rangeX());
    canvas.onScroll(false, ScrollThumbTrack, 5000);
    EXPECT_EQ(canvas.scrollX(), canvas.rangeX());
    canvas.onScroll(false, ScrollThumbPosition, 40);
    EXPECT_EQ(canvas.scrollX(), 40);
    canvas.onScroll(false, ScrollToStart, 0);
    EXPECT_EQ(canvas.scrollX(), 0);
    // The visible part of the photo is what is drawn.
    canvas.onScroll(false, ScrollThumbPosition, 100);
    canvas.refresh();
    EXPECT_EQ(canvas.visibleRect().left(), 100);
    EXPECT_EQ(canvas.visibleRect().width(), 400);
}

TEST(CanvasView, FitZoomAndPreview)
{
    EditorSession session;
    CPhotoCanvas canvas(session);
    Recorder owner(canvas);
    canvas.resize(400, 300);
    session.openPhoto(Photo(800, 400), "/tmp/a.png");
    EXPECT_FLOAT_EQ(canvas.fitZoom(), 0.5f);  // 400 / 800
    canvas.zoomToFit();
    EXPECT_FLOAT_EQ(canvas.zoom(), 0.5f);
    canvas.setZoom(2.0f);
    canvas.setPreviewMode(true);
    EXPECT_FLOAT_EQ(canvas.zoom(), 0.5f);
    EXPECT_FALSE(canvas.horizontalBarShown());
    const size_t steps = session.document().history().size();
    canvas.pressAt(QPoint(200, 150));
    canvas.releaseAt(QPoint(200, 150));
    EXPECT_EQ(owner.leavePreview, 1);
    EXPECT_EQ(session.document().history().size(), steps);
}

TEST(CanvasView, PressReleaseIsOneStepEvenForAWholeImageFilter)
{
    EditorSession session;
    CPhotoCanvas canvas(session);
    Recorder owner(canvas);
    canvas.resize(300, 200);
    session.openPhoto(Photo(200, 120), "/tmp/a.png");
    EXPECT_EQ(owner.history, 1);  // from opening
    session.chooseEffect(53);
    ASSERT_EQ(session.document().history().size(), 1u);
    const QPoint inside = canvas.photoRect().center();
    canvas.pressAt(inside);
    canvas.releaseAt(inside);
    EXPECT_EQ(session.document().history().size(), 2u);
    // A press outside the photo starts nothing.
    canvas.pressAt(QPoint(2, 2));
    canvas.releaseAt(QPoint(2, 2));
    EXPECT_EQ(session.document().history().size(), 2u);
}

TEST(CanvasView, BrushStrokeChangesThePhotoAlongTheDrag)
{
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(300, 200);
    const PixelBuffer photo = Photo(200, 120);
    session.openPhoto(photo, "/tmp/a.png");
    session.setBrushSize(20);
    session.chooseEffect(8);  // B && W by patch
    const QPoint a = canvas.photoRect().topLeft() + QPoint(20, 60);
    const QPoint b = a + QPoint(150, 0);
    canvas.pressAt(a);
    canvas.moveTo(a + QPoint(1, 0));
    canvas.moveTo(b);
    canvas.releaseAt(b);
    const PixelBuffer& out = session.document().photo();
    // Grey all along the line, untouched far from it.
    for (int x = 25; x < 165; x += 10) {
        const uint8_t* p = out.at(x, 60);
        EXPECT_EQ(p[0], p[1]) << x;
        EXPECT_EQ(p[1], p[2]) << x;
    }
    EXPECT_TRUE(std::equal(photo.at(100, 5), photo.at(100, 5) + 3, out.at(100, 5)));
    EXPECT_EQ(session.document().history().size(), 1u);
}

TEST(CanvasView, MousePositionsFarOutsideAreSafe)
{
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(300, 200);
    session.openPhoto(Photo(64, 48), "/tmp/a.png");
    for (float zoom : {0.1f, 1.0f, 10.0f}) {
        canvas.setZoom(zoom);
        for (EffectId id : {0, 6, 200}) {
            session.chooseEffect(id);
            session.setBrushSize(400);
            const QPoint inside = canvas.photoRect().center() - QPoint(canvas.scrollX(), canvas.scrollY());
            canvas.pressAt(inside);
            for (QPoint p : {QPoint(-100000, -100000), QPoint(100000, 5), QPoint(0, 0), QPoint(299, 199), inside})
                canvas.moveTo(p);
            canvas.releaseAt(QPoint(-5000, 90000));
        }
    }
    EXPECT_EQ(session.document().photo().width, 64);
}

TEST(CanvasView, ProgressStripAndExport)
{
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(400, 300);
    canvas.show();
    const PixelBuffer photo = Photo(120, 80);
    session.openPhoto(photo, "/tmp/a.png");
    canvas.showProgress(100);
    QImage shot(canvas.size(), QImage::Format_RGB32);
    canvas.render(&shot);
    // The fill spans 219 pixels from x = 200 - 110.
    const QColor fill = shot.pixelColor(200 - 110 + 200, 150 - 8);
    EXPECT_GT(fill.blue(), fill.red() + 40);
    canvas.refresh();  // the next ordinary repaint removes it
    canvas.render(&shot);
    EXPECT_NE(shot.pixelColor(200 - 110 + 200, 150 - 8), fill);

    const PixelBuffer composite = session.composite();
    EXPECT_EQ(composite.width, 120);
    EXPECT_EQ(composite.height, 80);
    EXPECT_EQ(composite.pixels, photo.pixels);
}

TEST(CanvasView, KeysAndContextMenu)
{
    EditorSession session;
    CPhotoCanvas canvas(session);
    Recorder owner(canvas);
    canvas.resize(200, 200);
    session.openPhoto(Photo(40, 40), "/tmp/a.png");
    CanvasObject text;
    text.selected = true;
    session.addObject(text);  // one step
    auto press = [&](int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&canvas, &event);
    };
    press(Qt::Key_Delete);  // deletes the selected object as one step
    EXPECT_TRUE(session.document().objects().empty());
    EXPECT_EQ(session.document().history().size(), 2u);
    press(Qt::Key_Delete);  // nothing selected: nothing recorded
    EXPECT_EQ(session.document().history().size(), 2u);
    press(Qt::Key_Escape);  // leaves the preview, and only there
    EXPECT_EQ(owner.leavePreview, 0);
    canvas.setPreviewMode(true);
    press(Qt::Key_Escape);
    EXPECT_EQ(owner.leavePreview, 1);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(10, 10), canvas.mapToGlobal(QPoint(10, 10)));
    QCoreApplication::sendEvent(&canvas, &menu);
    EXPECT_EQ(owner.contextMenu, 1);
}

TEST(CanvasView, OpenAndSaveThroughTheFileLayer)
{
    const std::string folder = testing::TempDir();
    const std::string source = folder + "/canvas_open_source.png";
    const PixelBuffer photo = Photo(203, 150);
    ASSERT_TRUE(test::SavePixelBuffer(photo, source));
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(300, 200);
    const LoadedPhoto loaded = session.open(source);
    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_EQ(session.document().width(), 200);   // cut to a multiple of 4
    EXPECT_EQ(session.document().height(), 148);
    EXPECT_EQ(session.document().photoPath(), source);

    // A file that is not a picture leaves the open photo alone.
    const std::string junk = folder + "/canvas_open_junk.jpg";
    FILE* f = std::fopen(junk.c_str(), "wb");
    std::fputs("not a picture", f);
    std::fclose(f);
    EXPECT_FALSE(session.open(junk).ok);
    EXPECT_EQ(session.document().photoPath(), source);

    const std::string saved = folder + "/canvas_saved.png";
    ASSERT_TRUE(session.save(saved, {}).ok());
    const PixelBuffer back = test::LoadSamplePhotoFromPath(saved);
    EXPECT_EQ(back.pixels, session.document().photo().pixels);
    EXPECT_FALSE(session.save(folder + "/no_extension", {}).ok());
}
