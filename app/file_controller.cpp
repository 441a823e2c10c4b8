#include "app/file_controller.h"

#include "app/editor_app.h"
#include "app/editor_dlg.h"
#include "app/panel_controller.h"
#include "files/picture_formats.h"
#include "session/editor_session.h"
#include "ui/auto_resize_dialog.h"
#include "ui/message_box.h"
#include "ui/save_as_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

#include <algorithm>
#include <cstdio>

namespace ombrik {

namespace {

constexpr int kMaxRecentFiles = 8;

} // namespace

FileController::FileController(CEditorDlg& window, EditorSession& session) : m_window(window), m_session(session)
{
    m_saveQuality = std::clamp(QSettings().value(QStringLiteral("saveQuality"), 90).toInt(), 1, 100);
    // The threshold is not stored: each window starts from the default (and
    // a value stored by an earlier version is dropped).
    QSettings().remove(QStringLiteral("threshold"));
}

void FileController::setRecentMenu(QMenu* menu)
{
    m_recentMenu = menu;
    rebuildRecentMenu();
}

bool FileController::confirmDiscard()
{
    if (!m_window.m_panels->settlePendingAdjustment())
        return false;
    if (!m_session.document().modified())
        return true;
    switch (AskYesNoCancel(&m_window, tr("Current photo has been modified, Do you want to save it?"))) {
    case Answer::No: return true;
    case Answer::Cancel: return false;  // Escape or the box closed: keep the photo and its edits
    case Answer::Yes: break;
    }
    // The user wants the edits kept: go on only when they were saved.
    return saveAsCommand();
}

bool FileController::saveAsCommand()
{
    if (!m_session.hasPhoto() || !m_window.m_panels->settlePendingAdjustment())
        return false;
    if (m_window.saveAsDialog)
        return m_window.saveAsDialog();
    QString path;
    if (m_window.chooseSaveFile) {
        path = m_window.chooseSaveFile();
    } else {
        CSaveAsDialog dialog(&m_window, QString::fromStdString(m_session.document().photoPath()), m_saveQuality,
                             m_saveLossless);
        dialog.setStripMetadata(m_stripMetadata);
        if (dialog.exec() == QDialog::Accepted) {
            path = dialog.chosenPath();
            if (dialog.currentFormat().lossy && !(dialog.currentFormat().lossless && dialog.lossless()))
                m_saveQuality = dialog.quality();
            m_saveLossless = dialog.lossless();
            m_stripMetadata = dialog.stripMetadata();
            QSettings().setValue(QStringLiteral("saveQuality"), m_saveQuality);
        }
    }
    if (path.isEmpty())
        return false;
    // The dialog's choices are for this save only (it offers them again next
    // time); a plain Save keeps writing the file as it came.
    return writePhotoTo(path, SaveOptions{m_saveQuality, m_saveLossless, m_stripMetadata});
}

bool FileController::writePhotoTo(const QString& path, const SaveOptions& options)
{
    // The photo goes to a temporary file renamed over the target, so a
    // failed save never damages a picture that was there.
    const SaveResult result = m_session.save(path.toStdString(), options);
    if (!result.ok()) {
        ShowWarning(&m_window, tr("The photo could not be saved as \"%1\":\n%2.")
                                   .arg(QFileInfo(path).fileName(), ReasonText(SaveStatusText(result.status))));
        return false;
    }
    addRecentFile(QFileInfo(path).absoluteFilePath());
    m_window.update();
    if (!result.notes.empty())
        m_window.showNotice(tr("Saved, but %1.").arg(ReasonText(result.notes.front())));
    return true;
}

bool FileController::canSaveInPlace() const
{
    const CanvasDocument& doc = m_session.document();
    const QString path = QString::fromStdString(doc.photoPath());
    // A photo reduced on open would replace the full-size original, and the
    // bundled sample is not the user's file: both ask for a name instead.
    if (!doc.hasPhoto() || m_session.differsFromFile()
        || QFileInfo(path).canonicalFilePath() == CEditorApp::SamplePhotoPath())
        return false;
    return ImageEncoder(doc.photoPath()).found();
}

bool FileController::saveCommand()
{
    if (!m_session.hasPhoto() || !m_window.m_panels->settlePendingAdjustment())
        return false;
    if (!canSaveInPlace())
        return saveAsCommand();
    return writePhotoTo(QString::fromStdString(m_session.document().photoPath()), m_session.fileOptions());
}

void FileController::openCommand()
{
    if (!confirmDiscard())
        return;
    QString path;
    if (m_window.chooseOpenFile) {
        path = m_window.chooseOpenFile();
    } else {
        QFileDialog dialog(&m_window, tr("Open"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters(OpenDialogFilters());
        const QStringList recent = QSettings().value(QStringLiteral("recentFiles")).toStringList();
        if (!recent.isEmpty())
            dialog.setDirectory(QFileInfo(recent.first()).absolutePath());
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().first();
    }
    if (!path.isEmpty())
        openPath(path);
}

bool FileController::openWithQuestion(const QString& path)
{
    if (!confirmDiscard())
        return false;
    return openPath(path);
}

bool FileController::openPath(const QString& path)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const LoadedPhoto loaded = m_session.open(QFileInfo(path).absoluteFilePath().toStdString());
    QApplication::restoreOverrideCursor();
    if (!loaded.ok) {
        ShowWarning(&m_window, tr("The photo \"%1\" could not be opened.%2")
                                   .arg(QFileInfo(path).fileName(),
                                        loaded.error.empty() ? QString() : "\n" + ReasonText(loaded.error)));
        return false;
    }
    addRecentFile(QFileInfo(path).absoluteFilePath());
    const CanvasDocument& doc = m_session.document();
    QStringList notes;
    if (loaded.damaged)
        notes << tr("\"%1\" is damaged: part of the picture may be missing.").arg(QFileInfo(path).fileName());
    if (m_session.downsizedOnOpen())
        notes << tr("The photo was reduced from %1 × %2 to %3 × %4 pixels for editing.\n"
                    "Auto Resize Threshold sets the largest size that opens unreduced.")
                     .arg(m_session.fileSize().first)
                     .arg(m_session.fileSize().second)
                     .arg(doc.width())
                     .arg(doc.height());
    if (!loaded.metadata.notes.empty())
        notes << tr("The photo was opened, but %1.").arg(QString::fromStdString(loaded.metadata.notes.front()));
    if (!notes.isEmpty())
        m_window.showNotice(notes.join(QStringLiteral("\n")));
    m_window.update();
    return true;
}

void FileController::tellOnlyFirstOpened(const QStringList& files)
{
    if (files.size() < 2)
        return;
    QStringList names;
    for (qsizetype i = 1; i < files.size(); ++i)
        names << QFileInfo(files[i]).fileName();
    const QString text = tr("One photo is edited at a time; not opened: %1").arg(names.join(QStringLiteral(", ")));
    std::fprintf(stderr, "ombrik: %s\n", qPrintable(text));
    m_window.showNotice(text);
}

void FileController::thresholdCommand()
{
    const CanvasDocument& doc = m_session.document();
    CAutoResizeDlg dialog(doc.thresholdWidth(), doc.thresholdHeight(), &m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_session.setThreshold(dialog.thresholdWidth(), dialog.thresholdHeight());
}

void FileController::addRecentFile(const QString& path)
{
    QSettings settings;
    QStringList recent = settings.value(QStringLiteral("recentFiles")).toStringList();
    recent.removeAll(path);
    recent.prepend(path);
    while (recent.size() > kMaxRecentFiles)
        recent.removeLast();
    settings.setValue(QStringLiteral("recentFiles"), recent);
    rebuildRecentMenu();
}

void FileController::rebuildRecentMenu()
{
    if (!m_recentMenu)
        return;
    m_recentMenu->clear();
    const QStringList recent = QSettings().value(QStringLiteral("recentFiles")).toStringList();
    for (const QString& path : recent) {
        QAction* a = m_recentMenu->addAction(QFileInfo(path).fileName());
        a->setToolTip(path);
        a->setStatusTip(path);
        a->setData(path);
        connect(a, &QAction::triggered, this, [this, path] {
            if (!QFileInfo::exists(path)) {
                ShowWarning(&m_window, tr("The photo \"%1\" no longer exists.").arg(path));
                QSettings settings;
                QStringList list = settings.value(QStringLiteral("recentFiles")).toStringList();
                list.removeAll(path);
                settings.setValue(QStringLiteral("recentFiles"), list);
                rebuildRecentMenu();
                return;
            }
            openWithQuestion(path);
        });
    }
    if (recent.isEmpty()) {
        m_recentMenu->addAction(tr("(no recent photos)"))->setEnabled(false);
        return;
    }
    m_recentMenu->addSeparator();
    connect(m_recentMenu->addAction(tr("Clear List")), &QAction::triggered, this, [this] {
        QSettings().remove(QStringLiteral("recentFiles"));
        rebuildRecentMenu();
    });
}

} // namespace ombrik
