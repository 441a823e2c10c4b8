#include "ui/flat_button.h"

#include <QCursor>
#include <QPainter>
#include <QPainterPath>

namespace ombrik {

CFlatButton::CFlatButton(Style style, Glyph glyph, const QString& text, QWidget* parent)
    : QAbstractButton(parent), m_style(style), m_glyph(glyph)
{
    setText(text);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

void CFlatButton::setGlyph(Glyph glyph)
{
    m_glyph = glyph;
    update();
}

QSize CFlatButton::sizeHint() const
{
    switch (m_style) {
    case Style::Tool: return QSize(22, 21);
    case Style::Caption: return QSize(24, 14);
    case Style::Panel: return QSize(102, 22);
    default: return QSize(60, 23);
    }
}

void CFlatButton::nextCheckState()
{
    if (!m_manualCheck)
        QAbstractButton::nextCheckState();
}

void CFlatButton::enterEvent(QEnterEvent* event)
{
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CFlatButton::leaveEvent(QEvent* event)
{
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CFlatButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool enabled = isEnabled();
    const bool down = isDown() || (isCheckable() && isChecked());
    // The pointer may have left while a menu or a dialog had it (no leave
    // event then): the highlight also asks where the pointer is now.
    const bool hover = m_hover && enabled && rect().contains(mapFromGlobal(QCursor::pos()));
    const QColor ink = enabled ? QColor(44, 48, 60) : QColor(150, 152, 158);
    switch (m_style) {
    case Style::Tool: {
        if (down || hover) {
            p.setPen(QPen(down ? QColor(120, 120, 180) : QColor(150, 150, 160), 1));
            p.setBrush(down ? QColor(200, 200, 232) : QColor(226, 226, 232));
            p.drawRoundedRect(r, 4, 4);
        }
        const double side = std::min(width(), height()) - 4;
        PaintGlyph(p, m_glyph, QRectF((width() - side) / 2, (height() - side) / 2, side, side), ink);
        break;
    }
    case Style::Action: {
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, down ? QColor(205, 205, 225) : (hover ? QColor(250, 250, 255) : QColor(240, 240, 244)));
        g.setColorAt(1, down ? QColor(190, 190, 215) : (hover ? QColor(226, 226, 240) : QColor(216, 216, 222)));
        p.setPen(QPen(QColor(128, 128, 140), 1));
        p.setBrush(g);
        p.drawRoundedRect(r, 4, 4);
        const QRectF icon(5, (height() - 16) / 2.0, 16, 16);
        PaintGlyph(p, m_glyph, icon, ink);
        p.setPen(ink);
        const QRectF label(icon.right() + 3, 0, width() - icon.right() - 5, height());
        p.setFont(FittedFont(font(), text(), label.width()));
        p.drawText(label, Qt::AlignVCenter | Qt::AlignLeft, text());
        break;
    }
    case Style::Panel: {
        // The current panel 192 grey with an accent rule; the others 141.
        const QColor face = isChecked() ? QColor(192, 192, 192) : (hover ? QColor(160, 160, 160) : QColor(141, 141, 141));
        QPainterPath tab;
        tab.addRoundedRect(r.adjusted(0, 0, 0, 4), 5, 5);
        p.setClipRect(rect());
        p.setPen(QPen(isChecked() ? QColor(120, 120, 128) : QColor(112, 112, 116), 1));
        p.setBrush(face);
        p.drawPath(tab);
        if (isChecked()) {
            p.setPen(Qt::NoPen);
            p.setBrush(kAccent);
            p.drawRoundedRect(QRectF(10, height() - 3, width() - 20, 3), 1.5, 1.5);
        }
        const QColor textInk = isChecked() ? QColor(30, 30, 60) : QColor(250, 250, 250);
        QFont f = font();
        f.setBold(isChecked());
        f = FittedFont(f, text(), width() - 16 - 5 - 8);
        p.setFont(f);
        const QFontMetrics fm(f);
        const int textWidth = fm.horizontalAdvance(text());
        const double total = 16 + 5 + textWidth;
        const double x = (width() - total) / 2;
        PaintGlyph(p, m_glyph, QRectF(x, (height() - 16) / 2.0, 16, 16), textInk);
        p.setPen(textInk);
        p.drawText(QRectF(x + 21, 0, textWidth + 2, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
        break;
    }
    case Style::Menu: {
        if (down || hover) {
            p.setPen(Qt::NoPen);
            p.setBrush(down ? QColor(255, 255, 255, 90) : QColor(255, 255, 255, 55));
            p.drawRoundedRect(r, 4, 4);
        }
        p.setPen(QColor(245, 245, 250));
        p.setFont(FittedFont(font(), text(), width() - 4));
        p.drawText(rect(), Qt::AlignCenter, text());
        break;
    }
    case Style::Caption: {
        if (hover || down) {
            p.setPen(Qt::NoPen);
            p.setBrush(m_glyph == Glyph::Close ? QColor(215, 60, 60) : QColor(255, 255, 255, 70));
            p.drawRoundedRect(r, 3, 3);
        }
        const double side = height() + 2;
        PaintGlyph(p, m_glyph, QRectF((width() - side) / 2, (height() - side) / 2, side, side), QColor(245, 245, 250));
        break;
    }
    case Style::Tile: {
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        if (down) {
            g.setColorAt(0, QColor(190, 190, 228));
            g.setColorAt(1, QColor(210, 210, 240));
        } else {
            g.setColorAt(0, hover ? QColor(246, 246, 252) : QColor(232, 232, 236));
            g.setColorAt(1, hover ? QColor(224, 224, 236) : QColor(212, 212, 218));
        }
        p.setPen(QPen(down ? kAccent : QColor(150, 150, 160), down ? 2 : 1));
        p.setBrush(g);
        p.drawRoundedRect(r.adjusted(2, 2, -2, -2), 6, 6);
        const double side = 30;
        PaintGlyph(p, m_glyph, QRectF((width() - side) / 2, 12, side, side), down ? kAccent : ink);
        p.setPen(down ? QColor(40, 40, 120) : ink);
        p.setFont(FittedFont(font(), text(), width() - 4));
        p.drawText(QRectF(0, 46, width(), 20), Qt::AlignHCenter | Qt::AlignTop, text());
        break;
    }
    }
}

} // namespace ombrik
