// The Levels and Curves sections of the Adjust panel: their controls only;
// the panel keeps the settings and the square with the histogram and curve.
//
// Levels: a channel (RGB, red, green, blue), black, mid-tone (gamma) and white
// as numbers and as handles on a bar, and three eyedroppers that make the
// colour clicked on the photo black, white or grey.
// Curves: a channel, presets, a larger pop-out square and a readout of the
// picked point.
#pragma once

#include "engine/tone_curves.h"

#include <QWidget>

#include <array>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace ombrik {

class CLevelsBar;

// The channel names of both sections, in ToneChannel order.
QString ToneChannelName(ToneChannel channel);

class CLevelsSection : public QWidget {
    Q_OBJECT
public:
    explicit CLevelsSection(QWidget* parent = nullptr);

    ToneChannel channel() const;
    void setChannel(ToneChannel channel);
    // Shows the levels of the chosen channel.
    void showLevels(const Levels& levels);

    QComboBox* channelBox() const { return m_channel; }
    QSpinBox* blackBox() const { return m_black; }
    QDoubleSpinBox* gammaBox() const { return m_gamma; }
    QSpinBox* whiteBox() const { return m_white; }
    CLevelsBar* bar() const { return m_bar; }
    QToolButton* pickButton(LevelsPick pick) const { return m_pick[size_t(pick)]; }
    // The eyedropper waiting for a click on the photo, if any.
    bool picking(LevelsPick& pick) const;
    void endPicking();

signals:
    void channelChanged();
    // The user set new levels for the chosen channel.
    void levelsEdited(const Levels& levels);
    // An eyedropper was taken up or put down.
    void pickingChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fromBoxes();

    QComboBox* m_channel = nullptr;
    std::array<QLabel*, 3> m_labels{};
    QSpinBox* m_black = nullptr;
    QDoubleSpinBox* m_gamma = nullptr;
    QSpinBox* m_white = nullptr;
    CLevelsBar* m_bar = nullptr;
    std::array<QToolButton*, 3> m_pick{};
    bool m_showing = false;
};

class CCurvesSection : public QWidget {
    Q_OBJECT
public:
    explicit CCurvesSection(QWidget* parent = nullptr);

    ToneChannel channel() const;
    void setChannel(ToneChannel channel);
    // The picked point of the shown curve (none when index < 0).
    void showPoint(const Curve& curve, int index);

    QComboBox* channelBox() const { return m_channel; }
    QPushButton* presetButton() const { return m_presets; }
    QPushButton* popOutButton() const { return m_popOut; }

signals:
    void channelChanged();
    void presetChosen(CurvePreset preset);
    void popOutRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QComboBox* m_channel = nullptr;
    QPushButton* m_presets = nullptr;
    QPushButton* m_popOut = nullptr;
    QLabel* m_readout = nullptr;
};

} // namespace ombrik
