#include "app/dialogs/DialNumberBox.h"

#include "app/dialogs/DialogControls.h"
#include "contacts/ReferenceTables.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cardolin::app {

namespace {

QLineEdit *NamedEdit(const char *name)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(QLatin1StringView(name));
    return edit;
}

} // namespace

TQorContactsDialNumberBox::TQorContactsDialNumberBox(QWidget *parent)
    : QDialog(parent), m_country(new QComboBox), m_areaCode(NamedEdit("CityAreaCodeEdit")),
      m_localNumber(NamedEdit("LocalNumberEdit")), m_extension(NamedEdit("ExtensionEdit")),
      m_formatted(new QLabel(QStringLiteral("-")))
{
    setObjectName(QStringLiteral("QorContactsDialNumberBox"));
    setWindowTitle(tr("Mobile Phone"));
    m_country->setObjectName(QStringLiteral("CountryRegionComboBox"));
    m_country->setEditable(true);
    m_country->setInsertPolicy(QComboBox::NoInsert);
    QStringList countries = CountryNames();
    countries.sort(Qt::CaseInsensitive);
    m_country->addItems(countries);
    m_country->setMinimumContentsLength(24);
    m_formatted->setObjectName(QStringLiteral("FormattedDialNumberLabel"));
    m_formatted->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(tr("Country/region :"), m_country);
    form->addRow(tr("City/area code :"), m_areaCode);
    form->addRow(tr("Local number :"), m_localNumber);
    form->addRow(tr("Extension :"), m_extension);
    form->addRow(tr("Dial number :"), m_formatted);

    QDialogButtonBox *buttons = OkCancelButtons(this);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_country, &QComboBox::currentTextChanged, this, &TQorContactsDialNumberBox::CountryRegionComboBoxChange);
    for (QLineEdit *edit : {m_areaCode, m_localNumber, m_extension})
        connect(edit, &QLineEdit::textChanged, this, &TQorContactsDialNumberBox::CountryRegionComboBoxChange);
}

void TQorContactsDialNumberBox::SetParts(const DialNumberParts &parts)
{
    m_country->setCurrentIndex(m_country->findText(parts.country, Qt::MatchFixedString));
    m_country->setEditText(parts.country);
    m_areaCode->setText(parts.areaCode);
    m_localNumber->setText(parts.localNumber);
    m_extension->setText(parts.extension);
    CountryRegionComboBoxChange();
}

DialNumberParts TQorContactsDialNumberBox::Parts() const
{
    return {m_country->currentText(), m_areaCode->text(), m_localNumber->text(), m_extension->text()};
}

QString TQorContactsDialNumberBox::ComposedNumber() const
{
    return ComposeDialNumber(Parts());
}

void TQorContactsDialNumberBox::CountryRegionComboBoxChange()
{
    const QString number = ComposedNumber();
    m_formatted->setText(number.isEmpty() ? QStringLiteral("-") : number);
}

} // namespace cardolin::app
