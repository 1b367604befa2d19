#include "app/options/OptionsDialog.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace cardolin::app {

namespace {

using I = SettingId;

QVBoxLayout *PageLayout(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(10, 10, 10, 10);
    return layout;
}

QLabel *AddLabel(QVBoxLayout *layout, QWidget *parent, const QString &caption, QWidget *buddy)
{
    auto *label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    layout->addWidget(label);
    layout->addWidget(buddy);
    return label;
}

// Buttons in a row at the bottom of a page, pushed to its right.
void AddButtonRow(QVBoxLayout *layout, std::initializer_list<QPushButton *> buttons)
{
    layout->addStretch(1);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton *button : buttons)
        row->addWidget(button);
    layout->addLayout(row);
}

QPushButton *Button(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

void TForm2::BuildPages()
{
    AddPage(BuildPreferencesPage(), tr("Preferences"));
    AddPage(BuildAdvancedPage(), tr("Advanced"));
    AddPage(BuildDisplayPage(), tr("Display"));
    AddPage(BuildSyncPage(), tr("Sync"));
    AddPage(BuildFindPage(), tr("Find"));
    AddPage(BuildFormatPage(), tr("Format"));
    AddPage(BuildVocabularyPage(TVocabulary::Categories), tr("Categories"));
    AddPage(BuildVocabularyPage(TVocabulary::Keywords), tr("Keywords"));
    AddPage(BuildMarkerPage(TOptionsPage::BatchGeo, {}), tr("BatchGeo"));
    AddPage(BuildMarkerPage(TOptionsPage::GoogleEarth, GoogleEarthMarkerColors()), tr("Google Earth"));
    AddPage(BuildMarkerPage(TOptionsPage::ZeeMaps, ZeeMapsMarkerColors()), tr("ZeeMaps"));
    AddPage(BuildUpdatePage(), tr("Update"));
}

void TForm2::AddPage(QWidget *page, const QString &caption)
{
    m_pages->addWidget(page);
    m_pageList->addItem(caption);
}

QCheckBox *TForm2::AddCheckBox(QWidget *parent, SettingId id, const char *name, const QString &caption)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    m_bindings.push_back({id, box});
    return box;
}

QGroupBox *TForm2::AddRadioGroup(QWidget *parent, SettingId id, const char *name, const QString &caption,
                                 const QStringList &items)
{
    auto *group = new QGroupBox(caption, parent);
    group->setObjectName(QString::fromLatin1(name));
    auto *layout = new QVBoxLayout(group);
    auto *buttons = new QButtonGroup(group);
    buttons->setObjectName(QString::fromLatin1(name) + QStringLiteral("Items"));
    for (int item = 0; item < items.size(); ++item) {
        auto *radio = new QRadioButton(items[item], group);
        buttons->addButton(radio, item);
        layout->addWidget(radio);
    }
    m_bindings.push_back({id, buttons});
    return group;
}

QPushButton *TForm2::AddDefaultButton(QWidget *parent, TOptionsPage page, const char *name)
{
    QPushButton *button = Button(parent, name, tr("Default"));
    connect(button, &QPushButton::clicked, this, [this, page] { PageDefaultButtonClick(page); });
    return button;
}

QWidget *TForm2::BuildPreferencesPage()
{
    auto *page = new QWidget(m_pages);
    QVBoxLayout *layout = PageLayout(page);
    layout->addWidget(AddCheckBox(page, I::HandleDoubleClicksAsPropertiesDisplay,
                                  "HandleDoubleClicksAsPropertiesDisplayCheckBox",
                                  tr("Handle double-clicks as properties display")));
    layout->addWidget(AddCheckBox(page, I::SortAlphabetically, "SortAlphabeticallyCheckBox", tr("Sort alphabetically")));
    layout->addWidget(AddCheckBox(page, I::DisplayFindResultsFiltered, "DisplayFindResultsFilteredCheckBox",
                                  tr("Display find results filtered")));
    layout->addWidget(AddCheckBox(page, I::LinkGenderToTitle, "LinkGenderToTitleCheckBox", tr("Link gender to title")));
    layout->addWidget(AddCheckBox(page, I::ComputeInitialsAutomatically, "ComputeInitialsAutomaticallyCheckBox",
                                  tr("Compute initials automatically")));
    layout->addWidget(AddCheckBox(page, I::AssignContactsCategoryToContactsByDefault,
                                  "AssignContactsCategoryToContactsByDefaultCheckBox",
                                  tr("Assign \"Contacts\" category to contacts by default")));
    layout->addWidget(AddCheckBox(page, I::RememberColumnsSize, "RememberColumnsSizeCheckBox", tr("Remember columns size")));
    layout->addWidget(AddCheckBox(page, I::IconizeToTray, "IconizeToTrayCheckBox", tr("Iconize to tray")));
    layout->addStretch(1);
    return page;
}

QWidget *TForm2::BuildAdvancedPage()
{
    auto *page = new QWidget(m_pages);
    QVBoxLayout *layout = PageLayout(page);
    auto *groups = new QHBoxLayout;
    groups->addWidget(AddRadioGroup(page, I::EmailType, "EmailTypeRadioGroup", tr("E-mail Type"),
                                    {tr("Default Mail"), tr("Gmail")}));
    groups->addWidget(AddRadioGroup(page, I::Maps, "MapsRadioGroup", tr("Maps"), {tr("Google Maps"), tr("Bing Maps")}));
    layout->addLayout(groups);
    m_storeInUserFolder = AddCheckBox(page, I::StoreUserContactsBookInUserContactsFolder,
                                      "StoreUserContactsBookInUserContactsFolderCheckBox",
                                      tr("Store user contacts book in user contacts folder"));
    connect(m_storeInUserFolder, &QCheckBox::toggled, this,
            [this] { StoreUserContactsBookInUserContactsFolderCheckBoxClick(); });
    layout->addWidget(m_storeInUserFolder);
    m_library = new QLineEdit(page);
    m_library->setObjectName(QStringLiteral("CommonContactsBookLibraryButtonedEdit"));
    QAction *browse = m_library->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon), QLineEdit::TrailingPosition);
    browse->setObjectName(QStringLiteral("CommonContactsBookLibraryBrowseAction"));
    browse->setToolTip(tr("Browse"));
    connect(browse, &QAction::triggered, this, [this] { CommonContactsBookLibraryButtonedEditRightButtonClick(); });
    m_bindings.push_back({I::CommonContactsBookLibrary, m_library});
    AddLabel(layout, page, tr("Common contacts book library :"), m_library);
    layout->addWidget(AddCheckBox(page, I::UseDisplayNameAsWindowsUserAccountForStorage,
                                  "UseDisplayNameAsWindowsUserAccountForStorageCheckBox",
                                  tr("Use display name as user account for storage")));
    layout->addStretch(1);
    return page;
}

QWidget *TForm2::BuildDisplayPage()
{
    auto *page = new QWidget(m_pages);
    QVBoxLayout *layout = PageLayout(page);
    layout->addWidget(AddRadioGroup(page, I::DisplayType, "DisplayTypeRadioGroup", tr("Display Type"),
                                    {tr("First Last Name"), tr("First Middle Last Name"), tr("Full Name"),
                                     tr("Last First Name")}));
    auto *options = new QGroupBox(tr("Display Type Options"), page);
    auto *optionsLayout = new QVBoxLayout(options);
    optionsLayout->addWidget(AddCheckBox(options, I::DisplayReplaceAccentedChars, "DisplayReplaceAccentedCharsCheckBox",
                                         tr("Replace accented chars")));
    layout->addWidget(options);
    layout->addStretch(1);
    return page;
}

QWidget *TForm2::BuildSyncPage()
{
    auto *page = new QWidget(m_pages);
    QVBoxLayout *layout = PageLayout(page);
    layout->addWidget(AddRadioGroup(page, I::SyncAction, "SyncActionRadioGroup", tr("Sync Action"),
                                    {tr("Contribute"), tr("Echo"), tr("Synchronize")}));
    m_syncAction = std::get<QButtonGroup *>(m_bindings.back().Widget);
    connect(m_syncAction, &QButtonGroup::idClicked, this, [this] { SyncActionRadioGroupClick(); });
    auto *description = new QGroupBox(tr("Description"), page);
    auto *descriptionLayout = new QVBoxLayout(description);
    m_syncDescription = new QLabel(description);
    m_syncDescription->setObjectName(QStringLiteral("SyncActionDescriptionLabel"));
    m_syncDescription->setWordWrap(true);
    m_syncDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_syncDescription->setMinimumHeight(m_syncDescription->fontMetrics().lineSpacing() * 4);
    descriptionLayout->addWidget(m_syncDescription);
    layout->addWidget(description);
    // The user's own OAuth client of the Google Cloud console; none is built in.
    auto *client = new QGroupBox(tr("Google OAuth client"), page);
    auto *clientLayout = new QVBoxLayout(client);
    auto *clientId = new QLineEdit(client);
    clientId->setObjectName(QStringLiteral("GoogleClientIDEdit"));
    m_bindings.push_back({I::GoogleClientID, clientId});
    AddLabel(clientLayout, client, tr("Client ID :"), clientId);
    // Hidden even while typed, since someone may be looking at the screen; shown on request.
    auto *secret = new QLineEdit(client);
    secret->setObjectName(QStringLiteral("GoogleClientSecretEdit"));
    secret->setEchoMode(QLineEdit::Password);
    m_bindings.push_back({I::GoogleClientSecret, secret});
    auto *show = new QCheckBox(tr("Show"), client);
    show->setObjectName(QStringLiteral("ShowGoogleClientSecretCheckBox"));
    connect(show, &QCheckBox::toggled, secret,
            [secret](bool shown) { secret->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password); });
    auto *secretRow = new QWidget(client);
    auto *secretLayout = new QHBoxLayout(secretRow);
    secretLayout->setContentsMargins(0, 0, 0, 0);
    secretLayout->addWidget(secret, 1);
    secretLayout->addWidget(show);
    AddLabel(clientLayout, client, tr("Client secret :"), secretRow);
    layout->addWidget(client);
    layout->addStretch(1);
    return page;
}

QWidget *TForm2::BuildFindPage()
{
    auto *page = new QWidget(m_pages);
    QVBoxLayout *layout = PageLayout(page);
    auto *options = new QGroupBox(tr("Find Options"), page);
    auto *optionsLayout = new QVBoxLayout(options);
    optionsLayout->addWidget(AddCheckBox(options, I::FindCaseSensitive, "FindCaseSensitiveCheckBox", tr("Case sensitive")));
    optionsLayout->addWidget(AddCheckBox(options, I::FindIgnoreAccentedChars, "FindIgnoreAccentedCharsCheckBox",
                                         tr("Ignore accented chars")));
    layout->addWidget(options);
    layout->addStretch(1);
    return page;
}

QWidget *TForm2::BuildFormatPage()
{
    auto *page = new QWidget(m_pages);
    QVBoxLayout *layout = PageLayout(page);
    m_formatContacts = AddCheckBox(page, I::FormatContacts, "FormatContactsCheckBox", tr("Format contacts"));
    connect(m_formatContacts, &QCheckBox::toggled, this, [this] { FormatContactsCheckBoxClick(); });
    layout->addWidget(m_formatContacts);
    m_formatOptions = new QGroupBox(tr("Format Options"), page);
    m_formatOptions->setObjectName(QStringLiteral("FormatOptionsGroupBox"));
    auto *options = new QVBoxLayout(m_formatOptions);
    options->addWidget(AddCheckBox(m_formatOptions, I::FormatDialNumber, "FormatDialNumberCheckBox", tr("Dial number")));
    options->addWidget(AddCheckBox(m_formatOptions, I::FormatEmail, "FormatEmailCheckBox", tr("E-mail")));
    options->addWidget(AddCheckBox(m_formatOptions, I::FormatWebsite, "FormatWebsiteCheckBox", tr("Website")));
    options->addWidget(AddCheckBox(m_formatOptions, I::FormatLastNameUppercase, "FormatLastNameUppercaseCheckBox",
                                   tr("Last name uppercase")));
    layout->addWidget(m_formatOptions);
    layout->addStretch(1);
    return page;
}

QWidget *TForm2::BuildVocabularyPage(TVocabulary vocabulary)
{
    const bool categories = vocabulary == TVocabulary::Categories;
    const QString prefix = categories ? QStringLiteral("Categories") : QStringLiteral("Keywords");
    VocabularyPage &entry = m_vocabularies[Index(vocabulary)];
    auto *page = new QWidget(m_pages);
    QVBoxLayout *layout = PageLayout(page);
    entry.List = new QListWidget(page);
    entry.List->setObjectName(prefix + QStringLiteral("CheckListBox"));
    entry.List->setContextMenuPolicy(Qt::CustomContextMenu);
    AddLabel(layout, page, categories ? tr("Categories :") : tr("Keywords :"), entry.List);
    layout->setStretchFactor(entry.List, 1);

    entry.Menu = new QMenu(page);
    entry.Menu->setObjectName(prefix + QStringLiteral("PopupMenu"));
    entry.CheckAll = entry.Menu->addAction(tr("Check All"), this, [this, vocabulary] { CheckAllClick(vocabulary, true); });
    entry.CheckAll->setObjectName(prefix + QStringLiteral("CheckAll"));
    entry.UncheckAll =
        entry.Menu->addAction(tr("Uncheck All"), this, [this, vocabulary] { CheckAllClick(vocabulary, false); });
    entry.UncheckAll->setObjectName(prefix + QStringLiteral("UncheckAll"));
    connect(entry.List, &QWidget::customContextMenuRequested, this, [this, vocabulary](const QPoint &position) {
        PopupMenuPopup(vocabulary);
        QListWidget *list = CheckList(vocabulary);
        PopupMenu(vocabulary)->popup(list->viewport()->mapToGlobal(position));
    });

    const QByteArray name = prefix.toLatin1();
    entry.Learn = Button(page, (name + "LearnFromDataFileButton").constData(), tr("Learn From Data File"));
    QPushButton *edit = Button(page, (name + "EditButton").constData(), tr("Edit..."));
    QPushButton *reset = Button(page, (name + "DefaultButton").constData(), tr("Default"));
    connect(entry.Learn, &QPushButton::clicked, this, [this, vocabulary] { LearnFromDataFileButtonClick(vocabulary); });
    connect(edit, &QPushButton::clicked, this, [this, vocabulary] { EditButtonClick(vocabulary); });
    connect(reset, &QPushButton::clicked, this, [this, vocabulary] { DefaultButtonClick(vocabulary); });
    auto *row = new QHBoxLayout;
    row->addWidget(entry.Learn);
    row->addStretch(1);
    row->addWidget(edit);
    row->addWidget(reset);
    layout->addLayout(row);
    return page;
}

QWidget *TForm2::BuildMarkerPage(TOptionsPage kind, const QStringList &colors)
{
    const bool groups = kind == TOptionsPage::BatchGeo;
    const QString prefix = kind == TOptionsPage::BatchGeo      ? QStringLiteral("BatchGeo")
                           : kind == TOptionsPage::GoogleEarth ? QStringLiteral("GoogleEarth")
                                                               : QStringLiteral("ZeeMaps");
    const QString what = groups ? QStringLiteral("MarkerGroup") : QStringLiteral("MarkerColor");
    const QString captions[] = {
        groups ? tr("Low priority marker group :") : tr("Low priority marker color :"),
        groups ? tr("Normal priority marker group :") : tr("Normal priority marker color :"),
        groups ? tr("High priority marker group :") : tr("High priority marker color :"),
    };
    const char *priorities[] = {"Low", "Normal", "High"};
    auto *page = new QWidget(m_pages);
    QVBoxLayout *layout = PageLayout(page);
    const std::span<const SettingId> ids = PageSettings(kind);
    for (int i = 0; i < 3; ++i) {
        const QString name = prefix + QLatin1StringView(priorities[i]) + QStringLiteral("Priority") + what;
        QWidget *control = nullptr;
        if (groups) {
            auto *edit = new QLineEdit(page);
            edit->setObjectName(name + QStringLiteral("Edit"));
            m_bindings.push_back({ids[size_t(i)], edit});
            control = edit;
        } else {
            auto *list = new QComboBox(page);
            list->setObjectName(name + QStringLiteral("ComboBox"));
            list->addItems(colors);
            m_bindings.push_back({ids[size_t(i)], list});
            control = list;
        }
        AddLabel(layout, page, captions[i], control);
    }
    AddButtonRow(layout, {AddDefaultButton(page, kind, (prefix + QStringLiteral("DefaultButton")).toLatin1().constData())});
    return page;
}

QWidget *TForm2::BuildUpdatePage()
{
    auto *page = new QWidget(m_pages);
    QVBoxLayout *layout = PageLayout(page);
    m_useProxy = AddCheckBox(page, I::UseProxyServer, "UseProxyServerCheckBox", tr("Use proxy server"));
    connect(m_useProxy, &QCheckBox::toggled, this, [this] { UseProxyServerCheckBoxClick(); });
    layout->addWidget(m_useProxy);
    m_proxyAddress = new QLineEdit(page);
    m_proxyAddress->setObjectName(QStringLiteral("ProxyAddressEdit"));
    m_bindings.push_back({I::ProxyAddress, m_proxyAddress});
    AddLabel(layout, page, tr("Proxy address :"), m_proxyAddress);
    m_proxyPort = new QLineEdit(page);
    m_proxyPort->setObjectName(QStringLiteral("ProxyPortEdit"));
    m_proxyPort->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), m_proxyPort));
    m_proxyPort->setMaximumWidth(m_proxyPort->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 16);
    m_bindings.push_back({I::ProxyPort, m_proxyPort});
    AddLabel(layout, page, tr("Proxy port :"), m_proxyPort);
    // The system's proxy settings, where the desktop keeps them.
    QPushButton *system = Button(page, "UpdateIEButton", tr("System"));
    system->setToolTip(tr("Use the proxy settings of the system"));
    connect(system, &QPushButton::clicked, this, [this] { UpdateIEButtonClick(); });
    QPushButton *reset = Button(page, "UpdateDefaultButton", tr("Default"));
    connect(reset, &QPushButton::clicked, this, [this] { UpdateDefaultButtonClick(); });
    AddButtonRow(layout, {system, reset});
    return page;
}

} // namespace cardolin::app
