#include "app/window_chrome.h"

#include "app/editor_dlg.h"
#include "ui/artwork.h"
#include "ui/flat_button.h"
#include "ui/message_box.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QLocale>
#include <QMouseEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QSlider>
#include <QWindow>

#include <algorithm>

namespace ombrik {

namespace {

const QColor kBody(172, 172, 172);

// The date taken (in the user's short format) and the camera, as far as the
// photo recorded them.
QStringList CameraLines(const PhotoMetadata& metadata)
{
    QStringList lines;
    if (!metadata.dateTaken.empty()) {
        const QString text = QString::fromStdString(metadata.dateTaken);
        QDateTime taken = QDateTime::fromString(text.left(19), QStringLiteral("yyyy:MM:dd HH:mm:ss"));
        if (!taken.isValid())
            taken = QDateTime::fromString(text.left(19), Qt::ISODate);
        lines << (taken.isValid() ? QLocale().toString(taken.date(), QLocale::ShortFormat) + QLatin1Char(' ')
                          + QLocale().toString(taken.time(), QLocale::ShortFormat)
                                  : text);
    }
    if (!metadata.camera.empty())
        lines << QString::fromStdString(metadata.camera);
    return lines;
}

Qt::CursorShape CursorFor(Qt::Edges e)
{
    if (e == (Qt::LeftEdge | Qt::TopEdge) || e == (Qt::RightEdge | Qt::BottomEdge))
        return Qt::SizeFDiagCursor;
    if (e == (Qt::RightEdge | Qt::TopEdge) || e == (Qt::LeftEdge | Qt::BottomEdge))
        return Qt::SizeBDiagCursor;
    if (e & (Qt::LeftEdge | Qt::RightEdge))
        return Qt::SizeHorCursor;
    if (e & (Qt::TopEdge | Qt::BottomEdge))
        return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}

} // namespace

void WindowChrome::paint(QPainter& p)
{
    CEditorDlg& w = m_window;
    const int W = w.width();
    p.fillRect(w.rect(), kBody);
    if (w.inPreview())
        return;
    p.setRenderHint(QPainter::Antialiasing);

    // Title band.
    QLinearGradient band(0, 0, 0, CEditorDlg::kTopBand);
    band.setColorAt(0, QColor(70, 73, 88));
    band.setColorAt(1, QColor(50, 52, 64));
    p.fillRect(w.titleRect(), band);
    p.drawImage(QRectF(9, 5, 20, 20), LogoImage(40));
    QFont titleFont = w.font();
    titleFont.setBold(true);
    p.setFont(titleFont);
    p.setPen(QColor(236, 236, 244));
    const int menuEnd = w.m_menuButtons.back()->geometry().right() + 12;
    const QRect captionArea(menuEnd, 0, std::max(0, W - 110 - menuEnd), CEditorDlg::kTopBand);
    p.drawText(captionArea, Qt::AlignCenter,
               p.fontMetrics().elidedText(w.windowCaption(), Qt::ElideMiddle, captionArea.width()));
    p.setFont(w.font());

    paintInfoCard(p);

    // The tool strip's tray.
    const QRect lastTool = w.m_buttons[cmd::ResizePhoto]->geometry();
    p.setPen(QPen(QColor(150, 150, 156), 1));
    p.setBrush(QColor(186, 186, 190));
    p.drawRoundedRect(QRectF(4.5, 142.5, lastTool.right() + 4 - 4, 24), 5, 5);

    // Labels and slider values.
    p.setPen(QColor(30, 32, 40));
    const QFont small = labelFont(w.font());
    p.drawText(QRect(W - 150, 170, 146, 16), Qt::AlignLeft | Qt::AlignVCenter, tr("Photo Frame"));
    auto value = [&](const QRect& r, const QString& text) {
        p.fillRect(r, kBody);
        p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, text);
    };
    p.setFont(small);
    if (w.currentPanel() == Panel::Retouch) {
        const QRect s = w.m_opacity->geometry();
        const int labelWidth = opacityLabelWidth(w.font());
        p.drawText(QRect(s.left() - labelWidth - 2, s.top(), labelWidth, s.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   tr("Opacity"));
        value(QRect(s.right() + 3, s.top(), W - s.right() - 5, s.height()),
              QString::asprintf("%d%%", w.m_opacity->value() * 100 / 255));
    } else if (w.currentPanel() == Panel::Warp) {
        const QRect r = w.m_deformRadius->geometry();
        const QRect a = w.m_deformAmount->geometry();
        const int labelWidth = deformLabelWidth(w.font());
        p.drawText(QRect(r.left() - labelWidth - 2, r.top(), labelWidth, r.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   tr("Deform Radius"));
        p.drawText(QRect(a.left() - labelWidth - 2, a.top(), labelWidth, a.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   tr("Deform Amount"));
        value(QRect(r.right() + 3, r.top(), W - r.right() - 5, r.height()),
              QString::asprintf("%d", w.m_deformRadius->value()));
        value(QRect(a.right() + 3, a.top(), W - a.right() - 5, a.height()),
              QString::asprintf("%d", w.m_deformAmount->value()));
    }

    // A hairline round the borderless window.
    if (!w.isMaximized()) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QColor(60, 62, 72));
        p.setBrush(Qt::NoBrush);
        p.drawRect(w.rect().adjusted(0, 0, -1, -1));
    }
}

// The left column's card: the photo's name, its size and whether it was
// edited or saved, or the date taken and camera when the photo recorded them.
void WindowChrome::paintInfoCard(QPainter& p)
{
    const CEditorDlg& w = m_window;
    const QRectF info(4.5, 72.5, 119, 68);
    p.setPen(QPen(QColor(150, 150, 156), 1));
    p.setBrush(QColor(188, 188, 192));
    p.drawRoundedRect(info, 5, 5);
    const EditorSession& session = w.session();
    const CanvasDocument& doc = session.document();
    const bool modified = doc.modified() || doc.adjustPreviewActive();
    p.setPen(QColor(36, 38, 46));
    if (!doc.hasPhoto()) {
        p.drawText(info.adjusted(6, 4, -6, -4), Qt::AlignCenter | Qt::TextWordWrap, tr("Open a photo to begin"));
        return;
    }
    QFont bold = w.font();
    bold.setBold(true);
    p.setFont(bold);
    const QString name = QFileInfo(QString::fromStdString(doc.photoPath())).fileName();
    p.drawText(QRectF(10, 78, 108, 18), Qt::AlignLeft | Qt::AlignVCenter,
               p.fontMetrics().elidedText(name, Qt::ElideMiddle, 108));
    const QStringList camera = CameraLines(doc.photoMetadata());
    if (camera.isEmpty()) {
        // The size line shrinks its font until it fits the card.
        const QString size = tr("%1 × %2 pixels").arg(doc.width()).arg(doc.height());
        QFont sizeFont = w.font();
        while (QFontMetricsF(sizeFont).horizontalAdvance(size) > 108 && sizeFont.pointSizeF() > 5.5)
            sizeFont.setPointSizeF(sizeFont.pointSizeF() - 0.5);
        p.setFont(sizeFont);
        p.drawText(QRectF(10, 96, 108, 18), Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetricsF(sizeFont).elidedText(size, Qt::ElideRight, 108));
        p.setFont(w.font());
        p.setPen(modified ? QColor(150, 60, 40) : QColor(60, 64, 76));
        p.drawText(QRectF(10, 114, 108, 18), Qt::AlignLeft | Qt::AlignVCenter,
                   modified ? tr("Edited") : session.savedSinceOpen() ? tr("Saved") : tr("As opened"));
        return;
    }
    // Date taken and camera below the size, in a smaller type.
    QFont small = w.font();
    small.setPointSizeF(w.font().pointSizeF() * 0.9);
    p.setFont(small);
    QString size = tr("%1 × %2").arg(doc.width()).arg(doc.height());
    if (modified)
        size += tr(", edited");
    else if (session.savedSinceOpen())
        size += tr(", saved");
    p.drawText(QRectF(10, 94, 108, 15), Qt::AlignLeft | Qt::AlignVCenter, size);
    for (int i = 0; i < camera.size() && i < 2; ++i)
        p.drawText(QRectF(10, 108 + 14 * i, 108, 15), Qt::AlignLeft | Qt::AlignVCenter,
                   p.fontMetrics().elidedText(camera[i], Qt::ElideRight, 108));
    p.setFont(w.font());
}

Qt::Edges WindowChrome::edgesAt(QPoint p) const
{
    Qt::Edges edges;
    if (m_window.isMaximized() || m_window.inPreview())
        return edges;
    const int W = m_window.width(), H = m_window.height();
    const bool nearLeft = p.x() < kCornerGrip, nearRight = p.x() >= W - kCornerGrip;
    const bool nearTop = p.y() < kCornerGrip, nearBottom = p.y() >= H - kCornerGrip;
    if ((nearLeft || nearRight) && (nearTop || nearBottom)) {
        edges |= nearLeft ? Qt::LeftEdge : Qt::RightEdge;
        edges |= nearTop ? Qt::TopEdge : Qt::BottomEdge;
        return edges;
    }
    if (p.x() < kEdgeGrip)
        edges |= Qt::LeftEdge;
    else if (p.x() >= W - kEdgeGrip)
        edges |= Qt::RightEdge;
    if (p.y() < kEdgeGrip)
        edges |= Qt::TopEdge;
    else if (p.y() >= H - kEdgeGrip)
        edges |= Qt::BottomEdge;
    return edges;
}

void WindowChrome::press(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    const Qt::Edges edges = edgesAt(p);
    m_dragStartGlobal = event->globalPosition().toPoint();
    m_dragStartGeometry = m_window.geometry();
    QWindow* handle = m_window.windowHandle();
    if (edges) {
        if (!(handle && handle->startSystemResize(edges))) {
            m_drag = Drag::Resize;
            m_dragEdges = edges;
        }
        return;
    }
    if (p.y() < CEditorDlg::kTopBand && p.x() >= 13 && p.x() < m_window.width() - 13 && !m_window.isMaximized()) {
        if (!(handle && handle->startSystemMove()))
            m_drag = Drag::Move;
    }
}

void WindowChrome::move(QMouseEvent* event)
{
    const QPoint global = event->globalPosition().toPoint();
    const QPoint delta = global - m_dragStartGlobal;
    if (m_drag == Drag::Move) {
        m_window.move(m_dragStartGeometry.topLeft() + delta);
        return;
    }
    if (m_drag == Drag::Resize) {
        QRect g = m_dragStartGeometry;
        const QSize minimum = m_window.minimumSize(), maximum = m_window.maximumSize();
        if (m_dragEdges & Qt::LeftEdge)
            g.setLeft(std::clamp(g.left() + delta.x(), g.right() + 1 - maximum.width(), g.right() + 1 - minimum.width()));
        if (m_dragEdges & Qt::RightEdge)
            g.setRight(std::clamp(g.right() + delta.x(), g.left() + minimum.width() - 1, g.left() + maximum.width() - 1));
        if (m_dragEdges & Qt::TopEdge)
            g.setTop(std::clamp(g.top() + delta.y(), g.bottom() + 1 - maximum.height(), g.bottom() + 1 - minimum.height()));
        if (m_dragEdges & Qt::BottomEdge)
            g.setBottom(
                std::clamp(g.bottom() + delta.y(), g.top() + minimum.height() - 1, g.top() + maximum.height() - 1));
        m_window.setGeometry(g);
        return;
    }
    m_window.setCursor(CursorFor(edgesAt(event->position().toPoint())));
}

void WindowChrome::release()
{
    m_drag = Drag::None;
}

QFont WindowChrome::labelFont(const QFont& windowFont)
{
    QFont small = windowFont;
    small.setPointSizeF(std::max(6.5, small.pointSizeF() - 1.5));
    return small;
}

int WindowChrome::opacityLabelWidth(const QFont& windowFont)
{
    return QFontMetrics(labelFont(windowFont)).horizontalAdvance(tr("Opacity")) + 2;
}

int WindowChrome::deformLabelWidth(const QFont& windowFont)
{
    const QFontMetrics m(labelFont(windowFont));
    return std::max(m.horizontalAdvance(tr("Deform Radius")), m.horizontalAdvance(tr("Deform Amount"))) + 2;
}

} // namespace ombrik
