// "Auto Resize Threshold": the dialog that sets the width and height above
// whose area a photo is downsized when it is opened.
#pragma once

#include <QDialog>
#include <QPoint>

class QLineEdit;
class QPushButton;

namespace ombrik {

class CAutoResizeDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMinWidth = 1024;
    static constexpr int kMaxWidth = 10000;
    static constexpr int kMinHeight = 768;
    static constexpr int kMaxHeight = 10000;

    CAutoResizeDlg(int thresholdWidth, int thresholdHeight, QWidget* parent = nullptr);

    // The values accepted with OK (the starting values until then).
    int thresholdWidth() const { return m_width; }
    int thresholdHeight() const { return m_height; }

    QLineEdit* widthEdit() const { return m_widthEdit; }
    // The sentence left of the fields, in the person's language.
    static QString sentence();
    QLineEdit* heightEdit() const { return m_heightEdit; }

    // Checks both boxes; on a bad value shows the range message, selects the
    // box and keeps the dialog open.
    void accept() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool checkValue(QLineEdit* edit, int minimum, int maximum, int& value);

    QLineEdit* m_widthEdit = nullptr;
    QLineEdit* m_heightEdit = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_close = nullptr;
    int m_width;
    int m_height;
    QPoint m_dragOffset;
    bool m_dragging = false;
};

} // namespace ombrik
