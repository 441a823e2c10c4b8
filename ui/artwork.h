// The window's artwork, drawn with QPainter when first used: command icons,
// the program's logo and the tile pictures of the effect strips.
#pragma once

#include "effects/effect_catalogue.h"
#include "engine/pixel_buffer.h"

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QImage>

namespace ombrik {

enum class Glyph {
    Open, Save, Undo, Redo, DeleteObject, DeleteFrame, Preview, Threshold,
    ZoomFit, ActualSize, ZoomIn, ZoomOut, Exit, Help, About,
    Retouch, Filters, Warp, Lighting, Text, Restore, File, Edit, Panels,
    Minimize, Maximize, RestoreWindow, Close,
    Crop, Straighten, RotateLeft, RotateRight, FlipHorizontal, FlipVertical, Resize,
    Adjust, Fade, Heal, Clone,
};

// Accent colour of the window (selection frames, highlighted buttons).
inline const QColor kAccent(100, 100, 200);

// A command icon (normal, active and disabled forms), drawn in `ink`.
QIcon GlyphIcon(Glyph glyph, const QColor& ink = QColor(52, 58, 72));
// Draws a glyph into rect (a square works best) with the given ink.
void PaintGlyph(class QPainter& p, Glyph glyph, const QRectF& rect, const QColor& ink);

// `font` made smaller, down to 70 % of its size, until `text` fits in `width`
// (a translated label on a control of fixed size).
QFont FittedFont(QFont font, const QString& text, double width);

// The program's logo at the given side length.
QImage LogoImage(int side);
QIcon LogoIcon();

// The 80 × 60 picture the Filters thumbnails are computed from (3 bytes per pixel).
PixelBuffer ThumbnailSource();
// The same cut at another size (for screens with more device pixels).
PixelBuffer ThumbnailSource(int width, int height);

// The picture of the tile of a Retouch, Warp or Lighting id, width × height.
QImage TileImage(EffectId id, int width, int height);

} // namespace ombrik
