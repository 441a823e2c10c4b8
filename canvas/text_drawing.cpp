#include "canvas/text_drawing.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <functional>

namespace ombrik {

namespace {

constexpr uint32_t Rgb(int r, int g, int b)
{
    return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16;
}

constexpr std::pair<uint32_t, uint32_t> kStyleColours[kTextStyleCount] = {
    {Rgb(0, 255, 0), Rgb(0, 156, 0)},     {Rgb(128, 65, 191), Rgb(255, 255, 255)},
    {Rgb(198, 25, 0), Rgb(255, 255, 255)}, {Rgb(0, 25, 198), Rgb(255, 255, 255)},
    {Rgb(198, 25, 0), Rgb(255, 255, 0)},   {Rgb(88, 66, 214), Rgb(255, 255, 255)},
    {Rgb(255, 255, 255), Rgb(255, 80, 255)}, {Rgb(0, 25, 198), Rgb(198, 25, 0)},
};

QColor Argb(uint32_t colour, int alpha)
{
    return QColor(int(colour & 0xFF), int(colour >> 8 & 0xFF), int(colour >> 16 & 0xFF), std::clamp(alpha, 0, 255));
}

// The font the text is measured and written with: points taken at 96 dots per
// inch, so the size does not depend on the screen.
QFont StringFont(const LogicalFont& font, bool bold)
{
    QFont f(QString::fromStdString(font.faceName));
    f.setPixelSize(std::max(1, int(std::lround(FontPointSize(font.height) * 4.0 / 3.0))));
    f.setWeight(bold ? QFont::Bold : QFont::Normal);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

constexpr int kLayoutFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextExpandTabs;

QString Normalised(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QChar('\r'), QChar('\n'));
    return t;
}

// The text outline: bold face, em size = font height × 15 / 20 pixels, lines
// left-aligned from the top of rect.
QPainterPath TextOutline(const QString& text, const LogicalFont& font, QPointF topLeft)
{
    QFont f(QString::fromStdString(font.faceName));
    f.setPixelSize(std::max(1, FontPointSize(font.height)));
    f.setWeight(QFont::Bold);
    const QFontMetricsF metrics(f);
    QPainterPath path;
    const QStringList lines = text.split(QChar('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i)
        path.addText(topLeft.x(), topLeft.y() + metrics.ascent() + double(i) * metrics.lineSpacing(), f, lines[i]);
    return path;
}

// 8 × 8 two-colour pattern brushes; bit 7 of a row byte is the leftmost pixel.
enum class Hatch { DottedGrid, Percent05, Weave };

QBrush HatchBrush(Hatch hatch, const QColor& foreground, const QColor& background)
{
    static constexpr uint8_t kDottedGrid[8] = {0xAA, 0x00, 0x80, 0x00, 0x80, 0x00, 0x80, 0x00};
    static constexpr uint8_t kPercent05[8] = {0x80, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00};
    static constexpr uint8_t kWeave[8] = {0x88, 0x54, 0x22, 0x45, 0x88, 0x14, 0x22, 0x51};
    const uint8_t* rows = hatch == Hatch::DottedGrid ? kDottedGrid : hatch == Hatch::Percent05 ? kPercent05 : kWeave;
    QImage tile(8, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.setPixelColor(x, y, (rows[y] >> (7 - x)) & 1 ? foreground : background);
    return QBrush(tile);
}

void SetQuality(QPainter& p)
{
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
}

// Draws into a w × h image through translate(−w/2, −h/2), scale(1/k),
// translate(o), then draws that image k times enlarged at topLeft; the
// enlargement blurs what was drawn small.
void DrawOffscreen(QPainter& target, int w, int h, double k, QPointF o, QPointF topLeft,
                   const std::function<void(QPainter&)>& draw)
{
    if (w <= 0 || h <= 0)
        return;
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        SetQuality(p);
        p.setTransform(QTransform::fromTranslate(-w / 2.0, -h / 2.0) * QTransform::fromScale(1.0 / k, 1.0 / k)
                       * QTransform::fromTranslate(o.x(), o.y()));
        draw(p);
    }
    target.save();
    target.setRenderHint(QPainter::SmoothPixmapTransform);
    target.drawImage(QRectF(topLeft.x(), topLeft.y(), k * w, k * h), image);
    target.restore();
}

void WriteString(QPainter& p, const QFont& font, const QBrush& brush, const QRectF& layout, const QString& text)
{
    p.setFont(font);
    p.setPen(QPen(brush, 0));
    p.drawText(layout, kLayoutFlags, text);
}

QLinearGradient VerticalGradient(const QRectF& r)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setSpread(QGradient::RepeatSpread);
    return g;
}

// Each segment of every figure of the flattened outline, coloured by the way it
// runs: first colour rightward or downward, second otherwise. A figure's closing
// segment back to its first point is left out.
void DrawDirectedSegments(QPainter& p, const QPainterPath& outline, const QColor& c1, const QColor& c2)
{
    const QPen pen1(c1, 0.5), pen2(c2, 0.5);
    for (QPolygonF figure : outline.toSubpathPolygons()) {
        if (figure.size() > 2 && figure.first() == figure.last())
            figure.removeLast();
        for (qsizetype i = 1; i < figure.size(); ++i) {
            const QPointF a = figure[i - 1], b = figure[i];
            p.setPen(b.x() > a.x() || b.y() > a.y() ? pen1 : pen2);
            p.drawLine(a, b);
        }
    }
}

} // namespace

std::pair<uint32_t, uint32_t> StyleDefaultColours(int style)
{
    return kStyleColours[style >= 0 && style < kTextStyleCount ? style : 0];
}

TextTemplate DefaultTemplate(const std::string& faceName)
{
    TextTemplate t;
    t.font.height = kTemplateFontHeight;
    t.font.faceName = faceName.substr(0, 31);
    t.style = 0;
    std::tie(t.colour1, t.colour2) = StyleDefaultColours(0);
    t.transparency = 0.0f;
    return t;
}

QStringList TextFontFaces()
{
    QStringList faces;
    for (const QString& family : QFontDatabase::families())
        if (!family.startsWith(QChar('@')) && family != QLatin1String("Aharoni"))
            faces << family;
    std::sort(faces.begin(), faces.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return faces;
}

int FontPointSize(int fontHeight)
{
    return fontHeight * 15 / 20;
}

TextExtent MeasureText(const TextTemplate& text)
{
    const QFont font = StringFont(text.font, false);
    const QFontMetricsF metrics(font);
    const QString s = Normalised(QString::fromStdString(text.text));
    if (s.isEmpty())
        return {};
    const QRectF box = metrics.boundingRect(QRectF(), kLayoutFlags, s);
    return {int(box.width()), int(box.height())};
}

void DrawStyledText(QPainter& painter, int style, const QString& rawText, const LogicalFont& logicalFont, bool bold,
                    const QRectF& rect, uint32_t colour1, uint32_t colour2, int alpha)
{
    // The whole text is drawn, however long.
    const QString text = Normalised(rawText);
    if (text.isEmpty() || alpha <= 0)
        return;
    TextTemplate measured;
    measured.font = logicalFont;
    measured.text = text.toStdString();
    const TextExtent extent = MeasureText(measured);
    const int w = extent.width, h = extent.height;
    if (w <= 0 || h <= 0)
        return;

    painter.save();
    SetQuality(painter);
    const QFont font = StringFont(logicalFont, bold);
    const QColor f1 = Argb(colour1, alpha), f2 = Argb(colour2, alpha);
    const QPointF topLeft = rect.topLeft();
    const QRectF layout(topLeft, QSizeF(w, h));
    const QRectF offscreen(0, 0, w, h);

    switch (style) {
    default:
    case 0:
    case 1: {
        const QColor shadow = style == 0 ? f2 : f1;
        DrawOffscreen(painter, w, h, 4, QPointF((w / 4.0 + 1.5) / 2, (h / 4.0 + 1.5) / 2), topLeft,
                      [&](QPainter& p) { WriteString(p, font, shadow, offscreen, text); });
        QLinearGradient g = VerticalGradient(layout);
        g.setColorAt(0, f1);
        if (style == 0) {
            g.setColorAt(1, f2);
        } else {
            g.setColorAt(0.6, f2);
            g.setColorAt(1, f1);
        }
        WriteString(painter, font, g, layout, text);
        break;
    }
    case 2: {
        const QPainterPath outline = TextOutline(text, logicalFont, topLeft);
        painter.fillPath(outline, HatchBrush(Hatch::DottedGrid, f2, f1));
        // The grey edge fades with the text, so an invisible text stays invisible.
        painter.strokePath(outline.simplified(), QPen(QColor(0xA8, 0xA8, 0xA8, alpha), 1));
        break;
    }
    case 3:
        painter.fillPath(TextOutline(text, logicalFont, topLeft), HatchBrush(Hatch::Percent05, f2, f1));
        break;
    case 4: {
        const QPainterPath small = TextOutline(text, logicalFont, QPointF());
        DrawOffscreen(painter, w, h, 8, QPointF(w / 16.0, h / 16.0), topLeft,
                      [&](QPainter& p) { p.fillPath(small, f1); });
        const QPainterPath outline = TextOutline(text, logicalFont, topLeft);
        QLinearGradient g = VerticalGradient(layout);
        g.setColorAt(0, f1);
        g.setColorAt(0.5, QColor((f1.red() + f2.red()) / 2, (f1.green() + f2.green()) / 2,
                                 (f1.blue() + f2.blue()) / 2, alpha));
        g.setColorAt(1, f2);
        painter.fillPath(outline, g);
        DrawDirectedSegments(painter, outline.simplified(), f1, f2);
        break;
    }
    case 5: {
        const QPainterPath outline = TextOutline(text, logicalFont, topLeft).simplified();
        painter.fillPath(outline, HatchBrush(Hatch::Weave, f2, f1));
        painter.strokePath(outline, QPen(f1, 2));
        break;
    }
    case 6: {
        const QPainterPath small = TextOutline(text, logicalFont, QPointF());
        DrawOffscreen(painter, w, h, 8, QPointF(w / 16.0, h / 16.0), topLeft,
                      [&](QPainter& p) { p.fillPath(small, f2); });
        const QPainterPath outline = TextOutline(text, logicalFont, topLeft);
        painter.fillPath(outline, f2);
        painter.strokePath(outline.simplified(), QPen(f1, 2));
        break;
    }
    case 7: {
        const QPainterPath small = TextOutline(text, logicalFont, QPointF());
        DrawOffscreen(painter, w, h, 2, QPointF(w / 4.0, h / 4.0), topLeft, [&](QPainter& p) {
            p.fillPath(small, f1);
            p.strokePath(small, QPen(f2, 2));
        });
        break;
    }
    }
    painter.restore();
}

} // namespace ombrik
