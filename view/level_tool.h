// The level (straighten) tool: an angle slider and field in its bar, the
// photo turned live under a grid with the part to be cut away dimmed, and a
// line drawn along a horizon setting the angle.
#pragma once

#include "engine/pixel_buffer.h"
#include "view/mode_tool.h"

class QDoubleSpinBox;
class QSlider;

namespace ombrik {

class LevelTool : public ModeTool {
public:
    using ModeTool::ModeTool;

    void begin() override;
    bool apply() override;
    void end() override;
    bool press(QPoint p) override;
    bool move(QPoint p) override;
    bool release(QPoint p) override;
    void paint(QPainter& p) override;

    void setAngle(double degrees);
    double angle() const { return m_angle; }

private:
    double m_angle = 0;
    PixelBuffer m_source;     // the photo at about its size on screen
    PixelBuffer m_turned;     // source turned by m_previewAngle
    double m_previewAngle = 1e9;
    bool m_drawing = false;
    QPoint m_lineStart, m_lineEnd;
    QSlider* m_slider = nullptr;
    QDoubleSpinBox* m_spin = nullptr;
    QLabel* m_sizeLabel = nullptr;
    bool m_syncing = false;
};

} // namespace ombrik
