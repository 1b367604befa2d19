#include "app/dialogs/ContactDialogs.h"
#include "app/dialogs/ContactPropertiesBox.h"
#include "app/dialogs/DialNumberBox.h"
#include "app/dialogs/DialogControls.h"
#include "app/dialogs/PostalAddressBox.h"
#include "contacts/ContactFields.h"
#include "contacts/QorContacts.h"
#include "fakes/RecordingDesktop.h"
#include "fakes/RecordingPrompts.h"
#include "support/Clock.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QAction>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <variant>

using namespace cardolin;
using namespace cardolin::app;
using cardolin::testing::RecordingDesktop;
using cardolin::testing::RecordingPrompts;

namespace {

// Every field a value of its own that the dialog's lists accept.
void FillDistinct(TContactData &c)
{
    for (const ContactField &field : ContactFields()) {
        switch (field.kind) {
        case FieldKind::Text: FieldRef<QString>(c, field) = QString(field.name) + " value"; break;
        case FieldKind::Date: FieldRef<TDateTime>(c, field) = 40000 + field.name.size(); break;
        case FieldKind::DateTime: FieldRef<TDateTime>(c, field) = 45000.5 + field.name.size(); break;
        case FieldKind::Integer: FieldRef<int>(c, field) = 42; break;
        case FieldKind::Boolean: FieldRef<bool>(c, field) = true; break;
        case FieldKind::Lines: FieldRef<QStringList>(c, field) = {"first line", "", "third line"}; break;
        case FieldKind::SortedList: break;
        case FieldKind::Photo: FieldRef<QByteArray>(c, field) = "jpeg"; break;
        }
    }
    c.Preferred = "Work";
    c.Gender = "Female";
    c.Priority = "High";
    c.Sensitivity = "Private";
    c.Categories.Assign({"Family", "Friends"});
    c.Keywords.Assign({"Obsolete"});
}

QStringList DifferentFields(const TContactData &a, const TContactData &b)
{
    QStringList names;
    for (const ContactField &field : ContactFields()) {
        bool same = false;
        std::visit([&](auto member) { same = a.*member == b.*member; }, field.member);
        if (!same)
            names.append(field.name);
    }
    return names;
}

class ContactDialogsTest : public ::testing::Test
{
protected:
    ContactDialogsTest()
    {
        book.SetClock(clock);
        book.SetPrompts(prompts);
        InstallContactDialogs(book, desktop, nullptr);
    }

    // Acts on the dialog once it shows, then presses OK or Cancel.
    void WhenShown(std::function<void(TQorContactsPropertiesBox &)> act, bool ok)
    {
        QTimer::singleShot(0, [this, act, ok] {
            auto *box = qobject_cast<TQorContactsPropertiesBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            shownTitle = box->windowTitle();
            okVisible = box->findChild<QPushButton *>("OKButton")->isVisible();
            if (act)
                act(*box);
            QTest::mouseClick(box->findChild<QPushButton *>(ok ? "OKButton" : "CancelButton"), Qt::LeftButton);
        });
    }

    TDateTime Now() const { return DateTimeToSerial(clock.NowUtc()); }

    FixedClock clock{QDateTime(QDate(2024, 5, 1), QTime(10, 0), Qt::UTC)};
    RecordingPrompts prompts;
    RecordingDesktop desktop;
    TQorContacts book;
    QString shownTitle;
    bool okVisible = false;
};

template <typename W> W *Find(TQorContactsPropertiesBox &box, const char *name)
{
    W *widget = box.findChild<W *>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

TEST_F(ContactDialogsTest, EditModeKeepsEveryFieldThroughOK)
{
    TContactData *contact = book.CreateContactData();
    FillDistinct(*contact);
    const TContactData before = *contact;
    WhenShown([](TQorContactsPropertiesBox &box) {
        EXPECT_EQ(box.focusWidget(), Find<QLineEdit>(box, "FirstNameEdit")); // ready for typing a name
        EXPECT_EQ(Find<QPushButton>(box, "CancelButton")->text(), "Cancel");
        EXPECT_NE(Find<QLineEdit>(box, "LastNameEdit")->palette().color(QPalette::Base),
                  box.palette().color(QPalette::Window));
    }, true);
    EXPECT_TRUE(book.DisplayContactProperties(contact, true, ""));
    EXPECT_EQ(shownTitle, "Edit Contact");
    EXPECT_TRUE(okVisible);
    EXPECT_EQ(DifferentFields(before, *contact), (QStringList{"Modified", "Accessed"}));
    EXPECT_EQ(contact->Modified, Now());
}

TEST_F(ContactDialogsTest, EditsReachTheRecord)
{
    TContactData *contact = book.CreateContactData();
    contact->Priority = "Low";
    WhenShown([](TQorContactsPropertiesBox &box) {
        Find<QLineEdit>(box, "FirstNameEdit")->setText("Zoë");
        Find<QComboBox>(box, "GenderComboBox")->setCurrentIndex(1);
        Find<QComboBox>(box, "WorkCountryRegionComboBox")->setEditText("France");
        Find<QRadioButton>(box, "PriorityHighRadioButton")->setChecked(true);
        Find<QPlainTextEdit>(box, "NotesMemo")->setPlainText("one\ntwo\n");
    }, true);
    EXPECT_TRUE(book.DisplayContactProperties(contact, true, "Modify Contact"));
    EXPECT_EQ(shownTitle, "Modify Contact");
    EXPECT_EQ(contact->FirstName, "Zoë");
    EXPECT_EQ(contact->Gender, "Male");
    EXPECT_EQ(contact->WorkCountryRegion, "France");
    EXPECT_EQ(contact->Priority, "High");
    EXPECT_EQ(contact->Notes, (QStringList{"one", "two"}));
}

TEST_F(ContactDialogsTest, ViewModeChangesOnlyAccessedAndHasNoOK)
{
    TContactData *contact = book.CreateContactData();
    FillDistinct(*contact);
    const TContactData before = *contact;
    WhenShown([](TQorContactsPropertiesBox &box) {
        EXPECT_TRUE(Find<QLineEdit>(box, "FirstNameEdit")->isReadOnly());
        // Boxes that cannot be typed in do not look as if they could, and the one button closes.
        for (const char *name : {"LastNameEdit", "NotesMemo"})
            EXPECT_EQ(Find<QWidget>(box, name)->palette().color(QPalette::Base), box.palette().color(QPalette::Window))
                << name;
        EXPECT_EQ(Find<QPushButton>(box, "CancelButton")->text(), "Close");
        EXPECT_FALSE(Find<QComboBox>(box, "TitleComboBox")->isEnabled());
        EXPECT_FALSE(Find<OptionalDateEdit>(box, "BirthdayDateTimePicker")->isEnabled());
        EXPECT_FALSE(Find<QLineEdit>(box, "CategoriesButtonedEdit")->isEnabled());
        EXPECT_TRUE(Find<QPlainTextEdit>(box, "NotesMemo")->isReadOnly());
        EXPECT_TRUE(Find<QToolButton>(box, "NotesInsertDateTimeMarkSpeedButton")->isHidden());
        EXPECT_FALSE(Find<QToolButton>(box, "WorkSwapPostalAddressSpeedButton")->isEnabled());
        EXPECT_FALSE(Find<QToolButton>(box, "WorkShowMapPostalAddressSpeedButton")->isEnabled()); // mpNone
        EXPECT_FALSE(Find<QLineEdit>(box, "HomeFaxButtonedEdit")->actions().constFirst()->isEnabled());
    }, false);
    EXPECT_FALSE(book.DisplayContactProperties(contact, false, ""));
    EXPECT_EQ(shownTitle, "Contact Properties");
    EXPECT_FALSE(okVisible);
    EXPECT_EQ(DifferentFields(before, *contact), QStringList{"Accessed"});
    EXPECT_EQ(contact->Accessed, Now());
}

TEST_F(ContactDialogsTest, CancelLeavesTheRecordAndDropsANewOne)
{
    TContactData *contact = book.CreateContactData();
    FillDistinct(*contact);
    const TContactData before = *contact;
    WhenShown([](TQorContactsPropertiesBox &box) { Find<QLineEdit>(box, "LastNameEdit")->setText("Changed"); }, false);
    EXPECT_FALSE(book.DisplayContactProperties(contact, true, ""));
    EXPECT_EQ(DifferentFields(before, *contact), QStringList{"Accessed"});

    WhenShown({}, false);
    EXPECT_FALSE(book.DisplayContactProperties(nullptr, true, ""));
    EXPECT_EQ(book.ContactDataList().size(), 1u);
}

TEST_F(ContactDialogsTest, UnknownListValuesAreKept)
{
    TContactData *contact = book.CreateContactData();
    contact->Priority = "Urgent";
    contact->Sensitivity = "Secret";
    contact->Gender = "female"; // known in another letter case: stored as listed
    WhenShown({}, true);
    EXPECT_TRUE(book.DisplayContactProperties(contact, true, ""));
    EXPECT_EQ(contact->Priority, "Urgent");
    EXPECT_EQ(contact->Sensitivity, "Secret");
    EXPECT_EQ(contact->Gender, "Female");
}

TEST_F(ContactDialogsTest, DatePickersCanBeEmpty)
{
    TContactData *contact = book.CreateContactData();
    contact->Anniversary = DateToSerial(QDate(2001, 6, 2));
    contact->VisitCount = 1500;
    WhenShown([](TQorContactsPropertiesBox &box) {
        auto *birthday = Find<OptionalDateEdit>(box, "BirthdayDateTimePicker");
        EXPECT_TRUE(birthday->IsBlank());
        EXPECT_EQ(birthday->text().trimmed(), "");
        QTest::mouseClick(birthday, Qt::LeftButton); // a click alone sets nothing
        EXPECT_TRUE(birthday->IsBlank());
        QTest::keyClicks(birthday, "1980-05-17");
        EXPECT_EQ(birthday->date(), QDate(1980, 5, 17));
        QTest::keyClick(birthday, Qt::Key_Delete);
        EXPECT_TRUE(birthday->IsBlank());

        auto *lastVisit = Find<OptionalDateEdit>(box, "LastVisitDateTimePicker");
        lastVisit->setDate(QDate(2020, 2, 29));
        EXPECT_EQ(Find<OptionalDateEdit>(box, "AnniversaryDateTimePicker")->text(), "2001-06-02");
        EXPECT_EQ(Find<QSpinBox>(box, "VisitCountEdit")->value(), 1000);
    }, true);
    EXPECT_TRUE(book.DisplayContactProperties(contact, true, ""));
    EXPECT_EQ(contact->Birthday, 0);
    EXPECT_EQ(contact->LastVisit, DateToSerial(QDate(2020, 2, 29)));
    EXPECT_EQ(contact->Anniversary, DateToSerial(QDate(2001, 6, 2)));
    EXPECT_EQ(contact->VisitCount, 1000);
}

// A date typed whole replaces the date shown, and an unfinished one leaves it
// as it was; the calendar of a blank date sets nothing until a day is chosen.
TEST(OptionalDateEdit, TypingAndPicking)
{
    const struct { const char *name; QDate before; bool selectAll; const char *typed; QDate after; } cases[] = {
        {"blank, typed whole", {}, false, "1980-05-17", {1980, 5, 17}},
        {"all selected, typed whole", {2026, 12, 11}, true, "1980-05-17", {1980, 5, 17}},
        {"short month and day", {2026, 12, 11}, true, "1980-5-7\t", {1980, 5, 7}},
        {"left unfinished", {2026, 12, 11}, true, "1980-0\t", {2026, 12, 11}},
        {"blank, unfinished", {}, false, "19\t", {}},
        {"no such day", {}, false, "1980-02-30\t", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        OptionalDateEdit edit;
        if (c.before.isValid())
            edit.setDate(c.before);
        edit.show();
        if (c.selectAll)
            QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
        for (const QChar ch : QString::fromUtf8(c.typed))
            QTest::keyClick(&edit, ch == u'\t' ? Qt::Key_Tab : Qt::Key(ch.toLatin1()));
        EXPECT_EQ(edit.IsBlank(), !c.after.isValid());
        if (c.after.isValid())
            EXPECT_EQ(edit.date(), c.after);
        else
            EXPECT_EQ(edit.text().trimmed(), "");
    }

    OptionalDateEdit edit;
    edit.show();
    QTest::mouseClick(&edit, Qt::LeftButton, {}, QPoint(edit.width() - 4, edit.height() / 2)); // the arrow
    ASSERT_TRUE(edit.calendarWidget()->isVisible());
    EXPECT_EQ(edit.calendarWidget()->monthShown(), QDate::currentDate().month());
    EXPECT_EQ(edit.calendarWidget()->yearShown(), QDate::currentDate().year());
    EXPECT_TRUE(edit.IsBlank());
    edit.calendarWidget()->setSelectedDate(QDate::currentDate());
    EXPECT_EQ(edit.date(), QDate::currentDate());

    edit.SetBlank(true);
    QTest::keyClick(&edit, Qt::Key_Up); // stepping a blank date starts from today
    EXPECT_EQ(edit.date(), QDate::currentDate());
}

TEST_F(ContactDialogsTest, CategoriesAddedAndDeletedReachTheVocabulary)
{
    book.SetCategories({"Family", "Friends"});
    TContactData *contact = book.CreateContactData();
    contact->Categories.Assign({"Family", "Unlisted"});
    WhenShown([](TQorContactsPropertiesBox &box) {
        auto *list = Find<CheckListBox>(box, "CategoriesCheckListBox");
        EXPECT_EQ(list->CheckedEntries(), QStringList{"Family"}); // entries outside the vocabulary are not shown
        auto *edit = Find<QLineEdit>(box, "CategoriesButtonedEdit");
        QTest::keyClicks(edit, "Golf");
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClicks(edit, "family");
        QTest::keyClick(edit, Qt::Key_Enter);
        EXPECT_EQ(edit->text(), "");
        auto *keyword = Find<QLineEdit>(box, "KeywordsButtonedEdit");
        QTest::keyClicks(keyword, "Golf");
        QTest::keyClick(keyword, Qt::Key_Return);
        EXPECT_TRUE(box.isVisible()); // Enter there adds, it does not close the dialog
        EXPECT_EQ(Find<CheckListBox>(box, "KeywordsCheckListBox")->CheckedEntries(), QStringList{"Golf"});
        EXPECT_EQ(list->Entries(), (QStringList{"Family", "Friends", "Golf"}));
        list->setCurrentRow(1);
        QTest::keyClick(list, Qt::Key_Delete);
        EXPECT_EQ(list->CheckedEntries(), (QStringList{"Family", "Golf"}));
    }, true);
    EXPECT_TRUE(book.DisplayContactProperties(contact, true, ""));
    // A category the dialog never showed stays with the contact.
    EXPECT_EQ(contact->Categories.Entries(), (QStringList{"Family", "Golf", "Unlisted"}));
    EXPECT_EQ(book.Categories(), (QStringList{"Family", "Golf"}));
}

TEST_F(ContactDialogsTest, DuplicateNameAsksToMerge)
{
    TContactData *older = book.CreateContactData();
    older->FirstName = "Ann";
    older->Company = "Acme";
    older->Modified = 1;
    const auto typeAnn = [](TQorContactsPropertiesBox &box) { Find<QLineEdit>(box, "FirstNameEdit")->setText("Ann"); };

    prompts.answerYes = false;
    WhenShown(typeAnn, true);
    EXPECT_FALSE(book.DisplayContactProperties(nullptr, true, ""));
    EXPECT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(book.ContactDataList().size(), 1u);

    prompts.answerYes = true;
    WhenShown(typeAnn, true);
    EXPECT_TRUE(book.DisplayContactProperties(nullptr, true, ""));
    ASSERT_EQ(book.ContactDataList().size(), 1u);
    EXPECT_EQ(book.ContactDataList()[0]->Company, "Acme");
}

// The dialog's own actions, without running it modally.
class PropertiesBoxTest : public ContactDialogsTest
{
protected:
    PropertiesBoxTest() : box(book, desktop) {}
    TQorContactsPropertiesBox box;
};

TEST_F(PropertiesBoxTest, NotesDoubleClickOpensWhatTheLineHolds)
{
    const struct
    {
        const char *line, *opened;
    } cases[] = {
        {"see http://example.com/a now", "http://example.com/a"},
        {"skype: jdoe", "callto:jdoe"},
        {"write to (ann@example.com) today", "mailto: ann@example.com"},
        {"mail ann@x.org or https://x.org", "https://x.org"},
        {"nothing to open", nullptr},
    };
    for (const auto &c : cases) {
        desktop.opened.clear();
        box.NotesMemoDblClick(c.line);
        EXPECT_EQ(desktop.opened, c.opened ? QStringList{c.opened} : QStringList{}) << c.line;
    }
}

TEST_F(PropertiesBoxTest, NotesMemoDoubleClickAndDateMark)
{
    TContactData contact;
    contact.Notes = {"first", "go to https://example.org please"};
    box.Load(contact, true, "");
    auto *memo = Find<QPlainTextEdit>(box, "NotesMemo");
    box.show();
    Find<QTabWidget>(box, "PageControl1")->setCurrentIndex(4);
    QTextCursor second(memo->document()->findBlockByNumber(1));
    const QPoint at = memo->cursorRect(second).center();
    QTest::mouseDClick(memo->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(desktop.opened, QStringList{"https://example.org"});

    box.NotesInsertDateTimeMarkSpeedButtonClick();
    const QStringList lines = memo->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[2], TQorContactsPropertiesBox::FormatBookkeepingTime(Now()));
}

TEST_F(PropertiesBoxTest, EmailAndWebsiteBoxesOpen)
{
    TContactData contact;
    contact.WorkEmail = "ann@example.com";
    contact.PersonalWebsite = "http://ann.example.com/";
    auto *pages = Find<QTabWidget>(box, "PageControl1");
    box.Load(contact, false, "");
    box.show();
    pages->setCurrentIndex(2);
    QTest::mouseClick(Find<QLineEdit>(box, "PersonalWebsiteEdit"), Qt::LeftButton); // view mode: one click
    QTest::mouseClick(Find<QLineEdit>(box, "PersonalEmailEdit"), Qt::LeftButton);   // empty: nothing
    EXPECT_EQ(desktop.opened, QStringList{"http://ann.example.com/"});

    desktop.opened.clear();
    box.Load(contact, true, "");
    pages->setCurrentIndex(1);
    QTest::mouseClick(Find<QLineEdit>(box, "WorkEmailEdit"), Qt::LeftButton); // edit mode: only a double-click
    EXPECT_TRUE(desktop.opened.isEmpty());
    QTest::mouseDClick(Find<QLineEdit>(box, "WorkEmailEdit"), Qt::LeftButton);
    EXPECT_EQ(desktop.opened, QStringList{"mailto: ann@example.com"});
}

TEST_F(PropertiesBoxTest, SwapAndShowMap)
{
    book.SetMapsProvider(mpGoogle);
    TContactData contact;
    contact.WorkStreet = "Bât. 2;12, Rue de l'Été";
    contact.WorkCity = "Paris";
    contact.WorkPostalCode = "75001";
    contact.WorkCountryRegion = "Réunion";
    contact.HomeCity = "Lyon";
    box.Load(contact, true, "");
    Find<QToolButton>(box, "WorkShowMapPostalAddressSpeedButton")->click();
    EXPECT_EQ(desktop.opened, QStringList{"https://www.google.com/maps/?q=12+Rue+de+l'Ete%2C+75001+Paris%2C+R%E9union"});

    Find<QToolButton>(box, "HomeSwapPostalAddressSpeedButton")->click();
    TContactData stored = contact;
    box.Store(stored);
    EXPECT_EQ(stored.HomeCity, "Paris");
    EXPECT_EQ(stored.HomeStreet, contact.WorkStreet);
    EXPECT_EQ(stored.HomeCountryRegion, "Réunion");
    EXPECT_EQ(stored.WorkCity, "Lyon");
    EXPECT_EQ(stored.WorkStreet, "");
    book.SetMapsProvider(mpNone);
}

// A street is shown one line under the other and comes back as it was stored
// unless the user changed it.
TEST_F(PropertiesBoxTest, StreetsShowTheirLines)
{
    const struct { const char *stored, *shown, *typed, *after; } cases[] = {
        {"Building 4;1 Main Street", "Building 4\n1 Main Street", nullptr, "Building 4;1 Main Street"},
        {"Building 4;1 Main Street", "Building 4\n1 Main Street", "Building 5\n1 Main Street\n",
         "Building 5;1 Main Street"},
        {"one line\nfrom a card;", "one line\nfrom a card\n", nullptr, "one line\nfrom a card;"},
        {"", "", "Suite 2\n\n9 Elm Road", "Suite 2;;9 Elm Road"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        TContactData contact;
        contact.HomeStreet = QString::fromUtf8(c.stored);
        box.Load(contact, true, "");
        auto *street = Find<QPlainTextEdit>(box, "HomeStreetEdit");
        EXPECT_EQ(street->toPlainText(), QString::fromUtf8(c.shown));
        if (c.typed)
            street->setPlainText(QString::fromUtf8(c.typed));
        TContactData stored;
        box.Store(stored);
        EXPECT_EQ(stored.HomeStreet, QString::fromUtf8(c.after));
    }
}

TEST_F(PropertiesBoxTest, DialButtonComposesOrKeepsTheNumber)
{
    TContactData contact;
    contact.WorkPhone = "01 23 45 67 89";
    contact.WorkCountryRegion = "France";
    box.Load(contact, true, "");
    QString caption;
    box.RunDialog = [&](QDialog &dialog) {
        caption = dialog.windowTitle();
        dialog.findChild<QLineEdit *>("ExtensionEdit")->setText("12");
        return int(QDialog::Accepted);
    };
    auto *phone = Find<QLineEdit>(box, "WorkPhoneButtonedEdit");
    phone->findChild<QAction *>("WorkPhoneButtonedEditDialButton")->trigger();
    EXPECT_EQ(caption, "Work Phone");
    EXPECT_EQ(phone->text(), "+33 0123456789 x 12");

    phone->setText("not (composed");
    box.RunDialog = [](QDialog &dialog) {
        dialog.findChild<QLineEdit *>("LocalNumberEdit")->setText("999");
        return int(QDialog::Rejected);
    };
    EXPECT_EQ(box.DisplayDialNumber(phone->text(), "France", "Work Phone"), "not (composed");
    EXPECT_TRUE(prompts.warnings.isEmpty());
    box.DisplayDialNumber("+33 1 23", "United States", "Work Phone");
    ASSERT_EQ(prompts.warnings.size(), 1);
    EXPECT_TRUE(prompts.warnings[0].startsWith("Country/region inconsistency:\nFrance \"+33\""));
}

TEST(PropertiesBox, BookkeepingTimesLeaveOutMidnight)
{
    const QDateTime midnight(QDate(2024, 3, 14), QTime(0, 0), Qt::UTC); // tests run in UTC
    EXPECT_EQ(TQorContactsPropertiesBox::FormatBookkeepingTime(0), "-");
    EXPECT_EQ(TQorContactsPropertiesBox::FormatBookkeepingTime(DateTimeToSerial(midnight)),
              QLocale::system().toString(QDate(2024, 3, 14), QLocale::ShortFormat));
    EXPECT_TRUE(TQorContactsPropertiesBox::FormatBookkeepingTime(DateTimeToSerial(midnight.addSecs(3725)))
                    .contains("1:02:05"));
}

TEST_F(PropertiesBoxTest, EditPostalAddressBringsTheFieldsBack)
{
    TContactData contact;
    contact.OtherStreet = "old";
    box.Load(contact, true, "");
    QString memoText;
    box.RunDialog = [&](QDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Other Postal Address");
        auto *memo = dialog.findChild<QPlainTextEdit *>("FormattedAddressMemo");
        memoText = memo->toPlainText();
        memo->setPlainText("1 Main Street\nSpringfield, IL 62701\nUnited States");
        dialog.findChild<QToolButton *>("RightToLeftSpeedButton")->click();
        return int(QDialog::Accepted);
    };
    Find<QToolButton>(box, "OtherEditPostalAddressSpeedButton")->click();
    EXPECT_EQ(memoText, "old");
    TContactData stored;
    box.Store(stored);
    EXPECT_EQ(stored.OtherStreet, "1 Main Street");
    EXPECT_EQ(stored.OtherCity, "Springfield");
    EXPECT_EQ(stored.OtherStateProvince, "IL");
    EXPECT_EQ(stored.OtherPostalCode, "62701");
    EXPECT_EQ(stored.OtherCountryRegion, "United States");
}

TEST(DialNumberBox, ComposesAsTyped)
{
    TQorContactsDialNumberBox box;
    box.SetParts({"France", "1", "23456789", "12"});
    auto *label = box.findChild<QLabel *>("FormattedDialNumberLabel");
    EXPECT_EQ(label->text(), "+33 (1) 23456789 x 12");
    QTest::keyClicks(box.findChild<QLineEdit *>("LocalNumberEdit"), "0");
    EXPECT_EQ(label->text(), "+33 (1) 234567890 x 12");
    box.SetParts({});
    EXPECT_EQ(label->text(), "-");
}

TEST(PostalAddressBox, ArrowsConvertBothWays)
{
    TQorContactsPostalAddressBox box;
    auto *memo = box.findChild<QPlainTextEdit *>("FormattedAddressMemo");
    box.SetFields({"Building 4;1 Main St", "", "Boston", "02101", "MA", "United States"});
    EXPECT_EQ(memo->toPlainText(), "Building 4\n1 Main St\nBoston, MA 02101\nUnited States");

    memo->clear();
    box.findChild<QToolButton *>("RightToLeftSpeedButton")->click();
    EXPECT_TRUE(box.Fields().IsEmpty());
    memo->setPlainText("kept");
    box.findChild<QToolButton *>("LeftToRightSpeedButton")->click();
    EXPECT_EQ(memo->toPlainText(), "kept");
}

} // namespace
