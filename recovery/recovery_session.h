// Crash recovery for an editing session: at start-up it asks about the
// journals that editors which were cut off left behind and restores the chosen
// one; for the rest of the run it keeps this editor's own journal, which goes
// when the window is closed normally (the edits were saved or given up).
#pragma once

#include "recovery/recovery_journal.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

namespace ombrik {

class EditorSession;

enum class RecoveryAnswer { Restore, Discard, Later };

struct RecoveryChoice {
    RecoveryAnswer answer = RecoveryAnswer::Later;
    int index = 0;  // which of the journals offered
};

// The question for one journal: "... the changes to NAME were saved. Restore them?"
QString RecoveryQuestionText(const LeftJournal& journal);
// One line for a list of journals: the photo, when, and the history position.
QString DescribeJournal(const LeftJournal& journal);

// Who answers the questions (the window, with its dialogs).
class RecoveryPrompts {
public:
    virtual ~RecoveryPrompts() = default;
    // Which of the journals to restore or discard, or later.
    virtual RecoveryChoice askRestore(const std::vector<LeftJournal>& journals) = 0;
    // A yes/no question (discard a journal that cannot be restored).
    virtual bool askYesNo(const QString& text) = 0;
    // A passing notice.
    virtual void tell(const QString& text) = 0;
};

class RecoverySession {
public:
    RecoverySession(EditorSession& session, RecoveryPrompts& prompts, std::string root = RecoveryRoot());
    ~RecoverySession();

    // Asks about the journals left behind; true when one was restored into the
    // session. Damaged ones are reported once and offered for discard.
    bool offerLeftJournals();
    // At the end of the run: a window closed normally takes the journal with
    // it; otherwise it stays for the next start.
    void finish(bool closedNormally);

    RecoveryJournal& journal() { return *m_journal; }
    const std::string& root() const { return m_root; }

private:
    void askAboutDamaged(const LeftJournal& journal, const std::string& problem);

    EditorSession& m_session;
    RecoveryPrompts& m_prompts;
    std::string m_root;
    std::unique_ptr<RecoveryJournal> m_journal;
};

} // namespace ombrik
