#include "recovery/recovery_session.h"

#include "engine/product.h"
#include "recovery/journal_format.h"
#include "session/editor_session.h"

#include <QDateTime>
#include <QFileInfo>

namespace ombrik {

namespace {

QString PhotoName(const LeftJournal& journal)
{
    const QString name = QFileInfo(QString::fromStdString(journal.photoPath)).fileName();
    return name.isEmpty() ? QObject::tr("a photo") : name;
}

} // namespace

QString DescribeJournal(const LeftJournal& journal)
{
    const QString when = QDateTime::fromMSecsSinceEpoch(journal.savedAtMs).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return QObject::tr("%1  —  %2, step %3 of %4")
        .arg(PhotoName(journal), when)
        .arg(journal.historyPos + 1)
        .arg(journal.steps);
}

QString RecoveryQuestionText(const LeftJournal& journal)
{
    return QObject::tr("%1 was closed before the changes to %2 were saved. Restore them?")
        .arg(QString::fromUtf8(kProductTitle), PhotoName(journal));
}

RecoverySession::RecoverySession(EditorSession& session, RecoveryPrompts& prompts, std::string root)
    : m_session(session), m_prompts(prompts), m_root(std::move(root))
{
    m_journal = std::make_unique<RecoveryJournal>(m_root);
    QObject::connect(m_journal.get(), &RecoveryJournal::failed, m_journal.get(), [this](const QString& why) {
        m_prompts.tell(QObject::tr("Recovery after a crash is off: %1.").arg(why));
    });
    m_session.setObserver(m_journal.get());
}

RecoverySession::~RecoverySession()
{
    m_session.setObserver(nullptr);
}

void RecoverySession::askAboutDamaged(const LeftJournal& journal, const std::string& problem)
{
    const QString text = QObject::tr("The changes to %1 kept after %2 was closed cannot be restored: %3.\n"
                                     "Discard them?")
                             .arg(PhotoName(journal), QString::fromUtf8(kProductTitle),
                                  QString::fromStdString(problem));
    if (m_prompts.askYesNo(text))
        RemoveJournal(journal.folder);
    else
        MarkJournalReported(journal.folder);  // reported once
}

bool RecoverySession::offerLeftJournals()
{
    std::vector<LeftJournal> whole;
    for (LeftJournal& journal : FindLeftJournals(m_root)) {
        if (journal.problem.empty())
            whole.push_back(std::move(journal));
        else
            askAboutDamaged(journal, journal.problem);
    }
    while (!whole.empty()) {
        const RecoveryChoice choice = m_prompts.askRestore(whole);
        if (choice.answer == RecoveryAnswer::Later || choice.index < 0 || choice.index >= int(whole.size()))
            return false;
        const LeftJournal chosen = whole[size_t(choice.index)];
        whole.erase(whole.begin() + choice.index);
        if (choice.answer == RecoveryAnswer::Discard) {
            RemoveJournal(chosen.folder);
            continue;
        }
        std::string problem;
        std::optional<RecoveredDocument> recovered = ReadJournal(chosen.folder, &problem);
        if (recovered && !m_session.restore(std::move(*recovered)))
            problem = journal::Reason(QT_TRANSLATE_NOOP("Reasons", "the photo of its history position cannot be decoded"));
        if (!problem.empty()) {
            askAboutDamaged(chosen, problem);
            continue;
        }
        // This editor's journal now holds the document; the old one goes once
        // that is on disk.
        m_journal->removeAfterWrite(chosen.folder);
        return true;
    }
    return false;
}

void RecoverySession::finish(bool closedNormally)
{
    if (closedNormally)
        m_journal->discard();
    else
        m_journal->flush();
}

} // namespace ombrik
