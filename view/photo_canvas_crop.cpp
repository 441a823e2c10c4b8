// The canvas's geometry commands and its two geometry modes: the crop mode (a
// rectangle with eight handles, the outside dimmed, a rule-of-thirds grid and
// the size while dragging, an aspect choice) and the level mode (an angle
// slider, the photo turned live under a grid, a line drawn along a horizon
// setting the angle). Both show a bar of controls at the top of the canvas.
#include "view/photo_canvas.h"

#include "engine/geometry.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ombrik {

namespace {

constexpr int kCropHandleSize = 9;
constexpr int kCropHandleReach = 8;  // screen pixels round a handle that still catch it
constexpr double kMinCropSide = 4.0;
constexpr int kLevelSteps = 10;      // slider steps per degree
const QColor kDim(0, 0, 0, 135);
const QColor kPreviewFill(60, 60, 64);

// Which edges of the rectangle a handle moves: 0 top-left, then clockwise.
struct HandleEdges {
    bool left, top, right, bottom;
};
constexpr HandleEdges kHandleEdges[8] = {
    {true, true, false, false}, {false, true, false, false}, {false, true, true, false}, {false, false, true, false},
    {false, false, true, true}, {false, false, false, true}, {true, false, false, true}, {true, false, false, false},
};

QPointF HandlePoint(const QRectF& r, int handle)
{
    const double cx = r.center().x(), cy = r.center().y();
    switch (handle) {
    case 0: return r.topLeft();
    case 1: return {cx, r.top()};
    case 2: return r.topRight();
    case 3: return {r.right(), cy};
    case 4: return r.bottomRight();
    case 5: return {cx, r.bottom()};
    case 6: return r.bottomLeft();
    default: return {r.left(), cy};
    }
}

Qt::CursorShape HandleCursorShape(int handle)
{
    switch (handle) {
    case 0:
    case 4: return Qt::SizeFDiagCursor;
    case 2:
    case 6: return Qt::SizeBDiagCursor;
    case 1:
    case 5: return Qt::SizeVerCursor;
    default: return Qt::SizeHorCursor;
    }
}

// The rectangle from `anchor` towards `corner` cut to the aspect (width over
// height; 0 for any) by shortening its longer side.
QRectF ConstrainedFromAnchor(QPointF anchor, QPointF corner, double aspect)
{
    double w = std::abs(corner.x() - anchor.x()), h = std::abs(corner.y() - anchor.y());
    w = std::max(w, kMinCropSide);
    h = std::max(h, kMinCropSide);
    if (aspect > 0) {
        if (w / h > aspect)
            w = h * aspect;
        else
            h = w / aspect;
    }
    const double x = corner.x() >= anchor.x() ? anchor.x() : anchor.x() - w;
    const double y = corner.y() >= anchor.y() ? anchor.y() : anchor.y() - h;
    return QRectF(x, y, w, h);
}

// The largest rectangle of the aspect inside `bounds`, centred on `centre` as
// far as the bounds allow.
QRectF LargestWithAspect(const QRectF& bounds, QPointF centre, double aspect)
{
    double w = bounds.width(), h = bounds.height();
    if (aspect > 0) {
        if (w / h > aspect)
            w = h * aspect;
        else
            h = w / aspect;
    }
    const double x = std::clamp(centre.x() - w / 2, bounds.left(), bounds.right() - w);
    const double y = std::clamp(centre.y() - h / 2, bounds.top(), bounds.bottom() - h);
    return QRectF(x, y, w, h);
}

QString SizeText(int w, int h)
{
    return QStringLiteral("%1 × %2").arg(w).arg(h);
}

QPushButton* BarButton(const QString& text, QWidget* parent, bool primary)
{
    auto* b = new QPushButton(text, parent);
    b->setFocusPolicy(Qt::NoFocus);
    b->setCursor(Qt::PointingHandCursor);
    if (primary)
        b->setObjectName(QStringLiteral("applyButton"));
    return b;
}

// The bar over the canvas of a crop or level mode: its title on the left.
QHBoxLayout* ModeBar(QFrame* bar, const QString& objectName, const QString& title)
{
    bar->setObjectName(objectName);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(10, 5, 6, 5);
    row->setSpacing(8);
    row->addWidget(new QLabel(title, bar));
    return row;
}

// A size label wide enough for any photo's size.
QLabel* SizeLabel(QWidget* bar)
{
    auto* label = new QLabel(bar);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(SizeText(88888, 88888)) + 8);
    return label;
}

// Apply and Cancel at the right end of a mode bar.
void AddApplyAndCancel(CPhotoCanvas* canvas, QFrame* bar, QHBoxLayout* row, const QString& applyTip)
{
    QPushButton* apply = BarButton(CPhotoCanvas::tr("Apply"), bar, true);
    QPushButton* cancel = BarButton(CPhotoCanvas::tr("Cancel"), bar, false);
    apply->setToolTip(applyTip);
    cancel->setToolTip(CPhotoCanvas::tr("Leave the photo as it is (Esc)"));
    row->addWidget(apply);
    row->addWidget(cancel);
    QObject::connect(apply, &QPushButton::clicked, canvas, [canvas] { canvas->applyGeometryMode(); });
    QObject::connect(cancel, &QPushButton::clicked, canvas, [canvas] { canvas->cancelGeometryMode(); });
}

} // namespace

struct CPhotoCanvas::GeometryState {
    // Crop mode.
    QRectF crop;            // photo pixels
    int aspect = 0;         // index into cropAspects()
    double photoAspect = 1; // the photo's width over height when the mode began
    int handle = -1;        // 0..7 a handle, 8 moving, 9 drawing a new rectangle, -1 none
    QPointF press;          // photo point of the press
    QRectF startCrop;
    // Level mode.
    double angle = 0;
    PixelBuffer source;     // the photo at about its size on screen
    PixelBuffer turned;     // source turned by previewAngle
    double previewAngle = 1e9;
    bool drawing = false;
    QPoint lineStart, lineEnd;
    // The bars.
    QFrame* cropBar = nullptr;
    QComboBox* aspectBox = nullptr;
    QLabel* sizeLabel = nullptr;
    QFrame* levelBar = nullptr;
    QSlider* slider = nullptr;
    QDoubleSpinBox* spin = nullptr;
    QLabel* levelSize = nullptr;
    bool syncing = false;
};

CPhotoCanvas::~CPhotoCanvas() = default;

const std::vector<std::pair<QString, QSizeF>>& CPhotoCanvas::cropAspects()
{
    static const std::vector<std::pair<QString, QSizeF>> aspects = {
        {tr("Free"), QSizeF(0, 0)},      {tr("Original"), QSizeF(-1, -1)}, {tr("1:1 Square"), QSizeF(1, 1)},
        {tr("4:3"), QSizeF(4, 3)},       {tr("3:4 Portrait"), QSizeF(3, 4)}, {tr("3:2"), QSizeF(3, 2)},
        {tr("2:3 Portrait"), QSizeF(2, 3)}, {tr("16:9"), QSizeF(16, 9)},    {tr("9:16 Portrait"), QSizeF(9, 16)},
    };
    return aspects;
}

// --- Coordinates ----------------------------------------------------------------------

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

// --- Modes --------------------------------------------------------------------------

void CPhotoCanvas::beginCrop()
{
    if (!startGeometryMode())
        return;
    GeometryState& g = *m_geo;
    if (!g.cropBar) {
        g.cropBar = new QFrame(this);
        QHBoxLayout* row = ModeBar(g.cropBar, QStringLiteral("cropBar"), tr("Crop"));
        g.aspectBox = new QComboBox(g.cropBar);
        g.aspectBox->setFocusPolicy(Qt::NoFocus);
        for (const auto& [name, ratio] : cropAspects())
            g.aspectBox->addItem(name);
        row->addWidget(g.aspectBox);
        g.sizeLabel = SizeLabel(g.cropBar);
        row->addWidget(g.sizeLabel);
        AddApplyAndCancel(this, g.cropBar, row, tr("Crop to the rectangle (Enter or a double click)"));
        connect(g.aspectBox, &QComboBox::currentIndexChanged, this, [this](int i) { setCropAspect(i); });
    }
    g.photoAspect = double(doc().width()) / doc().height();
    g.crop = QRectF(0, 0, doc().width(), doc().height());
    g.handle = -1;
    m_geometryMode = GeometryMode::Crop;
    m_outlineShown = false;
    setCropAspect(g.aspect);
    showGeometryBar(g.cropBar);
}

void CPhotoCanvas::beginLevel()
{
    if (!startGeometryMode())
        return;
    GeometryState& g = *m_geo;
    if (!g.levelBar) {
        g.levelBar = new QFrame(this);
        QHBoxLayout* row = ModeBar(g.levelBar, QStringLiteral("levelBar"), tr("Straighten"));
        g.slider = new QSlider(Qt::Horizontal, g.levelBar);
        g.slider->setRange(-45 * kLevelSteps, 45 * kLevelSteps);
        g.slider->setFocusPolicy(Qt::NoFocus);
        g.slider->setMinimumWidth(220);
        g.slider->setToolTip(tr("Turn the photo until its horizon is level"));
        row->addWidget(g.slider);
        g.spin = new QDoubleSpinBox(g.levelBar);
        g.spin->setRange(-45.0, 45.0);
        g.spin->setDecimals(1);
        g.spin->setSingleStep(0.1);
        g.spin->setSuffix(QStringLiteral("°"));
        g.spin->setKeyboardTracking(false);
        row->addWidget(g.spin);
        g.levelSize = SizeLabel(g.levelBar);
        row->addWidget(g.levelSize);
        auto* hint = new QLabel(tr("or drag along the horizon"), g.levelBar);
        hint->setObjectName(QStringLiteral("hint"));
        row->addWidget(hint);
        AddApplyAndCancel(this, g.levelBar, row, tr("Turn the photo and cut it to the level rectangle (Enter)"));
        connect(g.slider, &QSlider::valueChanged, this, [this](int v) {
            if (!m_geo->syncing)
                setLevelAngle(v / double(kLevelSteps));
        });
        connect(g.spin, &QDoubleSpinBox::valueChanged, this, [this](double v) {
            if (!m_geo->syncing)
                setLevelAngle(v);
        });
    }
    g.source = PixelBuffer();
    g.previewAngle = 1e9;
    g.drawing = false;
    m_geometryMode = GeometryMode::Level;
    m_outlineShown = false;
    setLevelAngle(0.0);
    showGeometryBar(g.levelBar);
}

// Leaves any other mode and makes the mode state; false without a photo
// or in the full-window preview.
bool CPhotoCanvas::startGeometryMode()
{
    if (!doc().hasPhoto() || m_previewMode)
        return false;
    cancelGeometryMode();
    if (!m_geo)
        m_geo = std::make_shared<GeometryState>();
    return true;
}

// Shows the mode's bar over the canvas and takes the keys (Enter, Escape).
void CPhotoCanvas::showGeometryBar(QFrame* bar)
{
    bar->show();
    layoutGeometryBar();
    setFocus(Qt::OtherFocusReason);
    refresh();
    emit geometryModeChanged();
}

void CPhotoCanvas::endGeometryMode()
{
    if (m_geometryMode == GeometryMode::None)
        return;
    m_geometryMode = GeometryMode::None;
    if (m_geo) {
        if (m_geo->cropBar)
            m_geo->cropBar->hide();
        if (m_geo->levelBar)
            m_geo->levelBar->hide();
        m_geo->handle = -1;
        m_geo->drawing = false;
        m_geo->source = PixelBuffer();
        m_geo->turned = PixelBuffer();
    }
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
    bool changed = false;
    if (m_geometryMode == GeometryMode::Crop) {
        const QRect r = cropRect();
        const bool whole = r == QRect(0, 0, doc().width(), doc().height());
        changed = !whole && m_session.crop(r.x(), r.y(), r.width(), r.height());
    } else if (m_geometryMode == GeometryMode::Level) {
        // Less than the slider's step is no turn at all.
        changed = std::abs(m_geo->angle) >= 0.05 && m_session.straighten(m_geo->angle);
    }
    endGeometryMode();
    return changed;
}

void CPhotoCanvas::setCropAspect(int index)
{
    if (!m_geo || index < 0 || index >= int(cropAspects().size()))
        return;
    GeometryState& g = *m_geo;
    g.aspect = index;
    if (g.aspectBox && g.aspectBox->currentIndex() != index) {
        const QSignalBlocker block(g.aspectBox);
        g.aspectBox->setCurrentIndex(index);
    }
    const QSizeF ratio = cropAspects()[size_t(index)].second;
    const double aspect = ratio.width() < 0 ? g.photoAspect : (ratio.width() > 0 ? ratio.width() / ratio.height() : 0);
    if (aspect > 0 && m_geometryMode == GeometryMode::Crop) {
        // The largest rectangle of the aspect in the photo, about the current centre.
        g.crop = LargestWithAspect(QRectF(0, 0, doc().width(), doc().height()), g.crop.center(), aspect);
    }
    if (g.sizeLabel)
        g.sizeLabel->setText(SizeText(cropRect().width(), cropRect().height()));
    update();
}

int CPhotoCanvas::cropAspect() const
{
    return m_geo ? m_geo->aspect : 0;
}

QRect CPhotoCanvas::cropRect() const
{
    if (!m_geo || !doc().hasPhoto())
        return {};
    const QRectF& c = m_geo->crop;
    const int W = doc().width(), H = doc().height();
    const int w = std::clamp(int(std::lround(c.width())) / 4 * 4, 4, W / 4 * 4);
    const int h = std::clamp(int(std::lround(c.height())) / 4 * 4, 4, H / 4 * 4);
    const int x = std::clamp(int(std::lround(c.left())), 0, W - w);
    const int y = std::clamp(int(std::lround(c.top())), 0, H - h);
    return QRect(x, y, w, h);
}

void CPhotoCanvas::setCropRect(const QRectF& photoRect)
{
    if (!m_geo)
        return;
    m_geo->crop = photoRect.normalized().intersected(QRectF(0, 0, doc().width(), doc().height()));
    if (m_geo->sizeLabel)
        m_geo->sizeLabel->setText(SizeText(cropRect().width(), cropRect().height()));
    update();
}

void CPhotoCanvas::setLevelAngle(double degrees)
{
    if (!m_geo)
        return;
    GeometryState& g = *m_geo;
    g.angle = std::clamp(std::round(degrees * kLevelSteps) / kLevelSteps, -kMaxStraightenDegrees,
                         kMaxStraightenDegrees);
    if (g.slider) {
        g.syncing = true;
        g.slider->setValue(int(std::lround(g.angle * kLevelSteps)));
        g.spin->setValue(g.angle);
        g.syncing = false;
    }
    if (g.levelSize) {
        const PixelSize s = StraightenedSize(doc().width(), doc().height(), g.angle);
        g.levelSize->setText(SizeText(s.width, s.height));
    }
    update();
}

double CPhotoCanvas::levelAngle() const
{
    return m_geo ? m_geo->angle : 0.0;
}

QWidget* CPhotoCanvas::geometryBar() const
{
    if (!m_geo)
        return nullptr;
    if (m_geometryMode == GeometryMode::Crop)
        return m_geo->cropBar;
    if (m_geometryMode == GeometryMode::Level)
        return m_geo->levelBar;
    return nullptr;
}

void CPhotoCanvas::layoutGeometryBar()
{
    QWidget* bar = geometryBar();
    if (!bar)
        return;
    bar->setStyleSheet(QStringLiteral(
        "QFrame#cropBar, QFrame#levelBar { background: rgba(36, 38, 48, 228); border-radius: 8px; }"
        "QLabel { color: #f0f0f6; } QLabel#hint { color: #a8aabb; }"));
    bar->adjustSize();
    const int w = std::min(bar->sizeHint().width(), std::max(0, width() - 24));
    bar->setGeometry((width() - w) / 2, 10, w, bar->sizeHint().height());
    bar->raise();
}

// --- Mouse ---------------------------------------------------------------------------

bool CPhotoCanvas::geometryPress(QPoint p)
{
    if (m_geometryMode == GeometryMode::None)
        return false;
    GeometryState& g = *m_geo;
    if (m_geometryMode == GeometryMode::Level) {
        g.drawing = true;
        g.lineStart = g.lineEnd = p;
        return true;
    }
    g.press = photoPointF(p);
    g.startCrop = g.crop;
    g.handle = -1;
    const QRectF screen(screenPointF(g.crop.topLeft()), screenPointF(g.crop.bottomRight()));
    for (int k = 0; k < 8; ++k) {
        const QPointF h = HandlePoint(screen, k);
        if (std::abs(p.x() - h.x()) <= kCropHandleReach && std::abs(p.y() - h.y()) <= kCropHandleReach) {
            g.handle = k;
            break;
        }
    }
    if (g.handle < 0)
        g.handle = screen.contains(p) ? 8 : 9;
    return true;
}

bool CPhotoCanvas::geometryMove(QPoint p)
{
    if (m_geometryMode == GeometryMode::None)
        return false;
    GeometryState& g = *m_geo;
    const double W = doc().width(), H = doc().height();
    if (m_geometryMode == GeometryMode::Level) {
        if (g.drawing) {
            g.lineEnd = p;
            update();
        }
        setCursor(Qt::CrossCursor);
        return true;
    }
    if (g.handle < 0) {
        // Hover: the cursor tells what a press would do.
        const QRectF screen(screenPointF(g.crop.topLeft()), screenPointF(g.crop.bottomRight()));
        for (int k = 0; k < 8; ++k) {
            const QPointF h = HandlePoint(screen, k);
            if (std::abs(p.x() - h.x()) <= kCropHandleReach && std::abs(p.y() - h.y()) <= kCropHandleReach) {
                setCursor(HandleCursorShape(k));
                return true;
            }
        }
        setCursor(screen.contains(p) ? Qt::SizeAllCursor : Qt::CrossCursor);
        return true;
    }
    const QSizeF ratio = cropAspects()[size_t(g.aspect)].second;
    const double aspect = ratio.width() < 0 ? g.photoAspect : (ratio.width() > 0 ? ratio.width() / ratio.height() : 0);
    const QPointF raw = photoPointF(p);
    const QPointF m(std::clamp(raw.x(), 0.0, W), std::clamp(raw.y(), 0.0, H));
    QRectF r = g.startCrop;
    if (g.handle == 8) {
        const QPointF d = raw - g.press;
        r.moveTo(std::clamp(r.left() + d.x(), 0.0, W - r.width()), std::clamp(r.top() + d.y(), 0.0, H - r.height()));
    } else if (g.handle == 9) {
        r = ConstrainedFromAnchor(g.press, m, aspect);
    } else {
        const HandleEdges e = kHandleEdges[g.handle];
        const bool corner = (e.left || e.right) && (e.top || e.bottom);
        if (corner) {
            const QPointF anchor(e.left ? r.right() : r.left(), e.top ? r.bottom() : r.top());
            r = ConstrainedFromAnchor(anchor, m, aspect);
        } else {
            if (e.left)
                r.setLeft(std::min(m.x(), r.right() - kMinCropSide));
            if (e.right)
                r.setRight(std::max(m.x(), r.left() + kMinCropSide));
            if (e.top)
                r.setTop(std::min(m.y(), r.bottom() - kMinCropSide));
            if (e.bottom)
                r.setBottom(std::max(m.y(), r.top() + kMinCropSide));
            if (aspect > 0) {
                // The other side follows, centred on the old centre line.
                const QPointF c = g.startCrop.center();
                if (e.top || e.bottom) {
                    double h = r.height(), w = h * aspect;
                    if (w > W) {
                        w = W;
                        h = w / aspect;
                        e.top ? r.setTop(r.bottom() - h) : r.setBottom(r.top() + h);
                    }
                    r.setLeft(std::clamp(c.x() - w / 2, 0.0, W - w));
                    r.setWidth(w);
                } else {
                    double w = r.width(), h = w / aspect;
                    if (h > H) {
                        h = H;
                        w = h * aspect;
                        e.left ? r.setLeft(r.right() - w) : r.setRight(r.left() + w);
                    }
                    r.setTop(std::clamp(c.y() - h / 2, 0.0, H - h));
                    r.setHeight(h);
                }
            }
        }
    }
    g.crop = r.intersected(QRectF(0, 0, W, H));
    if (g.sizeLabel)
        g.sizeLabel->setText(SizeText(cropRect().width(), cropRect().height()));
    update();
    return true;
}

bool CPhotoCanvas::geometryRelease(QPoint p)
{
    if (m_geometryMode == GeometryMode::None)
        return false;
    GeometryState& g = *m_geo;
    if (m_geometryMode == GeometryMode::Level) {
        if (!g.drawing)
            return true;
        g.drawing = false;
        g.lineEnd = p;
        const double dx = g.lineEnd.x() - g.lineStart.x(), dy = g.lineEnd.y() - g.lineStart.y();
        if (std::hypot(dx, dy) >= 10.0) {
            // The line's slope on the turned preview; a steep line is taken as
            // a vertical to make upright.
            double slope = std::atan2(dy, dx) * 180.0 / std::numbers::pi;
            slope -= 90.0 * std::round(slope / 90.0);
            setLevelAngle(g.angle - slope);
        }
        update();
        return true;
    }
    geometryMove(p);
    g.handle = -1;
    update();
    return true;
}

void CPhotoCanvas::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_geometryMode == GeometryMode::Crop && event->button() == Qt::LeftButton) {
        const QRectF screen(screenPointF(m_geo->crop.topLeft()), screenPointF(m_geo->crop.bottomRight()));
        if (screen.contains(event->position()))
            applyGeometryMode();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

// --- Painting ----------------------------------------------------------------------

void CPhotoCanvas::paintGeometryOverlay(QPainter& p)
{
    if (m_geometryMode == GeometryMode::None || !m_geo || !doc().hasPhoto())
        return;
    GeometryState& g = *m_geo;
    const QRectF photoOnScreen(screenPointF(QPointF(0, 0)), screenPointF(QPointF(doc().width(), doc().height())));
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);

    if (m_geometryMode == GeometryMode::Crop) {
        const QRectF c(screenPointF(g.crop.topLeft()), screenPointF(g.crop.bottomRight()));
        // Dim the outside in four bands.
        p.fillRect(QRectF(photoOnScreen.left(), photoOnScreen.top(), photoOnScreen.width(), c.top() - photoOnScreen.top()), kDim);
        p.fillRect(QRectF(photoOnScreen.left(), c.bottom(), photoOnScreen.width(), photoOnScreen.bottom() - c.bottom()), kDim);
        p.fillRect(QRectF(photoOnScreen.left(), c.top(), c.left() - photoOnScreen.left(), c.height()), kDim);
        p.fillRect(QRectF(c.right(), c.top(), photoOnScreen.right() - c.right(), c.height()), kDim);
        const bool dragging = g.handle >= 0;
        if (dragging) {
            p.setPen(QPen(QColor(255, 255, 255, 150), 1));
            for (int k = 1; k < 3; ++k) {
                const double x = c.left() + c.width() * k / 3, y = c.top() + c.height() * k / 3;
                p.drawLine(QPointF(x, c.top()), QPointF(x, c.bottom()));
                p.drawLine(QPointF(c.left(), y), QPointF(c.right(), y));
            }
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0, 0, 0, 160), 3));
        p.drawRect(c);
        p.setPen(QPen(Qt::white, 1));
        p.drawRect(c);
        for (int k = 0; k < 8; ++k) {
            const QPointF h = HandlePoint(c, k);
            const QRectF box(h.x() - kCropHandleSize / 2.0, h.y() - kCropHandleSize / 2.0, kCropHandleSize,
                             kCropHandleSize);
            p.fillRect(box, Qt::white);
            p.setPen(QPen(QColor(40, 40, 60), 1));
            p.drawRect(box);
        }
        if (dragging) {
            const QRect r = cropRect();
            const QString text = SizeText(r.width(), r.height());
            const QFontMetrics fm(font());
            const QRect box(0, 0, fm.horizontalAdvance(text) + 14, fm.height() + 6);
            QPointF at(c.center().x() - box.width() / 2.0, c.bottom() + 8);
            if (at.y() + box.height() > height() - 4)
                at.setY(c.bottom() - box.height() - 8);
            p.setRenderHint(QPainter::Antialiasing, true);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(20, 22, 30, 215));
            p.drawRoundedRect(QRectF(at, QSizeF(box.size())), 5, 5);
            p.setPen(Qt::white);
            p.drawText(QRectF(at, QSizeF(box.size())), Qt::AlignCenter, text);
        }
        p.restore();
        return;
    }

    // Level: the photo turned live (a copy at about its size on screen), the
    // part that will be cut away dimmed, a grid to line the horizon up with.
    const int sw = std::clamp(int(std::lround(photoOnScreen.width())), 1, doc().width());
    const int sh = std::clamp(int(std::lround(photoOnScreen.height())), 1, doc().height());
    if (g.source.width != sw || g.source.height != sh) {
        g.source = sw == doc().width() && sh == doc().height() ? doc().photo() : ResizeLanczos3(doc().photo(), sw, sh);
        g.previewAngle = 1e9;
    }
    if (g.previewAngle != g.angle) {
        g.turned = RotatePixels(g.source, g.angle, sw, sh, Interpolation::Bilinear, uint8_t(kPreviewFill.red()));
        g.previewAngle = g.angle;
    }
    p.fillRect(photoOnScreen, kPreviewFill);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(photoOnScreen,
                QImage(g.turned.data(), g.turned.width, g.turned.height, int(g.turned.stride()), QImage::Format_BGR888));
    const PixelSize kept = StraightenedSize(doc().width(), doc().height(), g.angle);
    const QSizeF keptOnScreen(kept.width * double(m_zoom), kept.height * double(m_zoom));
    const QRectF k(photoOnScreen.center().x() - keptOnScreen.width() / 2,
                   photoOnScreen.center().y() - keptOnScreen.height() / 2, keptOnScreen.width(), keptOnScreen.height());
    QPainterPath outside;
    outside.addRect(photoOnScreen);
    outside.addRect(k);
    p.fillPath(outside, kDim);
    p.setPen(QPen(QColor(255, 255, 255, 110), 1));
    const double step = std::max(24.0, std::min(photoOnScreen.width(), photoOnScreen.height()) / 8.0);
    for (double x = photoOnScreen.center().x(); x < photoOnScreen.right(); x += step)
        p.drawLine(QPointF(x, photoOnScreen.top()), QPointF(x, photoOnScreen.bottom()));
    for (double x = photoOnScreen.center().x() - step; x > photoOnScreen.left(); x -= step)
        p.drawLine(QPointF(x, photoOnScreen.top()), QPointF(x, photoOnScreen.bottom()));
    for (double y = photoOnScreen.center().y(); y < photoOnScreen.bottom(); y += step)
        p.drawLine(QPointF(photoOnScreen.left(), y), QPointF(photoOnScreen.right(), y));
    for (double y = photoOnScreen.center().y() - step; y > photoOnScreen.top(); y -= step)
        p.drawLine(QPointF(photoOnScreen.left(), y), QPointF(photoOnScreen.right(), y));
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(k);
    if (g.drawing) {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(QColor(0, 0, 0, 170), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(g.lineStart, g.lineEnd);
        p.setPen(QPen(QColor(255, 214, 64), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(g.lineStart, g.lineEnd);
    }
    p.restore();
}

} // namespace ombrik
