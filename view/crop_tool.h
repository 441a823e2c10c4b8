// The crop tool: a rectangle with eight handles over the photo, the outside
// dimmed, a rule-of-thirds grid and the size while dragging, and an aspect
// choice in its bar. Enter, a double click inside or Apply crops.
#pragma once

#include "view/mode_tool.h"

#include <QRect>
#include <QRectF>
#include <QSizeF>

#include <utility>
#include <vector>

class QComboBox;

namespace ombrik {

class CropTool : public ModeTool {
public:
    using ModeTool::ModeTool;

    // The aspect choices (name, width : height; 0 : 0 free, -1 : -1 the photo's).
    static const std::vector<std::pair<QString, QSizeF>>& Aspects();

    void begin() override;
    bool apply() override;
    bool press(QPoint p) override;
    bool move(QPoint p) override;
    bool release(QPoint p) override;
    bool doubleClick(QPointF p) override;
    void paint(QPainter& p) override;

    void setAspect(int index);
    int aspect() const { return m_aspect; }
    // The crop as it would be applied: photo pixels, sides multiples of 4.
    QRect rect() const;
    void setRect(const QRectF& photoRect);

private:
    double aspectRatio() const;
    QRectF onScreen() const;
    void showSize();

    QRectF m_crop;            // photo pixels
    int m_aspect = 0;         // index into Aspects()
    double m_photoAspect = 1; // the photo's width over height when the mode began
    int m_handle = -1;        // 0..7 a handle, 8 moving, 9 drawing a new rectangle, -1 none
    QPointF m_press;          // photo point of the press
    QRectF m_startCrop;
    QComboBox* m_aspectBox = nullptr;
    QLabel* m_sizeLabel = nullptr;
};

} // namespace ombrik
