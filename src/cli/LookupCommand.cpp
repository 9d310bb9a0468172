#include "cli/CliDatabase.h"
#include "cli/Command.h"
#include "cli/DefaultDatabase.h"
#include "store/Errors.h"
#include "taxregister/PayerFill.h"
#include "taxregister/RegisterCode.h"
#include "taxregister/RegisterService.h"
#include "taxregister/RegistrationStatus.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>
#include <optional>
#include <variant>

namespace itm::cli {

namespace {

// Exit statuses besides 0 (every code found, every firm active) and 1 (some
// code not found or not a CUI).
constexpr int kUsageError = 2;
constexpr int kServiceFailed = 3;
constexpr int kNotActive = 4; // every code found, but some firm is struck off or inactive

struct LookupOptions
{
    bool json = false;
    std::optional<QString> db; // without --db, DefaultDatabasePath()
    QStringList codes;
};

std::optional<LookupOptions> parseOptions(const QStringList& arguments, QTextStream& err)
{
    LookupOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"--json") {
            options.json = true;
        } else if (argument == u"--db") {
            if (++i == arguments.size()) {
                err << "itm-cli lookup: --db needs a file\n";
                return std::nullopt;
            }
            options.db = arguments[i];
        } else if (argument.startsWith(u"--")) {
            err << "itm-cli lookup: unknown option '" << argument << "'\n";
            return std::nullopt;
        } else {
            options.codes.append(PlainRegisterCode(argument));
        }
    }
    if (options.codes.isEmpty()) {
        err << "itm-cli lookup: no code given\n";
        return std::nullopt;
    }
    return options;
}

// Asks the register about the CUIs, at most a request's worth at a time; the
// service spaces the requests. The entries found, or the failure that ended it.
std::variant<QList<RegisterEntry>, RegisterOutcome> askRegister(const QStringList& companies)
{
    RegisterService service;
    QList<RegisterEntry> found;
    for (qsizetype start = 0; start < companies.size(); start += kMaxCodesPerRequest) {
        RegisterOutcome outcome;
        QEventLoop loop;
        QObject::connect(&service, &RegisterService::finished, &loop, [&](const RegisterOutcome& answer) {
            outcome = answer;
            loop.quit();
        });
        service.lookUp(companies.mid(start, kMaxCodesPerRequest), QDate::currentDate());
        loop.exec();
        if (outcome.failure != RegisterFailure::None && outcome.failure != RegisterFailure::NotFound)
            return outcome;
        found += outcome.found;
    }
    return found;
}

int lookUp(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const auto options = parseOptions(arguments, err);
    if (!options)
        return kUsageError;

    QList<CountyRow> counties;
    QHash<QString, int> columnSizes;
    QString databasePath;
    if (!options->json) {
        try {
            databasePath = options->db ? *options->db : DefaultDatabasePath(QStringLiteral("lookup"), err);
            const CliDatabase database(databasePath);
            for (const auto& [key, name] : database.counties())
                counties.append({ key, name });
            columnSizes = database.columnSizes(QStringLiteral("firme"));
        } catch (const Error& error) {
            err << "itm-cli lookup: " << databasePath << ": " << error.message() << '\n';
            return kUsageError;
        }
    }

    QStringList companies;
    for (const QString& code : options->codes) {
        if (ClassifyRegisterCode(code) == RegisterCodeKind::Company && !companies.contains(code))
            companies.append(code);
    }
    RegisterOutcome answered;
    if (!companies.isEmpty()) {
        // The payer codes go where the user knows they go, or the user is told.
        if (const QString notice = RegisterService::addressNotice(); !notice.isEmpty())
            err << "itm-cli lookup: " << notice << '\n' << Qt::flush;
        auto result = askRegister(companies);
        if (const auto* failure = std::get_if<RegisterOutcome>(&result)) {
            err << "itm-cli lookup: " << RegisterFailureMessage(*failure);
            // The secure channel's reasons are part of its message already.
            if (!failure->detail.isEmpty() && failure->failure != RegisterFailure::SecureChannel)
                err << " (" << failure->detail << ')';
            err << '\n';
            return kServiceFailed;
        }
        answered.found = std::get<QList<RegisterEntry>>(result);
    }

    bool allFound = true;
    bool allActive = true;
    QJsonArray entries;
    for (qsizetype i = 0; i < options->codes.size(); ++i) {
        const QString& code = options->codes[i];
        const RegisterEntry* entry
            = ClassifyRegisterCode(code) == RegisterCodeKind::Company ? answered.entryFor(code) : nullptr;
        allFound = allFound && entry;
        const RegistrationStatus status = entry ? RegistrationStatusOf(*entry) : RegistrationStatus {};
        allActive = allActive && status.isActive();
        if (options->json) {
            if (entry)
                entries.append(entry->received);
            continue;
        }
        if (i > 0)
            out << '\n';
        out << "cui=" << code << '\n';
        switch (ClassifyRegisterCode(code)) {
        case RegisterCodeKind::Person:
            out << "eroare: " << RegisterFailureMessage({ RegisterFailure::NotCompany }) << '\n';
            break;
        case RegisterCodeKind::Invalid:
            out << "eroare: cod fiscal eronat\n";
            break;
        case RegisterCodeKind::Company:
            if (!entry) {
                out << "negasit\n";
                break;
            }
            // As the payer panel would store them, so that no control
            // character of the answer reaches the terminal.
            for (const auto& [column, value] : PayerFillFromEntry(*entry, counties).columns)
                out << column << '=' << StoredPayerText(value, columnSizes.value(column)) << '\n';
            out << "stare=" << RegistrationStatusText(status) << '\n';
            break;
        }
    }
    if (options->json)
        out << QJsonDocument(entries).toJson(QJsonDocument::Indented);
    if (!allFound)
        return 1;
    return allActive ? 0 : kNotActive;
}

const CommandRegistration registration({
    QStringLiteral("lookup"),
    QStringLiteral("lookup [--json] [--db FILE] CODE...    a payer's data from the tax authority's register, by CUI"),
    false,
    &lookUp,
});

} // namespace

} // namespace itm::cli
