// The picture that Save As writes: the photo at zoom 1 with its text objects
// and its frame border round it. The window's export and the command-line
// batch both draw it here, so they give the same pixels.
#pragma once

#include "canvas/canvas_object.h"
#include "engine/pixel_buffer.h"

#include <vector>

class QBrush;
class QPainter;

namespace ombrik {

class PhotoFrame;

// Light checks behind the photo, so that the photo's edge is always visible.
const QBrush& CanvasBackgroundBrush();

// Draws the photo at (border, border), the objects over it and, when `frame`
// has a picture, the frame round it; border is frame->border() or 0.
void PaintComposite(QPainter& painter, const PixelBuffer& photo, const std::vector<CanvasObject>& objects,
                    const PhotoFrame* frame);

// The composite as a new 3-byte buffer of the photo's size plus two borders;
// empty for an empty photo.
PixelBuffer RenderComposite(const PixelBuffer& photo, const std::vector<CanvasObject>& objects,
                            const PhotoFrame* frame);

} // namespace ombrik
