#include "ui/tone_graph.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace ombrik {

namespace {

// A point is caught within this many widget pixels, and removed when dragged
// this far outside the square.
constexpr double kCatch = 6;
constexpr double kOffDistance = 12;

QColor ChannelColour(ToneChannel c, int alpha = 255)
{
    switch (c) {
    case ToneChannel::Red:
        return QColor(220, 40, 40, alpha);
    case ToneChannel::Green:
        return QColor(30, 160, 50, alpha);
    case ToneChannel::Blue:
        return QColor(40, 90, 230, alpha);
    case ToneChannel::Rgb:
        break;
    }
    return QColor(30, 30, 30, alpha);
}

} // namespace

CToneGraph::CToneGraph(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
}

void CToneGraph::setHistogram(const Histogram& histogram)
{
    m_histogram = histogram;
    update();
}

void CToneGraph::setShowChannels(bool rgb)
{
    m_rgb = rgb;
    update();
}

void CToneGraph::setEditing(bool on)
{
    m_editing = on;
    m_dragging = -1;
    setCursor(on ? Qt::CrossCursor : Qt::ArrowCursor);
    setToolTip(on ? tr("Click to add a point, drag to move it, drag it off the square to remove it.\n"
                       "Keys: [ and ] pick a point, arrows move it, Insert adds one, Delete removes it.")
                  : QString());
    update();
}

void CToneGraph::setCurve(const Curve& curve, ToneChannel channel)
{
    m_curve = curve.points.empty() || !curve.valid() ? Curve::linear() : curve;
    if (channel != m_channel)
        m_selected = -1;
    m_channel = channel;
    if (m_selected >= int(m_curve.points.size()))
        m_selected = -1;
    update();
}

QRectF CToneGraph::plotRect() const
{
    return QRectF(rect()).adjusted(4.5, 4.5, -4.5, -4.5);
}

QPointF CToneGraph::toWidget(double x, double y) const
{
    const QRectF r = plotRect();
    return {r.left() + x / 255 * r.width(), r.bottom() - y / 255 * r.height()};
}

CurvePoint CToneGraph::toCurve(QPointF p) const
{
    const QRectF r = plotRect();
    const int x = int(std::lround((p.x() - r.left()) / r.width() * 255));
    const int y = int(std::lround((r.bottom() - p.y()) / r.height() * 255));
    return {std::clamp(x, 0, 255), std::clamp(y, 0, 255)};
}

void CToneGraph::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRectF r = plotRect();
    p.fillRect(rect(), palette().color(QPalette::Base));
    p.setRenderHint(QPainter::Antialiasing);

    // The histogram: counts on a square-root scale so small peaks still show,
    // normalised to the tallest bin between the ends (clipped ends would
    // flatten everything else).
    auto draw = [&](int channel, const QColor& fill) {
        const auto& bins = m_histogram.bins[size_t(channel)];
        const uint32_t tallest = std::max<uint32_t>(1, *std::max_element(bins.begin() + 1, bins.end() - 1));
        QPainterPath path(QPointF(r.left(), r.bottom()));
        for (int v = 0; v < 256; ++v) {
            const double h = std::min(1.0, std::sqrt(double(bins[size_t(v)]) / tallest));
            path.lineTo(r.left() + (v + 0.5) / 256 * r.width(), r.bottom() - h * r.height());
        }
        path.lineTo(r.right(), r.bottom());
        path.closeSubpath();
        p.fillPath(path, fill);
    };
    if (m_histogram.pixels > 0) {
        if (m_rgb) {
            // Overlaid with screen-like mixing: where all three agree it is grey.
            p.setCompositionMode(QPainter::CompositionMode_Multiply);
            draw(Histogram::Red, QColor(255, 150, 150));
            draw(Histogram::Green, QColor(150, 230, 150));
            draw(Histogram::Blue, QColor(160, 170, 255));
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        } else {
            draw(Histogram::Luma, QColor(150, 150, 150));
        }
    }
    // Quarter lines.
    p.setPen(QPen(QColor(0, 0, 0, 40), 1));
    for (int k = 1; k < 4; ++k) {
        p.drawLine(QPointF(r.left() + r.width() * k / 4, r.top()), QPointF(r.left() + r.width() * k / 4, r.bottom()));
        if (m_editing)
            p.drawLine(QPointF(r.left(), r.top() + r.height() * k / 4), QPointF(r.right(), r.top() + r.height() * k / 4));
    }
    if (m_editing) {
        p.setPen(QPen(QColor(0, 0, 0, 60), 1, Qt::DotLine));
        p.drawLine(r.bottomLeft(), r.topRight());
        const CurveSpline spline(m_curve);
        QPainterPath curve;
        const int steps = std::max(64, int(r.width()));
        for (int i = 0; i <= steps; ++i) {
            const double x = 255.0 * i / steps;
            const QPointF at = toWidget(x, spline(x));
            i == 0 ? curve.moveTo(at) : curve.lineTo(at);
        }
        p.setPen(QPen(ChannelColour(m_channel), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawPath(curve);
        for (int i = 0; i < int(m_curve.points.size()); ++i) {
            const CurvePoint& c = m_curve.points[size_t(i)];
            p.setPen(QPen(ChannelColour(m_channel), 1));
            p.setBrush(i == m_selected ? ChannelColour(m_channel) : QColor(255, 255, 255));
            p.drawRect(QRectF(toWidget(c.x, c.y) - QPointF(2.5, 2.5), QSizeF(5, 5)));
        }
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(hasFocus() ? QPen(palette().color(QPalette::Highlight), 1) : QPen(QColor(120, 120, 120), 1));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

int CToneGraph::pointAt(QPointF at) const
{
    int best = -1;
    double bestDistance = kCatch;
    for (int i = 0; i < int(m_curve.points.size()); ++i) {
        const CurvePoint& c = m_curve.points[size_t(i)];
        const double d = QLineF(toWidget(c.x, c.y), at).length();
        if (d <= bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

void CToneGraph::movePoint(int i, CurvePoint to)
{
    auto& pts = m_curve.points;
    const int lo = i > 0 ? pts[size_t(i - 1)].x + 1 : 0;
    const int hi = i + 1 < int(pts.size()) ? pts[size_t(i + 1)].x - 1 : 255;
    pts[size_t(i)] = {std::clamp(to.x, lo, hi), std::clamp(to.y, 0, 255)};
}

void CToneGraph::edited()
{
    update();
    emit curveEdited(m_curve);
}

void CToneGraph::mousePressEvent(QMouseEvent* event)
{
    if (!m_editing || event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    int i = pointAt(event->position());
    if (i < 0) {
        if (int(m_curve.points.size()) >= Curve::kMaxPoints)
            return;
        // A new point on the curve at the click's input level, unless a point
        // already has that input level.
        const CurvePoint c = toCurve(event->position());
        auto& pts = m_curve.points;
        const auto after = std::lower_bound(pts.begin(), pts.end(), c.x,
                                            [](const CurvePoint& p, int x) { return p.x < x; });
        if (after != pts.end() && after->x == c.x)
            return;
        i = int(after - pts.begin());
        pts.insert(after, c);
        edited();
    }
    m_selected = m_dragging = i;
    m_draggedOff = false;
    emit selectionChanged();
    update();
}

void CToneGraph::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging < 0)
        return;
    const QPointF at = event->position();
    const QRectF outside = plotRect().adjusted(-kOffDistance, -kOffDistance, kOffDistance, kOffDistance);
    // Off the square the point is gone (shown so) unless only two are left.
    const bool off = !outside.contains(at) && m_curve.points.size() > 2;
    if (off != m_draggedOff)
        m_draggedOff = off;
    if (off)
        return;
    movePoint(m_dragging, toCurve(at));
    edited();
}

void CToneGraph::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragging < 0 || event->button() != Qt::LeftButton)
        return;
    if (m_draggedOff) {
        m_curve.points.erase(m_curve.points.begin() + m_dragging);
        m_selected = -1;
        emit selectionChanged();
        edited();
    }
    m_dragging = -1;
    m_draggedOff = false;
}

void CToneGraph::keyPressEvent(QKeyEvent* event)
{
    if (!m_editing)
        return QWidget::keyPressEvent(event);
    auto& pts = m_curve.points;
    const int n = int(pts.size());
    const int step = event->modifiers() & Qt::ShiftModifier ? 8 : 1;
    switch (event->key()) {
    case Qt::Key_BracketLeft:
        m_selected = m_selected <= 0 ? n - 1 : m_selected - 1;
        emit selectionChanged();
        update();
        return;
    case Qt::Key_BracketRight:
        m_selected = m_selected < 0 || m_selected >= n - 1 ? 0 : m_selected + 1;
        emit selectionChanged();
        update();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (m_selected < 0 || m_selected >= n)
            break;
        CurvePoint c = pts[size_t(m_selected)];
        c.x += event->key() == Qt::Key_Left ? -step : event->key() == Qt::Key_Right ? step : 0;
        c.y += event->key() == Qt::Key_Down ? -step : event->key() == Qt::Key_Up ? step : 0;
        movePoint(m_selected, c);
        edited();
        return;
    }
    case Qt::Key_Insert: {
        if (n >= Curve::kMaxPoints)
            break;
        int gap = 0;
        for (int k = 1; k + 1 < n; ++k)
            if (pts[size_t(k + 1)].x - pts[size_t(k)].x > pts[size_t(gap + 1)].x - pts[size_t(gap)].x)
                gap = k;
        if (pts[size_t(gap + 1)].x - pts[size_t(gap)].x < 2)
            break;
        const int x = (pts[size_t(gap)].x + pts[size_t(gap + 1)].x) / 2;
        const int y = int(std::lround(CurveSpline(m_curve)(x)));
        pts.insert(pts.begin() + gap + 1, CurvePoint{x, y});
        m_selected = gap + 1;
        emit selectionChanged();
        edited();
        return;
    }
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (m_selected < 0 || m_selected >= n || n <= 2)
            break;
        pts.erase(pts.begin() + m_selected);
        m_selected = std::min(m_selected, n - 2);
        emit selectionChanged();
        edited();
        return;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

// --- Levels bar -------------------------------------------------------------------

CLevelsBar::CLevelsBar(QWidget* parent) : QWidget(parent)
{
    setToolTip(tr("Drag the black, mid-tone and white handles"));
}

void CLevelsBar::setLevels(const Levels& levels)
{
    m_levels = levels;
    update();
}

double CLevelsBar::midLevel(const Levels& l)
{
    // Output half way: ((mid - black) / (white - black))^(1 / gamma) = 0.5.
    return l.black + (l.white - l.black) * std::pow(0.5, l.gamma);
}

double CLevelsBar::gammaForMid(const Levels& l, double mid)
{
    const double n = std::clamp((mid - l.black) / (l.white - l.black), 0.001, 0.999);
    return std::clamp(std::log(n) / std::log(0.5), Levels::kMinGamma, Levels::kMaxGamma);
}

double CLevelsBar::xOf(double level) const
{
    return 5 + level / 255 * (width() - 10);
}

double CLevelsBar::levelAt(double x) const
{
    return std::clamp((x - 5) / std::max(1, width() - 10) * 255, 0.0, 255.0);
}

void CLevelsBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int barHeight = std::max(4, height() / 2 - 2);
    const QRectF bar(5, 1, width() - 10, barHeight);
    QLinearGradient ramp(bar.topLeft(), bar.topRight());
    ramp.setColorAt(0, Qt::black);
    ramp.setColorAt(1, Qt::white);
    p.fillRect(bar, ramp);
    p.setPen(QColor(120, 120, 120));
    p.drawRect(bar.adjusted(-0.5, -0.5, 0.5, 0.5));
    p.setRenderHint(QPainter::Antialiasing);
    const double top = bar.bottom() + 1, size = std::min(8.0, height() - top - 1);
    const double xs[3] = {xOf(m_levels.black), xOf(midLevel(m_levels)), xOf(m_levels.white)};
    const QColor fills[3] = {QColor(20, 20, 20), QColor(128, 128, 128), QColor(255, 255, 255)};
    for (int k = 0; k < 3; ++k) {
        QPainterPath tri;
        tri.moveTo(xs[k], top);
        tri.lineTo(xs[k] + size * 0.7, top + size);
        tri.lineTo(xs[k] - size * 0.7, top + size);
        tri.closeSubpath();
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(fills[k]);
        p.drawPath(tri);
    }
}

void CLevelsBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const double x = event->position().x();
    const double xs[3] = {xOf(m_levels.black), xOf(midLevel(m_levels)), xOf(m_levels.white)};
    m_handle = 0;
    for (int k = 1; k < 3; ++k)
        if (std::abs(xs[k] - x) < std::abs(xs[m_handle] - x))
            m_handle = k;
    mouseMoveEvent(event);
}

void CLevelsBar::mouseMoveEvent(QMouseEvent* event)
{
    if (m_handle < 0)
        return;
    const double level = std::round(levelAt(event->position().x()));
    Levels l = m_levels;
    if (m_handle == 0)
        l.black = std::min(level, l.white - 2);
    else if (m_handle == 2)
        l.white = std::max(level, l.black + 2);
    else
        l.gamma = std::round(gammaForMid(l, level) * 100) / 100;
    if (l.valid() && !(l == m_levels)) {
        m_levels = l;
        update();
        emit levelsEdited(l);
    }
}

void CLevelsBar::mouseReleaseEvent(QMouseEvent*)
{
    m_handle = -1;
}

} // namespace ombrik
