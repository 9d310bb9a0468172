#include "cli/WritableRegister.h"

#include "records/RegisterUpgrade.h"
#include "store/DatabaseLock.h"
#include "store/ServerConnection.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTextStream>

namespace itm::cli {

std::optional<int> PrepareRegisterForWriting(
    const QString& command, const QString& databasePath, DatabaseLock& lock, QTextStream& err)
{
    // Several programs share a server register at once: no lock, and its
    // tables are made by itm-cli server init.
    if (IsServerConnection(databasePath))
        return std::nullopt;
    switch (lock.tryLock()) {
    case DatabaseLock::Outcome::Acquired:
        break;
    case DatabaseLock::Outcome::HeldByOther:
        err << "itm-cli " << command << ": " << databasePath << ": Baza de date este deschisa de alt program ("
            << lock.holder() << "); inchideti-l si incercati din nou.\n";
        return 1;
    case DatabaseLock::Outcome::Failed:
        // A missing database is reported by SQLite's own message when it is opened.
        if (!QFileInfo::exists(databasePath))
            return std::nullopt;
        err << "itm-cli " << command << ": " << databasePath << ": " << lock.errorString() << '\n';
        return 1;
    }
    const RegisterUpgrade upgrade = UpgradeRegister(databasePath, QDateTime::currentDateTime());
    if (upgrade.status == RegisterUpgrade::NotUpgraded)
        err << "itm-cli " << command << ": " << databasePath << ": " << NotUpgradedMessage(upgrade).replace(u'\n', u' ')
            << '\n';
    return std::nullopt;
}

} // namespace itm::cli
