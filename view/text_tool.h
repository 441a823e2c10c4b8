// The text tool of the view: draws the text objects with the selected one's
// handles, adds objects, and moves, resizes and rotates them with the mouse.
// CPhotoCanvas passes its current layout in an ObjectView and repaints when a
// call reports a change; edits go to the session.
#pragma once

#include "canvas/text_objects.h"
#include "session/editor_session.h"

#include <QCursor>
#include <QPoint>
#include <QRect>

#include <functional>
#include <optional>
#include <string>

class QPainter;

namespace ombrik {

class TextObjectTool {
public:
    explicit TextObjectTool(EditorSession& session) : m_session(session) {}

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

    // A new selected object from the template, in the middle of the visible
    // part of the photo; one history step. False without a photo.
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

    EditorSession& m_session;
    TextTemplate m_template;
    Mode m_mode = Mode::None;
    int m_handle = -1;
    int m_object = -1;
    QPoint m_press;
    // The object when the drag began, to tell whether anything changed.
    CanvasObject m_before;
};

} // namespace ombrik
