// The restore question at start-up: the text, the list when several journals
// are left, and Restore (default) and Discard; closing the box decides later.
#pragma once

#include "recovery/recovery_session.h"

#include <functional>
#include <vector>

class QWidget;

namespace ombrik {

// Replaces the restore question (empty function: the real dialog); returns the
// previous hook. Without a hook, OMBRIK_RECOVERY_ANSWER=restore|discard|later
// answers it for scripted runs and the question goes to the error stream.
using RecoveryQuestionHook = std::function<RecoveryChoice(QWidget* parent, const std::vector<LeftJournal>& journals)>;
RecoveryQuestionHook SetRecoveryQuestionHook(RecoveryQuestionHook hook);

// Asks through the hook, the environment or the dialog, in that order.
RecoveryChoice AskAboutLeftJournals(QWidget* parent, const std::vector<LeftJournal>& journals);

} // namespace ombrik
