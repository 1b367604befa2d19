#pragma once

#include "contacts/ContactData.h"

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace cardolin {
class TQorContacts;
}

namespace cardolin::app {

class ContactCommands;

// The contact list's context menu: one action per command, created once and
// named as the design names them, so keys, buttons and tests reach the same
// command. Its enable rules and the category, keyword and language sub-menus
// are worked out each time it opens.
class ContactMenu : public QObject
{
    Q_OBJECT
public:
    struct Environment
    {
        ContactCommands &Commands;
        TQorContacts &Contacts;
        // The selected rows' records in list order, the number of rows, and
        // the row picture of the first selected row.
        std::function<std::vector<TContactData *>()> Selected;
        std::function<int()> RowCount;
        std::function<int()> SelectedImageIndex;
        std::function<bool()> PropertiesOnDoubleClick;
    };

    ContactMenu(Environment environment, QWidget *parent);

    QMenu *PopupMenu1() const { return m_menu; }
    QAction *Undo1() const { return m_undo; }
    QAction *Redo1() const { return m_redo; }
    // Applies the enable rules and rebuilds the dynamic sub-menus.
    void PopupMenu1Popup();
    // Only the undo and redo actions, which also live outside the menu.
    void UpdateUndoActions();

private:
    QAction *AddAction(QMenu *menu, const QString &name, const QString &caption, void (ContactCommands::*command)());
    QMenu *AddSubMenu(QMenu *menu, const QString &name, const QString &caption);
    void BuildWebMenus();
    void BuildAttributeMenus();
    void BuildFileMenus();
    void FillVocabularyMenus(QMenu *assign, QMenu *clear, const QStringList &entries, bool pictures,
                             void (ContactCommands::*assignCommand)(const QString &),
                             void (ContactCommands::*clearCommand)(const QString &),
                             void (ContactCommands::*clearAllCommand)(), const QString &clearAllCaption);
    void EnableLinkItems(const TContactData *contact);

    Environment m_env;
    QMenu *m_menu;
    QMenu *m_searchPeople = nullptr, *m_sendEmail = nullptr, *m_showMap = nullptr, *m_showWebsite = nullptr;
    QMenu *m_assignCategory = nullptr, *m_clearCategory = nullptr;
    QMenu *m_assignKeyword = nullptr, *m_clearKeyword = nullptr;
    QMenu *m_setLanguage = nullptr;
    QMenu *m_copyContacts = nullptr, *m_emailAs = nullptr, *m_saveAs = nullptr, *m_copyLocation = nullptr;
    QList<QMenu *> m_attributeMenus;
    QAction *m_properties = nullptr, *m_clearSynced = nullptr, *m_updateModified = nullptr;
    QAction *m_clear = nullptr, *m_add = nullptr, *m_delete = nullptr, *m_derive = nullptr;
    QAction *m_undo = nullptr, *m_redo = nullptr;
};

} // namespace cardolin::app
