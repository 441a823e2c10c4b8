// CFadeDialog: the small "Fade" box. A slider (0 .. 100 %) with its value,
// OK and Cancel; every change of the slider is reported once per turn of the
// event loop so the caller can show the blend live.
#pragma once

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QSlider;
class QSpinBox;
class QTimer;

namespace ombrik {

class CFadeDialog : public QDialog {
    Q_OBJECT
public:
    explicit CFadeDialog(int percent, QWidget* parent = nullptr);

    int percent() const;
    void setPercent(int percent);
    QSlider* slider() const { return m_slider; }
    QSpinBox* spinBox() const { return m_spin; }
    QDialogButtonBox* buttons() const { return m_buttons; }

signals:
    void percentChanged(int percent);

private:
    QSlider* m_slider = nullptr;
    QSpinBox* m_spin = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    QTimer* m_notify = nullptr;
};

} // namespace ombrik
