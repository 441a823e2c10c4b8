#include "view/level_tool.h"
#include "files/pixel_image.h"

#include "engine/geometry.h"
#include "view/photo_canvas.h"

#include <QDoubleSpinBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ombrik {

namespace {

constexpr int kLevelSteps = 10;  // slider steps per degree
const QColor kDim(0, 0, 0, 135);
const QColor kPreviewFill(60, 60, 64);

} // namespace

void LevelTool::begin()
{
    if (!m_bar) {
        QHBoxLayout* row = makeBar(QStringLiteral("levelBar"), CPhotoCanvas::tr("Straighten"));
        m_slider = new QSlider(Qt::Horizontal, m_bar);
        m_slider->setRange(-45 * kLevelSteps, 45 * kLevelSteps);
        m_slider->setFocusPolicy(Qt::NoFocus);
        m_slider->setMinimumWidth(CPhotoCanvas::kBarSliderWidth);
        m_slider->setToolTip(CPhotoCanvas::tr("Turn the photo until its horizon is level"));
        row->addWidget(m_slider);
        m_spin = new QDoubleSpinBox(m_bar);
        m_spin->setRange(-45.0, 45.0);
        m_spin->setDecimals(1);
        m_spin->setSingleStep(0.1);
        m_spin->setSuffix(QStringLiteral("°"));
        m_spin->setKeyboardTracking(false);
        row->addWidget(m_spin);
        m_sizeLabel = makeSizeLabel();
        row->addWidget(m_sizeLabel);
        auto* hint = new QLabel(CPhotoCanvas::tr("or drag along the horizon"), m_bar);
        hint->setObjectName(QStringLiteral("hint"));
        row->addWidget(hint);
        addApplyAndCancel(row, CPhotoCanvas::tr("Turn the photo and cut it to the level rectangle (Enter)"));
        QObject::connect(m_slider, &QSlider::valueChanged, &m_canvas, [this](int v) {
            if (!m_syncing)
                setAngle(v / double(kLevelSteps));
        });
        QObject::connect(m_spin, &QDoubleSpinBox::valueChanged, &m_canvas, [this](double v) {
            if (!m_syncing)
                setAngle(v);
        });
    }
    m_source = PixelBuffer();
    m_previewAngle = 1e9;
    m_drawing = false;
    setAngle(0.0);
}

bool LevelTool::apply()
{
    // Less than the slider's step is no turn at all.
    return std::abs(m_angle) >= 0.05 && m_canvas.session().straighten(m_angle);
}

void LevelTool::end()
{
    m_drawing = false;
    m_source = PixelBuffer();
    m_turned = PixelBuffer();
}

void LevelTool::setAngle(double degrees)
{
    m_angle = std::clamp(std::round(degrees * kLevelSteps) / kLevelSteps, -kMaxStraightenDegrees,
                         kMaxStraightenDegrees);
    if (m_slider) {
        m_syncing = true;
        m_slider->setValue(int(std::lround(m_angle * kLevelSteps)));
        m_spin->setValue(m_angle);
        m_syncing = false;
    }
    if (m_sizeLabel) {
        const CanvasDocument& doc = m_canvas.session().document();
        const PixelSize s = StraightenedSize(doc.width(), doc.height(), m_angle);
        m_sizeLabel->setText(SizeText(s.width, s.height));
    }
    m_canvas.update();
}

bool LevelTool::press(QPoint p)
{
    m_drawing = true;
    m_lineStart = m_lineEnd = p;
    return true;
}

bool LevelTool::move(QPoint p)
{
    if (m_drawing) {
        m_lineEnd = p;
        m_canvas.update();
    }
    m_canvas.setCursor(Qt::CrossCursor);
    return true;
}

bool LevelTool::release(QPoint p)
{
    if (!m_drawing)
        return true;
    m_drawing = false;
    m_lineEnd = p;
    const double dx = m_lineEnd.x() - m_lineStart.x(), dy = m_lineEnd.y() - m_lineStart.y();
    if (std::hypot(dx, dy) >= 10.0) {
        // The line's slope on the turned preview; a steep line is taken as
        // a vertical to make upright.
        double slope = std::atan2(dy, dx) * 180.0 / std::numbers::pi;
        slope -= 90.0 * std::round(slope / 90.0);
        setAngle(m_angle - slope);
    }
    m_canvas.update();
    return true;
}

void LevelTool::paint(QPainter& p)
{
    // The photo turned live (a copy at about its size on screen), the part
    // that will be cut away dimmed, a grid to line the horizon up with.
    const CanvasDocument& doc = m_canvas.session().document();
    const QRectF photo(m_canvas.screenPointF(QPointF(0, 0)), m_canvas.screenPointF(QPointF(doc.width(), doc.height())));
    const int sw = std::clamp(int(std::lround(photo.width())), 1, doc.width());
    const int sh = std::clamp(int(std::lround(photo.height())), 1, doc.height());
    if (m_source.width != sw || m_source.height != sh) {
        m_source = sw == doc.width() && sh == doc.height() ? doc.photo() : ResizeLanczos3(doc.photo(), sw, sh);
        m_previewAngle = 1e9;
    }
    if (m_previewAngle != m_angle) {
        m_turned = RotatePixels(m_source, m_angle, sw, sh, Interpolation::Bilinear, uint8_t(kPreviewFill.red()));
        m_previewAngle = m_angle;
    }
    p.fillRect(photo, kPreviewFill);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(photo, PixelBufferImage(m_turned));
    const PixelSize kept = StraightenedSize(doc.width(), doc.height(), m_angle);
    const double zoom = m_canvas.zoom();
    const QSizeF keptOnScreen(kept.width * zoom, kept.height * zoom);
    const QRectF k(photo.center().x() - keptOnScreen.width() / 2, photo.center().y() - keptOnScreen.height() / 2,
                   keptOnScreen.width(), keptOnScreen.height());
    QPainterPath outside;
    outside.addRect(photo);
    outside.addRect(k);
    p.fillPath(outside, kDim);
    p.setPen(QPen(QColor(255, 255, 255, 110), 1));
    const double step = std::max(24.0, std::min(photo.width(), photo.height()) / 8.0);
    for (double x = photo.center().x(); x < photo.right(); x += step)
        p.drawLine(QPointF(x, photo.top()), QPointF(x, photo.bottom()));
    for (double x = photo.center().x() - step; x > photo.left(); x -= step)
        p.drawLine(QPointF(x, photo.top()), QPointF(x, photo.bottom()));
    for (double y = photo.center().y(); y < photo.bottom(); y += step)
        p.drawLine(QPointF(photo.left(), y), QPointF(photo.right(), y));
    for (double y = photo.center().y() - step; y > photo.top(); y -= step)
        p.drawLine(QPointF(photo.left(), y), QPointF(photo.right(), y));
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(k);
    if (m_drawing) {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(QColor(0, 0, 0, 170), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(m_lineStart, m_lineEnd);
        p.setPen(QPen(QColor(255, 214, 64), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(m_lineStart, m_lineEnd);
    }
}

} // namespace ombrik
