#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace itm {

// The backups of a database live in the folder "copii" beside it
// (data/date.itm -> data/copii/), one file per copy, named after the database
// and the local time the copy was made: date-YYYYMMDD-HHMMSS.itm for date.itm,
// alta-YYYYMMDD-HHMMSS.itm for alta.itm. A second copy made within the same
// second gets a number: date-YYYYMMDD-HHMMSS-2.itm.
QString BackupFolder(const QString& databasePath);

// The part of the database's file name its copies begin with ("date").
QString BackupStem(const QString& databasePath);

QString BackupFileName(const QString& stem, const QDateTime& made, int sequence = 1);

struct BackupName
{
    QDateTime made;
    int sequence = 1;
};

// The time a file name says its copy of the database with that stem was made;
// nothing for any other name, so neither a file of the user's own nor a copy
// of another database in the folder is taken for one of its backups.
std::optional<BackupName> ParseBackupFileName(const QString& stem, const QString& fileName);

// Newest first: by the time made, then by the number within the second.
bool IsNewerBackup(const BackupName& a, const BackupName& b);

// A copy is written under a name no backup can have, and renamed only once it
// has been checked: ".copie-<process>-<n>.partial". The process id tells a
// copy still being written from one left by a process that was killed. The
// files SQLite keeps beside a partial copy while writing it (-journal, -wal,
// -shm) are parsed as partial files of the same process.
QString PartialFileName(qint64 processId, int number);
std::optional<qint64> ParsePartialFileName(const QString& fileName);

} // namespace itm
