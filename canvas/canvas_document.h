// The open photo and everything that edits it, without a window: the photo and
// its working copies, the text objects, the photo frame index, the undo history
// with its compressed snapshots, and the brush tools. CPhotoCanvas shows it and
// turns the mouse into calls on it; tests drive it directly.
#pragma once

#include "canvas/canvas_object.h"
#include "canvas/photo_snapshot.h"
#include "effects/effect_catalogue.h"
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

// A rectangle of photo pixels, right and bottom exclusive; empty when nothing changed.
struct PixelArea {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool empty() const { return right <= left || bottom <= top; }
};

struct HistoryStep {
    std::vector<CanvasObject> objects;
    std::vector<ObjectKind> kinds;
    int32_t snapshotIndex = -1;  // -1: the photo as opened
    int32_t frameIndex = -1;
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
    bool modified() const { return m_modified; }
    // Photos larger than this area are reduced when opened (the larger value is
    // compared with the longer side).
    int thresholdWidth() const { return m_thresholdWidth; }
    int thresholdHeight() const { return m_thresholdHeight; }
    void setThreshold(int width, int height)
    {
        m_thresholdWidth = width;
        m_thresholdHeight = height;
    }
    void setModified() { m_modified = true; }
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
    // and applies (and records) a whole-image filter at once.
    void selectEffect(EffectId id);
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
    PixelArea warpTo(int x, int y);
    // The last application at the release point; the stroke becomes one history
    // step with photo, and strokeBase stays behind until the base is renewed.
    PixelArea endWarp(int x, int y);
    // Accumulated displacement of photo pixel (x, y) since the base was renewed.
    std::array<double, 2> warpDisplacement(int x, int y) const;

    // --- Light placement -----------------------------------------------------
    // Renders the selected light or flare (effects 120 to 124) from strokeBase
    // into the photo: press (ax, ay) and release (mx, my) in photo pixels give
    // the lights their geometry, the press point and flareRadius place the
    // flares. The result becomes the new strokeBase and one history step.
    // False (nothing changed) without a photo or for any other effect.
    bool placeLight(int ax, int ay, int mx, int my, int flareRadius);

    // --- Export ------------------------------------------------------------
    // The frame border thickness in photo pixels (0 without a frame).
    int frameBorder() const { return m_frameIndex >= 0 ? m_frameBorder : 0; }
    void setFrameBorder(int border) { m_frameBorder = border; }

    // Called after every history change and after a photo is opened.
    std::function<void()> historyChanged;
    // Called when undo or redo restores a frame index, for the frame library to
    // reload its picture.
    std::function<void(int frameIndex)> frameRestored;

private:
    void renewStrokeBase();
    void computeEffectResult();
    bool restoreStep(int index);
    void restoreOpenedState();
    void dropRedoTail();
    void enforceBudget();
    void notifyHistory();
    void rebuildBrushTip();
    void prepareWarp();
    PixelArea applyWarp(int x, int y);

    std::string m_photoPath;
    int m_width = 100;
    int m_height = 100;
    PixelBuffer m_photo;
    PixelBuffer m_strokeBase;
    PixelBuffer m_openedPhoto;
    PixelBuffer m_effectResult;
    std::vector<uint8_t> m_coverageMask;
    bool m_modified = false;
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

    EffectId m_effectId = 0;
    ApplyMode m_applyMode = ApplyMode::PatchBrush;
    int m_brushSize = kDefaultBrushSize;
    int m_brushShape = 0;
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

    // Scratch squares of the patch brush, kept between dabs of a stroke.
    PixelBuffer m_patchCut;
    PixelBuffer m_patchResult;
};

} // namespace ombrik
