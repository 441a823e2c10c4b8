#include "ui/frame_panel.h"
#include "files/pixel_image.h"

#include "canvas/frame_library.h"
#include "canvas/photo_frame.h"
#include "ui/message_box.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace ombrik {

namespace {

// Border of a miniature frame per thumbnail pixel of width.
constexpr double kMiniatureScale = 0.5 * 0.2;
constexpr int kPhotoInset = 10;

} // namespace

CFramePanel::CFramePanel(MessageTarget* owner, QWidget* parent) : QWidget(parent), m_owner(owner)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_bar = new QScrollBar(Qt::Vertical, this);
    m_bar->setSingleStep(kCellHeight / 4);
    connect(m_bar, &QScrollBar::valueChanged, this, [this](int v) {
        m_scrollY = v;
        update();
    });
    m_apply = new QPushButton(tr("Apply"), this);
    m_apply->setObjectName(QStringLiteral("applyButton"));
    m_apply->setProperty("commandId", kApplyCommand);
    m_apply->setCursor(Qt::PointingHandCursor);
    connect(m_apply, &QPushButton::clicked, this, &CFramePanel::apply);
    setToolTip(tr("Double-click a frame to put it round the photo"));
    updateScrollRange();
}

void CFramePanel::setThumbnails(std::vector<PixelBuffer> thumbnails)
{
    m_thumbs.clear();
    for (const PixelBuffer& t : thumbnails) {
        if (t.empty() || t.bytesPerPixel != 3)
            m_thumbs.emplace_back();
        else
            m_thumbs.push_back(PixelBufferImage(t).convertToFormat(QImage::Format_RGB32));
    }
    m_selected = -1;
    m_scrollY = 0;
    updateScrollRange();
    update();
}

bool CFramePanel::loadThumbnails()
{
    Thumbnails loaded = LoadThumbnails();
    setThumbnails(std::move(loaded.images));
    return loaded.complete;
}

int CFramePanel::visibleHeight() const
{
    return std::max(0, height() - kApplyHeight);
}

int CFramePanel::columns() const
{
    return std::max(1, (width() - kScrollBarWidth) / kCellWidth);
}

QRect CFramePanel::cellRect(int index) const
{
    const int c = columns();
    return QRect((index % c) * kCellWidth, (index / c) * kCellHeight - m_scrollY, kCellWidth, kCellHeight);
}

int CFramePanel::cellAt(QPoint p) const
{
    if (p.x() < 0 || p.x() >= columns() * kCellWidth || p.y() < 0 || p.y() >= visibleHeight())
        return -1;
    const int index = (p.y() + m_scrollY) / kCellHeight * columns() + p.x() / kCellWidth;
    return index < count() ? index : -1;
}

void CFramePanel::updateScrollRange()
{
    const int rows = (count() + columns() - 1) / columns();
    const int range = rows * kCellHeight - visibleHeight();
    if (range > 0) {
        m_bar->setRange(0, range);
        m_bar->setPageStep(std::max(1, visibleHeight()));
        m_bar->show();
    } else {
        m_bar->setRange(0, 0);
        m_bar->hide();
    }
    m_scrollY = m_bar->value();
}

void CFramePanel::resizeEvent(QResizeEvent*)
{
    m_bar->setGeometry(width() - kScrollBarWidth, 0, kScrollBarWidth, visibleHeight());
    m_apply->setGeometry(0, height() - kApplyHeight, width(), kApplyHeight);
    updateScrollRange();
}

void CFramePanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(QRect(0, 0, width(), visibleHeight()), QColor(220, 220, 220));
    p.setClipRect(QRect(0, 0, width() - (m_bar->isVisible() ? kScrollBarWidth : 0), visibleHeight()));
    // A soft landscape stands in for the photo inside each miniature.
    QLinearGradient sky(0, 0, 0, kCellHeight - 2 * kPhotoInset);
    sky.setColorAt(0, QColor(150, 190, 230));
    sky.setColorAt(0.62, QColor(222, 232, 240));
    sky.setColorAt(0.63, QColor(128, 168, 104));
    sky.setColorAt(1, QColor(92, 132, 76));
    for (int i = 0; i < count(); ++i) {
        const QRect cell = cellRect(i);
        if (cell.bottom() < 0 || cell.top() >= visibleHeight())
            continue;
        if (i == m_selected) {
            p.setPen(QPen(QColor(100, 100, 200), 2));
            p.setBrush(QColor(100, 100, 200, 60));
            p.drawRoundedRect(QRectF(cell).adjusted(1, 1, -1, -1), 5, 5);
        }
        const QRect photo = cell.adjusted(kPhotoInset, kPhotoInset, -kPhotoInset, -kPhotoInset);
        p.save();
        p.translate(photo.topLeft());
        p.fillRect(QRect(QPoint(0, 0), photo.size()), sky);
        p.restore();
        const QImage& thumb = m_thumbs[size_t(i)];
        if (!thumb.isNull())
            DrawFrameStrip(p, photo, int(thumb.width() * kMiniatureScale), thumb, kMiniatureScale);
    }
}

void CFramePanel::select(int index)
{
    if (index < -1 || index >= count())
        return;
    m_selected = index;
    update();
}

void CFramePanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int index = cellAt(event->position().toPoint());
    if (index >= 0)
        select(index);
}

void CFramePanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int index = cellAt(event->position().toPoint());
    if (index < 0)
        return;
    select(index);
    if (m_owner)
        m_owner->sendMessage(WM_APPLY_DECORATION, kDecorationCode, index);
}

void CFramePanel::apply()
{
    if (m_selected < 0) {
        ShowInformation(this, tr("Please Select an object to operate."));
        return;
    }
    if (m_owner)
        m_owner->sendMessage(WM_APPLY_DECORATION, kDecorationCode, m_selected);
}

void CFramePanel::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta == 0 || !m_bar->isVisible())
        return;
    m_bar->setValue(m_bar->value() - delta * kCellHeight / 2 / 120);
    event->accept();
}

} // namespace ombrik
