#pragma once

#include "contacts/QorContacts.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <unordered_map>
#include <vector>

namespace cardolin {

// One command's changes to a book, enough to take them back and make them
// again. Records that leave the book are kept here, moved aside rather than
// copied, so deleting a whole book stays cheap to undo.
class TContactUndoStep final : public TContactChangeRecorder
{
public:
    TContactUndoStep(QString name, TQorContacts &book);
    ~TContactUndoStep() override;

    // What the command reports while it runs.
    void WillChange(TContactData &record) override;
    void Removed(TRemovedContacts removed) override;
    void Added(TContactData *record);
    // The command is over: notes what it left behind.
    void Finish();
    bool IsEmpty() const;

    void Undo();
    void Redo();

    const QString &Name() const { return m_name; }
    // Every record the step touches, whether in the book now or not.
    std::vector<TContactData *> Records() const;

private:
    struct Change
    {
        TContactData *Record;
        TContactData Before;
        TContactData After;
    };
    struct Batch
    {
        std::vector<TContactData *> Records;
        TRemovedContacts Owned; // held while the removal is in effect
    };
    void ApplyVocabularies(const QStringList &categories, const QStringList &keywords);

    QString m_name;
    TQorContacts &m_book;
    std::vector<Change> m_changes;
    std::unordered_map<const TContactData *, size_t> m_changed;
    std::vector<Batch> m_batches;
    std::vector<TContactData *> m_added;
    TRemovedContacts m_addedOwned; // held while the step is undone
    QStringList m_categoriesBefore, m_keywordsBefore, m_categoriesAfter, m_keywordsAfter;
};

// The steps that can be undone and redone, newest last. Loading or saving the
// book ends them.
class TContactUndoHistory
{
public:
    explicit TContactUndoHistory(size_t depth = 20) : m_depth(depth) {}

    void Push(std::unique_ptr<TContactUndoStep> step);
    bool CanUndo() const { return m_done > 0; }
    bool CanRedo() const { return m_done < m_steps.size(); }
    QString UndoName() const { return CanUndo() ? m_steps[m_done - 1]->Name() : QString(); }
    QString RedoName() const { return CanRedo() ? m_steps[m_done]->Name() : QString(); }
    // Both answer the step taken back or made again, null when there is none.
    TContactUndoStep *Undo();
    TContactUndoStep *Redo();
    void Clear();

private:
    size_t m_depth;
    std::vector<std::unique_ptr<TContactUndoStep>> m_steps;
    size_t m_done = 0;
};

// Records one command into a history: installed on the book for its lifetime,
// pushed by Commit, dropped otherwise (a cancelled command leaves nothing to
// undo).
class TUndoRecording
{
public:
    TUndoRecording(TContactUndoHistory &history, TQorContacts &book, const QString &name);
    ~TUndoRecording();
    TUndoRecording(const TUndoRecording &) = delete;
    TUndoRecording &operator=(const TUndoRecording &) = delete;

    TContactUndoStep &Step() { return *m_step; }
    void Commit();

private:
    TContactUndoHistory &m_history;
    TQorContacts &m_book;
    TContactChangeRecorder *m_previous;
    std::unique_ptr<TContactUndoStep> m_step;
};

} // namespace cardolin
