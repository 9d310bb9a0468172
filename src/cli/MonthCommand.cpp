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
        const QVector<MonthRow> rows = ReadMonthListing(connection, { options->month, options->year });
        if (format == QLatin1String("csv"))
            WriteMonthCsv(out, rows);
        else
            WriteMonthText(out, rows);
        // The listing is whole, but its totals are not: said on every
        // faulty payer, and in the exit status.
        const QVector<const MonthRow*> faulty = FaultyRows(rows);
        for (const MonthRow* row : faulty) {
            err << "itm-cli " << command << ": payer '" << row->cui << "': " << row->faults.constFirst().message
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
