// The canvas's mouse and keys: brush strokes, warp strokes, light placement,
// stamps, the text tool and the geometry tools, panning, wheel zoom, and the
// cursors that show what a press would do.
#include "view/photo_canvas.h"

#include "view/retouch_tool.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace ombrik {

namespace {

// Whole-photo filters have no brush on the canvas; lights and flares are placed.
bool IsFilterId(EffectId id)
{
    const EffectInfo* info = FindEffect(id);
    return info && info->mode == ApplyMode::WholeImage;
}

bool IsLightPlacementId(EffectId id)
{
    const EffectInfo* info = FindEffect(id);
    return info && info->mode == ApplyMode::LightPlacement;
}

// Draws a cursor figure twice, a light halo under a dark line, so that it
// shows on dark and light photos alike; the hot spot is the centre.
QCursor MakeCursor(const std::function<void(QPainter&)>& figure)
{
    // Drawn for the screen's device pixel ratio, so it stays crisp when scaled.
    const qreal ratio = std::max<qreal>(1.0, qApp ? qApp->devicePixelRatio() : 1.0);
    QPixmap pm(QSize(32, 32) * ratio);
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 230), 3, Qt::SolidLine, Qt::RoundCap));
    figure(p);
    p.setPen(QPen(QColor(20, 20, 30), 1, Qt::SolidLine, Qt::RoundCap));
    figure(p);
    p.end();
    return QCursor(pm, 16, 16);
}

} // namespace

const QCursor& CPhotoCanvas::brushCursor()
{
    // A small ring with four ticks: the brush centre, leaving the photo visible.
    static const QCursor cursor = MakeCursor([](QPainter& p) {
        p.drawEllipse(QPointF(16, 16), 5, 5);
        p.drawLine(QPointF(16, 3), QPointF(16, 8));
        p.drawLine(QPointF(16, 24), QPointF(16, 29));
        p.drawLine(QPointF(3, 16), QPointF(8, 16));
        p.drawLine(QPointF(24, 16), QPointF(29, 16));
        p.drawPoint(QPointF(16, 16));
    });
    return cursor;
}

const QCursor& CPhotoCanvas::lightCursor()
{
    // A small sun: the light or flare goes where its centre is.
    static const QCursor cursor = MakeCursor([](QPainter& p) {
        p.drawEllipse(QPointF(16, 16), 4, 4);
        for (int k = 0; k < 8; ++k) {
            const double a = k * std::numbers::pi / 4;
            const double inner = k % 2 ? 7.5 : 7.0, outer = k % 2 ? 11.0 : 14.0;
            p.drawLine(QPointF(16 + inner * std::cos(a), 16 + inner * std::sin(a)),
                       QPointF(16 + outer * std::cos(a), 16 + outer * std::sin(a)));
        }
        p.drawPoint(QPointF(16, 16));
    });
    return cursor;
}

// --- Mouse -----------------------------------------------------------------------

void CPhotoCanvas::setPhotoPicker(std::function<void(QPoint)> picker)
{
    m_picker = std::move(picker);
    if (m_picker)
        setCursor(Qt::CrossCursor);
    else
        unsetCursor();
}

bool CPhotoCanvas::showsBrushOutline() const
{
    const EffectId id = doc().effectId();
    return m_brushMode && !m_previewMode && doc().hasPhoto() && !IsFilterId(id) && !IsLightPlacementId(id)
        && !m_dragActive && m_geometryMode == GeometryMode::None && !retouchActive();
}

QRect CPhotoCanvas::outlineRect(QPoint centre) const
{
    const int side = std::max(1, int(doc().brushSize() * m_zoom));
    return QRect(centre.x() - side / 2, centre.y() - side / 2, side, side);
}

void CPhotoCanvas::updateCursor(QPoint p)
{
    const EffectId id = doc().effectId();
    if (!m_brushMode || m_previewMode || !doc().hasPhoto()) {
        unsetCursor();
        return;
    }
    if (retouchActive()) {
        setCursor(brushCursor());
        return;
    }
    if (IsLightPlacementId(id)) {
        setCursor(lightCursor());
        return;
    }
    const bool overPhoto = m_photoRect.contains(p + QPoint(m_scrollX, m_scrollY));
    if (!IsFilterId(id) && overPhoto)
        setCursor(brushCursor());
    else
        unsetCursor();
}

void CPhotoCanvas::dabAtScreen(QPoint m)
{
    if (m_zoomedWidth <= 0)
        return;
    const int64_t size = doc().brushTip().width;
    const int64_t w = doc().width();
    const int64_t left = w * (m_scrollX + m.x() - m_photoRect.left()) / m_zoomedWidth - size / 2;
    const int64_t top = w * (m_scrollY + m.y() - m_photoRect.top()) / m_zoomedWidth - size / 2;
    // Far outside the photo there is nothing to do (and nothing to overflow).
    if (left > w || top > doc().height() || left + size < 0 || top + size < 0)
        return;
    m_session.dab(int(left), int(top));
}

void CPhotoCanvas::strokeTo(QPoint m)
{
    const QPoint last = m_strokePoints.empty() ? m : m_strokePoints.back();
    const int s = std::max(1, int(int64_t(doc().brushSize() / 4) * m_zoomedWidth / std::max(1, doc().width())));
    const int dx = m.x() - last.x(), dy = m.y() - last.y();
    const double distance = std::sqrt(double(dx) * dx + double(dy) * dy);
    if (distance <= s) {
        dabAtScreen(m);
        return;
    }
    // Dabs a quarter brush apart along the segment, stepping in proportion to
    // each axis, until the mouse point is passed.
    const double l1 = std::abs(dx) + std::abs(dy);
    const double stepX = s * dx / l1, stepY = s * dy / l1;
    const int count = int(l1 / s);
    for (int k = 1; k <= count; ++k)
        dabAtScreen(QPoint(last.x() + int(stepX * k), last.y() + int(stepY * k)));
}

void CPhotoCanvas::pressAt(QPoint p, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    if (m_previewMode) {
        emit leavePreviewRequested();
        return;
    }
    // A middle drag, or a left drag with Space held, pans; no tool sees it.
    if (!m_dragActive && !m_text.dragging()
        && (button == Qt::MiddleButton || (button == Qt::LeftButton && m_spaceHeld))) {
        m_panning = true;
        m_panButton = button;
        m_panStart = p;
        m_panScrollStart = QPoint(m_scrollX, m_scrollY);
        if (m_outlineShown) {
            m_outlineShown = false;
            update(outlineRect(m_outlineCentre));
        }
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    if (m_panning)
        return;
    if (button == Qt::LeftButton && m_picker) {
        const QPoint at = photoPointAt(p);
        if (doc().hasPhoto() && QRect(0, 0, doc().width(), doc().height()).contains(at))
            m_picker(at);  // may end the picking
        return;
    }
    if (button == Qt::LeftButton && geometryPress(p))
        return;
    if (button == Qt::LeftButton && retouchActive() && !m_dragActive) {
        m_retouch->press(p, modifiers);
        return;
    }
    if (button == Qt::LeftButton && !m_brushMode) {
        if (m_text.press(p, objectView()))
            refresh();
        return;
    }
    if (button != Qt::LeftButton || !doc().hasPhoto() || !m_brushMode)
        return;
    const EffectId id = doc().effectId();
    const QPoint virt = p + QPoint(m_scrollX, m_scrollY);
    if (!IsLightPlacementId(id) && !m_photoRect.contains(virt))
        return;
    m_strokeStart = photoPointAt(p);
    m_dragActive = true;
    m_strokePoints.clear();
    m_bandShown = false;
    if (doc().applyMode() == ApplyMode::WarpBrush)
        m_session.beginWarp(m_strokeStart.x(), m_strokeStart.y());
    if (doc().applyMode() == ApplyMode::LightPlacement) {
        m_lightPointer = p;
        m_flareRadius = 0;
    }
    if (m_outlineShown) {
        m_outlineShown = false;
        update(outlineRect(m_outlineCentre));
    }
}

void CPhotoCanvas::moveTo(QPoint p)
{
    if (m_panning) {
        const QPoint target = m_panScrollStart - (p - m_panStart);
        scrollBy(target.x() - m_scrollX, target.y() - m_scrollY);
        return;
    }
    if (geometryMove(p))
        return;
    if (m_picker) {
        setCursor(Qt::CrossCursor);
        return;
    }
    if (retouchActive() && !m_dragActive) {
        updateCursor(p);
        m_retouch->move(p);
        return;
    }
    if (!m_brushMode && !m_previewMode) {
        if (m_text.drag(p, objectView()))
            refresh();
        const std::optional<QCursor> cursor = m_text.hoverCursor(p, objectView());
        cursor ? setCursor(*cursor) : unsetCursor();
        return;
    }
    if (m_dragActive) {
        switch (doc().applyMode()) {
        case ApplyMode::WarpBrush: {
            const QPoint at = photoPointAt(p);
            refreshPhotoArea(m_session.warpTo(at.x(), at.y()));
            return;
        }
        case ApplyMode::LightPlacement:
            // The previous band goes with the repaint from the back buffer.
            m_lightPointer = p;
            m_bandShown = true;
            update();
            return;
        case ApplyMode::StampBrush:
            dabAtScreen(p);
            break;
        default:
            strokeTo(p);
            break;
        }
        m_strokePoints.push_back(p);
        refresh();
        return;
    }
    updateCursor(p);
    if (showsBrushOutline()) {
        const QRect old = outlineRect(m_outlineCentre);
        m_outlineCentre = p;
        const bool wasShown = m_outlineShown;
        m_outlineShown = true;
        update(wasShown ? old.united(outlineRect(p)) : outlineRect(p));
    }
}

void CPhotoCanvas::endPan()
{
    m_panning = false;
    m_panButton = Qt::NoButton;
    if (m_spaceHeld)
        setCursor(Qt::OpenHandCursor);
    else
        updateCursor(mapFromGlobal(QCursor::pos()));
}

void CPhotoCanvas::releaseAt(QPoint p, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    if (m_panning) {
        if (button == m_panButton) {
            moveTo(p);
            endPan();
        }
        return;
    }
    if (button != Qt::LeftButton)
        return;
    if (geometryRelease(p))
        return;
    if (m_retouch && m_retouch->dragging()) {
        m_retouch->release(p, modifiers);
        return;
    }
    if (m_text.dragging()) {
        m_text.release();
        refresh();
        return;
    }
    if (!m_dragActive)
        return;
    m_dragActive = false;
    const ApplyMode mode = doc().applyMode();
    if (mode == ApplyMode::WarpBrush) {
        const QPoint at = photoPointAt(p);
        refreshPhotoArea(m_session.endWarp(at.x(), at.y()));
        return;
    }
    if (mode == ApplyMode::LightPlacement) {
        // The final band goes into the back buffer so that it stays in view
        // while the render runs (it also sets the flare radius).
        m_bandShown = false;
        m_lightPointer = p;
        {
            QPainter band(&m_backBuffer);
            drawLightBand(band, p);
        }
        repaint();
        const QPoint release = photoPointAt(p);
        m_session.placeLight(m_strokeStart.x(), m_strokeStart.y(), release.x(), release.y(), m_flareRadius);
        return;
    }
    dabAtScreen(p);
    if (mode != ApplyMode::StampBrush)
        m_strokePoints.clear();
    m_session.endStroke();
    refresh();
}

void CPhotoCanvas::mousePressEvent(QMouseEvent* event)
{
    pressAt(event->position().toPoint(), event->button(), event->modifiers());
}

void CPhotoCanvas::mouseMoveEvent(QMouseEvent* event)
{
    moveTo(event->position().toPoint());
}

void CPhotoCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    releaseAt(event->position().toPoint(), event->button(), event->modifiers());
}

void CPhotoCanvas::leaveEvent(QEvent*)
{
    if (m_retouch)
        m_retouch->leave();
    if (m_outlineShown) {
        m_outlineShown = false;
        update(outlineRect(m_outlineCentre));
    }
}

void CPhotoCanvas::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        // One ladder step per notch, about the photo point under the cursor;
        // fine-grained wheels add up to a notch first.
        m_wheelZoomAngle += event->angleDelta().y();
        while (std::abs(m_wheelZoomAngle) >= 120) {
            const bool in = m_wheelZoomAngle > 0;
            m_wheelZoomAngle -= in ? 120 : -120;
            zoomAbout(nextZoomStep(m_zoom, in), event->position());
        }
        return;
    }
    // Touchpads send pixel deltas; wheels send angles (60 screen pixels a
    // notch). Fractions are kept so slow scrolling still moves.
    QPointF d = !event->pixelDelta().isNull() ? QPointF(event->pixelDelta()) : QPointF(event->angleDelta()) / 2.0;
    if ((event->modifiers() & Qt::ShiftModifier) && d.x() == 0)
        d = QPointF(d.y(), 0);
    else if (m_rangeY == 0 && d.x() == 0)
        d = QPointF(d.y(), 0);
    m_wheelRemainder += d;
    const int dx = int(m_wheelRemainder.x()), dy = int(m_wheelRemainder.y());
    m_wheelRemainder -= QPointF(dx, dy);
    scrollBy(-dx, -dy);
    event->accept();
}

void CPhotoCanvas::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        setSpacePan(false);
        return;
    }
    if (event->key() == Qt::Key_Backslash && !event->isAutoRepeat()) {
        setShowBefore(false);
        return;
    }
    if (event->key() == Qt::Key_Shift && !event->isAutoRepeat() && retouchActive()) {
        m_retouch->shiftReleased();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void CPhotoCanvas::keyPressEvent(QKeyEvent* event)
{
    if (m_geometryMode != GeometryMode::None) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            applyGeometryMode();
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            cancelGeometryMode();
            return;
        }
    }
    if (event->key() == Qt::Key_Delete) {
        m_session.deleteSelectedObject();
        return;
    }
    if (event->key() == Qt::Key_Escape && m_retouch && m_retouch->dropArea())
        return;
    if (event->key() == Qt::Key_Escape && m_previewMode) {
        emit leavePreviewRequested();
        return;
    }
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat())
            setSpacePan(true);
        return;
    }
    if (event->key() == Qt::Key_Backslash) {
        if (!event->isAutoRepeat())
            setShowBefore(true);
        return;
    }
    QWidget::keyPressEvent(event);
}

void CPhotoCanvas::contextMenuEvent(QContextMenuEvent*)
{
    emit contextMenuRequested();
}

} // namespace ombrik
