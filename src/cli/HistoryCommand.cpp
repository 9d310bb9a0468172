#include "cli/Command.h"
#include "cli/DefaultDatabase.h"
#include "records/PayerStatement.h"
#include "store/Connection.h"
#include "store/StrictNumber.h"

#include <QCommandLineParser>
#include <QTextStream>

// itm-cli history: a payer's declarations across months with the running balance.
namespace itm::cli {

namespace {

const QString command = QStringLiteral("history");

void writeText(QTextStream& out, const PayerHistory& history)
{
    // Every row, the year's totals after its last row, the balance at the foot.
    QList<QStringList> lines { HistoryCsvHeader() };
    qint64 due = 0;
    qint64 paid = 0;
    for (qsizetype i = 0; i < history.rows.size(); ++i) {
        const HistoryRow& row = history.rows.at(i);
        lines.append(HistoryCsvCells(row));
        due += row.due;
        paid += row.paid;
        // The December 2005 amounts count with the year of their declaration.
        const qint64 year = row.kind == HistoryRow::December2005 ? 2006 : row.year;
        const bool lastOfYear = i + 1 == history.rows.size() || history.rows.at(i + 1).year != year;
        if (lastOfYear && row.kind != HistoryRow::December2005) {
            lines.append({ QStringLiteral("total"), QString::number(year), QString(), QString(), QString(), QString(),
                QString::number(due), QString::number(paid), QString::number(due - paid), QString() });
            due = 0;
            paid = 0;
        }
    }
    QList<qsizetype> widths(HistoryCsvHeader().size(), 0);
    for (const QStringList& line : lines)
        for (qsizetype column = 0; column < line.size(); ++column)
            widths[column] = qMax(widths.at(column), line.at(column).size());
    for (const QStringList& line : lines) {
        QString text;
        for (qsizetype column = 0; column < line.size(); ++column) {
            if (column > 0)
                text += QStringLiteral("  ");
            // The period and the status to the left, the figures to the right.
            text += column == 2 ? line.at(column).leftJustified(widths.at(column))
                                : line.at(column).rightJustified(widths.at(column));
        }
        out << text.trimmed() << '\n';
    }
    out << "sold " << history.balance << '\n';
}

int showHistory(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    const QCommandLineOption cui(QStringLiteral("cui"), QStringLiteral("payer code"), QStringLiteral("CODE"));
    const QCommandLineOption fromYear(QStringLiteral("from-year"), QStringLiteral("first year"), QStringLiteral("Y"));
    const QCommandLineOption toYear(QStringLiteral("to-year"), QStringLiteral("last year"), QStringLiteral("Y"));
    const QCommandLineOption format(QStringLiteral("format"), QStringLiteral("text or csv"), QStringLiteral("F"));
    const QCommandLineOption db(QStringLiteral("db"), QStringLiteral("database file"), QStringLiteral("FILE"));
    parser.addOptions({ cui, fromYear, toYear, format, db });
    if (const auto status = ParseCommandArguments(parser, command, arguments, 0, err))
        return *status;
    if (!parser.isSet(cui) || parser.value(cui).isEmpty()) {
        err << "itm-cli " << command << ": missing --cui\n";
        return 2;
    }
    const auto years = ChosenYearRange(parser, fromYear, toYear, command, err);
    if (!years)
        return 2;
    const std::optional<qint64> first = years->first;
    const std::optional<qint64> last = years->last;
    const std::optional<QString> chosenFormat = ChosenListingFormat(parser, format, command, err);
    if (!chosenFormat)
        return 2;
    const QString chosen = *chosenFormat;
    const QString code = parser.value(cui);
    const QString databasePath = parser.isSet(db) ? parser.value(db) : DefaultDatabasePath(command, err);
    return RunReportingErrors(command, databasePath, err, [&] {
        Connection connection;
        connection.open(databasePath, true);
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
                << databasePath << "; which one is meant cannot be told\n";
            return 1;
        }
        const PayerHistory history = ReadPayerHistory(connection, ids.constFirst(), first, last);
        if (chosen == QLatin1String("csv")) {
            out << HistoryCsvText(history);
        } else {
            writeText(out, history);
        }
        return 0;
    });
}

const CommandRegistration registration({
    command,
    QStringLiteral("history --cui CODE [--from-year Y] [--to-year Y] [--format text|csv] [--db FILE]    "
                   "a payer's declarations across months with the running balance"),
    false,
    &showHistory,
});

} // namespace

} // namespace itm::cli
