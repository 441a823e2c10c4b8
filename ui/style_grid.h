// CStyleGrid: the eight text styles as 120 × 40 previews of "Text" in a
// column with a scroll bar; a click chooses a style.
#pragma once

#include <QWidget>

#include <functional>

class QScrollBar;

namespace ombrik {

class CStyleGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCellWidth = 120;
    static constexpr int kCellHeight = 40;
    static constexpr int kBarWidth = 17;

    explicit CStyleGrid(QWidget* parent = nullptr);

    int currentStyle() const { return m_style; }
    // Marks a style as chosen and reports it through styleChosen.
    void chooseStyle(int style);
    // The cell of a style in widget coordinates (after scrolling).
    QRect cellRect(int style) const;
    QScrollBar* scrollBar() const { return m_bar; }
    std::function<void(int style)> styleChosen;

    // One preview cell as the grid paints it (also for screenshots).
    // One preview, drawn at `ratio` device pixels per pixel so that it stays
    // sharp on a scaled screen.
    static QImage renderCell(int style, qreal ratio = 1.0);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void updateRange();
    int styleAt(QPoint p) const;

    QScrollBar* m_bar = nullptr;
    int m_style = 0;
};

} // namespace ombrik
