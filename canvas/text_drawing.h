// The text template and the drawing of text in its eight styles. A template is
// a CanvasObject of which only the font, text, style, colours and transparency
// mean anything, so it can be copied into an object whole.
#pragma once

#include "canvas/canvas_object.h"

#include <QRectF>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>

class QPainter;

namespace ombrik {

using TextTemplate = CanvasObject;

inline constexpr int kTextStyleCount = 8;
// The text box and the template hold at most this many characters.
inline constexpr int kMaxTextCharacters = 1000;
inline constexpr int kTemplateFontHeight = 48;

// The two default colours (0x00BBGGRR) of a style; style 0's for any other number.
std::pair<uint32_t, uint32_t> StyleDefaultColours(int style);

// The Text panel's starting template: font height 48, the given face, style 0
// with its colours, empty text, opaque.
TextTemplate DefaultTemplate(const std::string& faceName);

// Point size of a logical font height (height × 15 / 20, integer division).
int FontPointSize(int fontHeight);

// The font faces text may use, sorted without regard to case: every family but
// vertical "@" faces and "Aharoni". The Text panel offers them in this order.
QStringList TextFontFaces();

struct TextExtent {
    int width = 0;
    int height = 0;
};

// The bounding box of the template's text in its face, regular, at
// FontPointSize points, truncated to whole pixels.
TextExtent MeasureText(const TextTemplate& text);

// Draws a text in one of the eight styles into rect (only its top-left is
// used; the size comes from MeasureText). bold gives the face weight 700 (the
// style previews); colours are 0x00BBGGRR; alpha 0..255 applies to everything.
void DrawStyledText(QPainter& painter, int style, const QString& text, const LogicalFont& font, bool bold,
                    const QRectF& rect, uint32_t colour1, uint32_t colour2, int alpha);

} // namespace ombrik
