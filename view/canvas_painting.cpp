// The canvas's drawing: the back buffer at the screen's device pixels, the
// photo (or the pending preview, or the photo as opened for "Before") with
// its text and frame, the progress strip, the light band and the brush outline.
#include "view/photo_canvas.h"

#include "view/retouch_tool.h"

#include "canvas/composite.h"
#include "files/pixel_image.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>

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

} // namespace

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
    renderInto(m_backBuffer);
}

void CPhotoCanvas::renderInto(QImage& target, const QRect& clip)
{
    QPainter p(&target);
    if (clip.isValid())
        p.setClipRect(clip);
    const PixelBuffer& opened = doc().openedPhoto();
    if (m_showBefore && doc().hasPhoto() && (opened.width != doc().width() || opened.height != doc().height())) {
        // Cropped, turned or resized since: the photo as opened, at its own
        // size, fitted to the view.
        p.fillRect(target.rect(), CanvasBackgroundBrush());
        const QSizeF view = target.deviceIndependentSize();
        const QSizeF fitted = QSizeF(opened.width, opened.height).scaled(view, Qt::KeepAspectRatio);
        const QRectF at(QPointF((view.width() - fitted.width()) / 2, (view.height() - fitted.height()) / 2), fitted);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(at, PixelBufferImage(opened));
        return;
    }
    if (doc().hasPhoto()) {
        // The photo covers its part of the window; only the rest is filled.
        const QRect whole(QPoint(0, 0), target.deviceIndependentSize().toSize());
        const QRegion around = QRegion(whole) - m_photoRect.translated(-m_scrollX, -m_scrollY).intersected(whole);
        for (const QRect& r : around)
            p.fillRect(r, CanvasBackgroundBrush());
    } else {
        p.fillRect(target.rect(), CanvasBackgroundBrush());
    }
    if (!doc().hasPhoto())
        return;
    // The screen shows a pending preview.
    const QImage photo = PixelBufferImage(doc().displayPhoto());
    // Only the part of the photo that is in the window is scaled and drawn.
    const QRect onScreen = m_photoRect.translated(-m_scrollX, -m_scrollY);
    const QSize logical = target.deviceIndependentSize().toSize();
    const QRect dest = onScreen.intersected(QRect(QPoint(0, 0), logical));
    const bool before = m_showBefore;
    if (dest.isEmpty()) {
        m_visibleRect = QRect();
        if (doc().frameIndex() >= 0 && !before)
            m_session.frame().draw(p, onScreen, m_zoom);
        return;
    }
    const double inv = 1.0 / m_zoom;
    const QRectF source((dest.left() - onScreen.left()) * inv, (dest.top() - onScreen.top()) * inv,
                        dest.width() * inv, dest.height() * inv);
    m_visibleRect = source.toAlignedRect().intersected(QRect(0, 0, doc().width(), doc().height()));
    // Smooth when shrinking, and on scaled screens below 200 % (a photo
    // pixel then covers a few device pixels, and blocks would look soft-edged
    // and uneven); from there on the photo's pixels are meant to be seen.
    const qreal ratio = target.devicePixelRatio();
    p.setRenderHint(QPainter::SmoothPixmapTransform, m_zoom < 1.0f || (ratio > 1.0 && m_zoom < 2.0f));
    const QImage shown = before ? PixelBufferImage(opened) : photo;
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
    if (m_markShadows || m_markHighlights)
        drawClippingMarks(p, shown, source.toAlignedRect().intersected(shown.rect()), source, dest);
    // Text shows only where it will be saved: on the photo and its frame.
    const int border = int(doc().frameBorder() * m_zoom);
    m_text.paint(p, objectView(), !m_brushMode && !m_previewMode,
                 onScreen.adjusted(-border, -border, border, border));
    if (doc().frameIndex() >= 0)
        m_session.frame().draw(p, onScreen, m_zoom);
}

void CPhotoCanvas::setClippingMarks(bool shadows, bool highlights)
{
    if (shadows == m_markShadows && highlights == m_markHighlights)
        return;
    m_markShadows = shadows;
    m_markHighlights = highlights;
    refresh();
}

void CPhotoCanvas::drawClippingMarks(QPainter& p, const QImage& shown, const QRect& part, const QRectF& source,
                                     const QRect& dest)
{
    if (part.isEmpty() || shown.format() != QImage::Format_BGR888)
        return;
    QImage marks(part.size(), QImage::Format_ARGB32_Premultiplied);
    const QRgb shadow = m_markShadows ? qRgb(40, 110, 255) : 0;
    const QRgb highlight = m_markHighlights ? qRgb(255, 40, 40) : 0;
    for (int y = 0; y < part.height(); ++y) {
        const uchar* in = shown.constScanLine(part.top() + y) + part.left() * 3;
        auto* out = reinterpret_cast<QRgb*>(marks.scanLine(y));
        for (int x = 0; x < part.width(); ++x, in += 3) {
            const bool dark = in[0] == 0 || in[1] == 0 || in[2] == 0;
            const bool light = in[0] == 255 || in[1] == 255 || in[2] == 255;
            out[x] = light && highlight ? highlight : dark ? shadow : 0;
        }
    }
    p.drawImage(QRectF(dest), marks, source.translated(-part.topLeft()));
}

void CPhotoCanvas::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect area = event->rect();
    const qreal ratio = m_backBuffer.devicePixelRatio();
    p.drawImage(QRectF(area), m_backBuffer,
                QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
    if (m_showBefore && doc().hasPhoto())
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
    if (retouchActive())
        m_retouch->paint(p);
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

void CPhotoCanvas::refreshPhotoArea(const IntRect& area)
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
    renderInto(m_backBuffer, screen);
    update(screen);
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
    const EffectId id = doc().effectId();
    const QPoint s = screenPointOf(m_strokeStart);
    const int d = int(std::hypot(double(q.x() - s.x()), double(q.y() - s.y())));
    p.save();
    // Inverting figures stay visible on any photo.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawLine(s, q);
    if (id != fx::Spotlight && id != fx::PointLight) {  // the flares
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
    if (id == fx::Spotlight) {
        label(s, tr(" Light Point "));
        label(QPoint(q.x(), q.y() - 16), tr(" View Point "));
    } else if (id == fx::PointLight) {
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

} // namespace ombrik
