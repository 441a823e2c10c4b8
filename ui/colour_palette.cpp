#include "ui/colour_palette.h"

#include "effects/effect_catalogue.h"
#include "ui/artwork.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace ombrik {

namespace {

QColor ToQColor(uint32_t c)
{
    return QColor(ColourRed(c), ColourGreen(c), ColourBlue(c));
}

} // namespace

CColourPalette::CColourPalette(MessageTarget* owner, QWidget* parent) : QWidget(parent), m_owner(owner)
{
    setCursor(Qt::PointingHandCursor);
    setToolTip(tr("Light colour"));
    // Every Lighting default colour is among the swatches.
    m_swatches = {
        ColourRef(255, 255, 255), ColourRef(255, 244, 214), ColourRef(255, 230, 0),   ColourRef(255, 190, 0),
        ColourRef(255, 128, 0),   ColourRef(255, 38, 43),   ColourRef(190, 0, 30),    ColourRef(255, 192, 255),
        ColourRef(255, 0, 200),   ColourRef(150, 60, 255),  ColourRef(0, 0, 255),     ColourRef(80, 170, 255),
        ColourRef(0, 230, 255),   ColourRef(0, 200, 150),   ColourRef(0, 255, 0),     ColourRef(180, 255, 60),
        ColourRef(160, 100, 50),  ColourRef(255, 200, 160), ColourRef(160, 160, 160), ColourRef(70, 70, 80),
    };
}

void CColourPalette::setColour(uint32_t colour)
{
    m_colour = colour & 0xFFFFFF;
    update();
}

void CColourPalette::pickColour(uint32_t colour)
{
    setColour(colour);
    if (m_owner)
        m_owner->sendMessage(WM_APPLY_DECORATION, kDecorationCode, intptr_t(m_colour));
}

QRect CColourPalette::cellRect(int index) const
{
    const int cell = std::min((width() - 8) / kColumns, (height() - 8) / kRows);
    const int left = (width() - cell * kColumns) / 2, top = (height() - cell * kRows) / 2;
    return QRect(left + (index % kColumns) * cell, top + (index / kColumns) * cell, cell, cell);
}

void CColourPalette::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(170, 170, 178), 1));
    p.setBrush(QColor(232, 232, 236));
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    bool marked = false;
    for (int i = 0; i < kColumns * kRows; ++i) {
        const QRectF cell = QRectF(cellRect(i)).adjusted(2, 2, -2, -2);
        if (size_t(i) < m_swatches.size()) {
            p.setPen(QPen(QColor(0, 0, 0, 70), 1));
            p.setBrush(ToQColor(m_swatches[size_t(i)]));
            p.drawRoundedRect(cell, 3, 3);
            if (m_swatches[size_t(i)] == m_colour && !marked) {
                marked = true;
                p.setPen(QPen(kAccent, 2));
                p.setBrush(Qt::NoBrush);
                p.drawRoundedRect(cell.adjusted(-1.5, -1.5, 1.5, 1.5), 4, 4);
            }
        } else {
            // The "other colour" cell shows the current colour when it is not a swatch.
            const bool custom = std::find(m_swatches.begin(), m_swatches.end(), m_colour) == m_swatches.end();
            QConicalGradient wheel(cell.center(), 0);
            for (int k = 0; k <= 6; ++k)
                wheel.setColorAt(k / 6.0, QColor::fromHsv((k * 60) % 360, 200, 255));
            p.setPen(custom ? QPen(kAccent, 2) : QPen(QColor(0, 0, 0, 70), 1));
            p.setBrush(wheel);
            p.drawEllipse(cell.adjusted(1, 1, -1, -1));
            if (custom) {
                p.setPen(QPen(Qt::white, 1));
                p.setBrush(ToQColor(m_colour));
                p.drawEllipse(cell.center(), cell.width() / 4, cell.width() / 4);
            }
        }
    }
}

void CColourPalette::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    for (int i = 0; i < kColumns * kRows; ++i) {
        if (!cellRect(i).contains(event->position().toPoint()))
            continue;
        if (size_t(i) < m_swatches.size()) {
            pickColour(m_swatches[size_t(i)]);
        } else {
            const QColor chosen = QColorDialog::getColor(ToQColor(m_colour), this, tr("Light colour"));
            if (chosen.isValid())
                pickColour(ColourRef(chosen.red(), chosen.green(), chosen.blue()));
        }
        return;
    }
}

} // namespace ombrik
