#pragma once

#include "app/options/OptionsValues.h"

#include <QDialog>

#include <array>
#include <functional>
#include <variant>
#include <vector>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QStackedWidget;

namespace cardolin {
class TQorContacts;
class TQorRegistryEnhanced;
} // namespace cardolin

namespace cardolin::app {

class TForm3;

// The Options dialog: one page per group of settings, each control bound to a
// row of the settings table, plus the category and keyword check lists. It
// edits values only; what confirming means for the book is the Options
// command's business.
class TForm2 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm2(TQorRegistryEnhanced &registry, QWidget *parent = nullptr);
    ~TForm2() override;

    // Folder of the default category and keyword files.
    void SetDefFilesPath(const QString &path) { m_defFilesPath = path; }
    // The book "Learn From Data File" reads; may be null.
    void SetBook(const TQorContacts *contacts) { m_book = contacts; }

    void LoadOptionsFromRegistry();
    bool SaveOptionsToRegistry();
    TOptionsValues Values() const;
    void ShowValues(const TOptionsValues &values);
    // Before each showing: the first page, and Learn only with contacts to learn from.
    void PrepareToShow(bool bookHasContacts);

    QStackedWidget *PageControl() const { return m_pages; }
    void ShowPage(TOptionsPage page);
    TForm3 *Form3() const { return m_form3; }
    QListWidget *CheckList(TVocabulary vocabulary) const { return m_vocabularies[Index(vocabulary)].List; }
    QMenu *PopupMenu(TVocabulary vocabulary) const { return m_vocabularies[Index(vocabulary)].Menu; }

    // The String List Editor and the folder chooser; tests answer them.
    std::function<bool(TForm3 &editor)> ShowEditor;
    std::function<QString(const QString &startFolder)> ChooseFolder;

    // Page handlers.
    void StoreUserContactsBookInUserContactsFolderCheckBoxClick();
    void CommonContactsBookLibraryButtonedEditRightButtonClick();
    void SyncActionRadioGroupClick();
    void FormatContactsCheckBoxClick();
    void UseProxyServerCheckBoxClick();
    void UpdateIEButtonClick();
    void UpdateDefaultButtonClick();
    void PageDefaultButtonClick(TOptionsPage page);
    void LearnFromDataFileButtonClick(TVocabulary vocabulary);
    void EditButtonClick(TVocabulary vocabulary);
    void DefaultButtonClick(TVocabulary vocabulary);
    void PopupMenuPopup(TVocabulary vocabulary);
    void CheckAllClick(TVocabulary vocabulary, bool checked);

private:
    using Control = std::variant<QCheckBox *, QButtonGroup *, QLineEdit *, QComboBox *>;
    struct Binding
    {
        SettingId Id;
        Control Widget;
    };
    struct VocabularyPage
    {
        QListWidget *List = nullptr;
        QPushButton *Learn = nullptr;
        QMenu *Menu = nullptr;
        QAction *CheckAll = nullptr;
        QAction *UncheckAll = nullptr;
    };
    static int Index(TVocabulary vocabulary) { return vocabulary == TVocabulary::Categories ? 0 : 1; }

    // Page construction (OptionsPages.cpp).
    void BuildPages();
    void AddPage(QWidget *page, const QString &caption);
    QWidget *BuildPreferencesPage();
    QWidget *BuildAdvancedPage();
    QWidget *BuildDisplayPage();
    QWidget *BuildSyncPage();
    QWidget *BuildFindPage();
    QWidget *BuildFormatPage();
    QWidget *BuildVocabularyPage(TVocabulary vocabulary);
    QWidget *BuildMarkerPage(TOptionsPage page, const QStringList &colors);
    QWidget *BuildUpdatePage();
    QCheckBox *AddCheckBox(QWidget *parent, SettingId id, const char *name, const QString &caption);
    QGroupBox *AddRadioGroup(QWidget *parent, SettingId id, const char *name, const QString &caption,
                             const QStringList &items);
    QPushButton *AddDefaultButton(QWidget *parent, TOptionsPage page, const char *name);

    void ShowSettings(const TSettingValues &settings);
    void ShowCheckList(TVocabulary vocabulary, const TCheckListItems &items);
    TCheckListItems CheckListItems(TVocabulary vocabulary) const;

    TQorRegistryEnhanced &m_registry;
    QString m_defFilesPath;
    const TQorContacts *m_book = nullptr;
    std::vector<Binding> m_bindings;
    std::array<VocabularyPage, 2> m_vocabularies;
    QListWidget *m_pageList = nullptr;
    QStackedWidget *m_pages = nullptr;
    QCheckBox *m_storeInUserFolder = nullptr;
    QLineEdit *m_library = nullptr;
    QButtonGroup *m_syncAction = nullptr;
    QLabel *m_syncDescription = nullptr;
    QCheckBox *m_formatContacts = nullptr;
    QGroupBox *m_formatOptions = nullptr;
    QCheckBox *m_useProxy = nullptr;
    QLineEdit *m_proxyAddress = nullptr;
    QLineEdit *m_proxyPort = nullptr;
    TForm3 *m_form3 = nullptr;
    QString m_lastChosenFolder;
};

} // namespace cardolin::app
