#include "app/ContactMenu.h"

#include "app/ContactCommands.h"
#include "app/ContactListItems.h"
#include "contacts/QorContacts.h"
#include "contacts/ReferenceTables.h"
#include "online/WebLinks.h"

#include <QAction>
#include <QCollator>
#include <QMenu>

namespace cardolin::app {

using namespace Qt::Literals::StringLiterals;

namespace {

struct LinkItem
{
    const char *caption;
    int value;
};

// The picture of a category item, by the first word its name holds.
QIcon CategoryPicture(const QString &category)
{
    static const std::pair<const char *, TRowIcon> pictures[] = {
        {"Hotels", riHotel}, {"Restaurants", riRestaurant}, {"Wine", riWine}, {"Taxi", riTaxi},
        {"Doctors", riDoctor}, {"Medical", riDoctor},       {"Shops", riShop}, {"Starred", riStarred},
    };
    static const QList<QIcon> icons = ContactRowIcons();
    for (const auto &[word, icon] : pictures)
        if (category.contains(QLatin1StringView(word)))
            return icons.value(icon);
    return {};
}

QStringList Sorted(QStringList entries)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(entries.begin(), entries.end(), collator);
    return entries;
}

} // namespace

ContactMenu::ContactMenu(Environment environment, QWidget *parent)
    : QObject(parent), m_env(std::move(environment)), m_menu(new QMenu(parent))
{
    m_menu->setObjectName(u"PopupMenu1"_s);
    m_properties = AddAction(m_menu, u"Properties1"_s, tr("Properties"), &ContactCommands::Properties1Click);
    m_menu->addSeparator();
    BuildWebMenus();
    m_menu->addSeparator();
    m_assignCategory = AddSubMenu(m_menu, u"AssignCategoryToContacts1"_s, tr("Assign Category To Contact(s)"));
    m_clearCategory = AddSubMenu(m_menu, u"ClearCategoryFromContacts1"_s, tr("Clear Category From Contact(s)"));
    m_menu->addSeparator();
    m_assignKeyword = AddSubMenu(m_menu, u"AssignKeywordToContacts1"_s, tr("Assign Keyword To Contact(s)"));
    m_clearKeyword = AddSubMenu(m_menu, u"ClearKeywordFromContacts1"_s, tr("Clear Keyword From Contact(s)"));
    m_menu->addSeparator();
    BuildAttributeMenus();
    m_menu->addSeparator();
    m_clearSynced = AddAction(m_menu, u"ClearSyncedAttribute1"_s, tr("Clear Synced Attribute"),
                              &ContactCommands::ClearSyncedAttribute1Click);
    m_updateModified = AddAction(m_menu, u"UpdateModifiedAttribute1"_s, tr("Update Modified Attribute"),
                                 &ContactCommands::UpdateModifiedAttribute1Click);
    m_menu->addSeparator();
    BuildFileMenus();
    m_menu->addSeparator();
    m_clear = AddAction(m_menu, u"Clear1"_s, tr("Clear"), &ContactCommands::Clear1Click);
    m_menu->addSeparator();
    m_add = AddAction(m_menu, u"Add1"_s, tr("Add"), &ContactCommands::Add1Click);
    m_delete = AddAction(m_menu, u"Delete1"_s, tr("Delete"), &ContactCommands::Delete1Click);
    m_delete->setShortcut(QKeySequence::Delete);
    m_delete->setShortcutContext(Qt::WidgetShortcut); // shown only; the list handles the key
    m_derive = AddAction(m_menu, u"Derive1"_s, tr("Derive"), &ContactCommands::Derive1Click);
    m_menu->addSeparator();
    m_undo = AddAction(m_menu, u"Undo1"_s, tr("Undo"), &ContactCommands::Undo);
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = AddAction(m_menu, u"Redo1"_s, tr("Redo"), &ContactCommands::Redo);
    m_redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    connect(m_menu, &QMenu::aboutToShow, this, [this] { PopupMenu1Popup(); });
    UpdateUndoActions();
}

QAction *ContactMenu::AddAction(QMenu *menu, const QString &name, const QString &caption,
                                void (ContactCommands::*command)())
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    ContactCommands &commands = m_env.Commands;
    connect(action, &QAction::triggered, this, [this, &commands, command] {
        (commands.*command)();
        UpdateUndoActions();
    });
    return action;
}

QMenu *ContactMenu::AddSubMenu(QMenu *menu, const QString &name, const QString &caption)
{
    QMenu *sub = menu->addMenu(caption);
    sub->setObjectName(name);
    sub->menuAction()->setObjectName(name + u"Item"_s);
    return sub;
}

void ContactMenu::BuildWebMenus()
{
    ContactCommands &commands = m_env.Commands;
    const auto fill = [&](QMenu *menu, std::initializer_list<LinkItem> items, auto run) {
        for (const LinkItem &item : items) {
            if (!item.caption) {
                menu->addSeparator();
                continue;
            }
            QAction *action = menu->addAction(tr(item.caption));
            action->setData(item.value);
            connect(action, &QAction::triggered, this, [this, run, value = item.value] {
                const std::vector<TContactData *> selected = m_env.Selected();
                run(selected.empty() ? nullptr : selected.front(), value);
            });
        }
    };
    m_searchPeople = AddSubMenu(m_menu, u"SearchPeople1"_s, tr("Search People"));
    fill(m_searchPeople,
         {{"Biznik", snBiznik}, {"Facebook", snFacebook}, {"LinkedIn", snLinkedIn}, {"Naymz", snNaymz},
          {"Plaxo", snPlaxo}, {"Spoke", snSpoke}},
         [&commands](const TContactData *c, int v) { commands.SearchPeopleBySocialNetwork(c, TSocialNetwork(v)); });
    m_sendEmail = AddSubMenu(m_menu, u"SendEmail1"_s, tr("Send E-mail"));
    fill(m_sendEmail,
         {{"All", ltAll}, {"Preferred", ltPreferred}, {nullptr, 0}, {"Work", ltWork}, {"Personal", ltPersonal},
          {"Other", ltOther}},
         [&commands](const TContactData *c, int v) { commands.SendEmailByLocationType(c, TLocationType(v)); });
    m_showMap = AddSubMenu(m_menu, u"ShowMap1"_s, tr("Show Map"));
    fill(m_showMap, {{"Work", ltWork}, {"Home", ltHome}, {"Other", ltOther}},
         [&commands](const TContactData *c, int v) { commands.ShowMap(c, TLocationType(v)); });
    m_showWebsite = AddSubMenu(m_menu, u"ShowWebsite1"_s, tr("Show Website"));
    fill(m_showWebsite, {{"Work", ltWork}, {"Personal", ltPersonal}, {"Other", ltOther}},
         [&commands](const TContactData *c, int v) { commands.ShowWebsite(c, TLocationType(v)); });
    m_copyLocation = new QMenu(tr("Copy Location To Clipboard"), m_menu);
    m_copyLocation->setObjectName(u"CopyLocationToClipboard1"_s);
    m_copyLocation->menuAction()->setObjectName(u"CopyLocationToClipboard1Item"_s);
    fill(m_copyLocation, {{"Work", ltWork}, {"Home", ltHome}, {"Other", ltOther}},
         [&commands](const TContactData *, int v) { commands.CopyLocationToClipboard(TLocationType(v)); });
}

void ContactMenu::BuildAttributeMenus()
{
    struct Attribute
    {
        const char *name, *caption;
        QStringList values;
    };
    const Attribute attributes[] = {
        {"SetGender1", "Set Gender", {u"Unspecified"_s, u"Male"_s, u"Female"_s}},
        {"SetLanguage1", "Set Language", {}},
        {"SetPreferred1", "Set Preferred", {u"None"_s, u"Work"_s, u"Personal"_s, u"Other"_s}},
        {"SetPriority1", "Set Priority", {u"Low"_s, u"Normal"_s, u"High"_s}},
        {"SetSensitivity1", "Set Sensitivity", {u"Normal"_s, u"Personal"_s, u"Private"_s, u"Confidential"_s}},
    };
    for (int number = 0; number < int(std::size(attributes)); ++number) {
        const Attribute &attribute = attributes[number];
        QMenu *menu = AddSubMenu(m_menu, QLatin1StringView(attribute.name), tr(attribute.caption));
        menu->setProperty("attribute", number);
        m_attributeMenus.append(menu);
        // The caption is the value, copied as it stands.
        connect(menu, &QMenu::triggered, this, [this, number](QAction *action) {
            m_env.Commands.SetAttributePopupMenuClick(number, action->text().remove(u'&'));
            UpdateUndoActions();
        });
        for (const QString &value : attribute.values)
            menu->addAction(value);
    }
    m_setLanguage = m_attributeMenus.at(1);
}

void ContactMenu::BuildFileMenus()
{
    ContactCommands &commands = m_env.Commands;
    m_copyContacts = AddSubMenu(m_menu, u"CopyContactsToClipboard1"_s, tr("Copy Contact(s) To Clipboard"));
    for (const LinkItem &item : {LinkItem{"Work", ltWork}, LinkItem{"Personal", ltPersonal}, LinkItem{"Other", ltOther}})
        connect(m_copyContacts->addAction(tr(item.caption)), &QAction::triggered, this,
                [&commands, value = item.value] { commands.CopyContactsToClipboard(TLocationType(value)); });
    m_emailAs = AddSubMenu(m_menu, u"EmailContactAs1"_s, tr("E-mail Contact As..."));
    m_saveAs = AddSubMenu(m_menu, u"SaveContactsAs1"_s, tr("Save Contact(s) As..."));
    for (const auto &[caption, kind] : {std::pair{"LDIF", TContactFileKind::LDIF}, {"vCard", TContactFileKind::vCard}}) {
        connect(m_emailAs->addAction(tr(caption)), &QAction::triggered, this,
                [&commands, kind] { commands.EmailContactAs(kind); });
        connect(m_saveAs->addAction(tr(caption)), &QAction::triggered, this,
                [&commands, kind] { commands.SaveContactsAs(kind); });
    }
    m_menu->addSeparator();
    m_menu->addMenu(m_copyLocation);
}

void ContactMenu::FillVocabularyMenus(QMenu *assign, QMenu *clear, const QStringList &entries, bool pictures,
                                      void (ContactCommands::*assignCommand)(const QString &),
                                      void (ContactCommands::*clearCommand)(const QString &),
                                      void (ContactCommands::*clearAllCommand)(), const QString &clearAllCaption)
{
    assign->clear();
    clear->clear();
    ContactCommands &commands = m_env.Commands;
    connect(clear->addAction(clearAllCaption), &QAction::triggered, this, [this, &commands, clearAllCommand] {
        (commands.*clearAllCommand)();
        UpdateUndoActions();
    });
    clear->addSeparator();
    for (const QString &entry : Sorted(entries)) {
        const QIcon picture = pictures ? CategoryPicture(entry) : QIcon();
        for (auto [menu, command] : {std::pair{assign, assignCommand}, {clear, clearCommand}}) {
            QAction *action = menu->addAction(picture, entry);
            connect(action, &QAction::triggered, this, [this, &commands, command, entry] {
                (commands.*command)(entry);
                UpdateUndoActions();
            });
        }
    }
}

void ContactMenu::PopupMenu1Popup()
{
    const std::vector<TContactData *> selected = m_env.Selected();
    const bool one = selected.size() == 1, some = !selected.empty();
    const TContactData *contact = one ? selected.front() : nullptr;

    m_properties->setEnabled(one);
    const int image = one ? m_env.SelectedImageIndex() : -1;
    m_searchPeople->menuAction()->setEnabled(one && (image == riPerson || image == riMan || image == riWoman));
    for (QMenu *menu : {m_sendEmail, m_showMap, m_showWebsite, m_copyLocation})
        menu->menuAction()->setEnabled(one);
    EnableLinkItems(contact);
    for (QMenu *menu : {m_assignCategory, m_clearCategory, m_assignKeyword, m_clearKeyword, m_copyContacts, m_saveAs})
        menu->menuAction()->setEnabled(some);
    for (QMenu *menu : m_attributeMenus)
        menu->menuAction()->setEnabled(some);
    m_clearSynced->setEnabled(some);
    m_updateModified->setEnabled(some);
    m_emailAs->menuAction()->setEnabled(one && m_env.Commands.EmailTypeOption() == emDefaultMail);
    m_clear->setEnabled(m_env.RowCount() > 0);
    m_add->setText(one ? tr("Modify") : tr("Add"));
    m_delete->setEnabled(some);
    m_derive->setEnabled(one);
    m_menu->setDefaultAction(m_env.PropertiesOnDoubleClick() ? m_properties : m_add);

    if (some) {
        FillVocabularyMenus(m_assignCategory, m_clearCategory, m_env.Contacts.Categories(), true,
                            &ContactCommands::AssignCategoryPopupMenuClick,
                            &ContactCommands::ClearCategoryPopupMenuClick,
                            &ContactCommands::ClearAllCategoriesPopupMenuClick, tr("Clear All Categories"));
        FillVocabularyMenus(m_assignKeyword, m_clearKeyword, m_env.Contacts.Keywords(), false,
                            &ContactCommands::AssignKeywordPopupMenuClick,
                            &ContactCommands::ClearKeywordPopupMenuClick,
                            &ContactCommands::ClearAllKeywordsPopupMenuClick, tr("Clear All Keywords"));
        if (m_setLanguage->isEmpty())
            for (const QString &language : LanguageNames())
                m_setLanguage->addAction(language);
    }
    UpdateUndoActions();
}

void ContactMenu::EnableLinkItems(const TContactData *contact)
{
    const TMapsProvider provider = m_env.Commands.MapsOption();
    for (QAction *action : m_sendEmail->actions())
        if (!action->isSeparator())
            action->setEnabled(contact && !SendEmailGetEmailByLocationType(m_env.Contacts, *contact,
                                                                           TLocationType(action->data().toInt()))
                                                .isEmpty());
    for (QAction *action : m_showMap->actions())
        action->setEnabled(contact && !ShowMapGetURLSuffix(*contact, TLocationType(action->data().toInt()), provider)
                                           .isEmpty());
    for (QAction *action : m_showWebsite->actions())
        action->setEnabled(contact && !ShowWebsiteGetURL(*contact, TLocationType(action->data().toInt())).isEmpty());
    for (QAction *action : m_copyLocation->actions())
        action->setEnabled(contact && !ShowMapGetURLSuffix(*contact, TLocationType(action->data().toInt()), mpNone)
                                           .isEmpty());
}

void ContactMenu::UpdateUndoActions()
{
    const TContactUndoHistory &history = m_env.Commands.History();
    m_undo->setEnabled(history.CanUndo());
    m_undo->setText(history.CanUndo() ? tr("Undo %1").arg(history.UndoName()) : tr("Undo"));
    m_redo->setEnabled(history.CanRedo());
    m_redo->setText(history.CanRedo() ? tr("Redo %1").arg(history.RedoName()) : tr("Redo"));
}

} // namespace cardolin::app
