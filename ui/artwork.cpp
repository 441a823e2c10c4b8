#include "ui/artwork.h"
#include "files/pixel_image.h"

#include "effects/effect_request.h"

#include <QFontMetricsF>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstring>

static void InitOmbrikResources()
{
    Q_INIT_RESOURCE(ombrik);
}

namespace ombrik {

namespace {

QPen Stroke(const QColor& ink, double width = 1.8)
{
    QPen pen(ink, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void Magnifier(QPainter& p, const QColor& ink)
{
    p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
    p.setPen(Stroke(ink, 2.6));
    p.drawLine(QPointF(15, 15), QPointF(21, 21));
    p.setPen(Stroke(ink));
}

void Arrow(QPainter& p, bool forward)
{
    // A curved arrow: an arc with a head at its end.
    QPainterPath path;
    if (forward) {
        path.moveTo(5, 17);
        path.cubicTo(5, 9, 12, 7, 19, 9);
        p.drawPath(path);
        p.drawPolyline(QPolygonF({QPointF(15, 5), QPointF(19.5, 9), QPointF(15, 13)}));
    } else {
        path.moveTo(19, 17);
        path.cubicTo(19, 9, 12, 7, 5, 9);
        p.drawPath(path);
        p.drawPolyline(QPolygonF({QPointF(9, 5), QPointF(4.5, 9), QPointF(9, 13)}));
    }
}

void Star(QPainter& p, QPointF c, double outer, double inner, int points, double rotation = 0)
{
    QPolygonF poly;
    for (int i = 0; i < points * 2; ++i) {
        const double r = i % 2 ? inner : outer;
        const double a = rotation + M_PI * i / points - M_PI / 2;
        poly << QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
    }
    p.drawPolygon(poly);
}

} // namespace

void PaintGlyph(QPainter& p, Glyph glyph, const QRectF& rect, const QColor& ink)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(rect.topLeft());
    p.scale(rect.width() / 24.0, rect.height() / 24.0);
    p.setPen(Stroke(ink));
    p.setBrush(Qt::NoBrush);
    QColor soft = ink;
    soft.setAlpha(60);
    switch (glyph) {
    case Glyph::Open: {
        QPainterPath back;
        back.moveTo(3, 19);
        back.lineTo(3, 5);
        back.lineTo(9, 5);
        back.lineTo(11, 7);
        back.lineTo(19, 7);
        back.lineTo(19, 10);
        p.drawPath(back);
        QPainterPath front;
        front.moveTo(3, 19);
        front.lineTo(7, 11);
        front.lineTo(22, 11);
        front.lineTo(18, 19);
        front.closeSubpath();
        p.setBrush(soft);
        p.drawPath(front);
        break;
    }
    case Glyph::Save:
        p.drawRoundedRect(QRectF(4, 4, 16, 16), 2, 2);
        p.setBrush(soft);
        p.drawRect(QRectF(8, 4, 8, 5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(7, 13, 10, 7), 1, 1);
        break;
    case Glyph::Undo: Arrow(p, false); break;
    case Glyph::Redo: Arrow(p, true); break;
    case Glyph::DeleteObject:
        p.setFont(QFont("DejaVu Sans", 11, QFont::Bold));
        p.drawText(QRectF(1, 1, 16, 16), Qt::AlignCenter, "T");
        p.setPen(Stroke(QColor(200, 60, 60), 2.2));
        p.drawLine(QPointF(14, 14), QPointF(21, 21));
        p.drawLine(QPointF(21, 14), QPointF(14, 21));
        break;
    case Glyph::DeleteFrame:
        p.drawRect(QRectF(3, 3, 15, 15));
        p.drawRect(QRectF(6, 6, 9, 9));
        p.setPen(Stroke(QColor(200, 60, 60), 2.2));
        p.drawLine(QPointF(14, 14), QPointF(21, 21));
        p.drawLine(QPointF(21, 14), QPointF(14, 21));
        break;
    case Glyph::Preview: {
        QPainterPath eye;
        eye.moveTo(2, 12);
        eye.quadTo(12, 2, 22, 12);
        eye.quadTo(12, 22, 2, 12);
        p.drawPath(eye);
        p.setBrush(ink);
        p.drawEllipse(QPointF(12, 12), 3.2, 3.2);
        break;
    }
    case Glyph::Threshold:
        p.drawRect(QRectF(3, 7, 18, 12));
        p.setBrush(soft);
        p.drawRect(QRectF(3, 11, 11, 8));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(15, 3), QPointF(21, 3), QPointF(21, 9)}));
        p.drawLine(QPointF(21, 3), QPointF(16, 8));
        break;
    case Glyph::ZoomFit:
        p.drawPolyline(QPolygonF({QPointF(3, 8), QPointF(3, 3), QPointF(8, 3)}));
        p.drawPolyline(QPolygonF({QPointF(16, 3), QPointF(21, 3), QPointF(21, 8)}));
        p.drawPolyline(QPolygonF({QPointF(21, 16), QPointF(21, 21), QPointF(16, 21)}));
        p.drawPolyline(QPolygonF({QPointF(8, 21), QPointF(3, 21), QPointF(3, 16)}));
        p.setBrush(soft);
        p.drawRect(QRectF(7, 8, 10, 8));
        break;
    case Glyph::ActualSize:
        p.drawRoundedRect(QRectF(3, 5, 18, 14), 2, 2);
        p.setFont(QFont("DejaVu Sans", 6, QFont::Bold));
        p.drawText(QRectF(3, 5, 18, 14), Qt::AlignCenter, "1:1");
        break;
    case Glyph::ZoomIn:
        Magnifier(p, ink);
        p.drawLine(QPointF(7, 10), QPointF(13, 10));
        p.drawLine(QPointF(10, 7), QPointF(10, 13));
        break;
    case Glyph::ZoomOut:
        Magnifier(p, ink);
        p.drawLine(QPointF(7, 10), QPointF(13, 10));
        break;
    case Glyph::Exit:
        p.drawPolyline(QPolygonF({QPointF(13, 4), QPointF(4, 4), QPointF(4, 20), QPointF(13, 20)}));
        p.drawLine(QPointF(9, 12), QPointF(21, 12));
        p.drawPolyline(QPolygonF({QPointF(17, 8), QPointF(21, 12), QPointF(17, 16)}));
        break;
    case Glyph::Help:
        p.drawEllipse(QPointF(12, 12), 9, 9);
        p.setFont(QFont("DejaVu Sans", 10, QFont::Bold));
        p.drawText(QRectF(3, 3, 18, 18), Qt::AlignCenter, "?");
        break;
    case Glyph::About:
        p.drawEllipse(QPointF(12, 12), 9, 9);
        p.setBrush(ink);
        p.drawEllipse(QPointF(12, 7.5), 1.3, 1.3);
        p.drawLine(QPointF(12, 11), QPointF(12, 17));
        break;
    case Glyph::Retouch: {
        // A brush.
        p.setBrush(soft);
        QPainterPath handle;
        handle.moveTo(20, 3);
        handle.lineTo(22, 5);
        handle.lineTo(12, 15);
        handle.lineTo(10, 13);
        handle.closeSubpath();
        p.drawPath(handle);
        QPainterPath tip;
        tip.moveTo(10, 13);
        tip.lineTo(12, 15);
        tip.cubicTo(11, 20, 6, 21, 2, 21);
        tip.cubicTo(4, 19, 4, 14, 10, 13);
        p.setBrush(ink);
        p.drawPath(tip);
        break;
    }
    case Glyph::Filters:
        p.setBrush(soft);
        p.drawEllipse(QPointF(9, 9), 6, 6);
        p.drawEllipse(QPointF(15, 9), 6, 6);
        p.drawEllipse(QPointF(12, 15), 6, 6);
        break;
    case Glyph::Warp: {
        for (int i = 0; i < 3; ++i) {
            QPainterPath h;
            const double y = 6 + 6 * i;
            h.moveTo(3, y);
            h.cubicTo(9, y - 4 + 4 * (i == 1 ? 0 : (i == 0 ? -0.5 : 0.5)), 15, y + 4, 21, y);
            p.drawPath(h);
            QPainterPath v;
            const double x = 6 + 6 * i;
            v.moveTo(x, 3);
            v.cubicTo(x + 4, 9, x - 4, 15, x, 21);
            p.drawPath(v);
        }
        break;
    }
    case Glyph::Lighting:
        p.setBrush(soft);
        p.drawEllipse(QPointF(12, 12), 4.5, 4.5);
        for (int i = 0; i < 8; ++i) {
            const double a = M_PI * i / 4;
            p.drawLine(QPointF(12 + 7 * std::cos(a), 12 + 7 * std::sin(a)),
                       QPointF(12 + 10 * std::cos(a), 12 + 10 * std::sin(a)));
        }
        break;
    case Glyph::Text:
        p.setFont(QFont("DejaVu Serif", 15, QFont::Bold));
        p.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, "T");
        break;
    case Glyph::Restore: {
        p.drawArc(QRectF(4, 4, 16, 16), 100 * 16, 290 * 16);
        p.drawPolyline(QPolygonF({QPointF(4, 3), QPointF(9, 4.5), QPointF(6.5, 9)}));
        p.setBrush(ink);
        p.drawEllipse(QPointF(12, 12), 2, 2);
        break;
    }
    case Glyph::File:
        p.drawPolyline(QPolygonF({QPointF(14, 3), QPointF(5, 3), QPointF(5, 21), QPointF(19, 21), QPointF(19, 8),
                                  QPointF(14, 3), QPointF(14, 8), QPointF(19, 8)}));
        break;
    case Glyph::Edit:
        p.drawLine(QPointF(5, 19), QPointF(18, 6));
        p.drawLine(QPointF(4, 20), QPointF(5, 19));
        p.drawLine(QPointF(16, 4), QPointF(20, 8));
        break;
    case Glyph::Panels:
        p.drawRoundedRect(QRectF(3, 4, 18, 16), 2, 2);
        p.drawLine(QPointF(3, 9), QPointF(21, 9));
        p.drawLine(QPointF(9, 9), QPointF(9, 20));
        break;
    case Glyph::Minimize:
        p.drawLine(QPointF(6, 16), QPointF(18, 16));
        break;
    case Glyph::Maximize:
        p.drawRect(QRectF(6, 6, 12, 11));
        break;
    case Glyph::RestoreWindow:
        p.drawRect(QRectF(5, 9, 10, 9));
        p.drawPolyline(QPolygonF({QPointF(9, 9), QPointF(9, 5), QPointF(19, 5), QPointF(19, 14), QPointF(15, 14)}));
        break;
    case Glyph::Close:
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
        break;
    case Glyph::Crop:
        // Two crossing corner brackets.
        p.drawPolyline(QPolygonF({QPointF(7, 2), QPointF(7, 17), QPointF(22, 17)}));
        p.drawPolyline(QPolygonF({QPointF(2, 7), QPointF(17, 7), QPointF(17, 22)}));
        break;
    case Glyph::Straighten:
        // A tilted frame over a level line.
        p.drawLine(QPointF(2, 19), QPointF(22, 19));
        p.save();
        p.translate(12, 10);
        p.rotate(-12);
        p.setBrush(soft);
        p.drawRect(QRectF(-7, -5, 14, 10));
        p.restore();
        break;
    case Glyph::RotateLeft:
    case Glyph::RotateRight: {
        const bool right = glyph == Glyph::RotateRight;
        p.setBrush(soft);
        p.drawRect(right ? QRectF(3, 11, 11, 10) : QRectF(10, 11, 11, 10));
        p.setBrush(Qt::NoBrush);
        QPainterPath arc;
        if (right) {
            arc.moveTo(8, 8);
            arc.cubicTo(10, 3, 17, 3, 19, 8);
            p.drawPath(arc);
            p.drawPolyline(QPolygonF({QPointF(15.5, 7.5), QPointF(19.5, 9), QPointF(21, 5)}));
        } else {
            arc.moveTo(16, 8);
            arc.cubicTo(14, 3, 7, 3, 5, 8);
            p.drawPath(arc);
            p.drawPolyline(QPolygonF({QPointF(8.5, 7.5), QPointF(4.5, 9), QPointF(3, 5)}));
        }
        break;
    }
    case Glyph::FlipHorizontal:
    case Glyph::FlipVertical:
        if (glyph == Glyph::FlipVertical) {
            p.translate(24, 0);
            p.rotate(90);
        }
        p.setPen(QPen(ink, 1.2, Qt::DashLine));
        p.drawLine(QPointF(12, 2), QPointF(12, 22));
        p.setPen(Stroke(ink));
        p.setBrush(soft);
        p.drawPolygon(QPolygonF({QPointF(9, 5), QPointF(9, 19), QPointF(2, 19)}));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(QPolygonF({QPointF(15, 5), QPointF(15, 19), QPointF(22, 19)}));
        break;
    case Glyph::Resize:
        p.drawRect(QRectF(2, 9, 13, 13));
        p.setBrush(soft);
        p.drawRect(QRectF(2, 15, 7, 7));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(11, 13), QPointF(21, 3));
        p.drawPolyline(QPolygonF({QPointF(15, 3), QPointF(21, 3), QPointF(21, 9)}));
        break;
    case Glyph::Adjust:
        // Three slider tracks with their knobs at different places.
        for (int i = 0; i < 3; ++i) {
            const double y = 6 + 6 * i;
            const double knob = i == 0 ? 15 : (i == 1 ? 8 : 13);
            p.setBrush(Qt::NoBrush);
            p.drawLine(QPointF(3, y), QPointF(21, y));
            p.setBrush(soft);
            p.drawEllipse(QPointF(knob, y), 2.6, 2.6);
        }
        break;
    case Glyph::Fade:
        // A disc half in ink and half in outline.
        p.drawEllipse(QPointF(12, 12), 8, 8);
        p.setBrush(ink);
        p.drawChord(QRectF(4, 4, 16, 16), 90 * 16, 180 * 16);
        break;
    case Glyph::Heal:
        // A sticking plaster across the square, its pad dotted.
        p.save();
        p.translate(12, 12);
        p.rotate(-45);
        p.drawRoundedRect(QRectF(-10, -4, 20, 8), 4, 4);
        p.setBrush(soft);
        p.drawRect(QRectF(-4, -4, 8, 8));
        p.setBrush(ink);
        p.drawEllipse(QPointF(-1.5, -1.5), 0.8, 0.8);
        p.drawEllipse(QPointF(1.5, 1.5), 0.8, 0.8);
        p.restore();
        break;
    case Glyph::Clone:
        // A rubber stamp: knob, neck and pad over its print.
        p.drawEllipse(QPointF(12, 5), 3, 3);
        p.drawLine(QPointF(11, 8), QPointF(10, 13));
        p.drawLine(QPointF(13, 8), QPointF(14, 13));
        p.setBrush(soft);
        p.drawRoundedRect(QRectF(5, 13, 14, 4), 1.5, 1.5);
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(4, 21), QPointF(20, 21));
        break;
    }
    p.restore();
}

QIcon GlyphIcon(Glyph glyph, const QColor& ink)
{
    QIcon icon;
    for (int scale : {1, 2}) {
        for (auto [mode, colour] : {std::pair{QIcon::Normal, ink}, std::pair{QIcon::Disabled, QColor(150, 152, 158)},
                                    std::pair{QIcon::Active, ink}}) {
            QImage img(24 * scale, 24 * scale, QImage::Format_ARGB32_Premultiplied);
            img.fill(Qt::transparent);
            QPainter p(&img);
            PaintGlyph(p, glyph, QRectF(0, 0, img.width(), img.height()), colour);
            p.end();
            img.setDevicePixelRatio(scale);
            icon.addPixmap(QPixmap::fromImage(img), mode);
        }
    }
    return icon;
}

QFont FittedFont(QFont font, const QString& text, double width)
{
    const double size = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
    // Counted in whole steps: a float stepped down by 0.05 misses 70 %.
    for (int step = 0; step <= 6; ++step) {
        font.setPointSizeF(size * (1.0 - 0.05 * step));
        if (QFontMetricsF(font).horizontalAdvance(text) <= width)
            break;
    }
    return font;
}

QImage LogoImage(int side)
{
    QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 64.0, side / 64.0);
    QLinearGradient bg(0, 0, 64, 64);
    bg.setColorAt(0, QColor(118, 118, 230));
    bg.setColorAt(1, QColor(62, 62, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 14, 14);
    // An aperture-like sun over hills: a photo and light.
    p.setBrush(QColor(255, 214, 102));
    p.drawEllipse(QPointF(42, 22), 8, 8);
    QPainterPath hills;
    hills.moveTo(2, 50);
    hills.cubicTo(16, 30, 26, 34, 34, 44);
    hills.cubicTo(40, 36, 52, 34, 62, 46);
    hills.lineTo(62, 48);
    hills.cubicTo(62, 56, 56, 62, 48, 62);
    hills.lineTo(16, 62);
    hills.cubicTo(8, 62, 2, 56, 2, 50);
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawPath(hills);
    return img;
}

QIcon LogoIcon()
{
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(LogoImage(side)));
    return icon;
}

namespace {

// A resource picture cropped to `crop` and scaled to width × height.
QImage Crop(const char* resource, QRect crop, int width, int height)
{
    InitOmbrikResources();
    QImage source(QString::fromUtf8(resource));
    if (source.isNull()) {
        QImage grey(width, height, QImage::Format_RGB32);
        grey.fill(QColor(150, 150, 150));
        return grey;
    }
    return source.copy(crop).scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

PixelBuffer RunOn(EffectId id, const PixelBuffer& source, int passes = 1)
{
    PixelBuffer current = source;
    for (int i = 0; i < passes; ++i) {
        PixelBuffer out(current.width, current.height, 3);
        EffectRequest request;
        request.initialise();
        request.set(id, current.width, current.height, 3);
        request.RunEffect(current.data(), out.data());
        current = std::move(out);
    }
    return current;
}

// An eye with a red pupil, so that the red-eye tile shows what it removes.
QImage RedEyePicture(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(224, 184, 160));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(w / 2.0, h / 2.0);
    QPainterPath lid;
    lid.moveTo(c.x() - w * 0.45, c.y());
    lid.quadTo(c.x(), c.y() - h * 0.75, c.x() + w * 0.45, c.y());
    lid.quadTo(c.x(), c.y() + h * 0.75, c.x() - w * 0.45, c.y());
    p.setPen(QPen(QColor(90, 60, 50), 1.2));
    p.setBrush(QColor(248, 246, 240));
    p.drawPath(lid);
    p.setClipPath(lid);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 110, 60));
    p.drawEllipse(c, h * 0.3, h * 0.3);
    p.setBrush(QColor(220, 20, 30));
    p.drawEllipse(c, h * 0.17, h * 0.17);
    p.setBrush(Qt::white);
    p.drawEllipse(c + QPointF(h * 0.08, -h * 0.08), h * 0.05, h * 0.05);
    return img;
}

// Before and after: the left half as it is, the right half with the effect.
QImage RetouchTile(EffectId id, int w, int h)
{
    const QImage before = id == fx::RedEye ? RedEyePicture(w, h) : Crop(":/ombrik/portrait.png", QRect(150, 30, 180, 150), w, h);
    // Gentle tone changes are repeated so that a small tile shows them.
    const int passes = (id == fx::Lighten || id == fx::Darken || id == fx::Gamma || id == fx::Contrast) ? 4
        : (id == fx::Blur || id == fx::Sharp ? 2 : 1);
    const QImage after = PixelBufferImage(RunOn(id, PixelBufferFromImage(before), passes)).copy();
    QImage tile = before.copy();
    QPainter p(&tile);
    p.drawImage(QRect(w / 2, 0, w - w / 2, h), after, QRect(w / 2, 0, w - w / 2, h));
    p.setPen(QPen(QColor(255, 255, 255, 200), 1));
    p.drawLine(w / 2, 0, w / 2, h);
    return tile;
}

// The picture under a grid, resampled through a displacement: each output
// point reads the source at map(point).
template <typename Map>
QImage Warped(const QImage& source, Map map)
{
    const int w = source.width(), h = source.height();
    QImage out(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            QPointF s = map(QPointF(x + 0.5, y + 0.5));
            const int sx = std::clamp(int(s.x()), 0, w - 1), sy = std::clamp(int(s.y()), 0, h - 1);
            row[x] = source.pixel(sx, sy);
        }
    }
    return out;
}

QImage WarpTile(EffectId id, int w, int h)
{
    QImage grid = Crop(":/ombrik/thumbnail-source.png", QRect(120, 30, 420, 330), w * 2, h * 2);
    {
        QPainter p(&grid);
        p.setPen(QPen(QColor(255, 255, 255, 150), 1.4));
        for (int x = 0; x <= grid.width(); x += grid.width() / 6)
            p.drawLine(x, 0, x, grid.height());
        for (int y = 0; y <= grid.height(); y += grid.height() / 5)
            p.drawLine(0, y, grid.width(), y);
    }
    const QPointF c(grid.width() / 2.0, grid.height() / 2.0);
    const double radius = std::min(grid.width(), grid.height()) * 0.48;
    auto falloff = [&](QPointF q) {
        const double d = std::hypot(q.x() - c.x(), q.y() - c.y()) / radius;
        return d >= 1 ? 0.0 : (1 - d * d) * (1 - d * d);
    };
    QImage warped;
    switch (id) {
    case fx::WarpMove:  // move: the middle pushed right
        warped = Warped(grid, [&](QPointF q) { return q - QPointF(radius * 0.6 * falloff(q), 0); });
        break;
    case fx::WarpGrow:  // grow
        warped = Warped(grid, [&](QPointF q) { return c + (q - c) * (1 - 0.55 * falloff(q)); });
        break;
    case fx::WarpShrink:  // shrink
        warped = Warped(grid, [&](QPointF q) { return c + (q - c) * (1 + 0.9 * falloff(q)); });
        break;
    default: {  // swirls
        const double turn = (id == fx::SwirlClockwise ? 1.0 : -1.0) * 2.2;
        warped = Warped(grid, [&](QPointF q) {
            const double a = turn * falloff(q);
            const QPointF d = q - c;
            return c + QPointF(d.x() * std::cos(a) - d.y() * std::sin(a), d.x() * std::sin(a) + d.y() * std::cos(a));
        });
        break;
    }
    }
    return warped.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void Glow(QPainter& p, QPointF c, double r, QColor colour, double strength = 1.0)
{
    QRadialGradient g(c, r);
    QColor inner = colour;
    inner.setAlphaF(std::min(1.0, strength));
    QColor mid = colour;
    mid.setAlphaF(0.35 * strength);
    QColor outer = colour;
    outer.setAlpha(0);
    g.setColorAt(0, inner);
    g.setColorAt(0.35, mid);
    g.setColorAt(1, outer);
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, r, r);
}

QImage LightingTile(EffectId id, int w, int h)
{
    QImage tile = Crop(":/ombrik/thumbnail-source.png", QRect(120, 30, 420, 330), w, h);
    {
        QPainter dim(&tile);
        dim.fillRect(tile.rect(), QColor(8, 10, 30, id == fx::Mist ? 110 : 170));
    }
    QPainter p(&tile);
    p.setRenderHint(QPainter::Antialiasing);
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    const QPointF c(w / 2.0, h / 2.0);
    const double s = std::min(w, h);
    switch (id) {
    case fx::Spotlight: {  // spotlight: a cone from above onto a bright ellipse
        const QPointF spot = c + QPointF(0, s * 0.15);
        QPainterPath cone;
        cone.moveTo(c.x() - s * 0.08, 0);
        cone.lineTo(c.x() + s * 0.08, 0);
        cone.lineTo(spot.x() + s * 0.62, spot.y());
        cone.lineTo(spot.x() - s * 0.62, spot.y());
        cone.closeSubpath();
        QLinearGradient beam(QPointF(c.x(), 0), spot);
        beam.setColorAt(0, QColor(255, 248, 220, 40));
        beam.setColorAt(1, QColor(255, 248, 220, 110));
        p.setPen(Qt::NoPen);
        p.setBrush(beam);
        p.drawPath(cone);
        p.save();
        p.translate(spot);
        p.scale(1.0, 0.42);
        QRadialGradient g(QPointF(0, 0), s * 0.62);
        g.setColorAt(0, QColor(255, 250, 230, 255));
        g.setColorAt(0.7, QColor(255, 240, 200, 170));
        g.setColorAt(1, QColor(0, 0, 0, 0));
        p.setBrush(g);
        p.drawEllipse(QPointF(0, 0), s * 0.62, s * 0.62);
        p.restore();
        break;
    }
    case fx::PointLight:  // point light
        Glow(p, c, s * 0.7, QColor(255, 245, 220));
        Glow(p, c, s * 0.18, QColor(255, 255, 255));
        break;
    case fx::LensFlare: {  // lens flare: a hot spot and rings along a line
        const QPointF a(w * 0.25, h * 0.3), b(w * 0.8, h * 0.78);
        Glow(p, a, s * 0.45, QColor(255, 90, 80));
        Glow(p, a, s * 0.14, QColor(255, 255, 255));
        for (double t : {0.45, 0.7, 1.0}) {
            const QPointF q = a + (b - a) * t;
            p.setBrush(QColor(120, 160, 255, 60));
            p.setPen(QPen(QColor(180, 200, 255, 90), 1));
            p.drawEllipse(q, s * 0.08 * (1 + t), s * 0.08 * (1 + t));
        }
        break;
    }
    case fx::RadialFlare:
    case fx::MagicFlare: {  // radial and magic flare: rays from a core
        const QColor ray = id == fx::RadialFlare ? QColor(255, 240, 210) : QColor(90, 120, 255);
        for (int i = 0; i < 24; ++i) {
            const double a = 2 * M_PI * i / 24 + (i % 3) * 0.05;
            const double len = s * (0.35 + 0.3 * ((i * 37) % 7) / 7.0);
            QLinearGradient g(c, c + QPointF(len * std::cos(a), len * std::sin(a)));
            QColor from = ray;
            from.setAlpha(200);
            QColor to = ray;
            to.setAlpha(0);
            g.setColorAt(0, from);
            g.setColorAt(1, to);
            p.setPen(QPen(QBrush(g), 1.2));
            p.drawLine(c, c + QPointF(len * std::cos(a), len * std::sin(a)));
        }
        Glow(p, c, s * 0.35, ray);
        Glow(p, c, s * 0.12, QColor(255, 255, 255));
        break;
    }
    case fx::FairyDust:  // fairy dust: many small pink sparks
    case fx::Firefly: {  // firefly: green glowing dots
        const QColor colour = id == fx::FairyDust ? QColor(255, 170, 255) : QColor(110, 255, 110);
        unsigned seed = id == fx::FairyDust ? 7u : 11u;
        for (int i = 0; i < (id == fx::FairyDust ? 26 : 10); ++i) {
            seed = seed * 1103515245u + 12345u;
            const double x = (seed >> 8) % 1000 / 1000.0 * w;
            seed = seed * 1103515245u + 12345u;
            const double y = (seed >> 8) % 1000 / 1000.0 * h;
            Glow(p, QPointF(x, y), id == fx::FairyDust ? s * 0.07 : s * 0.14, colour);
            Glow(p, QPointF(x, y), s * 0.025, QColor(255, 255, 255));
        }
        break;
    }
    case fx::Mist: {  // mist: soft white clouds
        for (auto [x, y, r] : {std::tuple{0.25, 0.6, 0.45}, std::tuple{0.6, 0.45, 0.5}, std::tuple{0.85, 0.7, 0.4},
                               std::tuple{0.45, 0.8, 0.4}})
            Glow(p, QPointF(w * x, h * y), s * r, QColor(235, 240, 255), 0.45);
        break;
    }
    case fx::Sparkle: {  // sparkle: golden four-point stars
        p.setPen(Qt::NoPen);
        for (auto [x, y, r] : {std::tuple{0.3, 0.35, 0.3}, std::tuple{0.7, 0.6, 0.22}, std::tuple{0.55, 0.22, 0.12}}) {
            const QPointF q(w * x, h * y);
            Glow(p, q, s * r * 0.8, QColor(255, 190, 0));
            p.setBrush(QColor(255, 230, 150));
            Star(p, q, s * r, s * r * 0.12, 4);
        }
        break;
    }
    default:
        break;
    }
    return tile;
}

} // namespace

PixelBuffer ThumbnailSource()
{
    return ThumbnailSource(80, 60);
}

PixelBuffer ThumbnailSource(int width, int height)
{
    // The cup, cut from the sample photo at the 4:3 shape of a thumbnail.
    return PixelBufferFromImage(Crop(":/ombrik/thumbnail-source.png", QRect(120, 30, 420, 315), width, height));
}

QImage TileImage(EffectId id, int width, int height)
{
    static QHash<qint64, QImage> cache;
    const qint64 key = (qint64(id) << 32) | (qint64(width) << 16) | qint64(height);
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    QImage tile;
    switch (CategoryOfEffect(id)) {
    case EffectCategory::Retouch: tile = RetouchTile(id, width, height); break;
    case EffectCategory::Warp: tile = WarpTile(id, width, height); break;
    case EffectCategory::Lighting: tile = LightingTile(id, width, height); break;
    default:
        tile = QImage(width, height, QImage::Format_RGB32);
        tile.fill(QColor(150, 150, 150));
        break;
    }
    cache.insert(key, tile);
    return tile;
}

} // namespace ombrik
