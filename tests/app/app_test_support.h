// Shared pieces of the main-window tests: a shown window with a photo of a
// chosen size, and message-box answers that record what was asked.
#pragma once

#include "app/editor_dlg.h"
#include "view/photo_canvas.h"
#include "ui/effect_panel.h"
#include "ui/message_box.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace ombrik::test {

// Replaces the message boxes for the lifetime of the object.
struct BoxAnswers {
    bool answerYes = false;
    QStringList questions;
    QStringList informations;
    QStringList warnings;
    QuestionHook oldQuestion;
    InformationHook oldInformation;
    InformationHook oldWarning;

    BoxAnswers();
    ~BoxAnswers();
};

// A window shown on the offscreen screen with a photo of w × h opened.
struct WindowWithPhoto {
    QTemporaryDir dir;
    QString photoPath;
    std::unique_ptr<CEditorDlg> window;

    explicit WindowWithPhoto(int w = 120, int h = 80);
    ~WindowWithPhoto();
    CEditorDlg& operator*() { return *window; }
    CEditorDlg* operator->() { return window.get(); }
    const CanvasDocument& doc() { return window->session().document(); }
    EditorSession& session() { return window->session(); }
    // Writes a copy of the sample photo of w × h into the temporary folder.
    QString writePhoto(const QString& name, int w, int h);
};

// Clicks (or double-clicks) the middle of a strip's tile.
void ClickTile(CEffectPanel* strip, int tile);
void DoubleClickTile(CEffectPanel* strip, int tile);

} // namespace ombrik::test
