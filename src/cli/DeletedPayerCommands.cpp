#include "cli/Command.h"
#include "cli/DefaultDatabase.h"
#include "cli/WritableRegister.h"
#include "exchange/CellText.h"
#include "month/ListingText.h"
#include "records/DeletedPayers.h"
#include "store/Connection.h"
#include "store/DatabaseLock.h"
#include "store/RegisterSchema.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QTextStream>

// itm-cli delete, deleted, undelete: a payer deleted with its declarations
// into the register's history, the deleted payers listed, one brought back.
namespace itm::cli {

namespace {

// Parses arguments with the options given (see ParseCommandArguments); no
// option may be empty either.
std::optional<int> parseArguments(
    QCommandLineParser& parser, const QString& command, const QStringList& arguments, int positionals, QTextStream& err)
{
    if (const auto status = ParseCommandArguments(parser, command, arguments, positionals, err))
        return status;
    for (const QString& name : parser.optionNames()) {
        if (parser.value(name).isEmpty()) {
            err << "itm-cli " << command << ": --" << name << " is empty\n";
            return 2;
        }
    }
    return std::nullopt;
}

QCommandLineOption dbOption()
{
    return QCommandLineOption(QStringLiteral("db"), QStringLiteral("database file"), QStringLiteral("FILE"));
}

int deletePayer(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString command = QStringLiteral("delete");
    QCommandLineParser parser;
    const QCommandLineOption cui(QStringLiteral("cui"), QStringLiteral("payer code"), QStringLiteral("CODE"));
    const QCommandLineOption db = dbOption();
    parser.addOptions({ cui, db });
    if (const auto status = parseArguments(parser, command, arguments, 0, err))
        return *status;
    if (!parser.isSet(cui)) {
        err << "itm-cli " << command << ": missing --cui\n";
        return 2;
    }
    const QString code = parser.value(cui);
    const QString databasePath = parser.isSet(db) ? parser.value(db) : DefaultDatabasePath(command, err);
    return RunReportingErrors(command, databasePath, err, [&] {
        DatabaseLock lock(databasePath);
        if (const auto stop = PrepareRegisterForWriting(command, databasePath, lock, err))
            return *stop;
        Connection connection;
        connection.open(databasePath);
        if (!HasKnownHistory(connection)) {
            err << "itm-cli " << command << ": " << databasePath
                << ": the register keeps no history, so the payer could not be brought back; nothing deleted\n";
            return 1;
        }
        Statement holders(connection, QStringLiteral("SELECT id FROM firme WHERE cui = :cui ORDER BY id"));
        holders.bind(QStringLiteral("cui"), code);
        QList<qint64> ids;
        while (holders.step())
            ids.append(holders.integer(0));
        if (ids.isEmpty()) {
            err << "itm-cli " << command << ": no payer with code '" << code << "' in " << databasePath << '\n';
            return 1;
        }
        if (ids.size() > 1) {
            err << "itm-cli " << command << ": the code '" << code << "' belongs to " << ids.size() << " payers in "
                << databasePath << "; nothing is done until the register holds it once\n";
            return 1;
        }
        Statement count(connection, QStringLiteral("SELECT count(*) FROM declaratii WHERE idfirma = :id"));
        count.bind(QStringLiteral("id"), ids.constFirst());
        const qint64 declarations = count.step() ? count.integer(0) : 0;
        DeletePayerKeepingHistory(connection, ids.constFirst(), true,
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), true);
        out << "deleted '" << code << "' with " << declarations << " declarations; itm-cli undelete brings it back\n";
        return 0;
    });
}

int listDeleted(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString command = QStringLiteral("deleted");
    QCommandLineParser parser;
    const QCommandLineOption format(QStringLiteral("format"), QStringLiteral("text or csv"), QStringLiteral("F"));
    const QCommandLineOption db = dbOption();
    parser.addOptions({ format, db });
    if (const auto status = parseArguments(parser, command, arguments, 0, err))
        return *status;
    const std::optional<QString> chosenFormat = ChosenListingFormat(parser, format, command, err);
    if (!chosenFormat)
        return 2;
    const QString chosen = *chosenFormat;
    const QString databasePath = parser.isSet(db) ? parser.value(db) : DefaultDatabasePath(command, err);
    return RunReportingErrors(command, databasePath, err, [&] {
        Connection connection;
        connection.open(databasePath, true);
        // Probes the register: a file that is no register fails here.
        Statement probe(connection, QStringLiteral("SELECT 1 FROM firme LIMIT 0"));
        const QList<DeletedPayer> payers
            = HasKnownHistory(connection) ? DeletedPayers(connection) : QList<DeletedPayer>();
        if (chosen == QLatin1String("csv")) {
            out << "cui,denumire,sters,declaratii\n";
            for (const DeletedPayer& payer : payers)
                out << ListingCsvField(exchange::CsvSafeText(payer.code)) << ','
                    << ListingCsvField(exchange::CsvSafeText(payer.name)) << ',' << ListingCsvField(payer.deleted)
                    << ',' << payer.declarations << '\n';
            return 0;
        }
        if (payers.isEmpty()) {
            out << "no deleted payers\n";
            return 0;
        }
        qsizetype codeWidth = 3;
        qsizetype nameWidth = 8;
        for (const DeletedPayer& payer : payers) {
            codeWidth = qMax(codeWidth, ListingOneLine(payer.code).size());
            nameWidth = qMax(nameWidth, ListingOneLine(payer.name).size());
        }
        out << QStringLiteral("cui").leftJustified(codeWidth) << "  "
            << QStringLiteral("denumire").leftJustified(nameWidth) << "  " << QStringLiteral("sters").leftJustified(19)
            << "  declaratii\n";
        for (const DeletedPayer& payer : payers)
            out << ListingOneLine(payer.code).leftJustified(codeWidth) << "  "
                << ListingOneLine(payer.name).leftJustified(nameWidth) << "  "
                << ListingOneLine(payer.deleted).leftJustified(19) << "  "
                << QString::number(payer.declarations).rightJustified(10) << '\n';
        return 0;
    });
}

int undelete(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString command = QStringLiteral("undelete");
    QCommandLineParser parser;
    const QCommandLineOption db = dbOption();
    parser.addOptions({ db });
    if (const auto status = parseArguments(parser, command, arguments, 1, err))
        return *status;
    if (parser.positionalArguments().isEmpty()) {
        err << "itm-cli " << command << ": missing the payer's code\n";
        return 2;
    }
    const QString code = parser.positionalArguments().constFirst();
    const QString databasePath = parser.isSet(db) ? parser.value(db) : DefaultDatabasePath(command, err);
    return RunReportingErrors(command, databasePath, err, [&] {
        DatabaseLock lock(databasePath);
        if (const auto stop = PrepareRegisterForWriting(command, databasePath, lock, err))
            return *stop;
        Connection connection;
        connection.open(databasePath);
        qint64 declarations = 0;
        const UndeleteOutcome outcome = HasKnownHistory(connection) ? UndeletePayer(connection, code, &declarations)
                                                                    : UndeleteOutcome::NotDeleted;
        switch (outcome) {
        case UndeleteOutcome::NotDeleted:
            err << "itm-cli " << command << ": no deleted payer with code '" << code << "' in " << databasePath << '\n';
            return 1;
        case UndeleteOutcome::CodeTaken:
            err << "itm-cli " << command << ": a payer with code '" << code << "' is in " << databasePath
                << "; nothing brought back while it holds the code\n";
            return 1;
        case UndeleteOutcome::Restored:
            break;
        }
        out << "brought back '" << code << "' with " << declarations << " declarations\n";
        return 0;
    });
}

const CommandRegistration deleteRegistration({
    QStringLiteral("delete"),
    QStringLiteral("delete --cui CODE [--db FILE]    delete a payer with its declarations, kept to be brought back"),
    false,
    &deletePayer,
});

const CommandRegistration deletedRegistration({
    QStringLiteral("deleted"),
    QStringLiteral("deleted [--format text|csv] [--db FILE]    list the deleted payers, the latest first"),
    false,
    &listDeleted,
});

const CommandRegistration undeleteRegistration({
    QStringLiteral("undelete"),
    QStringLiteral("undelete CODE [--db FILE]    bring the latest deleted payer of that code back whole"),
    false,
    &undelete,
});

} // namespace

} // namespace itm::cli
