#include "ui/message_box.h"

#include <QCoreApplication>
#include <QAbstractButton>
#include <QMessageBox>

namespace ombrik {

QString ReasonText(const std::string& reason)
{
    return QCoreApplication::translate("Reasons", reason.c_str());
}

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

AnswerHook& AnswerSlot()
{
    static AnswerHook hook;
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

Answer AskYesNoCancel(QWidget* parent, const QString& text, const QString& yesText, const QString& noText)
{
    if (AnswerSlot())
        return AnswerSlot()(parent, text);
    if (QuestionSlot())
        return QuestionSlot()(parent, text) ? Answer::Yes : Answer::No;
    QMessageBox box(QMessageBox::Information, QString::fromUtf8(kProductTitle), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    if (!yesText.isEmpty())
        box.button(QMessageBox::Yes)->setText(yesText);
    if (!noText.isEmpty())
        box.button(QMessageBox::No)->setText(noText);
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    if (clicked == box.button(QMessageBox::Yes))
        return Answer::Yes;
    if (clicked == box.button(QMessageBox::No))
        return Answer::No;
    return Answer::Cancel;
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

AnswerHook SetYesNoCancelHook(AnswerHook hook)
{
    std::swap(AnswerSlot(), hook);
    return hook;
}

} // namespace ombrik
