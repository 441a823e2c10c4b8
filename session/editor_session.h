// EditorSession: the open photo and what a person does to it, without a
// window. It owns the document (photo, history, text objects) and the chosen
// photo frame, and offers open, save, restore, effects, undo and redo, the
// geometry steps, the frame, text, adjustments and fade. Whoever shows the
// photo or its state listens to its signals; tests drive it directly.
#pragma once

#include "canvas/canvas_document.h"
#include "canvas/photo_frame.h"
#include "files/photo_loader.h"
#include "files/photo_saver.h"
#include "heal/heal_fill.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace ombrik {

class EditorSession : public QObject {
    Q_OBJECT
public:
    // Runs an effect's pixel work (for example with a progress box and Cancel);
    // false when it was cancelled. The work writes only a buffer of its own.
    // Work that is no catalogue effect (a heal) comes with its name instead.
    using LongRunner = std::function<bool(const std::function<void()>& work, EffectId id, const QString& name)>;

    explicit EditorSession(QObject* parent = nullptr);
    ~EditorSession() override;

    const CanvasDocument& document() const { return m_doc; }
    const PhotoFrame& frame() const { return m_frame; }
    bool hasPhoto() const { return m_doc.hasPhoto(); }

    // --- Files ---------------------------------------------------------------
    // Loads a picture with the load threshold; on success it becomes the photo
    // (history, objects and frame cleared, generators seeded) and opened() is
    // emitted. On failure (result not ok, with the reason) nothing changes.
    // A camera RAW file opens with its embedded preview (result.preview) and
    // is developed on a worker meanwhile: see developing().
    LoadedPhoto open(const std::string& path);
    // A RAW's develop is running. Until it ends the photo is the preview and
    // every edit is refused (the calls below do nothing and return false), so
    // the developed photo can take the preview's place without losing any.
    // When it arrives it becomes the photo as opened (opened() again when its
    // size differs from the preview's, otherwise changed()); developEnded()
    // tells either way.
    bool developing() const { return m_develop != nullptr; }
    // Stops the develop: the preview stays as the photo, editable.
    void cancelDevelop();
    // Waits for the develop to end and takes its photo at once (a save, the
    // tests); true when no develop is left running.
    bool finishDevelop();
    // A photo already in memory becomes the document's, as open() does.
    void openPhoto(PixelBuffer photo, const std::string& path, PhotoMetadata metadata = {});
    // Puts back a document kept by a crash journal; false (nothing changed)
    // when it cannot be restored.
    bool restore(RecoveredDocument&& recovered);
    // The picture a save writes: the photo with its text objects and frame.
    PixelBuffer composite() const;
    // Writes the composite to `path` (atomically, with the photo's metadata
    // unless stripped); on success the photo counts as saved under that name.
    SaveResult save(const std::string& path, const SaveOptions& options);
    // How the file the photo now stands for is written: the opened file's
    // quality (a JPEG's, estimated) and lossless-ness with its metadata, or
    // the choices of the last save to it. A plain save writes it this way.
    const SaveOptions& fileOptions() const { return m_fileOptions; }
    // Whether the photo as opened differs from the file it came from (reduced,
    // cut to multiples of 4): writing it back would lose pixels. Cleared by a save.
    bool differsFromFile() const { return m_differsFromFile; }
    // Whether it was reduced to the load threshold on open (worth telling).
    bool downsizedOnOpen() const { return m_downsized; }
    // The picture's size in the file it was opened from.
    std::pair<int, int> fileSize() const { return m_fileSize; }
    bool savedSinceOpen() const { return m_savedSinceOpen; }
    void setThreshold(int width, int height) { m_doc.setThreshold(width, height); }

    // --- Effects and brush settings ------------------------------------------
    // Chooses an effect; a whole-photo filter is applied at once (through the
    // long runner). False when its run was cancelled (nothing changed then).
    bool chooseEffect(EffectId id);
    void setLongRunner(LongRunner runner) { m_longRunner = std::move(runner); }
    // True while an effect's work runs (through the long runner) or a RAW's
    // develop does: a second start waits for either.
    bool busy() const { return m_busy || developing(); }
    void setBrushSizePreset(int preset);
    void setBrushShape(int shape);
    void setBrushSize(int size);
    void setStrength(float strength) { m_doc.setStrength(strength); }
    void setEffectColour(uint32_t colour) { m_doc.setEffectColour(colour); }
    void setOption(int kind, int value) { m_doc.setOption(kind, value); }
    void setWarpAmount(int position) { m_doc.setWarpAmount(position); }

    // --- Strokes with the mouse (the view repaints what they change) ---------
    void dab(int left, int top)
    {
        if (editable())
            m_doc.dab(left, top);
    }
    void endStroke()
    {
        if (editable())
            m_doc.endStroke();
    }
    void beginWarp(int x, int y)
    {
        if (editable())
            m_doc.beginWarp(x, y);
    }
    IntRect warpTo(int x, int y) { return editable() ? m_doc.warpTo(x, y) : IntRect{}; }
    IntRect endWarp(int x, int y) { return editable() ? m_doc.endWarp(x, y) : IntRect{}; }
    bool placeLight(int ax, int ay, int mx, int my, int flareRadius);

    // --- Heal and clone ---------------------------------------------------------
    // Fills where `mask` (one byte a photo pixel) is set from the rest of the
    // photo, through the long runner: one history step that Fade can blend.
    // Nothing changes unless the result is Filled (an empty or too large area,
    // a cancel, a mask of another size).
    HealOutcome heal(const std::vector<uint8_t>& mask);
    int retouchBrushSize() const { return m_doc.retouchBrushSize(); }
    void beginClone(int dx, int dy)
    {
        if (editable())
            m_doc.beginClone(dx, dy);
    }
    IntRect cloneDab(int cx, int cy) { return editable() ? m_doc.cloneDab(cx, cy) : IntRect{}; }
    // One step when the stroke changed anything.
    bool endClone();

    // --- History -------------------------------------------------------------
    void undo();
    void redo();

    // --- Geometry: one step each; false (and `error`) when refused -----------
    bool crop(int x, int y, int w, int h, std::string* error = nullptr);
    bool rotate(int quarterTurns);
    bool flip(bool horizontal);
    bool straighten(double degrees, std::string* error = nullptr);
    bool resize(int width, int height, std::string* error = nullptr);

    // --- Photo frame ---------------------------------------------------------
    // Puts frame picture `index` of the library round the photo; false when it
    // is already set, no photo is open or the picture cannot be loaded.
    bool setFrame(int index);
    void deleteFrame();

    // --- Text objects --------------------------------------------------------
    // The objects as the text tool edits them live (moves, resizes, selection);
    // recordObjectStep() makes the edit one history step, objectsEdited()
    // marks a change that records none (typing).
    std::vector<CanvasObject>& liveObjects() { return m_doc.objects(); }
    void addObject(const CanvasObject& object);
    void recordObjectStep();
    void objectsEdited(bool modifies);
    bool deleteSelectedObject();
    // Draws the text objects into the photo and removes them: one step.
    bool mergeText();

    // --- Adjustments and fade ------------------------------------------------
    void setAdjustPreview(const AdjustParams& params);
    void clearAdjustPreview();
    bool applyAdjustment();
    void setFadePreview(int percent);
    void clearFadePreview();
    bool commitFade(int percent);

    // The crash journal's view of every change (one observer at a time).
    void setObserver(DocumentObserver* observer) { m_doc.setObserver(observer); }

signals:
    // A new photo or a restored document: views start afresh.
    void opened();
    // Pixels, objects or the frame changed: views repaint.
    void changed();
    // A frame was put round the photo or taken away: views start from its corner.
    void frameChanged();
    // A history step was recorded, undone or redone, or the saved state moved:
    // commands and the title follow.
    void historyChanged();
    // A RAW's preview is the photo and its develop has started (after opened()).
    void developStarted();
    // A RAW's develop ended: `developed` when its photo replaced the preview;
    // otherwise the preview stays, and `note` says why (empty when cancelled).
    void developEnded(bool developed, const QString& note);

private:
    struct Develop;

    void seedAfterOpen();
    void refitFrame();
    bool runLong(const std::function<void()>& work, EffectId id, const QString& name);
    void startDevelop(const std::string& path);
    // Takes the result of develop `generation` when it is still the current one.
    void takeDevelop(uint64_t generation);
    void stopDevelop(bool tell);
    bool editable() const { return !developing(); }

    CanvasDocument m_doc;
    PhotoFrame m_frame;
    LongRunner m_longRunner;
    bool m_busy = false;
    SaveOptions m_fileOptions;
    bool m_differsFromFile = false;
    bool m_downsized = false;
    std::pair<int, int> m_fileSize{0, 0};
    bool m_savedSinceOpen = false;
    std::unique_ptr<Develop> m_develop;
    uint64_t m_developGeneration = 0;
};

} // namespace ombrik
