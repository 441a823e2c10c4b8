#include "canvas/photo_frame.h"
#include "files/pixel_image.h"

#include "canvas/frame_library.h"

#include <QBrush>
#include <QPainter>
#include <QPolygon>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace ombrik {

namespace {

QImage StripImage(const PixelBuffer& strip)
{
    // A deep copy in a format the painter tiles quickly; no alpha.
    return PixelBufferImage(strip).convertToFormat(QImage::Format_RGB32);
}

} // namespace

void DrawFrameStrip(QPainter& painter, const QRect& inner, int border, const QImage& strip, double textureScale)
{
    if (border <= 0 || strip.isNull() || textureScale <= 0.0)
        return;
    // Shrinking is done once with proper filtering (a tiled brush samples
    // without it); enlarging is left to the brush transform.
    QImage texture = strip;
    double s = textureScale;
    if (s < 1.0) {
        const int w = std::max(1, int(std::lround(strip.width() * s)));
        const int h = std::max(1, int(std::lround(strip.height() * s)));
        texture = strip.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        s = double(border) / w;
    }
    const int l = inner.left(), t = inner.top();
    const int r = l + inner.width(), b = t + inner.height();
    const int L = l - border, T = t - border, R = r + border, B = b + border;
    // Trapezoids from the outer edge to the inner edge with 45-degree ends;
    // with antialiasing off neighbours share their diagonal without a seam.
    const QPolygon sides[4] = {
        QPolygon({QPoint(L, T), QPoint(l, t), QPoint(l, b), QPoint(L, B)}),
        QPolygon({QPoint(L, T), QPoint(R, T), QPoint(r, t), QPoint(l, t)}),
        QPolygon({QPoint(R, T), QPoint(R, B), QPoint(r, b), QPoint(r, t)}),
        QPolygon({QPoint(L, B), QPoint(l, b), QPoint(r, b), QPoint(R, B)}),
    };
    // The strip's outer (left) column lands on each side's outer edge.
    const QPoint anchors[4] = {QPoint(L, T), QPoint(L, T), QPoint(R, T), QPoint(L, B)};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setPen(Qt::NoPen);
    for (int k = 0; k < 4; ++k) {
        QBrush brush(texture);
        QTransform m;
        m.translate(anchors[k].x(), anchors[k].y());
        m.rotate(90.0 * k);
        m.scale(s, s);
        brush.setTransform(m);
        painter.setBrush(brush);
        painter.drawPolygon(sides[k]);
    }
    painter.restore();
}

float FrameScaleFor(int width, int height, int stripWidth)
{
    if (stripWidth <= 0)
        return 0.0f;
    const float scale = float(width + height) * 0.00055803574f * 0.6f;
    int total = int(2.0f * float(stripWidth) * scale);
    total -= total % 4;
    return float(total) / float(2 * stripWidth);
}

bool PhotoFrame::choose(int index, int photoWidth, int photoHeight)
{
    std::optional<PixelBuffer> strip = LoadFrame(index);
    if (!strip)
        return false;
    m_image = StripImage(*strip);
    m_scale = FrameScaleFor(photoWidth, photoHeight, m_image.width());
    return true;
}

void PhotoFrame::restore(int index)
{
    m_image = QImage();
    if (index < 0)
        return;
    if (std::optional<PixelBuffer> strip = LoadFrame(index))
        m_image = StripImage(*strip);
}

int PhotoFrame::border() const
{
    return m_image.isNull() ? 0 : int(std::lround(m_image.width() * double(m_scale)));
}

void PhotoFrame::draw(QPainter& painter, const QRect& photoRect, float zoom) const
{
    const int b = int(border() * zoom);
    DrawFrameStrip(painter, photoRect, b, m_image, double(m_scale) * zoom);
}

} // namespace ombrik
