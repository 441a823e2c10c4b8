#include "canvas/photo_canvas.h"

#include "canvas/recovery_journal.h"
#include "canvas/composite.h"
#include "canvas/scroll_codes.h"
#include "engine/effect_filter.h"
#include "files/photo_saver.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <numbers>

namespace ombrik {

namespace {

// The progress strip's frame (227 × 15) and fill (200 × 7).
const QImage& ProgressFrame()
{
    static const QImage frame = [] {
        QImage img(227, 15, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.setBrush(QColor(245, 245, 245));
        p.drawRoundedRect(QRectF(0.5, 0.5, 226, 14), 4, 4);
        p.setPen(QPen(QColor(170, 170, 170), 1));
        p.setBrush(QColor(225, 225, 225));
        p.drawRect(QRectF(3.5, 3.5, 219, 7));
        return img;
    }();
    return frame;
}

const QImage& ProgressFill()
{
    static const QImage fill = [] {
        QImage img(200, 7, QImage::Format_RGB32);
        QPainter p(&img);
        QLinearGradient g(0, 0, 0, 7);
        g.setColorAt(0, QColor(140, 180, 255));
        g.setColorAt(0.5, QColor(60, 110, 220));
        g.setColorAt(1, QColor(30, 70, 170));
        p.fillRect(img.rect(), g);
        return img;
    }();
    return fill;
}

QImage PhotoImage(const PixelBuffer& photo)
{
    return QImage(photo.data(), photo.width, photo.height, int(photo.stride()), QImage::Format_BGR888);
}

bool IsFilterId(EffectId id)
{
    return id >= 40 && id <= 79;
}

bool IsLightPlacementId(EffectId id)
{
    return id >= 120 && id <= 124;
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

CPhotoCanvas::CPhotoCanvas(QWidget* parent, MessageTarget* owner) : QWidget(parent), m_owner(owner)
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
    m_doc.historyChanged = [this] { send(WM_HISTORY_CHANGED); };
    // Undo and redo bring back a frame index; its picture is loaded again.
    m_doc.frameRestored = [this](int index) {
        m_frame.restore(index);
        m_doc.setFrameBorder(m_frame.border());
    };
    m_doc.photoResized = [this] { refitFrame(); };
    refresh();
}

intptr_t CPhotoCanvas::send(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    return m_owner ? m_owner->sendMessage(message, wParam, lParam) : 0;
}

QSize CPhotoCanvas::clientSize() const
{
    return size();
}

void CPhotoCanvas::afterOpen(PixelBuffer photo, const std::string& path)
{
    if (photo.empty())
        return;
    endGeometryMode();
    m_dragActive = false;
    m_strokePoints.clear();
    m_frame.clear();
    m_doc.afterOpen(std::move(photo), path);
    setZoom(1.0f);
}

bool CPhotoCanvas::restoreRecovered(RecoveredDocument&& recovered)
{
    const int frameIndex = recovered.frameIndex;
    if (!m_doc.restoreRecovered(std::move(recovered)))
        return false;
    m_dragActive = false;
    m_strokePoints.clear();
    const unsigned seed = unsigned(std::time(nullptr));
    SeedScatterRandom(seed);
    std::srand(seed);
    m_frame.clear();
    m_doc.setFrameBorder(0);
    if (frameIndex >= 0 && m_frame.choose(frameIndex, m_doc.width(), m_doc.height())) {
        m_doc.setFrameBorder(m_frame.border());
    } else if (frameIndex >= 0) {
        m_doc.setFrameIndex(-1);  // the frame library lost that picture
        m_doc.objectsEdited();
    }
    setZoom(1.0f);
    return true;
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
        renderInto(m_backBuffer, false, dx > 0 ? QRect(cw - dx, 0, dx, ch) : QRect(0, 0, -dx, ch));
    if (dy != 0)
        renderInto(m_backBuffer, false, dy > 0 ? QRect(0, ch - dy, cw, dy) : QRect(0, 0, cw, -dy));
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
    const int w = m_doc.width(), h = m_doc.height();
    int fw, fh;
    if (double(cw) / ch < double(w) / h) {
        fw = cw;
        fh = int(int64_t(h) * cw / w);
    } else {
        fw = int(int64_t(w) * ch / h);
        fh = ch;
    }
    const int border = m_doc.frameBorder();
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
    const int border = m_doc.frameBorder();
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
    one(m_vBar, m_doc.height(), client.height(), m_rangeY, m_scrollY);
    one(m_hBar, m_doc.width(), client.width(), m_rangeX, m_scrollX);
}

void CPhotoCanvas::layoutPhoto()
{
    if (m_previewMode)
        m_zoom = fitZoom();
    m_zoomedWidth = int(m_doc.width() * m_zoom);
    m_zoomedHeight = int(m_doc.height() * m_zoom);
    const int b = int(m_doc.frameBorder() * m_zoom);
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

// --- Drawing ---------------------------------------------------------------------

void CPhotoCanvas::refresh()
{
    m_progress = -1;
    renderBackBuffer();
    update();
    if (m_zoom != m_reportedZoom) {
        m_reportedZoom = m_zoom;
        emit zoomChanged(m_zoom);
    }
}

void CPhotoCanvas::renderBackBuffer()
{
    updateScrollRanges();
    layoutPhoto();
    // The buffer has the screen's device pixels, so the photo is sampled at
    // device resolution on scaled screens.
    const qreal ratio = renderRatio();
    const QSize device = (QSizeF(clientSize()) * ratio).toSize();
    if (m_backBuffer.size() != device || m_backBuffer.devicePixelRatio() != ratio) {
        m_backBuffer = QImage(device, QImage::Format_RGB32);
        m_backBuffer.setDevicePixelRatio(ratio);
    }
    renderInto(m_backBuffer, false);
}

void CPhotoCanvas::renderInto(QImage& target, bool forExport, const QRect& clip)
{
    QPainter p(&target);
    if (clip.isValid())
        p.setClipRect(clip);
    if (!forExport && m_doc.hasPhoto()) {
        // The photo covers its part of the window; only the rest is filled.
        const QRect whole(QPoint(0, 0), target.deviceIndependentSize().toSize());
        const QRegion around = QRegion(whole) - m_photoRect.translated(-m_scrollX, -m_scrollY).intersected(whole);
        for (const QRect& r : around)
            p.fillRect(r, CanvasBackgroundBrush());
    } else {
        p.fillRect(target.rect(), CanvasBackgroundBrush());
    }
    if (!m_doc.hasPhoto())
        return;
    // The screen shows a pending preview; the export only what the document holds.
    const QImage photo = PhotoImage(forExport ? m_doc.photo() : m_doc.displayPhoto());
    if (forExport) {
        // Zoom 1, no scrolling: the whole photo inside its frame border.
        PaintComposite(p, m_doc.photo(), m_doc.objects(), m_doc.frameIndex() >= 0 ? &m_frame : nullptr);
        return;
    }
    // Only the part of the photo that is in the window is scaled and drawn.
    const QRect onScreen = m_photoRect.translated(-m_scrollX, -m_scrollY);
    const QSize logical = target.deviceIndependentSize().toSize();
    const QRect dest = onScreen.intersected(QRect(QPoint(0, 0), logical));
    const PixelBuffer& opened = m_doc.openedPhoto();
    const bool before = m_showBefore && opened.width == m_doc.width() && opened.height == m_doc.height();
    if (dest.isEmpty()) {
        m_visibleRect = QRect();
        if (m_doc.frameIndex() >= 0 && !before)
            m_frame.draw(p, onScreen, m_zoom);
        return;
    }
    const double inv = 1.0 / m_zoom;
    const QRectF source((dest.left() - onScreen.left()) * inv, (dest.top() - onScreen.top()) * inv,
                        dest.width() * inv, dest.height() * inv);
    m_visibleRect = source.toAlignedRect().intersected(QRect(0, 0, m_doc.width(), m_doc.height()));
    // Smooth when shrinking, and on scaled screens below 200 % (a photo
    // pixel then covers a few device pixels, and blocks would look soft-edged
    // and uneven); from there on the photo's pixels are meant to be seen.
    const qreal ratio = target.devicePixelRatio();
    p.setRenderHint(QPainter::SmoothPixmapTransform, m_zoom < 1.0f || (ratio > 1.0 && m_zoom < 2.0f));
    const QImage shown = before ? PhotoImage(opened) : photo;
    if (m_zoom >= 1.0f && !clip.isValid()) {
        // Enlarged, the visible part has fewer photo pixels than the window
        // has device pixels: it is turned into the painter's own 32-bit format
        // first, which it scales several times faster (one pixel of margin
        // keeps smooth sampling at the window's edges). Strips drawn under a
        // clip are small and skip this.
        const QRect part = source.toAlignedRect().adjusted(-1, -1, 1, 1).intersected(shown.rect());
        p.drawImage(QRectF(dest), shown.copy(part).convertToFormat(QImage::Format_RGB32),
                    source.translated(-part.topLeft()));
    } else {
        p.drawImage(QRectF(dest), shown, source);
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (before)
        return;  // the photo as opened has no text and no frame
    // Text shows only where it will be saved: on the photo and its frame.
    const int border = int(m_doc.frameBorder() * m_zoom);
    m_text.paint(p, objectView(), !m_brushMode && !m_previewMode,
                 onScreen.adjusted(-border, -border, border, border));
    if (m_doc.frameIndex() >= 0)
        m_frame.draw(p, onScreen, m_zoom);
}

void CPhotoCanvas::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect area = event->rect();
    const qreal ratio = m_backBuffer.devicePixelRatio();
    p.drawImage(QRectF(area), m_backBuffer,
                QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
    if (m_showBefore && m_doc.hasPhoto())
        drawBeforeLabel(p);
    if (m_progress >= 0) {
        const QSize c = clientSize();
        p.drawImage(QPoint(c.width() / 2 - 114, c.height() / 2 - 15), ProgressFrame());
        if (m_progress > 0 && m_progress <= 100)
            p.drawImage(QRect(c.width() / 2 - 110, c.height() / 2 - 11, m_progress * 219 / 100, 7), ProgressFill());
    }
    if (m_bandShown && lightDragActive())
        drawLightBand(p, m_lightPointer);
    if (m_outlineShown && showsBrushOutline()) {
        // An inverting circle stays visible on any photo and vanishes when the
        // square is copied back from the back buffer.
        p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        const QRect r = outlineRect(m_outlineCentre);
        p.drawEllipse(r.adjusted(0, 0, -1, -1));
    }
    paintGeometryOverlay(p);
}

void CPhotoCanvas::drawBeforeLabel(QPainter& p)
{
    p.save();
    QFont f = font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    p.setFont(f);
    const QString text = tr("Before");
    const QRect box = p.fontMetrics().boundingRect(text).adjusted(-10, -5, 10, 5);
    const QRect at = box.translated(QPoint(12, 12) - box.topLeft());
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 22, 30, 190));
    p.drawRoundedRect(at, 6, 6);
    p.setPen(QColor(250, 250, 252));
    p.drawText(at, Qt::AlignCenter, text);
    p.restore();
}

void CPhotoCanvas::refreshPhotoArea(const PixelArea& area)
{
    if (area.empty())
        return;
    const QPoint origin = m_photoRect.topLeft() - QPoint(m_scrollX, m_scrollY);
    const QRect screen = QRect(QPoint(int(std::floor(area.left * double(m_zoom))) - 1,
                                      int(std::floor(area.top * double(m_zoom))) - 1),
                               QPoint(int(std::ceil(area.right * double(m_zoom))) + 1,
                                      int(std::ceil(area.bottom * double(m_zoom))) + 1))
                             .translated(origin)
                             .intersected(rect());
    if (screen.isEmpty())
        return;
    renderInto(m_backBuffer, false, screen);
    update(screen);
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

int CPhotoCanvas::lightDistance(QPoint q) const
{
    const QPoint s = screenPointOf(m_strokeStart);
    const int d = int(std::hypot(double(q.x() - s.x()), double(q.y() - s.y())));
    // The on-screen diagonal, truncated like the band length, so that a band
    // as long as the diagonal reads 100.
    const int diagonal = int(std::hypot(double(m_zoomedWidth), double(m_zoomedHeight)));
    return diagonal > 0 ? int(int64_t(d) * 100 / diagonal) : 0;
}

void CPhotoCanvas::drawLightBand(QPainter& p, QPoint q)
{
    const EffectId id = m_doc.effectId();
    const QPoint s = screenPointOf(m_strokeStart);
    const int d = int(std::hypot(double(q.x() - s.x()), double(q.y() - s.y())));
    p.save();
    // Inverting figures stay visible on any photo.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawLine(s, q);
    if (id >= 122) {
        p.drawEllipse(s, d, d);
        m_flareRadius = int(d / m_zoom);
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setFont(font());
    // Labels: black on white, top-left in their rectangle, not clipped to it.
    auto label = [&p](QPoint at, const QString& text) {
        const QRect box = p.boundingRect(QRect(at, QSize(200, 16)), Qt::TextDontClip, text);
        p.fillRect(box, Qt::white);
        p.setPen(Qt::black);
        p.drawText(box, Qt::TextDontClip, text);
    };
    if (id == 120) {
        label(s, tr(" Light Point "));
        label(QPoint(q.x(), q.y() - 16), tr(" View Point "));
    } else if (id == 121) {
        const QPoint mid((s.x() + q.x()) / 2, (s.y() + q.y()) / 2);
        label(mid, tr(" Light Distance: %1 ").arg(lightDistance(q)));
        label(QPoint(q.x(), q.y() - 16), tr(" Light Point "));
    }
    p.restore();
}

void CPhotoCanvas::showProgress(int percent)
{
    m_progress = std::clamp(percent, 0, 100);
    const QSize c = clientSize();
    repaint(QRect(c.width() / 2 - 114, c.height() / 2 - 15, 227, 15));
}

QImage CPhotoCanvas::renderToImage()
{
    renderBackBuffer();
    QImage shot(size(), QImage::Format_RGB32);
    render(&shot);
    return shot;
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

PixelBuffer CPhotoCanvas::exportComposite()
{
    if (!m_doc.hasPhoto())
        return {};
    const int b = m_doc.frameBorder();
    QImage surface(m_doc.width() + 2 * b, m_doc.height() + 2 * b, QImage::Format_RGB32);
    renderInto(surface, true);
    surface = surface.convertToFormat(QImage::Format_BGR888);
    PixelBuffer out(surface.width(), surface.height(), 3);
    for (int y = 0; y < surface.height(); ++y)
        std::memcpy(out.at(0, y), surface.constScanLine(y), out.stride());
    refresh();
    return out;
}

bool CPhotoCanvas::saveCompositeTo(const PixelBuffer& composite, const std::string& path)
{
    return SavePhoto(composite, path, nullptr, {}).ok();
}

LoadedPhoto CPhotoCanvas::openPhoto(const std::string& path)
{
    LoadedPhoto loaded = LoadPhoto(path, m_doc.thresholdWidth(), m_doc.thresholdHeight());
    if (!loaded.ok)
        return loaded;  // the previous photo stays
    // Splash and the stamps draw from generators seeded per photo.
    const unsigned seed = unsigned(std::time(nullptr));
    SeedScatterRandom(seed);
    std::srand(seed);
    afterOpen(std::move(loaded.photo), path);
    m_doc.setPhotoMetadata(loaded.metadata);
    loaded.photo = PixelBuffer();
    return loaded;
}

// --- Effects and history ----------------------------------------------------------

bool CPhotoCanvas::selectEffect(EffectId id)
{
    m_doc.resetPendingOptions();
    const bool done = m_doc.selectEffect(id);
    refresh();
    return done;
}

void CPhotoCanvas::setBrushSizePreset(int preset)
{
    m_doc.setBrushSizePreset(preset);
    refresh();
}

void CPhotoCanvas::setBrushShape(int shape)
{
    m_doc.setBrushShape(shape);
}

void CPhotoCanvas::setBrushSize(int size)
{
    m_doc.setBrushSize(size);
    refresh();
}

void CPhotoCanvas::undo()
{
    if (!m_doc.canUndo())
        return;
    const QSize before(m_doc.width(), m_doc.height());
    m_doc.undo();
    if (before != QSize(m_doc.width(), m_doc.height()))
        refitFrame();
    refresh();
}

void CPhotoCanvas::redo()
{
    if (!m_doc.canRedo())
        return;
    const QSize before(m_doc.width(), m_doc.height());
    m_doc.redo();
    if (before != QSize(m_doc.width(), m_doc.height()))
        refitFrame();
    refresh();
}

bool CPhotoCanvas::setPhotoFrame(int index)
{
    if (index == m_doc.frameIndex() || !m_doc.hasPhoto())
        return false;
    // A picture that cannot be loaded leaves the previous frame as it was.
    if (!m_frame.choose(index, m_doc.width(), m_doc.height()))
        return false;
    m_doc.setFrameIndex(index);
    m_doc.setFrameBorder(m_frame.border());
    m_scrollX = m_scrollY = 0;
    m_vBar->setValue(0);
    m_hBar->setValue(0);
    m_doc.recordStep(false);
    refresh();
    return true;
}

void CPhotoCanvas::deletePhotoFrame()
{
    if (m_doc.frameIndex() < 0)
        return;
    m_doc.setFrameIndex(-1);
    m_frame.clear();
    m_doc.setFrameBorder(0);
    m_scrollX = m_scrollY = 0;
    m_vBar->setValue(0);
    m_hBar->setValue(0);
    m_doc.recordStep(false);
    refresh();
}

void CPhotoCanvas::deleteSelectedObject()
{
    if (m_doc.removeSelectedObject())
        m_doc.recordStep(false);
    refresh();
}

// --- Mouse -----------------------------------------------------------------------

bool CPhotoCanvas::showsBrushOutline() const
{
    const EffectId id = m_doc.effectId();
    return m_brushMode && !m_previewMode && m_doc.hasPhoto() && !IsFilterId(id) && !IsLightPlacementId(id)
        && !m_dragActive && m_geometryMode == GeometryMode::None;
}

QRect CPhotoCanvas::outlineRect(QPoint centre) const
{
    const int side = std::max(1, int(m_doc.brushSize() * m_zoom));
    return QRect(centre.x() - side / 2, centre.y() - side / 2, side, side);
}

void CPhotoCanvas::updateCursor(QPoint p)
{
    const EffectId id = m_doc.effectId();
    if (!m_brushMode || m_previewMode || !m_doc.hasPhoto()) {
        unsetCursor();
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
    const int64_t size = m_doc.brushTip().width;
    const int64_t w = m_doc.width();
    const int64_t left = w * (m_scrollX + m.x() - m_photoRect.left()) / m_zoomedWidth - size / 2;
    const int64_t top = w * (m_scrollY + m.y() - m_photoRect.top()) / m_zoomedWidth - size / 2;
    // Far outside the photo there is nothing to do (and nothing to overflow).
    if (left > w || top > m_doc.height() || left + size < 0 || top + size < 0)
        return;
    m_doc.dab(int(left), int(top));
}

void CPhotoCanvas::strokeTo(QPoint m)
{
    const QPoint last = m_strokePoints.empty() ? m : m_strokePoints.back();
    const int s = std::max(1, int(int64_t(m_doc.brushSize() / 4) * m_zoomedWidth / std::max(1, m_doc.width())));
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

void CPhotoCanvas::pressAt(QPoint p, Qt::MouseButton button)
{
    if (m_previewMode) {
        send(WM_LEAVE_PREVIEW);
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
    if (button == Qt::LeftButton && geometryPress(p))
        return;
    if (button == Qt::LeftButton && !m_brushMode) {
        if (m_text.press(p, objectView()))
            refresh();
        return;
    }
    if (button != Qt::LeftButton || !m_doc.hasPhoto() || !m_brushMode)
        return;
    const EffectId id = m_doc.effectId();
    const QPoint virt = p + QPoint(m_scrollX, m_scrollY);
    if (!IsLightPlacementId(id) && !m_photoRect.contains(virt))
        return;
    m_strokeStart = photoPointAt(p);
    m_dragActive = true;
    m_strokePoints.clear();
    m_bandShown = false;
    if (m_doc.applyMode() == ApplyMode::WarpBrush)
        m_doc.beginWarp(m_strokeStart.x(), m_strokeStart.y());
    if (m_doc.applyMode() == ApplyMode::LightPlacement) {
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
    if (!m_brushMode && !m_previewMode) {
        if (m_text.drag(p, objectView()))
            refresh();
        const std::optional<QCursor> cursor = m_text.hoverCursor(p, objectView());
        cursor ? setCursor(*cursor) : unsetCursor();
        return;
    }
    if (m_dragActive) {
        switch (m_doc.applyMode()) {
        case ApplyMode::WarpBrush: {
            const QPoint at = photoPointAt(p);
            refreshPhotoArea(m_doc.warpTo(at.x(), at.y()));
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

void CPhotoCanvas::releaseAt(QPoint p, Qt::MouseButton button)
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
    if (m_text.dragging()) {
        m_text.release();
        refresh();
        return;
    }
    if (!m_dragActive)
        return;
    m_dragActive = false;
    const ApplyMode mode = m_doc.applyMode();
    if (mode == ApplyMode::WarpBrush) {
        const QPoint at = photoPointAt(p);
        refreshPhotoArea(m_doc.endWarp(at.x(), at.y()));
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
        m_doc.placeLight(m_strokeStart.x(), m_strokeStart.y(), release.x(), release.y(), m_flareRadius);
        refresh();
        return;
    }
    dabAtScreen(p);
    if (mode != ApplyMode::StampBrush)
        m_strokePoints.clear();
    m_doc.endStroke();
    refresh();
}

void CPhotoCanvas::mousePressEvent(QMouseEvent* event)
{
    pressAt(event->position().toPoint(), event->button());
}

void CPhotoCanvas::mouseMoveEvent(QMouseEvent* event)
{
    moveTo(event->position().toPoint());
}

void CPhotoCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    releaseAt(event->position().toPoint(), event->button());
}

void CPhotoCanvas::leaveEvent(QEvent*)
{
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
        deleteSelectedObject();
        return;
    }
    if (event->key() == Qt::Key_Escape && m_previewMode) {
        send(WM_LEAVE_PREVIEW);
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
    send(WM_SHOW_CONTEXT_MENU, 0, 0);
}

} // namespace ombrik
