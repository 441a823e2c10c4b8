// The window's view commands: zoom (with the editable zoom field), the
// full-window preview, the before/after button and keys, and the geometry
// commands (crop and level modes, turns, flips, Resize).
#pragma once

#include <QObject>

class QKeyEvent;
class QLineEdit;
class QWidget;

namespace ombrik {

class CEditorDlg;
class CFlatButton;
class EditorSession;

class ViewController : public QObject {
    Q_OBJECT
public:
    ViewController(CEditorDlg& window, EditorSession& session);

    // The zoom field and the before button in the tool strip.
    void createControls();
    QLineEdit* zoomField() const { return m_zoomField; }
    CFlatButton* beforeButton() const { return m_beforeButton; }

    bool inPreview() const { return m_inPreview; }
    void enterPreview();
    void leavePreview();
    void geometryCommand(int id);
    // Space (pan) and backslash (before); true when the key was taken.
    bool handleViewKey(QWidget* target, const QKeyEvent* event);

private:
    void applyZoomField();
    void resizeCommand();

    CEditorDlg& m_window;
    EditorSession& m_session;
    QLineEdit* m_zoomField = nullptr;
    CFlatButton* m_beforeButton = nullptr;
    float m_zoomBeforePreview = 1.0f;
    bool m_inPreview = false;
};

} // namespace ombrik
