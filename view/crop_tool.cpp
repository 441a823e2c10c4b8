#include "view/crop_tool.h"

#include "view/photo_canvas.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace ombrik {

namespace {

constexpr int kCropHandleSize = 9;
constexpr int kCropHandleReach = 8;  // screen pixels round a handle that still catch it
constexpr double kMinSide = 4.0;
const QColor kDim(0, 0, 0, 135);

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

// The handle of `r` (on screen) within reach of p, or -1.
int HandleAt(const QRectF& r, QPoint p)
{
    for (int k = 0; k < 8; ++k) {
        const QPointF h = HandlePoint(r, k);
        if (std::abs(p.x() - h.x()) <= kCropHandleReach && std::abs(p.y() - h.y()) <= kCropHandleReach)
            return k;
    }
    return -1;
}

// The rectangle from `anchor` towards `corner` cut to the aspect (width over
// height; 0 for any) by shortening its longer side.
QRectF ConstrainedFromAnchor(QPointF anchor, QPointF corner, double aspect)
{
    double w = std::abs(corner.x() - anchor.x()), h = std::abs(corner.y() - anchor.y());
    w = std::max(w, kMinSide);
    h = std::max(h, kMinSide);
    if (aspect > 0) {
        if (w / h > aspect)
            w = h * aspect;
        else
            h = w / aspect;
    }
    const double x = corner.x() < anchor.x() ? anchor.x() - w : anchor.x();
    const double y = corner.y() < anchor.y() ? anchor.y() - h : anchor.y();
    return QRectF(x, y, w, h);
}

// The largest rectangle of the aspect within `bounds`, as near `centre` as it fits.
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

} // namespace

const std::vector<std::pair<QString, QSizeF>>& CropTool::Aspects()
{
    static const std::vector<std::pair<QString, QSizeF>> aspects = {
        {CPhotoCanvas::tr("Free"), QSizeF(0, 0)},
        {CPhotoCanvas::tr("Original"), QSizeF(-1, -1)},
        {CPhotoCanvas::tr("1:1 Square"), QSizeF(1, 1)},
        {CPhotoCanvas::tr("4:3"), QSizeF(4, 3)},
        {CPhotoCanvas::tr("3:4 Portrait"), QSizeF(3, 4)},
        {CPhotoCanvas::tr("3:2"), QSizeF(3, 2)},
        {CPhotoCanvas::tr("2:3 Portrait"), QSizeF(2, 3)},
        {CPhotoCanvas::tr("16:9"), QSizeF(16, 9)},
        {CPhotoCanvas::tr("9:16 Portrait"), QSizeF(9, 16)},
    };
    return aspects;
}

void CropTool::begin()
{
    if (!m_bar) {
        QHBoxLayout* row = makeBar(QStringLiteral("cropBar"), CPhotoCanvas::tr("Crop"));
        m_aspectBox = new QComboBox(m_bar);
        m_aspectBox->setFocusPolicy(Qt::NoFocus);
        for (const auto& [name, ratio] : Aspects())
            m_aspectBox->addItem(name);
        row->addWidget(m_aspectBox);
        m_sizeLabel = makeSizeLabel();
        row->addWidget(m_sizeLabel);
        addApplyAndCancel(row, CPhotoCanvas::tr("Crop to the rectangle (Enter or a double click)"));
        QObject::connect(m_aspectBox, &QComboBox::currentIndexChanged, &m_canvas, [this](int i) { setAspect(i); });
    }
    const CanvasDocument& doc = m_canvas.session().document();
    m_photoAspect = double(doc.width()) / doc.height();
    m_crop = QRectF(0, 0, doc.width(), doc.height());
    m_handle = -1;
    setAspect(m_aspect);
}

bool CropTool::apply()
{
    const CanvasDocument& doc = m_canvas.session().document();
    const QRect r = rect();
    const bool whole = r == QRect(0, 0, doc.width(), doc.height());
    return !whole && m_canvas.session().crop(r.x(), r.y(), r.width(), r.height());
}

double CropTool::aspectRatio() const
{
    const QSizeF ratio = Aspects()[size_t(m_aspect)].second;
    return ratio.width() < 0 ? m_photoAspect : (ratio.width() > 0 ? ratio.width() / ratio.height() : 0);
}

QRectF CropTool::onScreen() const
{
    return QRectF(m_canvas.screenPointF(m_crop.topLeft()), m_canvas.screenPointF(m_crop.bottomRight()));
}

void CropTool::showSize()
{
    if (m_sizeLabel)
        m_sizeLabel->setText(SizeText(rect().width(), rect().height()));
    m_canvas.update();
}

void CropTool::setAspect(int index)
{
    if (index < 0 || index >= int(Aspects().size()))
        return;
    m_aspect = index;
    if (m_aspectBox && m_aspectBox->currentIndex() != index) {
        const QSignalBlocker block(m_aspectBox);
        m_aspectBox->setCurrentIndex(index);
    }
    const double aspect = aspectRatio();
    const CanvasDocument& doc = m_canvas.session().document();
    if (aspect > 0 && m_canvas.geometryMode() == CPhotoCanvas::GeometryMode::Crop) {
        // The largest rectangle of the aspect in the photo, about the current centre.
        m_crop = LargestWithAspect(QRectF(0, 0, doc.width(), doc.height()), m_crop.center(), aspect);
    }
    showSize();
}

QRect CropTool::rect() const
{
    const CanvasDocument& doc = m_canvas.session().document();
    if (!doc.hasPhoto())
        return {};
    const int W = doc.width(), H = doc.height();
    const int w = std::clamp(int(std::lround(m_crop.width())) / 4 * 4, 4, W / 4 * 4);
    const int h = std::clamp(int(std::lround(m_crop.height())) / 4 * 4, 4, H / 4 * 4);
    const int x = std::clamp(int(std::lround(m_crop.left())), 0, W - w);
    const int y = std::clamp(int(std::lround(m_crop.top())), 0, H - h);
    return QRect(x, y, w, h);
}

void CropTool::setRect(const QRectF& photoRect)
{
    const CanvasDocument& doc = m_canvas.session().document();
    m_crop = photoRect.normalized().intersected(QRectF(0, 0, doc.width(), doc.height()));
    showSize();
}

bool CropTool::press(QPoint p)
{
    m_press = m_canvas.photoPointF(p);
    m_startCrop = m_crop;
    const QRectF screen = onScreen();
    m_handle = HandleAt(screen, p);
    if (m_handle < 0)
        m_handle = screen.contains(p) ? 8 : 9;
    return true;
}

bool CropTool::move(QPoint p)
{
    const CanvasDocument& doc = m_canvas.session().document();
    const double W = doc.width(), H = doc.height();
    if (m_handle < 0) {
        // Hover: the cursor tells what a press would do.
        const QRectF screen = onScreen();
        const int k = HandleAt(screen, p);
        m_canvas.setCursor(k >= 0 ? HandleCursorShape(k) : screen.contains(p) ? Qt::SizeAllCursor : Qt::CrossCursor);
        return true;
    }
    const double aspect = aspectRatio();
    const QPointF raw = m_canvas.photoPointF(p);
    const QPointF m(std::clamp(raw.x(), 0.0, W), std::clamp(raw.y(), 0.0, H));
    QRectF r = m_startCrop;
    if (m_handle == 8) {
        const QPointF d = raw - m_press;
        r.moveTo(std::clamp(r.left() + d.x(), 0.0, W - r.width()), std::clamp(r.top() + d.y(), 0.0, H - r.height()));
    } else if (m_handle == 9) {
        r = ConstrainedFromAnchor(m_press, m, aspect);
    } else {
        const HandleEdges e = kHandleEdges[m_handle];
        const bool corner = (e.left || e.right) && (e.top || e.bottom);
        if (corner) {
            const QPointF anchor(e.left ? r.right() : r.left(), e.top ? r.bottom() : r.top());
            r = ConstrainedFromAnchor(anchor, m, aspect);
        } else {
            if (e.left)
                r.setLeft(std::min(m.x(), r.right() - kMinSide));
            if (e.right)
                r.setRight(std::max(m.x(), r.left() + kMinSide));
            if (e.top)
                r.setTop(std::min(m.y(), r.bottom() - kMinSide));
            if (e.bottom)
                r.setBottom(std::max(m.y(), r.top() + kMinSide));
            if (aspect > 0) {
                // The other side follows, centred on the old centre line.
                const QPointF c = m_startCrop.center();
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
    m_crop = r.intersected(QRectF(0, 0, W, H));
    showSize();
    return true;
}

bool CropTool::release(QPoint p)
{
    move(p);
    m_handle = -1;
    m_canvas.update();
    return true;
}

bool CropTool::doubleClick(QPointF p)
{
    if (!onScreen().contains(p))
        return false;
    m_canvas.applyGeometryMode();
    return true;
}

void CropTool::paint(QPainter& p)
{
    const CanvasDocument& doc = m_canvas.session().document();
    const QRectF photo(m_canvas.screenPointF(QPointF(0, 0)), m_canvas.screenPointF(QPointF(doc.width(), doc.height())));
    const QRectF c = onScreen();
    // Dim the outside in four bands.
    p.fillRect(QRectF(photo.left(), photo.top(), photo.width(), c.top() - photo.top()), kDim);
    p.fillRect(QRectF(photo.left(), c.bottom(), photo.width(), photo.bottom() - c.bottom()), kDim);
    p.fillRect(QRectF(photo.left(), c.top(), c.left() - photo.left(), c.height()), kDim);
    p.fillRect(QRectF(c.right(), c.top(), photo.right() - c.right(), c.height()), kDim);
    const bool dragging = m_handle >= 0;
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
        const QRectF box(h.x() - kCropHandleSize / 2.0, h.y() - kCropHandleSize / 2.0, kCropHandleSize, kCropHandleSize);
        p.fillRect(box, Qt::white);
        p.setPen(QPen(QColor(40, 40, 60), 1));
        p.drawRect(box);
    }
    if (!dragging)
        return;
    const QRect r = rect();
    const QString text = SizeText(r.width(), r.height());
    const QFontMetrics fm(m_canvas.font());
    const QRect box(0, 0, fm.horizontalAdvance(text) + 14, fm.height() + 6);
    QPointF at(c.center().x() - box.width() / 2.0, c.bottom() + 8);
    if (at.y() + box.height() > m_canvas.height() - 4)
        at.setY(c.bottom() - box.height() - 8);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 22, 30, 215));
    p.drawRoundedRect(QRectF(at, QSizeF(box.size())), 5, 5);
    p.setPen(Qt::white);
    p.drawText(QRectF(at, QSizeF(box.size())), Qt::AlignCenter, text);
}

} // namespace ombrik
