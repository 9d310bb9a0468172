#include "cli/PeriodArguments.h"

#include "cli/DefaultDatabase.h"
#include "store/StrictNumber.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace itm::cli {

namespace {
std::optional<qint64> numberInRange(const QString& text, qint64 lowest, qint64 highest)
{
    const auto value = TryStrToInt(text);
    if (!value || *value < lowest || *value > highest)
        return std::nullopt;
    return value;
}
} // namespace

std::optional<PeriodArguments> ParsePeriodArguments(
    const QString& command, const QStringList& arguments, int required, QTextStream& err)
{
    QCommandLineParser parser;
    const QCommandLineOption cui(QStringLiteral("cui"), QStringLiteral("payer code"), QStringLiteral("CODE"));
    const QCommandLineOption month(QStringLiteral("month"), QStringLiteral("month 1..12"), QStringLiteral("M"));
    const QCommandLineOption year(QStringLiteral("year"), QStringLiteral("year"), QStringLiteral("Y"));
    const QCommandLineOption db(QStringLiteral("db"), QStringLiteral("database file"), QStringLiteral("FILE"));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("destination folder"), QStringLiteral("DIR"));
    parser.addOptions({ cui, month, year, db, to });
    // The parser takes the first argument for the program's name.
    if (!parser.parse(QStringList { QStringLiteral("itm-cli") } + arguments)) {
        err << "itm-cli " << command << ": " << parser.errorText() << '\n';
        return std::nullopt;
    }
    // The last of two values would win without a word: a typing slip in a
    // batch script must not pick another payer or destination.
    for (const QCommandLineOption* option : { &cui, &month, &year, &db, &to }) {
        if (parser.values(*option).size() > 1) {
            err << "itm-cli " << command << ": --" << option->names().constFirst() << " given more than once\n";
            return std::nullopt;
        }
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << "itm-cli " << command << ": unexpected argument '" << parser.positionalArguments().constFirst() << "'\n";
        return std::nullopt;
    }
    QStringList missing;
    if (!parser.isSet(month))
        missing << QStringLiteral("--month");
    if (!parser.isSet(year))
        missing << QStringLiteral("--year");
    if ((required & int(PeriodOption::Cui)) && !parser.isSet(cui))
        missing << QStringLiteral("--cui");
    if ((required & int(PeriodOption::To)) && !parser.isSet(to))
        missing << QStringLiteral("--to");
    if (!missing.isEmpty()) {
        err << "itm-cli " << command << ": missing " << missing.join(QStringLiteral(", ")) << '\n';
        return std::nullopt;
    }

    for (const QCommandLineOption* option : { &cui, &db, &to }) {
        if (parser.isSet(*option) && parser.value(*option).isEmpty()) {
            err << "itm-cli " << command << ": --" << option->names().constFirst() << " is empty\n";
            return std::nullopt;
        }
    }

    PeriodArguments result;
    const auto monthValue = numberInRange(parser.value(month), 1, 12);
    if (!monthValue) {
        err << "itm-cli " << command << ": the month must be a whole number from 1 to 12, not '" << parser.value(month)
            << "'\n";
        return std::nullopt;
    }
    const auto yearValue = numberInRange(parser.value(year), 1, 9999);
    if (!yearValue) {
        err << "itm-cli " << command << ": the year must be a whole number from 1 to 9999, not '" << parser.value(year)
            << "'\n";
        return std::nullopt;
    }
    result.month = *monthValue;
    result.year = *yearValue;
    if (parser.isSet(cui))
        result.cui = parser.value(cui);
    result.db = parser.isSet(db) ? parser.value(db) : DefaultDatabasePath(command, err);
    if (parser.isSet(to))
        result.to = parser.value(to);
    return result;
}

std::optional<DeclaredPayer> FindDeclaredPayer(const CliDatabase& database, const QString& command, const QString& cui,
    qint64 month, qint64 year, QTextStream& err)
{
    auto payer = database.payerByCode(cui);
    if (!payer) {
        err << "itm-cli " << command << ": no payer with code '" << cui << "' in " << database.path() << '\n';
        return std::nullopt;
    }
    const qint64 holders = database.payersWithCode(cui);
    if (holders > 1) {
        err << "itm-cli " << command << ": the code '" << cui << "' belongs to " << holders << " payers in "
            << database.path() << "; nothing is done until the register holds it once\n";
        return std::nullopt;
    }
    auto declaration = database.declaration(payer->fieldInteger(QStringLiteral("id")), month, year);
    if (!declaration) {
        err << "itm-cli " << command << ": payer '" << cui << "' has no declaration for "
            << QString::asprintf("%02lld/%04lld", month, year) << " in " << database.path() << '\n';
        return std::nullopt;
    }
    return DeclaredPayer { std::move(*payer), std::move(*declaration) };
}

std::optional<QList<DeclaredPayer>> SelectDeclaredPayers(
    const CliDatabase& database, const QString& command, const PeriodArguments& options, QTextStream& err)
{
    QList<DeclaredPayer> declared;
    const bool found = ForEachDeclaredPayer(
        database, command, options, err, [&](const RowRecord& payer, const RowRecord& declaration) {
            declared.append({ payer, declaration });
        });
    if (!found)
        return std::nullopt;
    return declared;
}

bool ForEachDeclaredPayer(const CliDatabase& database, const QString& command, const PeriodArguments& options,
    QTextStream& err, const std::function<void(const RowRecord& payer, const RowRecord& declaration)>& visit)
{
    if (options.cui) {
        const auto found = FindDeclaredPayer(database, command, *options.cui, options.month, options.year, err);
        if (!found)
            return false;
        visit(found->payer, found->declaration);
        return true;
    }
    if (database.forEachDeclaredIn(options.month, options.year, visit) == 0) {
        err << "itm-cli " << command << ": no declarations for "
            << QString::asprintf("%02lld/%04lld", options.month, options.year) << " in " << database.path() << '\n';
        return false;
    }
    return true;
}

} // namespace itm::cli
