#include "cli/CliDatabase.h"
#include "cli/Command.h"
#include "cli/PeriodArguments.h"
#include "output/DeclarationFile.h"
#include "output/DeclarationLine.h"
#include "store/Errors.h"

#include <QSet>
#include <QTextStream>

namespace itm::cli {

namespace {

int writeDeclarations(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString command = QStringLiteral("write");
    const auto options = ParsePeriodArguments(command, arguments, int(PeriodOption::To), err);
    if (!options)
        return 2;
    // The destination is joined directly with the file name, as a drive root is.
    QString root = *options->to;
    if (!root.endsWith(u'/'))
        root += u'/';
    return RunReportingErrors(command, options->db, err, [&] {
        const CliDatabase database(options->db);
        const auto selected = SelectDeclaredPayers(database, command, *options, err);
        if (!selected)
            return 1;
        const QList<DeclaredPayer>& declared = *selected;

        // Every line is built before anything is written: a record that
        // cannot make its line stops the whole batch, and so does a code held
        // by two declared payers (the file keeps one line per code, so one of
        // them would silently be lost).
        QList<DeclarationEntry> entries;
        QStringList payers;
        QSet<QString> codes;
        for (const DeclaredPayer& row : declared) {
            const QString cui = row.payer.fieldText(QStringLiteral("cui"));
            if (codes.contains(cui)) {
                err << "itm-cli " << command << ": the code '" << cui
                    << "' belongs to more than one payer declared for "
                    << QString::asprintf("%02lld/%04lld", options->month, options->year) << " in " << options->db
                    << "; nothing written\n";
                return 1;
            }
            codes.insert(cui);
            QString line;
            try {
                line = BuildDeclarationLine(row.payer, row.declaration);
            } catch (const Error& error) {
                err << "itm-cli " << command << ": payer '" << cui << "': " << error.message() << "; nothing written\n";
                return 1;
            }
            entries.append({ DeclarationFileBytes(cui), DeclarationFileBytes(line) });
            payers.append(cui + u'\t' + row.payer.fieldText(QStringLiteral("denumire")));
        }
        QString failure;
        if (!SaveDeclarationLines(root, options->month, options->year, entries, {}, &failure)) {
            err << "itm-cli " << command << ": Salvarea nu poate fi efectuata!. (" << failure << ")\n";
            return 1;
        }
        for (const QString& payer : payers)
            out << "payer " << payer << '\n';
        const QString fileName = DeclarationFileName(options->year, options->month);
        out << "wrote " << root + fileName << '\n';
        out << "wrote " << root + QStringLiteral("Rez/") + fileName << '\n';
        return 0;
    });
}

const CommandRegistration registration({
    QStringLiteral("write"),
    QStringLiteral("write --month M --year Y --to DIR [--cui CODE] [--db FILE]    merge declaration lines into "
                   "DIR/IM<year><month>.txt and DIR/Rez/"),
    false,
    &writeDeclarations,
});

} // namespace

} // namespace itm::cli
