#include "app/panel_controller.h"

#include "app/editor_dlg.h"
#include "session/editor_session.h"
#include "ui/adjust_panel.h"
#include "ui/brush_picker.h"
#include "ui/colour_palette.h"
#include "ui/effect_panel.h"
#include "ui/fade_dialog.h"
#include "ui/flat_button.h"
#include "ui/message_box.h"
#include "view/photo_canvas.h"

#include <QApplication>
#include <QSlider>

#include <algorithm>

namespace ombrik {

PanelController::PanelController(CEditorDlg& window, EditorSession& session)
    : m_window(window), m_session(session), m_current(Panel::Retouch)
{
    connect(&m_session, &EditorSession::opened, this, &PanelController::photoOpened);
}

void PanelController::photoOpened()
{
    const CanvasDocument& doc = m_session.document();
    if (m_current == Panel::Retouch) {
        m_window.m_brushPicker->resend();
        if (doc.applyMode() == ApplyMode::ResultBrush)
            m_session.chooseEffect(doc.effectId());
    } else if (m_current == Panel::Lighting) {
        m_session.setBrushSize(std::max(60, (doc.width() + doc.height()) / 12));
    }
}

void PanelController::showPanel(Panel panel)
{
    if (m_current == Panel::Adjust && panel != Panel::Adjust) {
        // An adjustment not applied is only a preview: leaving drops it.
        discardAdjustment();
    }
    m_current = panel;
    for (size_t i = 0; i < m_window.m_panelButtons.size(); ++i)
        m_window.m_panelButtons[i]->setChecked(int(i) == int(panel));
    m_window.applyVisibility();
    m_window.m_canvas->setBrushMode(panel != Panel::Text && panel != Panel::Adjust);
    if (panel == Panel::Retouch)
        m_window.m_brushPicker->resend();
    m_window.m_canvas->refresh();
    m_window.update();
}

void PanelController::stepPanel(int step)
{
    constexpr int kPanels = int(Panel::Adjust) + 1;
    showPanel(Panel((int(m_current) + step + kPanels) % kPanels));
}

void PanelController::chooseEffect(EffectId id)
{
    const CanvasDocument& doc = m_session.document();
    auto& strips = m_window.m_strips;
    const EffectCategory category = CategoryOfEffect(id);
    for (int c = 0; c < 4; ++c) {
        if (id == kRestoreBrushId || id == kReduceWarpId || EffectCategory(c) != category)
            strips[size_t(c)]->clearSelection();
        else
            strips[size_t(c)]->selectId(id);
    }
    if (id != kRestoreBrushId)
        m_window.m_restore->setChecked(false);
    m_window.m_reduceWarp->setChecked(id == kReduceWarpId);
    if (category == EffectCategory::Lighting) {
        const uint32_t colour = DefaultLightingColour(id);
        m_window.m_palette->setColour(colour);
        m_session.setEffectColour(colour);
        m_session.setBrushSize(std::max(60, (doc.width() + doc.height()) / 12));
    } else if (category == EffectCategory::Warp || id == kReduceWarpId) {
        m_session.setBrushSize(std::max(1, m_window.m_deformRadius->value()));
    }
    const EffectInfo* info = FindEffect(id);
    const bool slow = doc.hasPhoto() && info
        && (info->mode == ApplyMode::WholeImage || info->mode == ApplyMode::ResultBrush);
    if (slow)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool done = m_session.chooseEffect(id);
    if (slow)
        QApplication::restoreOverrideCursor();
    if (!done && category != EffectCategory::Filters)
        showChosenBrush(false);  // cancelled: the effect that is still chosen
    if (!done)
        m_window.showNotice(tr("Cancelled: the photo is as it was."));
}

void PanelController::showChosenBrush(bool retouching)
{
    const EffectId current = m_session.document().effectId();
    for (int c = 0; c < 4; ++c) {
        auto& strip = m_window.m_strips[size_t(c)];
        if (!retouching && EffectCategory(c) == CategoryOfEffect(current) && current != kRestoreBrushId
            && current != kReduceWarpId)
            strip->selectId(current);
        else
            strip->clearSelection();
    }
    m_window.m_restore->setChecked(!retouching && current == kRestoreBrushId);
    m_window.m_reduceWarp->setChecked(!retouching && current == kReduceWarpId);
}

void PanelController::pressRestoreBrush()
{
    m_window.m_canvas->setRetouch(CPhotoCanvas::Retouch::None);
    if (m_window.m_restore->isChecked())
        return;
    m_window.m_restore->setChecked(true);
    chooseEffect(kRestoreBrushId);
}

void PanelController::previewAdjustment()
{
    if (m_current != Panel::Adjust)
        return;
    const CanvasDocument& doc = m_session.document();
    const AdjustParams params = m_window.m_adjustPanel->params();
    if (params == doc.adjustParams() && doc.adjustPreviewActive() == !params.isIdentity())
        return;
    m_session.setAdjustPreview(params);
}

void PanelController::applyAdjustment()
{
    // The preview may lag the sliders by one turn of the event loop.
    m_session.setAdjustPreview(m_window.m_adjustPanel->params());
    if (m_session.applyAdjustment())
        m_window.m_adjustPanel->reset();
}

void PanelController::discardAdjustment()
{
    m_window.m_adjustPanel->reset();
    m_session.clearAdjustPreview();
}

bool PanelController::settlePendingAdjustment()
{
    // The preview may lag the sliders by one turn of the event loop.
    if (m_current == Panel::Adjust)
        previewAdjustment();
    if (!m_session.document().adjustPreviewActive())
        return true;
    switch (AskYesNoCancel(&m_window, tr("Apply the adjustment first?"), tr("Apply"), tr("Discard"))) {
    case Answer::Yes: applyAdjustment(); return true;
    case Answer::No: discardAdjustment(); return true;
    case Answer::Cancel: break;
    }
    return false;
}

void PanelController::fadeCommand()
{
    if (m_window.inPreview() || !m_session.document().canFade())
        return;
    CFadeDialog dialog(m_session.document().fadePercent(), &m_window);
    connect(&dialog, &CFadeDialog::percentChanged, this, [this](int percent) { m_session.setFadePreview(percent); });
    const bool accepted = m_window.execFadeDialog ? m_window.execFadeDialog(dialog) : dialog.exec() == QDialog::Accepted;
    if (!accepted || !m_session.commitFade(dialog.percent()))
        m_session.clearFadePreview();
}

} // namespace ombrik
