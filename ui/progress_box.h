// The box a long effect shows while it runs: the effect's name, a percentage
// and Cancel. RunWithProgress runs the work on a worker thread, keeps the
// window painting, shows the box once the work has taken longer than a
// moment, and turns Cancel or Escape into a cancel request for the engines.
#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace ombrik {

class CProgressBox : public QDialog {
    Q_OBJECT
public:
    CProgressBox(QWidget* parent, const QString& effectName);

    void setPercent(int percent);
    int percent() const;
    QPushButton* cancelButton() const { return m_cancel; }
    // True once Cancel, Escape or closing the box asked the effect to stop.
    bool cancelRequested() const { return m_cancelled; }

    void reject() override;

private:
    QLabel* m_title = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_cancelled = false;
};

// Runs `work` on a worker thread while the user-interface thread goes on
// painting. Input to the window is held back meanwhile, except Escape, which
// cancels. After `showAfterMs` the box appears. Returns false when the run
// was cancelled. `boxShown`, when set, is called once the box is up (tests).
bool RunWithProgress(QWidget* parent, const QString& effectName, const std::function<void()>& work,
                     int showAfterMs = 250, const std::function<void(CProgressBox&)>& boxShown = {});

} // namespace ombrik
