#include "MainWindowFixture.h"

#include "app/options/OptionsCommand.h"
#include "app/options/OptionsDialog.h"
#include "app/options/StringListEditor.h"
#include "fakes/Files.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>

using namespace cardolin;
using namespace cardolin::app;
using cardolin::testing::WriteAll;
using Answer = UserPrompts::Answer;

namespace cardolin {
inline void PrintTo(const TCheckListItem &item, std::ostream *out)
{
    *out << (item.Checked ? "[x] " : "[ ] ") << item.Text.toStdString();
}
} // namespace cardolin

namespace {

// A stored value other than the default for every setting the dialog shows,
// each one its control can hold.
TSettingValues ChangedValues()
{
    TSettingValues values = {
        {SettingId::EmailType, 1},
        {SettingId::Maps, 1},
        {SettingId::CommonContactsBookLibrary, QString("/srv/books")},
        {SettingId::DisplayType, 3},
        {SettingId::SyncAction, 2},
        {SettingId::BatchGeoLowPriorityMarkerGroup, QString("Later")},
        {SettingId::BatchGeoNormalPriorityMarkerGroup, QString("Soon")},
        {SettingId::BatchGeoHighPriorityMarkerGroup, QString("Now")},
        {SettingId::GoogleEarthLowPriorityMarkerColor, QString("purple")},
        {SettingId::GoogleEarthNormalPriorityMarkerColor, QString("green")},
        {SettingId::GoogleEarthHighPriorityMarkerColor, QString("yellow")},
        {SettingId::ZeeMapsLowPriorityMarkerColor, QString("light blue")},
        {SettingId::ZeeMapsNormalPriorityMarkerColor, QString("teal")},
        {SettingId::ZeeMapsHighPriorityMarkerColor, QString("sky")},
        {SettingId::ProxyAddress, QString("proxy.example")},
        {SettingId::ProxyPort, QString("3128")},
        {SettingId::GoogleClientID, QString("1234-abc.apps.googleusercontent.com")},
        {SettingId::GoogleClientSecret, QString("GOCSPX-secret")},
    };
    for (int page = 0; page < kOptionsPageCount; ++page)
        for (const SettingId id : PageSettings(TOptionsPage(page)))
            if (Setting(id).type == SettingType::Boolean)
                values[id] = !SettingDefault(Setting(id)).toBool();
    return values;
}

struct OptionsDialogTest : cardolin::testing::MainWindowFixture
{
    QString defFiles = dir.filePath("defs/");

    OptionsDialogTest()
    {
        WriteAll(defFiles + "Categories.def", "Family\nClients\nContacts\n");
        WriteAll(defFiles + "Keywords.def", "Prospect\n");
        SetOption(SettingId::DefFilesPath, defFiles);
    }

    OptionsCommand &Command() { return window->OptionsDialogCommand(); }
    TForm2 &Form() { return Command().Form2(); }
    template <typename T> T *Control(const char *name) { return Form().findChild<T *>(name); }

    // Runs the Options button with the dialog answered by body; true is OK.
    void RunOptions(const std::function<bool(TForm2 &)> &body)
    {
        Command().ShowDialog = body;
        Child<QToolButton>("OptionsSpeedButton")->click();
    }
    void StoreChangedValues()
    {
        for (const auto &[id, value] : ChangedValues())
            SetOption(id, value);
        registry.SetCheckListBox("Categories", {{"Band", true}, {"Neighbours", false}});
        registry.SetCheckListBox("Keywords", {{"VIP", false}});
    }
    bool ApplyEnabled() const { return Child<QPushButton>("ApplyButton")->isEnabled(); }
};

TEST_F(OptionsDialogTest, EveryShownValueLoadsIntoItsControlAndSavesBack)
{
    StoreChangedValues();
    Start();
    Form().SetDefFilesPath(window->DefFilesPath());
    Form().LoadOptionsFromRegistry();
    const TOptionsValues shown = Form().Values();
    for (const auto &[id, value] : ChangedValues()) {
        SCOPED_TRACE(QString(Setting(id).path).toStdString());
        EXPECT_EQ(shown.Settings.at(id), value);
    }
    EXPECT_EQ(shown.Categories, (TCheckListItems{{"Band", true}, {"Neighbours", false}}));
    EXPECT_EQ(shown.Keywords, (TCheckListItems{{"VIP", false}}));

    for (const char *key : {"Options", "Categories", "Keywords"})
        registry.DeleteKey(key);
    ASSERT_TRUE(Form().SaveOptionsToRegistry());
    for (const auto &[id, value] : ChangedValues()) {
        SCOPED_TRACE(QString(Setting(id).path).toStdString());
        EXPECT_EQ(ReadSetting(registry, id), value);
    }
    EXPECT_EQ(LoadOptionsValues(registry, defFiles), shown);
}

TEST_F(OptionsDialogTest, FirstStartShowsTheDefaultsAndTheDefaultFileAllTicked)
{
    Start();
    RunOptions([](TForm2 &form) {
        const TOptionsValues values = form.Values();
        for (const auto &[id, value] : values.Settings) {
            SCOPED_TRACE(QString(Setting(id).path).toStdString());
            EXPECT_EQ(value, SettingDefault(Setting(id)));
        }
        EXPECT_EQ(values.Categories, (TCheckListItems{{"Clients", true}, {"Contacts", true}, {"Family", true}}));
        EXPECT_EQ(form.PageControl()->currentIndex(), 0);
        EXPECT_EQ(form.PageControl()->count(), kOptionsPageCount);
        EXPECT_FALSE(form.findChild<QPushButton *>("CategoriesLearnFromDataFileButton")->isEnabled());
        return false;
    });
}

TEST_F(OptionsDialogTest, CancelAfterEveryDefaultButtonChangesNothing)
{
    StoreChangedValues();
    Start();
    const TOptionsValues stored = LoadOptionsValues(registry, defFiles);
    RunOptions([&](TForm2 &form) {
        for (QPushButton *button : form.findChildren<QPushButton *>())
            if (button->objectName().endsWith("DefaultButton"))
                button->click();
        form.CheckAllClick(TVocabulary::Keywords, true);
        EXPECT_NE(form.Values(), stored); // the buttons did change the controls
        EXPECT_EQ(form.Values().Text(SettingId::ZeeMapsHighPriorityMarkerColor), "red");
        return false;
    });
    EXPECT_EQ(LoadOptionsValues(registry, defFiles), stored);
    EXPECT_EQ(Form().Values(), stored);
    EXPECT_FALSE(ApplyEnabled());
}

TEST_F(OptionsDialogTest, DependentControlsFollowTheirBoxes)
{
    Start();
    Form().LoadOptionsFromRegistry();
    struct Case
    {
        const char *box;
        QStringList dependents;
        bool enabledWhenTicked;
    } cases[] = {
        {"StoreUserContactsBookInUserContactsFolderCheckBox", {"CommonContactsBookLibraryButtonedEdit"}, false},
        {"FormatContactsCheckBox", {"FormatOptionsGroupBox"}, true},
        {"UseProxyServerCheckBox", {"ProxyAddressEdit", "ProxyPortEdit"}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.box);
        auto *box = Control<QCheckBox>(c.box);
        for (bool ticked : {true, false}) {
            if (box->isChecked() != ticked)
                box->click();
            for (const QString &name : c.dependents)
                EXPECT_EQ(Form().findChild<QWidget *>(name)->isEnabled(), ticked == c.enabledWhenTicked) << ticked;
        }
    }
    Control<QGroupBox>("SyncActionRadioGroup")->findChildren<QRadioButton *>().at(1)->click();
    EXPECT_EQ(Control<QLabel>("SyncActionDescriptionLabel")->text(), SyncActionDescription(1));

    Control<QPushButton>("UpdateDefaultButton")->click();
    EXPECT_FALSE(Control<QCheckBox>("UseProxyServerCheckBox")->isChecked());
    EXPECT_EQ(Control<QLineEdit>("ProxyPortEdit")->text(), "80");
    EXPECT_FALSE(Control<QLineEdit>("ProxyAddressEdit")->isEnabled());
}

TEST_F(OptionsDialogTest, AnUnknownStoredColourSelectsNothingAndGivesNoColour)
{
    SetOption(SettingId::GoogleEarthLowPriorityMarkerColor, QString("mauve"));
    SetOption(SettingId::ZeeMapsHighPriorityMarkerColor, QString("teal"));
    Start();
    Form().LoadOptionsFromRegistry();
    EXPECT_EQ(Control<QComboBox>("GoogleEarthLowPriorityMarkerColorComboBox")->currentIndex(), -1);
    EXPECT_EQ(Control<QComboBox>("ZeeMapsHighPriorityMarkerColorComboBox")->currentText(), "teal");
    for (TQorContacts *contacts : {&window->QorContacts1(), &window->QorContacts2()}) {
        EXPECT_EQ(contacts->GoogleEarthLowPriorityMarkerColor(), "");
        EXPECT_EQ(contacts->ZeeMapsHighPriorityMarkerColor(), "teal");
    }
}

TEST_F(OptionsDialogTest, CheckListsEditLearnAndTickAll)
{
    WriteBook("ann", {"Ann", "Bob"}, [](TContactData &contact) {
        contact.Categories.Add(contact.FirstName == "Ann" ? "Golf" : "Band");
        contact.Categories.Add("Family");
    });
    Start();
    Form().SetDefFilesPath(window->DefFilesPath());
    Form().SetBook(&window->QorContacts1());
    Form().LoadOptionsFromRegistry();
    Form().ShowEditor = [](TForm3 &editor) {
        EXPECT_EQ(editor.windowTitle(), "Categories Editor");
        EXPECT_EQ(editor.Lines(), (QStringList{"√Clients", "√Contacts", "√Family"}));
        editor.Memo1()->setPlainText("√Family\nClients\n\nNeighbours\n");
        return true;
    };
    Control<QPushButton>("CategoriesEditButton")->click();
    EXPECT_EQ(Form().Values().Categories,
              (TCheckListItems{{"Clients", false}, {"Family", true}, {"Neighbours", false}}));

    QMenu *menu = Form().PopupMenu(TVocabulary::Categories);
    Form().PopupMenuPopup(TVocabulary::Categories);
    EXPECT_TRUE(menu->findChild<QAction *>("CategoriesCheckAll")->isEnabled());
    EXPECT_TRUE(menu->findChild<QAction *>("CategoriesUncheckAll")->isEnabled());
    menu->findChild<QAction *>("CategoriesCheckAll")->trigger();
    Form().PopupMenuPopup(TVocabulary::Categories);
    EXPECT_FALSE(menu->findChild<QAction *>("CategoriesCheckAll")->isEnabled());
    EXPECT_TRUE(menu->findChild<QAction *>("CategoriesUncheckAll")->isEnabled());

    Control<QPushButton>("CategoriesLearnFromDataFileButton")->click();
    EXPECT_EQ(Form().Values().Categories, (TCheckListItems{{"Band", true}, {"Family", true}, {"Golf", true}}));
    Control<QPushButton>("KeywordsDefaultButton")->click();
    EXPECT_EQ(Form().Values().Keywords, (TCheckListItems{{"Prospect", true}}));
}

// What the pages say is plain text, and the client secret is not shown
// unless asked for, not even while it is typed.
TEST_F(OptionsDialogTest, LabelsReadPlainlyAndTheSecretStaysHidden)
{
    SetOption(SettingId::GoogleClientSecret, QString("GOCSPX-secret"));
    Start();
    RunOptions([](TForm2 &form) {
        QStringList labels;
        for (const QRadioButton *button :
             form.findChild<QGroupBox *>("DisplayTypeRadioGroup")->findChildren<QRadioButton *>())
            labels.append(button->text());
        EXPECT_EQ(labels, (QStringList{"First Last Name", "First Middle Last Name", "Full Name", "Last First Name"}));
        for (int action = 0; action < 3; ++action)
            EXPECT_TRUE(SyncActionDescription(action).contains(" repeated ")) << action;

        auto *secret = form.findChild<QLineEdit *>("GoogleClientSecretEdit");
        auto *show = form.findChild<QCheckBox *>("ShowGoogleClientSecretCheckBox");
        EXPECT_EQ(secret->echoMode(), QLineEdit::Password);
        show->click();
        EXPECT_EQ(secret->displayText(), "GOCSPX-secret");
        show->click();
        EXPECT_NE(secret->displayText(), "GOCSPX-secret");
        show->click();
        return false;
    });
    RunOptions([](TForm2 &form) {
        EXPECT_EQ(form.findChild<QLineEdit *>("GoogleClientSecretEdit")->echoMode(), QLineEdit::Password);
        return false;
    });
}

TEST_F(OptionsDialogTest, OkStoresTheOptionsAndAppliesThem)
{
    WriteBook("ann", {"Cy", "Ann", "Bob"}, [](TContactData &contact) { contact.LastName = "Zed"; });
    Start();
    ASSERT_EQ(Column(0), (QStringList{"Ann Zed", "Bob Zed", "Cy Zed"}));
    RunOptions([](TForm2 &form) {
        form.findChild<QGroupBox *>("DisplayTypeRadioGroup")->findChildren<QRadioButton *>().at(3)->click();
        form.ShowEditor = [](TForm3 &editor) {
            editor.Memo1()->setPlainText("√Band\nFamily\n");
            return true;
        };
        form.EditButtonClick(TVocabulary::Categories);
        return true;
    });
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(ReadIntegerSetting(registry, SettingId::DisplayType), 3);
    EXPECT_EQ(Column(0), (QStringList{"Zed Ann", "Zed Bob", "Zed Cy"}));
    EXPECT_FALSE(ApplyEnabled()); // new captions, no changed contact
    // Band arrives in the assign menus; unticked Family stays there for the run.
    EXPECT_TRUE(window->QorContacts1().Categories().contains("Band"));
    EXPECT_TRUE(window->QorContacts1().Categories().contains("Family"));
}

TEST_F(OptionsDialogTest, ContactsCategoryForTenContactsOfWhichFourHaveIt)
{
    QStringList names;
    for (int i = 0; i < 10; ++i)
        names.append(QString("P%1").arg(i));
    WriteBook("ann", names, [](TContactData &contact) {
        if (contact.FirstName.back().digitValue() < 4)
            contact.Categories.Add("Contacts");
    });
    Start();
    prompts.answerYes = true;
    RunOptions([](TForm2 &form) {
        form.findChild<QCheckBox *>("AssignContactsCategoryToContactsByDefaultCheckBox")->click();
        return true;
    });
    EXPECT_EQ(prompts.questions, QStringList{"Do you want to asign \"Contacts\" category to all contacts?"});
    EXPECT_EQ(window->QorContacts1().DefaultCategory(), "Contacts");
    for (const auto &contact : window->QorContacts1().ContactDataList())
        EXPECT_TRUE(contact->Categories.Contains("Contacts"));
    EXPECT_EQ(Column(8).count("Contacts"), 10);
    EXPECT_TRUE(ApplyEnabled());
}

TEST_F(OptionsDialogTest, MovingBooksToTheLibraryWithYesToAll)
{
    WriteBook("ann", {"Ann"});
    WriteBook("bob", {"Bob"});
    const QString library = dir.filePath("library");
    QDir().mkpath(library);
    Start();
    prompts.toAllAnswers = {Answer::YesToAll};
    RunOptions([&](TForm2 &form) {
        form.findChild<QCheckBox *>("StoreUserContactsBookInUserContactsFolderCheckBox")->click();
        form.findChild<QLineEdit *>("CommonContactsBookLibraryButtonedEdit")->setText(library);
        return true;
    });
    EXPECT_EQ(prompts.questions, QStringList{"Do you want to relocate ann's contacts book?"});
    EXPECT_TRUE(QFileInfo::exists(library + "/ann.qcb"));
    EXPECT_TRUE(QFileInfo::exists(library + "/bob.qcb"));
    EXPECT_FALSE(QFileInfo::exists(Book("ann")));
    EXPECT_TRUE(prompts.errors.isEmpty());
}

} // namespace
