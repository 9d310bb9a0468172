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

// The decimal digits of a number, with its sign, appended without an
// allocation of its own: the text of 100,000 payers has 2.7 million of them.
void appendNumber(QString& text, qint64 number)
{
    char16_t digits[24];
    int first = 24;
    const bool negative = number < 0;
    quint64 rest = negative ? 0 - quint64(number) : quint64(number);
    do {
        digits[--first] = char16_t(u'0' + rest % 10);
        rest /= 10;
    } while (rest > 0);
    if (negative)
        digits[--first] = u'-';
    text.append(QStringView(digits + first, 24 - first));
}

qsizetype numberWidth(qint64 number)
{
    qsizetype width = number < 0 ? 2 : 1;
    for (quint64 rest = number < 0 ? 0 - quint64(number) : quint64(number); rest >= 10; rest /= 10)
        ++width;
    return width;
}

// The amounts of a row in the order of the header, none for a month without
// a declaration.
template <typename Visit> void forEachAmount(const YearRow& row, const Visit& visit)
{
    for (std::size_t month = 0; month < 12; ++month) {
        visit(row.due[month]);
        visit(row.paid[month]);
    }
    visit(std::optional<qint64>(row.yearDue));
    visit(std::optional<qint64>(row.yearPaid));
    visit(std::optional<qint64>(row.balance));
}

// Columns two blanks apart, the code and the name to the left, the amounts to
// the right, no blanks at either end of a line.
void writeText(QTextStream& out, const QList<YearRow>& rows)
{
    const QStringList header = exchange::YearHeader();
    QList<qsizetype> widths(header.size(), 0);
    for (qsizetype column = 0; column < header.size(); ++column)
        widths[column] = header.at(column).size();
    QStringList codes;
    QStringList names;
    codes.reserve(rows.size());
    names.reserve(rows.size());
    for (const YearRow& row : rows) {
        codes.append(ListingOneLine(row.code));
        names.append(ListingOneLine(row.name));
        widths[0] = qMax(widths.at(0), codes.constLast().size());
        widths[1] = qMax(widths.at(1), names.constLast().size());
        qsizetype column = 2;
        forEachAmount(row, [&](const std::optional<qint64>& amount) {
            if (amount)
                widths[column] = qMax(widths.at(column), numberWidth(*amount));
            ++column;
        });
    }
    QString text;
    const auto appendCell = [&](qsizetype column, qsizetype width, const auto& append) {
        if (column > 0)
            text.append(QLatin1String("  "));
        const qsizetype start = text.size();
        if (column >= 2)
            text.resize(text.size() + widths.at(column) - width, u' ');
        append();
        if (column < 2)
            text.resize(start + widths.at(column), u' ');
    };
    const auto writeLine = [&] {
        out << QStringView(text).trimmed() << '\n';
        text.truncate(0);
    };
    for (qsizetype column = 0; column < header.size(); ++column)
        appendCell(column, header.at(column).size(), [&] { text.append(header.at(column)); });
    writeLine();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        appendCell(0, codes.at(i).size(), [&] { text.append(codes.at(i)); });
        appendCell(1, names.at(i).size(), [&] { text.append(names.at(i)); });
        qsizetype column = 2;
        forEachAmount(rows.at(i), [&](const std::optional<qint64>& amount) {
            appendCell(column++, amount ? numberWidth(*amount) : 0, [&] {
                if (amount)
                    appendNumber(text, *amount);
            });
        });
        writeLine();
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
