// The heal and clone brushes of the canvas. Heal: painting marks an area
// (shown as a translucent overlay); on release it is filled from the rest of
// the photo as one step. Shift+click draws a straight stroke from the last
// point, and while Shift is held strokes add up until it is let go.
// Clone: Ctrl+click sets the source; each stroke copies from it with the
// offset kept between strokes (aligned), one step per stroke, the source
// shown as a cross-hair.
#pragma once

#include "canvas/canvas_object.h"

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class QPainter;

namespace ombrik {

class CPhotoCanvas;
class EditorSession;

class RetouchTool {
public:
    enum class Kind { Heal, Clone };

    RetouchTool(CPhotoCanvas& canvas, EditorSession& session) : m_canvas(canvas), m_session(session) {}

    void setKind(Kind kind);
    Kind kind() const { return m_kind; }
    // A new photo: no area, no clone source.
    void reset();

    // The mouse in canvas coordinates.
    void press(QPoint p, Qt::KeyboardModifiers modifiers);
    void move(QPoint p);
    void release(QPoint p, Qt::KeyboardModifiers modifiers);
    void leave();
    bool dragging() const { return m_drawing; }
    // Shift let go: an area built with Shift held is filled.
    void shiftReleased();
    // Escape: a marked area is dropped; true when there was one.
    bool dropArea();
    void paint(QPainter& p) const;

    // The marked heal area (one byte a photo pixel; empty when none).
    const std::vector<uint8_t>& area() const { return m_mask; }
    bool hasSource() const { return m_hasSource; }
    // The clone source in photo pixels; the offset from the stroke to it.
    QPointF source() const { return m_source; }
    bool aligned() const { return m_hasOffset; }
    QPoint offset() const { return m_offset; }

private:
    int brushSize() const;
    void ensureArea();
    void stampDisk(QPointF centre);
    void stampLine(QPointF from, QPointF to);
    void cloneLine(QPointF from, QPointF to);
    void fill();
    QRect outlineAt(QPoint p) const;

    CPhotoCanvas& m_canvas;
    EditorSession& m_session;
    Kind m_kind = Kind::Heal;
    bool m_drawing = false;
    bool m_hasLast = false;
    QPointF m_last;  // photo pixels
    QPoint m_hover;
    bool m_hoverShown = false;
    // Heal: the marked area and its overlay picture.
    std::vector<uint8_t> m_mask;
    QImage m_overlay;
    // Clone.
    bool m_hasSource = false;
    QPointF m_source;
    bool m_hasOffset = false;
    QPoint m_offset;
};

} // namespace ombrik
