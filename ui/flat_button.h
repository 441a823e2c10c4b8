// CFlatButton: the window's self-drawn buttons (tool strip, panel buttons, menu
// buttons, caption buttons, the restore brush button, Open and Save).
#pragma once

#include "ui/artwork.h"

#include <QAbstractButton>

namespace ombrik {

class CFlatButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Style {
        Tool,     // icon only, on the tool strip
        Action,   // icon and caption side by side (Open, Save)
        Panel,    // panel switch; the current one is drawn highlighted
        Menu,     // menu button in the title band
        Caption,  // minimise, maximise, close
        Tile,     // large icon over a caption (restore brush)
    };

    CFlatButton(Style style, Glyph glyph, const QString& text, QWidget* parent = nullptr);

    void setGlyph(Glyph glyph);
    Glyph glyph() const { return m_glyph; }
    // The window command this button sends (for tests and tooltips).
    void setCommandId(int id) { m_commandId = id; }
    int commandId() const { return m_commandId; }

    // A manually checked button keeps its checked state until the window changes it.
    void setManualCheck(bool manual) { m_manualCheck = manual; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void nextCheckState() override;

private:
    Style m_style;
    Glyph m_glyph;
    int m_commandId = 0;
    bool m_hover = false;
    bool m_manualCheck = false;
};

} // namespace ombrik
