// CAdjustPanel: the Adjust panel. On the left a square with the histogram of
// the photo as it will be (luma, or red, green and blue), the share of clipped
// shadows and highlights beside it (a click marks them on the photo); then
// three sections, one shown at a time: the sliders (exposure, contrast,
// highlights, shadows, saturation, vibrance, warmth, tint, each reset to 0 by
// a double click), Levels and Curves (whose curve is edited on the square);
// on the right Auto, Reset (the shown section) and Apply. Everything is one
// pending adjustment (params()). A burst of changes within one turn of the
// event loop is reported once, so a drag never queues stale preview frames.
#pragma once

#include "engine/adjust.h"
#include "engine/tone_analysis.h"

#include <QSlider>
#include <QWidget>

#include <array>

class QDialog;
class QLabel;
class QPushButton;
class QTimer;
class QToolButton;

namespace ombrik {

class CCurvesSection;
class CLevelsSection;
class CToneGraph;

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
    enum Section { SlidersSection, LevelsSection, CurvesSection, kSectionCount };
    // Exposure slider positions are hundredths of a stop.
    static constexpr int kExposureSteps = 100;

    explicit CAdjustPanel(QWidget* parent = nullptr);
    ~CAdjustPanel() override;

    AdjustParams params() const;
    // Moves the sliders to the settings (rounded to slider positions) and
    // takes the levels and curves as they are.
    void setParams(const AdjustParams& params);
    // Everything back to neutral.
    void reset();
    // The shown section back to neutral (the Reset button).
    void resetSection();
    // Auto's proposal: its exposure, contrast, highlights, shadows, warmth
    // and tint go to the sliders; the other settings stay.
    void takeAuto(const AdjustParams& found);

    Section section() const { return m_section; }
    void showSection(Section section);

    // The histogram of the photo as shown, and the clipped shares beside it.
    void setHistogram(const Histogram& histogram);
    // Whether the clipped shadows or highlights are to be marked on the photo.
    bool marksShadows() const;
    bool marksHighlights() const;

    // An eyedropper waiting for a click on the photo, and the colour it got
    // (as the levels see it): false when that colour cannot serve.
    bool picking(LevelsPick& pick) const;
    bool pickLevels(LevelsPick pick, const std::array<double, 3>& rgb);
    void endPicking();

    CResettingSlider* slider(Setting s) const { return m_sliders[size_t(s)]; }
    QLabel* valueLabel(Setting s) const { return m_values[size_t(s)]; }
    QPushButton* resetButton() const { return m_reset; }
    QPushButton* applyButton() const { return m_apply; }
    QPushButton* autoButton() const { return m_auto; }
    QToolButton* sectionButton(Section s) const { return m_sectionButtons[size_t(s)]; }
    QToolButton* clippingButton(bool highlights) const { return m_clipping[highlights ? 1 : 0]; }
    QToolButton* channelsButton() const { return m_channels; }
    CToneGraph* graph() const { return m_graph; }
    CLevelsSection* levels() const { return m_levels; }
    CCurvesSection* curves() const { return m_curves; }
    // The larger curve square, while it is open.
    QDialog* curveWindow() const { return m_curveWindow; }
    CToneGraph* curveWindowGraph() const { return m_bigGraph; }
    // The text shown beside a slider at a position.
    static QString valueText(Setting s, int position);

signals:
    // The settings changed (sent once per turn of the event loop).
    void paramsChanged();
    void applyRequested();
    void autoRequested();
    // An eyedropper was taken up or put down.
    void pickingChanged();
    // A clipping indicator was switched on or off.
    void clippingMarksChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void layoutControls();
    void changed();
    void updateButtons();
    void showCurve();
    void curveEdited(const Curve& curve);
    void openCurveWindow();

    std::array<CResettingSlider*, kSettingCount> m_sliders{};
    std::array<QLabel*, kSettingCount> m_names{};
    std::array<QLabel*, kSettingCount> m_values{};
    ToneMaps m_tone;
    Section m_section = SlidersSection;
    CToneGraph* m_graph = nullptr;
    QToolButton* m_channels = nullptr;
    std::array<QToolButton*, 2> m_clipping{};  // shadows, highlights
    std::array<QToolButton*, kSectionCount> m_sectionButtons{};
    QWidget* m_sliderArea = nullptr;
    CLevelsSection* m_levels = nullptr;
    CCurvesSection* m_curves = nullptr;
    QDialog* m_curveWindow = nullptr;
    CToneGraph* m_bigGraph = nullptr;
    QPushButton* m_auto = nullptr;
    QPushButton* m_reset = nullptr;
    QPushButton* m_apply = nullptr;
    QTimer* m_notify = nullptr;
};

} // namespace ombrik
