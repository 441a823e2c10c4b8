// The canvas's layout: zoom, scrolling, centring and the fit, and what a new
// photo or a frame does to them.
#include "view/photo_canvas.h"

#include "view/retouch_tool.h"

#include "ui/scroll_codes.h"
#include "view/crop_tool.h"
#include "view/level_tool.h"

#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ombrik {

CPhotoCanvas::CPhotoCanvas(EditorSession& session, QWidget* parent) : QWidget(parent), m_session(session)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setMinimumSize(64, 64);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(220, 220, 220));
    setPalette(pal);

    m_vBar = new QScrollBar(Qt::Vertical, this);
    m_hBar = new QScrollBar(Qt::Horizontal, this);
    for (QScrollBar* bar : {m_vBar, m_hBar}) {
        bar->setSingleStep(1);
        bar->setPageStep(100);
        bar->hide();
        const bool vertical = bar == m_vBar;
        connect(bar, &QScrollBar::actionTriggered, this, [this, bar, vertical](int action) {
            const int code = ScrollCodeForSliderAction(action);
            if (code < 0)
                return;
            onScroll(vertical, code, bar->sliderPosition());
        });
    }
    connect(&m_session, &EditorSession::opened, this, &CPhotoCanvas::startAfresh);
    connect(&m_session, &EditorSession::changed, this, &CPhotoCanvas::refresh);
    // A frame put round the photo or taken away: the view starts from its corner.
    connect(&m_session, &EditorSession::frameChanged, this, [this] {
        m_scrollX = m_scrollY = 0;
        m_vBar->setValue(0);
        m_hBar->setValue(0);
    });
    m_text.showSelectedText = [this](const std::string& text) { emit textSelected(QString::fromStdString(text)); };
    m_text.showAddedText = [this](const std::string& text) { emit textAdded(QString::fromStdString(text)); };
    refresh();
}

QSize CPhotoCanvas::clientSize() const
{
    return size();
}

void CPhotoCanvas::startAfresh()
{
    endGeometryMode();
    if (m_retouch)
        m_retouch->reset();
    m_dragActive = false;
    m_strokePoints.clear();
    // At 1:1, or fitted when that would show only a corner of the photo.
    setZoom(std::min(1.0f, fitZoom()));
}

// --- Zoom and layout -----------------------------------------------------------

void CPhotoCanvas::setZoom(float zoom)
{
    m_scrollX = m_scrollY = 0;
    m_vBar->setValue(0);
    m_hBar->setValue(0);
    m_zoom = zoom;
    refresh();
}

const std::vector<float>& CPhotoCanvas::zoomLadder()
{
    // Steps that multiply by 1.33 to 2, so a step in and a step out always
    // return to the same size.
    static const std::vector<float> ladder = {kMinZoom, 0.125f, 1.0f / 6, 0.25f, 1.0f / 3, 0.5f, 2.0f / 3,
                                              1.0f, 1.5f, 2.0f, 3.0f, 4.0f, 6.0f, 8.0f, kMaxZoom};
    return ladder;
}

float CPhotoCanvas::nextZoomStep(float zoom, bool in)
{
    // A zoom within a hair of a step counts as on it (fit zooms are arbitrary).
    const auto& ladder = zoomLadder();
    if (in) {
        for (float step : ladder)
            if (step > zoom * 1.001f)
                return step;
        return kMaxZoom;
    }
    for (auto it = ladder.rbegin(); it != ladder.rend(); ++it)
        if (*it < zoom * 0.999f)
            return *it;
    return kMinZoom;
}

void CPhotoCanvas::zoomIn()
{
    zoomAboutCentre(nextZoomStep(m_zoom, true));
}

void CPhotoCanvas::zoomOut()
{
    zoomAboutCentre(nextZoomStep(m_zoom, false));
}

void CPhotoCanvas::actualSize()
{
    zoomAboutCentre(1.0f);
}

void CPhotoCanvas::zoomToFit()
{
    setZoom(fitZoom());
}

QPointF CPhotoCanvas::photoPosAt(QPointF screen) const
{
    return QPointF((m_scrollX + screen.x() - m_photoRect.left()) / m_zoom,
                   (m_scrollY + screen.y() - m_photoRect.top()) / m_zoom);
}

void CPhotoCanvas::zoomAboutCentre(float zoom)
{
    const QSize c = clientSize();
    const int barW = verticalBarShown() ? kScrollBarThickness : 0;
    const int barH = horizontalBarShown() ? kScrollBarThickness : 0;
    zoomAbout(zoom, QPointF((c.width() - barW) / 2.0, (c.height() - barH) / 2.0));
}

void CPhotoCanvas::zoomAbout(float zoom, QPointF anchor)
{
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (m_previewMode) {
        m_zoom = zoom;
        refresh();
        return;
    }
    const QPointF at = photoPosAt(anchor);
    m_zoom = zoom;
    // The new layout first (ranges and centring), then the scroll position
    // that puts the same photo point back under the anchor.
    updateScrollRanges();
    layoutPhoto();
    m_scrollX = std::clamp(int(std::lround(at.x() * zoom + m_photoRect.left() - anchor.x())), 0, m_rangeX);
    m_scrollY = std::clamp(int(std::lround(at.y() * zoom + m_photoRect.top() - anchor.y())), 0, m_rangeY);
    m_hBar->setValue(m_scrollX);
    m_vBar->setValue(m_scrollY);
    refresh();
}

void CPhotoCanvas::scrollBy(int dx, int dy)
{
    const int x = std::clamp(m_scrollX + dx, 0, std::max(0, m_rangeX));
    const int y = std::clamp(m_scrollY + dy, 0, std::max(0, m_rangeY));
    if (x == m_scrollX && y == m_scrollY)
        return;
    const QPoint moved(x - m_scrollX, y - m_scrollY);
    m_scrollX = x;
    m_scrollY = y;
    m_hBar->setValue(x);
    m_vBar->setValue(y);
    if (!shiftBackBuffer(moved.x(), moved.y()))
        refresh();
}

bool CPhotoCanvas::shiftBackBuffer(int dx, int dy)
{
    // A small scroll moves what is already drawn and draws only the strips
    // it uncovers, so panning costs little even at device resolution.
    const QSize client = clientSize();
    const qreal ratio = m_backBuffer.devicePixelRatio();
    if (m_previewMode || m_progress >= 0 || m_backBuffer.isNull() || ratio != std::floor(ratio)
        || m_backBuffer.size() != client * int(ratio) || ratio != renderRatio() || std::abs(dx) * 2 >= client.width()
        || std::abs(dy) * 2 >= client.height())
        return false;
    const int r = int(ratio);
    const int ddx = dx * r, ddy = dy * r;
    const int w = m_backBuffer.width(), h = m_backBuffer.height();
    const size_t rowBytes = size_t(w - std::abs(ddx)) * 4;
    auto moveRow = [&](int to) {
        uchar* line = m_backBuffer.scanLine(to);
        const uchar* from = m_backBuffer.constScanLine(to + ddy);
        std::memmove(line + size_t(std::max(0, -ddx)) * 4, from + size_t(std::max(0, ddx)) * 4, rowBytes);
    };
    if (ddy >= 0)
        for (int y = 0; y < h - ddy; ++y)
            moveRow(y);
    else
        for (int y = h - 1; y >= -ddy; --y)
            moveRow(y);
    const int cw = client.width(), ch = client.height();
    if (dx != 0)
        renderInto(m_backBuffer, dx > 0 ? QRect(cw - dx, 0, dx, ch) : QRect(0, 0, -dx, ch));
    if (dy != 0)
        renderInto(m_backBuffer, dy > 0 ? QRect(0, ch - dy, cw, dy) : QRect(0, 0, cw, -dy));
    update();
    return true;
}

void CPhotoCanvas::setSpacePan(bool on)
{
    m_spaceHeld = on;
    if (m_panning)
        return;
    if (on)
        setCursor(Qt::OpenHandCursor);
    else
        updateCursor(mapFromGlobal(QCursor::pos()));
}

void CPhotoCanvas::setShowBefore(bool on)
{
    if (m_showBefore == on)
        return;
    m_showBefore = on;
    refresh();
}

void CPhotoCanvas::setRenderRatio(qreal ratio)
{
    m_ratioOverride = ratio;
    refresh();
}

qreal CPhotoCanvas::renderRatio() const
{
    return m_ratioOverride > 0 ? m_ratioOverride : devicePixelRatioF();
}

float CPhotoCanvas::fitZoom() const
{
    const int cw = std::max(1, clientSize().width()), ch = std::max(1, clientSize().height());
    const int w = doc().width(), h = doc().height();
    int fw, fh;
    if (double(cw) / ch < double(w) / h) {
        fw = cw;
        fh = int(int64_t(h) * cw / w);
    } else {
        fw = int(int64_t(w) * ch / h);
        fh = ch;
    }
    const int border = doc().frameBorder();
    if (border <= 0)
        return float(fw) / float(w);
    if (fw < cw)
        return float(fh) / float(h + 2 * border);
    return float(fw) / float(w + 2 * border);
}

bool CPhotoCanvas::horizontalBarShown() const
{
    return !m_hBar->isHidden();
}

bool CPhotoCanvas::verticalBarShown() const
{
    return !m_vBar->isHidden();
}

void CPhotoCanvas::updateScrollRanges()
{
    const QSize client = clientSize();
    const int border = doc().frameBorder();
    auto one = [&](QScrollBar* bar, int extent, int clientExtent, int& range, int& scroll) {
        const int overflow = int((extent + 2 * border) * m_zoom) - clientExtent;
        if (overflow > 0 && !m_previewMode) {
            range = overflow + kScrollBarThickness;
            bar->setRange(0, range);
            bar->setValue(std::clamp(scroll, 0, range));
            scroll = bar->value();
            bar->show();
        } else {
            range = 0;
            scroll = 0;
            bar->setRange(0, 0);
            bar->hide();
        }
    };
    one(m_vBar, doc().height(), client.height(), m_rangeY, m_scrollY);
    one(m_hBar, doc().width(), client.width(), m_rangeX, m_scrollX);
}

void CPhotoCanvas::layoutPhoto()
{
    if (m_previewMode)
        m_zoom = fitZoom();
    m_zoomedWidth = int(doc().width() * m_zoom);
    m_zoomedHeight = int(doc().height() * m_zoom);
    const int b = int(doc().frameBorder() * m_zoom);
    QRect r(b, b, m_zoomedWidth, m_zoomedHeight);
    const QSize client = clientSize();
    if (client.width() > 2 * b + m_zoomedWidth)
        r.translate((client.width() - (2 * b + m_zoomedWidth)) / 2, 0);
    if (client.height() > 2 * b + m_zoomedHeight)
        r.translate(0, (client.height() - (2 * b + m_zoomedHeight)) / 2);
    m_photoRect = r;
}

void CPhotoCanvas::onScroll(bool vertical, int code, int position)
{
    int& scroll = vertical ? m_scrollY : m_scrollX;
    const int range = vertical ? m_rangeY : m_rangeX;
    int v = scroll;
    switch (code) {
    case ScrollLineBack: v -= 1; break;
    case ScrollLineForward: v += 1; break;
    case ScrollPageBack: v -= 100; break;
    case ScrollPageForward: v += 100; break;
    case ScrollThumbPosition:
    case ScrollThumbTrack: v = position; break;
    case ScrollToStart: v = 0; break;
    case ScrollToEnd: v = range; break;
    default: return;
    }
    scroll = std::clamp(v, 0, std::max(0, range));
    (vertical ? m_vBar : m_hBar)->setValue(scroll);
    refresh();
}

void CPhotoCanvas::setPreviewMode(bool on)
{
    m_previewMode = on;
    m_outlineShown = false;
    if (on) {
        m_vBar->hide();
        m_hBar->hide();
    }
    refresh();
}

QPoint CPhotoCanvas::photoPointAt(QPoint screen) const
{
    return QPoint(int((m_scrollX + screen.x() - m_photoRect.left()) / m_zoom),
                  int((m_scrollY + screen.y() - m_photoRect.top()) / m_zoom));
}

QPoint CPhotoCanvas::screenPointOf(QPoint photo) const
{
    return QPoint(int(photo.x() * m_zoom + m_photoRect.left() - m_scrollX),
                  int(photo.y() * m_zoom + m_photoRect.top() - m_scrollY));
}

void CPhotoCanvas::resizeEvent(QResizeEvent*)
{
    const QSize c = size();
    m_vBar->setGeometry(c.width() - kScrollBarThickness, 0, kScrollBarThickness, c.height() - kScrollBarThickness);
    m_hBar->setGeometry(0, c.height() - kScrollBarThickness, c.width() - kScrollBarThickness, kScrollBarThickness);
    m_scrollX = std::clamp(m_scrollX, 0, std::max(0, m_rangeX - 1));
    m_scrollY = std::clamp(m_scrollY, 0, std::max(0, m_rangeY - 1));
    if (m_previewMode) {
        m_vBar->hide();
        m_hBar->hide();
    }
    layoutGeometryBar();
    refresh();
}

} // namespace ombrik
