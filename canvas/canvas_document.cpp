#include "canvas/canvas_document.h"

#include "canvas/brush_tip.h"
#include "effects/effect_request.h"
#include "light/lens_flare_renderer.h"
#include "light/lighting_renderer.h"
#include "light/nova_renderer.h"
#include "light/warp_deformer.h"

#include <glib.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

namespace ombrik {

namespace {

// Blend weight of a dab pixel from the tip alpha and the stroke coverage so far.
inline float DabWeight(int coverage, int alpha)
{
    return (coverage == 255 || coverage + alpha > 254) ? 1.0f : float(coverage + alpha) / 255.0f;
}

} // namespace

bool RecomputedAfterStroke(EffectId id)
{
    return id == fx::SmoothSkin || id == fx::Blur || id == fx::Sharp;
}

CanvasDocument::CanvasDocument()
{
    rebuildBrushTip();
}

CanvasDocument::~CanvasDocument() = default;
CanvasDocument::CanvasDocument(CanvasDocument&&) noexcept = default;
CanvasDocument& CanvasDocument::operator=(CanvasDocument&&) noexcept = default;

void CanvasDocument::afterOpen(PixelBuffer photo, std::string path)
{
    if (photo.empty() || photo.bytesPerPixel != 3)
        return;
    ++m_openSerial;
    m_photoPath = std::move(path);
    m_metadata = PhotoMetadata();
    m_width = photo.width;
    m_height = photo.height;
    m_photo = std::move(photo);
    m_coverageMask.assign(size_t(m_width) * size_t(m_height), 0);
    m_strokeBase = m_photo;
    m_warp.reset();
    m_openedPhoto = m_photo;
    m_effectResult = PixelBuffer(m_width, m_height, 3);
    m_warpUncommitted = false;
    m_savedState = 0;
    m_unrecordedChange = false;
    clearObjects();
    m_history.clear();
    m_snapshots.clear();
    m_historyPos = -1;
    m_currentSnapshot = -1;
    m_geometry.clear();
    m_frameIndex = -1;
    dropFade();
    refreshAdjustPreview();
    notifyHistory();
    if (m_observer)
        m_observer->documentOpened(*this);
}

bool CanvasDocument::restoreRecovered(RecoveredDocument&& recovered)
{
    PixelBuffer& opened = recovered.openedPhoto;
    if (opened.empty() || opened.bytesPerPixel != 3 || recovered.photoPath.empty())
        return false;
    const int snapshots = int(recovered.snapshots.size());
    if (recovered.currentSnapshot < -1 || recovered.currentSnapshot >= snapshots
        || recovered.historyPos < -1 || recovered.historyPos >= int(recovered.history.size())
        || recovered.kinds.size() != recovered.objects.size())
        return false;
    for (const HistoryStep& step : recovered.history)
        if (step.snapshotIndex < -1 || step.snapshotIndex >= snapshots || step.kinds.size() != step.objects.size())
            return false;
    PixelBuffer photo;
    if (recovered.currentSnapshot >= 0) {
        std::optional<PixelBuffer> decoded = DecodeSnapshot(recovered.snapshots[size_t(recovered.currentSnapshot)]);
        if (!decoded)
            return false;
        photo = std::move(*decoded);
    } else {
        photo = opened;
    }

    ++m_openSerial;
    m_photoPath = std::move(recovered.photoPath);
    m_openedPhoto = std::move(opened);
    m_photo = std::move(photo);
    m_width = m_photo.width;
    m_height = m_photo.height;
    m_coverageMask.assign(size_t(m_width) * size_t(m_height), 0);
    m_warpUncommitted = false;
    m_history = std::move(recovered.history);
    m_snapshots = std::move(recovered.snapshots);
    for (PhotoSnapshot& snapshot : m_snapshots)
        snapshot.serial = NextSnapshotSerial();
    m_historyPos = recovered.historyPos;
    m_currentSnapshot = recovered.currentSnapshot;
    m_objects = std::move(recovered.objects);
    m_objectKinds = std::move(recovered.kinds);
    m_frameIndex = recovered.frameIndex;
    // Steps get this document's ids; the file still holds the photo as opened,
    // and the restored edits count as unsaved whatever the position.
    for (HistoryStep& step : m_history)
        step.id = m_nextStepId++;
    m_savedState = 0;
    m_unrecordedChange = true;
    m_geometry = m_historyPos >= 0 ? m_history[size_t(m_historyPos)].geometry : std::vector<GeometryOp>();
    renewStrokeBase();
    notifyHistory();
    if (m_observer)
        m_observer->documentOpened(*this);
    return true;
}

void CanvasDocument::objectsEdited()
{
    if (m_observer)
        m_observer->documentChanged(*this);
}

void CanvasDocument::markSaved(std::string path)
{
    if (!hasPhoto() || path.empty())
        return;
    m_photoPath = std::move(path);
    m_savedState = currentStateId();
    m_unrecordedChange = false;
    notifyHistory();
}

// --- Objects ----------------------------------------------------------------

void CanvasDocument::addObject(const CanvasObject& object, ObjectKind kind)
{
    m_objects.push_back(object);
    m_objectKinds.push_back(kind);
}

bool CanvasDocument::removeSelectedObject()
{
    for (size_t i = 0; i < m_objects.size(); ++i)
        if (m_objects[i].selected) {
            m_objects.erase(m_objects.begin() + ptrdiff_t(i));
            m_objectKinds.erase(m_objectKinds.begin() + ptrdiff_t(i));
            return true;
        }
    return false;
}

void CanvasDocument::clearObjects()
{
    m_objects.clear();
    m_objectKinds.clear();
}

bool CanvasDocument::mergeIntoPhoto(const PixelBuffer& merged)
{
    if (!hasPhoto() || merged.width != m_width || merged.height != m_height || merged.bytesPerPixel != 3)
        return false;
    m_photo = merged;
    // A new base: the next warp stroke starts from a zero field. (Copying into
    // buffers of the same size keeps their addresses, so the deformer cannot
    // notice this by itself.)
    m_strokeBase = m_photo;
    m_warp.reset();
    m_warpUncommitted = false;
    clearObjects();
    recordStep(true);
    return true;
}

bool CanvasDocument::hasSelectedObject() const
{
    return std::any_of(m_objects.begin(), m_objects.end(), [](const CanvasObject& o) { return o.selected; });
}

// --- History ----------------------------------------------------------------

uint64_t CanvasDocument::snapshotBytes() const
{
    uint64_t total = 0;
    for (const PhotoSnapshot& s : m_snapshots)
        total += s.size();
    return total;
}

void CanvasDocument::notifyHistory()
{
    if (historyChanged)
        historyChanged();
}

void CanvasDocument::dropRedoTail()
{
    m_history.resize(size_t(m_historyPos + 1));
    int newest = -1;
    for (const HistoryStep& step : m_history)
        newest = std::max(newest, step.snapshotIndex);
    m_snapshots.resize(size_t(newest + 1));
}

void CanvasDocument::recordStep(bool withPhoto)
{
    dropFade();
    dropRedoTail();
    HistoryStep step;
    step.objects.reserve(m_objects.size());
    for (const CanvasObject& o : m_objects)
        step.objects.push_back(o.historyCopy());
    step.kinds = m_objectKinds;
    step.frameIndex = m_frameIndex;
    step.geometry = m_geometry;
    if (withPhoto) {
        m_snapshots.push_back(EncodeSnapshot(m_photo));
        m_currentSnapshot = int(m_snapshots.size()) - 1;
        if (m_observer)
            m_observer->snapshotRecorded(m_snapshots.back());
    }
    step.snapshotIndex = m_currentSnapshot;
    step.id = m_nextStepId++;
    m_history.push_back(std::move(step));
    m_historyPos = int(m_history.size()) - 1;
    m_unrecordedChange = false;
    if (!m_fadeCandidate.empty())
        rememberFade(std::exchange(m_fadeCandidate, PixelBuffer()));
    notifyHistory();
    enforceBudget();
    if (m_observer)
        m_observer->documentChanged(*this);
    if (m_fadeStep >= 0)
        m_fadeStep = m_historyPos;  // the newest step, wherever the budget left it
    if (withPhoto)
        refreshAdjustPreview();
}

void CanvasDocument::enforceBudget()
{
    bool dropped = false;
    while (snapshotBytes() > kSnapshotBudget && !m_snapshots.empty()) {
        m_snapshots.erase(m_snapshots.begin());
        const auto first = std::find_if(m_history.begin(), m_history.end(),
                                        [](const HistoryStep& s) { return s.snapshotIndex == 0; });
        if (first != m_history.end()) {
            // When the step shown is dropped, the state left matches no step
            // (not even the opened photo): nothing saved can be reached again.
            if (first - m_history.begin() == m_historyPos)
                m_savedState = kNoSavedState;
            m_history.erase(first);
            --m_historyPos;
            --m_currentSnapshot;
        }
        for (HistoryStep& s : m_history)
            if (s.snapshotIndex >= 0)
                --s.snapshotIndex;
        dropped = true;
    }
    m_historyPos = std::max(m_historyPos, -1);
    m_currentSnapshot = std::max(m_currentSnapshot, -1);
    if (dropped)
        notifyHistory();
}

bool CanvasDocument::restoreStep(int index)
{
    const HistoryStep& step = m_history[size_t(index)];
    // Decode first: a snapshot that cannot be read leaves everything as it was.
    std::optional<PixelBuffer> decoded;
    if (step.snapshotIndex >= 0) {
        if (step.snapshotIndex >= int(m_snapshots.size())
            || !(decoded = DecodeSnapshot(m_snapshots[size_t(step.snapshotIndex)]))) {
            g_warning("Undo history: the photo of step %d could not be restored", index);
            return false;
        }
    }

    m_objects = step.objects;
    m_objectKinds = step.kinds;
    m_geometry = step.geometry;
    if (step.frameIndex != m_frameIndex) {
        m_frameIndex = step.frameIndex;
        if (frameRestored)
            frameRestored(m_frameIndex);
    }
    if (decoded) {
        m_currentSnapshot = step.snapshotIndex;
        m_photo = std::move(*decoded);
    } else {
        m_currentSnapshot = -1;
        m_photo = m_openedPhoto;
    }
    m_width = m_photo.width;
    m_height = m_photo.height;
    m_coverageMask.assign(size_t(m_width) * size_t(m_height), 0);
    renewStrokeBase();
    return true;
}

void CanvasDocument::restoreOpenedState()
{
    clearObjects();
    m_geometry.clear();
    m_photo = m_openedPhoto;
    m_width = m_photo.width;
    m_height = m_photo.height;
    m_coverageMask.assign(size_t(m_width) * size_t(m_height), 0);
    renewStrokeBase();
    m_currentSnapshot = -1;
    m_historyPos = -1;
    if (m_frameIndex != -1) {
        m_frameIndex = -1;
        if (frameRestored)
            frameRestored(-1);
    }
}

void CanvasDocument::renewStrokeBase()
{
    m_strokeBase = m_photo;
    m_warp.reset();
    m_warpUncommitted = false;
    if (m_effectResult.width != m_width || m_effectResult.height != m_height)
        m_effectResult = PixelBuffer(m_width, m_height, 3);
    if (RecomputedAfterStroke(m_effectId))
        computeEffectResult();
}

void CanvasDocument::undo()
{
    if (m_historyPos < 0 || !hasPhoto())
        return;
    if (m_historyPos > 0) {
        if (!restoreStep(m_historyPos - 1))
            return;
        --m_historyPos;
    } else {
        restoreOpenedState();
    }
    m_unrecordedChange = false;
    dropFade();
    refreshAdjustPreview();
    notifyHistory();
    if (m_observer)
        m_observer->documentChanged(*this);
}

void CanvasDocument::redo()
{
    if (!canRedo() || !hasPhoto())
        return;
    if (!restoreStep(m_historyPos + 1))
        return;
    ++m_historyPos;
    m_unrecordedChange = false;
    dropFade();
    refreshAdjustPreview();
    notifyHistory();
    if (m_observer)
        m_observer->documentChanged(*this);
}

void CanvasDocument::clearHistory()
{
    // The state shown stays, but no step leads back to it any more.
    if (m_historyPos >= 0)
        m_savedState = kNoSavedState;
    m_history.clear();
    m_snapshots.clear();
    m_historyPos = -1;
    m_currentSnapshot = -1;
}

// --- Brush tools ------------------------------------------------------------

void CanvasDocument::computeEffectResult()
{
    computeEffectResultFrom(m_strokeBase, false);
}

bool CanvasDocument::computeEffectResultFrom(const PixelBuffer& source, bool cancellable)
{
    PixelBuffer result(m_width, m_height, 3);
    if (m_effectId == kRestoreBrushId) {
        // The opened photo brought through the same crops, turns and resizes.
        PixelBuffer opened = m_openedPhoto;
        for (const GeometryOp& op : m_geometry)
            opened = ApplyGeometryOp(opened, op);
        if (opened.width == m_width && opened.height == m_height)
            result = std::move(opened);
        m_effectResult = std::move(result);
        return true;
    }
    EffectRequest request;
    request.initialise();
    request.set(m_effectId, m_width, m_height, 3);
    if (cancellable && longRun) {
        // The work runs while the window goes on: it reads a copy of its own,
        // and its result is kept only if the document is still the one it
        // started on.
        const PixelBuffer input = source;
        const uint64_t opened = m_openSerial, state = currentStateId();
        const size_t steps = m_history.size();
        if (!longRun([&] { request.RunEffect(input.data(), result.data()); }, m_effectId))
            return false;
        if (opened != m_openSerial || state != currentStateId() || steps != m_history.size()
            || result.width != m_width || result.height != m_height)
            return false;
    } else {
        request.RunEffect(source.data(), result.data());
    }
    m_effectResult = std::move(result);
    return true;
}

bool CanvasDocument::selectEffect(EffectId id)
{
    const EffectInfo* info = FindEffect(id);
    const EffectId previousId = m_effectId;
    const ApplyMode previousMode = m_applyMode;
    m_effectId = id;
    m_applyMode = info ? info->mode : ApplyMode::PatchBrush;
    if (!hasPhoto())
        return true;
    // An uncommitted warp: the warped photo is the base the new effect works from.
    const bool commitWarp = m_warpUncommitted && m_applyMode != ApplyMode::WarpBrush;
    if (m_applyMode == ApplyMode::ResultBrush || m_applyMode == ApplyMode::WholeImage) {
        if (!computeEffectResultFrom(commitWarp ? m_photo : m_strokeBase, true)) {
            m_effectId = previousId;
            m_applyMode = previousMode;
            return false;
        }
    }
    if (commitWarp) {
        m_strokeBase = m_photo;
        m_warp.reset();
        m_warpUncommitted = false;
    }
    if (m_applyMode == ApplyMode::WholeImage) {
        m_fadeCandidate = std::move(m_photo);
        m_photo = m_effectResult;
        m_strokeBase = m_photo;
        m_warp.reset();
        recordStep(true);
    }
    return true;
}

void CanvasDocument::setBrushSizePreset(int preset)
{
    static constexpr int kDivisors[5] = {8, 16, 24, 48, 128};
    m_brushPreset = preset;
    int size = preset >= 0 && preset < 5 ? (m_width + m_height) / kDivisors[preset] : 120;
    size = size / 4 * 4;
    setBrushSize(std::max(4, size));
}

void CanvasDocument::setBrushSize(int size)
{
    m_brushSize = std::max(1, size);
    rebuildBrushTip();
}

void CanvasDocument::setBrushShape(int shape)
{
    m_brushShape = shape == 1 ? 1 : 0;
    rebuildBrushTip();
}

void CanvasDocument::rebuildBrushTip()
{
    m_brushTip = MakeBrushTip(m_brushShape, m_brushSize);
}

void CanvasDocument::setOption(int kind, int value)
{
    if (kind == 4 || kind == 6 || kind == 8)
        m_options[(kind - 4) / 2] = value;
}

int CanvasDocument::option(int kind) const
{
    return kind == 4 || kind == 6 || kind == 8 ? m_options[(kind - 4) / 2] : 0;
}

void CanvasDocument::resetPendingOptions()
{
    m_options[0] = m_options[1] = m_options[2] = 0;
}

void CanvasDocument::dab(int left, int top)
{
    if (!hasPhoto())
        return;
    const int size = m_brushTip.width;
    // The part of the brush square that lies on the photo.
    const int x0 = std::max(0, left), y0 = std::max(0, top);
    const int x1 = std::min(m_width, left + size), y1 = std::min(m_height, top + size);
    if (x0 >= x1 || y0 >= y1)
        return;

    switch (m_applyMode) {
    case ApplyMode::ResultBrush:
        for (int y = y0; y < y1; ++y) {
            const uint8_t* tip = m_brushTip.at(x0 - left, y - top);
            uint8_t* cover = m_coverageMask.data() + size_t(y) * m_width;
            const uint8_t* base = m_strokeBase.at(x0, y);
            const uint8_t* result = m_effectResult.at(x0, y);
            uint8_t* out = m_photo.at(x0, y);
            for (int x = x0; x < x1; ++x, tip += 4, base += 3, result += 3, out += 3) {
                const int a = tip[3];
                if (a == 0)
                    continue;
                const int c = cover[x];
                const float w = DabWeight(c, a);
                cover[x] = uint8_t(std::min(255, c + a));
                for (int k = 0; k < 3; ++k)
                    out[k] = uint8_t((1.0f - w) * base[k] + w * result[k]);
            }
        }
        break;

    case ApplyMode::PatchBrush:
    case ApplyMode::StampBrush: {
        const bool stamp = m_applyMode == ApplyMode::StampBrush;
        const PixelBuffer& source = stamp ? m_photo : m_strokeBase;
        if (m_patchCut.width != size || m_patchCut.height != size) {
            m_patchCut = PixelBuffer(size, size, 3);
            m_patchResult = PixelBuffer(size, size, 3);
        }
        // Cut the square; parts outside the photo are black.
        std::fill(m_patchCut.pixels.begin(), m_patchCut.pixels.end(), 0);
        std::fill(m_patchResult.pixels.begin(), m_patchResult.pixels.end(), 0);
        for (int y = y0; y < y1; ++y)
            std::memcpy(m_patchCut.at(x0 - left, y - top), source.at(x0, y), size_t(x1 - x0) * 3);
        EffectRequest request;
        request.initialise();
        if (stamp)
            request.colour = m_effectColour;
        request.set(m_effectId, size, size, 3);
        request.RunEffect(m_patchCut.data(), m_patchResult.data());
        request.clear();
        for (int y = y0; y < y1; ++y) {
            const uint8_t* result = m_patchResult.at(x0 - left, y - top);
            uint8_t* out = m_photo.at(x0, y);
            if (stamp) {
                std::memcpy(out, result, size_t(x1 - x0) * 3);
                continue;
            }
            const uint8_t* tip = m_brushTip.at(x0 - left, y - top);
            const uint8_t* cut = m_patchCut.at(x0 - left, y - top);
            uint8_t* cover = m_coverageMask.data() + size_t(y) * m_width;
            for (int x = x0; x < x1; ++x, tip += 4, cut += 3, result += 3, out += 3) {
                const int a = tip[3];
                if (a == 0)
                    continue;
                const int c = cover[x];
                const float w = DabWeight(c, a) * m_strength;
                cover[x] = uint8_t(std::min(255, c + a));
                for (int k = 0; k < 3; ++k)
                    out[k] = uint8_t((1.0f - w) * cut[k] + w * result[k]);
            }
        }
        break;
    }

    case ApplyMode::WholeImage:
    case ApplyMode::WarpBrush:
    case ApplyMode::LightPlacement:
        break;
    }
}

void CanvasDocument::endStroke()
{
    if (!hasPhoto())
        return;
    if (m_applyMode != ApplyMode::StampBrush)
        std::fill(m_coverageMask.begin(), m_coverageMask.end(), 0);
    m_strokeBase = m_photo;
    m_warp.reset();
    recordStep(true);
    if (RecomputedAfterStroke(m_effectId))
        computeEffectResult();
}

// --- Warp brush -------------------------------------------------------------

void CanvasDocument::setWarpAmount(int position)
{
    m_warpAmount = std::clamp(position, 0, 100);
    if (m_warp)
        m_warp->setAmount(m_warpAmount);
}

void CanvasDocument::prepareWarp()
{
    // Every renewal of the base drops the deformer; one whose buffers moved
    // anyway is never used with stale pointers either.
    if (m_warp && m_warpSource == m_strokeBase.data() && m_warpDestination == m_photo.data())
        return;
    if (!m_warp)
        m_warp = std::make_unique<WarpDeformer>();
    if (m_warpUncommitted)
        m_strokeBase = m_photo;  // never drop warped pixels that are not in the base
    // Both buffers are equal whenever the base has just been renewed; start()
    // copies the base over the photo.
    m_warp->start(m_width, m_height, 3, m_strokeBase.data(), m_photo.data());
    m_warpSource = m_strokeBase.data();
    m_warpDestination = m_photo.data();
}

void CanvasDocument::beginWarp(int x, int y)
{
    if (!hasPhoto() || m_applyMode != ApplyMode::WarpBrush)
        return;
    prepareWarp();
    m_warp->setRadius(m_brushSize);
    m_warp->setAmount(m_warpAmount);
    m_warpPrevX = x;
    m_warpPrevY = y;
}

IntRect CanvasDocument::applyWarp(int x, int y)
{
    const std::optional<WarpMode> mode = WarpModeForEffect(m_effectId);
    if (!hasPhoto() || !mode)
        return {};
    prepareWarp();
    m_warp->setMode(*mode);
    const int cx = std::clamp(x, 0, m_width), cy = std::clamp(y, 0, m_height);
    m_warp->apply(cx, cy, m_warpPrevX, m_warpPrevY);
    // A move stroke runs from the previous point to the applied one; the other
    // modes touch only the circle around the applied point.
    const int r = m_warp->radius() + 1;
    const bool stroke = *mode == WarpMode::Move;
    const int64_t x0 = stroke ? std::min<int64_t>(cx, m_warpPrevX) : cx;
    const int64_t y0 = stroke ? std::min<int64_t>(cy, m_warpPrevY) : cy;
    const int64_t x1 = stroke ? std::max<int64_t>(cx, m_warpPrevX) : cx;
    const int64_t y1 = stroke ? std::max<int64_t>(cy, m_warpPrevY) : cy;
    m_warpPrevX = x;
    m_warpPrevY = y;
    IntRect area;
    area.left = int(std::clamp<int64_t>(x0 - r, 0, m_width));
    area.top = int(std::clamp<int64_t>(y0 - r, 0, m_height));
    area.right = int(std::clamp<int64_t>(x1 + r + 1, 0, m_width));
    area.bottom = int(std::clamp<int64_t>(y1 + r + 1, 0, m_height));
    return area;
}

IntRect CanvasDocument::warpTo(int x, int y)
{
    if (m_applyMode != ApplyMode::WarpBrush)
        return {};
    return applyWarp(x, y);
}

IntRect CanvasDocument::endWarp(int x, int y)
{
    if (m_applyMode != ApplyMode::WarpBrush || !hasPhoto())
        return {};
    const IntRect area = applyWarp(x, y);
    m_warpUncommitted = true;
    recordStep(true);
    return area;
}

std::array<double, 2> CanvasDocument::warpDisplacement(int x, int y) const
{
    return m_warp ? m_warp->displacement(x, y) : std::array<double, 2>{0.0, 0.0};
}

// --- Light placement --------------------------------------------------------

bool CanvasDocument::placeLight(int ax, int ay, int mx, int my, int flareRadius)
{
    if (!hasPhoto() || m_applyMode != ApplyMode::LightPlacement)
        return false;
    const int w = m_width, h = m_height;
    const uint32_t c = m_effectColour;
    // Radius 0 (a click, or a drag shorter than one photo pixel) draws the
    // smallest flare.
    const int radius = std::max(1, flareRadius);
    bool rendered = false;
    switch (m_effectId) {
    case fx::Spotlight:
    case fx::PointLight: {
        LightingRenderer lights;
        lights.reset();
        lights.setSize(w, h, 3);
        const bool spot = m_effectId == fx::Spotlight;
        lights.applyPreset(spot ? LightingPreset::Spotlight : LightingPreset::PointLight);
        lights.setLightColour(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
        if (spot) {
            lights.setSpotDirection(ax, ay, mx, my);
            lights.setSpotViewpoint(ax, ay);
        } else {
            lights.setLightPosition(ax, ay, mx, my);
            lights.setNearViewpoint(ax, ay);
        }
        rendered = lights.render(m_strokeBase, m_photo);
        break;
    }
    case fx::LensFlare: {
        LensFlareRenderer flare;
        flare.reset();
        flare.setSize(w, h, 3);
        flare.setCentre(ax, ay);
        flare.setFlareSize(radius);
        flare.setColour(c);
        rendered = flare.render(m_strokeBase, m_photo);
        break;
    }
    case fx::RadialFlare:
    case fx::MagicFlare: {
        NovaRenderer nova;
        nova.reset();
        nova.setSize(w, h, 3);
        nova.setColour(c);
        nova.setCentre(ax, ay);
        nova.setRadius(radius);
        nova.selectStyle(m_effectId == fx::MagicFlare ? NovaStyle::MagicFlare : NovaStyle::RadialFlare);
        rendered = nova.render(m_strokeBase, m_photo);
        break;
    }
    default:
        break;
    }
    if (!rendered)
        return false;
    m_fadeCandidate = std::move(m_strokeBase);
    m_strokeBase = m_photo;
    m_warp.reset();
    recordStep(true);
    return true;
}

} // namespace ombrik
