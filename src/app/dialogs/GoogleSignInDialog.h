#pragma once

#include "support/UserPrompts.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace cardolin::app {

// Asks for the code of a Google sign-in. The sign-in page's address is shown
// with buttons to copy it and to open it, so that a user whose browser did not
// open (or runs elsewhere) can still sign in. The code is typed or pasted, or
// filled in when the browser hands it back to the program.
class GoogleSignInDialog : public QDialog
{
    Q_OBJECT
public:
    GoogleSignInDialog(const QString &caption, const UserPrompts::SignInPage &page, QWidget *parent = nullptr);

    QString Code() const;
    void SetCode(const QString &code);

    QLineEdit *AddressEdit() const { return m_address; }
    QLineEdit *CodeEdit() const { return m_code; }
    QPushButton *CopyButton() const { return m_copy; }
    QPushButton *OpenButton() const { return m_open; }
    // What the last Copy or Open did, for the user.
    QString NoteText() const;

private:
    void Copy();
    void Open();

    UserPrompts::SignInPage m_page;
    QLineEdit *m_address = nullptr;
    QLineEdit *m_code = nullptr;
    QPushButton *m_copy = nullptr;
    QPushButton *m_open = nullptr;
    QPushButton *m_ok = nullptr;
    QLabel *m_note = nullptr;
};

} // namespace cardolin::app
