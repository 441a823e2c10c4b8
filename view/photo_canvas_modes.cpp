// The canvas's two geometry modes, each a tool of its own (crop_tool,
// level_tool): starting and ending them, their bar over the canvas, and
// handing them the mouse and the painting while one is on.
#include "view/photo_canvas.h"

#include "view/crop_tool.h"
#include "view/level_tool.h"
#include "view/retouch_tool.h"

#include <QSlider>
#include <QFrame>
#include <QMouseEvent>
#include <QPainter>

namespace ombrik {

CPhotoCanvas::~CPhotoCanvas() = default;

const std::vector<std::pair<QString, QSizeF>>& CPhotoCanvas::cropAspects()
{
    return CropTool::Aspects();
}

QPointF CPhotoCanvas::photoPointF(QPointF screen) const
{
    return QPointF((m_scrollX + screen.x() - m_photoRect.left()) / double(m_zoom),
                   (m_scrollY + screen.y() - m_photoRect.top()) / double(m_zoom));
}

QPointF CPhotoCanvas::screenPointF(QPointF photo) const
{
    return QPointF(photo.x() * m_zoom + m_photoRect.left() - m_scrollX,
                   photo.y() * m_zoom + m_photoRect.top() - m_scrollY);
}

ModeTool* CPhotoCanvas::activeTool() const
{
    switch (m_geometryMode) {
    case GeometryMode::Crop: return m_crop.get();
    case GeometryMode::Level: return m_level.get();
    case GeometryMode::None: break;
    }
    return nullptr;
}

void CPhotoCanvas::beginCrop()
{
    if (!m_crop)
        m_crop = std::make_unique<CropTool>(*this);
    startGeometryMode(GeometryMode::Crop);
}

void CPhotoCanvas::beginLevel()
{
    if (!m_level)
        m_level = std::make_unique<LevelTool>(*this);
    startGeometryMode(GeometryMode::Level);
}

// Leaves any other mode and starts this one, with its bar over the canvas
// taking the keys (Enter, Escape); nothing without a photo or in the
// full-window preview.
void CPhotoCanvas::startGeometryMode(GeometryMode mode)
{
    if (!doc().hasPhoto() || m_previewMode)
        return;
    cancelGeometryMode();
    setRetouch(Retouch::None);
    m_geometryMode = mode;
    m_outlineShown = false;
    ModeTool* tool = activeTool();
    tool->begin();
    tool->bar()->show();
    layoutGeometryBar();
    setFocus(Qt::OtherFocusReason);
    refresh();
    emit geometryModeChanged();
}

void CPhotoCanvas::endGeometryMode()
{
    ModeTool* tool = activeTool();
    if (!tool)
        return;
    m_geometryMode = GeometryMode::None;
    tool->bar()->hide();
    tool->end();
    unsetCursor();
    refresh();
    emit geometryModeChanged();
}

void CPhotoCanvas::cancelGeometryMode()
{
    endGeometryMode();
}

bool CPhotoCanvas::applyGeometryMode()
{
    ModeTool* tool = activeTool();
    const bool changed = tool && tool->apply();
    endGeometryMode();
    return changed;
}

void CPhotoCanvas::setCropAspect(int index)
{
    if (m_crop)
        m_crop->setAspect(index);
}

int CPhotoCanvas::cropAspect() const
{
    return m_crop ? m_crop->aspect() : 0;
}

QRect CPhotoCanvas::cropRect() const
{
    return m_crop ? m_crop->rect() : QRect();
}

void CPhotoCanvas::setCropRect(const QRectF& photoRect)
{
    if (m_crop)
        m_crop->setRect(photoRect);
}

void CPhotoCanvas::setLevelAngle(double degrees)
{
    if (m_level)
        m_level->setAngle(degrees);
}

double CPhotoCanvas::levelAngle() const
{
    return m_level ? m_level->angle() : 0.0;
}

QWidget* CPhotoCanvas::geometryBar() const
{
    ModeTool* tool = activeTool();
    return tool ? tool->bar() : nullptr;
}

void CPhotoCanvas::layoutGeometryBar()
{
    QWidget* bar = geometryBar();
    if (!bar)
        return;
    bar->setStyleSheet(QStringLiteral(
        "QFrame#cropBar, QFrame#levelBar { background: rgba(36, 38, 48, 228); border-radius: 8px; }"
        "QLabel { color: #f0f0f6; } QLabel#hint { color: #a8aabb; }"));
    // A narrow canvas first drops the hint, then narrows the sliders, so that
    // nothing on the bar is cut or overlaps.
    const int room = std::max(0, width() - 24);
    QWidget* hint = bar->findChild<QWidget*>(QStringLiteral("hint"));
    const QList<QSlider*> sliders = bar->findChildren<QSlider*>();
    if (hint)
        hint->setVisible(true);
    for (QSlider* slider : sliders)
        slider->setMinimumWidth(kBarSliderWidth);
    bar->adjustSize();
    if (hint && bar->sizeHint().width() > room) {
        hint->setVisible(false);
        bar->adjustSize();
    }
    if (const int over = bar->sizeHint().width() - room; over > 0 && !sliders.isEmpty()) {
        for (QSlider* slider : sliders)
            slider->setMinimumWidth(
                std::max(kBarSliderMinimum, kBarSliderWidth - (over + int(sliders.size()) - 1) / int(sliders.size())));
        bar->adjustSize();
    }
    const int w = std::min(bar->sizeHint().width(), room);
    bar->setGeometry((width() - w) / 2, 10, w, bar->sizeHint().height());
    bar->raise();
}

bool CPhotoCanvas::geometryPress(QPoint p)
{
    ModeTool* tool = activeTool();
    return tool && tool->press(p);
}

bool CPhotoCanvas::geometryMove(QPoint p)
{
    ModeTool* tool = activeTool();
    return tool && tool->move(p);
}

bool CPhotoCanvas::geometryRelease(QPoint p)
{
    ModeTool* tool = activeTool();
    return tool && tool->release(p);
}

void CPhotoCanvas::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_geometryMode == GeometryMode::Crop && event->button() == Qt::LeftButton) {
        m_crop->doubleClick(event->position());
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

void CPhotoCanvas::paintGeometryOverlay(QPainter& p)
{
    ModeTool* tool = activeTool();
    if (!tool || !doc().hasPhoto())
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    tool->paint(p);
    p.restore();
}

} // namespace ombrik
