#include "contacts/ContactUndo.h"

#include <algorithm>
#include <unordered_set>

namespace cardolin {

TContactUndoStep::TContactUndoStep(QString name, TQorContacts &book)
    : m_name(std::move(name)), m_book(book), m_categoriesBefore(book.Categories()), m_keywordsBefore(book.Keywords())
{
}

TContactUndoStep::~TContactUndoStep() = default;

void TContactUndoStep::WillChange(TContactData &record)
{
    if (m_changed.contains(&record))
        return;
    m_changed.emplace(&record, m_changes.size());
    m_changes.push_back({&record, record, {}});
}

void TContactUndoStep::Removed(TRemovedContacts removed)
{
    Batch batch;
    batch.Records.reserve(removed.size());
    for (const auto &entry : removed)
        batch.Records.push_back(entry.second.get());
    batch.Owned = std::move(removed);
    m_batches.push_back(std::move(batch));
}

void TContactUndoStep::Added(TContactData *record)
{
    if (record)
        m_added.push_back(record);
}

void TContactUndoStep::Finish()
{
    for (Change &change : m_changes)
        change.After = *change.Record;
    m_categoriesAfter = m_book.Categories();
    m_keywordsAfter = m_book.Keywords();
}

bool TContactUndoStep::IsEmpty() const
{
    return m_changes.empty() && m_batches.empty() && m_added.empty() && m_categoriesBefore == m_categoriesAfter &&
           m_keywordsBefore == m_keywordsAfter;
}

void TContactUndoStep::Undo()
{
    // The reverse of the command: removals are put back newest first, which
    // brings the book to its state just after the additions; then the
    // additions leave and the changed records get their old values.
    for (auto batch = m_batches.rbegin(); batch != m_batches.rend(); ++batch)
        m_book.PutBackContactDataList(std::move(batch->Owned));
    m_addedOwned = m_book.TakeContactDataList(m_added);
    for (Change &change : m_changes)
        *change.Record = change.Before;
    ApplyVocabularies(m_categoriesBefore, m_keywordsBefore);
}

void TContactUndoStep::Redo()
{
    m_book.PutBackContactDataList(std::move(m_addedOwned));
    m_addedOwned.clear();
    for (Change &change : m_changes)
        *change.Record = change.After;
    for (Batch &batch : m_batches)
        batch.Owned = m_book.TakeContactDataList(batch.Records);
    ApplyVocabularies(m_categoriesAfter, m_keywordsAfter);
}

void TContactUndoStep::ApplyVocabularies(const QStringList &categories, const QStringList &keywords)
{
    m_book.SetCategories(categories);
    m_book.SetKeywords(keywords);
}

std::vector<TContactData *> TContactUndoStep::Records() const
{
    std::vector<TContactData *> records(m_added);
    for (const Change &change : m_changes)
        records.push_back(change.Record);
    for (const Batch &batch : m_batches)
        records.insert(records.end(), batch.Records.begin(), batch.Records.end());
    std::sort(records.begin(), records.end());
    records.erase(std::unique(records.begin(), records.end()), records.end());
    return records;
}

// ---- history ---------------------------------------------------------------

void TContactUndoHistory::Push(std::unique_ptr<TContactUndoStep> step)
{
    m_steps.resize(m_done); // a new command ends what could be redone
    m_steps.push_back(std::move(step));
    if (m_steps.size() > m_depth)
        m_steps.erase(m_steps.begin());
    m_done = m_steps.size();
}

TContactUndoStep *TContactUndoHistory::Undo()
{
    if (!CanUndo())
        return nullptr;
    TContactUndoStep *step = m_steps[--m_done].get();
    step->Undo();
    return step;
}

TContactUndoStep *TContactUndoHistory::Redo()
{
    if (!CanRedo())
        return nullptr;
    TContactUndoStep *step = m_steps[m_done++].get();
    step->Redo();
    return step;
}

void TContactUndoHistory::Clear()
{
    m_steps.clear();
    m_done = 0;
}

// ---- recording -------------------------------------------------------------

TUndoRecording::TUndoRecording(TContactUndoHistory &history, TQorContacts &book, const QString &name)
    : m_history(history), m_book(book), m_previous(book.ChangeRecorder()),
      m_step(std::make_unique<TContactUndoStep>(name, book))
{
    book.SetChangeRecorder(m_step.get());
}

TUndoRecording::~TUndoRecording()
{
    m_book.SetChangeRecorder(m_previous);
}

void TUndoRecording::Commit()
{
    if (!m_step)
        return;
    m_book.SetChangeRecorder(m_previous);
    m_step->Finish();
    if (!m_step->IsEmpty())
        m_history.Push(std::move(m_step));
    m_step.reset();
}

} // namespace cardolin
