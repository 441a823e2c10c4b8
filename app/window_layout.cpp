// Where the main window's children go for its client size, and which of them
// the current panel shows.
#include "app/editor_dlg.h"

#include "app/panel_controller.h"
#include "app/view_controller.h"
#include "app/window_chrome.h"
#include "ui/adjust_panel.h"
#include "ui/brush_picker.h"
#include "ui/colour_palette.h"
#include "ui/effect_panel.h"
#include "ui/flat_button.h"
#include "ui/frame_panel.h"
#include "ui/text_panel.h"
#include "view/photo_canvas.h"

#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include <algorithm>

namespace ombrik {

QRect CEditorDlg::canvasRect() const
{
    if (inPreview())
        return rect();
    return QRect(QPoint(4, 168), QPoint(width() - 156 - 1, height() - 4 - 1));
}

QRect CEditorDlg::titleRect() const
{
    return QRect(0, 0, width(), kTopBand);
}

void CEditorDlg::layoutChildren()
{
    if (!m_canvas || !m_notice || !m_view || !m_view->zoomField())
        return;  // still being built
    const int W = width(), H = height();
    auto span = [](int l, int t, int r, int b) { return QRect(QPoint(l, t), QPoint(r - 1, b - 1)); };
    m_strips[0]->setGeometry(span(196, 58, W - 155, 141));
    m_strips[1]->setGeometry(span(196, 58, W - 4, 141));
    m_strips[2]->setGeometry(span(196, 58, W - 225, 141));
    m_strips[3]->setGeometry(span(196, 58, W - 165, 141));
    m_restore->setGeometry(span(125, 58, 196, 141));
    m_palette->setGeometry(W - 165, 58, 161, 83);
    m_brushPicker->setGeometry(W - 155, 80, 151, 61);
    m_textEditor->setGeometry(span(126, 58, W - 4, 141));
    m_adjustPanel->setGeometry(span(126, 58, W - 4, 141));
    m_framePanel->setGeometry(span(W - 155, 186, W - 4, H - 4));
    // Sliders are centred on the rows the labels use.
    // Their labels stand to the left; a longer label (a translation) takes
    // room from the slider, which keeps at least 50 pixels.
    const int opacityLeft = std::clamp(W - 152 + WindowChrome::opacityLabelWidth(font()) + 2, W - 110, W - 85);
    m_opacity->setGeometry(span(opacityLeft, 62, W - 35, 73));
    const int deformLeft = std::clamp(W - 220 + WindowChrome::deformLabelWidth(font()) + 2, W - 130, W - 85);
    m_deformRadius->setGeometry(span(deformLeft, 82, W - 35, 93));
    m_deformAmount->setGeometry(span(deformLeft, 112, W - 35, 123));
    m_reduceWarp->setGeometry(W - 220, 58, 112, 20);
    // Panel buttons narrow when a small window has no room for all of them.
    const int panelWidth = std::min(102, (W - 195 - 4) / int(m_panelButtons.size()) - 5);
    for (size_t i = 0; i < m_panelButtons.size(); ++i)
        m_panelButtons[i]->setGeometry(195 + int(i) * (panelWidth + 5), 34, panelWidth, 22);
    m_buttons[cmd::OpenButton]->setGeometry(4, 43, 58, 23);
    m_buttons[cmd::SaveButton]->setGeometry(66, 43, 58, 23);
    // The tool strip in groups; the zoom field and the before button follow
    // the zoom buttons.
    int x = 8;
    bool groupStart = false;
    for (int id : ToolStripButtons()) {
        if (id == 0) {
            groupStart = true;
            continue;
        }
        if (groupStart)
            x += 6;
        groupStart = false;
        m_buttons[id]->setGeometry(x, 144, 22, 21);
        x += 24;
        if (id == cmd::ZoomOut) {
            m_view->zoomField()->setGeometry(x + 3, 144, 50, 21);
            m_view->beforeButton()->setGeometry(x + 3 + 50 + 6, 144, 22, 21);
            x += 3 + 50 + 6 + 22 + 8;
        }
    }
    m_captionButtons[2]->setGeometry(W - 43, 8, 24, 14);
    m_captionButtons[1]->setGeometry(W - 43 - 26, 8, 24, 14);
    m_captionButtons[0]->setGeometry(W - 43 - 52, 8, 24, 14);
    x = 36;
    for (CFlatButton* b : m_menuButtons) {
        const int w = fontMetrics().horizontalAdvance(b->text()) + 20;
        b->setGeometry(x, 4, w, 22);
        x += w + 2;
    }
    m_canvas->setGeometry(canvasRect());
    if (m_notice->isVisible()) {
        m_notice->adjustSize();
        const QRect c = canvasRect();
        m_notice->move(c.center().x() - m_notice->width() / 2, c.top() + 12);
        m_notice->raise();
    }
}

void CEditorDlg::applyVisibility()
{
    const bool chrome = !inPreview();
    const Panel panel = currentPanel();
    for (int c = 0; c < 4; ++c)
        m_strips[size_t(c)]->setVisible(chrome && int(panel) == c);
    m_restore->setVisible(chrome && panel != Panel::Text && panel != Panel::Adjust);
    m_brushPicker->setVisible(chrome && panel == Panel::Retouch);
    m_opacity->setVisible(chrome && panel == Panel::Retouch);
    m_deformRadius->setVisible(chrome && panel == Panel::Warp);
    m_deformAmount->setVisible(chrome && panel == Panel::Warp);
    m_reduceWarp->setVisible(chrome && panel == Panel::Warp);
    m_palette->setVisible(chrome && panel == Panel::Lighting);
    m_textEditor->setVisible(chrome && panel == Panel::Text);
    m_adjustPanel->setVisible(chrome && panel == Panel::Adjust);
    m_framePanel->setVisible(chrome);
    for (auto& [id, b] : m_buttons)
        if (b != m_restore)
            b->setVisible(chrome);
    m_view->zoomField()->setVisible(chrome);
    m_view->beforeButton()->setVisible(chrome);
    if (!chrome)
        m_notice->hide();
}

} // namespace ombrik
