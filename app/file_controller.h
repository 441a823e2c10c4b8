// The window's file commands: Open (with the "modified" question), Save and
// Save As, Open Recent, the load threshold, a photo dropped on the window or
// handed over by a second start.
#pragma once

#include "files/photo_saver.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QMenu;

namespace ombrik {

class CEditorDlg;
class EditorSession;

class FileController : public QObject {
    Q_OBJECT
public:
    FileController(CEditorDlg& window, EditorSession& session);

    void openCommand();
    // Opens without asking; false (and a message) on failure.
    bool openPath(const QString& path);
    // Open with the "modified" question first; false when nothing was opened.
    bool openWithQuestion(const QString& path);
    // Save: writes the photo back to its file in that file's format, or asks
    // like Save As when that cannot be done; true when it was saved.
    bool saveCommand();
    bool saveAsCommand();
    // The "modified" question before a photo is replaced or the window closes:
    // false when the user cancelled, or wanted to save and the save did not happen.
    bool confirmDiscard();
    void thresholdCommand();
    // One photo is edited at a time: says which of `files` (all but the first)
    // were not opened.
    void tellOnlyFirstOpened(const QStringList& files);

    QMenu* recentMenu() const { return m_recentMenu; }
    void setRecentMenu(QMenu* menu);

private:
    bool canSaveInPlace() const;
    // Writes the photo to `path` and, when that worked, adds it to Open Recent.
    bool writePhotoTo(const QString& path, const SaveOptions& options);
    void addRecentFile(const QString& path);
    void rebuildRecentMenu();

    CEditorDlg& m_window;
    EditorSession& m_session;
    QMenu* m_recentMenu = nullptr;
    // The Save As dialog's last choices, offered again as its defaults: the
    // quality of lossy formats, lossless WebP/JPEG XL, and leaving out camera
    // and location details.
    int m_saveQuality = 90;
    bool m_saveLossless = false;
    bool m_stripMetadata = false;
};

} // namespace ombrik
