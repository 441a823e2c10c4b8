#include "canvas/composite.h"

#include "canvas/photo_frame.h"
#include "canvas/text_objects.h"
#include "files/pixel_image.h"

#include <QBrush>
#include <QImage>
#include <QPainter>

#include <cstring>

namespace ombrik {

const QBrush& CanvasBackgroundBrush()
{
    static const QBrush brush = [] {
        QImage tile(16, 16, QImage::Format_RGB32);
        tile.fill(QColor(208, 208, 208));
        QPainter p(&tile);
        p.fillRect(0, 0, 8, 8, QColor(228, 228, 228));
        p.fillRect(8, 8, 8, 8, QColor(228, 228, 228));
        return QBrush(tile);
    }();
    return brush;
}

void PaintComposite(QPainter& painter, const PixelBuffer& photo, const std::vector<CanvasObject>& objects,
                    const PhotoFrame* frame)
{
    const bool framed = frame && frame->hasImage();
    const int b = framed ? frame->border() : 0;
    painter.drawImage(QPoint(b, b), PixelBufferImage(photo));
    const ObjectView view{1.0f, QPoint(b, b), 0, 0};
    for (const CanvasObject& object : objects)
        DrawTextObject(painter, object, view);
    if (framed)
        frame->draw(painter, QRect(b, b, photo.width, photo.height), 1.0f);
}

PixelBuffer RenderComposite(const PixelBuffer& photo, const std::vector<CanvasObject>& objects,
                            const PhotoFrame* frame)
{
    if (photo.empty())
        return {};
    const int b = frame && frame->hasImage() ? frame->border() : 0;
    QImage surface(photo.width + 2 * b, photo.height + 2 * b, QImage::Format_RGB32);
    {
        QPainter p(&surface);
        p.fillRect(surface.rect(), CanvasBackgroundBrush());
        PaintComposite(p, photo, objects, frame);
    }
    return PixelBufferFromImage(surface);
}

} // namespace ombrik
