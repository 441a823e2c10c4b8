#include "ui/style_grid.h"

#include "canvas/text_drawing.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <map>
#include <vector>

namespace ombrik {

namespace {

const QColor kGrey(220, 220, 220);

} // namespace

CStyleGrid::CStyleGrid(QWidget* parent) : QWidget(parent)
{
    m_bar = new QScrollBar(Qt::Vertical, this);
    m_bar->setSingleStep(kCellHeight / 2);
    connect(m_bar, &QScrollBar::valueChanged, this, [this] { update(); });
    updateRange();
}

QImage CStyleGrid::renderCell(int style, qreal ratio)
{
    QImage cell(qRound(kCellWidth * ratio), qRound(kCellHeight * ratio), QImage::Format_RGB32);
    cell.setDevicePixelRatio(ratio);
    cell.fill(kGrey);
    QPainter p(&cell);
    const auto [c1, c2] = StyleDefaultColours(style);
    DrawStyledText(p, style, QStringLiteral("Text"), LogicalFont{kCellHeight, 0, "Microsoft Sans Serif"}, true,
                   QRectF(0, 0, kCellWidth, kCellHeight), c1, c2, 255);
    return cell;
}

QRect CStyleGrid::cellRect(int style) const
{
    return QRect(0, style * kCellHeight - m_bar->value(), kCellWidth, kCellHeight);
}

void CStyleGrid::updateRange()
{
    m_bar->setGeometry(width() - kBarWidth, 0, kBarWidth, height());
    m_bar->setPageStep(std::max(1, height()));
    m_bar->setRange(0, std::max(0, kTextStyleCount * kCellHeight - height()));
}

void CStyleGrid::resizeEvent(QResizeEvent*)
{
    updateRange();
}

void CStyleGrid::paintEvent(QPaintEvent*)
{
    // The previews are the same every time; draw them once for each scale.
    static std::map<qreal, std::vector<QImage>> drawn;
    const qreal ratio = devicePixelRatioF();
    std::vector<QImage>& cells = drawn[ratio];
    if (cells.empty()) {
        for (int s = 0; s < kTextStyleCount; ++s)
            cells.push_back(renderCell(s, ratio));
    }
    QPainter p(this);
    p.fillRect(rect(), kGrey);
    p.setClipRect(0, 0, width() - kBarWidth, height());
    for (int s = 0; s < kTextStyleCount; ++s) {
        const QRect r = cellRect(s);
        if (r.intersects(rect()))
            p.drawImage(r.topLeft(), cells[size_t(s)]);
    }
    const QRect chosen = cellRect(m_style);
    p.setPen(QColor(200, 200, 200));
    p.setBrush(Qt::NoBrush);
    p.drawRect(chosen.adjusted(1, 1, -2, -2));
    p.drawRect(chosen.adjusted(0, 0, -3, -3));
}

int CStyleGrid::styleAt(QPoint p) const
{
    if (p.x() < 0 || p.x() >= width() - kBarWidth)
        return -1;
    const int s = (p.y() + m_bar->value()) / kCellHeight;
    return s >= 0 && s < kTextStyleCount ? s : -1;
}

void CStyleGrid::chooseStyle(int style)
{
    if (style < 0 || style >= kTextStyleCount)
        return;
    m_style = style;
    update();
    if (styleChosen)
        styleChosen(style);
}

void CStyleGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        chooseStyle(styleAt(event->position().toPoint()));
}

void CStyleGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

void CStyleGrid::wheelEvent(QWheelEvent* event)
{
    const int notches = event->angleDelta().y() / 120;
    m_bar->setValue(m_bar->value() - notches * kCellHeight / 2);
}

} // namespace ombrik
