#include "app/recovery_session.h"

#include "app/editor_dlg.h"
#include "canvas/photo_canvas.h"
#include "ui/message_box.h"

#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace ombrik {

namespace {

RecoveryQuestionHook& QuestionSlot()
{
    static RecoveryQuestionHook hook;
    return hook;
}

QString PhotoName(const LeftJournal& journal)
{
    const QString name = QFileInfo(QString::fromStdString(journal.photoPath)).fileName();
    return name.isEmpty() ? QObject::tr("a photo") : name;
}

QString Describe(const LeftJournal& journal)
{
    const QString when = QDateTime::fromMSecsSinceEpoch(journal.savedAtMs).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return QObject::tr("%1  —  %2, step %3 of %4")
        .arg(PhotoName(journal), when)
        .arg(journal.historyPos + 1)
        .arg(journal.steps);
}

// The real question: the text, the list when several journals are left, and
// Restore (default) and Discard; closing the box decides later.
RecoveryChoice AskWithDialog(QWidget* parent, const std::vector<LeftJournal>& journals)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QString::fromUtf8(kProductTitle));
    auto* layout = new QVBoxLayout(&dialog);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(&dialog);
    const int side = dialog.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &dialog);
    icon->setPixmap(dialog.style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, &dialog).pixmap(side, side));
    icon->setAlignment(Qt::AlignTop);
    auto* text = new QLabel(RecoveryQuestionText(journals.front()), &dialog);
    text->setWordWrap(true);
    text->setMinimumWidth(380);
    top->addWidget(icon);
    top->addWidget(text, 1);
    layout->addLayout(top);

    QListWidget* list = nullptr;
    if (journals.size() > 1) {
        list = new QListWidget(&dialog);
        for (const LeftJournal& j : journals)
            list->addItem(Describe(j));
        list->setCurrentRow(0);
        const int rows = std::min(int(journals.size()), 6);
        list->setMaximumHeight(rows * list->sizeHintForRow(0) + 2 * list->frameWidth() + 4);
        QObject::connect(list, &QListWidget::currentRowChanged, text, [text, &journals](int row) {
            if (row >= 0 && row < int(journals.size()))
                text->setText(RecoveryQuestionText(journals[size_t(row)]));
        });
        layout->addWidget(list);
    }

    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* restore = buttons->addButton(QObject::tr("Restore"), QDialogButtonBox::AcceptRole);
    QPushButton* discard = buttons->addButton(QObject::tr("Discard"), QDialogButtonBox::DestructiveRole);
    restore->setDefault(true);
    restore->setFocus();
    RecoveryChoice choice;
    QObject::connect(restore, &QPushButton::clicked, &dialog, [&] {
        choice.answer = RecoveryAnswer::Restore;
        dialog.accept();
    });
    QObject::connect(discard, &QPushButton::clicked, &dialog, [&] {
        choice.answer = RecoveryAnswer::Discard;
        dialog.accept();
    });
    layout->addWidget(buttons);
    dialog.exec();
    choice.index = list ? std::max(0, list->currentRow()) : 0;
    return choice;
}

// Scripted runs answer through the environment and say what was asked.
RecoveryChoice AskFromEnvironment(const QByteArray& answer, const std::vector<LeftJournal>& journals)
{
    std::fprintf(stderr, "ombrik: %s\n", RecoveryQuestionText(journals.front()).toUtf8().constData());
    RecoveryChoice choice;
    if (answer == "restore")
        choice.answer = RecoveryAnswer::Restore;
    else if (answer == "discard")
        choice.answer = RecoveryAnswer::Discard;
    return choice;
}

RecoveryChoice Ask(QWidget* parent, const std::vector<LeftJournal>& journals)
{
    if (QuestionSlot())
        return QuestionSlot()(parent, journals);
    const QByteArray answer = qgetenv("OMBRIK_RECOVERY_ANSWER").toLower();
    if (!answer.isEmpty())
        return AskFromEnvironment(answer, journals);
    return AskWithDialog(parent, journals);
}

} // namespace

QString RecoveryQuestionText(const LeftJournal& journal)
{
    return QObject::tr("%1 was closed before the changes to %2 were saved. Restore them?")
        .arg(QString::fromUtf8(kProductTitle), PhotoName(journal));
}

RecoveryQuestionHook SetRecoveryQuestionHook(RecoveryQuestionHook hook)
{
    std::swap(QuestionSlot(), hook);
    return hook;
}

RecoverySession::RecoverySession(CEditorDlg& window, std::string root) : m_window(window), m_root(std::move(root))
{
    m_journal = std::make_unique<RecoveryJournal>(m_root);
    QObject::connect(m_journal.get(), &RecoveryJournal::failed, &m_window, [this](const QString& why) {
        m_window.showPassingNotice(QObject::tr("Recovery after a crash is off: %1.").arg(why));
    });
    m_window.canvas()->document().setObserver(m_journal.get());
}

RecoverySession::~RecoverySession()
{
    m_window.canvas()->document().setObserver(nullptr);
}

void RecoverySession::askAboutDamaged(const LeftJournal& journal, const std::string& problem)
{
    const QString text = QObject::tr("The changes to %1 kept after %2 was closed cannot be restored: %3.\n"
                                     "Discard them?")
                             .arg(PhotoName(journal), QString::fromUtf8(kProductTitle),
                                  QString::fromStdString(problem));
    if (AskYesNo(&m_window, text))
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
        const RecoveryChoice choice = Ask(&m_window, whole);
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
        if (recovered && !m_window.canvas()->restoreRecovered(std::move(*recovered)))
            problem = "the photo of its history position cannot be decoded";
        if (!problem.empty()) {
            askAboutDamaged(chosen, problem);
            continue;
        }
        // This editor's journal now holds the document; the old one goes once
        // that is on disk.
        m_journal->removeAfterWrite(chosen.folder);
        if (m_window.currentPanel() == Panel::Retouch)
            m_window.command(cmd::RetouchPanel);  // brush size for the photo's size
        m_window.sendMessage(WM_HISTORY_CHANGED, 0, 0);
        m_window.update();
        return true;
    }
    return false;
}

void RecoverySession::finish()
{
    if (m_window.isHidden())
        m_journal->discard();
    else
        m_journal->flush();
}

} // namespace ombrik
