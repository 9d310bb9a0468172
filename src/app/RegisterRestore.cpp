#include "app/RegisterRestore.h"

#include "app/Startup.h"
#include "app/TDecl.h"
#include "backup/Restore.h"
#include "output/PrintedForms.h"
#include "output/TfSelDisck.h"
#include "payers/TfDenumire.h"
#include "platform/Clock.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "store/Tdm.h"

namespace itm {

namespace {

// The sentence of a question, ended with the question itself.
bool askAbout(const QString& problem)
{
    return platform().prompts->confirm(QStringLiteral("Atentie: %1. Restaurati totusi aceasta copie?").arg(problem));
}

} // namespace

bool RestoreOpenRegister(
    ProgramObjects& objects, const QString& databasePath, const ProgramParts& parts, const QString& backupFile)
{
    // The register closes: the windows (the daily backup with them), then
    // the data module and its connection. The lock stays.
    objects.forms.reset();
    objects.fSelDisck.reset();
    objects.fDenumire.reset();
    objects.Decl.reset();
    objects.dm.reset();

    RestoreConsent consent;
    RestoreOutcome outcome;
    for (;;) {
        const QDateTime now = platform().clock->now();
        // Files only, and the lock, which nothing else uses meanwhile.
        runJob(nullptr, QStringLiteral("Restaurare"), JobThread::Background, [&](JobProgress& progress) {
            progress.setStep(QStringLiteral("Se pastreaza baza de date de acum, apoi se scrie copia aleasa"));
            outcome = RestoreDatabase(
                backupFile, databasePath, now, consent, objects.lock.get(), [&progress](qint64 copied, qint64 total) {
                    progress.setTotal(total);
                    progress.setDone(copied);
                    return !progress.isCancelled();
                });
        });
        if (outcome.status == RestoreOutcome::OtherRegister && askAbout(outcome.problem)) {
            consent.otherRegister = true;
            continue;
        }
        if (outcome.status == RestoreOutcome::NewerSchema && askAbout(outcome.problem)) {
            consent.newerSchema = true;
            continue;
        }
        break;
    }

    switch (outcome.status) {
    case RestoreOutcome::Restored:
        platform().prompts->message(outcome.previousDatabase.isEmpty()
                ? QStringLiteral("Registrul a fost restaurat din %1.").arg(backupFile)
                : QStringLiteral("Registrul a fost restaurat din %1. Baza de date de dinainte este pastrata in %2.")
                      .arg(backupFile, outcome.previousDatabase));
        if (!outcome.problem.isEmpty())
            platform().prompts->message(QStringLiteral("Atentie: %1.").arg(outcome.problem));
        break;
    case RestoreOutcome::OtherRegister:
    case RestoreOutcome::NewerSchema:
        break; // the user said No: nothing changed
    case RestoreOutcome::DatabaseInUse:
    case RestoreOutcome::BadBackup:
    case RestoreOutcome::Failed:
        platform().prompts->message(
            QStringLiteral("Restaurarea nu a reusit: %1. Baza de date de acum nu a fost modificata.")
                .arg(outcome.problem));
        break;
    }

    if (!createProgram(objects, databasePath, parts))
        return false;
    objects.Decl->show();
    return true;
}

} // namespace itm
