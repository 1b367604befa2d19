#pragma once

#include "contacts/ContactFormatting.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;

namespace cardolin::app {

// Edits a telephone number as its country, area code, local number and
// extension, showing the number they make as it is typed.
class TQorContactsDialNumberBox : public QDialog
{
    Q_OBJECT
public:
    explicit TQorContactsDialNumberBox(QWidget *parent = nullptr);

    void SetParts(const DialNumberParts &parts);
    DialNumberParts Parts() const;
    QString ComposedNumber() const;

    void CountryRegionComboBoxChange();

private:
    QComboBox *m_country;
    QLineEdit *m_areaCode;
    QLineEdit *m_localNumber;
    QLineEdit *m_extension;
    QLabel *m_formatted;
};

} // namespace cardolin::app
