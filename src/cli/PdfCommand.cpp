#include "cli/CliDatabase.h"
#include "cli/Command.h"
#include "cli/DefaultDatabase.h"
#include "cli/PeriodArguments.h"
#include "cli/VersionOption.h"
#include "output/FormFill.h"
#include "output/PagePainter.h"
#include "output/PrintedForms.h"
#include "output/StatementPages.h"
#include "payers/LegalForms.h"
#include "platform/Job.h"
#include "records/PayerStatement.h"
#include "store/Errors.h"
#include "store/StrictNumber.h"

#include <QCommandLineParser>
#include <QDate>
#include <QTextStream>

namespace itm::cli {

namespace {

const QString command = QStringLiteral("pdf");

// Takes "--out FILE" or "--out=FILE" out of the arguments; the rest are the
// period options. False, with a message, when the option has no value or is
// given twice.
bool takeOutOption(QStringList& arguments, QString& out, QTextStream& err)
{
    bool given = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const bool isOut = argument == QLatin1String("--out") || argument.startsWith(QLatin1String("--out="));
        if (isOut && given) {
            err << "itm-cli " << command << ": --out given more than once\n";
            return false;
        }
        given = given || isOut;
        if (argument == QLatin1String("--out")) {
            if (i + 1 >= arguments.size()) {
                err << "itm-cli " << command << ": missing value after --out\n";
                return false;
            }
            out = arguments.at(i + 1);
            arguments.remove(i, 2);
            --i;
        } else if (argument.startsWith(QLatin1String("--out="))) {
            out = argument.mid(6);
            arguments.remove(i);
            --i;
        }
    }
    return true;
}

// A county row as the county list holds it; nothing when the key is unknown.
std::optional<RowRecord> countyRow(const CliDatabase& database, const RowRecord& payer, const char* keyColumn)
{
    const auto name = database.countyName(payer.fieldText(QString::fromLatin1(keyColumn)));
    if (!name)
        return std::nullopt;
    RowRecord county;
    county.setValue(QStringLiteral("denumire"), *name);
    return county;
}

bool composesItsName(const RowRecord& payer)
{
    try {
        return ComposedLegalName(
            payer.fieldInteger(QStringLiteral("prefix")), QString(), payer.fieldInteger(QStringLiteral("sufix")))
            .has_value();
    } catch (const Error&) {
        return false;
    }
}

// pdf --history: the payer's statement, as the program prints it.
int writeHistoryPdf(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    const QCommandLineOption history(QStringLiteral("history"), QStringLiteral("the payer's statement"));
    const QCommandLineOption cui(QStringLiteral("cui"), QStringLiteral("payer code"), QStringLiteral("CODE"));
    const QCommandLineOption outOption(QStringLiteral("out"), QStringLiteral("PDF file"), QStringLiteral("FILE"));
    const QCommandLineOption fromYear(QStringLiteral("from-year"), QStringLiteral("first year"), QStringLiteral("Y"));
    const QCommandLineOption toYear(QStringLiteral("to-year"), QStringLiteral("last year"), QStringLiteral("Y"));
    const QCommandLineOption db(QStringLiteral("db"), QStringLiteral("database file"), QStringLiteral("FILE"));
    parser.addOptions({ history, cui, outOption, fromYear, toYear, db });
    if (const auto status = ParseCommandArguments(parser, command, arguments, 0, err))
        return *status;
    if (!parser.isSet(cui) || parser.value(cui).isEmpty()) {
        err << "itm-cli " << command << ": missing --cui\n";
        return 2;
    }
    if (!parser.isSet(outOption) || parser.value(outOption).isEmpty()) {
        err << "itm-cli " << command << ": missing --out\n";
        return 2;
    }
    const auto years = ChosenYearRange(parser, fromYear, toYear, command, err);
    if (!years)
        return 2;
    const std::optional<qint64> first = years->first;
    const std::optional<qint64> last = years->last;
    const QString code = parser.value(cui);
    const QString outPath = parser.value(outOption);
    const QString databasePath = parser.isSet(db) ? parser.value(db) : DefaultDatabasePath(command, err);
    return RunReportingErrors(command, databasePath, err, [&] {
        const CliDatabase database(databasePath);
        const qint64 holders = database.payersWithCode(code);
        if (holders == 0) {
            err << "itm-cli " << command << ": no payer with code '" << code << "' in " << databasePath << '\n';
            return 1;
        }
        if (holders > 1) {
            err << "itm-cli " << command << ": the code '" << code << "' belongs to " << holders << " payers in "
                << databasePath << "; which one is meant cannot be told\n";
            return 1;
        }
        const qint64 payerId = database.payerByCode(code)->fieldInteger(QStringLiteral("id"));
        const PayerStatement statement = ReadPayerStatement(database.connection(), payerId, first, last);
        const QList<PageLayout> pages = LayOutStatement(statement, QDate::currentDate());
        QString failure;
        bool written = false;
        const JobOutcome outcome = RunInTerminal(QStringLiteral("pdf"),
            [&](JobProgress& progress) { written = WritePdf(outPath, pages, &failure, &progress); });
        if (outcome == JobOutcome::Cancelled) {
            err << "itm-cli " << command << ": interrupted; " << outPath << " not written\n";
            return 1;
        }
        if (!written) {
            err << "itm-cli " << command << ": " << failure << '\n';
            return 1;
        }
        out << "wrote " << outPath << " (" << pages.size() << (pages.size() == 1 ? " page" : " pages") << ")\n";
        return 0;
    });
}

int writePdf(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.contains(QStringLiteral("--history")))
        return writeHistoryPdf(arguments, out, err);
    QStringList periodArguments = arguments;
    QString outPath;
    if (!takeOutOption(periodArguments, outPath, err))
        return 2;
    std::optional<qint64> version;
    if (!TakeVersionOption(periodArguments, version, command, err))
        return 2;
    const auto options = ParsePeriodArguments(command, periodArguments, 0, err);
    if (!options)
        return 2;
    if (version && !options->cui) {
        err << "itm-cli " << command << ": --version needs --cui\n";
        return 2;
    }
    if (options->to) {
        err << "itm-cli " << command << ": unknown option --to\n";
        return 2;
    }
    if (outPath.isEmpty()) {
        err << "itm-cli " << command << ": missing --out\n";
        return 2;
    }
    try {
        const CliDatabase database(options->db);
        auto selected = SelectDeclaredPayers(database, command, *options, err);
        if (!selected)
            return 1;
        if (version && !UseDeclarationVersion(database, selected->first(), *version, command, err))
            return 1;
        const QList<DeclaredPayer>& declared = *selected;

        QList<PageLayout> pages;
        pages.reserve(declared.size());
        QString failure;
        bool written = false;
        int refused = 0;
        const JobOutcome outcome = RunInTerminal(QStringLiteral("pdf"), [&](JobProgress& progress) {
            progress.setStep(QStringLiteral("Se aseaza paginile"));
            progress.setTotal(declared.size());
            for (const DeclaredPayer& entry : declared) {
                progress.checkCancelled();
                progress.advance();
                const QString cui = entry.payer.fieldText(QStringLiteral("cui"));
                PrintedFormChoice choice;
                try {
                    choice = ChoosePrintedForm(entry.declaration, entry.payer);
                } catch (const Error& error) {
                    err << "itm-cli " << command << ": payer '" << cui << "': " << error.message() << '\n';
                    refused = 1;
                    return;
                }
                if (!composesItsName(entry.payer)) {
                    err << "itm-cli " << command << ": payer '" << cui
                        << "': legal-form prefix or suffix outside its table, the name is not printed\n";
                }
                const auto county = countyRow(database, entry.payer, "codjudet");
                const auto liquidatorCounty = countyRow(database, entry.payer, "lcodjudet");
                const FormData data { &entry.declaration, &entry.payer, county ? &*county : nullptr,
                    liquidatorCounty ? &*liquidatorCounty : nullptr };
                // Each page gets forms of its own: a name that a payer's record
                // cannot compose must not be carried over from the page before.
                PrintedForms forms;
                pages.append(forms.layOut(choice, data));
            }
            written = WritePdf(outPath, pages, &failure, &progress);
        });
        if (refused)
            return 1;
        if (outcome == JobOutcome::Cancelled) {
            err << "itm-cli " << command << ": interrupted; " << outPath << " not written\n";
            return 1;
        }
        if (!written) {
            err << "itm-cli " << command << ": " << failure << '\n';
            return 1;
        }
        out << "wrote " << outPath << " (" << pages.size() << (pages.size() == 1 ? " page" : " pages") << ")\n";
        return 0;
    } catch (const Error& error) {
        err << "itm-cli " << command << ": " << error.message() << '\n';
        return 1;
    }
}

const CommandRegistration registration({
    QStringLiteral("pdf"),
    QStringLiteral("pdf (--month M --year Y [--cui CODE [--version N]] | --history --cui CODE [--from-year Y] "
                   "[--to-year Y]) --out FILE.pdf [--db FILE]    print the declarations of a month, of one payer or "
                   "a version kept of it, or a payer's statement (--history), into a PDF"),
    true,
    &writePdf,
});

} // namespace

} // namespace itm::cli
