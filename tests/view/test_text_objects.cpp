// Text objects on the canvas: the eight styles, adding, selecting, moving,
// resizing, rotating, template and text changes, merge down, export and undo.
#include "tests/canvas/canvas_test_util.h"

#include "view/photo_canvas.h"
#include "canvas/text_drawing.h"
#include "canvas/text_objects.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

using namespace ombrik;
using namespace ombrik::test;

namespace {

std::string Face()
{
    const QStringList families = QFontDatabase::families();
    return families.contains(QStringLiteral("DejaVu Sans")) ? "DejaVu Sans" : families.value(0).toStdString();
}

TextTemplate Template(const std::string& text, int style = 0)
{
    TextTemplate t = DefaultTemplate(Face());
    t.text = text;
    t.style = style;
    std::tie(t.colour1, t.colour2) = StyleDefaultColours(style);
    return t;
}

// Pixels of img inside r that differ from the fill colour.
int Changed(const QImage& img, const QRect& r, QRgb fill)
{
    int n = 0;
    const QRect area = r.intersected(img.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += img.pixel(x, y) != fill;
    return n;
}

// A 400 × 300 canvas with a 200 × 120 grey photo centred at (100, 90), in object mode.
struct TextCanvas {
    EditorSession session;
    CPhotoCanvas canvas{session};
    TextCanvas()
    {
        canvas.resize(400, 300);
        session.openPhoto(Flat(200, 120, 128), "/tmp/text.png");
        canvas.setBrushMode(false);
    }
    const CanvasDocument& doc() { return session.document(); }
    CanvasObject& object(size_t i = 0) { return session.liveObjects().at(i); }
    QPointF centre() { return ObjectCentre(object(), canvas.objectView()); }
    // Screen position of the middle of handle k of the selected object.
    QPoint handle(int k)
    {
        const CanvasObject& o = object();
        const ObjectView v = canvas.objectView();
        const auto rects = HandleRects(int(o.textWidth * o.scale * v.zoom), int(o.textHeight * o.scale * v.zoom));
        return HandleTransform(o, v).map(QRectF(rects[size_t(k)]).center()).toPoint();
    }
    // Adds an object and puts it 20 screen pixels inside the visible part's
    // top-left corner, where the tests below expect it.
    void add(const TextTemplate& templ)
    {
        canvas.addTextObject(templ);
        CanvasObject& o = session.liveObjects().back();
        o.x = int(canvas.visibleRect().left() + 20 / canvas.zoom());
        o.y = int(canvas.visibleRect().top() + 20 / canvas.zoom());
    }
    void dragFrom(QPoint from, QPoint to)
    {
        canvas.pressAt(from);
        canvas.moveTo(to);
        canvas.releaseAt(to);
    }
};

} // namespace

TEST(TextDrawing, EveryStyleDrawsInsideItsBoxAndNothingAtAlphaZero)
{
    const TextTemplate t = Template("Ag");
    const TextExtent e = MeasureText(t);
    ASSERT_GT(e.width, 20);
    ASSERT_GT(e.height, 20);
    std::vector<QImage> looks;
    for (int style = 0; style < kTextStyleCount; ++style) {
        SCOPED_TRACE(style);
        for (int alpha : {255, 0}) {
            QImage img(e.width + 60, e.height + 60, QImage::Format_RGB32);
            img.fill(Qt::white);
            {
                QPainter p(&img);
                const auto [c1, c2] = StyleDefaultColours(style);
                DrawStyledText(p, style, QString::fromStdString(t.text), t.font, false, QRectF(30, 30, 0, 0), c1, c2,
                               alpha);
            }
            const QRect box(30, 30, e.width, e.height);
            if (alpha == 0) {
                EXPECT_EQ(Changed(img, img.rect(), qRgb(255, 255, 255)), 0);
                continue;
            }
            EXPECT_GT(Changed(img, box, qRgb(255, 255, 255)), e.width * e.height / 20);
            // Shadows land a few pixels off at most; nothing far outside the box.
            EXPECT_EQ(Changed(img, QRect(0, 0, 24, img.height()), qRgb(255, 255, 255)), 0);
            EXPECT_EQ(Changed(img, QRect(0, 0, img.width(), 24), qRgb(255, 255, 255)), 0);
            // Each style looks like no other.
            for (const QImage& other : looks)
                EXPECT_NE(img, other);
            looks.push_back(img);
        }
    }
}

TEST(TextDrawing, LongTextIsDrawnToTheEnd)
{
    // 284 characters: the last line starts after character 259.
    TextTemplate t = Template(QString(QStringLiteral(".\n")).repeated(140).toStdString() + "MMMM");
    t.font.height = 12;
    const TextExtent e = MeasureText(t);
    ASSERT_GT(e.height, 140 * 9);
    QImage img(e.width + 20, e.height + 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        DrawStyledText(p, 0, QString::fromStdString(t.text), t.font, false, QRectF(0, 0, 0, 0), t.colour1,
                       t.colour2, 255);
    }
    const int line = e.height / 141;
    EXPECT_GT(Changed(img, QRect(0, e.height - line, e.width, line), qRgb(255, 255, 255)), 10);
}

TEST(TextObjects, DirectionArithmetic)
{
    const QPointF c(100, 100);
    EXPECT_FLOAT_EQ(Direction(QPointF(50, 100), c), 0.0f);     // left
    EXPECT_FLOAT_EQ(Direction(QPointF(100, 40), c), 90.0f);    // straight up: θ = 90
    EXPECT_FLOAT_EQ(Direction(QPointF(150, 100), c), 180.0f);  // right
    EXPECT_FLOAT_EQ(Direction(QPointF(100, 160), c), -90.0f);  // straight down
    EXPECT_NEAR(Direction(QPointF(50, 50), c), 45.0f, 1e-4);
    EXPECT_NEAR(Direction(QPointF(50, 150), c), -45.0f, 1e-4);
    EXPECT_NEAR(Direction(QPointF(150, 150), c), -135.0f, 1e-4);
}

TEST(TextObjects, AddPlacesSelectsAndRecordsOneStep)
{
    TextCanvas t;
    std::string shown;
    QObject::connect(&t.canvas, &CPhotoCanvas::textAdded, [&](const QString& s) { shown = s.toStdString(); });
    t.canvas.setBrushMode(true);
    t.canvas.addTextObject(Template("Hello"));
    t.canvas.addTextObject(Template("World"));
    ASSERT_EQ(t.doc().objects().size(), 2u);
    EXPECT_EQ(t.doc().objectKinds().back(), ObjectKind::Text);
    EXPECT_FALSE(t.object(0).selected);
    EXPECT_TRUE(t.object(1).selected);
    // In the middle of the photo (200 × 120, all of it in view).
    EXPECT_EQ(t.object(1).textWidth, MeasureText(Template("World")).width);
    EXPECT_EQ(t.object(1).x, (200 - t.object(1).textWidth) / 2);
    EXPECT_EQ(t.object(1).y, (120 - t.object(1).textHeight) / 2);
    EXPECT_FALSE(t.canvas.brushMode());
    EXPECT_EQ(t.doc().history().size(), 2u);
    EXPECT_EQ(t.doc().history().back().snapshotIndex, -1);
    EXPECT_EQ(shown, "World");

    // Zoomed in and scrolled so that the text is larger than what is in
    // view: 20 screen pixels inside the visible part.
    t.canvas.setZoom(8.0f);
    t.canvas.onScroll(false, ScrollThumbPosition, 200);
    t.canvas.addTextObject(Template("Third"));
    ASSERT_GT(t.object(2).textWidth, t.canvas.visibleRect().width() - 5);
    EXPECT_EQ(t.object(2).x, int(t.canvas.visibleRect().left() + 2.5));

    // Without a photo nothing is added.
    EditorSession none;
    CPhotoCanvas empty(none);
    empty.resize(200, 200);
    empty.addTextObject(Template("x"));
    EXPECT_TRUE(none.document().objects().empty());
    EXPECT_EQ(none.document().historyPos(), -1);
}

TEST(TextObjects, SelectingAndMoving)
{
    TextCanvas t;
    t.add(Template("Move"));
    t.add(Template("Top"));
    std::string shown;
    QObject::connect(&t.canvas, &CPhotoCanvas::textSelected, [&](const QString& s) { shown = s.toStdString(); });
    const size_t steps = t.doc().history().size();

    // Empty canvas: the selection stays.
    t.canvas.pressAt(QPoint(390, 290));
    t.canvas.releaseAt(QPoint(390, 290));
    EXPECT_TRUE(t.object(1).selected);

    // The topmost object under the point wins; a click alone records nothing.
    const QPoint inside(100 + 20 + 5, 90 + 20 + 5);
    t.canvas.pressAt(inside);
    t.canvas.releaseAt(inside);
    EXPECT_TRUE(t.object(1).selected);
    EXPECT_EQ(shown, "Top");
    EXPECT_EQ(t.doc().history().size(), steps);

    // Move the lower one by a part that only it covers.
    CanvasObject& lower = t.object(0);
    const QPoint onLower(100 + 20 + lower.textWidth - 3, 90 + 20 + lower.textHeight / 2);
    ASSERT_EQ(t.canvas.textObjects().objectAt(onLower, t.canvas.objectView()), 0);
    t.dragFrom(onLower, onLower + QPoint(30, -12));
    EXPECT_TRUE(t.object(0).selected);
    EXPECT_FALSE(t.object(1).selected);
    EXPECT_EQ(shown, "Move");
    EXPECT_EQ(t.object(0).x, 50);
    EXPECT_EQ(t.object(0).y, 8);
    EXPECT_EQ(t.doc().history().size(), steps + 1);

    // At zoom 2 the object moves half as far in photo pixels.
    t.canvas.setZoom(2.0f);
    const QPointF c = t.centre();
    t.dragFrom(c.toPoint(), c.toPoint() + QPoint(21, 10));
    EXPECT_EQ(t.object(0).x, 60);
    EXPECT_EQ(t.object(0).y, 13);
}

TEST(TextObjects, CornerResizeStopsAtTheMinimumAndKeepsTheCentre)
{
    TextCanvas t;
    t.add(Template("Resize me"));
    const QPointF before = t.centre();
    const size_t steps = t.doc().history().size();
    // Handle 4 pulled out: scale = distance / half-diagonal.
    const CanvasObject o = t.object();
    const int halfW = o.textWidth / 2, halfH = o.textHeight / 2;
    const int l = int(std::sqrt(double(halfW * halfW + halfH * halfH)));
    const QPoint out = before.toPoint() + QPoint(halfW * 2, halfH * 2);
    t.dragFrom(t.handle(4), out);
    const double dx = out.x() - before.x(), dy = out.y() - before.y();
    EXPECT_FLOAT_EQ(t.object().scale, float(int(std::sqrt(dx * dx + dy * dy))) / float(l));
    EXPECT_NEAR(t.centre().x(), before.x(), 1.0);
    EXPECT_NEAR(t.centre().y(), before.y(), 1.0);
    EXPECT_EQ(t.doc().history().size(), steps + 1);

    // Handle 0 dragged onto the centre: the smallest size, centre unchanged.
    t.dragFrom(t.handle(0), t.centre().toPoint());
    EXPECT_FLOAT_EQ(t.object().scale, 16.0f / float(o.textWidth + o.textHeight));
    EXPECT_NEAR(t.centre().x(), before.x(), 1.0);
    EXPECT_NEAR(t.centre().y(), before.y(), 1.0);

    // Side handle 5: width based.
    t.dragFrom(t.handle(5), before.toPoint() + QPoint(halfW, 0));
    EXPECT_NEAR(t.object().scale, 1.0f, 0.05f);
}

TEST(TextObjects, RotationHandleTenDraggedStraightUp)
{
    TextCanvas t;
    t.add(Template("Spin"));
    t.canvas.setZoom(2.0f);  // whole-pixel centre, so "straight up" has dx = 0
    const QPointF c = t.centre();
    ASSERT_EQ(c.x(), std::floor(c.x()));
    const CanvasObject o = t.object();
    t.dragFrom(t.handle(10), QPoint(int(c.x()), int(c.y()) - 80));
    const double halfW = 2.0 * o.textWidth / 2, halfH = 2.0 * o.textHeight / 2;
    // Straight up is 90; the top-right corner lies 180 − atan(halfH / halfW).
    const double expected = 90.0 - (180.0 - std::atan(halfH / halfW) * 57.2957763671875);
    EXPECT_NEAR(t.object().angle, expected, 1e-3);
    EXPECT_LT(t.object().angle, 0.0f);
    // The angle is set, not added: dragging back to the corner gives 0.
    t.dragFrom(t.handle(10), (c + QPointF(halfW, -halfH)).toPoint());
    EXPECT_NEAR(t.object().angle, 0.0f, 1.0f);
}

TEST(TextObjects, HandlesFollowTheRotationAndAreNotExported)
{
    TextCanvas t;
    t.add(Template("Turn"));
    t.object().angle = 90.0f;
    t.object().y = 60;
    t.canvas.refresh();
    const QImage shown = t.canvas.renderToImage();
    const QPoint h0 = t.handle(0);
    // Rotated a quarter turn: handle 0 sits to the top-right of the centre.
    EXPECT_GT(h0.x(), t.centre().x());
    EXPECT_LT(h0.y(), t.centre().y());
    EXPECT_EQ(shown.pixel(h0), qRgb(0x96, 0xC8, 0xFF));
    EXPECT_EQ(t.canvas.textObjects().handleAt(h0, t.canvas.objectView()), 0);

    // Export: text drawn, handles not.
    const PixelBuffer out = t.session.composite();
    const QPoint inPhoto = h0 - QPoint(100, 90);
    ASSERT_TRUE(QRect(0, 0, 200, 120).contains(inPhoto));
    EXPECT_EQ(out.at(inPhoto.x(), inPhoto.y())[0], 128);
    EXPECT_NE(out.pixels, t.doc().photo().pixels);
    // Brush mode hides the handles.
    t.canvas.setBrushMode(true);
    t.canvas.refresh();
    EXPECT_NE(t.canvas.renderToImage().pixel(h0), qRgb(0x96, 0xC8, 0xFF));
}

TEST(TextObjects, TextPastThePhotoEdgeIsShownAsItIsSaved)
{
    TextCanvas t;
    t.add(Template("Past the edge", 1));
    // Across the right and bottom edges of the 200 × 120 photo at (100, 90).
    t.object().x = 120;
    t.object().y = 95;
    t.object().scale = 1.5f;
    t.canvas.setBrushMode(true);  // no handles
    t.canvas.refresh();
    const QImage shown = t.canvas.renderToImage();
    const PixelBuffer saved = t.session.composite();
    ASSERT_EQ(saved.width, 200);
    ASSERT_NE(saved.pixels, t.doc().photo().pixels);

    // Inside the photo the canvas shows the saved pixels (the surface's last
    // row may round a gradient one level apart)...
    int differing = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 200; ++x) {
            const uint8_t* p = saved.at(x, y);
            const QRgb c = shown.pixel(100 + x, 90 + y);
            differing += std::abs(qRed(c) - p[2]) > 1 || std::abs(qGreen(c) - p[1]) > 1 || std::abs(qBlue(c) - p[0]) > 1;
        }
    EXPECT_EQ(differing, 0);
    // ...and outside it nothing of the text: the same as without the object.
    t.session.deleteSelectedObject();
    const QImage bare = t.canvas.renderToImage();
    const QRect photo(100, 90, 200, 120);
    int outside = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            outside += !photo.contains(x, y) && shown.pixel(x, y) != bare.pixel(x, y);
    EXPECT_EQ(outside, 0);
}

TEST(TextObjects, TemplateAndTextChanges)
{
    TextCanvas t;
    TextTemplate templ = Template("Abc");
    t.add(templ);
    t.object().selected = false;
    const size_t steps = t.doc().history().size();

    // Nothing selected: nothing changes and nothing is recorded.
    templ.style = 5;
    t.canvas.applyTemplateToSelected(templ);
    templ.text = "Longer text";
    t.canvas.updateSelectedText(templ);
    EXPECT_EQ(t.object().style, 0);
    EXPECT_EQ(t.object().text, "Abc");
    EXPECT_EQ(t.doc().history().size(), steps);
    EXPECT_EQ(t.canvas.textObjects().canvasTemplate().style, 5);

    // Selected: the settings apply, the size stays (a new face is not measured).
    t.object().selected = true;
    const int width = t.object().textWidth;
    templ.font.faceName = "DejaVu Serif";
    templ.font.height = 90;
    templ.colour1 = 0x123456;
    templ.transparency = 0.5f;
    t.canvas.applyTemplateToSelected(templ);
    EXPECT_EQ(t.object().style, 5);
    EXPECT_EQ(t.object().font.faceName, "DejaVu Serif");
    EXPECT_EQ(t.object().font.height, 48);
    EXPECT_EQ(t.object().text, "Abc");
    EXPECT_EQ(t.object().colour1, 0x123456u);
    EXPECT_FLOAT_EQ(t.object().transparency, 0.5f);
    EXPECT_EQ(t.object().textWidth, width);
    EXPECT_EQ(t.doc().history().size(), steps + 1);

    // Typing: the text and its size change, no step.
    templ.text = "Abc def ghi";
    t.canvas.updateSelectedText(templ);
    EXPECT_EQ(t.object().text, "Abc def ghi");
    EXPECT_GT(t.object().textWidth, width);
    EXPECT_EQ(t.doc().history().size(), steps + 1);
}

TEST(TextObjects, FullyTransparentTextDrawsNothingButCanBeSelected)
{
    TextCanvas t;
    TextTemplate templ = Template("Ghost", 2);
    templ.transparency = 1.0f;
    t.add(templ);
    t.object().selected = false;
    EXPECT_EQ(t.session.composite().pixels, t.doc().photo().pixels);
    const QPoint inside = t.centre().toPoint();
    t.canvas.pressAt(inside);
    t.canvas.releaseAt(inside);
    EXPECT_TRUE(t.object().selected);
}

TEST(TextObjects, DeleteMergeDownAndUndoRestoreObjectsExactly)
{
    TextCanvas t;
    t.add(Template("First", 4));
    t.add(Template("Second", 6));
    t.object(1).angle = 30.0f;
    t.object(1).scale = 1.5f;
    t.session.recordObjectStep();
    const std::vector<CanvasObject> objects = t.doc().objects();
    const PixelBuffer photo = t.doc().photo();

    // Nothing selected: delete only repaints.
    t.object(1).selected = false;
    const size_t steps = t.doc().history().size();
    t.session.deleteSelectedObject();
    EXPECT_EQ(t.doc().objects().size(), 2u);
    EXPECT_EQ(t.doc().history().size(), steps);
    t.object(1).selected = true;

    t.session.mergeText();
    EXPECT_TRUE(t.doc().objects().empty());
    EXPECT_NE(t.doc().photo().pixels, photo.pixels);
    EXPECT_EQ(t.doc().strokeBase().pixels, t.doc().photo().pixels);
    EXPECT_GE(t.doc().history().back().snapshotIndex, 0);
    EXPECT_EQ(t.doc().history().size(), steps + 1);

    t.session.undo();
    ASSERT_EQ(t.doc().objects().size(), 2u);
    for (size_t i = 0; i < 2; ++i)
        EXPECT_EQ(t.doc().objects()[i].historyCopy(), objects[i].historyCopy());
    EXPECT_EQ(t.doc().photo().pixels, photo.pixels);
    t.session.redo();
    EXPECT_TRUE(t.doc().objects().empty());

    // Undo past the additions returns to no objects; history copies share nothing.
    t.session.undo();
    t.object(0).text = "changed";
    EXPECT_EQ(t.doc().history()[size_t(t.doc().historyPos())].objects[0].text, "First");
    t.session.undo();
    t.session.undo();
    t.session.undo();
    EXPECT_TRUE(t.doc().objects().empty());
}
