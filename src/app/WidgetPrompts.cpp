#include "app/WidgetPrompts.h"

#include "app/dialogs/GoogleSignInDialog.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace cardolin::app {

namespace {

QString Title()
{
    return QApplication::applicationDisplayName();
}

} // namespace

void WidgetPrompts::ShowError(const QString &message)
{
    QMessageBox::critical(m_parent, Title(), message);
}

void WidgetPrompts::ShowWarning(const QString &message)
{
    QMessageBox::warning(m_parent, Title(), message);
}

void WidgetPrompts::ShowInformation(const QString &message)
{
    QMessageBox::information(m_parent, Title(), message);
}

bool WidgetPrompts::AskYesNo(const QString &message)
{
    return QMessageBox::question(m_parent, Title(), message, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

UserPrompts::Choice WidgetPrompts::AskYesNoCancel(const QString &message, const QString &detail, Choice preselected)
{
    QMessageBox box(QMessageBox::Question, Title(), message, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    m_parent);
    box.setInformativeText(detail);
    box.setDefaultButton(preselected == Choice::Yes  ? QMessageBox::Yes
                         : preselected == Choice::No ? QMessageBox::No
                                                     : QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel); // Escape and the close box keep everything
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Choice::Yes;
    case QMessageBox::No:
        return Choice::No;
    default:
        return Choice::Cancel;
    }
}

UserPrompts::Answer WidgetPrompts::AskYesNoToAll(const QString &message)
{
    const auto button = QMessageBox::question(
        m_parent, Title(), message, QMessageBox::Yes | QMessageBox::No | QMessageBox::NoToAll | QMessageBox::YesToAll);
    switch (button) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::YesToAll:
        return Answer::YesToAll;
    case QMessageBox::NoToAll:
        return Answer::NoToAll;
    default:
        return Answer::No;
    }
}

bool WidgetPrompts::InputText(const QString &caption, const QString &prompt, QString &value)
{
    // Kept while it runs, so that a value arriving by other means (the code
    // of a sign-in, say) can be put into it for the user to confirm.
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(value);
    const bool ok = ExecOffering(dialog, [&dialog](const QString &offered) { dialog.setTextValue(offered); });
    if (ok)
        value = dialog.textValue();
    return ok;
}

bool WidgetPrompts::ExecOffering(QDialog &dialog, std::function<void(const QString &)> fill)
{
    m_offer = std::move(fill);
    const bool ok = dialog.exec() == QDialog::Accepted;
    m_offer = nullptr;
    return ok;
}

void WidgetPrompts::OfferInputText(const QString &value)
{
    if (m_offer)
        m_offer(value);
}

bool WidgetPrompts::InputSignInCode(const QString &caption, const SignInPage &page, QString &code)
{
    GoogleSignInDialog dialog(caption, page, m_parent);
    dialog.SetCode(code);
    const bool ok = ExecOffering(dialog, [&dialog](const QString &offered) { dialog.SetCode(offered); });
    if (ok)
        code = dialog.Code();
    return ok;
}

void WidgetPrompts::BeginBusy()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void WidgetPrompts::EndBusy()
{
    QApplication::restoreOverrideCursor();
}

} // namespace cardolin::app
