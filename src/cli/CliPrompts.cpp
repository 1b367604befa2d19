#include "cli/CliPrompts.h"

#include "cli/Console.h"

namespace cardolin::cli {

namespace {

// A message the GUI lays out over several lines still makes one line here, so
// scripts can read stderr line by line.
void Say(QLatin1StringView kind, const QString &message)
{
    QString line = message;
    line.replace(QLatin1StringView("\r\n"), QLatin1StringView(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    WriteStderr(kind + QLatin1StringView(": ") + line + QLatin1Char('\n'));
}

QString Answered(const QString &message, bool yes)
{
    return message
           + (yes ? QStringLiteral(" (answered Yes)") : QStringLiteral(" (answered No; --yes answers Yes)"));
}

} // namespace

void CliPrompts::ShowError(const QString &message)
{
    ++m_errorCount;
    Say(QLatin1StringView("error"), message);
}

void CliPrompts::ShowWarning(const QString &message)
{
    Say(QLatin1StringView("warning"), message);
}

void CliPrompts::ShowInformation(const QString &message)
{
    Say(QLatin1StringView("information"), message);
}

bool CliPrompts::AskYesNo(const QString &message)
{
    Say(QLatin1StringView("information"), Answered(message, m_answerYes));
    return m_answerYes;
}

UserPrompts::Answer CliPrompts::AskYesNoToAll(const QString &message)
{
    Say(QLatin1StringView("information"),
        message + (m_answerYes ? QStringLiteral(" (answered Yes to All)")
                               : QStringLiteral(" (answered No to All; --yes answers Yes to All)")));
    return m_answerYes ? Answer::YesToAll : Answer::NoToAll;
}

bool CliPrompts::InputText(const QString &caption, const QString &prompt, QString & /*value*/)
{
    const QString question = caption.isEmpty() ? prompt : caption + QLatin1StringView(": ") + prompt;
    Say(QLatin1StringView("information"), Answered(question, m_answerYes));
    return m_answerYes;
}

} // namespace cardolin::cli
