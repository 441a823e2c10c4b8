// The open photo and everything that edits it, without a window: the photo and
// its working copies, the text objects, the photo frame index, the undo history
// with its compressed snapshots, and the brush tools. CPhotoCanvas shows it and
// turns the mouse into calls on it; tests drive it directly.
#pragma once

#include "canvas/canvas_object.h"
#include "canvas/photo_snapshot.h"
#include "effects/effect_catalogue.h"
#include "engine/geometry.h"
#include "engine/adjust.h"
#include "engine/pixel_buffer.h"
#include "files/photo_metadata.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ombrik {

class WarpDeformer;

class CanvasDocument;

// Effects whose result is recomputed from the new base after every stroke.
bool RecomputedAfterStroke(EffectId id);

// Told of the changes a crash journal keeps, on the thread that edits the
// document; implementations only hand the data on.
class DocumentObserver {
public:
    virtual ~DocumentObserver() = default;
    // A new photo, or a whole document put back: everything is new.
    virtual void documentOpened(const CanvasDocument& doc) = 0;
    // A history step encoded the photo into this snapshot.
    virtual void snapshotRecorded(const PhotoSnapshot& snapshot) = 0;
    // Steps, history position, objects or frame changed.
    virtual void documentChanged(const CanvasDocument& doc) = 0;
};

struct HistoryStep {
    std::vector<CanvasObject> objects;
    std::vector<ObjectKind> kinds;
    int32_t snapshotIndex = -1;  // -1: the photo as opened
    int32_t frameIndex = -1;
    // The crops, turns, flips, straightens and resizes that lead from the
    // opened photo to this step's photo.
    std::vector<GeometryOp> geometry;
    uint64_t id = 0;  // unique within the document; names the state the step leads to
};

// A whole document as a crash journal gives it back.
struct RecoveredDocument {
    std::string photoPath;
    PixelBuffer openedPhoto;
    std::vector<PhotoSnapshot> snapshots;
    std::vector<HistoryStep> history;
    int historyPos = -1;
    int currentSnapshot = -1;
    std::vector<CanvasObject> objects;
    std::vector<ObjectKind> kinds;
    int frameIndex = -1;
};

class CanvasDocument {
public:
    // Snapshot bytes kept for undo before the oldest photo steps are dropped.
    static constexpr uint64_t kSnapshotBudget = 0x1400000;
    static constexpr int kDefaultBrushSize = 120;

    CanvasDocument();
    ~CanvasDocument();
    CanvasDocument(CanvasDocument&&) noexcept;
    CanvasDocument& operator=(CanvasDocument&&) noexcept;

    // --- Photo -------------------------------------------------------------
    // Takes a freshly loaded 3-byte photo (width a multiple of 4): working
    // copies renewed, history, objects and frame cleared, modified cleared.
    void afterOpen(PixelBuffer photo, std::string path);
    bool hasPhoto() const { return !m_photoPath.empty() && !m_photo.empty(); }
    const std::string& photoPath() const { return m_photoPath; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    const PixelBuffer& photo() const { return m_photo; }
    const PixelBuffer& strokeBase() const { return m_strokeBase; }
    const PixelBuffer& openedPhoto() const { return m_openedPhoto; }
    const PixelBuffer& effectResult() const { return m_effectResult; }
    const std::vector<uint8_t>& coverageMask() const { return m_coverageMask; }
    // Whether the shown state differs from the one last opened or saved: it
    // follows the history position, so undoing back to the saved state clears it.
    bool modified() const { return m_unrecordedChange || currentStateId() != m_savedState; }
    // The current state is what the file at `path` now holds; the photo takes
    // that name.
    void markSaved(std::string path);
    // Photos larger than this area are reduced when opened (the larger value is
    // compared with the longer side).
    int thresholdWidth() const { return m_thresholdWidth; }
    int thresholdHeight() const { return m_thresholdHeight; }
    void setThreshold(int width, int height)
    {
        m_thresholdWidth = width;
        m_thresholdHeight = height;
    }
    // A change that is not a history step (typing into a text object).
    void setModified() { m_unrecordedChange = true; }
    // What the opened file carried beside its pixels (camera metadata, whether
    // it had a colour profile), written with every save; cleared by afterOpen.
    void setPhotoMetadata(PhotoMetadata metadata) { m_metadata = std::move(metadata); }
    const PhotoMetadata& photoMetadata() const { return m_metadata; }

    // --- Objects and frame -------------------------------------------------
    std::vector<CanvasObject>& objects() { return m_objects; }
    const std::vector<CanvasObject>& objects() const { return m_objects; }
    const std::vector<ObjectKind>& objectKinds() const { return m_objectKinds; }
    void addObject(const CanvasObject& object, ObjectKind kind);
    // Removes the first selected object; false when none is selected.
    bool removeSelectedObject();
    void clearObjects();
    bool hasSelectedObject() const;
    // The objects drawn into the photo: photo and stroke base become merged (the
    // photo's size; a pending warp stroke counts as committed), the objects are
    // removed, one step with photo. False (nothing done) for a wrong size.
    bool mergeIntoPhoto(const PixelBuffer& merged);
    int frameIndex() const { return m_frameIndex; }
    void setFrameIndex(int index) { m_frameIndex = index; }

    // --- History -----------------------------------------------------------
    void recordStep(bool withPhoto);
    void undo();
    void redo();
    bool canUndo() const { return m_historyPos >= 0; }
    bool canRedo() const { return m_historyPos < int(m_history.size()) - 1; }
    void clearHistory();
    int historyPos() const { return m_historyPos; }
    const std::vector<HistoryStep>& history() const { return m_history; }
    size_t snapshotCount() const { return m_snapshots.size(); }
    const std::vector<PhotoSnapshot>& snapshots() const { return m_snapshots; }
    uint64_t snapshotBytes() const;
    int currentSnapshot() const { return m_currentSnapshot; }

    // --- Brush tools -------------------------------------------------------
    // Stores the effect and its apply mode and does what choosing it does:
    // computes the effect result for the result brush and whole-image filters,
    // and applies (and records) a whole-image filter at once. When the run is
    // cancelled (longRun returns false) nothing changes and the result is false.
    bool selectEffect(EffectId id);
    EffectId effectId() const { return m_effectId; }
    ApplyMode applyMode() const { return m_applyMode; }
    // Size presets 0..4 divide (width + height) by 8, 16, 24, 48, 128; any other
    // preset gives 120; rounded down to a multiple of 4, at least 4.
    void setBrushSizePreset(int preset);
    void setBrushSize(int size);
    void setBrushShape(int shape);
    int brushSize() const { return m_brushSize; }
    int brushShape() const { return m_brushShape; }
    const PixelBuffer& brushTip() const { return m_brushTip; }
    void setStrength(float strength) { m_strength = strength; }
    float strength() const { return m_strength; }
    void setEffectColour(uint32_t colour) { m_effectColour = colour; }
    uint32_t effectColour() const { return m_effectColour; }
    // The option values of effect commands 4, 6 and 8, kept for the panels.
    void setOption(int kind, int value);
    int option(int kind) const;
    void resetPendingOptions();

    // One dab of the current effect whose brush square has its top-left corner
    // at photo pixel (left, top); pixels outside the photo are skipped.
    void dab(int left, int top);
    // Ends a stroke after its last dab: coverage cleared, the photo becomes the
    // new stroke base, one history step with photo.
    void endStroke();

    // Warp strokes leave the photo ahead of strokeBase until another kind of
    // effect is chosen; the warp brush marks that here.
    void setWarpStrokeUncommitted(bool pending) { m_warpUncommitted = pending; }
    bool warpStrokeUncommitted() const { return m_warpUncommitted; }

    // --- Warp brush ----------------------------------------------------------
    // The warp brush bends the photo against strokeBase; its displacements
    // accumulate over strokes until the base is renewed (a photo opened, undo or
    // redo, a non-warp effect chosen). The radius is the brush size (the Warp
    // panel's "Deform Radius"); the amount is a slider position 0..100.
    void setWarpAmount(int position);
    int warpAmount() const { return m_warpAmount; }
    // A warp stroke starts at photo pixel (x, y); nothing is deformed yet.
    void beginWarp(int x, int y);
    // Applies the brush at (x, y), clamped to the photo, coming from the
    // previous (unclamped) point, which (x, y) then becomes. Returns the photo
    // pixels that may have changed.
    IntRect warpTo(int x, int y);
    // The last application at the release point; the stroke becomes one history
    // step with photo, and strokeBase stays behind until the base is renewed.
    IntRect endWarp(int x, int y);
    // Accumulated displacement of photo pixel (x, y) since the base was renewed.
    std::array<double, 2> warpDisplacement(int x, int y) const;

    // --- Light placement -----------------------------------------------------
    // Renders the selected light or flare (effects 120 to 124) from strokeBase
    // into the photo: press (ax, ay) and release (mx, my) in photo pixels give
    // the lights their geometry, the press point and flareRadius place the
    // flares. The result becomes the new strokeBase and one history step.
    // False (nothing changed) without a photo or for any other effect.
    bool placeLight(int ax, int ay, int mx, int my, int flareRadius);

    // --- Heal and clone --------------------------------------------------------
    // The size of the heal and clone brushes for the brush picker's size
    // preset: (width + height) / 6, 12, 24, 48 or 128, a multiple of 4, at least 8.
    int retouchBrushSize() const;
    // A healed photo (the same size) becomes the photo and the stroke base: one
    // history step that Fade can blend with the photo before it. False (nothing
    // changed) without a photo or for another size.
    bool applyHeal(PixelBuffer healed);
    // A clone stroke copies strokeBase from (x + dx, y + dy) to (x, y).
    void beginClone(int dx, int dy);
    // One dab of the clone brush (retouchBrushSize across, soft at its rim)
    // centred at photo pixel (cx, cy); returns the pixels it may have changed.
    IntRect cloneDab(int cx, int cy);
    // Ends the stroke: one history step with photo when it changed anything;
    // false otherwise.
    bool endClone();

    // --- Geometry ------------------------------------------------------------
    // Each change is one history step with photo. Text objects follow the
    // pixels (moved, turned, scaled; dropped only when wholly cut away), a
    // pending warp stroke counts as done, and photoResized is called so that
    // the view fits the frame again. When refused nothing changes and `error`
    // (if given) says why. Crop sizes are rounded down to multiples of 4.
    bool crop(int x, int y, int w, int h, std::string* error = nullptr);
    bool rotate(int quarterTurns);
    bool flip(bool horizontal);
    // Turns clockwise by -45..45 degrees and keeps the largest upright rectangle.
    bool straighten(double degrees, std::string* error = nullptr);
    // New sides are multiples of 4; enlarging stops at the load threshold's area.
    bool resize(int width, int height, std::string* error = nullptr);
    // The geometry changes from the opened photo to the current one.
    const std::vector<GeometryOp>& geometry() const { return m_geometry; }
    std::function<void()> photoResized;
    // --- Adjustments and fade ------------------------------------------------
    // The photo as the canvas shows it: the fade or adjustment preview while
    // one is on, otherwise the photo itself.
    const PixelBuffer& displayPhoto() const;
    // A live adjustment preview, always computed from the current photo (never
    // from an earlier preview) and computed again whenever the photo changes
    // while it is on. Identity settings turn it off. The photo is untouched.
    void setAdjustPreview(const AdjustParams& params);
    void clearAdjustPreview();
    bool adjustPreviewActive() const { return m_adjustActive; }
    const AdjustParams& adjustParams() const { return m_adjustParams; }
    // The previewed adjustment becomes the photo and the new stroke base: one
    // history step with photo, the preview off. False when there is nothing to apply.
    bool applyAdjustment();

    // Fade: right after a whole-photo filter or a light placement, the last
    // step's result can be blended with the photo before it. canFade() is true
    // while that step is still the newest one and current.
    bool canFade() const;
    // The strength the step holds now: 100 until a fade is committed.
    int fadePercent() const { return m_fadePercent; }
    // Shows the blend at `percent` without changing the photo or the history.
    void setFadePreview(int percent);
    void clearFadePreview();
    // The blend at `percent` replaces the step's photo (its snapshot is
    // encoded again): still one step. False when no fade is possible.
    bool commitFade(int percent);

    // --- Export ------------------------------------------------------------
    // The frame border thickness in photo pixels (0 without a frame).
    int frameBorder() const { return m_frameIndex >= 0 ? m_frameBorder : 0; }
    void setFrameBorder(int border) { m_frameBorder = border; }

    // Puts back a document kept by a crash journal: the photo at its history
    // position, undo and redo as they were, modified. False (nothing changed)
    // when the photo of that position cannot be decoded or sizes disagree.
    bool restoreRecovered(RecoveredDocument&& recovered);
    // Live edits that record no step (typing into a text object).
    void objectsEdited();
    void setObserver(DocumentObserver* observer) { m_observer = observer; }

    // Called after every history change and after a photo is opened.
    std::function<void()> historyChanged;
    // Called when undo or redo restores a frame index, for the frame library to
    // reload its picture.
    std::function<void(int frameIndex)> frameRestored;
    // Runs the pixel work of an effect chosen with selectEffect. Empty: it
    // runs in place. The window puts in one that runs it with a progress box
    // and returns false when the user cancelled; the work reads and writes
    // buffers of its own, so the document stays as it was until it succeeds,
    // and a result is dropped when the document changed meanwhile.
    std::function<bool(const std::function<void()>& work, EffectId id)> longRun;

private:
    void renewStrokeBase();
    void computeEffectResult();
    bool computeEffectResultFrom(const PixelBuffer& source, bool cancellable);
    bool restoreStep(int index);
    void restoreOpenedState();
    void dropRedoTail();
    void enforceBudget();
    void notifyHistory();
    // 0 for the state as opened, otherwise the id of the step at historyPos.
    uint64_t currentStateId() const { return m_historyPos >= 0 ? m_history[size_t(m_historyPos)].id : 0; }
    void rebuildBrushTip();
    void prepareWarp();
    IntRect applyWarp(int x, int y);
    bool applyGeometry(const GeometryOp& op, std::string* error);
    // The photo changed: an adjustment preview follows it.
    void refreshAdjustPreview();
    // Keeps what a fade needs for the step just recorded (the photo before it
    // comes from m_fadeCandidate, which recordStep hands over).
    void rememberFade(PixelBuffer before);
    void dropFade();

    std::string m_photoPath;
    int m_width = 100;
    int m_height = 100;
    PixelBuffer m_photo;
    PixelBuffer m_strokeBase;
    PixelBuffer m_openedPhoto;
    PixelBuffer m_effectResult;
    std::vector<uint8_t> m_coverageMask;
    // The state the file on disk shows (see currentStateId); kNoSavedState when
    // no reachable state matches it any more.
    static constexpr uint64_t kNoSavedState = UINT64_MAX;
    uint64_t m_savedState = 0;
    uint64_t m_nextStepId = 1;
    uint64_t m_openSerial = 0;  // counts the photos opened or restored into this document
    bool m_unrecordedChange = false;
    int m_thresholdWidth = 1600;
    int m_thresholdHeight = 1200;
    PhotoMetadata m_metadata;

    std::vector<CanvasObject> m_objects;
    std::vector<ObjectKind> m_objectKinds;
    int m_frameIndex = -1;
    int m_frameBorder = 0;

    std::vector<HistoryStep> m_history;
    int m_historyPos = -1;
    std::vector<PhotoSnapshot> m_snapshots;
    int m_currentSnapshot = -1;
    std::vector<GeometryOp> m_geometry;

    EffectId m_effectId = 0;
    ApplyMode m_applyMode = ApplyMode::PatchBrush;
    int m_brushSize = kDefaultBrushSize;
    int m_brushShape = 0;
    int m_brushPreset = 1;
    PixelBuffer m_brushTip;
    float m_strength = 1.0f;
    uint32_t m_effectColour = 0xFFFFFF;
    int m_options[3] = {0, 0, 0};
    bool m_warpUncommitted = false;

    // Created at the first warp stroke after a renewal of strokeBase (its field
    // is 16 bytes per photo pixel); null means the base has been renewed since.
    std::unique_ptr<WarpDeformer> m_warp;
    const uint8_t* m_warpSource = nullptr;
    const uint8_t* m_warpDestination = nullptr;
    int m_warpAmount = 30;
    int m_warpPrevX = 0, m_warpPrevY = 0;

    DocumentObserver* m_observer = nullptr;
    AdjustParams m_adjustParams;
    bool m_adjustActive = false;
    PixelBuffer m_adjustPreview;
    // The photo before and after the step a fade can blend, exact (the
    // history holds only JPEG snapshots); released once the fade is impossible.
    PixelBuffer m_fadeBefore;
    PixelBuffer m_fadeAfter;
    PixelBuffer m_fadePreview;
    PixelBuffer m_fadeCandidate;  // set just before a fadeable step is recorded
    bool m_fadePreviewActive = false;
    int m_fadeStep = -1;
    int m_fadePercent = 100;

    // The clone stroke under way: its offset and whether a dab changed a pixel.
    int m_cloneDx = 0, m_cloneDy = 0;
    bool m_cloneActive = false;
    bool m_cloneChanged = false;
    // Scratch squares of the patch brush, kept between dabs of a stroke.
    PixelBuffer m_patchCut;
    PixelBuffer m_patchResult;
};

} // namespace ombrik
