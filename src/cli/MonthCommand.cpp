#include "cli/Command.h"
#include "cli/PeriodArguments.h"
#include "month/MonthListing.h"
#include "month/MonthReport.h"
#include "store/Connection.h"

#include <QTextStream>

namespace itm::cli {

namespace {

const QString command = QStringLiteral("month");

// Takes "--format F" or "--format=F" out of the arguments. False, with a
// message, when the option has no value or is given twice.
bool takeFormatOption(QStringList& arguments, QString& format, QTextStream& err)
{
    int given = 0;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--format")) {
            if (i + 1 >= arguments.size()) {
                err << "itm-cli " << command << ": missing value after --format\n";
                return false;
            }
            format = arguments.at(i + 1);
            arguments.remove(i, 2);
            --i;
            ++given;
        } else if (argument.startsWith(QLatin1String("--format="))) {
            format = argument.mid(9);
            arguments.remove(i);
            --i;
            ++given;
        }
    }
    if (given > 1) {
        err << "itm-cli " << command << ": --format given more than once\n";
        return false;
    }
    return true;
}

int listMonth(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QStringList periodArguments = arguments;
    QString format = QStringLiteral("text");
    if (!takeFormatOption(periodArguments, format, err))
        return 2;
    const auto options = ParsePeriodArguments(command, periodArguments, 0, err);
    if (!options)
        return 2;
    if (options->cui || options->to) {
        err << "itm-cli " << command << ": unknown option " << (options->cui ? "--cui" : "--to") << '\n';
        return 2;
    }
    if (format != QLatin1String("text") && format != QLatin1String("csv")) {
        err << "itm-cli " << command << ": the format must be text or csv, not '" << format << "'\n";
        return 2;
    }
    return RunReportingErrors(command, options->db, err, [&] {
        Connection connection;
        connection.open(options->db, true);
        // The text listing reads the month twice (widths and totals, then the
        // rows): both readings see the same register. The rows are printed as
        // they are read, so a month of every payer of the country costs no
        // memory.
        connection.exec(QStringLiteral("BEGIN"));
        const MonthPeriod period { options->month, options->year };
        QList<QPair<QString, QString>> faulty; // each reading starts the list again
        const MonthRowSource rows = [&](const std::function<void(const MonthRow&)>& visit) {
            faulty.clear();
            ForEachMonthRow(connection, period, [&](const MonthRow& row) {
                if (row.faulty())
                    faulty.append({ row.cui, row.faults.constFirst().message });
                visit(row);
            });
        };
        if (format == QLatin1String("csv"))
            WriteMonthCsv(out, rows);
        else
            WriteMonthText(out, rows);
        connection.exec(QStringLiteral("COMMIT"));
        // The listing is whole, but its totals are not: said on every
        // faulty payer, and in the exit status.
        for (const auto& [cui, message] : std::as_const(faulty)) {
            err << "itm-cli " << command << ": payer '" << cui << "': " << message
                << "; its amounts are left out of the totals\n";
        }
        return faulty.isEmpty() ? 0 : 1;
    });
}

const CommandRegistration registration({
    QStringLiteral("month"),
    QStringLiteral("month --month M --year Y [--db FILE] [--format text|csv]    every payer of a month: "
                   "declared or missing, the amounts and the totals"),
    false,
    &listMonth,
});

} // namespace

} // namespace itm::cli
