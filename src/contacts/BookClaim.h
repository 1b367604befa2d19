#pragma once

#include "platform/FileLock.h"
#include "platform/FileSystem.h"

#include <QString>

#include <memory>

namespace cardolin {

class UserPrompts;

// The lock file that makes one program at a time the writer of a book:
// "<book>.lock" beside the file a link at the book's path leads to, so that
// two spellings of one book share it.
QString BookLockFileName(const QString &bookPath);

// One writer per book. A program that will rewrite a book claims it before
// reading it and keeps the claim until it has saved it (the window: while the
// book is open); it remembers the file as read, so that a save can tell when
// someone who did not ask changed it meanwhile.
class BookClaim
{
public:
    // How long a second writer waits for the first to finish.
    static constexpr int kWaitMs = 3000;

    // Takes the book's lock, waiting briefly for another holder, unless it is
    // ours already; a claim on another book is let go. False, with Problem()
    // naming the holder or the reason, when another program holds the book or
    // its lock file cannot be made. Where the book's folder is missing there
    // is nothing to claim yet.
    bool Claim(const QString &bookPath);
    bool Claimed(const QString &bookPath) const;
    const QString &Problem() const { return m_problem; }

    // Remembers the book as it is on disk now, as read or as written.
    void Remember(const QString &bookPath);
    // The file at bookPath is not the one remembered. A book remembered under
    // another path (moved when the options changed) is taken as unchanged.
    bool ChangedOnDisk(const QString &bookPath) const;

    // The same, with an error shown when the answer is no.
    bool ClaimOrTell(const QString &bookPath, UserPrompts &prompts);
    bool UnchangedOrTell(const QString &bookPath, UserPrompts &prompts) const;

private:
    std::unique_ptr<platform::FileLock> m_lock;
    QString m_problem;
    QString m_rememberedPath;
    platform::FileStamp m_remembered;
};

} // namespace cardolin
