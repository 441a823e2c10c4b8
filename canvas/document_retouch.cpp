// The document's heal and clone: a healed photo taken as one fadeable step,
// and the clone brush copying the stroke base from an offset with a soft rim.
#include "canvas/canvas_document.h"

#include "light/warp_deformer.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace ombrik {

int CanvasDocument::retouchBrushSize() const
{
    // Larger than the effect brushes: what is removed is often large.
    static constexpr int kDivisors[5] = {6, 12, 24, 48, 128};
    const int preset = m_brushPreset >= 0 && m_brushPreset < 5 ? m_brushPreset : 1;
    return std::max(8, (m_width + m_height) / kDivisors[preset] / 4 * 4);
}

bool CanvasDocument::applyHeal(PixelBuffer healed)
{
    if (!hasPhoto() || healed.width != m_width || healed.height != m_height
        || healed.bytesPerPixel != m_photo.bytesPerPixel || healed.byteCount() != m_photo.byteCount())
        return false;
    m_fadeCandidate = std::exchange(m_photo, std::move(healed));
    m_strokeBase = m_photo;
    m_warp.reset();
    m_warpUncommitted = false;
    recordStep(true);
    if (RecomputedAfterStroke(m_effectId))
        computeEffectResult();
    refreshAdjustPreview();
    return true;
}

void CanvasDocument::beginClone(int dx, int dy)
{
    if (!hasPhoto())
        return;
    // A pending warp is the base the clone copies from.
    if (m_warpUncommitted) {
        m_strokeBase = m_photo;
        m_warp.reset();
        m_warpUncommitted = false;
    }
    m_cloneDx = dx;
    m_cloneDy = dy;
    m_cloneActive = true;
    m_cloneChanged = false;
    std::fill(m_coverageMask.begin(), m_coverageMask.end(), 0);
}

IntRect CanvasDocument::cloneDab(int cx, int cy)
{
    if (!hasPhoto() || !m_cloneActive)
        return {};
    const int size = retouchBrushSize();
    const double radius = size / 2.0;
    // Full strength inside 60 % of the radius, then a smooth fall to the rim.
    const double inner = 0.6 * radius;
    const int x0 = std::max(0, cx - size / 2), y0 = std::max(0, cy - size / 2);
    const int x1 = std::min(m_width, cx + size / 2 + 1), y1 = std::min(m_height, cy + size / 2 + 1);
    IntRect changed{x0, y0, x0, y0};
    for (int y = y0; y < y1; ++y) {
        const int sy = y + m_cloneDy;
        if (sy < 0 || sy >= m_height)
            continue;
        uint8_t* cover = m_coverageMask.data() + size_t(y) * m_width;
        for (int x = x0; x < x1; ++x) {
            const int sx = x + m_cloneDx;
            if (sx < 0 || sx >= m_width)
                continue;
            const double r = std::hypot(x - cx, y - cy);
            if (r >= radius)
                continue;
            double t = r <= inner ? 1.0 : (radius - r) / (radius - inner);
            t = t * t * (3.0 - 2.0 * t);
            const int a = int(t * 255.0 + 0.5);
            // Overlapping dabs never add up beyond the strongest of them.
            if (a <= cover[x])
                continue;
            cover[x] = uint8_t(a);
            const uint8_t* base = m_strokeBase.at(x, y);
            const uint8_t* src = m_strokeBase.at(sx, sy);
            uint8_t* out = m_photo.at(x, y);
            for (int k = 0; k < 3; ++k)
                out[k] = uint8_t((base[k] * (255 - a) + src[k] * a + 127) / 255);
            m_cloneChanged = true;
            changed.left = std::min(changed.left, x), changed.top = std::min(changed.top, y);
            changed.right = std::max(changed.right, x + 1), changed.bottom = std::max(changed.bottom, y + 1);
        }
    }
    return changed;
}

bool CanvasDocument::endClone()
{
    if (!m_cloneActive)
        return false;
    m_cloneActive = false;
    std::fill(m_coverageMask.begin(), m_coverageMask.end(), 0);
    if (!m_cloneChanged || !hasPhoto())
        return false;
    m_cloneChanged = false;
    m_strokeBase = m_photo;
    m_warp.reset();
    recordStep(true);
    if (RecomputedAfterStroke(m_effectId))
        computeEffectResult();
    refreshAdjustPreview();
    return true;
}

} // namespace ombrik
