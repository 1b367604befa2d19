#pragma once

#include "online/PostalAddressText.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace cardolin::app {

// Edits a location's address fields beside the same address as a block of
// text, converting either way: a pasted block spreads over the fields.
class TQorContactsPostalAddressBox : public QDialog
{
    Q_OBJECT
public:
    explicit TQorContactsPostalAddressBox(QWidget *parent = nullptr);

    // Fills the fields and the text from them.
    void SetFields(const PostalAddressFields &fields);
    PostalAddressFields Fields() const;
    void SetMemoFont(const QFont &font);

    void LeftToRightSpeedButtonClick();
    void RightToLeftSpeedButtonClick();

private:
    void ShowFields(const PostalAddressFields &fields);

    QLineEdit *m_street;
    QLineEdit *m_poBox;
    QLineEdit *m_city;
    QLineEdit *m_postalCode;
    QComboBox *m_state;
    QComboBox *m_country;
    QPlainTextEdit *m_memo;
};

} // namespace cardolin::app
