#pragma once

#include <QString>
#include <atomic>

namespace itm {

struct CopyOutcome
{
    enum Status
    {
        Copied,
        SourceFailed, // the database could not be read (missing, locked, damaged)
        TargetFailed, // the copy could not be written (full disk, read-only folder, ...)
        Cancelled
    };
    Status status = Copied;
    QString problem; // SQLite's or the system's reason

    bool copied() const { return status == Copied; }
};

enum class SourceAccess
{
    // Never writes the source; a copy of a database in use.
    ReadOnly,
    // Opens it as the program does, so that SQLite first rolls back what a
    // writer that was killed left half done.
    ReadWrite
};

// Copies the database at source, which may be open and in use by another
// connection or process, into a new file target through SQLite's online
// backup, a few pages at a time: between steps the source is free for
// writers (a change made meanwhile starts the copy over). The copy is
// consistent, flushed to the disk, and removed again when anything fails or
// cancel becomes true. target must not exist.
CopyOutcome CopyDatabase(const QString& source, const QString& target, SourceAccess access = SourceAccess::ReadOnly,
    const std::atomic_bool* cancel = nullptr);

} // namespace itm
