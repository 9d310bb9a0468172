// The actions of the month window: the carry-over of the month before, the
// month's declaration file on a drive and the month's printed declarations.

#include "exchange/ExchangeWindow.h"
#include "month/CarryOver.h"
#include "month/MonthDeclarations.h"
#include "month/MonthTableModel.h"
#include "month/TfSituatieLuna.h"
#include "output/DeclarationBatch.h"
#include "output/DeclarationLine.h"
#include "output/FormFill.h"
#include "output/PageLayout.h"
#include "output/PrintedForms.h"
#include "output/TfSelDisck.h"
#include "platform/Platform.h"
#include "platform/Printing.h"
#include "platform/Prompts.h"
#include "store/Tdm.h"

namespace itm {

namespace {

// A preview of more pages than this asks first: every page is laid out.
constexpr int kPagesWithoutQuestion = 100;
// Up to this many pages are laid out by the preview as it draws them (well
// under half a second); more are prepared first as a job.
constexpr int kPagesLaidOutInPreview = 20;

QString payersText(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 platitor") : QStringLiteral("%1 platitori").arg(count);
}

QString carryOverSummary(const CarryOverCounts& counts, const MonthPeriod& source, const MonthPeriod& target)
{
    QString text
        = QStringLiteral("Declaratii preluate: %1\nPlatitori omisi: %2").arg(counts.copied).arg(counts.skipped());
    if (counts.alreadyDeclared > 0)
        text += QStringLiteral("\n - deja declarati pentru %1: %2").arg(MonthTitle(target)).arg(counts.alreadyDeclared);
    if (counts.withoutSource > 0)
        text += QStringLiteral("\n - fara declaratie in %1: %2").arg(MonthTitle(source)).arg(counts.withoutSource);
    if (counts.withoutCommission > 0)
        text += QStringLiteral("\n - cu fond de salarii din care nu se poate calcula comisionul: %1")
                    .arg(counts.withoutCommission);
    return text;
}

QString noDeclarationsText(const MonthPeriod& period)
{
    return QStringLiteral("Nu exista declaratii pentru luna %1.").arg(MonthTitle(period));
}

} // namespace

void TfSituatieLuna::PreiaClick()
{
    m_model->finishLoading();
    const QList<qint64> payers = payersToCarryOver();
    const MonthPeriod source = PreviousMonth(m_shown);
    if (payers.isEmpty()) {
        platform().prompts->message(
            QStringLiteral("Toti platitorii afisati au declaratie pentru luna %1.").arg(MonthTitle(m_shown)));
        return;
    }
    if (!platform().prompts->confirm(QStringLiteral("Preluati declaratiile din luna %1 pentru %2 ?")
                                         .arg(MonthTitle(source), payersText(payers.size()))))
        return;
    CarryOverCounts counts;
    JobOutcome outcome = JobOutcome::Finished;
    try {
        // The data module's connection is the window's: the work stays on its thread.
        outcome = runJob(this, QStringLiteral("Preia luna anterioara"), JobThread::Window,
            [&](JobProgress& progress) { counts = CarryOverDeclarations(m_dm, source, m_shown, payers, &progress); });
    } catch (const CarryOverAmountError& error) {
        platform().prompts->message(
            QStringLiteral("Declaratia din %1 a platitorului %2 are o suma care nu este un numar intreg (%3).\n"
                           "Nu s-a preluat nicio declaratie.")
                .arg(MonthTitle(source), error.payerCode(), error.message()));
        return;
    }
    if (outcome == JobOutcome::Cancelled) {
        platform().prompts->message(QStringLiteral("Preluarea a fost oprita. Nu s-a preluat nicio declaratie."));
        return;
    }
    reload();
    platform().prompts->message(carryOverSummary(counts, source, m_shown));
}

void TfSituatieLuna::DischetaClick()
{
    if (!m_driveDialog)
        return;
    const MonthDeclarations month(m_dm.con, m_shown);
    if (month.count() == 0) {
        platform().prompts->message(noDeclarationsText(m_shown));
        return;
    }
    // Every line is built before the drive is chosen, by the same rule as
    // itm-cli write: a record that cannot make its line, or a code held by
    // two declared payers, stops the whole month and nothing is written.
    DeclarationBatch batch;
    const JobOutcome outcome = runJob(
        this, QStringLiteral("Se pregatesc liniile declaratiilor"), JobThread::Window, [&](JobProgress& progress) {
            progress.setTotal(month.count());
            for (int i = 0; i < month.count(); ++i) {
                if (i % 64 == 0) {
                    progress.checkCancelled();
                    progress.setDone(i);
                }
                const MonthDeclarations::Records records = month.read(i);
                if (!batch.add(records.payer, records.declaration))
                    return;
            }
        });
    if (outcome == JobOutcome::Cancelled)
        return;
    if (const auto& refusal = batch.refusal()) {
        platform().prompts->message(refusal->kind == DeclarationBatchRefusal::SharedCode
                ? QStringLiteral("Codul %1 apartine mai multor platitori declarati pentru luna %2.\n"
                                 "Fisierul pastreaza o singura linie pe cod; nu s-a scris nimic.")
                      .arg(refusal->cui, MonthTitle(m_shown))
                : QStringLiteral("Linia platitorului %1 nu poate fi alcatuita: %2\nNu s-a scris nimic.")
                      .arg(refusal->cui, refusal->reason));
        return;
    }
    m_driveDialog->execForLines(m_shown.month, m_shown.year, batch.entries());
    if (const auto& saved = m_driveDialog->lastSave()) {
        platform().prompts->message(saved->summary() + u'.');
    }
}

void TfSituatieLuna::ListareClick()
{
    const MonthDeclarations month(m_dm.con, m_shown);
    if (month.count() == 0) {
        platform().prompts->message(noDeclarationsText(m_shown));
        return;
    }
    if (month.count() > kPagesWithoutQuestion
        && !platform().prompts->confirm(
            QStringLiteral("Listarea cuprinde %1 pagini si poate dura. Continuati ?").arg(month.count())))
        return;
    const auto layOut = [&month](int page) {
        const MonthDeclarations::Records records = month.read(page);
        const PrintedFormChoice choice = ChoosePrintedForm(records.declaration, records.payer);
        const FormData data { &records.declaration, &records.payer,
            month.county(records.payer.fieldText(QStringLiteral("codjudet"))),
            month.county(records.payer.fieldText(QStringLiteral("lcodjudet"))) };
        // Each page gets forms of its own: a name that a payer's record cannot
        // compose must not be carried over from the page before.
        PrintedForms forms;
        return forms.layOut(choice, data);
    };
    if (month.count() <= kPagesLaidOutInPreview) {
        platform().printing->previewAndPrintPages(this, MonthJobTitle(m_shown), month.count(), layOut);
        return;
    }
    // Many pages: every page is read and laid out once, as a job that shows
    // how far it is and can be stopped; the preview then draws what was laid out.
    QVector<PageLayout> pages;
    const JobOutcome outcome = runJob(this, QStringLiteral("Listare"), JobThread::Window, [&](JobProgress& progress) {
        progress.setStep(QStringLiteral("Se pregatesc paginile pentru %1").arg(MonthTitle(m_shown)));
        progress.setTotal(month.count());
        pages.reserve(month.count());
        for (int page = 0; page < month.count(); ++page) {
            progress.checkCancelled();
            try {
                pages.append(layOut(page));
            } catch (const std::exception&) {
                // As in the preview: the first page's error reaches the user,
                // a later page whose records cannot be read stays blank.
                if (page == 0)
                    throw;
                pages.append(PageLayout());
            }
            progress.advance();
        }
    });
    if (outcome == JobOutcome::Cancelled)
        return;
    platform().printing->previewAndPrintPages(
        this, MonthJobTitle(m_shown), month.count(), [&pages](int page) { return pages.at(page); });
}

void TfSituatieLuna::ImportClick()
{
    // The imported payers join the listing of the month shown, as missing.
    if (exchange::ImportPayersFromWindow(m_dm, this))
        showMonth(m_shown);
}

void TfSituatieLuna::ExportClick()
{
    exchange::ExportMonthFromWindow(m_dm, m_shown, this);
}

} // namespace itm
