#include "app/adjust_controller.h"

#include "app/editor_dlg.h"
#include "engine/tone_analysis.h"
#include "session/editor_session.h"
#include "ui/adjust_panel.h"
#include "view/photo_canvas.h"

#include <QApplication>
#include <QEvent>

namespace ombrik {

namespace {

// Tells about the panel being shown or hidden, whoever shows or hides it.
class VisibilityWatch : public QObject {
public:
    VisibilityWatch(QObject* parent, std::function<void(bool)> told) : QObject(parent), m_told(std::move(told)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
            m_told(event->type() == QEvent::Show);
        return false;
    }

private:
    std::function<void(bool)> m_told;
};

} // namespace

AdjustController::AdjustController(CEditorDlg& window, CAdjustPanel& panel,
                                   std::function<void(const QString&)> notice)
    : QObject(&window), m_window(window), m_panel(panel), m_notice(std::move(notice))
{
    panel.installEventFilter(new VisibilityWatch(this, [this](bool shown) { panelShown(shown); }));
    connect(&window.session(), &EditorSession::changed, this, [this] {
        if (m_shown)
            updateHistogram();
    });
    connect(&panel, &CAdjustPanel::autoRequested, this, &AdjustController::runAuto);
    connect(&panel, &CAdjustPanel::pickingChanged, this, &AdjustController::updatePicker);
    connect(&panel, &CAdjustPanel::clippingMarksChanged, this, &AdjustController::updateMarks);
}

void AdjustController::panelShown(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    if (shown)
        updateHistogram();
    updateMarks();
    updatePicker();
}

void AdjustController::updateHistogram()
{
    m_panel.setHistogram(ComputeHistogram(m_window.session().document().displayPhoto()));
}

void AdjustController::updateMarks()
{
    if (CPhotoCanvas* canvas = m_window.canvas())
        canvas->setClippingMarks(m_shown && m_panel.marksShadows(), m_shown && m_panel.marksHighlights());
}

void AdjustController::updatePicker()
{
    CPhotoCanvas* canvas = m_window.canvas();
    if (!canvas)
        return;
    LevelsPick pick;
    if (!m_shown || !m_panel.picking(pick)) {
        if (canvas->picking())
            canvas->setPhotoPicker(nullptr);
        return;
    }
    canvas->setPhotoPicker([this, pick](QPoint at) {
        const CanvasDocument& doc = m_window.session().document();
        const AdjustParams params = m_panel.params();
        if (m_panel.pickLevels(pick, ColourBeforeLevels(doc.photo(), at.x(), at.y(), params)))
            return;
        m_notice(pick == LevelsPick::Grey
                     ? tr("That colour is too dark or too bright to be made grey: pick a mid-tone.")
                     : tr("That colour is too close to the other end of the levels: pick another."));
    });
}

void AdjustController::runAuto()
{
    const CanvasDocument& doc = m_window.session().document();
    if (!doc.hasPhoto())
        return;
    m_panel.takeAuto(AutoAdjust(doc.photo()));
}

} // namespace ombrik
