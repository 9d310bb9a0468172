#pragma once

#include <QDateTime>
#include <QString>

namespace itm {

struct RegisterUpgrade
{
    enum Status
    {
        Current, // the register keeps its history already (or there is no file to upgrade)
        Upgraded, // the history's tables were added, after a checked copy
        NotUpgraded // it is used as before, without the history; problem says why
    };
    Status status = Current;
    QString problem; // a sentence in Romanian
    QString backupPath; // the copy made before the upgrade
};

// Gives a register that lacks them the history's tables, the first time the
// program or itm-cli opens it for writing: a checked copy of the register is
// made first (in the backup folder beside it), then the tables and indexes are
// created and the schema version recorded, all in one transaction. A register
// that cannot be written, whose copy fails, or that a newer program wrote is
// left as it is. The caller holds the database lock.
RegisterUpgrade UpgradeRegister(const QString& databasePath, const QDateTime& now);

// The message the program shows (and itm-cli prints) for a register it could
// not upgrade.
QString NotUpgradedMessage(const RegisterUpgrade& upgrade);

} // namespace itm
