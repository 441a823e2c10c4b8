// The chosen photo frame of the canvas (its picture and scale) and the drawing
// of a frame: four mitred trapezoids round a rectangle, each filled with the
// vertical strip picture tiled along the side, the strip turned a further 90
// degrees clockwise for each side after the left one so that its left column
// is always the outer edge.
#pragma once

#include "engine/pixel_buffer.h"

#include <QImage>
#include <QRect>

class QPainter;

namespace ombrik {

// Draws a frame `border` pixels wide round `inner`. The strip is scaled by
// `textureScale` (its width times textureScale should be the border).
void DrawFrameStrip(QPainter& painter, const QRect& inner, int border, const QImage& strip, double textureScale);

// The frame scale for a photo of width × height and a strip stripWidth wide:
// both borders together come to a multiple of 4 photo pixels.
float FrameScaleFor(int width, int height, int stripWidth);

class PhotoFrame {
public:
    // Loads frame picture `index` and computes the scale for the photo size.
    // When the picture cannot be had nothing changes and false is returned.
    bool choose(int index, int photoWidth, int photoHeight);
    // Loads picture `index` again keeping the current scale (history restore);
    // index < 0 or a picture that cannot be had leaves no picture.
    void restore(int index);
    void clear() { m_image = QImage(); }
    // The scale computed again for a photo of a new size (the picture stays).
    void refit(int photoWidth, int photoHeight)
    {
        if (!m_image.isNull())
            m_scale = FrameScaleFor(photoWidth, photoHeight, m_image.width());
    }
    bool hasImage() const { return !m_image.isNull(); }
    const QImage& image() const { return m_image; }
    float scale() const { return m_scale; }
    // Border thickness in photo pixels (0 without a picture).
    int border() const;
    // Draws round the photo rectangle on screen at the given zoom.
    void draw(QPainter& painter, const QRect& photoRect, float zoom) const;

private:
    QImage m_image;
    float m_scale = 1.0f;
};

} // namespace ombrik
