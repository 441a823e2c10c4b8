#include "canvas/text_objects.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace ombrik {

namespace {

constexpr double kDegreesPerRadian = 57.2957763671875;

} // namespace

QSize ObjectScreenSize(const CanvasObject& o, float zoom)
{
    return QSize(int(o.textWidth * o.scale * zoom), int(o.textHeight * o.scale * zoom));
}

float Direction(QPointF p, QPointF c)
{
    const double dx = p.x() - c.x();
    const double theta = dx == 0 ? 90.0 : std::abs(std::atan((c.y() - p.y()) / dx)) * kDegreesPerRadian;
    const bool below = p.y() > c.y();
    if (dx < 0)
        return float(below ? -theta : theta);
    return float(below ? theta - 180.0 : 180.0 - theta);
}

QTransform ObjectTransform(const CanvasObject& o, const ObjectView& v)
{
    const double s = double(v.zoom) * o.scale;
    const double tx = s * o.textWidth / 2 + double(v.zoom) * o.x + v.photoTopLeft.x() - v.scrollX;
    const double ty = s * o.textHeight / 2 + double(v.zoom) * o.y + v.photoTopLeft.y() - v.scrollY;
    QTransform rotation;
    rotation.rotate(o.angle);
    return QTransform::fromTranslate(-o.textWidth / 2.0, -o.textHeight / 2.0) * QTransform::fromScale(s, s) * rotation
        * QTransform::fromTranslate(tx, ty);
}

QPointF ObjectCentre(const CanvasObject& o, const ObjectView& v)
{
    return QPointF(double(v.zoom) * o.x - v.scrollX + double(v.zoom) * o.textWidth * o.scale / 2 + v.photoTopLeft.x(),
                   double(v.zoom) * o.y - v.scrollY + double(v.zoom) * o.textHeight * o.scale / 2
                       + v.photoTopLeft.y());
}

QTransform HandleTransform(const CanvasObject& o, const ObjectView& v)
{
    const QSize size = ObjectScreenSize(o, v.zoom);
    const QPointF centre = ObjectCentre(o, v);
    QTransform rotation;
    rotation.rotate(o.angle);
    return QTransform::fromTranslate(-size.width() / 2.0, -size.height() / 2.0) * rotation
        * QTransform::fromTranslate(centre.x(), centre.y());
}

std::array<QRect, kHandleCount> HandleRects(int w, int h)
{
    const QRect h0(-kHandleSize, -kHandleSize, kHandleSize, kHandleSize);
    std::array<QRect, kHandleCount> r;
    r[0] = h0;
    r[1] = h0.translated(0, (h + 8) / 2);
    r[2] = h0.translated(0, h + 8);
    r[3] = h0.translated((w + 8) / 2, h + 8);
    r[4] = h0.translated(w + 8, h + 8);
    r[5] = h0.translated(w + 8, (h + 8) / 2);
    r[6] = h0.translated(w + 8, 0);
    r[7] = h0.translated((w + 8) / 2, 0);
    r[8] = r[0].translated(-8, -8);
    r[9] = r[2].translated(-8, 8);
    r[10] = r[6].translated(8, -8);
    r[11] = r[4].translated(8, 8);
    return r;
}

void DrawTextObject(QPainter& painter, const CanvasObject& o, const ObjectView& view)
{
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setTransform(ObjectTransform(o, view));
    DrawStyledText(painter, o.style, QString::fromStdString(o.text), o.font, false,
                   QRectF(0, 0, o.textWidth, o.textHeight), o.colour1, o.colour2, int(255 - o.transparency * 255));
    painter.restore();
}

} // namespace ombrik
