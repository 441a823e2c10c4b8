#include "ui/brush_picker.h"

#include "ui/artwork.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>

namespace ombrik {

CBrushPicker::CBrushPicker(MessageTarget* owner, QWidget* parent) : QWidget(parent), m_owner(owner)
{
    setCursor(Qt::PointingHandCursor);
    setToolTip(tr("Brush size and shape"));
}

void CBrushPicker::pick(int item)
{
    if (item < 0 || item >= kItemCount)
        return;
    m_current = item;
    update();
    resend();
}

void CBrushPicker::resend()
{
    if (!m_owner)
        return;
    m_owner->sendMessage(WM_EFFECT_COMMAND, 1, m_current % 5);
    m_owner->sendMessage(WM_EFFECT_COMMAND, 2, m_current / 5);
}

QRect CBrushPicker::itemRect(int item) const
{
    const int cellW = width() / 5, cellH = height() / 2;
    return QRect((item % 5) * cellW, (item / 5) * cellH, cellW, cellH);
}

void CBrushPicker::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(170, 170, 178), 1));
    p.setBrush(QColor(232, 232, 236));
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    for (int i = 0; i < kItemCount; ++i) {
        const QRectF cell = QRectF(itemRect(i)).adjusted(2, 2, -2, -2);
        if (i == m_current) {
            QColor fill = kAccent;
            fill.setAlpha(50);
            p.setPen(QPen(kAccent, 1.5));
            p.setBrush(fill);
            p.drawRoundedRect(cell, 4, 4);
        }
        // Preset 0 is the largest brush.
        const double maxRadius = std::min(cell.width(), cell.height()) / 2 - 2;
        const double radius = maxRadius * (1.0 - 0.19 * (i % 5));
        const QPointF c = cell.center();
        if (i / 5 == 0) {
            QRadialGradient g(c, radius);
            g.setColorAt(0, QColor(30, 30, 40));
            g.setColorAt(0.45, QColor(30, 30, 40, 230));
            g.setColorAt(1, QColor(30, 30, 40, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(g);
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(30, 30, 40));
        }
        p.drawEllipse(c, radius, radius);
    }
}

void CBrushPicker::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    for (int i = 0; i < kItemCount; ++i)
        if (itemRect(i).contains(event->position().toPoint())) {
            pick(i);
            return;
        }
}

} // namespace ombrik
