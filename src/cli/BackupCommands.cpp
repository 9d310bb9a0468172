#include "backup/BackupNames.h"
#include "backup/BackupPolicy.h"
#include "backup/Backups.h"
#include "backup/DatabaseCheck.h"
#include "backup/ServerCopy.h"
#include "cli/BackupArguments.h"
#include "cli/CliDatabase.h"
#include "cli/Command.h"
#include "platform/Clock.h"
#include "platform/Job.h"
#include "store/ServerConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace itm::cli {

namespace {

// Where the backups of a register live and the name they begin with: beside
// a file, as its own copies; a server register's copies go into the work
// folder's data/copii/ (the current folder's, where the office set up its
// data/server) as server-YYYYMMDD-HHMMSS.itm.
struct BackupPlace
{
    QString folder;
    QString stem;
};

BackupPlace backupPlaceOf(const QString& database)
{
    if (IsServerConnection(database))
        return { BackupFolder(CliDatabase::defaultPath()), QStringLiteral("server") };
    return { BackupFolder(database), BackupStem(database) };
}

// A server register is copied row by row into a new SQLite file, checked
// against the server before it takes its name.
int backUpServer(const QString& command, const BackupArguments& options, QTextStream& out, QTextStream& err)
{
    const bool ownFolder = !options.to;
    const BackupPlace place = backupPlaceOf(options.db);
    const QString folder = ownFolder ? place.folder : *options.to;
    // data/ of the work folder, or the folder the user named, must be there.
    const QString mustExist = ownFolder ? QFileInfo(folder).path() : folder;
    if (!QFileInfo(mustExist).isDir()) {
        err << "itm-cli " << command << ": Copia de siguranta nu a putut fi facuta: dosarul " << mustExist
            << " nu exista (rulati comanda in dosarul de lucru sau dati --to DOSAR).\n";
        return 1;
    }
    if (!QDir().mkpath(folder)) {
        err << "itm-cli " << command << ": Copia de siguranta nu a putut fi facuta: dosarul " << folder
            << " nu poate fi creat.\n";
        return 1;
    }
    const QDateTime now = SystemClock().now();
    QString path;
    for (int sequence = 1; path.isEmpty() || QFileInfo::exists(path); ++sequence)
        path = QDir(folder).filePath(BackupFileName(place.stem, now, sequence));
    return RunReportingErrors(command, options.db, err, [&] {
        const JobOutcome outcome = RunInTerminal(QStringLiteral("Copia de siguranta a registrului"),
            [&](JobProgress& progress) { CopyServerToFile(options.db, path, progress); });
        if (outcome == JobOutcome::Cancelled) {
            err << "itm-cli " << command << ": oprit; nu s-a facut nicio copie\n";
            return 1;
        }
        if (ownFolder)
            PruneBackups(folder, place.stem, now, path);
        out << path << '\n';
        return 0;
    });
}

int makeBackup(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString command = QStringLiteral("backup");
    const auto options = ParseBackupArguments(command, arguments, BackupOptions::WithTo, err);
    if (!options)
        return 2;
    if (IsServerConnection(options->db))
        return backUpServer(command, *options, out, err);
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
    const BackupPlace place = backupPlaceOf(options->db);
    const QString& folder = place.folder;
    const QList<BackupEntry> backups = ListBackups(folder, place.stem);
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
    QStringLiteral("backup [--to DIR] [--db FILE|URI]    make a checked copy of the database now (into copii/ "
                   "beside it, or into DIR; a server register's into ./data/copii/) and print its path"),
    false,
    &makeBackup,
});

const CommandRegistration backupsRegistration({
    QStringLiteral("backups"),
    QStringLiteral("backups [--db FILE|URI]    list the backups in copii/ beside the database, newest first"),
    false,
    &listBackups,
});

} // namespace

} // namespace itm::cli
