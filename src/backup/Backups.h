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

// The backups in folder, newest first; other files are not backups.
QList<BackupEntry> ListBackups(const QString& folder);

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

// Copies the database into folder as date-YYYYMMDD-HHMMSS.itm for now. The
// copy is written under a partial name, checked (quick_check and the three
// tables) and only then renamed, so that a file with a backup's name is
// always a whole, checked copy; a copy that fails its check is removed.
BackupOutcome MakeBackup(const CopySource& database, const QString& folder, const QDateTime& now,
    MissingFolder missingFolder = MissingFolder::Create, const std::atomic_bool* cancel = nullptr);

// Removes the backups that the keeping rule lets go (see BackupsToPrune),
// never the one at keep. Returns the paths removed.
QStringList PruneBackups(const QString& folder, const QDateTime& now, const QString& keep = QString());

// Removes the partial copies that processes no longer running left behind
// (killed while copying) and any older than a day.
void RemoveAbandonedPartials(const QString& folder);

// A partial file name in folder that no other copy in this process uses.
QString NewPartialPath(const QString& folder);

} // namespace itm
