#include "ui/recovery_dialog.h"

#include "ui/message_box.h"

#include <QDialog>
#include <QDialogButtonBox>
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
            list->addItem(DescribeJournal(j));
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

} // namespace

RecoveryQuestionHook SetRecoveryQuestionHook(RecoveryQuestionHook hook)
{
    std::swap(QuestionSlot(), hook);
    return hook;
}

RecoveryChoice AskAboutLeftJournals(QWidget* parent, const std::vector<LeftJournal>& journals)
{
    if (QuestionSlot())
        return QuestionSlot()(parent, journals);
    const QByteArray answer = qgetenv("OMBRIK_RECOVERY_ANSWER").toLower();
    if (!answer.isEmpty())
        return AskFromEnvironment(answer, journals);
    return AskWithDialog(parent, journals);
}

} // namespace ombrik
