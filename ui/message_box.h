// Message boxes of the window family, titled "Ombrik Photo Editor". Each kind
// goes through a replaceable hook so that tests can answer without a modal loop.
#pragma once

#include "engine/product.h"

#include <QString>

#include <functional>
#include <string>

class QWidget;

namespace ombrik {

using InformationHook = std::function<void(QWidget* parent, const QString& text)>;
using QuestionHook = std::function<bool(QWidget* parent, const QString& text)>;

enum class Answer { Yes, No, Cancel };
using AnswerHook = std::function<Answer(QWidget* parent, const QString& text)>;

// A reason from below the window (a file that could not be read or written)
// in the person's language, when it is one of the marked texts.
QString ReasonText(const std::string& reason);

// An information box with an OK button.
void ShowInformation(QWidget* parent, const QString& text);
// A warning box with an OK button (failures).
void ShowWarning(QWidget* parent, const QString& text);
// A Yes/No question; true for Yes.
bool AskYesNo(QWidget* parent, const QString& text);
// A Yes/No/Cancel question with the information icon; Escape and closing the
// box answer Cancel. Without its own hook, a question hook answers Yes or No.
// The Yes and No buttons may carry other words ("Apply", "Discard").
Answer AskYesNoCancel(QWidget* parent, const QString& text, const QString& yesText = QString(),
                      const QString& noText = QString());

// Replace the boxes (empty function: the real boxes). Return the previous hook.
InformationHook SetInformationHook(InformationHook hook);
InformationHook SetWarningHook(InformationHook hook);
QuestionHook SetQuestionHook(QuestionHook hook);
AnswerHook SetYesNoCancelHook(AnswerHook hook);

} // namespace ombrik
