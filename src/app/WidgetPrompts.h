#pragma once

#include "support/UserPrompts.h"

class QDialog;
class QWidget;

namespace cardolin::app {

// The desktop answers of UserPrompts: modal message boxes over the main window
// and the busy cursor.
class WidgetPrompts final : public UserPrompts
{
public:
    void SetParent(QWidget *parent) { m_parent = parent; }

    void ShowError(const QString &message) override;
    void ShowWarning(const QString &message) override;
    void ShowInformation(const QString &message) override;
    bool AskYesNo(const QString &message) override;
    Answer AskYesNoToAll(const QString &message) override;
    Choice AskYesNoCancel(const QString &message, const QString &detail,
                          Choice preselected = Choice::Yes) override;
    bool InputText(const QString &caption, const QString &prompt, QString &value) override;
    void OfferInputText(const QString &value) override;
    bool InputSignInCode(const QString &caption, const SignInPage &page, QString &code) override;
    void BeginBusy() override;
    void EndBusy() override;

private:
    // Runs a box that waits for a value, which fill puts into it when one is offered.
    bool ExecOffering(QDialog &dialog, std::function<void(const QString &)> fill);

    QWidget *m_parent = nullptr;
    // Fills the box that waits for a value, while one does.
    std::function<void(const QString &)> m_offer;
};

} // namespace cardolin::app
