#include "view/text_tool.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace ombrik {

namespace {

int IntSqrt(int64_t v)
{
    if (v <= 0)
        return 0;
    auto r = int64_t(std::sqrt(double(v)));
    while (r * r > v)
        --r;
    while ((r + 1) * (r + 1) <= v)
        ++r;
    return int(r);
}

// A round arrow drawn once, for the rotation handles.
const QCursor& RotationCursor()
{
    static const QCursor cursor = [] {
        QPixmap pm(24, 24);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        for (const auto& [colour, width] : {std::pair{QColor(Qt::white), 4.0}, std::pair{QColor(Qt::black), 2.0}}) {
            p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
            p.drawArc(QRectF(5, 5, 14, 14), 60 * 16, 270 * 16);
            QPolygonF head({QPointF(15, 2), QPointF(20, 7), QPointF(13, 9)});
            p.setBrush(colour);
            p.drawPolygon(head);
        }
        return QCursor(pm, 12, 12);
    }();
    return cursor;
}

Qt::CursorShape HandleCursor(int handle)
{
    switch (handle) {
    case 0:
    case 4: return Qt::SizeFDiagCursor;
    case 1:
    case 5: return Qt::SizeHorCursor;
    case 2:
    case 6: return Qt::SizeBDiagCursor;
    default: return Qt::SizeVerCursor;
    }
}

} // namespace

void TextObjectTool::paint(QPainter& painter, const ObjectView& view, bool withHandles, const QRect& textClip)
{
    for (CanvasObject& o : m_session.liveObjects()) {
        o.screenRect = IntRect{int(view.zoom * o.x), int(view.zoom * o.y),
                               int(view.zoom * (o.x + o.textWidth * o.scale)),
                               int(view.zoom * (o.y + o.textHeight * o.scale))};
        painter.save();
        if (textClip.isValid())
            painter.setClipRect(textClip, Qt::IntersectClip);
        DrawTextObject(painter, o, view);
        painter.restore();
        if (!withHandles || !o.selected)
            continue;
        const QSize size = ObjectScreenSize(o, view.zoom);
        const auto rects = HandleRects(size.width(), size.height());
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setTransform(HandleTransform(o, view));
        painter.setPen(QPen(Qt::black, 1));
        for (int k = 0; k < kHandleCount; ++k) {
            const QRectF r = QRectF(rects[size_t(k)]).adjusted(0.5, 0.5, -0.5, -0.5);
            if (k < 8) {
                painter.setBrush(QColor(0x96, 0xC8, 0xFF));
                painter.drawRect(r);
            } else {
                painter.setBrush(QColor(0x00, 0xFF, 0x00));
                painter.drawEllipse(r);
            }
        }
        painter.restore();
    }
}

int TextObjectTool::selectedIndex() const
{
    const auto& objects = m_session.document().objects();
    for (size_t i = 0; i < objects.size(); ++i)
        if (objects[i].selected)
            return int(i);
    return -1;
}

int TextObjectTool::handleAt(QPoint p, const ObjectView& view) const
{
    const int index = selectedIndex();
    if (index < 0)
        return -1;
    const CanvasObject& o = m_session.document().objects()[size_t(index)];
    bool invertible = false;
    const QPointF local = HandleTransform(o, view).inverted(&invertible).map(QPointF(p));
    if (!invertible)
        return -1;
    const QSize size = ObjectScreenSize(o, view.zoom);
    const auto rects = HandleRects(size.width(), size.height());
    for (int k = 0; k < kHandleCount; ++k)
        if (QRectF(rects[size_t(k)]).contains(local))
            return k;
    return -1;
}

int TextObjectTool::objectAt(QPoint p, const ObjectView& view) const
{
    const auto& objects = m_session.document().objects();
    for (int i = int(objects.size()) - 1; i >= 0; --i) {
        const CanvasObject& o = objects[size_t(i)];
        const QPolygonF shape = ObjectTransform(o, view).map(QPolygonF(QRectF(0, 0, o.textWidth, o.textHeight)));
        if (shape.containsPoint(QPointF(p), Qt::OddEvenFill))
            return i;
    }
    return -1;
}

bool TextObjectTool::add(const TextTemplate& templ, QRect visibleRect, float zoom)
{
    if (!m_session.hasPhoto() || zoom <= 0)
        return false;
    CanvasObject o = templ;
    const TextExtent extent = MeasureText(o);
    o.textWidth = extent.width;
    o.textHeight = extent.height;
    o.angle = 0.0f;
    o.scale = 1.0f;
    // In the middle of what the view shows; a text larger than that starts
    // 20 screen pixels inside its top-left corner.
    const double inset = 20 / zoom;
    o.x = o.textWidth <= visibleRect.width() - 2 * inset ? visibleRect.left() + (visibleRect.width() - o.textWidth) / 2
                                                          : int(visibleRect.left() + inset);
    o.y = o.textHeight <= visibleRect.height() - 2 * inset
        ? visibleRect.top() + (visibleRect.height() - o.textHeight) / 2
        : int(visibleRect.top() + inset);
    o.dragStartX = o.dragStartY = 0;
    o.screenRect = IntRect{};
    for (CanvasObject& other : m_session.liveObjects())
        other.selected = false;
    o.selected = true;
    o.hitShapeIndex = int(m_session.liveObjects().size());
    m_session.addObject(o);
    if (showAddedText)
        showAddedText(o.text);
    return true;
}

bool TextObjectTool::applyTemplate(const TextTemplate& templ)
{
    const int index = selectedIndex();
    if (index < 0)
        return false;
    CanvasObject& o = m_session.liveObjects()[size_t(index)];
    o.font.faceName = templ.font.faceName;
    o.font.width = 0;
    o.style = templ.style;
    o.colour1 = templ.colour1;
    o.colour2 = templ.colour2;
    o.transparency = templ.transparency;
    m_session.recordObjectStep();
    return true;
}

bool TextObjectTool::updateText(const TextTemplate& templ)
{
    const int index = selectedIndex();
    if (index < 0)
        return false;
    CanvasObject& o = m_session.liveObjects()[size_t(index)];
    // Typing is not a history step, but it is a change to save.
    const bool modifies = o.text != templ.text;
    o.text = templ.text;
    const TextExtent extent = MeasureText(o);
    o.textWidth = extent.width;
    o.textHeight = extent.height;
    m_session.objectsEdited(modifies);
    return true;
}

bool TextObjectTool::press(QPoint p, const ObjectView& view)
{
    m_mode = Mode::None;
    if (!m_session.hasPhoto())
        return false;
    const int handle = handleAt(p, view);
    if (handle >= 0) {
        m_mode = Mode::Handle;
        m_handle = handle;
        m_object = selectedIndex();
        m_before = m_session.liveObjects()[size_t(m_object)];
        m_press = p;
        return true;
    }
    const int hit = objectAt(p, view);
    if (hit < 0)
        return false;  // empty canvas: the selection stays as it was
    auto& objects = m_session.liveObjects();
    for (size_t i = 0; i < objects.size(); ++i)
        objects[i].selected = int(i) == hit;
    CanvasObject& o = objects[size_t(hit)];
    o.dragStartX = o.x;
    o.dragStartY = o.y;
    m_mode = Mode::Move;
    m_object = hit;
    m_before = o;
    m_press = p;
    if (showSelectedText)
        showSelectedText(o.text);
    return true;
}

bool TextObjectTool::drag(QPoint p, const ObjectView& view)
{
    if (m_mode == Mode::None || m_object < 0 || m_object >= int(m_session.liveObjects().size()))
        return false;
    CanvasObject& o = m_session.liveObjects()[size_t(m_object)];
    const float zoom = view.zoom;
    if (m_mode == Mode::Move) {
        o.x = int((p.x() + zoom * o.dragStartX - m_press.x()) / zoom);
        o.y = int((p.y() + zoom * o.dragStartY - m_press.y()) / zoom);
    } else if (m_handle >= 8) {
        rotateTo(o, QPointF(p), view);
    } else {
        resizeTo(o, QPointF(p), view);
    }
    return true;
}

void TextObjectTool::rotateTo(CanvasObject& o, QPointF mouse, const ObjectView& view)
{
    const QPointF c = ObjectCentre(o, view);
    const double halfW = double(view.zoom) * o.textWidth * o.scale / 2;
    const double halfH = double(view.zoom) * o.textHeight * o.scale / 2;
    QPointF corner;
    switch (m_handle) {
    case 8: corner = c + QPointF(-halfW, -halfH); break;
    case 9: corner = c + QPointF(-halfW, halfH); break;
    case 10: corner = c + QPointF(halfW, -halfH); break;
    default: corner = c + QPointF(halfW, halfH); break;
    }
    o.angle = Direction(mouse, c) - Direction(corner, c);
}

void TextObjectTool::resizeTo(CanvasObject& o, QPointF mouse, const ObjectView& view)
{
    const QPointF c = ObjectCentre(o, view);
    const double dx = mouse.x() - c.x(), dy = mouse.y() - c.y();
    const int d = int(std::sqrt(dx * dx + dy * dy));
    const int64_t halfW = int64_t(o.textWidth * view.zoom / 2), halfH = int64_t(o.textHeight * view.zoom / 2);
    int l;
    if (m_handle % 2 == 0)
        l = IntSqrt(halfH * halfH + halfW * halfW);
    else if (m_handle == 1 || m_handle == 5)
        l = int(halfW);
    else
        l = int(halfH);
    if (l <= 0)
        return;
    float scale = float(d) / float(l);
    // Never smaller than 16 photo pixels of width plus height. Applied before the
    // position is recomputed, so the centre stays put at the limit too.
    const int extent = o.textWidth + o.textHeight;
    if (extent > 0 && extent * scale < kMinObjectExtent)
        scale = float(kMinObjectExtent) / float(extent);
    o.scale = scale;
    o.x = int((c.x() + view.scrollX - view.photoTopLeft.x() - double(view.zoom) * o.textWidth * scale / 2) / view.zoom);
    o.y = int((c.y() + view.scrollY - view.photoTopLeft.y() - double(view.zoom) * o.textHeight * scale / 2) / view.zoom);
}

bool TextObjectTool::release()
{
    if (m_mode == Mode::None)
        return false;
    m_mode = Mode::None;
    if (m_object < 0 || m_object >= int(m_session.liveObjects().size()))
        return false;
    const CanvasObject& o = m_session.document().objects()[size_t(m_object)];
    // A click that only selected an object is not an edit.
    if (o.x == m_before.x && o.y == m_before.y && o.scale == m_before.scale && o.angle == m_before.angle)
        return false;
    m_session.recordObjectStep();
    return true;
}

std::optional<QCursor> TextObjectTool::hoverCursor(QPoint p, const ObjectView& view) const
{
    if (m_mode == Mode::Move)
        return QCursor(Qt::SizeAllCursor);
    const int handle = m_mode == Mode::Handle ? m_handle : handleAt(p, view);
    if (handle >= 8)
        return RotationCursor();
    if (handle >= 0)
        return QCursor(HandleCursor(handle));
    const int selected = selectedIndex();
    if (selected >= 0 && objectAt(p, view) == selected)
        return QCursor(Qt::SizeAllCursor);
    return std::nullopt;
}

} // namespace ombrik
