#pragma once

#include "backup/BackupNames.h"
#include "backup/DatabaseCopy.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <atomic>

namespace itm {

struct BackupEntry
{
    QString path;
    BackupName name;
    qint64 size = 0;
};

// The backups of the database with that stem (see BackupStem) in folder,
// newest first; other files, and the copies of other databases, are not its
// backups.
QList<BackupEntry> ListBackups(const QString& folder, const QString& stem);

// A copy's size as a listing shows it: "512 B", "1.5 KB", "38.2 MB".
QString BackupSizeText(qint64 bytes);

struct BackupOutcome
{
    CopyOutcome::Status status = CopyOutcome::Copied;
    QString path; // the finished backup
    QString problem; // a sentence for the user when it failed

    bool made() const { return status == CopyOutcome::Copied; }
};

enum class MissingFolder
{
    Create, // the backup folder beside the database
    Refuse // a folder the user named: a mistyped path must not land on the wrong disk
};

enum class RegisterMark
{
    // A register without an identity (see RegisterIdentity.h) gets one with
    // its first copy, once the copy has been made.
    Give,
    // The database stays byte for byte as it was (a restore's copy of the
    // database it is about to replace).
    Leave
};

// Copies the database into folder as <stem>-YYYYMMDD-HHMMSS.itm for now. The
// copy is written under a partial name, checked (quick_check and the three
// tables) and only then renamed, so that a file with a backup's name is
// always a whole, checked copy; a copy that fails its check is removed.
BackupOutcome MakeBackup(const CopySource& database, const QString& folder, const QDateTime& now,
    MissingFolder missingFolder = MissingFolder::Create, const std::atomic_bool* cancel = nullptr,
    RegisterMark mark = RegisterMark::Give, const CopyProgress& progress = {});

// Removes the backups of the database with that stem that the keeping rule
// lets go (see BackupsToPrune), never the one at keep. Returns the paths removed.
QStringList PruneBackups(
    const QString& folder, const QString& stem, const QDateTime& now, const QString& keep = QString());

// Removes the partial copies that processes no longer running left behind
// (killed while copying) and any older than a day, with the files SQLite
// kept beside them (-journal, -wal, -shm).
void RemoveAbandonedPartials(const QString& folder);

// A partial file name in folder that no other copy in this process uses.
QString NewPartialPath(const QString& folder);

} // namespace itm
