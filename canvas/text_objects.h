// The text objects on the canvas seen through the view: their screen
// transforms, the twelve selection handles, drawing, hit testing, and moving,
// resizing and rotating with the mouse. Owned by CPhotoCanvas, which passes the
// current layout in an ObjectView and repaints when a call reports a change.
#pragma once

#include "canvas/canvas_document.h"
#include "canvas/text_drawing.h"

#include <QCursor>
#include <QPoint>
#include <QPolygonF>
#include <QRect>
#include <QTransform>

#include <array>
#include <functional>
#include <optional>
#include <string>

class QPainter;

namespace ombrik {

// Where the photo lies on screen: zoom, photoRect's top-left (unscrolled) and
// the scroll offsets.
struct ObjectView {
    float zoom = 1.0f;
    QPoint photoTopLeft;
    int scrollX = 0;
    int scrollY = 0;
};

// Handles 0..7 resize (corners 0, 2, 4, 6; sides 1, 3, 5, 7), 8..11 rotate.
inline constexpr int kHandleCount = 12;
inline constexpr int kHandleSize = 8;
inline constexpr int kMinObjectExtent = 16;  // textWidth + textHeight at the smallest scale

// Degrees from the leftward direction, positive turning up (clockwise on screen).
float Direction(QPointF p, QPointF c);

// Object space (0, 0, textWidth, textHeight) to screen.
QTransform ObjectTransform(const CanvasObject& object, const ObjectView& view);
// The handle frame (0, 0, W, H), W and H the scaled size on screen, to screen.
QTransform HandleTransform(const CanvasObject& object, const ObjectView& view);
// The handles in the handle frame of an object W × H screen pixels large.
std::array<QRect, kHandleCount> HandleRects(int w, int h);
// The object's centre on screen.
QPointF ObjectCentre(const CanvasObject& object, const ObjectView& view);

// Draws one object (no handles) where the view puts it.
void DrawTextObject(QPainter& painter, const CanvasObject& object, const ObjectView& view);

class TextObjectTool {
public:
    explicit TextObjectTool(CanvasDocument& doc) : m_doc(doc) {}

    // The canvas's copy of the Text panel's template.
    TextTemplate& canvasTemplate() { return m_template; }
    const TextTemplate& canvasTemplate() const { return m_template; }

    // The main window's text box receives a text: after a click selected an
    // object (all selected, caret at the end, focused) and after an addition.
    std::function<void(const std::string& text)> showSelectedText;
    std::function<void(const std::string& text)> showAddedText;

    // Draws every object bottom to top, refreshes screenRect, and draws the
    // selected object's handles when asked.
    // `textClip` (device pixels, when valid) bounds the text, not the handles.
    void paint(QPainter& painter, const ObjectView& view, bool withHandles, const QRect& textClip = QRect());

    // A new selected object from the template, 20 screen pixels inside the
    // visible part of the photo; one history step. False without a photo.
    bool add(const TextTemplate& templ, QRect visibleRect, float zoom);
    // The selected object takes face, style, colours and transparency (not
    // measured again); one history step. False when nothing is selected.
    bool applyTemplate(const TextTemplate& templ);
    // The selected object takes the text and is measured again; no history step.
    bool updateText(const TextTemplate& templ);

    // Mouse in object mode. press: true when a drag started (repaint);
    // drag: true when the object changed; release: true when a step was recorded.
    bool press(QPoint p, const ObjectView& view);
    bool drag(QPoint p, const ObjectView& view);
    bool release();
    bool dragging() const { return m_mode != Mode::None; }
    // Cursor for the mouse over handles or the selected object, none elsewhere.
    std::optional<QCursor> hoverCursor(QPoint p, const ObjectView& view) const;

    // The handle under p (handles of the selected object), or -1.
    int handleAt(QPoint p, const ObjectView& view) const;
    // The topmost object whose hit shape contains p, or -1.
    int objectAt(QPoint p, const ObjectView& view) const;
    // The selected object's index, or -1.
    int selectedIndex() const;

private:
    enum class Mode { None, Move, Handle };

    void resizeTo(CanvasObject& o, QPointF mouse, const ObjectView& view);
    void rotateTo(CanvasObject& o, QPointF mouse, const ObjectView& view);

    CanvasDocument& m_doc;
    TextTemplate m_template;
    Mode m_mode = Mode::None;
    int m_handle = -1;
    int m_object = -1;
    QPoint m_press;
    // The object when the drag began, to tell whether anything changed.
    CanvasObject m_before;
};

} // namespace ombrik
