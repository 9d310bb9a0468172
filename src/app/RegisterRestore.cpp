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

#include <QGuiApplication>

namespace itm {

namespace {

// The sentence of a question, ended with the question itself.
bool askAbout(const QString& problem)
{
    return platform().prompts->confirm(QStringLiteral("Atentie: %1. Restaurati totusi aceasta copie?").arg(problem));
}

// Between the old main window and the new one no window of the program is
// open: the progress and the boxes shown meanwhile must not end the program
// as they close.
class KeepRunning
{
public:
    KeepRunning() { QGuiApplication::setQuitOnLastWindowClosed(false); }
    ~KeepRunning() { QGuiApplication::setQuitOnLastWindowClosed(m_quits); }
    KeepRunning(const KeepRunning&) = delete;
    KeepRunning& operator=(const KeepRunning&) = delete;

private:
    const bool m_quits = QGuiApplication::quitOnLastWindowClosed();
};

} // namespace

bool RestoreOpenRegister(
    ProgramObjects& objects, const QString& databasePath, const ProgramParts& parts, const QString& backupFile)
{
    const KeepRunning keepRunning;
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

    // The register opens again, and the outcome is shown over its window.
    const bool reopened = createProgram(objects, databasePath, parts);
    if (reopened)
        objects.Decl->show();
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

    return reopened;
}

} // namespace itm
