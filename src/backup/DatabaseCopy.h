#pragma once

#include <QString>
#include <atomic>
#include <functional>

struct sqlite3;

namespace itm {

struct CopyOutcome
{
    enum Status
    {
        Copied,
        SourceFailed, // the database could not be read (missing, locked, changing without pause)
        SourceDamaged, // the database is not one or its pages are damaged
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

// The database to copy.
struct CopySource
{
    CopySource(const QString& path, SourceAccess access = SourceAccess::ReadOnly, sqlite3* connection = nullptr)
        : path(path)
        , access(access)
        , connection(connection)
    {
    }

    QString path;
    SourceAccess access;
    // The connection through which the program itself writes the database,
    // or null. A copy read through it takes in the program's own posts as
    // they are made, where a copy through a connection of its own starts
    // over after each of them. The copy uses it from its own thread, which
    // SQLite allows only for a connection in serialized mode; any other is
    // not used.
    sqlite3* connection;
};

// Told after each step of a copy how many pages of how many have been
// copied; returning false cancels the copy as cancel does.
using CopyProgress = std::function<bool(qint64 copied, qint64 total)>;

// Copies the database, which may be open and in use by other connections or
// processes, into a new file target through SQLite's online backup, a few
// pages at a time: between steps the database is free for writers (a change
// made by another connection meanwhile starts the copy over). The copy is
// consistent, flushed to the disk, and removed again when anything fails or
// cancel becomes true. target must not exist.
CopyOutcome CopyDatabase(const CopySource& source, const QString& target, const std::atomic_bool* cancel = nullptr,
    const CopyProgress& progress = {});

} // namespace itm
