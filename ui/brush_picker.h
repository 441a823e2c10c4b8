// CBrushPicker: ten brushes, five sizes in two shapes. Picking item i sends
// WM_EFFECT_COMMAND kind 1 with i mod 5 (size preset), then kind 2 with i div 5
// (shape).
#pragma once

#include "ui/messages.h"

#include <QWidget>

namespace ombrik {

class CBrushPicker : public QWidget {
    Q_OBJECT
public:
    static constexpr int kItemCount = 10;
    static constexpr int kInitialItem = 1;

    explicit CBrushPicker(MessageTarget* owner, QWidget* parent = nullptr);

    int current() const { return m_current; }
    // Marks item i and sends its size preset and shape.
    void pick(int item);
    // Sends the current item's size preset and shape again.
    void resend();
    QRect itemRect(int item) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    MessageTarget* m_owner;
    int m_current = kInitialItem;
};

} // namespace ombrik
