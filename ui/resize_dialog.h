// "Resize Photo": the new width and height in pixels or percent, with the
// aspect lock; the size the photo will get (sides multiples of 4) and why it
// cannot be had are shown as the values change.
#pragma once

#include <QDialog>

#include <cstdint>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QSpinBox;

namespace ombrik {

class CResizeDlg : public QDialog {
    Q_OBJECT

public:
    // maxArea: the most pixels an enlargement may reach (0: no limit).
    CResizeDlg(int width, int height, int64_t maxArea, QWidget* parent = nullptr);

    // The size that OK gives (rounded to multiples of 4).
    int newWidth() const { return m_newWidth; }
    int newHeight() const { return m_newHeight; }
    // Empty when the size can be had.
    QString problem() const { return m_problem; }

    QSpinBox* widthBox() const { return m_widthBox; }
    QSpinBox* heightBox() const { return m_heightBox; }
    QComboBox* unitBox() const { return m_unit; }
    QCheckBox* lockBox() const { return m_lock; }

private:
    bool percent() const;
    void unitChanged();
    void valueChanged(bool widthChanged);
    void updateResult();

    int m_width, m_height;
    int64_t m_maxArea;
    int m_newWidth, m_newHeight;
    QString m_problem;
    bool m_syncing = false;
    QComboBox* m_unit = nullptr;
    QSpinBox* m_widthBox = nullptr;
    QSpinBox* m_heightBox = nullptr;
    QCheckBox* m_lock = nullptr;
    QLabel* m_result = nullptr;
    QLabel* m_problemLabel = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace ombrik
