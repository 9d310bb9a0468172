#include "backup/BackupNames.h"
#include "backup/BackupPolicy.h"
#include "backup/Backups.h"
#include "backup/DatabaseCheck.h"
#include "cli/BackupArguments.h"
#include "cli/Command.h"
#include "platform/Clock.h"

#include <QTextStream>

namespace itm::cli {

namespace {

int makeBackup(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString command = QStringLiteral("backup");
    const auto options = ParseBackupArguments(command, arguments, BackupOptions::WithTo, err);
    if (!options)
        return 2;
    const bool ownFolder = !options->to;
    const QString folder = ownFolder ? BackupFolder(options->db) : *options->to;
    const QDateTime now = SystemClock().now();
    const BackupOutcome outcome
        = MakeBackup(options->db, folder, now, ownFolder ? MissingFolder::Create : MissingFolder::Refuse);
    if (!outcome.made()) {
        err << "itm-cli " << command << ": Copia de siguranta nu a putut fi facuta: " << outcome.problem << ".\n";
        return 1;
    }
    // A folder the user names (a memory stick) keeps every copy put there.
    if (ownFolder)
        PruneBackups(folder, BackupStem(options->db), now, outcome.path);
    out << outcome.path << '\n';
    return 0;
}

int listBackups(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString command = QStringLiteral("backups");
    const auto options = ParseBackupArguments(command, arguments, BackupOptions::DbOnly, err);
    if (!options)
        return 2;
    const QString folder = BackupFolder(options->db);
    const QList<BackupEntry> backups = ListBackups(folder, BackupStem(options->db));
    if (backups.isEmpty()) {
        out << "Nu exista copii de siguranta in " << folder << ".\n";
        return 0;
    }
    const QString row = QStringLiteral("%1  %2  %3  %4  %5\n");
    out << row.arg(QStringLiteral("data"), -19)
               .arg(QStringLiteral("marime"), 9)
               .arg(QStringLiteral("platitori"), 10)
               .arg(QStringLiteral("declaratii"), 10)
               .arg(QStringLiteral("fisier"));
    bool allPassed = true;
    for (const BackupEntry& backup : backups) {
        const DatabaseCheck check = CheckDatabaseFile(backup.path, CheckDepth::Summary);
        const QString unknown = QStringLiteral("?");
        out << row.arg(backup.name.made.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")), -19)
                   .arg(BackupSizeText(backup.size), 9)
                   .arg(check.passed ? QString::number(check.payers) : unknown, 10)
                   .arg(check.passed ? QString::number(check.declarations) : unknown, 10)
                   .arg(backup.path);
        if (!check.passed) {
            err << "itm-cli " << command << ": " << backup.path << ": " << check.problem << ".\n";
            allPassed = false;
        }
    }
    return allPassed ? 0 : 1;
}

const CommandRegistration backupRegistration({
    QStringLiteral("backup"),
    QStringLiteral("backup [--to DIR] [--db FILE]    make a checked copy of the database now (into copii/ beside "
                   "it, or into DIR) and print its path"),
    false,
    &makeBackup,
});

const CommandRegistration backupsRegistration({
    QStringLiteral("backups"),
    QStringLiteral("backups [--db FILE]    list the backups in copii/ beside the database, newest first"),
    false,
    &listBackups,
});

} // namespace

} // namespace itm::cli
