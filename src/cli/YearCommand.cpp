#include "cli/Command.h"
#include "cli/DefaultDatabase.h"
#include "exchange/RecordSheets.h"
#include "exchange/SheetFile.h"
#include "month/ListingText.h"
#include "platform/Job.h"
#include "records/YearSummary.h"
#include "store/Connection.h"
#include "store/StrictNumber.h"

#include <QCommandLineParser>
#include <QTextStream>

// itm-cli year: every payer's year, month by month, with the balance at its end.
namespace itm::cli {

namespace {

const QString command = QStringLiteral("year");

void writeText(QTextStream& out, const QList<YearRow>& rows)
{
    QList<QStringList> lines { exchange::YearHeader() };
    for (const YearRow& row : rows)
        lines.append(
            QStringList { ListingOneLine(row.code), ListingOneLine(row.name) } + exchange::YearAmountCells(row));
    QList<qsizetype> widths(lines.constFirst().size(), 0);
    for (const QStringList& line : lines)
        for (qsizetype column = 0; column < line.size(); ++column)
            widths[column] = qMax(widths.at(column), line.at(column).size());
    for (const QStringList& line : lines) {
        QString text;
        for (qsizetype column = 0; column < line.size(); ++column) {
            if (column > 0)
                text += QStringLiteral("  ");
            text += column < 2 ? line.at(column).leftJustified(widths.at(column))
                               : line.at(column).rightJustified(widths.at(column));
        }
        out << text.trimmed() << '\n';
    }
}

int showYear(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    const QCommandLineOption yearOption(QStringLiteral("year"), QStringLiteral("year"), QStringLiteral("Y"));
    const QCommandLineOption format(QStringLiteral("format"), QStringLiteral("text or csv"), QStringLiteral("F"));
    const QCommandLineOption outOption(
        QStringLiteral("out"), QStringLiteral("workbook or CSV file"), QStringLiteral("FILE"));
    const QCommandLineOption db(QStringLiteral("db"), QStringLiteral("database file"), QStringLiteral("FILE"));
    parser.addOptions({ yearOption, format, outOption, db });
    if (const auto status = ParseCommandArguments(parser, command, arguments, 0, err))
        return *status;
    if (!parser.isSet(yearOption)) {
        err << "itm-cli " << command << ": missing --year\n";
        return 2;
    }
    const auto year = TryStrToInt(parser.value(yearOption));
    if (!year || *year < 1 || *year > 9999) {
        err << "itm-cli " << command << ": --year must be a whole number from 1 to 9999, not '"
            << parser.value(yearOption) << "'\n";
        return 2;
    }
    const std::optional<QString> chosenFormat = ChosenListingFormat(parser, format, command, err);
    if (!chosenFormat)
        return 2;
    const QString chosen = *chosenFormat;
    const QString outPath = parser.value(outOption);
    if (parser.isSet(outOption)) {
        if (parser.isSet(format)) {
            err << "itm-cli " << command << ": give either --format or --out (the file's ending says its format)\n";
            return 2;
        }
        if (!exchange::SheetFormatOfPath(outPath)) {
            err << "itm-cli " << command << ": " << outPath << ": the file name must end in .xlsx or .csv\n";
            return 2;
        }
    }
    const QString databasePath = parser.isSet(db) ? parser.value(db) : DefaultDatabasePath(command, err);
    return RunReportingErrors(command, databasePath, err, [&] {
        Connection connection;
        connection.open(databasePath, true);
        QList<YearRow> rows;
        bool written = false;
        QString failure;
        const JobOutcome outcome = RunInTerminal(QStringLiteral("year"), [&](JobProgress& progress) {
            rows = ReadYearSummary(connection, *year, &progress);
            if (!outPath.isEmpty())
                written = exchange::WriteYearFile(rows, *year, outPath, &failure, &progress);
        });
        if (outcome == JobOutcome::Cancelled) {
            err << "itm-cli " << command << ": cancelled\n";
            return 1;
        }
        if (!outPath.isEmpty()) {
            if (!written) {
                err << "itm-cli " << command << ": " << outPath << ": " << failure << '\n';
                return 1;
            }
            out << "wrote " << outPath << " (" << rows.size() << (rows.size() == 1 ? " payer" : " payers") << ")\n";
            return 0;
        }
        if (chosen == QLatin1String("csv")) {
            exchange::WriteYearCsv(out, rows);
        } else {
            writeText(out, rows);
        }
        return 0;
    });
}

const CommandRegistration registration({
    command,
    QStringLiteral("year --year Y [--format text|csv] [--out FILE.xlsx|FILE.csv] [--db FILE]    every payer's months "
                   "of the year, its totals and the balance at its end"),
    false,
    &showYear,
});

} // namespace

} // namespace itm::cli
