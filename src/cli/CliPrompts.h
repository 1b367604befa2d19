#pragma once

#include "support/UserPrompts.h"

namespace cardolin::cli {

// What the desktop program shows in a box becomes one line on stderr, prefixed
// with its kind; questions take the answer given on the command line.
class CliPrompts final : public UserPrompts
{
public:
    explicit CliPrompts(bool answerYes) : m_answerYes(answerYes) {}

    void ShowError(const QString &message) override;
    void ShowWarning(const QString &message) override;
    void ShowInformation(const QString &message) override;
    bool AskYesNo(const QString &message) override;
    // --yes answers Yes to All, otherwise No to All: a series is answered once.
    Answer AskYesNoToAll(const QString &message) override;
    // Nobody can type an answer: --yes takes the value offered, otherwise cancel.
    bool InputText(const QString &caption, const QString &prompt, QString &value) override;
    void BeginBusy() override {}
    void EndBusy() override {}

    // Some core calls report failure only through a message, not a result.
    int ErrorCount() const { return m_errorCount; }

private:
    bool m_answerYes;
    int m_errorCount = 0;
};

} // namespace cardolin::cli
