// The document's adjustment preview and Fade: previews computed from the
// photo without touching it, applied or committed as one history step.
#include "canvas/canvas_document.h"

#include "engine/adjust.h"
#include "light/warp_deformer.h"

namespace ombrik {

// --- Adjustments and fade -------------------------------------------------------

const PixelBuffer& CanvasDocument::displayPhoto() const
{
    if (m_fadePreviewActive)
        return m_fadePreview;
    if (m_adjustActive)
        return m_adjustPreview;
    return m_photo;
}

void CanvasDocument::setAdjustPreview(const AdjustParams& params)
{
    m_adjustParams = params;
    m_adjustActive = !params.isIdentity();
    refreshAdjustPreview();
}

void CanvasDocument::clearAdjustPreview()
{
    m_adjustParams = AdjustParams();
    m_adjustActive = false;
    m_adjustPreview = PixelBuffer();
}

void CanvasDocument::refreshAdjustPreview()
{
    if (!m_adjustActive || !hasPhoto()) {
        m_adjustPreview = PixelBuffer();
        return;
    }
    // Reuses the preview's memory from frame to frame.
    ApplyAdjustments(m_adjustParams, m_photo, m_adjustPreview);
}

bool CanvasDocument::applyAdjustment()
{
    if (!hasPhoto() || !m_adjustActive || m_adjustPreview.byteCount() != m_photo.byteCount())
        return false;
    m_photo = std::move(m_adjustPreview);
    clearAdjustPreview();
    m_strokeBase = m_photo;
    m_warp.reset();
    m_warpUncommitted = false;
    recordStep(true);
    if (RecomputedAfterStroke(m_effectId))
        computeEffectResult();
    return true;
}

void CanvasDocument::rememberFade(PixelBuffer before)
{
    dropFade();
    if (m_history.empty() || before.byteCount() != m_photo.byteCount())
        return;
    m_fadeBefore = std::move(before);
    m_fadeAfter = m_photo;
    m_fadeStep = m_historyPos;
}

void CanvasDocument::dropFade()
{
    m_fadeBefore = PixelBuffer();
    m_fadeAfter = PixelBuffer();
    m_fadePreview = PixelBuffer();
    m_fadePreviewActive = false;
    m_fadeStep = -1;
    m_fadePercent = 100;
}

bool CanvasDocument::canFade() const
{
    return hasPhoto() && m_fadeStep >= 0 && m_fadeStep == m_historyPos && m_historyPos == int(m_history.size()) - 1
        && m_history.back().snapshotIndex >= 0 && m_history.back().snapshotIndex == m_currentSnapshot
        && m_fadeBefore.byteCount() == m_photo.byteCount() && m_fadeAfter.byteCount() == m_photo.byteCount();
}

void CanvasDocument::setFadePreview(int percent)
{
    if (!canFade())
        return;
    FadeBlend(m_fadeBefore, m_fadeAfter, percent, m_fadePreview);
    m_fadePreviewActive = true;
}

void CanvasDocument::clearFadePreview()
{
    m_fadePreviewActive = false;
}

bool CanvasDocument::commitFade(int percent)
{
    if (!canFade())
        return false;
    percent = std::clamp(percent, 0, 100);
    FadeBlend(m_fadeBefore, m_fadeAfter, percent, m_photo);
    m_fadePreviewActive = false;
    m_fadePercent = percent;
    m_strokeBase = m_photo;
    m_warp.reset();
    m_warpUncommitted = false;
    // The step keeps its place; only its photo is replaced.
    m_snapshots[size_t(m_history.back().snapshotIndex)] = EncodeSnapshot(m_photo);
    // A new state: it is not what was last saved, even if that step was.
    m_history.back().id = m_nextStepId++;
    enforceBudget();
    if (m_history.empty())
        dropFade();
    else
        m_fadeStep = m_historyPos;
    if (RecomputedAfterStroke(m_effectId))
        computeEffectResult();
    refreshAdjustPreview();
    notifyHistory();
    if (m_observer)
        m_observer->documentChanged(*this);
    return true;
}

} // namespace ombrik
