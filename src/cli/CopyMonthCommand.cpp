#include "cli/Command.h"
#include "cli/PeriodArguments.h"
#include "cli/WritableRegister.h"
#include "month/CarryOver.h"
#include "platform/Job.h"
#include "store/Connection.h"
#include "store/DatabaseLock.h"
#include "store/StrictNumber.h"
#include "store/Tdm.h"

#include <QTextStream>

namespace itm::cli {

namespace {

const QString command = QStringLiteral("copy-month");

enum class Repeat
{
    Once,
    Allowed,
};

// Takes every "--name VALUE" and "--name=VALUE" out of the arguments, in
// their order. False, with a message, when the option has no value, an empty
// one, or is given twice where it may be given once (the last value would
// win without a word).
bool takeOption(QStringList& arguments, const QString& name, Repeat repeat, QStringList& values, QTextStream& err)
{
    const QString option = QStringLiteral("--") + name;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == option) {
            if (i + 1 >= arguments.size()) {
                err << "itm-cli " << command << ": missing value after " << option << '\n';
                return false;
            }
            values.append(arguments.at(i + 1));
            arguments.remove(i, 2);
            --i;
        } else if (argument.startsWith(option + u'=')) {
            values.append(argument.mid(option.size() + 1));
            arguments.remove(i);
            --i;
        }
    }
    if (repeat == Repeat::Once && values.size() > 1) {
        err << "itm-cli " << command << ": " << option << " given more than once\n";
        return false;
    }
    if (values.contains(QString())) {
        err << "itm-cli " << command << ": " << option << " is empty\n";
        return false;
    }
    return true;
}

std::optional<qint64> sourceNumber(const QStringList& values, const char* what, qint64 highest, QTextStream& err)
{
    const auto value = TryStrToInt(values.constLast());
    if (!value || *value < 1 || *value > highest) {
        err << "itm-cli " << command << ": the source " << what << " must be a whole number from 1 to " << highest
            << ", not '" << values.constLast() << "'\n";
        return std::nullopt;
    }
    return value;
}

QString periodText(const MonthPeriod& period)
{
    return QString::asprintf("%02lld/%04lld", period.month, period.year);
}

struct CopyArguments
{
    MonthPeriod source;
    MonthPeriod target;
    QStringList codes;
    QString db;
};

std::optional<CopyArguments> parseArguments(const QStringList& arguments, QTextStream& err)
{
    QStringList rest = arguments;
    QStringList fromMonth;
    QStringList fromYear;
    CopyArguments parsed;
    if (!takeOption(rest, QStringLiteral("from-month"), Repeat::Once, fromMonth, err)
        || !takeOption(rest, QStringLiteral("from-year"), Repeat::Once, fromYear, err)
        || !takeOption(rest, QStringLiteral("cui"), Repeat::Allowed, parsed.codes, err))
        return std::nullopt;
    const auto options = ParsePeriodArguments(command, rest, 0, err);
    if (!options)
        return std::nullopt;
    if (options->to) {
        err << "itm-cli " << command << ": unknown option --to\n";
        return std::nullopt;
    }
    QStringList missing;
    if (fromMonth.isEmpty())
        missing << QStringLiteral("--from-month");
    if (fromYear.isEmpty())
        missing << QStringLiteral("--from-year");
    if (!missing.isEmpty()) {
        err << "itm-cli " << command << ": missing " << missing.join(QStringLiteral(", ")) << '\n';
        return std::nullopt;
    }
    const auto month = sourceNumber(fromMonth, "month", 12, err);
    if (!month)
        return std::nullopt;
    const auto year = sourceNumber(fromYear, "year", 9999, err);
    if (!year)
        return std::nullopt;
    parsed.source = { *month, *year };
    parsed.target = { options->month, options->year };
    parsed.db = options->db;
    if (parsed.target == parsed.source) {
        err << "itm-cli " << command << ": the target month " << periodText(parsed.target)
            << " is the source month; nothing to copy\n";
        return std::nullopt;
    }
    if (parsed.target.year < 2006) {
        err << "itm-cli " << command << ": declarations start in January 2006, not " << periodText(parsed.target)
            << '\n';
        return std::nullopt;
    }
    return parsed;
}

// The ids of the payers named by code, each exactly as stored; empty, with a
// message, when a code names no payer or more than one (which one was meant
// cannot be told).
std::optional<QList<qint64>> payersByCode(Tdm& dm, const CopyArguments& arguments, QTextStream& err)
{
    Statement query(dm.con, QStringLiteral("SELECT id FROM firme WHERE cui = :cui ORDER BY id"));
    QList<qint64> ids;
    for (const QString& code : arguments.codes) {
        query.reset();
        query.bind(QStringLiteral("cui"), code);
        QList<qint64> holders;
        while (query.step())
            holders.append(query.integer(0));
        if (holders.isEmpty()) {
            err << "itm-cli " << command << ": no payer with code '" << code << "' in " << arguments.db << '\n';
            return std::nullopt;
        }
        if (holders.size() > 1) {
            err << "itm-cli " << command << ": the code '" << code << "' belongs to " << holders.size() << " payers in "
                << arguments.db << "; nothing is done until the register holds it once\n";
            return std::nullopt;
        }
        ids.append(holders.constFirst());
    }
    query.reset();
    return ids;
}

int copyMonth(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const auto parsed = parseArguments(arguments, err);
    if (!parsed)
        return 2;
    return RunReportingErrors(command, parsed->db, err, [&] {
        // The command writes: nobody else may hold the database meanwhile. The
        // lock is taken before the database is opened and let go after it is
        // closed.
        DatabaseLock lock(parsed->db);
        if (const auto stop = PrepareRegisterForWriting(command, parsed->db, lock, err))
            return *stop;
        Tdm dm(parsed->db);
        QList<qint64> payerIds;
        if (parsed->codes.isEmpty()) {
            payerIds = AllPayerIds(dm);
        } else {
            const auto named = payersByCode(dm, *parsed, err);
            if (!named)
                return 1;
            payerIds = *named;
        }
        CarryOverCounts counts;
        try {
            const JobOutcome outcome = RunInTerminal(QStringLiteral("copy-month"), [&](JobProgress& progress) {
                counts = CarryOverDeclarations(dm, parsed->source, parsed->target, payerIds, &progress);
            });
            if (outcome == JobOutcome::Cancelled) {
                err << "itm-cli " << command << ": cancelled; nothing copied\n";
                return 1;
            }
        } catch (const CarryOverAmountError& error) {
            err << "itm-cli " << command << ": payer '" << error.payerCode() << "': " << error.message()
                << "; nothing copied\n";
            return 1;
        }
        out << "copied " << counts.copied << ", skipped " << counts.skipped() << '\n';
        return 0;
    });
}

const CommandRegistration registration({
    QStringLiteral("copy-month"),
    QStringLiteral("copy-month --from-month M --from-year Y --month M2 --year Y2 [--cui CODE]... [--db FILE]    "
                   "carry declarations over from one month into another"),
    false,
    &copyMonth,
});

} // namespace

} // namespace itm::cli
