#pragma once

#include "support/UserPrompts.h"

#include <QStringList>

#include <functional>

namespace cardolin::testing {

// Remembers every message and answers questions with a preset answer.
class RecordingPrompts final : public UserPrompts
{
public:
    void ShowError(const QString &message) override { errors.append(message); }
    void ShowWarning(const QString &message) override { warnings.append(message); }
    void ShowInformation(const QString &message) override { information.append(message); }
    bool AskYesNo(const QString &message) override
    {
        questions.append(message);
        return answerYes;
    }
    // Answers from toAllAnswers in turn, then as answerYes says.
    Answer AskYesNoToAll(const QString &message) override
    {
        questions.append(message);
        if (!toAllAnswers.isEmpty())
            return toAllAnswers.takeFirst();
        return answerYes ? Answer::Yes : Answer::No;
    }
    Choice AskYesNoCancel(const QString &message, const QString &detail, Choice preselected = Choice::Yes) override
    {
        questions.append(message);
        details.append(detail);
        preselections.append(preselected);
        if (cancel)
            return Choice::Cancel;
        return answerYes ? Choice::Yes : Choice::No;
    }
    // Runs whileInput first (what happens while the box waits); a value offered
    // meanwhile is confirmed when no inputAnswer is preset.
    bool InputText(const QString &, const QString &prompt, QString &value) override
    {
        questions.append(prompt);
        m_inputOpen = true;
        if (whileInput)
            whileInput();
        m_inputOpen = false;
        if (inputAnswer.isNull() && !offered.isEmpty()) {
            value = offered.last();
            return true;
        }
        if (inputAnswer.isNull())
            return false;
        value = inputAnswer;
        return true;
    }
    void OfferInputText(const QString &value) override
    {
        if (m_inputOpen)
            offered.append(value);
    }
    // Keeps the sign-in page, then asks for the code as InputText does.
    bool InputSignInCode(const QString &caption, const SignInPage &page, QString &code) override
    {
        signInPages.append(page);
        return InputText(caption, QStringLiteral("Code"), code);
    }
    void BeginBusy() override { ++busyDepth, ++busyCount; }
    void EndBusy() override { --busyDepth; }

    QStringList errors, warnings, information, questions, details;
    QList<Choice> preselections; // of the Yes/No/Cancel questions
    bool answerYes = false;
    bool cancel = false; // the answer to Yes/No/Cancel questions, before answerYes
    QList<Answer> toAllAnswers;
    QString inputAnswer;
    std::function<void()> whileInput;
    QStringList offered;
    QList<SignInPage> signInPages;
    int busyDepth = 0;
    int busyCount = 0;

private:
    bool m_inputOpen = false;
};

} // namespace cardolin::testing
