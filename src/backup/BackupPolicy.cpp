#include "backup/BackupPolicy.h"

#include <algorithm>
#include <numeric>

namespace itm {

namespace {
constexpr qint64 secondsPerDay = 24 * 60 * 60;

int monthIndex(const QDate& date)
{
    return date.year() * 12 + date.month() - 1;
}
} // namespace

bool IsBackupDue(const QList<BackupName>& backups, const QDateTime& now)
{
    return std::none_of(backups.begin(), backups.end(),
        [&](const BackupName& backup) { return qAbs(backup.made.secsTo(now)) < secondsPerDay; });
}

QList<int> BackupsToPrune(const QList<BackupName>& backups, const QDateTime& now)
{
    QList<int> newestFirst(backups.size());
    std::iota(newestFirst.begin(), newestFirst.end(), 0);
    std::stable_sort(newestFirst.begin(), newestFirst.end(),
        [&](int a, int b) { return IsNewerBackup(backups.at(a), backups.at(b)); });

    QList<bool> kept(backups.size(), false);
    for (int rank = 0; rank < newestFirst.size() && rank < KeptNewestBackups; ++rank)
        kept[newestFirst.at(rank)] = true;

    const int currentMonth = monthIndex(now.date());
    QList<int> monthsSeen;
    for (int index : newestFirst) {
        const int month = monthIndex(backups.at(index).made.date());
        if (month > currentMonth || month <= currentMonth - KeptMonthlyBackups || monthsSeen.contains(month))
            continue;
        monthsSeen.append(month);
        kept[index] = true;
    }

    QList<int> pruned;
    for (int index = 0; index < backups.size(); ++index) {
        if (!kept.at(index))
            pruned.append(index);
    }
    return pruned;
}

} // namespace itm
