// The window's panels: which one shows, what choosing an effect on a strip
// does to the others and to the brush, the restore brush, the Adjust panel's
// preview and Apply, and Fade.
#pragma once

#include "effects/effect_catalogue.h"

#include <QObject>

namespace ombrik {

class CEditorDlg;
class EditorSession;
enum class Panel;

class PanelController : public QObject {
    Q_OBJECT
public:
    PanelController(CEditorDlg& window, EditorSession& session);

    Panel currentPanel() const { return m_current; }
    void showPanel(Panel panel);
    // The next (+1) or previous (-1) panel, round in the order of the buttons.
    void stepPanel(int step);
    // An effect chosen on a strip (or the restore brush, or Reduce Warp).
    void chooseEffect(EffectId id);
    void pressRestoreBrush();
    // The strips and buttons show the chosen brush, or none while the heal
    // or clone brush paints instead.
    void showChosenBrush(bool retouching);
    void previewAdjustment();
    void applyAdjustment();
    // Drops a pending adjustment preview (the panel's settings go back too).
    void discardAdjustment();
    // Before the photo is saved, replaced or closed: a pending adjustment
    // preview is applied or dropped as the user answers "Apply the adjustment
    // first?"; false when they cancelled.
    bool settlePendingAdjustment();
    void fadeCommand();

private:
    // A new or restored photo: the brush settings follow its size.
    void photoOpened();

    CEditorDlg& m_window;
    EditorSession& m_session;
    Panel m_current;
};

} // namespace ombrik
