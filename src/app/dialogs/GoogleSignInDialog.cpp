#include "app/dialogs/GoogleSignInDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cardolin::app {

namespace {

QLabel *WrappedLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

GoogleSignInDialog::GoogleSignInDialog(const QString &caption, const UserPrompts::SignInPage &page, QWidget *parent)
    : QDialog(parent), m_page(page)
{
    setObjectName(QStringLiteral("GoogleSignInDialog"));
    setWindowTitle(caption);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(WrappedLabel(tr("Sign in to your Google account in a web browser at this address, and allow "
                                      "access to your contacts:"),
                                   this));
    auto *addressRow = new QHBoxLayout;
    m_address = new QLineEdit(page.address, this);
    m_address->setObjectName(QStringLiteral("AddressEdit"));
    m_address->setReadOnly(true);
    m_address->setCursorPosition(0);
    addressRow->addWidget(m_address, 1);
    m_copy = new QPushButton(tr("&Copy"), this);
    m_copy->setObjectName(QStringLiteral("CopyButton"));
    m_copy->setAutoDefault(false);
    addressRow->addWidget(m_copy);
    m_open = new QPushButton(tr("&Open"), this);
    m_open->setObjectName(QStringLiteral("OpenButton"));
    m_open->setAutoDefault(false);
    addressRow->addWidget(m_open);
    layout->addLayout(addressRow);
    m_note = WrappedLabel(QString(), this);
    m_note->setObjectName(QStringLiteral("NoteLabel"));
    m_note->hide();
    layout->addWidget(m_note);
    layout->addWidget(WrappedLabel(tr("Once you have allowed access, the browser hands the code to this program and "
                                      "it appears below. If the browser runs on another computer, its last page "
                                      "cannot reach this one: copy the code from that page's address (the text "
                                      "after \"code=\", up to \"&\") and paste it here."),
                                   this));
    auto *form = new QFormLayout;
    m_code = new QLineEdit(this);
    m_code->setObjectName(QStringLiteral("CodeEdit"));
    form->addRow(tr("Co&de:"), m_code);
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setEnabled(false);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_copy, &QPushButton::clicked, this, &GoogleSignInDialog::Copy);
    connect(m_open, &QPushButton::clicked, this, &GoogleSignInDialog::Open);
    connect(m_code, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_ok->setEnabled(!text.trimmed().isEmpty()); });
    m_code->setFocus();
    setMinimumWidth(560);
}

QString GoogleSignInDialog::Code() const
{
    return m_code->text();
}

void GoogleSignInDialog::SetCode(const QString &code)
{
    m_code->setText(code);
}

QString GoogleSignInDialog::NoteText() const
{
    return m_note->isHidden() ? QString() : m_note->text();
}

void GoogleSignInDialog::Copy()
{
    if (m_page.copy)
        m_page.copy();
    m_note->setText(tr("The address has been copied: paste it into a web browser."));
    m_note->show();
}

void GoogleSignInDialog::Open()
{
    const bool opened = m_page.open && m_page.open();
    m_note->setText(opened ? tr("The address has been handed to the web browser.")
                           : tr("No web browser could be opened here: copy the address into a browser yourself."));
    m_note->show();
}

} // namespace cardolin::app
