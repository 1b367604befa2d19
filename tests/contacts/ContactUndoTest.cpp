#include "contacts/ContactUndo.h"
#include "contacts/ContactsBookFile.h"
#include "support/Clock.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <functional>

using namespace cardolin;

namespace {

// The book as a file would hold it, plus which objects hold the records: undo
// must bring back the very records, so rows and later steps still find them.
struct BookState
{
    QByteArray file;
    std::vector<const TContactData *> records;
    QStringList categories;
    bool operator==(const BookState &) const = default;
};

BookState StateOf(const TQorContacts &book)
{
    BookState state;
    QBuffer buffer(&state.file);
    buffer.open(QIODevice::WriteOnly);
    bookfile::Write(book, buffer);
    for (const auto &record : book.ContactDataList())
        state.records.push_back(record.get());
    state.categories = book.Categories();
    return state;
}

struct UndoTest : ::testing::Test
{
    UndoTest()
    {
        book.SetClock(clock);
        for (const char *name : {"Ann", "Bob", "Cy", "Ann", "Dee"}) {
            TContactData *c = book.CreateContactData();
            c->FirstName = name;
            c->Modified = 45000 + book.ContactDataList().size();
        }
        book.ContactDataList()[0]->Notes = {"older notes"};
        book.SetCategories({"Family"});
    }
    TContactData *At(size_t i) const { return book.ContactDataList()[i].get(); }

    FixedClock clock{QDateTime(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC)};
    TQorContacts book;
    TContactUndoHistory history;
};

TEST_F(UndoTest, EveryKindOfChangeIsUndoneAndRedoneExactly)
{
    struct Case
    {
        const char *name;
        std::function<void(UndoTest &, TContactUndoStep &)> command;
    };
    const Case cases[] = {
        {"set a field", [](UndoTest &t, TContactUndoStep &) {
             t.book.NoteWillChange(t.At(1));
             t.At(1)->Priority = "High";
         }},
        {"delete some", [](UndoTest &t, TContactUndoStep &) { t.book.DeleteContactDataList({t.At(4), t.At(1)}); }},
        {"delete one", [](UndoTest &t, TContactUndoStep &) { t.book.DeleteContactData(t.At(2)); }},
        {"clear", [](UndoTest &t, TContactUndoStep &) { t.book.ClearContactDataList(); }},
        {"merge duplicates", [](UndoTest &t, TContactUndoStep &) { t.book.DeduplicateContactDataList(dmMerge); }},
        {"add", [](UndoTest &t, TContactUndoStep &step) {
             TContactData *c = t.book.CreateContactData();
             step.Added(c);
             c->FirstName = "Eve";
             t.book.SetCategories({"Family", "Golf"});
         }},
        {"add then merge away an older one", [](UndoTest &t, TContactUndoStep &step) {
             TContactData *c = t.book.CreateContactData();
             step.Added(c);
             c->FirstName = "Bob";
             t.book.DeduplicateContactData(c, dmMerge);
         }},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        const BookState before = StateOf(book);
        {
            TUndoRecording recording(history, book, test.name);
            test.command(*this, recording.Step());
            recording.Commit();
        }
        const BookState after = StateOf(book);
        ASSERT_NE(after, before);
        ASSERT_TRUE(history.CanUndo());
        EXPECT_EQ(history.UndoName(), test.name);
        history.Undo();
        EXPECT_EQ(StateOf(book), before);
        history.Redo();
        EXPECT_EQ(StateOf(book), after);
        history.Undo();
        EXPECT_EQ(StateOf(book), before);
        history.Clear();
    }
}

TEST_F(UndoTest, StepsUndoInTurnAndANewCommandEndsRedo)
{
    const BookState start = StateOf(book);
    {
        TUndoRecording recording(history, book, "delete");
        book.DeleteContactData(At(1));
        recording.Commit();
    }
    const BookState afterDelete = StateOf(book);
    {
        TUndoRecording recording(history, book, "merge");
        ASSERT_EQ(book.DeduplicateContactDataList(dmMerge), 1);
        recording.Commit();
    }
    history.Undo();
    EXPECT_EQ(StateOf(book), afterDelete);
    history.Undo();
    EXPECT_EQ(StateOf(book), start);
    EXPECT_FALSE(history.CanUndo());

    {
        TUndoRecording recording(history, book, "delete again");
        book.DeleteContactData(At(3));
        recording.Commit();
    }
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.UndoName(), "delete again");
}

TEST_F(UndoTest, ACommandThatIsNotCommittedOrChangesNothingLeavesNoStep)
{
    {
        TUndoRecording recording(history, book, "cancelled add");
        TContactData *c = book.CreateContactData();
        recording.Step().Added(c);
        book.DeleteContactData(c); // the user cancelled
    }
    {
        TUndoRecording recording(history, book, "nothing");
        recording.Commit();
    }
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(book.ChangeRecorder(), nullptr);
    EXPECT_EQ(book.ContactDataList().size(), 5u);
}

TEST_F(UndoTest, UndoingTheDeletionOfAWholeBookKeepsTheSameRecords)
{
    for (int i = 0; i < 20000; ++i)
        book.CreateContactData()->FirstName = QString::number(i);
    const BookState before = StateOf(book);
    std::vector<TContactData *> all;
    for (const auto &record : book.ContactDataList())
        all.push_back(record.get());
    {
        TUndoRecording recording(history, book, "delete all");
        book.DeleteContactDataList(all);
        recording.Commit();
    }
    EXPECT_TRUE(book.ContactDataList().empty());
    history.Undo();
    EXPECT_EQ(StateOf(book), before);
}

} // namespace
