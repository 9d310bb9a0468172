#pragma once

#include "backup/DatabaseCopy.h"

#include <QDateTime>
#include <QString>

namespace itm {

class DatabaseLock;

struct RestoreOutcome
{
    enum Status
    {
        Restored,
        DatabaseInUse, // another process holds the database's lock
        BadBackup, // the file to restore failed its check
        // Questions: the restore is made only when the caller asks again with
        // the answer in RestoreConsent.
        OtherRegister, // the file is a copy of another register than the database's
        NewerSchema, // the file was written by a later version of the program
        Failed // the current database could not be kept, or the new one not written
    };
    Status status = Restored;
    QString problem; // a sentence for the user when it did not restore (a warning when it did)
    // Where the database as it was before the restore now lives; empty when
    // there was none.
    QString previousDatabase;
};

// What the user agreed to after a question (see RestoreOutcome).
struct RestoreConsent
{
    bool otherRegister = false;
    bool newerSchema = false;
};

// Puts the database saved in backupFile in place of the one at databasePath.
// A database path that is a symbolic link (a database kept in a synced
// folder) is restored into the file the link leads to, written beside it;
// the link stays.
// Holds the database's lock throughout and refuses while another process
// holds it; checks the file (SQLite, quick_check, the three tables with their
// columns and nothing beyond the program's schema); asks (see RestoreConsent)
// before a copy of another register or of a newer schema; makes a backup of the current database (a damaged one is kept
// as a plain copy named deteriorata-...); then writes the new database under a partial name beside it and renames it
// over the old one. Up to that rename, the database at databasePath is the old one untouched; after it, the new one
// whole.
//
// heldLock: the database's lock, already held by the caller (the program
// restoring its own register, closed meanwhile); it is kept on the new file.
// progress: told about both copies (the current database's, then the new
// one's); a false answer stops the restore before anything is replaced.
RestoreOutcome RestoreDatabase(const QString& backupFile, const QString& databasePath, const QDateTime& now,
    RestoreConsent consent = {}, DatabaseLock* heldLock = nullptr, const CopyProgress& progress = {});

} // namespace itm
