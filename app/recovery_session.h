// Crash recovery for the main window: at start-up it asks about the journals
// that editors which were cut off left behind and restores the chosen one; for
// the rest of the run it keeps this editor's own journal, which goes when the
// window is closed normally (the edits were saved or given up).
#pragma once

#include "canvas/recovery_journal.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace ombrik {

class CEditorDlg;

enum class RecoveryAnswer { Restore, Discard, Later };

struct RecoveryChoice {
    RecoveryAnswer answer = RecoveryAnswer::Later;
    int index = 0;  // which of the journals offered
};

// The question for one journal: "... the changes to NAME were saved. Restore them?"
QString RecoveryQuestionText(const LeftJournal& journal);

// Replaces the restore question (empty function: the real dialog); returns the
// previous hook. Without a hook, OMBRIK_RECOVERY_ANSWER=restore|discard|later
// answers it for scripted runs and the question goes to the error stream.
using RecoveryQuestionHook = std::function<RecoveryChoice(QWidget* parent, const std::vector<LeftJournal>& journals)>;
RecoveryQuestionHook SetRecoveryQuestionHook(RecoveryQuestionHook hook);

class RecoverySession {
public:
    explicit RecoverySession(CEditorDlg& window, std::string root = RecoveryRoot());
    ~RecoverySession();

    // Asks about the journals left behind; true when one was restored into the
    // window. Damaged ones are reported once and offered for discard.
    bool offerLeftJournals();
    // After the window's event loop: a window closed normally takes the
    // journal with it; otherwise it stays for the next start.
    void finish();

    RecoveryJournal& journal() { return *m_journal; }
    const std::string& root() const { return m_root; }

private:
    void askAboutDamaged(const LeftJournal& journal, const std::string& problem);

    CEditorDlg& m_window;
    std::string m_root;
    std::unique_ptr<RecoveryJournal> m_journal;
};

} // namespace ombrik
