// CAdjustPanel: the sliders of the Adjust panel (exposure, contrast,
// highlights, shadows, saturation, vibrance, warmth, tint), each with its value
// beside it and reset to 0 by a double click, and the "Reset" and "Apply"
// buttons. A burst of slider moves within one turn of the event loop is
// reported once, so a dragged slider never queues stale preview frames.
#pragma once

#include "engine/adjust.h"

#include <QSlider>
#include <QWidget>

#include <array>

class QLabel;
class QPushButton;
class QTimer;

namespace ombrik {

// A slider that goes back to its neutral value on a double click.
class CResettingSlider : public QSlider {
    Q_OBJECT
public:
    explicit CResettingSlider(QWidget* parent = nullptr) : QSlider(Qt::Horizontal, parent) {}
    int neutral() const { return m_neutral; }
    void setNeutral(int value) { m_neutral = value; }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int m_neutral = 0;
};

class CAdjustPanel : public QWidget {
    Q_OBJECT
public:
    enum Setting { Exposure, Contrast, Highlights, Shadows, Saturation, Vibrance, Warmth, Tint, kSettingCount };
    // Exposure slider positions are hundredths of a stop.
    static constexpr int kExposureSteps = 100;

    explicit CAdjustPanel(QWidget* parent = nullptr);

    AdjustParams params() const;
    // Moves the sliders to the settings (rounded to slider positions).
    void setParams(const AdjustParams& params);
    // All sliders back to 0.
    void reset();

    CResettingSlider* slider(Setting s) const { return m_sliders[size_t(s)]; }
    QLabel* valueLabel(Setting s) const { return m_values[size_t(s)]; }
    QPushButton* resetButton() const { return m_reset; }
    QPushButton* applyButton() const { return m_apply; }
    // The text shown beside a slider at a position.
    static QString valueText(Setting s, int position);

signals:
    // The settings changed (sent once per turn of the event loop).
    void paramsChanged();
    void applyRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutControls();
    void updateButtons();

    std::array<CResettingSlider*, kSettingCount> m_sliders{};
    std::array<QLabel*, kSettingCount> m_names{};
    std::array<QLabel*, kSettingCount> m_values{};
    QPushButton* m_reset = nullptr;
    QPushButton* m_apply = nullptr;
    QTimer* m_notify = nullptr;
};

} // namespace ombrik
