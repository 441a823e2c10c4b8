#include "ui/message_box.h"

#include <QMessageBox>

namespace ombrik {

namespace {

InformationHook& InformationSlot()
{
    static InformationHook hook;
    return hook;
}

InformationHook& WarningSlot()
{
    static InformationHook hook;
    return hook;
}

QuestionHook& QuestionSlot()
{
    static QuestionHook hook;
    return hook;
}

} // namespace

void ShowInformation(QWidget* parent, const QString& text)
{
    if (InformationSlot()) {
        InformationSlot()(parent, text);
        return;
    }
    QMessageBox::information(parent, QString::fromUtf8(kProductTitle), text);
}

void ShowWarning(QWidget* parent, const QString& text)
{
    if (WarningSlot()) {
        WarningSlot()(parent, text);
        return;
    }
    QMessageBox::warning(parent, QString::fromUtf8(kProductTitle), text);
}

bool AskYesNo(QWidget* parent, const QString& text)
{
    if (QuestionSlot())
        return QuestionSlot()(parent, text);
    return QMessageBox::question(parent, QString::fromUtf8(kProductTitle), text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        == QMessageBox::Yes;
}

InformationHook SetInformationHook(InformationHook hook)
{
    std::swap(InformationSlot(), hook);
    return hook;
}

InformationHook SetWarningHook(InformationHook hook)
{
    std::swap(WarningSlot(), hook);
    return hook;
}

QuestionHook SetQuestionHook(QuestionHook hook)
{
    std::swap(QuestionSlot(), hook);
    return hook;
}

} // namespace ombrik
