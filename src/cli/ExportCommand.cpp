#include "cli/Command.h"
#include "cli/DefaultDatabase.h"
#include "exchange/MonthSheet.h"
#include "exchange/RegisterSheet.h"
#include "exchange/SheetFile.h"
#include "platform/Job.h"
#include "store/Connection.h"
#include "store/StrictNumber.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace itm::cli {

namespace {

const QString command = QStringLiteral("export");

// A month or a year of the command line: a whole number in its range.
std::optional<qint64> periodValue(const QString& option, const QString& text, qint64 low, qint64 high, QTextStream& err)
{
    const auto value = TryStrToInt(text);
    if (!value || *value < low || *value > high) {
        err << "itm-cli " << command << ": --" << option << " must be a whole number from " << low << " to " << high
            << ", not '" << text << "'\n";
        return std::nullopt;
    }
    return value;
}

int exportTable(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    const QCommandLineOption registerTable(QStringLiteral("register"), QStringLiteral("the payer register"));
    const QCommandLineOption month(QStringLiteral("month"), QStringLiteral("month"), QStringLiteral("M"));
    const QCommandLineOption year(QStringLiteral("year"), QStringLiteral("year"), QStringLiteral("Y"));
    const QCommandLineOption outFile(QStringLiteral("out"), QStringLiteral("destination"), QStringLiteral("FILE"));
    const QCommandLineOption db(QStringLiteral("db"), QStringLiteral("database file"), QStringLiteral("FILE"));
    parser.addOptions({ registerTable, month, year, outFile, db });
    if (!parser.parse(QStringList { QStringLiteral("itm-cli") } + arguments)) {
        err << "itm-cli " << command << ": " << parser.errorText() << '\n';
        return 2;
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << "itm-cli " << command << ": unexpected argument '" << parser.positionalArguments().constFirst() << "'\n";
        return 2;
    }
    // The last of two values would win silently: a repeated option is a mistake.
    for (const QCommandLineOption* option : { &registerTable, &month, &year, &outFile, &db }) {
        const QString name = option->names().constFirst();
        if (parser.optionNames().count(name) > 1) {
            err << "itm-cli " << command << ": --" << name << " given more than once\n";
            return 2;
        }
        if (!option->valueName().isEmpty() && parser.isSet(*option) && parser.value(*option).isEmpty()) {
            err << "itm-cli " << command << ": --" << name << " is empty\n";
            return 2;
        }
    }
    const bool wholeMonth = parser.isSet(month) || parser.isSet(year);
    if (wholeMonth == parser.isSet(registerTable)) {
        err << "itm-cli " << command << ": give either --register or --month and --year\n";
        return 2;
    }
    QStringList missing;
    if (wholeMonth && !parser.isSet(month))
        missing << QStringLiteral("--month");
    if (wholeMonth && !parser.isSet(year))
        missing << QStringLiteral("--year");
    if (!parser.isSet(outFile))
        missing << QStringLiteral("--out");
    if (!missing.isEmpty()) {
        err << "itm-cli " << command << ": missing " << missing.join(QStringLiteral(", ")) << '\n';
        return 2;
    }
    MonthPeriod period;
    if (wholeMonth) {
        const auto monthValue = periodValue(QStringLiteral("month"), parser.value(month), 1, 12, err);
        const auto yearValue
            = monthValue ? periodValue(QStringLiteral("year"), parser.value(year), 1, 9999, err) : std::nullopt;
        if (!yearValue)
            return 2;
        period = { *monthValue, *yearValue };
    }
    const QString path = parser.value(outFile);
    const auto format = exchange::SheetFormatOfPath(path);
    if (!format) {
        err << "itm-cli " << command << ": " << path << ": the file name must end in .xlsx or .csv\n";
        return 2;
    }
    const QString databasePath = parser.isSet(db) ? parser.value(db) : DefaultDatabasePath(command, err);
    return RunReportingErrors(command, databasePath, err, [&] {
        Connection connection;
        connection.open(databasePath, true);
        QString failure;
        bool written = false;
        // Ctrl+C stops the export and leaves the old file as it was.
        const JobOutcome outcome = RunInTerminal(QStringLiteral("Export"), [&](JobProgress& progress) {
            if (wholeMonth) {
                progress.setStep(QStringLiteral("Se scrie situatia lunii"));
                written
                    = exchange::WriteMonthFile(ReadMonthListing(connection, period), period, path, &failure, &progress);
            } else {
                progress.setStep(QStringLiteral("Se scrie registrul"));
                exchange::RegisterSheet payers(connection,
                    *format == exchange::SheetFormat::Csv ? exchange::RegisterColumns::PayerFile
                                                          : exchange::RegisterColumns::Everything);
                written = exchange::WriteSheetFile(payers, path, &failure, &progress);
            }
        });
        if (outcome == JobOutcome::Cancelled) {
            err << "itm-cli " << command << ": " << path << ": intrerupt: fisierul nu a fost scris\n";
            return 1;
        }
        if (!written) {
            err << "itm-cli " << command << ": " << path << ": " << failure << '\n';
            return 1;
        }
        out << "wrote " << path << '\n';
        return 0;
    });
}

const CommandRegistration registration({
    command,
    QStringLiteral("export (--register | --month M --year Y) --out FILE.xlsx|FILE.csv [--db FILE]    the payer "
                   "register, or a month's listing with its totals, into a spreadsheet"),
    false,
    &exportTable,
});

} // namespace

} // namespace itm::cli
