#include "MainWindowFixture.h"

#include "app/ContactCommands.h"
#include "app/ContactMenu.h"
#include "contacts/ContactsBookFile.h"

#include <QAction>
#include <QBuffer>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

// Records the book as a file holds it, to see that undo brings back exactly
// what was there.
QByteArray BookBytes(const TQorContacts &book)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bookfile::Write(book, buffer);
    return bytes;
}

struct CommandsFixture : MainWindowFixture
{
    app::ContactCommands &Commands() { return window->Commands(); }
    TQorContacts &Book() { return window->QorContacts1(); }
    using MainWindowFixture::Book;
    QAction *Action(const char *name) { return window->Menu().PopupMenu1()->findChild<QAction *>(name); }
    QMenu *SubMenu(const char *name) { return window->Menu().PopupMenu1()->findChild<QMenu *>(name); }
    QAction *Item(const char *menu, const QString &caption)
    {
        for (QAction *action : SubMenu(menu)->actions())
            if (action->text() == caption)
                return action;
        return nullptr;
    }
    void OpenMenu() { window->Menu().PopupMenu1Popup(); }
    int RowOf(const QString &caption) const { return Column(0).indexOf(caption); }
    TContactData *Record(int row) const { return static_cast<TContactData *>(List()->Items().Item(row).Data); }
    void StartWithFive()
    {
        WriteBook("ann", {"Ann", "Bob", "Cy", "Dee", "Eve"}, [](TContactData &c) {
            c.Modified = DateToSerial(QDate(2020, 1, 1));
            if (c.FirstName == "Bob")
                c.Categories.Assign({"family"});
            c.WorkStreet = c.FirstName + " Street";
            c.WorkCity = "Paris";
        });
        Start();
    }
};

TEST_F(CommandsFixture, TheMenuFollowsTheSelection)
{
    StartWithFive();
    SelectRows({0, 1});
    OpenMenu();
    EXPECT_EQ(Action("Add1")->text(), "Add");
    for (const char *name : {"Properties1", "Derive1"})
        EXPECT_FALSE(Action(name)->isEnabled()) << name;
    EXPECT_FALSE(SubMenu("SendEmail1")->menuAction()->isEnabled());
    EXPECT_TRUE(Action("Delete1")->isEnabled());
    EXPECT_EQ(window->Menu().PopupMenu1()->defaultAction(), Action("Properties1"));

    SelectRow(0);
    Book().SetCategories({"Hotels", "Friends"});
    OpenMenu();
    EXPECT_EQ(Action("Add1")->text(), "Modify");
    EXPECT_TRUE(Action("Properties1")->isEnabled());
    EXPECT_TRUE(SubMenu("SearchPeople1")->menuAction()->isEnabled());
    EXPECT_TRUE(Item("ShowMap1", "Work")->isEnabled());
    EXPECT_FALSE(Item("ShowMap1", "Home")->isEnabled());
    EXPECT_FALSE(Item("SendEmail1", "All")->isEnabled());
    const QStringList categories = {SubMenu("AssignCategoryToContacts1")->actions()[0]->text(),
                                    SubMenu("AssignCategoryToContacts1")->actions()[1]->text()};
    EXPECT_EQ(categories, (QStringList{"Friends", "Hotels"}));
    EXPECT_FALSE(Item("AssignCategoryToContacts1", "Hotels")->icon().isNull());
    EXPECT_EQ(SubMenu("ClearCategoryFromContacts1")->actions()[0]->text(), "Clear All Categories");
    EXPECT_FALSE(SubMenu("SetLanguage1")->isEmpty());

    SetOption(SettingId::EmailType, 1);
    OpenMenu();
    EXPECT_FALSE(SubMenu("EmailContactAs1")->menuAction()->isEnabled());
}

TEST_F(CommandsFixture, AttributesAndCategoriesChangeTheSelectedContactsAndUndo)
{
    StartWithFive();
    const QByteArray before = BookBytes(Book());
    SelectRows({0, 2, 4});
    OpenMenu();
    Item("SetPriority1", "High")->trigger();
    EXPECT_EQ(Column(10), (QStringList{"High", "Normal", "High", "Normal", "High"}));
    EXPECT_GT(Record(0)->Modified, DateToSerial(QDate(2020, 1, 1)));
    EXPECT_EQ(Record(1)->Modified, DateToSerial(QDate(2020, 1, 1)));
    EXPECT_TRUE(window->Modified());
    EXPECT_TRUE(window->isWindowModified());

    // Assigning "Family" leaves the contact already in "family" alone.
    Book().SetCategories({"Family"});
    SelectRows({RowOf("Bob"), RowOf("Cy")});
    const TDateTime bobModified = Record(RowOf("Bob"))->Modified;
    OpenMenu();
    Item("AssignCategoryToContacts1", "Family")->trigger();
    EXPECT_EQ(Record(RowOf("Bob"))->Categories.Entries(), QStringList{"family"});
    EXPECT_EQ(Record(RowOf("Bob"))->Modified, bobModified);
    EXPECT_EQ(Record(RowOf("Cy"))->Categories.Entries(), QStringList{"Family"});

    SelectRow(RowOf("Dee"));
    Action("ClearSyncedAttribute1")->trigger();
    EXPECT_EQ(Record(RowOf("Dee"))->Modified, DateToSerial(QDate(2020, 1, 1)));

    for (int step = 0; step < 3; ++step)
        window->Menu().Undo1()->trigger();
    EXPECT_FALSE(window->Menu().Undo1()->isEnabled());
    EXPECT_EQ(BookBytes(Book()), before);
    EXPECT_EQ(Column(10), QStringList(5, "Normal"));
    window->Menu().Redo1()->trigger();
    EXPECT_EQ(Column(10), (QStringList{"High", "Normal", "High", "Normal", "High"}));
}

TEST_F(CommandsFixture, DeleteClearAndCleanAreUndoneRowsAndAll)
{
    StartWithFive();
    const QByteArray before = BookBytes(Book());
    SelectRows({0, 1, 2, 3, 4});
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(Book().ContactDataList().empty());
    EXPECT_TRUE(Child<QWidget>("EmptyBookHint")->isVisibleTo(window.get()));
    EXPECT_EQ(window->Menu().Undo1()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    window->Menu().Undo1()->trigger();
    EXPECT_EQ(Rows(), 5);
    EXPECT_EQ(BookBytes(Book()), before);
    EXPECT_FALSE(Child<QWidget>("EmptyBookHint")->isVisibleTo(window.get()));

    // Clear asks first.
    prompts.answerYes = false;
    Action("Clear1")->trigger();
    EXPECT_EQ(Rows(), 5);
    prompts.answerYes = true;
    Action("Clear1")->trigger();
    EXPECT_EQ(Rows(), 0);
    window->Commands().Undo();
    EXPECT_EQ(BookBytes(Book()), before);

    // Clean: nothing to merge, then a duplicate.
    prompts.information.clear();
    window->Commands().CleanButtonClick();
    EXPECT_EQ(prompts.information, QStringList{"No duplicate contact found."});
    Book().ContactDataList()[4]->FirstName = "Ann";
    window->Commands().CleanButtonClick();
    EXPECT_EQ(prompts.information.last(), "1 duplicate contacts have been removed successfully.");
    EXPECT_EQ(Rows(), 4);
    window->Commands().Undo();
    EXPECT_EQ(Rows(), 5);
}

TEST_F(CommandsFixture, AddModifyAndDeriveGoThroughTheDialog)
{
    StartWithFive();
    QString caption;
    bool confirm = false;
    window->Commands().ShowContact = [&](TContactData *record, bool editable, const QString &text) {
        caption = text;
        EXPECT_TRUE(editable);
        if (confirm)
            record->FirstName = "Zoe";
        return confirm;
    };
    // A cancelled Add leaves nothing behind, not even an undo step.
    Child<QToolButton>("AddContactSpeedButton")->click();
    EXPECT_EQ(caption, "Add Contact");
    EXPECT_EQ(Book().ContactDataList().size(), 5u);
    EXPECT_FALSE(window->Commands().History().CanUndo());

    confirm = true;
    SetOption(SettingId::ComputeInitialsAutomatically, true);
    window->Commands().AddContactSpeedButtonClick();
    EXPECT_EQ(Column(0).last(), "Zoe");
    EXPECT_EQ(Book().ContactDataList().back()->Initials, "Z.");

    SelectRow(RowOf("Bob"));
    TContactData *bob = Record(RowOf("Bob"));
    bob->LastVisit = 45000, bob->VisitCount = 7, bob->GoogleContactID = "people/c1";
    window->Commands().Derive1Click();
    EXPECT_EQ(caption, "Derive Contact");
    const TContactData &derived = *Book().ContactDataList().back();
    EXPECT_EQ(derived.WorkStreet, "Bob Street");
    EXPECT_EQ(derived.Categories.Entries(), QStringList{"family"});
    EXPECT_EQ(derived.LastVisit, 0);
    EXPECT_EQ(derived.VisitCount, 0);
    EXPECT_TRUE(derived.GoogleContactID.isEmpty());
    EXPECT_EQ(derived.Created, derived.Modified);

    SelectRow(RowOf("Cy"));
    window->Commands().Add1Click();
    EXPECT_EQ(caption, "Modify Contact");
    EXPECT_EQ(Column(0).count("Zoe"), 3);
    window->Commands().Undo();
    EXPECT_EQ(Column(0).count("Zoe"), 2);
    EXPECT_EQ(RowOf("Cy") >= 0, true);
}

TEST_F(CommandsFixture, CopySaveAndMailTheSelectedContacts)
{
    StartWithFive();
    SelectRows({0, 1});
    window->Commands().CopyContactsToClipboard(ltWork);
    const QStringList lines = desktop.clipboard.split("\r\n");
    EXPECT_EQ(lines.first(), "Ann");
    EXPECT_EQ(lines.count(QString(36, '-')), 1);
    EXPECT_NE(lines.last(), QString(36, '-'));

    SelectRow(0);
    window->Commands().CopyLocationToClipboard(ltWork);
    EXPECT_EQ(desktop.clipboard, "Ann Street, Paris");

    QString proposedFolder, proposedName;
    const QString target = dir.filePath("saved");
    window->Commands().AskSaveFileName = [&](const QString &folder, const QString &name, app::TContactFileKind) {
        proposedFolder = folder, proposedName = name;
        return target;
    };
    window->Commands().SaveContactsAs(app::TContactFileKind::LDIF);
    EXPECT_EQ(proposedFolder, QFileInfo(Book("ann")).absolutePath());
    EXPECT_EQ(proposedName, "Ann.ldif");
    EXPECT_TRUE(QFileInfo::exists(target + ".ldif"));

    SelectRows({1, 2});
    const QString folder = dir.filePath("cards");
    QDir().mkpath(folder);
    window->Commands().AskFolder = [&](const QString &) { return folder; };
    window->Commands().SaveContactsAs(app::TContactFileKind::vCard);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), (QStringList{"Bob.vcf", "Cy.vcf"}));

    SelectRow(3);
    window->Commands().EmailContactAs(app::TContactFileKind::vCard);
    ASSERT_EQ(desktop.mails.size(), 1);
    EXPECT_EQ(desktop.mails[0].subject, "Dee.vcf");
    EXPECT_TRUE(desktop.mails[0].recipients.isEmpty());
    EXPECT_TRUE(desktop.mails[0].attachmentExisted);
    EXPECT_TRUE(QFileInfo::exists(desktop.mails[0].attachmentPath)); // the mail program reads it later
}

TEST_F(CommandsFixture, CancellingTheSaveQuestionKeepsEverything)
{
    StartWithFive();
    SelectRow(0);
    window->Delete1Click();
    prompts.cancel = true;
    Child<QPushButton>("RefreshButton")->click();
    EXPECT_EQ(Rows(), 4);
    EXPECT_TRUE(window->Modified());
    EXPECT_EQ(prompts.details.last(), Book("ann"));
    EXPECT_FALSE(window->close());
    EXPECT_EQ(Rows(), 4);
    prompts.cancel = false;
    prompts.answerYes = false;
    EXPECT_TRUE(window->close());
}

} // namespace
