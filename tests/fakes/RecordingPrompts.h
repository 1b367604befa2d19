#pragma once

#include "support/UserPrompts.h"

#include <QStringList>

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
    Choice AskYesNoCancel(const QString &message, const QString &detail) override
    {
        questions.append(message);
        details.append(detail);
        if (cancel)
            return Choice::Cancel;
        return answerYes ? Choice::Yes : Choice::No;
    }
    bool InputText(const QString &, const QString &prompt, QString &value) override
    {
        questions.append(prompt);
        if (inputAnswer.isNull())
            return false;
        value = inputAnswer;
        return true;
    }
    void BeginBusy() override { ++busyDepth, ++busyCount; }
    void EndBusy() override { --busyDepth; }

    QStringList errors, warnings, information, questions, details;
    bool answerYes = false;
    bool cancel = false; // the answer to Yes/No/Cancel questions, before answerYes
    QList<Answer> toAllAnswers;
    QString inputAnswer;
    int busyDepth = 0;
    int busyCount = 0;
};

} // namespace cardolin::testing
