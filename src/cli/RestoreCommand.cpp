#include "backup/Restore.h"
#include "cli/BackupArguments.h"
#include "cli/Command.h"
#include "platform/Clock.h"
#include "store/ServerConnection.h"

#include <QTextStream>

namespace itm::cli {

namespace {

int restore(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString command = QStringLiteral("restore");
    const auto options = ParseBackupArguments(command, arguments, BackupOptions::WithFile, err);
    if (!options)
        return 2;
    // A backup is a file; a server register is filled from one by a checked copy.
    if (IsServerConnection(options->db)) {
        err << "itm-cli " << command << ": " << options->db
            << ": Un registru de pe server nu se restaureaza; folositi itm-cli server copy --from " << options->file
            << " --to " << options->db << " (intr-un registru nou, facut cu itm-cli server init).\n";
        return 1;
    }
    RestoreConsent consent;
    consent.otherRegister = options->force;
    consent.newerSchema = options->force;
    const RestoreOutcome outcome = RestoreDatabase(options->file, options->db, SystemClock().now(), consent);
    switch (outcome.status) {
    case RestoreOutcome::Restored:
        if (!outcome.previousDatabase.isEmpty())
            out << "copia bazei de date anterioare: " << outcome.previousDatabase << '\n';
        out << "restaurat: " << options->db << " din " << options->file << '\n';
        if (!outcome.problem.isEmpty())
            err << "itm-cli " << command << ": atentie: " << outcome.problem << ".\n";
        return 0;
    case RestoreOutcome::DatabaseInUse:
        err << "itm-cli " << command << ": Restaurarea nu poate fi facuta: " << outcome.problem << ".\n";
        return 1;
    case RestoreOutcome::BadBackup:
        err << "itm-cli " << command << ": Fisierul " << options->file << " nu poate fi restaurat: " << outcome.problem
            << ". Baza de date curenta nu a fost modificata.\n";
        return 1;
    case RestoreOutcome::OtherRegister:
    case RestoreOutcome::NewerSchema:
        err << "itm-cli " << command << ": Restaurarea nu a fost facuta: " << outcome.problem
            << ". Baza de date curenta nu a fost modificata; pentru a restaura totusi, dati si --force.\n";
        return 1;
    case RestoreOutcome::Failed:
        err << "itm-cli " << command << ": Restaurarea nu a reusit: " << outcome.problem
            << ". Baza de date curenta nu a fost modificata.\n";
        return 1;
    }
    return 1;
}

const CommandRegistration registration({
    QStringLiteral("restore"),
    QStringLiteral("restore FILE [--force] [--db FILE]    put a backup in place of the database, after a backup of "
                   "the current one (--force: also a copy of another register or of a newer version)"),
    false,
    &restore,
});

} // namespace

} // namespace itm::cli
