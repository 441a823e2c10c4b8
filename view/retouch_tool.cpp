#include "view/retouch_tool.h"

#include "session/editor_session.h"
#include "view/photo_canvas.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace ombrik {

namespace {

// The marked area's overlay: a translucent red, premultiplied.
constexpr QRgb kOverlay = qRgba(120, 33, 33, 120);

} // namespace

void RetouchTool::setKind(Kind kind)
{
    if (kind != m_kind)
        dropArea();
    m_kind = kind;
    m_drawing = false;
}

void RetouchTool::reset()
{
    m_mask.clear();
    m_overlay = QImage();
    m_drawing = false;
    m_hasLast = false;
    m_hasSource = false;
    m_hasOffset = false;
}

int RetouchTool::brushSize() const
{
    return m_session.retouchBrushSize();
}

QRect RetouchTool::outlineAt(QPoint p) const
{
    const int side = std::max(2, int(brushSize() * m_canvas.zoom()));
    return QRect(p.x() - side / 2, p.y() - side / 2, side, side);
}

void RetouchTool::ensureArea()
{
    const CanvasDocument& doc = m_session.document();
    const size_t n = size_t(doc.width()) * size_t(doc.height());
    if (m_mask.size() == n && m_overlay.width() == doc.width() && m_overlay.height() == doc.height())
        return;
    m_mask.assign(n, 0);
    m_overlay = QImage(doc.width(), doc.height(), QImage::Format_ARGB32_Premultiplied);
    m_overlay.fill(Qt::transparent);
}

void RetouchTool::stampDisk(QPointF c)
{
    ensureArea();
    const int w = m_overlay.width(), h = m_overlay.height();
    const double r = brushSize() / 2.0;
    const int x0 = std::max(0, int(std::floor(c.x() - r))), x1 = std::min(w - 1, int(std::ceil(c.x() + r)));
    const int y0 = std::max(0, int(std::floor(c.y() - r))), y1 = std::min(h - 1, int(std::ceil(c.y() + r)));
    for (int y = y0; y <= y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(m_overlay.scanLine(y));
        for (int x = x0; x <= x1; ++x) {
            const double dx = x + 0.5 - c.x(), dy = y + 0.5 - c.y();
            if (dx * dx + dy * dy > r * r)
                continue;
            m_mask[size_t(y) * w + x] = 1;
            line[x] = kOverlay;
        }
    }
}

void RetouchTool::stampLine(QPointF from, QPointF to)
{
    const double step = std::max(1.0, brushSize() / 6.0);
    const double length = std::hypot(to.x() - from.x(), to.y() - from.y());
    const int steps = std::max(1, int(std::ceil(length / step)));
    for (int k = 1; k <= steps; ++k)
        stampDisk(from + (to - from) * (double(k) / steps));
}

void RetouchTool::cloneLine(QPointF from, QPointF to)
{
    const double step = std::max(1.0, brushSize() / 8.0);
    const double length = std::hypot(to.x() - from.x(), to.y() - from.y());
    const int steps = std::max(1, int(std::ceil(length / step)));
    IntRect changed;
    for (int k = 1; k <= steps; ++k) {
        const QPointF at = from + (to - from) * (double(k) / steps);
        const IntRect r = m_session.cloneDab(int(std::lround(at.x())), int(std::lround(at.y())));
        if (r.empty())
            continue;
        changed = changed.empty() ? r
                                  : IntRect{std::min(changed.left, r.left), std::min(changed.top, r.top),
                                            std::max(changed.right, r.right), std::max(changed.bottom, r.bottom)};
    }
    m_canvas.refreshPhotoArea(changed);
}

void RetouchTool::press(QPoint p, Qt::KeyboardModifiers modifiers)
{
    if (!m_session.hasPhoto())
        return;
    const QPointF at = m_canvas.photoPointF(p);
    m_hoverShown = false;
    if (m_kind == Kind::Clone) {
        if (modifiers & Qt::ControlModifier) {
            m_source = at;
            m_hasSource = true;
            m_hasOffset = false;  // the next stroke aligns to the new source
            m_canvas.update();
            return;
        }
        if (!m_hasSource) {
            emit m_canvas.noticeRequested(CPhotoCanvas::tr("Ctrl+click where the clone should copy from first"));
            return;
        }
        if (!m_hasOffset) {
            m_offset = QPoint(int(std::lround(m_source.x() - at.x())), int(std::lround(m_source.y() - at.y())));
            m_hasOffset = true;
        }
        m_session.beginClone(m_offset.x(), m_offset.y());
        m_drawing = true;
        m_last = at;
        cloneLine(at, at);
        m_canvas.update();
        return;
    }
    if ((modifiers & Qt::ShiftModifier) && m_hasLast)
        stampLine(m_last, at);
    else
        stampDisk(at);
    m_drawing = true;
    m_last = at;
    m_hasLast = true;
    m_canvas.update();
}

void RetouchTool::move(QPoint p)
{
    const QRect old = outlineAt(m_hover);
    m_hover = p;
    m_hoverShown = m_session.hasPhoto();
    if (m_drawing) {
        const QPointF at = m_canvas.photoPointF(p);
        if (m_kind == Kind::Clone)
            cloneLine(m_last, at);
        else
            stampLine(m_last, at);
        m_last = at;
        m_canvas.update();
        return;
    }
    // Only the outline (and the clone source's cross-hair, which follows it) moves.
    if (m_kind == Kind::Clone && m_hasSource)
        m_canvas.update();
    else
        m_canvas.update(old.united(outlineAt(p)).adjusted(-2, -2, 2, 2));
}

void RetouchTool::leave()
{
    if (!m_hoverShown)
        return;
    m_hoverShown = false;
    m_canvas.update();
}

void RetouchTool::release(QPoint p, Qt::KeyboardModifiers modifiers)
{
    if (!m_drawing)
        return;
    move(p);
    m_drawing = false;
    if (m_kind == Kind::Clone) {
        m_session.endClone();
        return;
    }
    // With Shift held more strokes may follow; the fill waits for it to be let go.
    if (!(modifiers & Qt::ShiftModifier))
        fill();
}

void RetouchTool::shiftReleased()
{
    if (m_kind == Kind::Heal && !m_drawing && !m_mask.empty())
        fill();
}

bool RetouchTool::dropArea()
{
    if (m_mask.empty())
        return false;
    m_mask.clear();
    m_overlay = QImage();
    m_canvas.update();
    return true;
}

void RetouchTool::fill()
{
    std::vector<uint8_t> area = std::move(m_mask);
    m_mask.clear();
    m_overlay = QImage();
    const CanvasDocument& doc = m_session.document();
    if (area.size() != size_t(doc.width()) * size_t(doc.height()))
        return;  // the photo changed size meanwhile
    // The overlay stays in view while the fill runs.
    m_canvas.repaint();
    const HealOutcome outcome = m_session.heal(area);
    if (outcome == HealOutcome::TooLarge)
        emit m_canvas.noticeRequested(
            CPhotoCanvas::tr("The area is too large to heal: at least a third of the photo must be left to fill it from"));
    m_canvas.update();
}

void RetouchTool::paint(QPainter& p) const
{
    const CanvasDocument& doc = m_session.document();
    if (!doc.hasPhoto())
        return;
    p.save();
    if (!m_overlay.isNull() && m_overlay.width() == doc.width() && m_overlay.height() == doc.height()) {
        const QRectF target(m_canvas.screenPointF(QPointF(0, 0)), m_canvas.screenPointF(QPointF(doc.width(), doc.height())));
        p.drawImage(target, m_overlay);
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    auto twoTone = [&](const std::function<void()>& figure) {
        p.setPen(QPen(QColor(255, 255, 255, 220), 3));
        figure();
        p.setPen(QPen(QColor(20, 20, 30), 1));
        figure();
    };
    if (m_hoverShown || m_drawing) {
        const QRect r = outlineAt(m_hover);
        twoTone([&] { p.drawEllipse(QRectF(r)); });
    }
    if (m_kind == Kind::Clone && m_hasSource) {
        // The source: where the next dab copies from.
        QPointF s = m_source;
        if (m_hasOffset && (m_hoverShown || m_drawing))
            s = m_canvas.photoPointF(m_hover) + QPointF(m_offset);
        const QPointF c = m_canvas.screenPointF(s);
        twoTone([&] {
            p.drawLine(c + QPointF(-11, 0), c + QPointF(-3, 0));
            p.drawLine(c + QPointF(3, 0), c + QPointF(11, 0));
            p.drawLine(c + QPointF(0, -11), c + QPointF(0, -3));
            p.drawLine(c + QPointF(0, 3), c + QPointF(0, 11));
            p.drawEllipse(c, 6.0, 6.0);
        });
    }
    p.restore();
}

// --- The canvas's side ---------------------------------------------------------------

void CPhotoCanvas::setRetouch(Retouch tool)
{
    if (tool == m_retouchKind)
        return;
    if (tool != Retouch::None)
        endGeometryMode();
    if (!m_retouch)
        m_retouch = std::make_unique<RetouchTool>(*this, m_session);
    m_retouchKind = tool;
    if (tool == Retouch::None)
        m_retouch->dropArea();
    else
        m_retouch->setKind(tool == Retouch::Heal ? RetouchTool::Kind::Heal : RetouchTool::Kind::Clone);
    m_outlineShown = false;
    update();
    emit retouchChanged();
}

bool CPhotoCanvas::retouchActive() const
{
    return m_retouchKind != Retouch::None && m_retouch && m_brushMode && !m_previewMode && doc().hasPhoto();
}

} // namespace ombrik
