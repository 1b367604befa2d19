#include "app/dialogs/PostalAddressBox.h"

#include "app/dialogs/DialogControls.h"
#include "contacts/ReferenceTables.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace cardolin::app {

namespace {

QLineEdit *NamedEdit(const char *name)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(QLatin1StringView(name));
    edit->setMinimumWidth(220);
    return edit;
}

QComboBox *NamedCombo(const char *name, QStringList items)
{
    auto *combo = new QComboBox;
    combo->setObjectName(QLatin1StringView(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    items.sort(Qt::CaseInsensitive);
    combo->addItems(items);
    return combo;
}

QToolButton *ArrowButton(const char *name, const QString &glyph, const QString &hint)
{
    auto *button = new QToolButton;
    button->setObjectName(QLatin1StringView(name));
    button->setIcon(GlyphIcon(glyph));
    button->setIconSize(QSize(20, 20));
    button->setToolTip(hint);
    return button;
}

} // namespace

TQorContactsPostalAddressBox::TQorContactsPostalAddressBox(QWidget *parent)
    : QDialog(parent), m_street(NamedEdit("StreetEdit")), m_poBox(NamedEdit("POBoxEdit")),
      m_city(NamedEdit("CityEdit")), m_postalCode(NamedEdit("PostalCodeEdit")),
      m_state(NamedCombo("StateProvinceComboBox", StateProvinceCodes())),
      m_country(NamedCombo("CountryRegionComboBox", CountryNames())), m_memo(new QPlainTextEdit)
{
    setObjectName(QStringLiteral("QorContactsPostalAddressBox"));
    setWindowTitle(tr("Postal Address"));
    m_memo->setObjectName(QStringLiteral("FormattedAddressMemo"));
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->setMinimumSize(260, 150);

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(tr("Street :"), m_street);
    form->addRow(tr("PO box :"), m_poBox);
    form->addRow(tr("City :"), m_city);
    form->addRow(tr("Postal code :"), m_postalCode);
    form->addRow(tr("State/province :"), m_state);
    form->addRow(tr("Country/region :"), m_country);

    QToolButton *toText = ArrowButton("LeftToRightSpeedButton", QStringLiteral("\u2192"),
                                      tr("Write the fields as text"));
    QToolButton *toFields = ArrowButton("RightToLeftSpeedButton", QStringLiteral("\u2190"),
                                        tr("Spread the text over the fields"));
    connect(toText, &QToolButton::clicked, this, &TQorContactsPostalAddressBox::LeftToRightSpeedButtonClick);
    connect(toFields, &QToolButton::clicked, this, &TQorContactsPostalAddressBox::RightToLeftSpeedButtonClick);
    auto *arrows = new QVBoxLayout;
    arrows->addStretch();
    arrows->addWidget(toText);
    arrows->addWidget(toFields);
    arrows->addStretch();

    auto *columns = new QHBoxLayout;
    columns->addLayout(form);
    columns->addLayout(arrows);
    columns->addWidget(m_memo, 1);

    QDialogButtonBox *buttons = OkCancelButtons(this);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TQorContactsPostalAddressBox::SetFields(const PostalAddressFields &fields)
{
    ShowFields(fields);
    LeftToRightSpeedButtonClick();
}

void TQorContactsPostalAddressBox::ShowFields(const PostalAddressFields &fields)
{
    m_street->setText(fields.street);
    m_poBox->setText(fields.poBox);
    m_city->setText(fields.city);
    m_postalCode->setText(fields.postalCode);
    m_state->setEditText(fields.stateProvince);
    m_country->setEditText(fields.country);
}

PostalAddressFields TQorContactsPostalAddressBox::Fields() const
{
    return {m_street->text(), m_poBox->text(),       m_city->text(),
            m_postalCode->text(), m_state->currentText(), m_country->currentText()};
}

void TQorContactsPostalAddressBox::SetMemoFont(const QFont &font)
{
    m_memo->setFont(font);
}

void TQorContactsPostalAddressBox::LeftToRightSpeedButtonClick()
{
    const QStringList lines = ComposePostalAddressLines(Fields());
    if (!lines.isEmpty())
        m_memo->setPlainText(lines.join(u'\n'));
}

void TQorContactsPostalAddressBox::RightToLeftSpeedButtonClick()
{
    PostalAddressFields fields = Fields();
    AnalysePostalAddressLines(MemoLines(m_memo->toPlainText()), CountryNames(), fields);
    ShowFields(fields);
}

} // namespace cardolin::app
