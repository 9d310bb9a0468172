#include "cli/CliDatabase.h"
#include "cli/Command.h"
#include "cli/PeriodArguments.h"
#include "output/DeclarationBatch.h"
#include "output/DeclarationFile.h"
#include "output/DeclarationLine.h"
#include "platform/Job.h"

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
        // Every line is built before anything is written: a record that
        // cannot make its line stops the whole batch, and so does a code held
        // by two declared payers (the file keeps one line per code, so one of
        // them would silently be lost). The records are read one at a time:
        // only the lines are held, so a month of every payer fits.
        DeclarationBatch batch;
        // What is printed once the files are written, held as one text: a
        // month of every payer of the country makes millions of lines.
        QString payers;
        const bool found = ForEachDeclaredPayer(
            database, command, *options, err, [&](const RowRecord& payer, const RowRecord& declaration) {
                if (batch.add(payer, declaration)) {
                    payers += QStringLiteral("payer ");
                    payers += payer.fieldText(QStringLiteral("cui"));
                    payers += u'\t';
                    payers += payer.fieldText(QStringLiteral("denumire"));
                    payers += u'\n';
                }
            });
        if (!found)
            return 1;
        if (const auto& refusal = batch.refusal()) {
            if (refusal->kind == DeclarationBatchRefusal::SharedCode) {
                err << "itm-cli " << command << ": the code '" << refusal->cui
                    << "' belongs to more than one payer declared for "
                    << QString::asprintf("%02lld/%04lld", options->month, options->year) << " in " << options->db
                    << "; nothing written\n";
            } else {
                err << "itm-cli " << command << ": payer '" << refusal->cui << "': " << refusal->reason
                    << "; nothing written\n";
            }
            return 1;
        }
        QString failure;
        bool saved = false;
        const JobOutcome outcome = RunInTerminal(QStringLiteral("write"), [&](JobProgress& progress) {
            DeclarationSaveOptions save;
            save.progress = &progress;
            saved = SaveDeclarationLines(root, options->month, options->year, batch.entries(), save, &failure);
        });
        if (outcome == JobOutcome::Cancelled) {
            err << "itm-cli " << command << ": interrupted; nothing written\n";
            return 1;
        }
        if (!saved) {
            err << "itm-cli " << command << ": Salvarea nu poate fi efectuata!. (" << failure << ")\n";
            return 1;
        }
        out << payers;
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
