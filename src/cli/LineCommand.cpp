#include "cli/CliDatabase.h"
#include "cli/Command.h"
#include "cli/PeriodArguments.h"
#include "cli/VersionOption.h"
#include "output/DeclarationLine.h"
#include "store/Errors.h"

#include <QTextStream>
#include <cstdio>

namespace itm::cli {

namespace {

int printLine(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString command = QStringLiteral("line");
    QStringList periodArguments = arguments;
    std::optional<qint64> version;
    if (!TakeVersionOption(periodArguments, version, command, err))
        return 2;
    const auto options = ParsePeriodArguments(command, periodArguments, int(PeriodOption::Cui), err);
    if (!options)
        return 2;
    // The line goes to standard output only: a destination given by mistake
    // must not look as if a file had been written there.
    if (options->to) {
        err << "itm-cli " << command << ": unknown option --to\n";
        return 2;
    }
    return RunReportingErrors(command, options->db, err, [&] {
        const CliDatabase database(options->db);
        auto found = FindDeclaredPayer(database, command, *options->cui, options->month, options->year, err);
        if (!found)
            return 1;
        if (version && !UseDeclarationVersion(database, *found, *version, command, err))
            return 1;
        // The line's bytes as the declaration file would hold them, bytes
        // that are no UTF-8 included.
        QByteArray line;
        try {
            line = DeclarationFileBytes(BuildDeclarationLine(found->payer, found->declaration)) + '\n';
        } catch (const Error& error) {
            err << "itm-cli " << command << ": payer '" << found->payer.fieldText(QStringLiteral("cui"))
                << "': " << error.message() << '\n';
            return 1;
        }
        out.flush();
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
        std::fflush(stdout);
        return 0;
    });
}

const CommandRegistration registration({
    QStringLiteral("line"),
    QStringLiteral(
        "line --cui CODE --month M --year Y [--version N] [--db FILE]    print the declaration line of a payer "
        "(or of a version kept of it)"),
    false,
    &printLine,
});

} // namespace

} // namespace itm::cli
