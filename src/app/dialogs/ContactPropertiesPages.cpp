#include "app/dialogs/ContactPropertiesPages.h"

#include "app/dialogs/DialogControls.h"
#include "contacts/QorContacts.h"
#include "contacts/ReferenceTables.h"
#include "online/PostalAddressText.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace cardolin::app {

namespace {

QString Name(const char *prefix, const char *rest)
{
    return QLatin1StringView(prefix) + QLatin1StringView(rest);
}

// Adds labelled controls to a form, each named so the dialog finds it.
class Form
{
public:
    explicit Form(QFormLayout *layout) : m_layout(layout)
    {
        m_layout->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    }

    template <typename W> W *Add(const QString &name, const QString &caption, W *widget)
    {
        widget->setObjectName(name);
        auto *label = new QLabel(caption);
        label->setBuddy(widget);
        label->setObjectName(name + QStringLiteral("Label"));
        m_layout->addRow(label, widget);
        return widget;
    }
    QLineEdit *Edit(const QString &name, const QString &caption) { return Add(name, caption, new QLineEdit); }
    QComboBox *Combo(const QString &name, const QString &caption, const QStringList &items)
    {
        auto *combo = new QComboBox;
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->addItems(items);
        combo->setCurrentIndex(-1);
        return Add(name, caption, combo);
    }
    // A fixed list: the items show translated, the field keeps the untranslated text.
    QComboBox *List(const QString &name, const QString &caption, std::initializer_list<const char *> items)
    {
        auto *combo = new QComboBox;
        for (const char *item : items)
            combo->addItem(QCoreApplication::translate("TQorContactsPropertiesBox", item), QString::fromLatin1(item));
        combo->setCurrentIndex(-1);
        return Add(name, caption, combo);
    }
    OptionalDateEdit *Date(const QString &name, const QString &caption)
    {
        return Add(name, caption, new OptionalDateEdit);
    }
    void Row(QWidget *widget) { m_layout->addRow(widget); }

private:
    QFormLayout *m_layout;
};

QStringList Sorted(QStringList items)
{
    items.sort(Qt::CaseInsensitive);
    return items;
}

QToolButton *SpeedButton(const char *name, const QString &hint, const QIcon &icon)
{
    auto *button = new QToolButton;
    button->setObjectName(QLatin1StringView(name));
    button->setToolTip(hint);
    button->setIcon(icon);
    button->setAutoRaise(true);
    button->setIconSize(QSize(20, 20));
    return button;
}

// Two forms side by side whose boxes leave room for a full address or number.
QWidget *Columns(QLayout *left, QLayout *right)
{
    auto *page = new QWidget;
    for (QLayout *column : {left, right})
        for (int i = 0; i < column->count(); ++i)
            if (QWidget *field = column->itemAt(i)->widget(); field && !qobject_cast<QLabel *>(field))
                field->setMinimumWidth(220);
    auto *columns = new QHBoxLayout(page);
    columns->addLayout(left, 1);
    columns->addSpacing(12);
    columns->addLayout(right, 1);
    return page;
}

} // namespace

const std::array<LocationPage, 3> &LocationPages()
{
    static const std::array<LocationPage, 3> pages{{
        {"Work",
         QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Work"),
         {{{"WorkPhoneButtonedEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Work phone :"),
            QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Work Phone")},
           {"WorkFaxButtonedEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Work fax :"),
            QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Work Fax")},
           {"WorkMobilePhoneButtonedEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Work mobile phone :"),
            QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Work Mobile Phone")},
           {"WorkPagerButtonedEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Work pager :"),
            QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Work Pager")}}},
         {{{"WorkEmailEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Work e-mail :")},
           {"WorkIMEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Work IM :")},
           {"WorkWebsiteEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Work website :")},
           {"WorkLocationEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Work location :")}}},
         QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Swap work and home postal addresses"),
         QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Edit work postal address"),
         QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Show map for work postal address"),
         QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Work Postal Address")},
        {"Home",
         QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Personal"),
         {{{"HomePhoneButtonedEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Home phone :"),
            QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Home Phone")},
           {"HomeFaxButtonedEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Home fax :"),
            QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Home Fax")},
           {"PersonalMobilePhoneButtonedEdit",
            QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Personal mobile phone :"),
            QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Personal Mobile Phone")},
           {"PersonalPagerButtonedEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Personal pager :"),
            QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Personal Pager")}}},
         {{{"PersonalEmailEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Personal e-mail :")},
           {"PersonalIMEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Personal IM :")},
           {"PersonalWebsiteEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Personal website :")},
           {"HomeLocationEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Home location :")}}},
         QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Swap home and work postal addresses"),
         QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Edit home postal address"),
         QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Show map for home postal address"),
         QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Home Postal Address")},
        {"Other",
         QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Other"),
         {{{"OtherPhoneButtonedEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Other phone :"),
            QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Other Phone")},
           {"OtherFaxButtonedEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Other fax :"),
            QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Other Fax")},
           {"OtherMobilePhoneButtonedEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Other mobile phone :"),
            QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Other Mobile Phone")},
           {"OtherPagerButtonedEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Other pager :"),
            QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Other Pager")}}},
         {{{"OtherEmailEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Other e-mail :")},
           {"OtherIMEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Other IM :")},
           {"OtherWebsiteEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Other website :")},
           {"OtherLocationEdit", QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Other location :")}}},
         QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Swap other and home postal addresses"),
         QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Edit other postal address"),
         QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Show map for other postal address"),
         QT_TRANSLATE_NOOP("TQorContactsPropertiesBox", "Other Postal Address")},
    }};
    return pages;
}

void ContactPropertiesPages::Build(QTabWidget *pages, const TQorContacts &contacts)
{
    pages->addTab(ContactPage(contacts), tr("Contact"));
    for (const LocationPage &page : LocationPages())
        pages->addTab(LocationTab(page), tr(page.title));
    pages->addTab(NotesPage(), tr("Notes"));
    pages->addTab(AttributesPage(), tr("Attributes"));
}

QWidget *ContactPropertiesPages::ContactPage(const TQorContacts &contacts)
{
    auto *fields = new QFormLayout;
    Form form(fields);
    form.Combo(QStringLiteral("TitleComboBox"), tr("Title :"), contacts.Titles());
    form.Edit(QStringLiteral("FirstNameEdit"), tr("First name :"));
    form.Edit(QStringLiteral("MiddleNameEdit"), tr("Middle name :"));
    form.Edit(QStringLiteral("LastNameEdit"), tr("Last name :"));
    form.Combo(QStringLiteral("SuffixComboBox"), tr("Suffix :"), contacts.Suffixes());
    form.Edit(QStringLiteral("InitialsEdit"), tr("Initials :"));
    form.Edit(QStringLiteral("NicknameEdit"), tr("Nickname :"));
    form.List(QStringLiteral("PreferredComboBox"), tr("Preferred :"),
              {QT_TR_NOOP("None"), QT_TR_NOOP("Work"), QT_TR_NOOP("Personal"), QT_TR_NOOP("Other")});
    form.Combo(QStringLiteral("LanguageComboBox"), tr("Language :"), LanguageNames());
    form.Date(QStringLiteral("LastVisitDateTimePicker"), tr("Last visit :"));
    auto *visits = form.Add(QStringLiteral("VisitCountEdit"), tr("Visit count :"), new QSpinBox);
    visits->setRange(0, 1000);

    auto *picture = new QLabel;
    picture->setObjectName(QStringLiteral("PictureImage"));
    picture->setFrameShape(QFrame::StyledPanel);
    picture->setFixedSize(96, 112);
    auto *right = new QVBoxLayout;
    right->addWidget(picture);
    right->addStretch();
    auto *page = new QWidget;
    auto *columns = new QHBoxLayout(page);
    columns->addLayout(fields, 1);
    columns->addSpacing(12);
    columns->addLayout(right);
    return page;
}

QWidget *ContactPropertiesPages::LocationTab(const LocationPage &page)
{
    const char *p = page.prefix;
    auto *leftFields = new QFormLayout;
    Form left(leftFields);
    if (QLatin1StringView(p) == QLatin1StringView("Work")) {
        left.Edit(QStringLiteral("CompanyEdit"), tr("Company :"));
        left.Edit(QStringLiteral("DepartmentEdit"), tr("Department :"));
        left.Edit(QStringLiteral("JobTitleEdit"), tr("Job title :"));
        left.Edit(QStringLiteral("RoleEdit"), tr("Role :"));
    }
    left.Add(Name(p, "StreetEdit"), tr("Street :"), new StreetEdit);
    left.Edit(Name(p, "POBoxEdit"), tr("PO box :"));
    left.Edit(Name(p, "CityEdit"), tr("City :"));
    left.Edit(Name(p, "PostalCodeEdit"), tr("Postal code :"));
    left.Combo(Name(p, "StateProvinceComboBox"), tr("State/province :"), StateProvinceCodes());
    left.Combo(Name(p, "CountryRegionComboBox"), tr("Country/region :"), Sorted(CountryNames()));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SpeedButton(qPrintable(Name(p, "SwapPostalAddressSpeedButton")), tr(page.swapHint),
                                   GlyphIcon(QStringLiteral("\u21C4"))));
    buttons->addWidget(SpeedButton(qPrintable(Name(p, "EditPostalAddressSpeedButton")), tr(page.editHint),
                                   GlyphIcon(QStringLiteral("\u270E"))));
    buttons->addWidget(
        SpeedButton(qPrintable(Name(p, "ShowMapPostalAddressSpeedButton")), tr(page.mapHint), MapPinIcon()));
    leftFields->addRow(buttons);

    auto *rightFields = new QFormLayout;
    Form right(rightFields);
    for (const LocationControl &phone : page.phones) {
        QLineEdit *edit = right.Edit(QLatin1StringView(phone.name), tr(phone.caption));
        AddEditButton(edit, GlyphIcon(QStringLiteral("\u260E")), tr("Dial number"),
                      QLatin1StringView(phone.name) + QStringLiteral("DialButton"));
    }
    for (const LocationControl &link : page.links)
        right.Edit(QLatin1StringView(link.name), tr(link.caption));
    if (QLatin1StringView(p) == QLatin1StringView("Home")) {
        left.List(QStringLiteral("GenderComboBox"), tr("Gender :"),
                  {QT_TR_NOOP("Unspecified"), QT_TR_NOOP("Male"), QT_TR_NOOP("Female")});
        left.Date(QStringLiteral("BirthdayDateTimePicker"), tr("Birthday :"));
        left.Edit(QStringLiteral("SignificantOtherEdit"), tr("Significant other :"));
        left.Date(QStringLiteral("AnniversaryDateTimePicker"), tr("Anniversary :"));
    }
    return Columns(leftFields, rightFields);
}

QWidget *ContactPropertiesPages::NotesPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *memo = new QPlainTextEdit;
    memo->setObjectName(QStringLiteral("NotesMemo"));
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto *label = new QLabel(tr("Notes :"));
    label->setBuddy(memo);
    auto *mark = new QToolButton;
    mark->setObjectName(QStringLiteral("NotesInsertDateTimeMarkSpeedButton"));
    mark->setText(tr("Insert date/time mark"));
    mark->setToolTip(tr("Insert date/time mark"));
    auto *header = new QHBoxLayout;
    header->addWidget(label);
    header->addStretch();
    header->addWidget(mark);
    layout->addLayout(header);
    layout->addWidget(memo);
    return page;
}

QWidget *ContactPropertiesPages::AttributesPage()
{
    auto *priority = new QGroupBox(tr("Priority"));
    priority->setObjectName(QStringLiteral("PriorityRadioGroup"));
    auto *priorityLayout = new QHBoxLayout(priority);
    auto *group = new QButtonGroup(priority);
    group->setObjectName(QStringLiteral("PriorityButtonGroup"));
    for (const char *caption : {QT_TR_NOOP("Low"), QT_TR_NOOP("Normal"), QT_TR_NOOP("High")}) {
        auto *button = new QRadioButton(tr(caption));
        button->setObjectName(QStringLiteral("Priority%1RadioButton").arg(QLatin1StringView(caption)));
        button->setProperty("fieldValue", QString::fromLatin1(caption));
        group->addButton(button);
        priorityLayout->addWidget(button);
    }

    auto *sensitivityForm = new QFormLayout;
    Form(sensitivityForm)
        .List(QStringLiteral("SensitivityComboBox"), tr("Sensitivity :"),
              {QT_TR_NOOP("Normal"), QT_TR_NOOP("Personal"), QT_TR_NOOP("Private"), QT_TR_NOOP("Confidential")});
    auto *top = new QHBoxLayout;
    top->addWidget(priority);
    top->addSpacing(12);
    top->addLayout(sensitivityForm, 1);

    const auto vocabulary = [](const char *name, const QString &caption, const QString &hint) {
        auto *column = new QVBoxLayout;
        auto *list = new CheckListBox;
        list->setObjectName(QLatin1StringView(name) + QStringLiteral("CheckListBox"));
        auto *label = new QLabel(caption);
        label->setBuddy(list);
        auto *edit = new QLineEdit;
        edit->setObjectName(QLatin1StringView(name) + QStringLiteral("ButtonedEdit"));
        edit->setPlaceholderText(hint);
        edit->setToolTip(hint);
        AddEditButton(edit, GlyphIcon(QStringLiteral("+")), tr("Add"),
                      QLatin1StringView(name) + QStringLiteral("AddButton"));
        column->addWidget(label);
        column->addWidget(list, 1);
        column->addWidget(edit);
        return column;
    };
    auto *lists = new QHBoxLayout;
    lists->addLayout(vocabulary("Categories", tr("Categories :"), tr("Type a category")));
    lists->addSpacing(12);
    lists->addLayout(vocabulary("Keywords", tr("Keywords :"), tr("Type a keyword")));

    auto *times = new QGridLayout;
    const std::pair<const char *, const char *> stamps[] = {{"Created", QT_TR_NOOP("Created :")},
                                                            {"Modified", QT_TR_NOOP("Modified :")},
                                                            {"Accessed", QT_TR_NOOP("Accessed :")},
                                                            {"Synced", QT_TR_NOOP("Synced :")}};
    int index = 0;
    for (const auto &[name, caption] : stamps) {
        auto *value = new QLabel(QStringLiteral("-"));
        value->setObjectName(QLatin1StringView(name) + QStringLiteral("Label"));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        const int row = index / 2, column = (index % 2) * 2;
        times->addWidget(new QLabel(tr(caption)), row, column, Qt::AlignRight);
        times->addWidget(value, row, column + 1);
        ++index;
    }
    times->setColumnStretch(1, 1);
    times->setColumnStretch(3, 1);

    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addLayout(lists, 1);
    layout->addLayout(times);
    return page;
}

} // namespace cardolin::app
