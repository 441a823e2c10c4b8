// Text objects as they lie on a view of the photo (or on the saved picture,
// at zoom 1): their transforms, the twelve selection handles and drawing.
#pragma once

#include "canvas/canvas_object.h"
#include "canvas/text_drawing.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QTransform>

#include <array>

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

// The scaled object's size on screen, truncated.
QSize ObjectScreenSize(const CanvasObject& object, float zoom);
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

} // namespace ombrik
