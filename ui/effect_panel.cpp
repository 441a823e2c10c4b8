#include "ui/effect_panel.h"
#include "files/pixel_image.h"

#include "ui/scroll_codes.h"
#include "effects/effect_request.h"
#include "engine/progress.h"
#include "ui/artwork.h"
#include "ui/effect_names.h"
#include "ui/message_box.h"

#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace ombrik {

namespace {

const QColor kStripBackground(0xDC, 0xDC, 0xDC);
constexpr int kApplyCardWidth = 68;
constexpr int kApplyCardHeight = 67;

// One line on what each tile does.
const char* TileAction(EffectId id)
{
    switch (id) {
    case fx::Lighten: return QT_TRANSLATE_NOOP("CEffectPanel", "Brightens the parts you paint");
    case fx::Darken: return QT_TRANSLATE_NOOP("CEffectPanel", "Darkens the parts you paint");
    case fx::SmoothSkin: return QT_TRANSLATE_NOOP("CEffectPanel", "Smooths skin and small blemishes");
    case fx::RedEye: return QT_TRANSLATE_NOOP("CEffectPanel", "Removes red from eyes");
    case fx::Gamma: return QT_TRANSLATE_NOOP("CEffectPanel", "Lifts the mid-tones");
    case fx::Contrast: return QT_TRANSLATE_NOOP("CEffectPanel", "Strengthens the contrast");
    case fx::Blur: return QT_TRANSLATE_NOOP("CEffectPanel", "Blurs the parts you paint");
    case fx::Sharp: return QT_TRANSLATE_NOOP("CEffectPanel", "Sharpens the parts you paint");
    case fx::BlackAndWhite: return QT_TRANSLATE_NOOP("CEffectPanel", "Turns the parts you paint black and white");
    case fx::Pixelize: return QT_TRANSLATE_NOOP("CEffectPanel", "Turns the parts you paint into large pixels");
    case fx::Canvas: return QT_TRANSLATE_NOOP("CEffectPanel", "Gives the photo a canvas texture");
    case fx::Weave: return QT_TRANSLATE_NOOP("CEffectPanel", "Paints the photo in woven strokes");
    case fx::Emboss: return QT_TRANSLATE_NOOP("CEffectPanel", "Embosses the photo in grey relief");
    case fx::SoftGlow: return QT_TRANSLATE_NOOP("CEffectPanel", "Adds a soft, dreamy glow");
    case fx::DotArt: return QT_TRANSLATE_NOOP("CEffectPanel", "Paints the photo in dots");
    case fx::Cubism: return QT_TRANSLATE_NOOP("CEffectPanel", "Paints the photo in blocky strokes");
    case fx::Splash: return QT_TRANSLATE_NOOP("CEffectPanel", "Scatters the pixels like splashed paint");
    case fx::OilPaint: return QT_TRANSLATE_NOOP("CEffectPanel", "Makes the photo look painted in oils");
    case fx::Mosaic: return QT_TRANSLATE_NOOP("CEffectPanel", "Cuts the photo into mosaic tiles");
    case fx::Straws: return QT_TRANSLATE_NOOP("CEffectPanel", "Paints the photo in long straw strokes");
    case fx::Glass: return QT_TRANSLATE_NOOP("CEffectPanel", "Shows the photo through glass tiles");
    case fx::LineArt: return QT_TRANSLATE_NOOP("CEffectPanel", "Draws the photo as line art");
    case fx::EdgePaint: return QT_TRANSLATE_NOOP("CEffectPanel", "Paints the edges of the photo");
    case fx::Posterize: return QT_TRANSLATE_NOOP("CEffectPanel", "Reduces the photo to a few tones");
    case fx::Wind: return QT_TRANSLATE_NOOP("CEffectPanel", "Blows the photo sideways like wind");
    case fx::MotionBlur: return QT_TRANSLATE_NOOP("CEffectPanel", "Blurs the photo as if moving");
    case fx::RadialBlur: return QT_TRANSLATE_NOOP("CEffectPanel", "Blurs the photo outward from the centre");
    case fx::WarpMove: return QT_TRANSLATE_NOOP("CEffectPanel", "Pushes the photo along the drag");
    case fx::WarpGrow: return QT_TRANSLATE_NOOP("CEffectPanel", "Makes the part under the brush grow");
    case fx::WarpShrink: return QT_TRANSLATE_NOOP("CEffectPanel", "Makes the part under the brush shrink");
    case fx::SwirlClockwise: return QT_TRANSLATE_NOOP("CEffectPanel", "Swirls the photo clockwise");
    case fx::SwirlCounterClockwise: return QT_TRANSLATE_NOOP("CEffectPanel", "Swirls the photo counter-clockwise");
    case fx::Spotlight: return QT_TRANSLATE_NOOP("CEffectPanel", "Lights the photo with a spotlight");
    case fx::PointLight: return QT_TRANSLATE_NOOP("CEffectPanel", "Lights the photo with a point light");
    case fx::LensFlare: return QT_TRANSLATE_NOOP("CEffectPanel", "Adds a camera lens flare");
    case fx::RadialFlare: return QT_TRANSLATE_NOOP("CEffectPanel", "Adds a radial flare");
    case fx::MagicFlare: return QT_TRANSLATE_NOOP("CEffectPanel", "Adds a magic flare");
    case fx::FairyDust: return QT_TRANSLATE_NOOP("CEffectPanel", "Stamps sparkling fairy dust");
    case fx::Mist: return QT_TRANSLATE_NOOP("CEffectPanel", "Stamps soft mist and cloud");
    case fx::Sparkle: return QT_TRANSLATE_NOOP("CEffectPanel", "Stamps sparkles");
    case fx::Firefly: return QT_TRANSLATE_NOOP("CEffectPanel", "Stamps glowing fireflies");
    default: return "";
    }
}

} // namespace

const std::vector<PixelBuffer>& CEffectPanel::thumbnailsFor(qreal ratio)
{
    if (ratio <= 1.0)
        return m_thumbnails;
    if (m_sharpThumbnails.empty()) {
        // Made when first needed on a scaled screen, quietly (no progress strip).
        ScopedProgressSink quiet({});
        m_sharpThumbnails = ComputeThumbnails(ThumbnailSource(2 * kThumbnailWidth, 2 * kThumbnailHeight));
    }
    return m_sharpThumbnails;
}

QString CEffectPanel::tileToolTip(int tile) const
{
    if (tile < 0 || tile >= tileCount())
        return QString();
    const EffectId id = tileId(tile);
    QString how;
    switch (m_category) {
    case EffectCategory::Retouch: how = tr("paint on the photo"); break;
    case EffectCategory::Filters: how = tr("double-click or Apply"); break;
    default: how = tr("drag on the photo"); break;
    }
    return QStringLiteral("<b>%1</b><br>%2; %3").arg(EffectDisplayName(id).toHtmlEscaped(), tr(TileAction(id)), how);
}

bool CEffectPanel::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int tile = tileAt(help->pos());
        if (tile >= 0)
            QToolTip::showText(help->globalPos(), tileToolTip(tile), this, tileRect(tile));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void CEffectPanel::keyPressEvent(QKeyEvent* event)
{
    const int count = tileCount();
    int tile = m_selectedIndex;
    switch (event->key()) {
    case Qt::Key_Left: tile = tile < 0 ? 0 : std::max(0, tile - 1); break;
    case Qt::Key_Right: tile = tile < 0 ? 0 : std::min(count - 1, tile + 1); break;
    case Qt::Key_Home: tile = 0; break;
    case Qt::Key_End: tile = count - 1; break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter applies a tile reached from the keyboard; after a click it
        // does nothing, so a stray Enter never starts a long filter.
        if (m_selectedIndex >= 0 && m_keyboardChoice)
            send(tileId(m_selectedIndex));
        return;
    default: QWidget::keyPressEvent(event); return;
    }
    m_keyboardChoice = true;
    if (count <= 0 || tile == m_selectedIndex)
        return;
    selectTile(tile);
    scrollToTile(tile);
    // Outside Filters choosing a tile is choosing the tool, as a click does.
    if (!isFilters())
        send(tileId(tile));
    else
        emit filterSelected(tileId(tile));
}

void CEffectPanel::focusInEvent(QFocusEvent* event)
{
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        m_keyboardChoice = true;
    update();
}

void CEffectPanel::scrollToTile(int tile)
{
    if (m_range <= 0)
        return;
    const QRect r = tileRect(tile);
    const int visible = isFilters() ? width() - kApplyCardWidth - 4 : width();
    int v = m_scroll;
    if (r.left() < 0)
        v += r.left() - margin();
    else if (r.right() >= visible)
        v += r.right() - visible + margin() + 1;
    m_scroll = std::clamp(v, 0, m_range);
    m_bar->setValue(m_scroll);
    update();
}

CEffectPanel::CEffectPanel(EffectCategory category, MessageTarget* owner, QWidget* parent)
    : QWidget(parent), m_category(category), m_owner(owner)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_selected.assign(size_t(std::max(0, TileCount(category))), false);
    if (category == EffectCategory::Retouch && !m_selected.empty()) {
        m_selected[0] = true;
        m_selectedIndex = 0;
    }
    m_bar = new QScrollBar(Qt::Horizontal, this);
    m_bar->setSingleStep(kScrollStep);
    m_bar->setPageStep(kScrollStep);
    m_bar->hide();
    connect(m_bar, &QScrollBar::actionTriggered, this, [this](int action) {
        const int code = ScrollCodeForSliderAction(action);
        if (code < 0)
            return;
        onScroll(code, m_bar->sliderPosition());
    });
    if (isFilters()) {
        m_apply = new QPushButton(tr("Apply"), this);
        m_apply->setObjectName(QStringLiteral("applyButton"));
        m_apply->setProperty("commandId", kApplyCommand);
        m_apply->setFocusPolicy(Qt::NoFocus);
        m_apply->setCursor(Qt::PointingHandCursor);
        connect(m_apply, &QPushButton::clicked, this, &CEffectPanel::apply);
        m_thumbnails = ComputeThumbnails(ThumbnailSource());
    } else {
        // Tile pictures are made once, at twice their drawn size for sharp high-density screens.
        for (int i = 0; i < tileCount(); ++i)
            m_tiles.push_back(TileImage(tileId(i), 2 * (pitch() - 2 * margin() - 10), 2 * (tileHeight() - 10)));
    }
}

std::vector<PixelBuffer> CEffectPanel::ComputeThumbnails(const PixelBuffer& source)
{
    std::vector<PixelBuffer> out;
    const int count = TileCount(EffectCategory::Filters);
    out.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        PixelBuffer thumb(source.width, source.height, 3);
        if (!source.empty()) {
            EffectRequest request;
            request.initialise();
            request.set(TileEffectId(EffectCategory::Filters, i), source.width, source.height, 3);
            request.RunEffect(source.data(), thumb.data());
            request.clear();
        }
        out.push_back(std::move(thumb));
    }
    return out;
}

bool CEffectPanel::isSelected(int tile) const
{
    return tile >= 0 && tile < tileCount() && m_selected[size_t(tile)];
}

void CEffectPanel::clearSelection()
{
    std::fill(m_selected.begin(), m_selected.end(), false);
    m_selectedIndex = -1;
    update();
}

void CEffectPanel::selectId(EffectId id)
{
    if (CategoryOfEffect(id) != m_category)
        return;
    selectTile(id - 40 * int(m_category));
}

void CEffectPanel::selectTile(int tile)
{
    if (tile < 0 || tile >= tileCount())
        return;
    if (!m_selected[size_t(tile)])
        std::fill(m_selected.begin(), m_selected.end(), false);
    m_selected[size_t(tile)] = true;
    m_selectedIndex = tile;
    update();
}

void CEffectPanel::send(EffectId id)
{
    if (m_owner)
        m_owner->sendMessage(WM_EFFECT_COMMAND, 0, id);
}

int CEffectPanel::top() const
{
    if (m_range <= 0)
        return 6;
    return isFilters() ? 3 : 0;
}

QRect CEffectPanel::tileRect(int tile) const
{
    const int p = pitch(), m = margin();
    const int left = tile * p + m - m_scroll;
    const int right = (tile + 1) * p - m - m_scroll;
    return QRect(QPoint(left, top()), QPoint(right - 1, top() + tileHeight() - 1));
}

int CEffectPanel::tileAt(QPoint p) const
{
    for (int i = 0; i < tileCount(); ++i)
        if (tileRect(i).contains(p))
            return i;
    return -1;
}

bool CEffectPanel::scrollBarShown() const
{
    return !m_bar->isHidden();
}

void CEffectPanel::updateScrollRange()
{
    const int content = tileCount() * pitch() + (isFilters() ? pitch() : 0);
    m_range = content - width();
    if (m_range <= 0) {
        m_range = 0;
        m_scroll = 0;
        m_bar->hide();
    } else {
        m_scroll = std::clamp(m_scroll, 0, m_range);
        m_bar->setRange(0, m_range);
        m_bar->setPageStep(std::max(kScrollStep, width()));
        m_bar->setValue(m_scroll);
        const int barWidth = isFilters() ? width() - kApplyCardWidth - 4 : width();
        m_bar->setGeometry(0, height() - kScrollBarHeight, std::max(0, barWidth), kScrollBarHeight);
        m_bar->show();
    }
}

void CEffectPanel::onScroll(int code, int position)
{
    int v = m_scroll;
    switch (code) {
    case ScrollLineForward:
    case ScrollPageForward: v += kScrollStep; break;
    case ScrollThumbPosition:
    case ScrollThumbTrack: v = position; break;
    case ScrollToStart: v = 0; break;
    case ScrollToEnd: v = m_range; break;
    default: v -= kScrollStep; break;
    }
    m_scroll = std::clamp(v, 0, std::max(0, m_range));
    m_bar->setValue(m_scroll);
    update();
}

void CEffectPanel::apply()
{
    if (m_selectedIndex < 0) {
        ShowInformation(this, tr("No filter selected."));
        return;
    }
    send(tileId(m_selectedIndex));
}

void CEffectPanel::resizeEvent(QResizeEvent*)
{
    updateScrollRange();
    if (m_apply) {
        m_apply->setGeometry(width() - 4 - 60, height() - 40, 60, 20);
        QFont bold = font();
        bold.setBold(true);
        m_apply->setFont(FittedFont(bold, m_apply->text(), 60 - 8));
    }
}

void CEffectPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kStripBackground);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QFont font = this->font();
    font.setPointSizeF(std::max(7.0, font.pointSizeF() - 1.0));
    p.setFont(font);
    for (int i = 0; i < tileCount(); ++i) {
        const QRect r = tileRect(i);
        if (r.right() < 0 || r.left() >= width())
            continue;
        const bool selected = m_selected[size_t(i)];
        const bool hover = i == m_hover && !selected;
        const QRectF frame = QRectF(r).adjusted(-2, -2, 2, 2);
        if (selected) {
            QColor fill = kAccent;
            fill.setAlpha(60);
            p.setPen(QPen(kAccent, 2));
            p.setBrush(fill);
            p.drawRoundedRect(frame.adjusted(1, 1, -1, -1), 5, 5);
        } else if (hover) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, 140));
            p.drawRoundedRect(frame, 5, 5);
        }
        QRectF picture = isFilters() ? QRectF(r).adjusted(1, 1, -1, -1) : QRectF(r).adjusted(5, 5, -5, -5);
        QPainterPath clip;
        clip.addRoundedRect(picture, 3, 3);
        p.save();
        p.setClipPath(clip);
        if (isFilters()) {
            const std::vector<PixelBuffer>& set = thumbnailsFor(devicePixelRatioF());
            if (size_t(i) < set.size())
                p.drawImage(picture, PixelBufferImage(set[size_t(i)]));
        } else {
            p.drawImage(picture, m_tiles[size_t(i)]);
        }
        p.restore();
        p.setPen(QPen(selected ? QColor(255, 255, 255) : QColor(0, 0, 0, 50), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(picture.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        // The name under the tile, centred in a box 12 pixels wider on each side.
        const QRect nameBox(r.left() - 12, r.bottom() + 1, r.width() + 24, 40);
        p.setPen(selected ? QColor(40, 40, 120) : QColor(40, 40, 46));
        const QString name = EffectDisplayName(tileId(i));
        p.setFont(FittedFont(font, name, nameBox.width() - 2));
        p.drawText(nameBox, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, name);
        p.setFont(font);
        if (selected && hasFocus()) {
            // Keyboard focus: a dotted ring round the selected tile.
            p.setPen(QPen(kAccent, 1, Qt::DotLine));
            p.drawRoundedRect(frame.adjusted(-2, -2, 2, 2), 6, 6);
        }
    }
    if (isFilters()) {
        // The card behind "Apply" at the top right corner.
        const QRectF card(width() - kApplyCardWidth, 0, kApplyCardWidth, kApplyCardHeight);
        QLinearGradient g(card.topLeft(), card.bottomLeft());
        g.setColorAt(0, QColor(236, 236, 242));
        g.setColorAt(1, QColor(214, 214, 226));
        p.setPen(QPen(QColor(180, 180, 196), 1));
        p.setBrush(g);
        p.drawRoundedRect(card.adjusted(2.5, 2.5, -2.5, -2.5), 6, 6);
        PaintGlyph(p, Glyph::Filters, QRectF(card.center().x() - 11, card.top() + 8, 22, 22), kAccent);
    }
}

void CEffectPanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int tile = tileAt(event->position().toPoint());
    if (tile < 0)
        return;
    setFocus(Qt::MouseFocusReason);
    m_keyboardChoice = false;
    selectTile(tile);
    if (!isFilters())
        send(tileId(tile));
    else
        emit filterSelected(tileId(tile));
}

void CEffectPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int tile = tileAt(event->position().toPoint());
    if (tile < 0)
        return;
    selectTile(tile);
    if (isFilters())
        send(tileId(tile));
}

void CEffectPanel::mouseMoveEvent(QMouseEvent* event)
{
    const int tile = tileAt(event->position().toPoint());
    if (tile != m_hover) {
        m_hover = tile;
        setCursor(tile >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
        update();
    }
}

void CEffectPanel::leaveEvent(QEvent*)
{
    if (m_hover >= 0) {
        m_hover = -1;
        update();
    }
}

void CEffectPanel::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    const int steps = (delta.y() != 0 ? delta.y() : delta.x()) / 120;
    if (steps == 0 || m_range <= 0)
        return;
    // Away from the user scrolls toward the start.
    m_scroll = std::clamp(m_scroll - steps * kScrollStep, 0, m_range);
    m_bar->setValue(m_scroll);
    update();
    event->accept();
}

} // namespace ombrik
