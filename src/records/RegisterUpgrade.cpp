#include "records/RegisterUpgrade.h"

#include "backup/BackupNames.h"
#include "backup/Backups.h"
#include "store/Connection.h"
#include "store/Errors.h"
#include "store/RegisterSchema.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace itm {

namespace {

RegisterUpgrade notUpgraded(const QString& problem)
{
    RegisterUpgrade upgrade;
    upgrade.status = RegisterUpgrade::NotUpgraded;
    upgrade.problem = problem;
    return upgrade;
}

} // namespace

RegisterUpgrade UpgradeRegister(const QString& databasePath, const QDateTime& now)
{
    // A missing file is reported by the open that follows, as before.
    if (!QFileInfo(databasePath).isFile())
        return {};
    bool keepsHistory = false;
    try {
        Connection connection;
        connection.open(databasePath);
        const qint64 version = SchemaVersion(connection);
        if (version > KnownSchemaVersion)
            return notUpgraded(
                QStringLiteral("registrul a fost scris de o versiune mai noua a programului (schema %1)").arg(version));
        keepsHistory = HasKnownHistory(connection);
        if (keepsHistory && version == KnownSchemaVersion)
            return {};
        // Tables of that name made otherwise: ours cannot be added.
        if (!keepsHistory && HasAnyHistoryTable(connection))
            return notUpgraded(QStringLiteral("registrul are tabele ale istoricului care nu sunt cele asteptate"));
        const bool readOnly
            = sqlite3_db_readonly(connection.handle(), "main") != 0 || !QFileInfo(databasePath).isWritable();
        // A register with the history lacks only the index of the declarations by
        // period, which reading a month goes quicker with: it is used as it is.
        if (readOnly)
            return keepsHistory ? RegisterUpgrade() : notUpgraded(QStringLiteral("registrul poate fi doar citit"));
        connection.close();

        const BackupOutcome backup = MakeBackup(
            CopySource(databasePath, SourceAccess::ReadWrite), BackupFolder(databasePath), now, MissingFolder::Create);
        if (!backup.made() && keepsHistory)
            return {};
        if (!backup.made())
            return notUpgraded(
                QStringLiteral("copia de siguranta de dinainte nu a putut fi facuta: %1").arg(backup.problem));

        connection.open(databasePath);
        Transaction transaction(connection);
        // Another program may have upgraded it meanwhile.
        if (SchemaVersion(connection) != KnownSchemaVersion || !HasKnownHistory(connection)) {
            for (const QString& statement : HistorySchemaStatements())
                connection.exec(statement);
            connection.exec(QStringLiteral("PRAGMA user_version = %1").arg(KnownSchemaVersion));
            if (!HasKnownHistory(connection))
                throw DatabaseError(QStringLiteral("tabelele istoricului nu au putut fi adaugate"));
        }
        transaction.commit();
        RegisterUpgrade upgrade;
        upgrade.status = RegisterUpgrade::Upgraded;
        upgrade.backupPath = backup.path;
        return upgrade;
    } catch (const Error& error) {
        return keepsHistory ? RegisterUpgrade() : notUpgraded(error.message());
    }
}

QString NotUpgradedMessage(const RegisterUpgrade& upgrade)
{
    return QStringLiteral("Istoricul registrului (versiunile declaratiilor, firmele sterse) nu poate fi pastrat: %1.\n"
                          "Registrul se foloseste ca pana acum, fara istoric.")
        .arg(upgrade.problem);
}

} // namespace itm
