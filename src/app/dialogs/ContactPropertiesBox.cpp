#include "app/dialogs/ContactPropertiesBox.h"

#include "app/dialogs/ContactPropertiesPages.h"
#include "app/dialogs/DialNumberBox.h"
#include "app/dialogs/DialogControls.h"
#include "app/dialogs/PostalAddressBox.h"
#include "contacts/ContactFields.h"
#include "online/LocationText.h"
#include "online/MapLinks.h"
#include "online/NoteLinks.h"
#include "platform/DesktopServices.h"
#include "support/Clock.h"
#include "support/QorLogFile.h"
#include "support/UserPrompts.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextBlock>
#include <QToolButton>
#include <QVBoxLayout>

namespace cardolin::app {

namespace {

// Where a field's control may be found: the field's name followed by one of these.
QList<const char *> ControlSuffixes(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Text: return {"Edit", "ButtonedEdit", "ComboBox", "RadioGroup"};
    case FieldKind::Date: return {"DateTimePicker"};
    case FieldKind::DateTime: return {"Label"}; // shown only
    case FieldKind::Integer: return {"Edit"};
    case FieldKind::Lines: return {"Memo"};
    case FieldKind::SortedList: return {"CheckListBox"};
    case FieldKind::Boolean:
    case FieldKind::Photo: break;
    }
    return {};
}

QFont FontOf(const TFontSpec &wanted, const QFont &fallback)
{
    QFont font = fallback;
    if (!wanted.Name.isEmpty())
        font.setFamily(wanted.Name);
    if (wanted.PointSize > 0)
        font.setPointSize(wanted.PointSize);
    return font;
}

QString Prefixed(const char *prefix, const char *rest)
{
    return QLatin1StringView(prefix) + QLatin1StringView(rest);
}

QList<QRadioButton *> RadioButtons(const QWidget *group)
{
    return group->findChildren<QRadioButton *>();
}

void LoadText(QWidget *widget, const QString &value)
{
    if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        edit->setText(value);
    } else if (auto *street = qobject_cast<StreetEdit *>(widget)) {
        street->SetStreet(value);
    } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        if (combo->isEditable())
            combo->setEditText(value);
        else
            combo->setCurrentIndex(combo->findData(value, Qt::UserRole, Qt::MatchFixedString)); // any letter case
    } else if (auto *group = qobject_cast<QGroupBox *>(widget)) {
        auto *buttons = group->findChild<QButtonGroup *>();
        buttons->setExclusive(false);
        for (QRadioButton *button : RadioButtons(group))
            button->setChecked(button->property("fieldValue").toString().compare(value, Qt::CaseInsensitive) == 0);
        buttons->setExclusive(true);
    }
}

// A list with nothing chosen keeps the record's value: a text the list does
// not know (typed in another program) is not thrown away by viewing it here.
void StoreText(const QWidget *widget, QString &value)
{
    if (auto *edit = qobject_cast<const QLineEdit *>(widget)) {
        value = edit->text();
    } else if (auto *street = qobject_cast<const StreetEdit *>(widget)) {
        value = street->Street();
    } else if (auto *combo = qobject_cast<const QComboBox *>(widget)) {
        if (combo->isEditable())
            value = combo->currentText();
        else if (combo->currentIndex() >= 0)
            value = combo->currentData().toString();
    } else if (auto *group = qobject_cast<const QGroupBox *>(widget)) {
        for (const QRadioButton *button : RadioButtons(group))
            if (button->isChecked())
                value = button->property("fieldValue").toString();
    }
}

} // namespace

TQorContactsPropertiesBox::TQorContactsPropertiesBox(TQorContacts &contacts, platform::DesktopServices &desktop,
                                                     QWidget *parent)
    : QDialog(parent), m_contacts(contacts), m_desktop(desktop), m_pages(new QTabWidget),
      m_buttons(OkCancelButtons(this))
{
    setObjectName(QStringLiteral("QorContactsPropertiesBox"));
    setFont(FontOf(contacts.Font(), font()));
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    ContactPropertiesPages::Build(m_pages, contacts);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(m_buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Control<QPlainTextEdit>(QStringLiteral("NotesMemo"))->setFont(FontOf(contacts.FontNotes(), font()));
    Control<QPlainTextEdit>(QStringLiteral("NotesMemo"))->viewport()->installEventFilter(this);
    connect(Control<QToolButton>(QStringLiteral("NotesInsertDateTimeMarkSpeedButton")), &QToolButton::clicked, this,
            &TQorContactsPropertiesBox::NotesInsertDateTimeMarkSpeedButtonClick);
    BindFields();
    for (const LocationPage &page : LocationPages())
        ConnectLocation(page);
    m_categories.list = Control<CheckListBox>(QStringLiteral("CategoriesCheckListBox"));
    m_categories.edit = Control<QLineEdit>(QStringLiteral("CategoriesButtonedEdit"));
    m_keywords.list = Control<CheckListBox>(QStringLiteral("KeywordsCheckListBox"));
    m_keywords.edit = Control<QLineEdit>(QStringLiteral("KeywordsButtonedEdit"));
    ConnectVocabulary(m_categories);
    ConnectVocabulary(m_keywords);
    m_categories.list->SetEntries(contacts.Categories());
    m_keywords.list->SetEntries(contacts.Keywords());
}

template <typename W> W *TQorContactsPropertiesBox::Control(const QString &name) const
{
    W *widget = findChild<W *>(name);
    Q_ASSERT_X(widget, "TQorContactsPropertiesBox", qPrintable(name));
    return widget;
}

void TQorContactsPropertiesBox::BindFields()
{
    for (const ContactField &field : ContactFields()) {
        for (const char *suffix : ControlSuffixes(field.kind)) {
            if (auto *widget = findChild<QWidget *>(field.name + QLatin1StringView(suffix))) {
                m_bindings.push_back({&field, widget});
                break;
            }
        }
    }
}

void TQorContactsPropertiesBox::ConnectLocation(const LocationPage &page)
{
    auto *country = Control<QComboBox>(Prefixed(page.prefix, "CountryRegionComboBox"));
    for (const LocationControl &phone : page.phones) {
        auto *edit = Control<QLineEdit>(QLatin1StringView(phone.name));
        auto *dial = edit->findChild<QAction *>(QLatin1StringView(phone.name) + QStringLiteral("DialButton"));
        connect(dial, &QAction::triggered, this, [this, edit, country, caption = phone.dialCaption] {
            edit->setText(DisplayDialNumber(edit->text(), country->currentText(), ContactPropertiesPages::tr(caption)));
        });
    }
    // The first of the four link boxes is the e-mail, the third the web site.
    m_emailBoxes.push_back(Control<QLineEdit>(QLatin1StringView(page.links[0].name)));
    m_websiteBoxes.push_back(Control<QLineEdit>(QLatin1StringView(page.links[2].name)));
    m_emailBoxes.back()->installEventFilter(this);
    m_websiteBoxes.back()->installEventFilter(this);

    const char *prefix = page.prefix;
    const char *swapWith = QLatin1StringView(prefix) == QLatin1StringView("Home") ? "Work" : "Home";
    connect(Control<QToolButton>(Prefixed(prefix, "SwapPostalAddressSpeedButton")), &QToolButton::clicked, this,
            [this, prefix, swapWith] { SwapPostalAddresses(prefix, swapWith); });
    connect(Control<QToolButton>(Prefixed(prefix, "EditPostalAddressSpeedButton")), &QToolButton::clicked, this,
            [this, &page] { EditPostalAddress(page); });
    connect(Control<QToolButton>(Prefixed(prefix, "ShowMapPostalAddressSpeedButton")), &QToolButton::clicked, this,
            [this, prefix] { ShowMapPostalAddress(prefix); });
}

void TQorContactsPropertiesBox::ConnectVocabulary(Vocabulary &vocabulary)
{
    // Enter there is taken by the filter: it adds, and must not reach OK.
    vocabulary.edit->installEventFilter(this);
    connect(vocabulary.edit->actions().constFirst(), &QAction::triggered, this,
            [this, &vocabulary] { AddVocabularyEntry(vocabulary); });
    vocabulary.list->installEventFilter(this);
}

const TQorContactsPropertiesBox::Vocabulary &TQorContactsPropertiesBox::VocabularyOf(const QWidget *list) const
{
    return list == m_categories.list ? m_categories : m_keywords;
}

TQorContactsPropertiesBox::Vocabulary &TQorContactsPropertiesBox::VocabularyOf(const QWidget *list)
{
    return list == m_categories.list ? m_categories : m_keywords;
}

void TQorContactsPropertiesBox::AddVocabularyEntry(Vocabulary &vocabulary)
{
    const QString text = vocabulary.edit->text();
    if (text.isEmpty())
        return;
    bool added = false;
    const int row = vocabulary.list->Ensure(text, &added);
    vocabulary.added = vocabulary.added || added;
    vocabulary.list->item(row)->setCheckState(Qt::Checked);
    vocabulary.edit->clear();
}

void TQorContactsPropertiesBox::Load(const TContactData &contact, bool Editable, const QString &Caption)
{
    for (const Binding &b : m_bindings) {
        switch (b.field->kind) {
        case FieldKind::Text:
            LoadText(b.widget, FieldRef<QString>(contact, *b.field));
            break;
        case FieldKind::Date:
            static_cast<OptionalDateEdit *>(b.widget)->SetSerial(FieldRef<TDateTime>(contact, *b.field));
            break;
        case FieldKind::DateTime:
            static_cast<QLabel *>(b.widget)->setText(FormatBookkeepingTime(FieldRef<TDateTime>(contact, *b.field)));
            break;
        case FieldKind::Integer:
            static_cast<QSpinBox *>(b.widget)->setValue(FieldRef<int>(contact, *b.field)); // capped by its range
            break;
        case FieldKind::Lines:
            static_cast<QPlainTextEdit *>(b.widget)->setPlainText(FieldRef<QStringList>(contact, *b.field).join(u'\n'));
            break;
        case FieldKind::SortedList: {
            auto *list = static_cast<CheckListBox *>(b.widget);
            const QStringList entries = FieldRef<TSortedStringList>(contact, *b.field).Entries();
            list->SetChecked(entries);
            const QStringList shown = list->Entries();
            Vocabulary &vocabulary = VocabularyOf(list);
            vocabulary.unshown.clear();
            for (const QString &entry : entries)
                if (!shown.contains(entry, Qt::CaseInsensitive))
                    vocabulary.unshown.append(entry);
            break;
        }
        case FieldKind::Boolean:
        case FieldKind::Photo:
            break;
        }
    }
    setWindowTitle(!Caption.isEmpty() ? Caption : Editable ? tr("Edit Contact") : tr("Contact Properties"));
    m_buttons->button(QDialogButtonBox::Ok)->setVisible(Editable);
    // Viewing changes nothing, so there is nothing to cancel.
    m_buttons->button(QDialogButtonBox::Cancel)->setText(Editable ? tr("Cancel") : tr("Close"));
    SetControlsState(Editable); // before the cursors, which making an edit read-only resets
    for (const auto *boxes : {&m_emailBoxes, &m_websiteBoxes})
        for (QLineEdit *box : *boxes)
            box->setCursor(!Editable && !box->text().isEmpty() ? Qt::PointingHandCursor : Qt::IBeamCursor);
    m_pages->setCurrentIndex(0);
    if (Editable)
        Control<QLineEdit>(QStringLiteral("FirstNameEdit"))->setFocus();
    else
        m_buttons->button(QDialogButtonBox::Cancel)->setFocus();
}

void TQorContactsPropertiesBox::Store(TContactData &contact) const
{
    for (const Binding &b : m_bindings) {
        switch (b.field->kind) {
        case FieldKind::Text:
            StoreText(b.widget, FieldRef<QString>(contact, *b.field));
            break;
        case FieldKind::Date:
            FieldRef<TDateTime>(contact, *b.field) = static_cast<const OptionalDateEdit *>(b.widget)->Serial();
            break;
        case FieldKind::Integer:
            FieldRef<int>(contact, *b.field) = static_cast<const QSpinBox *>(b.widget)->value();
            break;
        case FieldKind::Lines:
            FieldRef<QStringList>(contact, *b.field) =
                MemoLines(static_cast<const QPlainTextEdit *>(b.widget)->toPlainText());
            break;
        case FieldKind::SortedList:
            // Entries the list could not show were never the user's to untick.
            FieldRef<TSortedStringList>(contact, *b.field).Assign(
                static_cast<const CheckListBox *>(b.widget)->CheckedEntries() + VocabularyOf(b.widget).unshown);
            break;
        case FieldKind::DateTime: // shown only
        case FieldKind::Boolean:
        case FieldKind::Photo:
            break;
        }
    }
}

TContactDialogResult TQorContactsPropertiesBox::Result(bool confirmed) const
{
    return {confirmed,
            m_categories.list->Entries(),
            m_categories.added,
            m_categories.deleted,
            m_keywords.list->Entries(),
            m_keywords.added,
            m_keywords.deleted};
}

void TQorContactsPropertiesBox::SetControlsState(bool Editable)
{
    // A read-only box drawn on the dialog's own background, so that it does not
    // look as if it could be typed in.
    QPalette readOnly = palette();
    readOnly.setColor(QPalette::Base, palette().color(QPalette::Window));
    const auto look = [&](QWidget *widget) {
        if (Editable)
            widget->setPalette(QPalette());
        else
            widget->setPalette(readOnly);
    };
    for (QLineEdit *edit : findChildren<QLineEdit *>()) {
        edit->setReadOnly(!Editable);
        look(edit);
        for (QAction *button : edit->actions())
            button->setEnabled(Editable);
    }
    look(Control<QPlainTextEdit>(QStringLiteral("NotesMemo")));
    for (StreetEdit *street : findChildren<StreetEdit *>()) {
        street->setReadOnly(!Editable);
        look(street);
    }
    for (QWidget *widget : findChildren<QWidget *>()) {
        if (qobject_cast<QComboBox *>(widget) || qobject_cast<OptionalDateEdit *>(widget)
            || qobject_cast<QSpinBox *>(widget) || qobject_cast<CheckListBox *>(widget)
            || qobject_cast<QGroupBox *>(widget))
            widget->setEnabled(Editable);
    }
    // The add boxes belong to the check lists: disabled, not only read-only.
    m_categories.edit->setEnabled(Editable);
    m_keywords.edit->setEnabled(Editable);
    Control<QPlainTextEdit>(QStringLiteral("NotesMemo"))->setReadOnly(!Editable);
    Control<QToolButton>(QStringLiteral("NotesInsertDateTimeMarkSpeedButton"))->setVisible(Editable);
    const bool maps = m_contacts.MapsProvider() != mpNone;
    for (const LocationPage &page : LocationPages()) {
        Control<QToolButton>(Prefixed(page.prefix, "SwapPostalAddressSpeedButton"))->setEnabled(Editable);
        Control<QToolButton>(Prefixed(page.prefix, "EditPostalAddressSpeedButton"))->setEnabled(Editable);
        Control<QToolButton>(Prefixed(page.prefix, "ShowMapPostalAddressSpeedButton"))->setEnabled(maps);
    }
}

QString TQorContactsPropertiesBox::DisplayDialNumber(const QString &DialNumber, const QString &CountryRegionHint,
                                                      const QString &Caption)
{
    const cardolin::DialNumber analysed = FormatDialNumber(DialNumber, CountryRegionHint);
    if (!analysed.conflictingCode.isEmpty())
        m_contacts.Prompts().ShowWarning(DialNumberConflictMessage(analysed, CountryRegionHint));
    TQorContactsDialNumberBox box(this);
    box.setFont(font());
    box.setWindowTitle(Caption);
    box.SetParts(analysed.parts);
    return RunDialog(box) == QDialog::Accepted ? box.ComposedNumber() : DialNumber;
}

void TQorContactsPropertiesBox::EditPostalAddress(const LocationPage &page)
{
    const char *p = page.prefix;
    StreetEdit *street = Control<StreetEdit>(Prefixed(p, "StreetEdit"));
    QLineEdit *poBox = Control<QLineEdit>(Prefixed(p, "POBoxEdit"));
    QLineEdit *city = Control<QLineEdit>(Prefixed(p, "CityEdit"));
    QLineEdit *postalCode = Control<QLineEdit>(Prefixed(p, "PostalCodeEdit"));
    QComboBox *state = Control<QComboBox>(Prefixed(p, "StateProvinceComboBox"));
    QComboBox *country = Control<QComboBox>(Prefixed(p, "CountryRegionComboBox"));

    TQorContactsPostalAddressBox box(this);
    box.setFont(font());
    box.SetMemoFont(FontOf(m_contacts.FontNotes(), font()));
    box.setWindowTitle(ContactPropertiesPages::tr(page.dialogCaption));
    box.SetFields({street->Street(), poBox->text(), city->text(), postalCode->text(), state->currentText(),
                   country->currentText()});
    if (RunDialog(box) != QDialog::Accepted)
        return;
    const PostalAddressFields fields = box.Fields();
    street->SetStreet(fields.street);
    poBox->setText(fields.poBox);
    city->setText(fields.city);
    postalCode->setText(fields.postalCode);
    state->setEditText(fields.stateProvince);
    country->setEditText(fields.country);
}

void TQorContactsPropertiesBox::SwapPostalAddresses(const char *prefix1, const char *prefix2)
{
    auto *street1 = Control<StreetEdit>(Prefixed(prefix1, "StreetEdit"));
    auto *street2 = Control<StreetEdit>(Prefixed(prefix2, "StreetEdit"));
    const QString street = street1->Street();
    street1->SetStreet(street2->Street());
    street2->SetStreet(street);
    for (const char *edit : {"POBoxEdit", "CityEdit", "PostalCodeEdit"})
        SwapEditCaptions(Control<QLineEdit>(Prefixed(prefix1, edit)), Control<QLineEdit>(Prefixed(prefix2, edit)));
    for (const char *combo : {"StateProvinceComboBox", "CountryRegionComboBox"})
        SwapComboBoxCaptions(Control<QComboBox>(Prefixed(prefix1, combo)),
                             Control<QComboBox>(Prefixed(prefix2, combo)));
}

void TQorContactsPropertiesBox::SwapEditCaptions(QLineEdit *Edit1, QLineEdit *Edit2)
{
    const QString text = Edit1->text();
    Edit1->setText(Edit2->text());
    Edit2->setText(text);
}

void TQorContactsPropertiesBox::SwapComboBoxCaptions(QComboBox *ComboBox1, QComboBox *ComboBox2)
{
    const QString text = ComboBox1->currentText();
    ComboBox1->setEditText(ComboBox2->currentText());
    ComboBox2->setEditText(text);
}

void TQorContactsPropertiesBox::ShowMapPostalAddress(const char *prefix)
{
    const QString address = BuildAddressText(Control<StreetEdit>(Prefixed(prefix, "StreetEdit"))->Street(),
                                             Control<QLineEdit>(Prefixed(prefix, "CityEdit"))->text(),
                                             Control<QComboBox>(Prefixed(prefix, "StateProvinceComboBox"))->currentText(),
                                             Control<QLineEdit>(Prefixed(prefix, "PostalCodeEdit"))->text(),
                                             Control<QComboBox>(Prefixed(prefix, "CountryRegionComboBox"))->currentText());
    Open(BuildMapsAddress(m_contacts.MapsProvider(), address));
}

void TQorContactsPropertiesBox::NotesInsertDateTimeMarkSpeedButtonClick()
{
    auto *memo = Control<QPlainTextEdit>(QStringLiteral("NotesMemo"));
    const QString mark = FormatBookkeepingTime(DateTimeToSerial(m_contacts.GetClock().NowUtc()));
    QStringList lines = MemoLines(memo->toPlainText());
    lines.append(mark);
    memo->setPlainText(lines.join(u'\n'));
    memo->moveCursor(QTextCursor::End);
}

void TQorContactsPropertiesBox::NotesMemoDblClick(const QString &line)
{
    if (const QString url = ExtractURL(line); !url.isEmpty())
        Open(url);
    else if (const QString email = ExtractEmailAddress(line); !email.isEmpty())
        Open(QStringLiteral("mailto: ") + email);
    else if (const QString account = ExtractSkypeAccount(line); !account.isEmpty())
        Open(QStringLiteral("callto:") + account);
}

QString TQorContactsPropertiesBox::ExtractURL(const QString &AString)
{
    return cardolin::ExtractURL(AString);
}

QString TQorContactsPropertiesBox::ExtractEmailAddress(const QString &AString)
{
    return cardolin::ExtractEmailAddress(AString);
}

QString TQorContactsPropertiesBox::ExtractSkypeAccount(const QString &AString)
{
    return cardolin::ExtractSkypeAccount(AString);
}

bool TQorContactsPropertiesBox::Open(const QString &address)
{
    // An address the desktop cannot handle does nothing visible.
    return !address.isEmpty() && m_desktop.OpenAddress(address);
}

bool TQorContactsPropertiesBox::OpenLinkBox(QLineEdit *box)
{
    if (box->text().isEmpty())
        return false;
    const bool email = std::find(m_emailBoxes.begin(), m_emailBoxes.end(), box) != m_emailBoxes.end();
    return Open(email ? QStringLiteral("mailto: ") + box->text() : box->text());
}

bool TQorContactsPropertiesBox::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == m_categories.edit || watched == m_keywords.edit) {
        const int key = type == QEvent::KeyPress ? static_cast<QKeyEvent *>(event)->key() : 0;
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            AddVocabularyEntry(watched == m_categories.edit ? m_categories : m_keywords);
            return true;
        }
    } else if (auto *box = qobject_cast<QLineEdit *>(watched)) {
        if (type == QEvent::MouseButtonDblClick
            || (type == QEvent::MouseButtonRelease && box->cursor().shape() == Qt::PointingHandCursor))
            OpenLinkBox(box);
    } else if (auto *list = qobject_cast<CheckListBox *>(watched)) {
        if (type == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete
            && list->currentItem()) {
            delete list->takeItem(list->currentRow());
            VocabularyOf(list).deleted = true;
            return true;
        }
    } else if (type == QEvent::MouseButtonDblClick) {
        auto *memo = Control<QPlainTextEdit>(QStringLiteral("NotesMemo"));
        if (watched == memo->viewport()) {
            const QPoint at = static_cast<QMouseEvent *>(event)->position().toPoint();
            NotesMemoDblClick(memo->cursorForPosition(at).block().text());
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString TQorContactsPropertiesBox::FormatBookkeepingTime(TDateTime utc)
{
    if (utc == 0)
        return QStringLiteral("-");
    const QDateTime local = SerialToUtc(utc).toLocalTime();
    const QLocale locale = QLocale::system();
    if (local.time() == QTime(0, 0))
        return locale.toString(local.date(), QLocale::ShortFormat);
    return locale.toString(local, TQorLogFile::DefaultDateTimeFormat());
}

} // namespace cardolin::app
