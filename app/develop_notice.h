// While a camera RAW's develop runs, the window shows the preview marked
// "Developing…" and holds back the input that could edit it; Escape stops the
// develop and keeps the preview. When the develop ends the mark goes, and a
// develop that failed says why.
#pragma once

#include <QObject>
#include <QString>

class QLabel;

namespace ombrik {

class CEditorDlg;
class EditorSession;

class DevelopNotice : public QObject {
    Q_OBJECT
public:
    // A child of the window; it listens to the window's session.
    DevelopNotice(CEditorDlg& window, EditorSession& session);
    ~DevelopNotice() override;

    QLabel* mark() const { return m_mark; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void begin();
    void end(bool developed, const QString& note);
    void placeMark();

    CEditorDlg& m_window;
    EditorSession& m_session;
    QLabel* m_mark = nullptr;
    bool m_holding = false;
};

} // namespace ombrik
