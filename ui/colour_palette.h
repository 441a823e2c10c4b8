// CColourPalette: the Lighting panel's colours. A click on a swatch sends
// WM_APPLY_DECORATION code 1 with the colour (0x00BBGGRR); the last cell opens
// a colour dialog for any other colour.
#pragma once

#include "ui/messages.h"

#include <QWidget>

#include <cstdint>
#include <vector>

namespace ombrik {

class CColourPalette : public QWidget {
    Q_OBJECT
public:
    static constexpr int kColumns = 7;
    static constexpr int kRows = 3;
    static constexpr uintptr_t kDecorationCode = 1;

    explicit CColourPalette(MessageTarget* owner, QWidget* parent = nullptr);

    uint32_t colour() const { return m_colour; }
    // Shows a colour as the current one without sending it.
    void setColour(uint32_t colour);
    // Makes a colour current and sends it.
    void pickColour(uint32_t colour);
    const std::vector<uint32_t>& swatches() const { return m_swatches; }
    QRect cellRect(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    MessageTarget* m_owner;
    std::vector<uint32_t> m_swatches;
    uint32_t m_colour = 0xFFFFFF;
};

} // namespace ombrik
