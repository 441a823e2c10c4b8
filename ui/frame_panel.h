// CFramePanel: the photo frame panel. A scrolling grid of 64 × 64 cells, each
// showing a frame's thumbnail as a miniature frame; a click selects a cell, a
// double click or "Apply" sends WM_APPLY_DECORATION code 3 with the frame
// index to the owner.
#pragma once

#include "ui/messages.h"
#include "engine/pixel_buffer.h"

#include <QImage>
#include <QWidget>

#include <vector>

class QPushButton;
class QScrollBar;

namespace ombrik {

class CFramePanel : public QWidget {
    Q_OBJECT
public:
    static constexpr uintptr_t kDecorationCode = 3;
    static constexpr int kApplyCommand = 10014;
    static constexpr int kCellWidth = 64;
    static constexpr int kCellHeight = 64;
    static constexpr int kScrollBarWidth = 17;
    static constexpr int kApplyHeight = 26;

    explicit CFramePanel(MessageTarget* owner, QWidget* parent = nullptr);

    // Replaces the thumbnails (the selection and scrolling start again).
    void setThumbnails(std::vector<PixelBuffer> thumbnails);
    // Loads them from the frame library; false when "pframes_t" was missing or
    // ended early (the complete entries are shown).
    bool loadThumbnails();
    int count() const { return int(m_thumbs.size()); }
    int selectedIndex() const { return m_selected; }
    int scrollY() const { return m_scrollY; }
    int columns() const;
    // Cell rectangle in widget coordinates at the current scroll position.
    QRect cellRect(int index) const;
    // Cell under a widget point, or -1.
    int cellAt(QPoint p) const;
    void select(int index);
    // The Apply button: the message for the selected cell, or the request to
    // select one first.
    void apply();
    QPushButton* applyButton() const { return m_apply; }
    QScrollBar* scrollBar() const { return m_bar; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void updateScrollRange();
    int visibleHeight() const;

    MessageTarget* m_owner;
    std::vector<QImage> m_thumbs;
    int m_selected = -1;
    int m_scrollY = 0;
    QScrollBar* m_bar = nullptr;
    QPushButton* m_apply = nullptr;
};

} // namespace ombrik
