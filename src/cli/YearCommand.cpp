#include "cli/Command.h"
#include "cli/DefaultDatabase.h"
#include "exchange/CellText.h"
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

QStringList headerCells()
{
    QStringList header { QStringLiteral("cui"), QStringLiteral("denumire") };
    for (int month = 1; month <= 12; ++month)
        header << QStringLiteral("datorat_%1").arg(month, 2, 10, QLatin1Char('0'))
               << QStringLiteral("achitat_%1").arg(month, 2, 10, QLatin1Char('0'));
    header << QStringLiteral("datorat_an") << QStringLiteral("achitat_an") << QStringLiteral("sold");
    return header;
}

QStringList amountCells(const YearRow& row)
{
    QStringList cells;
    for (int month = 0; month < 12; ++month) {
        cells << (row.due[month] ? QString::number(*row.due[month]) : QString())
              << (row.paid[month] ? QString::number(*row.paid[month]) : QString());
    }
    cells << QString::number(row.yearDue) << QString::number(row.yearPaid) << QString::number(row.balance);
    return cells;
}

void writeText(QTextStream& out, const QList<YearRow>& rows)
{
    QList<QStringList> lines { headerCells() };
    for (const YearRow& row : rows)
        lines.append(QStringList { ListingOneLine(row.code), ListingOneLine(row.name) } + amountCells(row));
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
    const QCommandLineOption db(QStringLiteral("db"), QStringLiteral("database file"), QStringLiteral("FILE"));
    parser.addOptions({ yearOption, format, db });
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
    const QString databasePath = parser.isSet(db) ? parser.value(db) : DefaultDatabasePath(command, err);
    return RunReportingErrors(command, databasePath, err, [&] {
        Connection connection;
        connection.open(databasePath, true);
        QList<YearRow> rows;
        const JobOutcome outcome = RunInTerminal(QStringLiteral("year"),
            [&](JobProgress& progress) { rows = ReadYearSummary(connection, *year, &progress); });
        if (outcome == JobOutcome::Cancelled) {
            err << "itm-cli " << command << ": cancelled\n";
            return 1;
        }
        if (chosen == QLatin1String("csv")) {
            out << headerCells().join(u',') << '\n';
            for (const YearRow& row : rows)
                out << ListingCsvField(exchange::CsvSafeText(row.code)) << ','
                    << ListingCsvField(exchange::CsvSafeText(row.name)) << ',' << amountCells(row).join(u',') << '\n';
        } else {
            writeText(out, rows);
        }
        return 0;
    });
}

const CommandRegistration registration({
    command,
    QStringLiteral("year --year Y [--format text|csv] [--db FILE]    every payer's months of the year, its totals "
                   "and the balance at its end"),
    false,
    &showYear,
});

} // namespace

} // namespace itm::cli
