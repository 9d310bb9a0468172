#pragma once

#include "backup/BackupNames.h"

#include <QList>

namespace itm {

// How many of the newest copies are always kept, and for how many calendar
// months (the current one included) the newest copy of each month is kept
// besides them.
inline constexpr int KeptNewestBackups = 10;
inline constexpr int KeptMonthlyBackups = 12;

// A backup is due unless one was made less than 24 hours before now. A copy
// dated more than 24 hours ahead of now (the clock was wrong when it was made,
// or has been put back since) does not count as recent: it would otherwise
// stop every backup until the clock caught up with it.
bool IsBackupDue(const QList<BackupName>& backups, const QDateTime& now);

// The backups to remove: all but the newest KeptNewestBackups and the newest
// of each of the last KeptMonthlyBackups months. Given in any order; the
// result holds indexes into backups.
QList<int> BackupsToPrune(const QList<BackupName>& backups, const QDateTime& now);

} // namespace itm
