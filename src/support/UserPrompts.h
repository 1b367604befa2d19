#pragma once

#include <QString>

#include <functional>

namespace cardolin {

// Everything the core wants to tell or ask the user goes through here: the desktop
// program answers with dialogs, the command-line tool with stderr and its flags,
// tests with a recorder. The core never includes a widget header.
class UserPrompts
{
public:
    virtual ~UserPrompts() = default;

    virtual void ShowError(const QString &message) = 0;
    virtual void ShowWarning(const QString &message) = 0;
    virtual void ShowInformation(const QString &message) = 0;
    // Yes/No question; true means Yes.
    virtual bool AskYesNo(const QString &message) = 0;

    // A question asked once per item of a series, whose "to all" answers stand
    // for the rest of it (Yes, No, No to All, Yes to All). A front end without
    // such a dialog asks Yes/No.
    enum class Answer { Yes, No, NoToAll, YesToAll };
    virtual Answer AskYesNoToAll(const QString &message) { return AskYesNo(message) ? Answer::Yes : Answer::No; }
    // A question whose third answer leaves everything as it was; detail says
    // more, for instance which file; preselected is what Enter answers. A front
    // end without such a dialog asks Yes/No.
    enum class Choice { Yes, No, Cancel };
    virtual Choice AskYesNoCancel(const QString &message, const QString &detail, Choice preselected = Choice::Yes)
    {
        (void)detail, (void)preselected;
        return AskYesNo(message) ? Choice::Yes : Choice::No;
    }
    // Text input box; false when the user cancels, value is then unchanged.
    virtual bool InputText(const QString &caption, const QString &prompt, QString &value) = 0;
    // Puts value into the input box that InputText is showing, as if the user
    // had typed it; the user still confirms. Called by event handlers that run
    // while the box waits (the authorization's listener); nothing happens when
    // no box is open.
    virtual void OfferInputText(const QString &value) { Q_UNUSED(value) }
    // The page of a sign-in, which the box asking for its code offers to open
    // in the browser (again) or to copy, for a browser elsewhere.
    struct SignInPage
    {
        QString address;
        std::function<bool()> open;
        std::function<void()> copy;
    };
    // Asks for the code of a sign-in at page, as InputText does; a front end
    // without a box of its own asks for the code alone.
    virtual bool InputSignInCode(const QString &caption, const SignInPage &page, QString &code)
    {
        Q_UNUSED(page)
        return InputText(caption, QStringLiteral("Code"), code);
    }
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;
};

// Says nothing and answers No: the default until a front end installs its own.
class SilentPrompts final : public UserPrompts
{
public:
    void ShowError(const QString &) override {}
    void ShowWarning(const QString &) override {}
    void ShowInformation(const QString &) override {}
    bool AskYesNo(const QString &) override { return false; }
    bool InputText(const QString &, const QString &, QString &) override { return false; }
    void BeginBusy() override {}
    void EndBusy() override {}

    static SilentPrompts &Instance();
};

// Shows the busy cursor for the lifetime of the guard.
class BusyCursor
{
public:
    explicit BusyCursor(UserPrompts &prompts) : m_prompts(prompts) { m_prompts.BeginBusy(); }
    ~BusyCursor() { m_prompts.EndBusy(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    UserPrompts &m_prompts;
};

} // namespace cardolin
