// CEffectPanel: the tile strip of one effect category. Clicking a tile chooses
// its effect (in Filters it only selects; a double click or "Apply" applies);
// the choice goes to the main window as WM_EFFECT_COMMAND kind 0.
#pragma once

#include "ui/messages.h"
#include "effects/effect_catalogue.h"
#include "engine/pixel_buffer.h"

#include <QImage>
#include <QWidget>

#include <vector>

class QPushButton;
class QScrollBar;

namespace ombrik {

class CEffectPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kApplyCommand = 10014;
    static constexpr int kScrollStep = 100;
    static constexpr int kScrollBarHeight = 17;
    static constexpr int kThumbnailWidth = 80;
    static constexpr int kThumbnailHeight = 60;

    CEffectPanel(EffectCategory category, MessageTarget* owner, QWidget* parent = nullptr);

    EffectCategory category() const { return m_category; }
    int tileCount() const { return int(m_selected.size()); }
    EffectId tileId(int tile) const { return TileEffectId(m_category, tile); }
    int selectedIndex() const { return m_selectedIndex; }
    bool isSelected(int tile) const;
    void clearSelection();
    // Selects the tile showing id (when this strip shows it) without sending anything.
    void selectId(EffectId id);

    // Tile geometry in widget pixels, scroll offset included.
    QRect tileRect(int tile) const;
    int tileAt(QPoint p) const;
    int scrollOffset() const { return m_scroll; }
    int scrollRange() const { return m_range; }
    bool scrollBarShown() const;
    // Scroll-bar notification: a ScrollCode and a position.
    void onScroll(int code, int position);

    QPushButton* applyButton() const { return m_apply; }
    // "Apply" (Filters): sends the selected filter or says that none is selected.
    void apply();
    const std::vector<PixelBuffer>& thumbnails() const { return m_thumbnails; }
    // The thumbnails to draw at a device pixel ratio: twice the size above 1.
    const std::vector<PixelBuffer>& thumbnailsFor(qreal ratio);

    // The tile's tooltip: its name and one line on what it does and how to apply it.
    QString tileToolTip(int tile) const;

    // The Filters thumbnails: each filter run on the 80 × 60 source picture.
    static std::vector<PixelBuffer> ComputeThumbnails(const PixelBuffer& source);

signals:
    // A Filters tile was selected (it applies with a double click or Apply).
    void filterSelected(EffectId id);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent*) override { update(); }
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool isFilters() const { return m_category == EffectCategory::Filters; }
    int pitch() const { return isFilters() ? 76 : 82; }
    int tileHeight() const { return isFilters() ? 46 : 50; }
    int margin() const { return isFilters() ? 3 : 12; }
    int top() const;
    void updateScrollRange();
    void selectTile(int tile);
    void scrollToTile(int tile);
    void send(EffectId id);

    EffectCategory m_category;
    MessageTarget* m_owner;
    std::vector<bool> m_selected;
    int m_selectedIndex = -1;
    int m_scroll = 0;
    int m_range = 0;
    int m_hover = -1;
    bool m_keyboardChoice = false;  // the selection was last moved from the keyboard
    QScrollBar* m_bar = nullptr;
    QPushButton* m_apply = nullptr;
    std::vector<PixelBuffer> m_thumbnails;
    std::vector<PixelBuffer> m_sharpThumbnails;
    std::vector<QImage> m_tiles;
};

} // namespace ombrik
