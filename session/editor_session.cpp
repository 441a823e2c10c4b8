#include "session/editor_session.h"

#include "canvas/composite.h"
#include "effects/seeding.h"
#include "files/raw_photo.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace ombrik {

// A RAW's develop on its own thread; the result is read only after `done`.
struct EditorSession::Develop {
    std::thread worker;
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    LoadedPhoto result;
    std::string path;
    uint64_t generation = 0;
};

EditorSession::EditorSession(QObject* parent) : QObject(parent)
{
    // The document reports to its owner only; others hear the signals.
    m_doc.historyChanged = [this] { emit historyChanged(); };
    // Undo and redo bring back a frame index; its picture is loaded again.
    m_doc.frameRestored = [this](int index) {
        m_frame.restore(index);
        m_doc.setFrameBorder(m_frame.border());
    };
    m_doc.photoResized = [this] { refitFrame(); };
    m_doc.longRun = [this](const std::function<void()>& work, EffectId id) {
        return runLong(work, id, QString());
    };
}

bool EditorSession::runLong(const std::function<void()>& work, EffectId id, const QString& name)
{
    if (!m_longRunner) {
        work();
        return true;
    }
    // While the work runs the window keeps handling events; others can see
    // that the session is busy and wait.
    m_busy = true;
    const bool done = m_longRunner(work, id, name);
    m_busy = false;
    return done;
}

EditorSession::~EditorSession()
{
    stopDevelop(false);
    m_doc.historyChanged = nullptr;
    m_doc.setObserver(nullptr);
}

// --- Files ---------------------------------------------------------------------

void EditorSession::seedAfterOpen()
{
    // Splash and the stamps draw from generators seeded per photo.
    SeedEffectGenerators(std::nullopt);
}

LoadedPhoto EditorSession::open(const std::string& path)
{
    // A RAW shows its preview at once and is developed meanwhile; LibRaw
    // says whether the file is one it reads (others go the usual way).
    bool rawContent = false;
    LoadedPhoto loaded;
    if (IsRawPhoto(path, &rawContent)) {
        loaded = LoadRawPreview(path, m_doc.thresholdWidth(), m_doc.thresholdHeight());
        if (!loaded.ok && loaded.decoder != PhotoDecoder::LibRaw && !rawContent)
            loaded = LoadPhoto(path, m_doc.thresholdWidth(), m_doc.thresholdHeight());
    } else {
        loaded = LoadPhoto(path, m_doc.thresholdWidth(), m_doc.thresholdHeight());
    }
    if (!loaded.ok)
        return loaded;  // the previous photo stays
    openPhoto(std::move(loaded.photo), path, loaded.metadata);
    loaded.photo = PixelBuffer();
    m_differsFromFile = loaded.differsFromFile;
    m_downsized = loaded.downsized;
    m_fileSize = {loaded.fileWidth, loaded.fileHeight};
    if (loaded.preview)
        startDevelop(path);
    return loaded;
}

void EditorSession::startDevelop(const std::string& path)
{
    auto develop = std::make_unique<Develop>();
    develop->path = path;
    develop->generation = ++m_developGeneration;
    Develop* job = develop.get();
    const int width = m_doc.thresholdWidth();
    const int height = m_doc.thresholdHeight();
    m_develop = std::move(develop);
    job->worker = std::thread([this, job, width, height] {
        job->result = DevelopRaw(job->path, width, height, &job->cancel);
        job->done.store(true, std::memory_order_release);
        // Queued to the session's thread; dropped if the session is gone
        // (its destructor joins this thread first).
        const uint64_t generation = job->generation;
        QMetaObject::invokeMethod(this, [this, generation] { takeDevelop(generation); }, Qt::QueuedConnection);
    });
    emit developStarted();
}

void EditorSession::takeDevelop(uint64_t generation)
{
    if (!m_develop || m_develop->generation != generation)
        return;  // stopped, or taken already by finishDevelop
    std::unique_ptr<Develop> job = std::move(m_develop);
    if (job->worker.joinable())
        job->worker.join();
    LoadedPhoto& developed = job->result;
    if (!developed.ok) {
        emit developEnded(false, developed.cancelled ? QString() : QString::fromStdString(developed.error));
        return;
    }
    // The document was locked against edits since the preview came: the
    // developed photo becomes the photo as opened.
    const bool sameSize = developed.photo.width == m_doc.width() && developed.photo.height == m_doc.height();
    m_doc.afterOpen(std::move(developed.photo), job->path);
    m_doc.setPhotoMetadata(std::move(developed.metadata));
    m_differsFromFile = developed.differsFromFile;
    m_downsized = developed.downsized;
    m_fileSize = {developed.fileWidth, developed.fileHeight};
    if (!sameSize) {
        m_frame.clear();
        emit opened();
    }
    emit changed();
    QString note;
    if (!developed.metadata.notes.empty())
        note = QString::fromStdString(developed.metadata.notes.front());
    else if (developed.damaged)
        note = QStringLiteral("its RAW data is damaged: part of the picture may be missing");
    emit developEnded(true, note);
}

bool EditorSession::finishDevelop()
{
    if (!m_develop)
        return true;
    m_develop->worker.join();
    takeDevelop(m_develop->generation);
    return !m_develop;
}

void EditorSession::cancelDevelop()
{
    stopDevelop(true);
}

void EditorSession::stopDevelop(bool tell)
{
    if (!m_develop)
        return;
    const std::unique_ptr<Develop> job = std::move(m_develop);
    job->cancel.store(true);
    if (job->worker.joinable())
        job->worker.join();
    if (tell)
        emit developEnded(false, QString());
}

void EditorSession::openPhoto(PixelBuffer photo, const std::string& path, PhotoMetadata metadata)
{
    if (photo.empty())
        return;
    stopDevelop(true);
    seedAfterOpen();
    m_frame.clear();
    m_doc.afterOpen(std::move(photo), path);
    m_fileOptions = SaveOptions{metadata.sourceQuality.value_or(ImageEncoder::kDefaultQuality),
                                metadata.sourceLossless, false};
    m_doc.setPhotoMetadata(std::move(metadata));
    m_differsFromFile = false;
    m_downsized = false;
    m_fileSize = {m_doc.width(), m_doc.height()};
    m_savedSinceOpen = false;
    emit opened();
    emit changed();
}

bool EditorSession::restore(RecoveredDocument&& recovered)
{
    stopDevelop(true);
    const int frameIndex = recovered.frameIndex;
    if (!m_doc.restoreRecovered(std::move(recovered)))
        return false;
    seedAfterOpen();
    m_frame.clear();
    m_doc.setFrameBorder(0);
    m_fileOptions = SaveOptions{};
    if (frameIndex >= 0 && m_frame.choose(frameIndex, m_doc.width(), m_doc.height())) {
        m_doc.setFrameBorder(m_frame.border());
    } else if (frameIndex >= 0) {
        m_doc.setFrameIndex(-1);  // the frame library lost that picture
        m_doc.objectsEdited();
    }
    m_differsFromFile = false;
    m_downsized = false;
    m_savedSinceOpen = false;
    emit opened();
    emit changed();
    emit historyChanged();
    return true;
}

PixelBuffer EditorSession::composite() const
{
    if (!m_doc.hasPhoto())
        return {};
    return RenderComposite(m_doc.photo(), m_doc.objects(), m_doc.frameIndex() >= 0 ? &m_frame : nullptr);
}

SaveResult EditorSession::save(const std::string& path, const SaveOptions& options)
{
    if (!m_doc.hasPhoto())
        return {SaveStatus::EncodeFailed, {}};
    finishDevelop();  // a RAW is saved as developed, never as its preview
    SaveResult result = SavePhoto(composite(), path, &m_doc.photoMetadata(), options);
    if (!result.ok())
        return result;
    m_doc.markSaved(QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString());
    m_fileOptions = options;
    m_differsFromFile = false;
    m_downsized = false;
    m_savedSinceOpen = true;
    emit historyChanged();
    return result;
}

// --- Effects -------------------------------------------------------------------

bool EditorSession::chooseEffect(EffectId id)
{
    if (!editable())
        return false;
    m_doc.resetPendingOptions();
    const bool done = m_doc.selectEffect(id);
    emit changed();
    return done;
}

void EditorSession::setBrushSizePreset(int preset)
{
    m_doc.setBrushSizePreset(preset);
    emit changed();
}

void EditorSession::setBrushShape(int shape)
{
    m_doc.setBrushShape(shape);
}

void EditorSession::setBrushSize(int size)
{
    m_doc.setBrushSize(size);
    emit changed();
}

bool EditorSession::placeLight(int ax, int ay, int mx, int my, int flareRadius)
{
    if (!editable())
        return false;
    const bool placed = m_doc.placeLight(ax, ay, mx, my, flareRadius);
    emit changed();
    return placed;
}

// --- Heal and clone ------------------------------------------------------------------

HealOutcome EditorSession::heal(const std::vector<uint8_t>& mask)
{
    if (!m_doc.hasPhoto() || !editable())
        return HealOutcome::Nothing;
    PixelBuffer healed;
    HealOutcome outcome = HealOutcome::Nothing;
    const auto work = [&] { outcome = HealFill(m_doc.photo(), mask, healed); };
    // The progress box is titled with the Heal command's name, as the window translates it.
    if (!runLong(work, -1, QCoreApplication::translate("CEditorDlg", "Heal")))
        return HealOutcome::Cancelled;
    if (outcome != HealOutcome::Filled)
        return outcome;
    m_doc.applyHeal(std::move(healed));
    emit changed();
    return outcome;
}

bool EditorSession::endClone()
{
    if (!editable())
        return false;
    const bool recorded = m_doc.endClone();
    emit changed();
    return recorded;
}

// --- History and geometry --------------------------------------------------------

void EditorSession::refitFrame()
{
    m_frame.refit(m_doc.width(), m_doc.height());
    m_doc.setFrameBorder(m_frame.border());
}

void EditorSession::undo()
{
    if (!editable())
        return;
    if (!m_doc.canUndo())
        return;
    const std::pair<int, int> photoBefore{m_doc.width(), m_doc.height()};
    m_doc.undo();
    if (photoBefore != std::pair{m_doc.width(), m_doc.height()})
        refitFrame();
    emit changed();
}

void EditorSession::redo()
{
    if (!editable())
        return;
    if (!m_doc.canRedo())
        return;
    const std::pair<int, int> photoBefore{m_doc.width(), m_doc.height()};
    m_doc.redo();
    if (photoBefore != std::pair{m_doc.width(), m_doc.height()})
        refitFrame();
    emit changed();
}

bool EditorSession::crop(int x, int y, int w, int h, std::string* error)
{
    if (!editable())
        return false;
    const bool done = m_doc.crop(x, y, w, h, error);
    if (done)
        emit changed();
    return done;
}

bool EditorSession::rotate(int quarterTurns)
{
    if (!editable())
        return false;
    const bool done = m_doc.rotate(quarterTurns);
    if (done)
        emit changed();
    return done;
}

bool EditorSession::flip(bool horizontal)
{
    if (!editable())
        return false;
    const bool done = m_doc.flip(horizontal);
    if (done)
        emit changed();
    return done;
}

bool EditorSession::straighten(double degrees, std::string* error)
{
    if (!editable())
        return false;
    const bool done = m_doc.straighten(degrees, error);
    if (done)
        emit changed();
    return done;
}

bool EditorSession::resize(int width, int height, std::string* error)
{
    if (!editable())
        return false;
    const bool done = m_doc.resize(width, height, error);
    if (done)
        emit changed();
    return done;
}

// --- Frame ---------------------------------------------------------------------

bool EditorSession::setFrame(int index)
{
    if (!editable())
        return false;
    if (index == m_doc.frameIndex() || !m_doc.hasPhoto())
        return false;
    // A picture that cannot be loaded leaves the previous frame as it was.
    if (!m_frame.choose(index, m_doc.width(), m_doc.height()))
        return false;
    m_doc.setFrameIndex(index);
    m_doc.setFrameBorder(m_frame.border());
    m_doc.recordStep(false);
    emit frameChanged();
    emit changed();
    return true;
}

void EditorSession::deleteFrame()
{
    if (!editable())
        return;
    if (m_doc.frameIndex() < 0)
        return;
    m_doc.setFrameIndex(-1);
    m_frame.clear();
    m_doc.setFrameBorder(0);
    m_doc.recordStep(false);
    emit frameChanged();
    emit changed();
}

// --- Text objects ------------------------------------------------------------------

void EditorSession::addObject(const CanvasObject& object)
{
    if (!editable())
        return;
    m_doc.addObject(object, ObjectKind::Text);
    m_doc.recordStep(false);
    emit changed();
}

void EditorSession::recordObjectStep()
{
    if (!editable())
        return;
    m_doc.recordStep(false);
}

void EditorSession::objectsEdited(bool modifies)
{
    if (!editable())
        return;
    if (modifies)
        m_doc.setModified();
    m_doc.objectsEdited();
}

bool EditorSession::deleteSelectedObject()
{
    if (!editable())
        return false;
    const bool removed = m_doc.removeSelectedObject();
    if (removed)
        m_doc.recordStep(false);
    emit changed();
    return removed;
}

bool EditorSession::mergeText()
{
    if (!editable())
        return false;
    if (!m_doc.hasPhoto())
        return false;
    // Drawn as a save draws them, without the frame.
    const bool merged = m_doc.mergeIntoPhoto(RenderComposite(m_doc.photo(), m_doc.objects(), nullptr));
    emit changed();
    return merged;
}

// --- Adjustments and fade ------------------------------------------------------------

void EditorSession::setAdjustPreview(const AdjustParams& params)
{
    m_doc.setAdjustPreview(params);
    emit changed();
}

void EditorSession::clearAdjustPreview()
{
    m_doc.clearAdjustPreview();
    emit changed();
}

bool EditorSession::applyAdjustment()
{
    if (!editable())
        return false;
    const bool applied = m_doc.applyAdjustment();
    emit changed();
    return applied;
}

void EditorSession::setFadePreview(int percent)
{
    m_doc.setFadePreview(percent);
    emit changed();
}

void EditorSession::clearFadePreview()
{
    m_doc.clearFadePreview();
    emit changed();
}

bool EditorSession::commitFade(int percent)
{
    if (!editable())
        return false;
    const bool done = m_doc.commitFade(percent);
    emit changed();
    return done;
}

} // namespace ombrik
