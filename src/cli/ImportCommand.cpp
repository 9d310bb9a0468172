#include "cli/Command.h"
#include "cli/DefaultDatabase.h"
#include "exchange/PayerImport.h"
#include "platform/Job.h"
#include "store/DatabaseLock.h"
#include "store/Tdm.h"

#include <QCommandLineParser>
#include <QFile>
#include <QTextStream>

namespace itm::cli {

namespace {

const QString command = QStringLiteral("import");

int importPayers(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("payer file"), QStringLiteral("FILE"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"), QStringLiteral("check only"));
    const QCommandLineOption update(QStringLiteral("update"), QStringLiteral("replace payers already there"));
    const QCommandLineOption db(QStringLiteral("db"), QStringLiteral("database file"), QStringLiteral("FILE"));
    parser.addOptions({ csv, dryRun, update, db });
    if (!parser.parse(QStringList { QStringLiteral("itm-cli") } + arguments)) {
        err << "itm-cli " << command << ": " << parser.errorText() << '\n';
        return 2;
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << "itm-cli " << command << ": unexpected argument '" << parser.positionalArguments().constFirst() << "'\n";
        return 2;
    }
    if (!parser.isSet(csv)) {
        err << "itm-cli " << command << ": missing --csv\n";
        return 2;
    }
    const QString databasePath = parser.isSet(db) ? parser.value(db) : DefaultDatabasePath(command, err);

    QFile file(parser.value(csv));
    if (!file.open(QIODevice::ReadOnly)) {
        err << "itm-cli " << command << ": " << file.fileName() << ": " << file.errorString() << '\n';
        return 1;
    }

    // A trial reads the register only; an import holds the database alone
    // while it checks and writes.
    DatabaseLock lock(databasePath);
    if (!parser.isSet(dryRun)) {
        switch (lock.tryLock()) {
        case DatabaseLock::Outcome::Acquired:
            break;
        case DatabaseLock::Outcome::HeldByOther:
            err << "itm-cli " << command << ": " << databasePath << ": Baza de date este deschisa de alt program ("
                << lock.holder() << "); inchideti-l si incercati din nou.\n";
            return 1;
        case DatabaseLock::Outcome::Failed:
            // A missing database is reported by SQLite's own message below.
            if (!QFile::exists(databasePath))
                break;
            err << "itm-cli " << command << ": " << databasePath << ": " << lock.errorString() << '\n';
            return 1;
        }
    }
    return RunReportingErrors(command, databasePath, err, [&] {
        Tdm dm(databasePath);
        exchange::PayerImport payerImport(dm);
        payerImport.setRefreshAfterWrite(false);
        const bool trial = parser.isSet(dryRun);
        // The file is read as a stream: its size costs no memory. Ctrl+C
        // stops the import with nothing written.
        exchange::ImportReport report;
        const JobOutcome outcome = RunInTerminal(QStringLiteral("Import contribuabili"), [&](JobProgress& progress) {
            report = trial ? payerImport.check(file, parser.isSet(update), &progress)
                           : payerImport.run(file, parser.isSet(update), &progress);
        });
        if (outcome == JobOutcome::Cancelled) {
            err << "itm-cli " << command << ": intrerupt: nu s-a scris nimic.\n";
            return 1;
        }
        for (const QString& line : report.lines())
            out << line << '\n';
        if (!report.canWrite()) {
            err << "itm-cli " << command
                << ": Nu s-a scris nimic: corectati liniile de mai sus si importati din nou.\n";
            return 1;
        }
        if (trial)
            err << "itm-cli " << command << ": --dry-run: nu s-a scris nimic.\n";
        return 0;
    });
}

const CommandRegistration registration({
    command,
    QStringLiteral("import --csv FILE [--dry-run] [--update] [--db FILE]    add the payers of a CSV file to the "
                   "register (all or none)"),
    false,
    &importPayers,
});

} // namespace

} // namespace itm::cli
